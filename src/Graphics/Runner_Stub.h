#pragma once
// Stand-ins for services of the game runner that the renderer and input code
// call: the device-reset countdown, the debug overlay's timing hooks and the
// window settings of the options chunk. The run state, message pump, clock
// and game-end request are the runner's own.
#include <cstdint>

#include "Base/Timing.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"

extern int32_t DeviceResetCountdown;

// Window settings read from the options chunk.
struct WindowOptions {
    int32_t width = 1024, height = 768;
    uint32_t flags = 0x20;  // 1 full screen, 0x10 keep aspect, 0x20 show cursor, 0x40 sizeable, 0x4000 borderless
    int32_t showCursor = 1;
    bool altEnter = false;
    const char* caption = "";
};
extern WindowOptions Option_WindowSettings;

void Timing_Reset();
void DebugOverlay_Init();
void DebugOverlay_Draw();
void Timing_PrintFPSStats();
extern int32_t DrawnFrameCount;
