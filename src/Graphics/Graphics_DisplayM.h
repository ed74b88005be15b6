#pragma once
// The device, its swap chain and the per-frame protocol: each frame is drawn
// into a render target the size of the back buffer, copied to the back buffer
// with one quad and presented. Also the display sizes, the viewport and the
// 2D view that the frame is drawn with.
#include <cstdint>
#include "Graphics/Graphics_Display.h"

struct HostWindow;
struct D3DTexture;

// Display flags of the game's general settings.
constexpr uint32_t DISPLAY_FULLSCREEN = 0x1;
constexpr uint32_t DISPLAY_VSYNC = 0x2;
constexpr uint32_t DISPLAY_INTERPOLATE = 0x8;
constexpr uint32_t DISPLAY_KEEP_ASPECT = 0x10;
constexpr uint32_t DISPLAY_BORDERLESS = 0x4000;

extern int GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight;
extern int GR_D3D_DisplayWidth, GR_D3D_DisplayHeight;  // desktop size, 640 × 480 until known
extern bool GR_D3D_FullScreen;
extern bool GR_D3D_VSync;
extern int GR_D3D_AntialiasLevel;
extern uint32_t GR_D3D_MultisampleSupport;  // bits 2, 4, 8, 16
extern bool GR_D3D_Resizing;                // the window procedure ignores size changes meanwhile
extern bool GR_D3D_DeviceReady;
extern bool GR_D3D_InterpolatePixels;
extern bool GR_D3D_KeepAspect;
extern int64_t GR_D3D_LastPresentMicros;
extern int PrimitiveWhiteTexture;                 // game texture index, -1 before GR_D3D_Init
extern D3DTexture* PrimitiveWhiteD3DTexture;

bool GR_D3D_Init(HostWindow* window, int width, int height, uint32_t displayFlags);
bool Start_Frame();
bool End_Frame(bool present);

bool GR_D3D_CreateDevice();
void GR_D3D_CreateSwapChain(HostWindow* window, int width, int height, uint32_t displayFlags);
void GR_D3D_CreateDisplay(HostWindow* window, int width, int height, uint32_t displayFlags);
void GR_D3D_RecreateDevice();
void GR_D3D_Present();
void GR_D3D_FinishFrame();
bool GR_D3D_ShowWindowOnce();
void GR_D3D_DrawScreenTexture();
void GR_D3D_BeginScene();
void GR_D3D_EndScene();
void GR_D3D_SetAntialias(int level);
void GR_D3D_SetVSync(bool on);
bool GR_D3D_ShadersSupported();
void GR_D3D_Release();
void GR_D3D_ReleaseAll();
void GR_D3D_Shutdown();
// Whether a graphics device exists (the splash has nothing to draw on before).
bool GR_D3D_DeviceExists();
// Ends the device and its swap chain (end of the process, and between tests).
void GR_D3D_DestroyDevice();
// Ends the device and puts the display settings (back buffer, display size,
// full screen, sync, antialiasing, filtering) back as the process starts with
// them (between tests).
void GR_D3D_ResetSettings();
void GR_D3D_AfterInitTextures();
void GR_Display_PrepareForDialog();
// Test hook: forget the first-frame show, as after a fresh start.
void GR_D3D_ResetFirstFrame();

