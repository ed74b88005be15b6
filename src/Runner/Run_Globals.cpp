#include "Runner/Run_Globals.h"

#include "Base/ErrorLast.h"
#include "Runner/Runner_Entry.h"

int64_t StepCounter = 0;
bool DebuggerPause = false;
uint32_t GameId = 0;

namespace {
void ResetSurfaceGlobals()
{
    GameId = 0;
    DrawFrame_Reset();
}

void FreeCaptions()
{
    ScriptValue_SetUndefined(&caption_score);
    ScriptValue_SetUndefined(&caption_lives);
    ScriptValue_SetUndefined(&caption_health);
}
}  // namespace

void SetDefaultCaptions()
{
    FreeCaptions();
    ScriptValue_SetString(&caption_health, "Health: ");
    MainLoopRunning = 0;
    DebuggerPause = false;
    transition_kind = 0;
    score = 0;
    show_score = true;
    ScoreShownExplicitly = false;
    lives = -1;
    show_lives = false;
    health = 100.0;
    show_health = false;
    cursor_sprite = -1;
    StepCounter = 0;
    DrawEventsEnabled = true;
    ResetSurfaceGlobals();
}

void Run_ResetGameGlobals()
{
    score = 0;
    lives = -1;
    cursor_sprite = -1;
    StepCounter = 0;
    transition_kind = 0;
}

void Run_ResetRunGlobals()
{
    FreeCaptions();
    ErrorLast_Set(nullptr);
    ResetSurfaceGlobals();
}
