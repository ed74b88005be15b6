#include "Base/Timing.h"

#include "Host/Host_Time.h"

FrameTimer GameFrameTimer;
int32_t fps = 0;
int64_t delta_time = 0;

namespace {
uint64_t s_startNanoseconds = 0;
int NoPump() { return 0; }
int (*s_messagePump)() = NoPump;
const int32_t* s_sleepMargin = nullptr;
constexpr int64_t kMaxStepMicroseconds = 86400LL * 1000000;
}

void Timing_SetMessagePump(int (*pump)())
{
    s_messagePump = pump ? pump : NoPump;
}

void Timing_PumpMessages()
{
    s_messagePump();
}

void Timing_SetSleepMargin(const int32_t* milliseconds)
{
    s_sleepMargin = milliseconds;
}

void Timing_Init()
{
    s_startNanoseconds = HostTime_MonotonicNanoseconds();
}

uint64_t Timing_Microseconds()
{
    return (HostTime_MonotonicNanoseconds() - s_startNanoseconds) / 1000;
}

int64_t Timing_CoarseWaitMilliseconds(int64_t duration, int32_t sleepMarginMs)
{
    if (duration > kTimingMaxSleepMicroseconds) duration = kTimingMaxSleepMicroseconds;
    // A negative margin would make the timer overshoot the deadline.
    const int64_t margin = sleepMarginMs > 0 ? sleepMarginMs : 0;
    const int64_t wait = (duration - margin * 1000) / 1000;
    return wait > 0 ? wait : 0;
}

uint64_t Timing_SleepMicroseconds(int64_t duration)
{
    if (duration <= 0) return 0;
    if (duration > kTimingMaxSleepMicroseconds) duration = kTimingMaxSleepMicroseconds;
    const uint64_t start = Timing_Microseconds();
    const int64_t coarse = Timing_CoarseWaitMilliseconds(duration, s_sleepMargin ? *s_sleepMargin : 0);
    if (coarse > 0) HostTime_Wait(coarse * 1000);
    const uint64_t deadline = start + static_cast<uint64_t>(duration);
    uint64_t now;
    do {
        Timing_PumpMessages();
        now = Timing_Microseconds();
        if (now < start) break;  // the clock origin moved under us
    } while (now < deadline);
    return now;
}

void FrameTimer::Reset()
{
    SetFPS(targetRate);
}

void FrameTimer::SetFPS(double rate)
{
    accumulated = 0;
    targetRate = rate;
    lastTimestamp = rate > 0.0 ? static_cast<int64_t>(Timing_Microseconds()) : 0;
    lastDelta = 0;
    paused = false;
}

void FrameTimer::Tick()
{
    int64_t next;
    if (targetRate > 0.0) {
        // A vanishing rate must not overflow the conversion: one step is capped at a day.
        const double step = 1000000.0 / targetRate;
        next = lastTimestamp + (step < kMaxStepMicroseconds ? static_cast<int64_t>(step) : kMaxStepMicroseconds);
    } else {
        next = static_cast<int64_t>(Timing_Microseconds());
    }
    lastDelta = next - lastTimestamp;
    if (!paused) accumulated += lastDelta;
    lastTimestamp = next;
}

double FrameTimer::GetFPS() const
{
    if (targetRate > 0.0) return targetRate;
    if (lastDelta > 0) return 1000000.0 / static_cast<double>(lastDelta);
    return 30.0;
}
