// A runner for the end-to-end tests of the frame loop: the engine with a small
// game module whose code entries write one line per event they run to
// standard output ("<tag> id=<id> ev=<kind>,<sub> step=<step> x=<x>") and
// act on the world the way the test games need.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Network/Http_Client.h"
#include "Sound/Audio_Engine.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Room.h"
#include "world_codes.h"
#include "TestModule.h"

namespace {
int s_restarts = 0;
bool s_wentNext = false;

void Trace(const char* tag, CInstance* self)
{
    std::printf("%s id=%d ev=%d,%d step=%lld room=%d x=%g\n", tag, self ? self->id : -1, Event_CurrentKind,
                Event_CurrentNumber, static_cast<long long>(StepCounter), room, self ? self->x : 0.0);
}

#define CODE(name, body)                                                                  \
    void name(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)             \
    {                                                                                     \
        StackTraceFrame frame(#name, 1);                                                  \
        Trace(#name, self);                                                               \
        body;                                                                             \
    }

CODE(Ev, (void)0)
CODE(SetAlarm3, self->SetAlarm(0, 3))
CODE(StartTimeline, { self->timeline_index = 0; self->timeline_running = true; self->timeline_speed = 1; })
CODE(GotoNext, { if (room == 0 && !s_wentNext) PendingRoomCode = 1; s_wentNext = true; })
CODE(EndAtStep4, { if (StepCounter >= 4) RequestGameEnd(); })
CODE(RestartOnce, { PendingRoomCode = s_restarts++ == 0 ? ROOMCODE_RESTART : ROOMCODE_END; })
CODE(Fatal, ReportRuntimeError("world: a fatal error", true))
CODE(Move3, self->SetHSpeed(3))
CODE(RoomCode, (void)0)
CODE(Persist, self->persistent = true)
CODE(GotoBack, { if (room == 1) PendingRoomCode = 0; })
CODE(FatalBusy, {
    // As a game would: a request through the built-in, a looping sound.
    ScriptValue url = ScriptValue_Undefined();
    ScriptValue_SetString(&url, std::getenv("QS_TEST_URL") ? std::getenv("QS_TEST_URL") : "");
    ScriptValue* args[] = {&url};
    ScriptValue result = ScriptValue_Undefined();
    int32_t httpGet = -1;
    if (CodeFunction_Find("http_get", &httpGet)) CallBuiltinFunction(self, self, &result, 1, httpGet, args);
    ScriptValue_SetUndefined(&url);
    const int32_t voice = Audio_PlaySimple(0, 1, 1);
    std::printf("busy requests=%d playing=%d\n", Http_RunningCount(), Audio_IsPlaying(voice) ? 1 : 0);
    FatalRuntimeError("world: a fatal error while a request and a sound are under way (%s)", std::string(600, 'x').c_str());
})

CompiledCodeEntry s_code[WORLD_CODE_COUNT] = {
    {"Ev", Ev}, {"SetAlarm3", SetAlarm3}, {"StartTimeline", StartTimeline}, {"GotoNext", GotoNext},
    {"EndAtStep4", EndAtStep4}, {"RestartOnce", RestartOnce}, {"Fatal", Fatal}, {"Move3", Move3},
    {"RoomCode", RoomCode}, {"Persist", Persist}, {"GotoBack", GotoBack},
    {"FatalBusy", FatalBusy},
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
