#pragma once
// The run globals: the room transition, the step counter, drawing on or off,
// the debugger pause and the application-surface settings, with their start
// values; and the start values of the game state (score, lives and health
// with their captions, Variable_GameState.h) and the cursor.
#include <cstdint>

#include "Draw/Draw_Frame.h"
#include "IO/Run_Score.h"
#include "Variable/Variable_GameState.h"
#include "World/Run_CommandRoom.h"

extern int64_t StepCounter;        // completed game steps since the game started
extern bool DebuggerPause;         // frames run no step while set
extern uint32_t GameId;

// Start values of the run globals (captions made afresh).
void SetDefaultCaptions();
// What every game start resets: score, lives, cursor, step counter, transition.
void Run_ResetGameGlobals();
// Between passes of the restart loop: captions and the last error text
// freed, surface globals reset.
void Run_ResetRunGlobals();
