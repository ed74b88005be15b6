#include "Base/Random.h"

namespace {
constexpr RandomState Seeded(uint32_t seed, uint32_t mask)
{
    RandomState s{};
    s.lastSeed = seed;
    s.mask = mask;
    uint32_t x = seed;
    for (uint32_t& word : s.state) {
        int32_t lcg = static_cast<int32_t>(x * 214013u + 2531011u);
        x = static_cast<uint32_t>(lcg >> 16) & 0x7FFFFFFFu;
        word = x;
    }
    s.index = 0;
    return s;
}

// Constant-initialised, so code running before main already sees the seed 0.
constinit RandomState g_random = Seeded(0, RANDOM_MASK);
}  // namespace

void Random_Seed(uint32_t seed) { g_random = Seeded(seed, g_random.mask); }

uint32_t Random_GetSeed() { return g_random.lastSeed; }

void Random_SetOldVersion(bool flag) { g_random.mask = flag ? RANDOM_MASK_OLD : RANDOM_MASK; }

uint32_t Random_Next()
{
    uint32_t* s = g_random.state;
    uint32_t i = g_random.index;
    uint32_t a = s[i];
    uint32_t c = s[(i - 3) & 15];
    uint32_t b = a ^ c ^ (a << 16) ^ (c << 15);
    c = s[(i - 7) & 15];
    c ^= c >> 11;
    a = b ^ c;
    s[i] = a;
    uint32_t d = a ^ ((a << 5) & g_random.mask);
    i = (i - 1) & 15;
    a = s[i];
    s[i] = a ^ b ^ d ^ (a << 2) ^ (b << 18) ^ (c << 28);
    g_random.index = i;
    return s[i];
}

double Random_NextReal(double x)
{
    double r = static_cast<double>(Random_Next()) * (1.0 / 4294967296.0);
    return x == 1.0 ? r : r * x;
}

uint32_t Random_NextInt(int32_t n)
{
    uint32_t v = Random_Next();
    uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    return m == 0 ? 0 : v % m;
}
