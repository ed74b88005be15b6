// A runner for the end-to-end physics tests: the engine with a small game
// module whose code entries write what the collision events see.
#include <cstdio>

#include "Code/Code_Link.h"
#include "Code/Code_Value.h"
#include "Physics/PhysicsWorld.h"
#include "Runner/Run_Globals.h"
#include "World/Room_Main.h"
#include "Runner/Runner_Entry.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "physics_codes.h"

namespace {
StackTraceFrame* s_chainHead = nullptr;
LinkVariableRef* s_variables[] = {nullptr};
LinkFunctionRef* s_functions[] = {nullptr};

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
    *record = GameLinkRecord{};
    record->codeCount = PHYSICS_CODE_COUNT;
    record->variables = s_variables;
    record->functions = s_functions;
    record->codeTable = s_code;
    record->callChainHead = &s_chainHead;
    return record;
}

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return Runner_Main(argc, argv);
}
