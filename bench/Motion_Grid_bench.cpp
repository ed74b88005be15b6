#include <benchmark/benchmark.h>

#include <cstdint>

#include "Motion/Motion_Grid.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"

namespace {
constexpr int32_t kCell = 16;

// A side x side grid of 16-pixel cells, empty or a maze: every other column
// is a wall with one gap, alternately at the bottom and the top, so that the
// only way from the top-left to the far corner winds through every column
// and the search visits every free cell.
int32_t MakeGrid(int32_t side, bool maze)
{
    const int32_t grid = MP_Grid_Create(0, 0, side, side, kCell, kCell);
    if (!maze) return grid;
    for (int32_t x = 1; x < side - 1; x += 2) {
        const int32_t gap = (x / 2) % 2 == 0 ? side - 1 : 0;
        for (int32_t y = 0; y < side; ++y) {
            if (y != gap) MP_Grid_AddCell(grid, x, y);
        }
    }
    return grid;
}

// One search from the top-left cell to the bottom-right one per iteration;
// items are cells, so that items per second stay level when the search is
// linear in the number of cells. Arguments: side, maze, diagonals.
void BM_MpGridPath(benchmark::State& state)
{
    const auto side = static_cast<int32_t>(state.range(0));
    const bool maze = state.range(1) != 0;
    const bool diagonal = state.range(2) != 0;
    Path_Init();
    CGamePath* path = Path_Get(Path_Add());
    const int32_t grid = MakeGrid(side, maze);
    const int32_t far = side * kCell - kCell / 2;
    for (auto _ : state) {
        const bool found = MP_Grid_Path(grid, path, kCell / 2, kCell / 2, far, far, diagonal);
        if (!found) state.SkipWithError("no path");
        benchmark::DoNotOptimize(found);
    }
    state.counters["points"] = path->GetPointCount();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(side) * side);
    MP_Grid_DestroyAll();
    Path_FreeAll();
}
BENCHMARK(BM_MpGridPath)
    ->ArgNames({"side", "maze", "diag"})
    ->ArgsProduct({{64, 128, 256}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
}  // namespace
