#pragma once
// The engine's process-wide random generator: WELL512 seeded through an LCG,
// with a switchable tempering mask. Seeded with 0 at program start.
#include <cstdint>

struct RandomState {
    uint32_t state[16];
    uint32_t index;      // 0..15
    uint32_t lastSeed;   // what Random_Seed was last given
    uint32_t mask;       // tempering mask
};

constexpr uint32_t RANDOM_MASK = 0xDA442D24;
constexpr uint32_t RANDOM_MASK_OLD = 0xDA442D20;

void Random_Seed(uint32_t seed);
uint32_t Random_GetSeed();
uint32_t Random_Next();
// Chooses the old tempering mask (set) or the standard one.
void Random_SetOldVersion(bool flag);
// A value in [0, x).
double Random_NextReal(double x);
// A value in [0, |n|); 0 for n = 0 (a draw is still taken).
uint32_t Random_NextInt(int32_t n);
