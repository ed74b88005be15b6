#pragma once
// Stand-ins for the debug overlay's timing hooks that the renderer calls. The
// run state, message pump, clock, resize countdown and game-end request are
// the runner's own; their headers come with this one.
#include <cstdint>

#include "Base/Timing.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Run_Main.h"


void Timing_Reset();
void DebugOverlay_Init();
void DebugOverlay_Draw();
void Timing_PrintFPSStats();
extern int32_t DrawnFrameCount;
