// A runner for the end-to-end collision tests: the engine with a game module
// whose code entries write one line per event they run to standard output
// ("<tag> id=<id> other=<id> ev=<kind>,<sub> step=<step> room=<room> x=<x>").
// The sprite table of the engine holds one 16 x 16 sprite with its origin at
// the top left.
#include <cstdio>

#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Run_CommandRoom.h"
#include "Runner/Run_Globals.h"
#include "collision_codes.h"
#include "TestModule.h"

namespace {

void Trace(const char* tag, CInstance* self, CInstance* other)
{
    std::printf("%s id=%d other=%d ev=%d,%d step=%lld room=%d x=%g\n", tag, self ? self->id : -1, other ? other->id : -1,
                Event_CurrentKind, Event_CurrentNumber, static_cast<long long>(StepCounter), Room_CurrentIndex(),
                self ? self->x : 0.0);
}

#define CODE(name, body)                                                                  \
    void name(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)       \
    {                                                                                     \
        StackTraceFrame frame(#name, 1);                                                  \
        Trace(#name, self, other);                                                        \
        body;                                                                             \
    }

CODE(MoveRight, self->SetHSpeed(4))
CODE(Hit, (void)0)
CODE(EndStep, (void)0)
CODE(GotoNext, { if (StepCounter == 9) Room_GotoNext(); })
CODE(RoomStart, Game_End())

CompiledCodeEntry s_code[COLLISION_CODE_COUNT] = {
    {"MoveRight", MoveRight}, {"Hit", Hit}, {"EndStep", EndStep}, {"GotoNext", GotoNext}, {"RoomStart", RoomStart},
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
