#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "GameData/GameOptions.h"
#include "World/Collision.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Run_Command.h"
#include "Sprite/Sprite_Main.h"

namespace {
// n instances of two objects, half each, spread so that the number of
// neighbours per instance stays the same whatever n is; the first object
// has a collision event (the bench module's counting code) with the second.
struct CollisionWorld {
    CGameRoom room;
    std::vector<CInstance*> instances;
    std::mt19937 random{3};
    float side;
    int32_t first = -1, second = -1;

    CollisionWorld(int32_t n, bool index)
    {
        GameOptions.collisionMode = index;
        LinkRecord_Load();
        Object_Init();
        const int32_t sprite = Sprite_AddEmpty();
        CSprite* shape = Sprite_Get(sprite);
        shape->frameCount = 1;
        shape->width = shape->height = 16;
        shape->xorigin = shape->yorigin = 8;
        shape->bboxRight = shape->bboxBottom = 15;
        first = Object_CreateEmpty();
        second = Object_CreateEmpty();
        for (int32_t o : {first, second}) Object_Get(o)->sprite = sprite;
        ObjectEventList& list = Object_Get(first)->events[EVENT_COLLISION];
        list.events = static_cast<CEvent**>(QS_ALLOC(sizeof(CEvent*) * static_cast<size_t>(second + 1), true));
        list.count = second + 1;
        auto* event = new CEvent();
        event->m_code = new CCode(0, 0);
        event->m_name = "collision";
        list.events[second] = event;
        Object_BuildEventLists();
        Run_Room = &room;
        side = 40.0f * std::sqrt(static_cast<float>(n));
        std::uniform_real_distribution<float> place(0, side);
        for (int32_t i = 0; i < n; ++i) instances.push_back(room.CreateInstance(place(random), place(random), i % 2 ? second : first));
    }
    ~CollisionWorld()
    {
        Run_Room = nullptr;
        room.DeleteActiveInstances();
        Collision_Reset();
        Object_FreeEventLists();
        Object_Free();
        Sprite_FreeAll();
        LinkRecord_Free();
        GameOptions.collisionMode = false;
    }
    // The movement phase: every instance takes a random step.
    void Move()
    {
        std::uniform_real_distribution<float> step(-2, 2);
        for (CInstance* i : instances) {
            i->xprevious = i->x;
            i->yprevious = i->y;
            i->SetPosition(i->x + step(random), i->y + step(random));
        }
    }
};

// The collision pass of one frame after every instance moved.
void CollisionPass(benchmark::State& state, bool index)
{
    const auto n = static_cast<int32_t>(state.range(0));
    CollisionWorld world(n, index);
    for (auto _ : state) {
        state.PauseTiming();
        world.Move();
        state.ResumeTiming();
        Collision_Step();
    }
    state.SetComplexityN(n);
}
}  // namespace

static void BM_Collision_PassWithIndex(benchmark::State& state) { CollisionPass(state, true); }
BENCHMARK(BM_Collision_PassWithIndex)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oNLogN);

// Without the index every instance of one object is tested against every instance of the other.
static void BM_Collision_PassWithoutIndex(benchmark::State& state) { CollisionPass(state, false); }
BENCHMARK(BM_Collision_PassWithoutIndex)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// instance_place of one instance at random places, against the second object.
static void BM_Collision_InstancePlace(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    CollisionWorld world(n, true);
    CInstance* probe = world.instances.front();
    std::uniform_real_distribution<float> place(0, world.side);
    std::vector<std::pair<float, float>> places(4096);
    for (auto& p : places) p = {place(world.random), place(world.random)};
    size_t k = 0;
    for (auto _ : state) {
        const auto& p = places[k++ & 4095];
        benchmark::DoNotOptimize(Instance_Place(probe, p.first, p.second, world.second));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_Collision_InstancePlace)->Arg(1000)->Arg(10000)->Arg(50000);
