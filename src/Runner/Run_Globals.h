#pragma once
// The run globals: score, lives and health with their captions, the cursor,
// the room transition, the step counter, drawing on or off, the debugger
// pause and the application-surface settings, with their start values.
#include <cstdint>

#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "IO/Run_Score.h"
#include "World/Run_CommandRoom.h"

extern ScriptValue caption_score;   // no text at start
extern ScriptValue caption_lives;
extern ScriptValue caption_health;  // "Health: "
extern bool show_score;
extern double lives;
extern bool show_lives;
extern double health;
extern bool show_health;
extern int64_t StepCounter;        // completed game steps since the game started
extern bool DebuggerPause;         // frames run no step while set
extern uint32_t GameId;

// Start values of the run globals (captions made afresh).
void SetDefaultCaptions();
// What every game start resets: score, lives, cursor, step counter, transition.
void Run_ResetGameGlobals();
// Between passes of the restart loop: captions freed, surface globals reset.
void Run_ResetRunGlobals();
