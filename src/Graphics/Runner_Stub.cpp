// Stand-ins: see Runner_Stub.h. The runner's own modules replace them.
#include "Graphics/Runner_Stub.h"

#include <ctime>

#include "Base/Console.h"
#include "Graphics/Graphics_Window.h"
#include "Host/Host_Window.h"

bool MainLoopRunning = true;
int32_t DeviceResetCountdown = 0;
int32_t PendingRoom = -1;
WindowOptions Option_WindowSettings;
int32_t DrawnFrameCount = 0;

int DispatchPendingMessages()
{
    if (HostWindow_DispatchMessages(GR_Window_WndProc)) MainLoopRunning = false;
    return 0;
}

void RequestGameEnd() { PendingRoom = -100; }

uint64_t Timing_Microseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

int64_t Timing_SleepMicroseconds(int64_t microseconds)
{
    if (microseconds > 3000000) microseconds = 3000000;
    const uint64_t end = Timing_Microseconds() + static_cast<uint64_t>(microseconds > 0 ? microseconds : 0);
    if (microseconds > 0) {
        const timespec wait{static_cast<time_t>(microseconds / 1000000), static_cast<long>(microseconds % 1000000) * 1000};
        nanosleep(&wait, nullptr);
    }
    while (Timing_Microseconds() < end) DispatchPendingMessages();
    return static_cast<int64_t>(Timing_Microseconds());
}

void Timing_Reset() {}
void DebugOverlay_Init() {}
void DebugOverlay_Draw() { ++DrawnFrameCount; }
void Timing_PrintFPSStats() {}
