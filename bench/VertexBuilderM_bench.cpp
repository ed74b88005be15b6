// Sprites through the vertex batcher on the software device: 100,000
// textured quads per frame from one texture page, and the same with the
// texture changing every 100 quads.
#include <benchmark/benchmark.h>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

struct V24 { float u, v; uint32_t colour; float x, y, z; };

constexpr int kQuadsPerFrame = 100000;

// A 2D view in pixels of the 1280 × 720 frame.
void PixelView()
{
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float projection[16] = {2.0f / 1280, 0, 0, 0, 0, -2.0f / 720, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
    GR_D3D_SetMatrix(MATRIX_WORLD, identity);
    GR_D3D_SetMatrix(MATRIX_VIEW, identity);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
}

void Quad(D3DTexture* page, int i)
{
    const float x = static_cast<float>((i * 37) % 1272), y = static_cast<float>((i * 53) % 712);
    const float u = static_cast<float>(i % 8) * 0.125f;
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, page, 24, 6));
    const uint32_t c = 0xFFFFFFFFu;
    v[0] = {u, 0, c, x, y, 0.5f};
    v[1] = {u + 0.125f, 0, c, x + 8, y, 0.5f};
    v[2] = {u, 0.125f, c, x, y + 8, 0.5f};
    v[3] = {u + 0.125f, 0, c, x + 8, y, 0.5f};
    v[4] = {u + 0.125f, 0.125f, c, x + 8, y + 8, 0.5f};
    v[5] = {u, 0.125f, c, x, y + 8, 0.5f};
}

}  // namespace

// Argument: quads between texture changes (0: one page for the whole frame).
static void BM_SpriteBatch(benchmark::State& state)
{
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    const int changeEvery = static_cast<int>(state.range(0));
    static uint32_t pixels[64 * 64];
    for (uint32_t i = 0; i < 64 * 64; ++i) pixels[i] = 0xFF000000u | (i * 2654435761u >> 8);
    D3DTexture* pages[2] = {GR_D3D_CreateTextureFromPixels(pixels, 64, 64, nullptr),
                            GR_D3D_CreateTextureFromPixels(pixels, 64, 64, nullptr)};
    int64_t drawCalls = 0;
    for (auto _ : state) {
        Start_Frame();
        PixelView();
        for (int i = 0; i < kQuadsPerFrame; ++i) Quad(pages[changeEvery ? (i / changeEvery) & 1 : 0], i);
        GR_VertexBuilder_Flush();
        drawCalls += GR_D3D_DrawCallCount;
        End_Frame(false);
        HGPU_Flush();  // count quads drawn, not quads queued
    }
    state.counters["draw_calls_per_frame"] =
        benchmark::Counter(static_cast<double>(drawCalls) / static_cast<double>(state.iterations()));
    state.counters["quads_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kQuadsPerFrame, benchmark::Counter::kIsRate);
    GR_D3D_FreeTexture(pages[0]);
    GR_D3D_FreeTexture(pages[1]);
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_SpriteBatch)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
