#include "Graphics/Graphics_Display.h"

#include <cmath>
#include <cstdint>

#include "Base/Console.h"
#include "Base/Matrix.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_Display.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"

RendererViewRectangle RendererViewRect = {0, 0, 0, 0, 0};
ViewCullBounds GR_ViewBounds = {0, 0, 0, 0};
CullRectangle GR_CullRect = {0, 0, 0, 0, true};
int GR_Display_AreaWidth = 0, GR_Display_AreaHeight = 0;
int GR_PendingWindowWidth = -1, GR_PendingWindowHeight = -1;
bool GR_D3D_SkipWindowMove = false;

namespace {

int g_RenderWidth = 0, g_RenderHeight = 0;
int g_WindowedWidth = 0, g_WindowedHeight = 0;
RendererViewRectangle g_View = {0, 0, 0, 0, 0};

bool HasPendingSize() { return GR_PendingWindowWidth > 0 && GR_PendingWindowHeight > 0; }

void PlaceWindowCentred(int width, int height)
{
    int screenWidth = GR_D3D_DisplayWidth, screenHeight = GR_D3D_DisplayHeight;
    HostDisplay_GetDesktopSize(&screenWidth, &screenHeight);
    HostWindow_SetClientSize(GR_Window_Handle, width, height);
    HostWindow_SetPosition(GR_Window_Handle, (screenWidth - width) / 2, (screenHeight - height) / 2);
}

// Truncated toward zero and held to the int range (NaN gives 0): views come
// from game data and saved games.
int32_t Bound(float v)
{
    if (!(v == v)) return 0;
    if (v >= 2147483520.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace

void GR_CalcViewBounds(float x, float y, float w, float h, float angle)
{
    if (std::fabs(angle) < 0.001f) {
        GR_ViewBounds = {Bound(x - 0.999f), Bound(y - 0.999f), Bound(x + w + 0.999f), Bound(y + h + 0.999f)};
        return;
    }
    const float radians = angle * 3.1415927f / 180.0f;
    const float s = std::fabs(std::sin(radians)), c = std::fabs(std::cos(radians));
    const float W = c * w + s * h, H = s * w + c * h;
    GR_ViewBounds = {Bound(x + (w - W) * 0.5f), Bound(y + (h - H) * 0.5f), Bound(x + (w + W) * 0.5f),
                     Bound(y + (h + H) * 0.5f)};
}

void GR_InvalidateCullRect() { GR_CullRect.stale = true; }

void GR_Display_Reset()
{
    RendererViewRect = {0, 0, 0, 0, 0};
    GR_ViewBounds = {0, 0, 0, 0};
    GR_CullRect = {0, 0, 0, 0, true};
    GR_Display_AreaWidth = GR_Display_AreaHeight = 0;
    GR_PendingWindowWidth = GR_PendingWindowHeight = -1;
    GR_D3D_SkipWindowMove = false;
    g_RenderWidth = g_RenderHeight = 0;
    g_WindowedWidth = g_WindowedHeight = 0;
    g_View = {0, 0, 0, 0, 0};
}

void GR_UpdateCullRect()
{
    if (!GR_CullRect.stale) return;
    Matrix inverse;
    GR_D3D_GetMatrix(MATRIX_WORLD, &inverse.m[0][0]);
    if (!Matrix_Invert(&inverse)) Matrix_Identity(&inverse);  // a flat world maps everything to a line
    const float xs[4] = {static_cast<float>(GR_ViewBounds.left), static_cast<float>(GR_ViewBounds.right),
                         static_cast<float>(GR_ViewBounds.right), static_cast<float>(GR_ViewBounds.left)};
    const float ys[4] = {static_cast<float>(GR_ViewBounds.top), static_cast<float>(GR_ViewBounds.top),
                         static_cast<float>(GR_ViewBounds.bottom), static_cast<float>(GR_ViewBounds.bottom)};
    for (int i = 0; i < 4; ++i) {
        const auto& m = inverse.m;
        const int32_t px = static_cast<int32_t>(xs[i] * m[0][0] + ys[i] * m[1][0] + m[3][0]);
        const int32_t py = static_cast<int32_t>(xs[i] * m[0][1] + ys[i] * m[1][1] + m[3][1]);
        if (i == 0 || px < GR_CullRect.minX) GR_CullRect.minX = px;
        if (i == 0 || px > GR_CullRect.maxX) GR_CullRect.maxX = px;
        if (i == 0 || py < GR_CullRect.minY) GR_CullRect.minY = py;
        if (i == 0 || py > GR_CullRect.maxY) GR_CullRect.maxY = py;
    }
    GR_CullRect.stale = false;
}

void GR_D3D_SetViewport(int x, int y, int width, int height)
{
    if (!HGPU_HasDevice()) return;
    GR_VertexBuilder_Flush();
    GR_D3D_ApplyViewport(x, y, width, height);
}

void GR_D3D_GetViewport(int* x, int* y, int* width, int* height) { GR_D3D_GetDeviceViewport(x, y, width, height); }

void GR_D3D_SetView(float x, float y, float w, float h, float angle)
{
    g_View = {x, y, w, h, angle};
    GR_CalcViewBounds(x, y, w, h, angle);
    const float cx = x + w * 0.5f, cy = y + h * 0.5f;
    const float a = -angle * 3.1415927f / 180.0f;
    const Vec3f up = {std::sin(a), std::cos(a), 0.0f};
    Matrix view, projection;
    if (Legacy3DMode && GR_LegacySettings.perspective) {
        // The view rectangle exactly fills the screen at z = 0.
        Matrix_LookAt(&view, {cx, cy, -w}, {cx, cy, 0.0f}, up);
        if (w != 0.0f) Matrix_Perspective(&projection, 1.0f, h / w, 1.0f, 32000.0f);
        else Matrix_Identity(&projection);
        GR_3D_Projection = {true, 1.0f, 32000.0f};
    } else {
        Matrix_LookAt(&view, {cx, cy, -16000.0f}, {cx, cy, 0.0f}, up);
        Matrix_Ortho(&projection, w, Legacy3DMode ? h : -h, 1.0f, 32000.0f);
        GR_3D_Projection = {false, 1.0f, 32000.0f};
    }
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, &projection.m[0][0]);
    GR_InvalidateCullRect();
}

RendererViewRectangle GR_D3D_GetView() { return g_View; }

void GR_D3D_SetBackBufferSize(int width, int height)
{
    if (GR_Display_AreaWidth > 0 && width > GR_Display_AreaWidth) width = GR_Display_AreaWidth;
    if (GR_Display_AreaHeight > 0 && height > GR_Display_AreaHeight) height = GR_Display_AreaHeight;
    if (width == g_RenderWidth && height == g_RenderHeight) return;
    g_RenderWidth = width;
    g_RenderHeight = height;
    GR_D3D_SetViewport(0, 0, width, height);
    GR_D3D_SetView(0, 0, static_cast<float>(width), static_cast<float>(height), 0);
}

void GR_D3D_GetBackBufferSize(int* width, int* height)
{
    *width = g_RenderWidth;
    *height = g_RenderHeight;
}

void GR_D3D_ForgetPendingWindowSize()
{
    GR_PendingWindowWidth = -1;
    GR_PendingWindowHeight = -1;
}

void GR_D3D_ApplyDisplayMode()
{
    GR_D3D_FullScreen = GR_Window_FullScreen;
    if (!GR_D3D_FullScreen) {
        if (GR_WindowedWidth > 0 && GR_WindowedHeight > 0) {
            if (!HasPendingSize()) {
                GR_PendingWindowWidth = GR_WindowedWidth;
                GR_PendingWindowHeight = GR_WindowedHeight;
            }
            GR_WindowedWidth = GR_WindowedHeight = -1;
            HostWindow_SetFullscreen(GR_Window_Handle, false);
            HostWindow_Show(GR_Window_Handle);
        }
        if (!HasPendingSize()) {
            g_WindowedWidth = GR_Display_AreaWidth;
            g_WindowedHeight = GR_Display_AreaHeight;
        }
    } else {
        HostDisplay_GetDesktopSize(&GR_D3D_DisplayWidth, &GR_D3D_DisplayHeight);
        GR_D3D_BackBufferWidth = GR_Display_AreaWidth = GR_D3D_DisplayWidth;
        GR_D3D_BackBufferHeight = GR_Display_AreaHeight = GR_D3D_DisplayHeight;
    }
    if (HasPendingSize()) {
        g_WindowedWidth = GR_PendingWindowWidth;
        g_WindowedHeight = GR_PendingWindowHeight;
    }
    if (GR_D3D_FullScreen) {
        if (!GR_D3D_SkipWindowMove) {
            LogConsole->Output("Resizing fullscreen window...\n");
            PlaceWindowCentred(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
        }
        GR_D3D_CreateSwapChain(GR_Window_Handle, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, 0);
    } else {
        GR_D3D_BackBufferWidth = GR_Display_AreaWidth = g_WindowedWidth;
        GR_D3D_BackBufferHeight = GR_Display_AreaHeight = g_WindowedHeight;
        GR_D3D_CreateSwapChain(GR_Window_Handle, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, 0);
        if (!GR_D3D_SkipWindowMove) {
            LogConsole->Output("Resizing window...\n");
            PlaceWindowCentred(g_WindowedWidth, g_WindowedHeight);
        }
    }
    GR_D3D_SkipWindowMove = false;
    GR_D3D_RecreateBackBufferTarget();
    GR_D3D_SetBackBufferSize(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    GR_D3D_Clear(0, 1.0f, 0, 7);
    GR_D3D_ForgetPendingWindowSize();
    GR_D3D_RestoreStates();
}

bool GR_D3D_ResizeDisplay()
{
    GR_D3D_ApplyDisplayMode();
    return true;
}

bool GR_D3D_Reset()
{
    GR_Surface_ReleaseAll();
    GR_D3D_ResizeDisplay();
    GR_D3D_Clear(0, 1.0f, 0, 7);
    GR_D3D_RestoreStates();
    return true;
}

void GR_D3D_ApplyWindowSize() { GR_D3D_ApplyWindowRect(); }

void GR_D3D_ApplyWindowRect()
{
    if (GR_Window_FullScreen || !HasPendingSize() || !GR_Window_Handle) return;
    // The client area's corner stays where it is; the frame is around it.
    HostWindow_SetClientSize(GR_Window_Handle, GR_PendingWindowWidth, GR_PendingWindowHeight);
    GR_D3D_SetBackBufferSize(GR_PendingWindowWidth, GR_PendingWindowHeight);
}

uint32_t GR_D3D_GetPixel(int x, int y)
{
    uint32_t* pixels = GR_D3D_ReadScreenPixels(g_RenderWidth, g_RenderHeight, x, y, 1, 1);
    if (!pixels) return 0;
    const uint32_t pixel = pixels[0];
    MemoryManager::Free(pixels);
    return pixel;
}

TBitmap* GR_ScreenToBitmap(int x, int y, int width, int height)
{
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    const int visibleWidth = GR_ViewBounds.right - GR_ViewBounds.left;
    const int visibleHeight = GR_ViewBounds.bottom - GR_ViewBounds.top;
    if (width > visibleWidth - x) width = visibleWidth - x;
    if (height > visibleHeight - y) height = visibleHeight - y;
    if (width < 1 || height < 1) return nullptr;
    uint32_t* pixels = GR_D3D_ReadScreenPixels(visibleWidth, visibleHeight, x, y, width, height);
    if (!pixels) return nullptr;
    TBitmap* bitmap = TBitmap_FromDevicePixels(pixels, width, height);
    MemoryManager::Free(pixels);
    return bitmap;
}

int GR_Display_GetColourDepth()
{
    int bits = 0;
    if (!HostDisplay_GetCurrentBitsPerPixel(&bits)) return -1;
    // A 24-bit mode (XRGB) is a 32-bit one with the padding byte not counted.
    return bits == 24 ? 32 : bits;
}

int GR_Display_GetFrequency()
{
    int width, height, hertz, bits;
    return HostDisplay_GetCurrentMode(&width, &height, &hertz, &bits) ? hertz : -1;
}

int GR_Display_GetWidth() { return GR_D3D_DisplayWidth; }
int GR_Display_GetHeight() { return GR_D3D_DisplayHeight; }

int GR_Display_GetMouseX()
{
    int x, y;
    HostWindow_GetGlobalMouse(&x, &y);
    return x;
}

int GR_Display_GetMouseY()
{
    int x, y;
    HostWindow_GetGlobalMouse(&x, &y);
    return y;
}

void GR_Display_SetMouse(int x, int y)
{
    if (!GR_Window_HasFocus()) return;
    int left = 0, top = 0;
    HostWindow_GetPosition(GR_Window_Handle, &left, &top);
    HostWindow_WarpMouse(GR_Window_Handle, x - left, y - top);
}

bool GR_Display_SetAll(int32_t width, int32_t height, int32_t frequency, int32_t bits)
{
    return HostDisplay_SetMode(GR_Window_Handle, width, height, frequency, bits);
}

bool GR_Display_SetSize(int32_t width, int32_t height) { return GR_Display_SetAll(width, height, 0, 0); }
bool GR_Display_SetColourDepth(int32_t bits) { return GR_Display_SetAll(0, 0, 0, bits); }
bool GR_Display_SetFrequency(int32_t frequency) { return GR_Display_SetAll(0, 0, frequency, 0); }

bool GR_Display_TestAll(int32_t width, int32_t height, int32_t frequency, int32_t bits)
{
    return HostDisplay_TestMode(width, height, frequency, bits);
}
