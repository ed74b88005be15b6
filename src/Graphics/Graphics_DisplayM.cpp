#include "Graphics/Graphics_DisplayM.h"

#include <initializer_list>

#include "Code/Code_Profiler.h"
#include "Base/Console.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_Display.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"
#include "IO/IO_Dialog.h"
#include "Base/Timing.h"

int GR_D3D_BackBufferWidth = 0, GR_D3D_BackBufferHeight = 0;
int GR_D3D_DisplayWidth = 640, GR_D3D_DisplayHeight = 480;
bool GR_D3D_FullScreen = false;
bool GR_D3D_VSync = false;
int GR_D3D_AntialiasLevel = 0;
uint32_t GR_D3D_MultisampleSupport = 0;
bool GR_D3D_Resizing = false;
bool GR_D3D_DeviceReady = false;
bool GR_D3D_InterpolatePixels = false;
bool GR_D3D_KeepAspect = false;
int64_t GR_D3D_LastPresentMicros = 0;
int PrimitiveWhiteTexture = -1;
D3DTexture* PrimitiveWhiteD3DTexture = nullptr;

namespace {

HostWindow* g_Window = nullptr;
uint32_t g_DisplayFlags = 0;
bool g_SwapChainExists = false;
bool g_SceneBegun = false;
bool g_FirstFrame = true;

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void UnbindTargets()
{
    HGPU_SetRenderTargets(nullptr, 0, nullptr);
}

void ReadDesktopSize()
{
    int width = 0, height = 0;
    if (HostDisplay_GetDesktopSize(&width, &height) && width > 0 && height > 0) {
        GR_D3D_DisplayWidth = width;
        GR_D3D_DisplayHeight = height;
    }
}

struct Vertex24 {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

}  // namespace

bool GR_D3D_CreateDevice()
{
    // The window's own context first; else the software rasteriser off-screen.
    HGPU_Result result = HGPU_CreateDevice(HGPU_Driver::Hardware, g_Window);
    if (result == HGPU_OK) {
        LogConsole->Output("DirectX11: Using hardware device\n");
        return true;
    }
    result = HGPU_CreateDevice(HGPU_Driver::Warp, g_Window);
    if (result == HGPU_OK) {
        LogConsole->Output("DirectX11: Using warp device\n");
        return true;
    }
    GR_D3D_CheckHResult(result, "", __LINE__, __FILE__);
    return false;
}

void GR_D3D_CreateSwapChain(HostWindow* window, int width, int height, uint32_t displayFlags)
{
    g_Window = window;
    g_DisplayFlags = displayFlags;
    GR_D3D_BackBufferWidth = width;
    GR_D3D_BackBufferHeight = height;
    if (!HGPU_HasDevice()) return;
    if (g_SwapChainExists) {
        LogConsole->Output("Resizing swap chain...");
        GR_D3D_Resizing = true;
        UnbindTargets();
        HGPU_Result result = HGPU_ResizeSwapChain(width, height);
        if (result == HGPU_OK) HostWindow_SetFullscreen(window, GR_D3D_FullScreen);
        GR_D3D_Resizing = false;
        if (result == HGPU_DEVICE_REMOVED) {
            GR_D3D_RecreateDevice();
            return;
        }
        if (!GR_D3D_CheckHResult(result, "g_SwapChain->ResizeBuffers", __LINE__, __FILE__)) return;
    } else {
        UnbindTargets();
        HGPU_Flush();
        ReadDesktopSize();
        if (!GR_D3D_CheckHResult(HGPU_CreateSwapChain(width, height), "pDXGIFactory->CreateSwapChain", __LINE__,
                                 __FILE__))
            return;
        g_SwapChainExists = true;
        if (GR_D3D_FullScreen) HostWindow_SetFullscreen(window, true);
    }
    GR_D3D_SetViewport(0, 0, width, height);
    HGPU_Texture* back = HGPU_GetBackBuffer();
    HGPU_SetRenderTargets(&back, 1, nullptr);
    const float black[4] = {0, 0, 0, 1};
    HGPU_ClearRenderTarget(back, black);
    GR_D3D_ForgetPendingWindowSize();
}

void GR_D3D_CreateDisplay(HostWindow* window, int width, int height, uint32_t displayFlags)
{
    g_Window = window;
    if (displayFlags & DISPLAY_FULLSCREEN) {
        GR_Window_SetWindowedSize(width, height);
        GR_D3D_FullScreen = true;
        ReadDesktopSize();
        width = GR_Display_AreaWidth = GR_D3D_DisplayWidth;
        height = GR_Display_AreaHeight = GR_D3D_DisplayHeight;
    } else {
        GR_D3D_FullScreen = false;
    }
    GR_D3D_AntialiasLevel = 0;
    GR_D3D_VSync = (displayFlags & DISPLAY_VSYNC) != 0;
    GR_D3D_CreateDevice();
    GR_D3D_CreateSwapChain(window, width, height, displayFlags);
    GR_D3D_InitTextures();
    GR_VertexBuilder_Init();
    Shader_RecreateAll();
    StateManagerM::MarkGroups(STATE_GROUP_ALL);
    GR_D3D_DeviceReady = HGPU_HasDevice();
    GR_D3D_InterpolatePixels = (displayFlags & DISPLAY_INTERPOLATE) != 0;
    GR_D3D_KeepAspect = (displayFlags & DISPLAY_KEEP_ASPECT) != 0;
    GR_D3D_MultisampleSupport = 0;
    for (int samples : {2, 4, 8, 16}) {
        if (HGPU_CheckMultisampleQualityLevels(HGPU_Format::R8G8B8A8, samples) > 0)
            GR_D3D_MultisampleSupport |= static_cast<uint32_t>(samples);
        if (HGPU_CheckMultisampleQualityLevels(HGPU_Format::D24S8, samples) == 0)
            GR_D3D_MultisampleSupport &= ~static_cast<uint32_t>(samples);
    }
}

bool GR_D3D_Init(HostWindow* window, int width, int height, uint32_t displayFlags)
{
    if (GR_Display_AreaWidth > 0 && width > GR_Display_AreaWidth) width = GR_Display_AreaWidth;
    if (GR_Display_AreaHeight > 0 && height > GR_Display_AreaHeight) height = GR_Display_AreaHeight;
    const int depth = GR_Display_GetColourDepth();
    if (depth != -1 && depth != 16 && depth != 32) {  // an unreadable mode is no reason to stop
        ShowMessageBox("This program requires 16-bit (High Color) or 32-bit (Full Color) mode. Please change this in "
                       "your display properties and run again.");
        return false;
    }
    GR_D3D_CreateDisplay(window, width, height, displayFlags);
    GR_D3D_SetMatrix(MATRIX_WORLD, kIdentity);
    GR_Texture_FreeTable();
    PrimitiveWhiteTexture = -1;
    PrimitiveWhiteD3DTexture = nullptr;
    g_RenderStateCache.Reset();
    GR_D3D_RestoreStates();
    GR_D3D_Clear(0, 1.0f, 0.0f, 7);
    if (HGPU_HasDevice()) {
        GR_VertexBuilder_Flush();
        GR_D3D_SetViewport(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    }
    GR_D3D_SetView(0, 0, static_cast<float>(GR_D3D_BackBufferWidth), static_cast<float>(GR_D3D_BackBufferHeight), 0);
    GR_D3D_SetBackBufferSize(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    DebugOverlay_Init();
    if (PrimitiveWhiteTexture < 0) {
        const uint32_t white = 0xFFFFFFFFu;
        PrimitiveWhiteTexture = GR_Texture_Create(1, 1, &white, 4);
        PrimitiveWhiteD3DTexture = GR_Texture_GetD3D(PrimitiveWhiteTexture);
    }
    // Without a device or a swap chain the game would run with nothing on
    // screen: the failure has been reported once, and start-up ends here.
    return HGPU_HasDevice() && g_SwapChainExists;
}

void GR_D3D_BeginScene()
{
    if (g_SceneBegun || !HGPU_HasDevice()) return;
    GR_D3D_ResetSamplerStages();
    GR_D3D_SetRenderTarget(0, GR_D3D_GetBackBufferTarget());
    g_SceneBegun = true;
    Timing_Reset();
}

void GR_D3D_EndScene()
{
    if (!g_SceneBegun) return;
    DebugOverlay_Draw();
    if (HGPU_HasDevice()) {
        GR_VertexBuilder_Flush();
        GR_VertexBuilder_Reset();
        g_SceneBegun = false;
    }
}

bool Start_Frame()
{
    const ProfilerSection section(SECTION_START_FRAME);
    GR_D3D_BeginScene();
    return HGPU_HasDevice();
}

bool End_Frame(bool present)
{
    const ProfilerSection section(SECTION_END_FRAME);
    GR_D3D_EndScene();
    if (present) {
        const uint64_t start = Timing_Microseconds();
        GR_D3D_FinishFrame();
        GR_D3D_LastPresentMicros = static_cast<int64_t>(Timing_Microseconds() - start);
    }
    return HGPU_HasDevice();
}

void GR_D3D_FinishFrame()
{
    GR_D3D_ShowWindowOnce();
    GR_D3D_DrawScreenTexture();
    GR_D3D_Present();
}

bool GR_D3D_ShowWindowOnce()
{
    if (!g_FirstFrame) return false;
    g_FirstFrame = false;
    const int passes = (g_DisplayFlags & DISPLAY_BORDERLESS) ? 1 : 10;
    for (int i = 0; i < passes; ++i) {
        HostWindow_Show(g_Window);
        Timing_PumpMessages();
    }
    return true;
}

void GR_D3D_ResetFirstFrame() { g_FirstFrame = true; }

void GR_D3D_DrawScreenTexture()
{
    if (!HGPU_HasDevice()) return;
    GR_D3D_PushRenderTargets();
    for (int i = 0; i < 4; ++i) GR_D3D_SetRenderTarget(i, nullptr);
    float kept[3][16];
    for (int slot = 0; slot < 3; ++slot) {
        GR_D3D_GetMatrix(slot, kept[slot]);
        GR_D3D_SetMatrix(slot, kIdentity);
        GR_InvalidateCullRect();
    }
    StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
    StateManagerM::SaveStates();
    StateManagerM::SetRenderState(RS_COLORWRITEENABLE, 15);
    StateManagerM::SetRenderState(RS_ALPHATESTENABLE, 0);
    StateManagerM::SetRenderState(RS_CULLMODE, 0);
    StateManagerM::SetRenderState(RS_ZTESTENABLE, 0);
    GR_D3D_SetViewport(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    auto* v = static_cast<Vertex24*>(
        GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, GR_D3D_GetBackBufferTarget(), 24, 4));
    if (v) {
        v[0] = {0, 1, 0xFFFFFFFFu, -1, -1, 0};
        v[1] = {0, 0, 0xFFFFFFFFu, -1, 1, 0};
        v[2] = {1, 1, 0xFFFFFFFFu, 1, -1, 0};
        v[3] = {1, 0, 0xFFFFFFFFu, 1, 1, 0};
        GR_VertexBuilder_Flush();
    }
    for (int slot = 0; slot < 3; ++slot) {
        GR_D3D_SetMatrix(slot, kept[slot]);
        GR_InvalidateCullRect();
    }
    StateManagerM::RestoreStates();
    StateManagerM::SetRenderState(RS_BLENDENABLE, 1);
    GR_D3D_SetViewport(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    GR_D3D_PopRenderTargets();
}

void GR_D3D_Present()
{
    if (DeviceResetCountdown == 1 || !HGPU_HasDevice()) return;
    const HGPU_Result result = HGPU_Present(GR_D3D_VSync ? 1 : 0);
    if (result == HGPU_DEVICE_REMOVED || result == HGPU_DEVICE_RESET) {
        GR_D3D_RecreateDevice();
    } else if (result == HGPU_INVALID_CALL) {
        // Rebuild the chain at the current size; nothing is gained by waiting.
        if (GR_Window_HasFocus()) {
            GR_D3D_CreateSwapChain(g_Window, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, g_DisplayFlags);
            GR_D3D_RecreateBackBufferTarget();
        }
    } else {
        GR_D3D_CheckHResult(result, "g_SwapChain->Present", __LINE__, __FILE__);
    }
}

void GR_D3D_RecreateDevice()
{
    UnbindTargets();
    HGPU_Flush();
    GR_Surface_ReleaseAll();
    GR_D3D_FreeSpecialTextures();
    DebugOverlay_Release();
    GR_VertexBuilder_Free();
    Shader_ReleaseAllDevice();
    GR_Texture_FlushAll();
    StateManagerM::Release();
    GR_D3D_DeviceReady = false;
    HGPU_DestroyDevice();
    g_SwapChainExists = false;
    GR_D3D_CreateDevice();
    GR_D3D_CreateSwapChain(g_Window, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, g_DisplayFlags);
    GR_D3D_InitTextures();
    GR_VertexBuilder_Init();
    Shader_RecreateAll();
    StateManagerM::MarkGroups(STATE_GROUP_ALL);
    GR_D3D_DeviceReady = HGPU_HasDevice();
    g_SceneBegun = false;
}

void GR_D3D_SetAntialias(int level)
{
    GR_D3D_AntialiasLevel = (level != 0 && (static_cast<uint32_t>(level) & GR_D3D_MultisampleSupport)) ? level : 0;
}

void GR_D3D_SetVSync(bool on) { GR_D3D_VSync = on; }

bool GR_D3D_ShadersSupported() { return true; }

void GR_D3D_Release()
{
    GR_D3D_FreeSpecialTextures();
    DebugOverlay_Release();
    GR_VertexBuilder_Free();
    Shader_ReleaseAllDevice();
    StateManagerM::Release();
    Timing_PrintFPSStats();
}

void GR_D3D_ReleaseAll()
{
    GR_Texture_Free(PrimitiveWhiteTexture);
    PrimitiveWhiteTexture = -1;
    PrimitiveWhiteD3DTexture = nullptr;
    GR_Surface_ReleaseAll();
    GR_D3D_Release();
}

void GR_D3D_Shutdown() { Timing_PrintFPSStats(); }

bool GR_D3D_DeviceExists() { return HGPU_HasDevice(); }

void GR_D3D_DestroyDevice()
{
    HGPU_DestroyDevice();
    g_SwapChainExists = false;
    g_SceneBegun = false;
    g_FirstFrame = true;
    GR_D3D_DeviceReady = false;
}

void GR_D3D_ResetSettings()
{
    GR_D3D_DestroyDevice();
    GR_D3D_BackBufferWidth = GR_D3D_BackBufferHeight = 0;
    GR_D3D_DisplayWidth = 640;
    GR_D3D_DisplayHeight = 480;
    GR_D3D_FullScreen = false;
    GR_D3D_VSync = false;
    GR_D3D_AntialiasLevel = 0;
    GR_D3D_MultisampleSupport = 0;
    GR_D3D_Resizing = false;
    GR_D3D_InterpolatePixels = false;
    GR_D3D_KeepAspect = false;
    GR_D3D_LastPresentMicros = 0;
    g_Window = nullptr;
    g_DisplayFlags = 0;
}

void GR_D3D_AfterInitTextures() {}

void GR_Display_PrepareForDialog() {}
