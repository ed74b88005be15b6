// The random built-ins over the engine's generator.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Base/Random.h"
#include "Base/Timing.h"
#include "Code/Code_Arguments.h"
#include "Function/Function_Math.h"
#include "Function/Function_MathRoutines.h"
#include "Host/Host_Time.h"

namespace {
// Two generator outputs, low word first: a non-negative 63-bit number, or all
// 64 bits for the spans 63 bits cannot cover.
uint64_t Draw(bool full)
{
    const uint64_t lo = Random_Next();
    const uint64_t hi = Random_Next() & (full ? 0xffffffffu : 0x7fffffffu);
    return hi << 32 | lo;
}

// A draw in 0 .. span inclusive. Spans are unsigned so that the bounds of the
// 64-bit range neither overflow nor leave a modulus of 0 (span + 1 wraps to 0
// only for the full range, which a 64-bit draw covers as it is).
uint64_t DrawUpTo(uint64_t span)
{
    constexpr uint64_t kTop63 = uint64_t{1} << 63;
    const uint64_t r = Draw(span >= kTop63);
    const uint64_t modulus = span + 1;
    return modulus == 0 ? r : r % modulus;
}

uint64_t Magnitude(int64_t n) { return n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n); }
}  // namespace

int64_t Random_IntUpTo(int64_t n)
{
    const uint64_t offset = DrawUpTo(Magnitude(n));
    return static_cast<int64_t>(n < 0 ? 0 - offset : offset);
}

int64_t Random_IntBetween(int64_t a, int64_t b)
{
    const int64_t base = std::min(a, b);
    const uint64_t span = static_cast<uint64_t>(std::max(a, b)) - static_cast<uint64_t>(base);
    return static_cast<int64_t>(static_cast<uint64_t>(base) + DrawUpTo(span));
}

void F_Random(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double x = Arg_Real(a, 0);
    ScriptValue_SetReal(r, Random_NextReal(1.0) * x);
}

void F_RandomRange(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const double lo = Arg_Real(a, 0), hi = Arg_Real(a, 1);
    ScriptValue_SetReal(r, std::min(lo, hi) + Random_NextReal(1.0) * std::fabs(lo - hi));
}

void F_IRandom(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, static_cast<double>(Random_IntUpTo(Arg_Int64(a, 0))));
}

void F_IRandomRange(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const int64_t lo = Arg_Int64(a, 0), hi = Arg_Int64(a, 1);
    ScriptValue_SetReal(r, static_cast<double>(Random_IntBetween(lo, hi)));
}

void F_RandomUseOldVersion(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    Random_SetOldVersion(Arg_Int32(a, 0) > 0);
    ScriptValue_SetReal(r, 0.0);
}

void F_RandomSetSeed(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    Random_Seed(Arg_UInt32(a, 0));
    ScriptValue_SetReal(r, 0.0);
}

void F_RandomGetSeed(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(r, static_cast<double>(Random_GetSeed()));
}

// Seeds from the clock: the time since start-up plus the raw clock count.
void F_Randomize(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*)
{
    const uint64_t t = Timing_Microseconds() + HostTime_MonotonicNanoseconds();
    const auto lo = static_cast<uint32_t>(t);
    const auto hi = static_cast<uint32_t>(t >> 32);
    const uint32_t seed = (lo + hi) ^ static_cast<uint32_t>((t >> 16) & 0xFFFF) ^ (lo << 16);
    Random_Seed(seed);
    ScriptValue_SetReal(r, static_cast<double>(seed));
}

void F_Choose(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc <= 0) {
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    const int i = std::min(static_cast<int>(Random_NextInt(argc)), argc - 1);
    r->Assign(a[i]);
}
