// Filled rectangles and circles drawn one call each on the software device
// at 1280 × 720: the batcher should merge each kind into few draw calls.
#include <benchmark/benchmark.h>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

constexpr int kShapesPerFrame = 10000;

}  // namespace

// Argument: 0 rectangles, 1 circles.
static void BM_Primitives(benchmark::State& state)
{
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    GR_InitCircleTable();
    const bool circles = state.range(0) == 1;
    state.SetLabel(circles ? "filled circles" : "filled rectangles");
    int64_t drawCalls = 0;
    for (auto _ : state) {
        Start_Frame();
        GR_D3D_SetView(0, 0, 1280, 720, 0);
        const int before = GR_D3D_DrawCallCount;
        for (int i = 0; i < kShapesPerFrame; ++i) {
            const float x = static_cast<float>((i * 37) % 1260), y = static_cast<float>((i * 53) % 700);
            GR_Draw_SetColour(static_cast<uint32_t>(i) * 2654435761u >> 8);
            if (circles) GR_Draw_Circle(x + 8, y + 8, 8, false);
            else GR_Draw_Rectangle(x, y, x + 16, y + 16, false);
        }
        GR_VertexBuilder_Flush();
        drawCalls += GR_D3D_DrawCallCount - before;
        End_Frame(false);
        HGPU_Flush();  // count shapes drawn, not shapes queued
    }
    state.counters["draw_calls_per_frame"] =
        benchmark::Counter(static_cast<double>(drawCalls) / static_cast<double>(state.iterations()));
    state.counters["shapes_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kShapesPerFrame, benchmark::Counter::kIsRate);
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_Primitives)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
