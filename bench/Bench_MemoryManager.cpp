#include <benchmark/benchmark.h>

#include <vector>

#include "Base/MemoryManager.h"

// One allocation and its free, by request size (pool cells up to 256 bytes,
// header blocks beyond).
static void BM_MemoryManager_AllocFree(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* p = QS_ALLOC(size, false);
        benchmark::DoNotOptimize(p);
        QS_FREE(p);
    }
}
BENCHMARK(BM_MemoryManager_AllocFree)->Arg(8)->Arg(64)->Arg(256)->Arg(1024);

// Many live cells: frees search the slabs of every smaller cell size first.
static void BM_MemoryManager_BatchAllocFree(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    std::vector<void*> blocks(4096);
    for (auto _ : state) {
        for (void*& p : blocks) p = QS_ALLOC(size, false);
        for (void* p : blocks) QS_FREE(p);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_MemoryManager_BatchAllocFree)->Arg(8)->Arg(256)->Arg(1024);

// Growing a block step by step, as text buffers and arrays do.
static void BM_MemoryManager_ReallocGrowth(benchmark::State& state)
{
    for (auto _ : state) {
        void* p = nullptr;
        for (size_t size = 16; size <= 4096; size += 16) p = QS_REALLOC(p, size);
        QS_FREE(p);
    }
}
BENCHMARK(BM_MemoryManager_ReallocGrowth);
