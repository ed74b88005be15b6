#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

namespace {
// A room with one object, current for the run of a benchmark.
struct BenchRoom {
    CGameRoom room;
    int32_t object;
    BenchRoom()
    {
        Object_Init();
        object = Object_CreateEmpty();
        Run_Room = &room;
    }
    ~BenchRoom()
    {
        Run_Room = nullptr;
        Object_Free();
    }
};
}  // namespace

// Lookup by id among n live instances: flat in n.
static void BM_Instance_Find(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    std::vector<CInstance*> made;
    for (int32_t i = 0; i < n; ++i) {
        made.push_back(new CInstance(0, 0, 100000 + i, -1, false));
        Instance_Insert(100000 + i, made.back());
    }
    std::mt19937 random(1);
    std::vector<int32_t> ids(4096);
    for (int32_t& id : ids) id = 100000 + static_cast<int32_t>(random() % static_cast<uint32_t>(n));
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Instance_Find(ids[k++ & 4095]));
    }
    Instance_ClearTable(HASH_KEEP_VALUE);
    for (CInstance* instance : made) delete instance;
}
BENCHMARK(BM_Instance_Find)->Arg(1000)->Arg(10000)->Arg(100000);

// Making 100,000 instances as a room does (object lists, id table, active
// list) and deleting them again.
static void BM_Instance_CreateDestroy(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    BenchRoom world;
    std::vector<CInstance*> made(static_cast<size_t>(n));
    for (auto _ : state) {
        for (int32_t i = 0; i < n; ++i) {
            auto* instance = new CInstance(static_cast<float>(i), 0, 100000 + i, world.object, true);
            Instance_Insert(instance->id, instance);
            world.room.activeInstances.Insert(instance);
            ScriptValue_SetReal(instance->SlotAt(0), i);
            made[static_cast<size_t>(i)] = instance;
        }
        for (CInstance* instance : made) {
            Instance_Delete(instance->id);
            world.room.activeInstances.Remove(instance);
            delete instance;
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Instance_CreateDestroy)->Arg(100000)->Unit(benchmark::kMillisecond);

// One frame: k of n instances in the active list change depth during the
// step and are re-sorted when the depth-change queue is applied.
static void BM_DepthChangeQueue_Frame(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    const auto k = static_cast<int32_t>(state.range(1));
    BenchRoom world;
    std::mt19937 random(3);
    std::vector<CInstance*> made;
    for (int32_t i = 0; i < n; ++i) {
        auto* instance = new CInstance(0, 0, 100000 + i, -1, false);
        instance->depth = static_cast<float>(random() % 1000);
        world.room.activeInstances.Insert(instance);
        made.push_back(instance);
    }
    for (auto _ : state) {
        for (int32_t i = 0; i < k; ++i) {
            CInstance* instance = made[random() % made.size()];
            instance->depth = static_cast<float>(random() % 1000);
            DepthChangeQueue.AddUnique(instance);
        }
        DepthChangeQueue_Apply();
    }
    for (CInstance* instance : made) {
        world.room.activeInstances.Remove(instance);
        delete instance;
    }
}
BENCHMARK(BM_DepthChangeQueue_Frame)->Args({10000, 1000})->Args({20000, 1000})->Args({10000, 4})->Unit(benchmark::kMicrosecond);
