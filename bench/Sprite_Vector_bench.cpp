// Vector sprites drawn on the software device at 1280 × 720: each sprite is
// a solid square under a gradient square; consecutive sprites should share
// draw calls, a mask costs a draw per open and close.
#include <benchmark/benchmark.h>

#include <vector>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Sprite/Sprite_Class.h"
#include "Sprite/Sprite_Vector.h"
#include "gamedata/FormWriter.h"

namespace {

constexpr int kSpritesPerFrame = 2000;

gamedata::VectorItemData Square(const gamedata::VectorFill& fill)
{
    gamedata::VectorSubShapeData sub;
    sub.fillStyle = 0;
    sub.fill.points = {0, 0, 320, 0, 320, 320, 0, 320};
    sub.fill.triangles = {0, 1, 2, 0, 2, 3};
    sub.fill.edges = {0, 1, 1, 2, 2, 3, 3, 0};
    sub.fill.offsets = {-1, -1, 1, -1, 1, 1, -1, 1};
    gamedata::VectorItemData item;
    item.groups = {gamedata::VectorGroupData{{fill}, {}, {sub}}};
    return item;
}

std::vector<uint8_t> Data(bool masked)
{
    gamedata::VectorFill solid, gradient;
    gradient.type = 2;
    gradient.kind = 1;
    gradient.stops = {{0, 0xFF0000FFu}, {255, 0x00FF0000u}};
    gamedata::VectorData d;
    d.items = {Square(solid), Square(gradient)};
    d.bounds[1] = d.bounds[3] = 320;
    gamedata::VectorPlacementData below, above;
    below.depth = 2;
    above.item = 1;
    above.depth = 3;
    gamedata::VectorFrameData frame{{0, 320, 0, 320}, {below, above}};
    if (masked) {
        gamedata::VectorPlacementData mask;
        mask.clipDepth = 2;
        mask.matrix[0] = mask.matrix[4] = 0.5f;
        frame.placements.insert(frame.placements.begin(), mask);
    }
    d.frames = {frame};
    return gamedata::EncodeVector(d);
}

}  // namespace

// Argument: 0 plain, 1 with a mask over the lower square, 2 anti-aliased.
static void BM_VectorSprites(benchmark::State& state)
{
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    const int64_t mode = state.range(0);
    state.SetLabel(mode == 0 ? "plain" : mode == 1 ? "masked" : "anti-aliased");
    {
        CSprite sprite;
        const std::vector<uint8_t> data = Data(mode == 1);
        char why[200] = "";
        if (!sprite.LoadVector(data.data(), uint32_t(data.size()), 0, 0, why, sizeof why)) {
            state.SkipWithError(why);
            return;
        }
        sprite.kind = SPRITE_KIND_VECTOR;
        VectorAntiAliasEnabled = mode == 2;
        int64_t drawCalls = 0;
        for (auto _ : state) {
            Start_Frame();
            GR_D3D_SetView(0, 0, 1280, 720, 0);
            const int before = GR_D3D_DrawCallCount;
            for (int i = 0; i < kSpritesPerFrame; ++i)
                sprite.Draw(0, float((i * 37) % 1260), float((i * 53) % 700));
            GR_VertexBuilder_Flush();
            drawCalls += GR_D3D_DrawCallCount - before;
            End_Frame(false);
            HGPU_Flush();
        }
        VectorAntiAliasEnabled = false;
        state.counters["draw_calls_per_frame"] =
            benchmark::Counter(static_cast<double>(drawCalls) / static_cast<double>(state.iterations()));
        state.counters["sprites_per_second"] = benchmark::Counter(
            static_cast<double>(state.iterations()) * kSpritesPerFrame, benchmark::Counter::kIsRate);
    }
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_VectorSprites)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
