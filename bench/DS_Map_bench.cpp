// Maps of game code against std::unordered_map, and grid area operations.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "Code/Code_Value.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Map.h"

namespace {
std::vector<ScriptValue> StringKeys(int n)
{
    std::vector<ScriptValue> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) ScriptValue_InitString(&keys[static_cast<size_t>(i)], ("key" + std::to_string(i)).c_str());
    return keys;
}

void ReleaseAll(std::vector<ScriptValue>& values)
{
    for (ScriptValue& v : values) ScriptValue_SetUndefined(&v);
}

// One iteration: insert every key, then find every key. The map's bucket
// array is fixed (256 buckets), so its cost grows with the square of the key
// count: a million keys take minutes, so the map runs up to 100,000.
void BM_DsMapStringKeys(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<ScriptValue> keys = StringKeys(n);
    const ScriptValue one = ScriptValue_Real(1);
    for (auto _ : state) {
        DsMap map;
        for (const ScriptValue& k : keys) map.Add(&k, &one);
        int found = 0;
        for (const ScriptValue& k : keys) found += map.Exists(&k);
        benchmark::DoNotOptimize(found);
    }
    ReleaseAll(keys);
}
BENCHMARK(BM_DsMapStringKeys)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StdMapStringKeys(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) keys.push_back("key" + std::to_string(i));
    for (auto _ : state) {
        std::unordered_map<std::string, double> map;
        for (const std::string& k : keys) map.emplace(k, 1.0);
        int found = 0;
        for (const std::string& k : keys) found += map.count(k) != 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_StdMapStringKeys)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DsMapRealKeys(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const ScriptValue one = ScriptValue_Real(1);
    for (auto _ : state) {
        DsMap map;
        for (int i = 0; i < n; ++i) {
            const ScriptValue k = ScriptValue_Real(i * 0.5);
            map.Add(&k, &one);
        }
        int found = 0;
        for (int i = 0; i < n; ++i) {
            const ScriptValue k = ScriptValue_Real(i * 0.5);
            found += map.Exists(&k);
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_DsMapRealKeys)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StdMapRealKeys(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::unordered_map<double, double> map;
        for (int i = 0; i < n; ++i) map.emplace(i * 0.5, 1.0);
        int found = 0;
        for (int i = 0; i < n; ++i) found += map.count(i * 0.5) != 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_StdMapRealKeys)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Region add, disk add and a region sum over a 1000 x 1000 grid.
void BM_GridRegionOps(benchmark::State& state)
{
    DsGrid grid(1000, 1000);
    const ScriptValue two = ScriptValue_Real(2);
    for (auto _ : state) {
        grid.RegionOp(DS_GRID_ADD, 0, 0, 999, 999, &two);
        grid.DiskOp(DS_GRID_ADD, 500, 500, 400, &two);
        benchmark::DoNotOptimize(grid.GetSum(0, 0, 999, 999));
    }
}
BENCHMARK(BM_GridRegionOps)->Unit(benchmark::kMillisecond);

// A grid added onto itself, shifted by one cell.
void BM_GridSelfRegionOp(benchmark::State& state)
{
    DsGrid grid(1000, 1000);
    for (auto _ : state) grid.GridRegionOp(DS_GRID_ADD, &grid, 0, 0, 998, 998, 1, 1);
}
BENCHMARK(BM_GridSelfRegionOp)->Unit(benchmark::kMillisecond);
}  // namespace
