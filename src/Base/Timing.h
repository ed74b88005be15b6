#pragma once
// The microsecond clock, the precise sleep used for frame pacing, and the
// frame timer that turns a target frame rate into fixed time steps.
#include <cstdint>

// Starts the clock; readings before the first call count from an arbitrary origin.
void Timing_Init();
// Microseconds since Timing_Init.
uint64_t Timing_Microseconds();

// Longest wait Timing_SleepMicroseconds accepts; longer requests are shortened.
constexpr int64_t kTimingMaxSleepMicroseconds = 3000000;
// The part of a sleep of duration microseconds, in whole milliseconds, that is
// spent in a timer wait; the rest (at least the sleep margin) is spun.
int64_t Timing_CoarseWaitMilliseconds(int64_t duration, int32_t sleepMarginMs);
// Waits duration microseconds (at most 3 s): a timer wait for all but the
// last SleepMargin milliseconds, then spinning with the message pump until the
// deadline. Returns the clock reading at the end, 0 when nothing was waited.
uint64_t Timing_SleepMicroseconds(int64_t duration);

// The window's message pump, run while a wait spins and while a modal dialog
// waits; set by Runner_InstallHooks, until then nothing is pumped.
void Timing_SetMessagePump(int (*pump)());
void Timing_PumpMessages();
// Where the sleep margin in milliseconds is kept (the -sleepmargin option);
// set by Runner_InstallHooks, 0 while none is set.
void Timing_SetSleepMargin(const int32_t* milliseconds);

struct FrameTimer {
    int64_t accumulated = 0;     // microseconds, advanced by Tick unless paused
    int64_t lastTimestamp = 0;   // microseconds
    bool paused = false;
    double targetRate = 0.0;     // frames per second; 0 or less runs on the real clock
    int64_t lastDelta = 0;       // microseconds

    void Reset();
    void SetFPS(double rate);
    // With a target rate, advances by exactly one frame's time whatever the
    // real time was; otherwise follows the clock.
    void Tick();
    double GetFPS() const;
};

// The frame timer that paces the game.
extern FrameTimer GameFrameTimer;
// Frames the main loop counted in the last completed second (the built-in fps).
extern int32_t fps;
// Microseconds between the starts of the last two steps (the built-in delta_time).
extern int64_t delta_time;
