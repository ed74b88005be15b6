// Dynamic boxes falling onto a static ground for 600 frames at 60 frames per
// second, one sub-step each: the room's world with instances (positions and
// angles written back, contacts recorded and their events dispatched) beside
// the same world stepped directly through the physics library, with no
// instances and the library's own filter and no listener. The counter
// ms_per_step is the time of one frame's update.
#include <benchmark/benchmark.h>

#include <box2d/box2d.h>

#include <chrono>
#include <memory>
#include <vector>

#include "Physics/PhysicsWorld.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Physics.h"

namespace {
constexpr int kFrames = 600;
constexpr int kColumns = 100;
constexpr float kScale = 0.1f;  // metres per pixel
constexpr float kHalf = 0.5f;   // box half size, metres

// Column and row of box i, in metres: 1.5 m apart, the lowest row 2 m
// above the ground's top at y = 100 m.
void Place(int i, float* x, float* y)
{
    *x = 5.0f + 1.5f * static_cast<float>(i % kColumns);
    *y = 98.0f - 1.5f * static_cast<float>(i / kColumns);
}

using Clock = std::chrono::steady_clock;

void Report(benchmark::State& state, Clock::duration spent)
{
    const double ms = std::chrono::duration<double, std::milli>(spent).count();
    state.counters["ms_per_step"] = ms / (static_cast<double>(state.iterations()) * kFrames);
}
}  // namespace

static void BM_Physics_RoomWorld(benchmark::State& state)
{
    const auto n = static_cast<int>(state.range(0));
    Object_Init();
    const int32_t ground = Object_CreateEmpty();
    const int32_t box = Object_CreateEmpty();
    Clock::duration spent{};
    for (auto _ : state) {
        state.PauseTiming();
        auto room = std::make_unique<CGameRoom>();
        Run_Room = room.get();
        auto* world = new PhysicsWorld(kScale, 60);
        room->physics = world;
        PhysicsFixture* fixture = PhysicsFixture_Create();
        fixture->SetBoxShape(200, 1);
        std::vector<std::unique_ptr<CInstance>> instances;
        // Boxes collide with the ground and with each other, as in the
        // library's world.
        auto bind = [&](int32_t object, std::vector<int32_t> partners, float x, float y) {
            instances.push_back(std::make_unique<CInstance>(x / kScale, y / kScale, 100000 + static_cast<int32_t>(instances.size()), object, false));
            CInstance* instance = instances.back().get();
            PhysicsBindTarget target{instance, &instance->m_physicsBody, instance->x, instance->y, 0, "bench", object,
                                     partners.data(), static_cast<int32_t>(partners.size())};
            world->AddFixture(fixture, target, 0, 0);
        };
        bind(ground, {box}, 100, 101);
        fixture->SetBoxShape(kHalf, kHalf);
        fixture->density = 1;
        for (int i = 0; i < n; ++i) {
            float x, y;
            Place(i, &x, &y);
            bind(box, {ground, box}, x, y);
        }
        PhysicsFixture_Delete(fixture->id);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        for (int frame = 0; frame < kFrames; ++frame) PhysicsWorld_Update(world, 60, false);
        spent += Clock::now() - start;
        state.PauseTiming();
        Room_DestroyInstanceBodies(room.get());
        instances.clear();
        room.reset();
        Run_Room = nullptr;
        state.ResumeTiming();
    }
    Report(state, spent);
    Object_Free();
}
BENCHMARK(BM_Physics_RoomWorld)->Arg(1000)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);

static void BM_Physics_LibraryDirect(benchmark::State& state)
{
    const auto n = static_cast<int>(state.range(0));
    Clock::duration spent{};
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<b2World>(b2Vec2(0.0f, 10.0f));
        world->SetAutoClearForces(false);
        b2BodyDef groundDef;
        groundDef.position.Set(100.0f, 101.0f);
        b2PolygonShape shape;
        shape.SetAsBox(200.0f, 1.0f);
        world->CreateBody(&groundDef)->CreateFixture(&shape, 0.0f);
        shape.SetAsBox(kHalf, kHalf);
        for (int i = 0; i < n; ++i) {
            b2BodyDef def;
            def.type = b2_dynamicBody;
            Place(i, &def.position.x, &def.position.y);
            world->CreateBody(&def)->CreateFixture(&shape, 1.0f);
        }
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        for (int frame = 0; frame < kFrames; ++frame) {
            world->Step(1.0f / 60.0f, 10, 10);
            world->ClearForces();
        }
        spent += Clock::now() - start;
    }
    Report(state, spent);
}
BENCHMARK(BM_Physics_LibraryDirect)->Arg(1000)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);
