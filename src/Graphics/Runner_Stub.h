#pragma once
// Stand-ins for services of the game runner and the core runtime that the
// renderer and input code call: the frame loop's run state and device-reset
// countdown, the message pump entry, the clock, the game-end request, the
// debug overlay's timing hooks and the window settings of the options chunk.
#include <cstdint>

extern bool MainLoopRunning;
extern int32_t DeviceResetCountdown;
extern int32_t PendingRoom;  // -1 none, -100 end the game

// Window settings read from the options chunk.
struct WindowOptions {
    int32_t width = 1024, height = 768;
    uint32_t flags = 0x20;  // 1 full screen, 0x10 keep aspect, 0x20 show cursor, 0x40 sizeable, 0x4000 borderless
    int32_t showCursor = 1;
    bool altEnter = false;
    const char* caption = "";
};
extern WindowOptions Option_WindowSettings;

// Handles every waiting window message; WM_QUIT clears MainLoopRunning.
int DispatchPendingMessages();
void RequestGameEnd();
uint64_t Timing_Microseconds();
// Sleeps for the duration, pumping window messages; returns the clock reached.
int64_t Timing_SleepMicroseconds(int64_t microseconds);
void Timing_Reset();
void DebugOverlay_Init();
void DebugOverlay_Draw();
void Timing_PrintFPSStats();
extern int32_t DrawnFrameCount;
