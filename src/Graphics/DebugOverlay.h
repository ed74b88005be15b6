#pragma once
// The debug overlay (-debug): the timing markers of each frame, the counters
// reset at the start of a frame, the overlay drawn at its end and the frame
// statistics printed at shutdown. Until the overlay exists
// (DebugOverlay_Stub.cpp) it only counts the frames drawn.
#include <cstdint>


void Timing_Reset();
void DebugOverlay_Init();
void DebugOverlay_Draw();
void Timing_PrintFPSStats();
extern int32_t DrawnFrameCount;

// The timing markers of a frame: the coloured bars of the overlay.
void Timing_Push(uint32_t colour, const char* name);
void Timing_Pop();
