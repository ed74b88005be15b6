// 10,000 glyphs a frame on the software device at 1280 × 720: 100 lines of
// 100 characters through text layout, with a texture-page font (the built-in
// font, drawn the way data-file fonts are) and with a run-time FreeType font
// (DejaVu Sans Mono, when installed). Once warm, the glyph cache should take
// no new cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "GameData/GameHeader.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "IO/LoadSave.h"

namespace {

constexpr int kLines = 100;
constexpr int kColumns = 100;
const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu/";

std::string Line(int row)
{
    std::string text;
    for (int i = 0; i < kColumns; ++i) text += static_cast<char>('!' + (row * 7 + i) % 90);
    return text;
}

}  // namespace

// Argument: 0 texture-page font, 1 run-time font.
static void BM_TextGlyphs(benchmark::State& state)
{
    const bool runTime = state.range(0) == 1;
    if (runTime && !std::filesystem::exists(std::string(kFontFolder) + "DejaVuSansMono.ttf")) {
        state.SkipWithError("fonts-dejavu-core is not installed");
        return;
    }
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
    LayerMode = true;
    Font_Reset();
    GlyphCache* cache = nullptr;
    if (runTime) {
        InitProgramDirectory((std::string(kFontFolder) + "game.win").c_str());
        const int32_t index = Font_Add("DejaVuSansMono.ttf", 10, false, false, 32, 127);
        Text_SetFont(index);
        cache = Font_Get(index)->GetCache();
    } else {
        Text_SetFont(-1);
    }
    state.SetLabel(runTime ? "run-time font" : "texture-page font");
    std::string lines[kLines];
    for (int i = 0; i < kLines; ++i) lines[i] = Line(i);

    int64_t drawCalls = 0, warmMisses = 0, frames = 0;
    for (auto _ : state) {
        Start_Frame();
        GR_D3D_SetView(0, 0, 1280, 720, 0);
        ++DrawnFrameCount;
        const int before = GR_D3D_DrawCallCount;
        const int missesBefore = cache ? cache->misses : 0;
        GR_Draw_SetColour(0xFFFFFF);
        for (int i = 0; i < kLines; ++i) Text_Draw(2.0f, static_cast<float>(i * 7), lines[i].c_str(), -1, -1);
        GR_VertexBuilder_Flush();
        drawCalls += GR_D3D_DrawCallCount - before;
        // The first frame fills the cache; every later one should take no cell.
        if (frames++ > 0 && cache) warmMisses += cache->misses - missesBefore;
        End_Frame(false);
        HGPU_Flush();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["draw_calls_per_frame"] = benchmark::Counter(static_cast<double>(drawCalls) / iterations);
    state.counters["warm_cache_misses_per_frame"] =
        benchmark::Counter(frames > 1 ? static_cast<double>(warmMisses) / static_cast<double>(frames - 1) : 0.0);
    state.counters["glyphs_per_second"] =
        benchmark::Counter(iterations * kLines * kColumns, benchmark::Counter::kIsRate);
    Font_Shutdown();
    Text_Free();
    InitProgramDirectory(nullptr);
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_TextGlyphs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
