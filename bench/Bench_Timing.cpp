#include <benchmark/benchmark.h>

#include "Base/Timing.h"
#include "Options/Runner_Options.h"

// How far past the requested time Timing_SleepMicroseconds returns, for a
// requested duration (µs) and sleep margin (ms). Reported as counters:
// overshoot_us (mean) and overshoot_max_us.
static void BM_Timing_SleepPrecision(benchmark::State& state)
{
    const int64_t duration = state.range(0);
    const int32_t savedMargin = SleepMargin;
    SleepMargin = static_cast<int32_t>(state.range(1));
    Timing_Init();
    double total = 0.0;
    double worst = 0.0;
    for (auto _ : state) {
        const uint64_t start = Timing_Microseconds();
        const uint64_t end = Timing_SleepMicroseconds(duration);
        const double over = static_cast<double>(end - start) - static_cast<double>(duration);
        total += over;
        if (over > worst) worst = over;
    }
    SleepMargin = savedMargin;
    state.counters["overshoot_us"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    state.counters["overshoot_max_us"] = worst;
}
BENCHMARK(BM_Timing_SleepPrecision)
    ->ArgNames({"us", "margin_ms"})
    ->Args({1000, 10})
    ->Args({5000, 10})
    ->Args({12000, 10})
    ->Args({12000, 2})
    ->Args({12000, 0})
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

static void BM_Timing_Microseconds(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(Timing_Microseconds());
}
BENCHMARK(BM_Timing_Microseconds);
