#pragma once
// The main loop: entering it, and one frame paced to the room speed (or the
// game speed in layer mode), with the game step between the renderer's start
// and end of frame and the pending room request acted upon afterwards.
#include <cstdint>

#include "Base/Timing.h"
#include "Graphics/Graphics_Window.h"

// Frame pacing; the remote debugger link switches it off.
extern bool FramePacing;

void Run_Start();
void Run_EnterMainLoop();
void Run_Frame();

// The pause a frame asks for: 1,000,000 / rate minus the microseconds
// already spent, in single precision, clamped to 0 .. 1,000,000. A rate of 0
// or less means no wait.
int64_t Run_FrameWait(double rate, int64_t elapsed);
// The target rate of the next frame: the game speed in layer mode, else the
// current room's speed (repaired to 1 when 0 or less); 60 otherwise. 0 means
// unpaced (layer mode with no game speed).
double Run_TargetRate();
