#include <benchmark/benchmark.h>
#include <cstdlib>

#include "Base/MemoryManager.h"

static void BM_SmallAlloc(benchmark::State& state)
{
    for (auto _ : state) {
        void* p = QS_ALLOC(24, false);
        benchmark::DoNotOptimize(p);
        QS_FREE(p);
    }
}
BENCHMARK(BM_SmallAlloc);
