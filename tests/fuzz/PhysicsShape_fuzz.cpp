// Fuzzes the fixture templates' point builders and the shapes they make: the
// input picks a shape kind and gives raw floats as points (NaN, infinities,
// repeats and all); the template is bound twice to a body that falls onto a
// ground for a few steps. Nothing may reach the physics library's assertions.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Physics/PhysicsWorld.h"

namespace {
constexpr size_t kMaxPoints = 64;

float FloatAt(const uint8_t* data)
{
    float v;
    std::memcpy(&v, data, sizeof v);
    return v;
}

int32_t Bind(PhysicsWorld& world, PhysicsFixture* fixture, PhysicsBody** body, float x, float y)
{
    static int tag;
    const int32_t key = 1;
    PhysicsBindTarget target{&tag, body, x, y, 0, "fuzz", key, &key, 1};
    return world.AddFixture(fixture, target, 0, 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        Console_SetStdoutSuppressed(true);
        // A fatal error ends only the game here, never the process.
        ErrorReportHooks hooks = ErrorReport_SetHooks(ErrorReportHooks{});
        hooks.showDialog = nullptr;
        hooks.quitGame = nullptr;
        hooks.endGame = [] {};
        ErrorReport_SetHooks(hooks);
        ChildGame = true;
        return true;
    }();
    (void)ready;
    if (size < 2) return 0;
    const uint8_t kind = data[0] % 6;
    const float density = static_cast<float>(data[1] & 0x7F) / 16.0f;
    const uint8_t* points = data + 2;
    const size_t count = (size - 2) / 8 < kMaxPoints ? (size - 2) / 8 : kMaxPoints;

    PhysicsFixture* fixture = PhysicsFixture_Create();
    switch (kind) {
    case 0:
        fixture->SetPolygonShape();
        break;
    case 1:
    case 2:
        fixture->SetChainShape(kind == 2);
        break;
    case 3:
        fixture->SetEdgeShape(count > 0 ? FloatAt(points) : 0, count > 0 ? FloatAt(points + 4) : 0,
                              count > 1 ? FloatAt(points + 8) : 0, count > 1 ? FloatAt(points + 12) : 0);
        break;
    case 4:
        fixture->SetCircleShape(count > 0 ? FloatAt(points) : 0);
        break;
    default:
        fixture->SetBoxShape(count > 0 ? FloatAt(points) : 0, count > 0 ? FloatAt(points + 4) : 0);
        break;
    }
    for (size_t i = 0; i < count; ++i) {
        fixture->AddPoint(FloatAt(points + 8 * i), FloatAt(points + 8 * i + 4));
        FatalErrorShown = false;
    }
    fixture->density = density;

    PhysicsWorld world(0.1f, 60);
    PhysicsFixture* ground = PhysicsFixture_Create();
    ground->SetBoxShape(100, 1);
    PhysicsBody* floor = nullptr;
    Bind(world, ground, &floor, 0, 100);
    PhysicsBody* body = nullptr;
    Bind(world, fixture, &body, 0, 0);
    FatalErrorShown = false;
    if (body) {
        Bind(world, fixture, &body, 0, 0);  // a second fixture on the same body
        FatalErrorShown = false;
        body->SetDensity(0, density * 2);
        for (int frame = 0; frame < 3; ++frame) {
            world.Step(60);
            world.FireCollisionEvents([](void*, void*) {});
        }
        body->RemoveFixture(0);
        world.Step(60);
        world.FireCollisionEvents([](void*, void*) {});
    }
    delete body;
    delete floor;
    PhysicsFixture_Delete(fixture->id);
    PhysicsFixture_Delete(ground->id);
    FatalErrorShown = false;
    error_occurred = false;
    return 0;
}
