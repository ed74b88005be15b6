#pragma once
// The monotonic clock and precise waits for the engine's clock.
#include <cstdint>

// CLOCK_MONOTONIC in nanoseconds.
uint64_t HostTime_MonotonicNanoseconds();
// Sleeps for the given time on CLOCK_MONOTONIC (an absolute deadline, so a
// signal that interrupts the sleep does not shorten or lengthen it).
void HostTime_Wait(int64_t microseconds);
