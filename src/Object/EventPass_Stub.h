#pragma once
// STAND-IN for the per-step event drivers' pass counter until they exist:
// every pass over instances advances it; new instances record it.
#include <cstdint>

extern uint64_t EventPassCounter;
