// A runner for the end-to-end physics tests: the engine with a small game
// module whose code entries write what the collision events see.
#include <cstdio>

#include "Physics/PhysicsWorld.h"
#include "Runner/Run_Globals.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "TestModule.h"
#include "physics_codes.h"

namespace {
void Hit(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("Hit", 1);
    PhysicsWorld* world = Run_Room->physics;
    float x = 0, y = 0;
    const int points = world->GetCollisionPointCount(self);
    if (points > 0) world->GetCollisionPoint(self, points - 1, &x, &y);
    std::printf("Hit id=%d other=%d step=%lld points=%d py=%.1f y=%.2f\n", self->id, other->id,
                static_cast<long long>(StepCounter), points, y, self->y);
}

void End(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("End", 1);
    if (StepCounter < 220) return;
    std::printf("End id=%d x=%.2f y=%.2f angle=%.2f\n", self->id, self->x, self->y, self->image_angle);
    RequestGameEnd();
}

void HalfSpeed(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**) { Run_Room->speed /= 2; }

void Change(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("Change", 1);
    std::printf("Change id=%d step=%lld\n", self->id, static_cast<long long>(StepCounter));
    self->ChangeObject(3);
}

CompiledCodeEntry s_code[PHYSICS_CODE_COUNT] = {
    {"Hit", Hit}, {"End", End}, {"HalfSpeed", HalfSpeed}, {"Change", Change},
};
}  // namespace

GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    return TestModule_LinkRecord(record, s_code);
}

int main(int argc, char** argv)
{
    return TestModule_Main(argc, argv);
}
