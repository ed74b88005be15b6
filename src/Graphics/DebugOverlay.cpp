// The overlay drawn over each frame: the frame-rate line, the timing bars and
// the information panel, with the hidden tap sequences that open the panel.
#include "Graphics/DebugOverlay.h"

#include <cmath>
#include <cstdlib>

#include "Base/Matrix.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/DebugOverlay_Internal.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/IO_Main.h"
#include "Options/Runner_Options.h"

namespace {
bool NoRoom(int32_t*, int32_t*) { return false; }
bool No() { return false; }
DebugOverlayHooks s_hooks = {NoRoom, No, No};
// Render states the overlay switches off and restores: z-test, cull mode,
// fog and the alpha-test enable; blending is switched on and left on.
constexpr int kSavedStates[] = {1, 8, 13, 21};
constexpr int kBlendEnable = 12;

constexpr TapEntry kOpenPanel[] = {{2, 7, 1}, {4, 1, 2}, {8, 3, 1}, {1, 6, 2}, {6, 8, 1}, {3, 2, 2}, {7, 5, 1}};
constexpr TapEntry kExpandPanel[] = {{1, 1, 1}, {8, 2, 1}, {8, 2, 1}, {2, 8, 1}, {2, 8, 1}, {7, 7, 1}, {3, 4, 1}, {3, 4, 1}};

struct OverlayState {
    D3DTexture* font = nullptr;
    int32_t lineHeight = 0;
    int32_t tapPosition = 0;
    int32_t mouseX = 0, mouseY = 0;
    int32_t savedStates[4] = {};
    float savedView[16] = {}, savedProjection[16] = {};
};
OverlayState s_overlay;

struct ColouredVertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

int32_t Saturate(float v)
{
    if (!(v > -2147483648.0f)) return v != v ? 0 : INT32_MIN;
    return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
}

void MapMouse()
{
    const int32_t bw = GR_D3D_BackBufferWidth, bh = GR_D3D_BackBufferHeight;
    int32_t rw = bw, rh = bh;
    s_hooks.referenceSize(&rw, &rh);
    const int64_t x = IO_Input.mouseX, y = IO_Input.mouseY;
    s_overlay.mouseX = bw > 0 ? static_cast<int32_t>(x * rw / bw) : static_cast<int32_t>(x);
    s_overlay.mouseY = bh > 0 ? static_cast<int32_t>(y * rh / bh) : static_cast<int32_t>(y);
}

void HandleInput()
{
    MapMouse();
    if (!IO_CheckButtonReleased(1, 0)) return;
    const int32_t x = s_overlay.mouseX, y = s_overlay.mouseY;
    const int32_t w = GR_Window_ClientWidth, h = GR_Window_ClientHeight;
    if (!(DebugFlags & 0x01)) {
        if (DebugOverlay_Tap(&s_overlay.tapPosition, kOpenPanel, 7, x, y, w, h)) DebugFlags |= 0x01;
        return;
    }
    if (x > w - 80 && x < w - 16 && y >= 81 && y <= 95) {
        DebugFlags &= ~0x09u;
    } else if (!(DebugFlags & 0x08)) {
        if (DebugOverlay_Tap(&s_overlay.tapPosition, kExpandPanel, 8, x, y, w, h)) DebugFlags |= 0x08;
    } else if (x >= 11 && x <= 73 && y >= 11 && y <= 25) {
        DebugFlags ^= 0x02;
    } else if (x > 10 && x < 74 && y > 30 && y < 46) {
        DebugFlags ^= 0x10;
    }
}

void Begin()
{
    for (int i = 0; i < 4; ++i) s_overlay.savedStates[i] = g_RenderStateCache.GetRenderState(kSavedStates[i]);
    GR_D3D_GetMatrix(MATRIX_VIEW, s_overlay.savedView);
    GR_D3D_GetMatrix(MATRIX_PROJECTION, s_overlay.savedProjection);
    const float bw = static_cast<float>(GR_D3D_BackBufferWidth), bh = static_cast<float>(GR_D3D_BackBufferHeight);
    Matrix view;
    Matrix_Identity(&view);
    view.m[3][0] = -static_cast<float>(GR_D3D_BackBufferWidth / 2) - (bw > 0 ? 1.0f / bw : 0.0f);
    view.m[3][1] = -static_cast<float>(GR_D3D_BackBufferHeight / 2) + (bh > 0 ? 1.0f / bh : 0.0f);
    view.m[3][2] = 16000.0f;
    Matrix projection;
    Matrix_Ortho(&projection, bw, -bh, 1.0f, 32000.0f);
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, &projection.m[0][0]);
    for (int state : kSavedStates) g_RenderStateCache.SetRenderState(state, 0);
    g_RenderStateCache.SetRenderState(kBlendEnable, 1);
    Matrix identity;
    Matrix_Identity(&identity);
    GR_D3D_SetMatrix(MATRIX_WORLD, &identity.m[0][0]);
    GR_D3D_SetTexture(0, DebugOverlay_FontTexture());
}

void End()
{
    GR_VertexBuilder_Flush();
    GR_D3D_SetTexture(0, nullptr);
    for (int i = 0; i < 4; ++i) g_RenderStateCache.SetRenderState(kSavedStates[i], s_overlay.savedStates[i]);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, s_overlay.savedProjection);
    GR_D3D_SetMatrix(MATRIX_VIEW, s_overlay.savedView);
}

void Timing_DrawBars()
{
    if (s_hooks.debuggerPaused()) return;
    const int32_t count = Timing_MarkerCount();
    const TimingMarker* markers = Timing_Markers();
    const float w = static_cast<float>(GR_Window_ClientWidth);
    if (count > 0) {
        auto* v = static_cast<ColouredVertex*>(
            GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, PrimitiveWhiteD3DTexture, 24, count * 6));
        if (v) {
            const uint64_t frameStart = markers[0].start;
            for (int32_t i = 0; i < count; ++i) {
                const TimingMarker& m = markers[i];
                const float x0 = static_cast<float>(m.start - frameStart) / TIMING_BAR_SCALE * w;
                const float x1 = static_cast<float>(m.end >= m.start ? m.end - frameStart : m.start - frameStart) /
                                 TIMING_BAR_SCALE * w;
                const ColouredVertex tl{0, 0, m.colour, x0, 10, 0.5f}, tr{1, 0, m.colour, x1, 10, 0.5f};
                const ColouredVertex bl{0, 1, m.colour, x0, 20, 0.5f}, br{1, 1, m.colour, x1, 20, 0.5f};
                ColouredVertex* q = v + i * 6;
                q[0] = tl;
                q[1] = tr;
                q[2] = br;
                q[3] = br;
                q[4] = bl;
                q[5] = tl;
            }
        }
    }
    auto* lines = static_cast<ColouredVertex*>(GR_VertexBuilder_AllocVerts(PR_LINELIST, PrimitiveWhiteD3DTexture, 24, 10));
    if (!lines) return;
    const int32_t q = GR_Window_ClientWidth / 4;
    for (int i = 0; i < 5; ++i) {
        const float x = static_cast<float>(q * i);
        lines[i * 2] = {0, 0, 0xFFFFFFFFu, x, 8, 0.4f};
        lines[i * 2 + 1] = {0, 0, 0xFFFFFFFFu, x, 20, 0.4f};
    }
}

void DrawInfo()
{
    const int32_t w = GR_Window_ClientWidth;
    DebugText_DrawRect(0, 0, static_cast<float>(w), 100, 0xC0000000u);
    const bool marked = s_hooks.objectDataMarked();
    DebugText_PrintCentred(40, w, 0xFFFFFFFFu, "Kivo Works Runner v%d.%d(%d)[%s]%c", 1, 0, 999, "r32908",
                           marked ? '*' : ' ');
    if (GameGeneral.gameName)
        DebugText_PrintCentred(54, w, 0xFFFFFFFFu, "Game : %s v%d.%d", GameGeneral.gameName, GameOptions.versionMajor,
                               GameOptions.versionMinor);
    DebugText_Print(static_cast<float>(w - 80), 80, 0xFFFFFFFFu, "CLOSE");
    if (DebugFlags & 0x08) {
        DebugText_Print(10, 10, 0xFFFFFFFFu, "FPS : %s", (DebugFlags & 0x02) ? "ON" : "OFF");
        DebugText_Print(10, 30, 0xFFFFFFFFu, "AUDIO : %s", (DebugFlags & 0x10) ? "ON" : "OFF");
    }
}
}  // namespace

D3DTexture* DebugOverlay_FontTexture()
{
    // Made again after a device rebuild took it away.
    if (!s_overlay.font && GR_D3D_DeviceExists()) s_overlay.font = GR_D3D_CreateBuiltinTexture(BUILTIN_IMAGE_FONT);
    return s_overlay.font;
}

int32_t DebugOverlay_LineHeight() { return s_overlay.lineHeight; }

void DebugOverlay_Init()
{
    Timing_EndFrame();
    s_overlay.tapPosition = 0;
    DebugOverlay_FontTexture();
    s_overlay.lineHeight = BuiltinFontGlyphs['A' - BUILTIN_FONT_FIRST][3] + 2;
}

void DebugOverlay_Release()
{
    GR_D3D_FreeTexture(s_overlay.font);
    s_overlay.font = nullptr;
}

bool DebugOverlay_Tap(int32_t* position, const TapEntry* sequence, int32_t length, int32_t mappedX, int32_t mappedY,
                      int32_t windowWidth, int32_t windowHeight)
{
    if (windowWidth <= 0 || windowHeight <= 0 || *position < 0 || *position >= length) return false;
    const float cx = std::floor(static_cast<float>(mappedX) / static_cast<float>(windowWidth) * 10.0f);
    const float cy = std::floor(static_cast<float>(mappedY) / static_cast<float>(windowHeight) * 10.0f);
    if (cx < 0 || cx > 9 || cy < 0 || cy > 9) return false;
    const TapEntry& e = sequence[*position];
    if (std::fabs(cx - static_cast<float>(e.x)) <= static_cast<float>(e.tolerance) &&
        std::fabs(cy - static_cast<float>(e.y)) <= static_cast<float>(e.tolerance)) {
        if (++*position < length) return false;
        *position = 0;
        return true;
    }
    *position = 0;
    return false;
}

int32_t DebugOverlay_CountFrame(uint64_t totalMicros, uint64_t presentMicros)
{
    // A frame measured as taking no time counts as one microsecond.
    const uint64_t shown = totalMicros + presentMicros;
    const float fps = 1000000.0f / static_cast<float>(shown ? shown : 1);
    DebugFrameRate.real = 1000000.0f / static_cast<float>(totalMicros ? totalMicros : 1);
    const int32_t n = Saturate(fps);
    if (DrawnFrameCount > 100) {
        if (n < DebugFrameRate.minimum) DebugFrameRate.minimum = n;
        if (n > DebugFrameRate.maximum) DebugFrameRate.maximum = n;
        DebugFrameRate.average = static_cast<int32_t>((static_cast<int64_t>(DebugFrameRate.average) + n) / 2);
    }
    ++DrawnFrameCount;
    DebugFrameRate.shown = n;
    return n;
}

void DebugOverlay_Draw()
{
    if (!Timing_FrameStarted()) Timing_Reset();
    Timing_Pop();
    const TimingMarker& total = Timing_Markers()[0];
    const uint64_t present = GR_D3D_LastPresentMicros > 0 ? static_cast<uint64_t>(GR_D3D_LastPresentMicros) : 0;
    const int32_t n = DebugOverlay_CountFrame(total.end - total.start, present);
    HandleInput();
    if (DebugFlags & 0x3B) {
        Begin();
        if (DebugFlags & 0x02) {
            Timing_DrawBars();
            DebugText_PrintOutlined(0, 0, 0xFF000000u, 0xFFFFFFFFu, "%dfps\t\t(%d)(%d)", n, GR_D3D_TextureSwitchCount,
                                    GR_D3D_DrawCallCount);
        }
        if (DebugFlags & 0x01) DrawInfo();
        if (DebugFlags & 0x10) Audio_DrawDebug();
        if (DebugFlags & 0x20) Audio_DebugDumpOgg();
        End();
    }
    Timing_EndFrame();
}

void DebugOverlay_SetHooks(const DebugOverlayHooks& hooks)
{
    s_hooks.referenceSize = hooks.referenceSize ? hooks.referenceSize : NoRoom;
    s_hooks.debuggerPaused = hooks.debuggerPaused ? hooks.debuggerPaused : No;
    s_hooks.objectDataMarked = hooks.objectDataMarked ? hooks.objectDataMarked : No;
}
