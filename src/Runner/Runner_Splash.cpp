#include <cstdint>

#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame.h"
#include "Options/Runner_Options.h"
#include "Graphics/Graphics_Display.h"
#include "Runner/GameChunks.h"
#include "Sprite/Sprite_Main.h"

namespace {
constexpr int kSplashFrames = 5;
constexpr int64_t kSplashFramePause = 500000;  // the splash stays about two seconds

uint8_t* g_Image = nullptr;
uint32_t g_ImageSize = 0;
D3DTexture* g_Texture = nullptr;
TextureInfo g_Info{};
bool g_Tried = false;
bool g_FirstCall = true;

// The batcher's 24-byte vertex.
struct SplashVertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

bool LoadImage()
{
    if (g_Texture) return true;
    if (g_Tried) return false;
    g_Tried = true;
    char path[4096];
    LoadSave_MakeBundlePath(path, sizeof path, "splash.png");
    if (!path[0]) return false;
    g_Image = GameFile_ReadWhole(path, &g_ImageSize);
    if (!g_Image) return false;
    // The texture takes the bytes over; they are freed with it.
    g_Texture = GR_D3D_CreateTextureFromImage(g_Image, g_ImageSize, &g_Info);
    if (!g_Texture) QS_FREE(g_Image);
    g_Image = nullptr;
    return g_Texture != nullptr;
}

void DrawQuad()
{
    const float w = static_cast<float>(GR_D3D_BackBufferWidth), h = static_cast<float>(GR_D3D_BackBufferHeight);
    float x0 = 0, x1 = w, y0 = 0, y1 = h;
    if (g_Info.height > 0 && h > 0) {
        const float a = w / h;
        const float b = static_cast<float>(g_Info.width) / static_cast<float>(g_Info.height);
        if (a > b) {
            const float m = (1 - b / a) / 2;
            x0 = m * w;
            x1 = (1 - m) * w;
        } else if (a < b) {
            const float m = (1 - a / b) / 2;
            y0 = m * h;
            y1 = (1 - m) * h;
        }
    }
    GR_D3D_SetView(0, 0, w, h, 0);
    auto* v = static_cast<SplashVertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, g_Texture, 24, 4));
    if (!v) return;
    v[0] = {0, 0, 0xFFFFFFFFu, x0, y0, 1};
    v[1] = {1, 0, 0xFFFFFFFFu, x1, y0, 1};
    v[2] = {1, 1, 0xFFFFFFFFu, x1, y1, 1};
    v[3] = {0, 1, 0xFFFFFFFFu, x0, y1, 1};
    GR_VertexBuilder_Flush();
}
}  // namespace

bool Splash_Exists()
{
    return LoadSave_BundleFileExists("splash.png");
}

void RunnerShowSplash()
{
    if (HeadlessMode.noSplash || !Splash_Exists() || !GR_D3D_DeviceExists()) return;
    const bool interpolation = GR_GetTextureInterpolation();
    GR_SetTextureInterpolation(true);
    for (int frame = 0; frame < kSplashFrames; ++frame) {
        Start_Frame();
        GR_D3D_Clear(0xFF000000u, 1.0f, 0.0f, CLEAR_COLOUR | CLEAR_DEPTH);
        Splash_DrawFrame(frame);
        End_Frame(true);
        DispatchPendingMessages();
    }
    GR_SetTextureInterpolation(interpolation);
    Splash_DrawFrame(-1);
}

void Splash_DrawFrame(int frame)
{
    if (frame < 0) {
        // The texture owns the image bytes: both go together.
        if (g_Texture) GR_D3D_FreeTexture(g_Texture);
        g_Texture = nullptr;
        g_Tried = false;
    } else if (GR_D3D_DeviceExists() && LoadImage()) {
        DrawQuad();
    }
    if (!g_FirstCall) Timing_SleepMicroseconds(kSplashFramePause);
    g_FirstCall = false;
}
