// A scene of 100 ellipsoids drawn 10 times a frame on the software device:
// straight through the primitive builder (argument 0), and as one model
// drawn from its recorded batch (argument 1), with the draw colour changing
// between frames so that the model recolours its batch each time.
#include <benchmark/benchmark.h>

#include "Graphics/Graphics_3D_Model.h"
#include "Graphics/Graphics_D3DPrim.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

constexpr int kShapes = 100, kDrawsPerFrame = 10;

void Scene()
{
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float projection[16] = {1.0f / 64, 0, 0, 0, 0, 1.0f / 64, 0, 0, 0, 0, 1.0f / 400, 0, 0, 0, 0, 1};
    GR_D3D_SetMatrix(MATRIX_WORLD, identity);
    GR_D3D_SetMatrix(MATRIX_VIEW, identity);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
}

float Place(int i) { return static_cast<float>(i % 10) * 12 - 60; }

}  // namespace

static void BM_ModelScene(benchmark::State& state)
{
    if (!GR_D3D_Init(nullptr, 640, 480, 0)) {
        state.SkipWithError("no device");
        return;
    }
    const bool asModel = state.range(0) != 0;
    const int model = Model_Create();
    for (int i = 0; i < kShapes; ++i)
        Model_Ellipsoid(model, Place(i), Place(i / 10), 10, Place(i) + 10, Place(i / 10) + 10, 30, 1, 1, 24);
    GR_3D_SetMode(true);
    int64_t drawCalls = 0, frame = 0;
    for (auto _ : state) {
        Start_Frame();
        Scene();
        DrawColour = (++frame & 1) ? 0xFF0000FFu : 0xFFFF0000u;
        for (int d = 0; d < kDrawsPerFrame; ++d) {
            if (asModel) {
                Model_Draw(model, 0, 0, static_cast<float>(d), -1);
                continue;
            }
            for (int i = 0; i < kShapes; ++i)
                D3D_DrawEllipsoid(Place(i), Place(i / 10), 10 + static_cast<float>(d), Place(i) + 10,
                                  Place(i / 10) + 10, 30 + static_cast<float>(d), -1, 1, 1, 24);
        }
        GR_VertexBuilder_Flush();
        drawCalls += GR_D3D_DrawCallCount;
        End_Frame(false);
        HGPU_Flush();
    }
    state.counters["draw_calls_per_frame"] =
        benchmark::Counter(static_cast<double>(drawCalls) / static_cast<double>(state.iterations()));
    GR_3D_SetMode(false);
    Model_FreeAll();
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_ModelScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
