#pragma once
// Display modes, sizes and the 2D view: the display area and render area, the
// pending window size, the viewport, the view and projection matrices of a
// 2D view, the visible bounds of the view being drawn and the culling
// rectangle sprite drawing tests against, and the display built-ins' back ends.
#include <cstdint>

class TBitmap;

// x, y, width, height and angle (degrees) of the view being drawn (written by
// Camera::Apply).
struct RendererViewRectangle {
    float x, y, width, height, angle;
};
extern RendererViewRectangle RendererViewRect;

// Visible bounds of the last 2D view, in room pixels.
struct ViewCullBounds {
    int32_t left, top, right, bottom;
};
extern ViewCullBounds GR_ViewBounds;

// The culling rectangle: the visible bounds taken back through the world
// matrix, so that drawing in a transformed world is tested in its own space.
struct CullRectangle {
    int32_t minX, minY, maxX, maxY;
    bool stale;
};
extern CullRectangle GR_CullRect;

// The box of the rectangle turned by angle about its centre; below 0.001
// degrees the rectangle grown by 0.999 on every side. Truncated toward zero.
void GR_CalcViewBounds(float x, float y, float width, float height, float angle);
// Every change of the world, view or projection matrix calls this.
void GR_InvalidateCullRect();
void GR_UpdateCullRect();
// The view, cull and display areas and the pending window size as the process
// starts with them (between tests).
void GR_Display_Reset();

// Display area (the largest render area: the screen in full screen, else the
// window's client size), render area and the windowed size.
extern int GR_Display_AreaWidth, GR_Display_AreaHeight;  // 0 until the window or display sets it
extern int GR_PendingWindowWidth, GR_PendingWindowHeight;  // -1 × -1 when none
// Set when the user resized the window: the next mode change leaves the window where it is.
extern bool GR_D3D_SkipWindowMove;

void GR_D3D_SetViewport(int x, int y, int width, int height);
void GR_D3D_GetViewport(int* x, int* y, int* width, int* height);
void GR_D3D_SetView(float x, float y, float width, float height, float angle);
// The last 2D view set.
RendererViewRectangle GR_D3D_GetView();
void GR_D3D_SetBackBufferSize(int width, int height);
void GR_D3D_GetBackBufferSize(int* width, int* height);
void GR_D3D_ForgetPendingWindowSize();

// The back buffer follows the window's full-screen setting and a pending size.
void GR_D3D_ApplyDisplayMode();
bool GR_D3D_ResizeDisplay();
// Surfaces released, display re-applied, cleared and render states restored.
bool GR_D3D_Reset();
// The window follows a pending size (while the frame loop counts down after a resize).
void GR_D3D_ApplyWindowSize();
void GR_D3D_ApplyWindowRect();

// One pixel of the frame (0xAABBGGRR), 0 when it cannot be read.
uint32_t GR_D3D_GetPixel(int x, int y);
// A part of the frame as a 32-bit bitmap, clipped to the visible bounds; null when empty.
TBitmap* GR_ScreenToBitmap(int x, int y, int width, int height);

// Display built-ins' back ends: -1 when the mode cannot be read; the setters
// change only the fields given above 0 and report success.
int GR_Display_GetColourDepth();
int GR_Display_GetFrequency();
int GR_Display_GetWidth();
int GR_Display_GetHeight();
int GR_Display_GetMouseX();
int GR_Display_GetMouseY();
void GR_Display_SetMouse(int x, int y);
bool GR_Display_SetAll(int32_t width, int32_t height, int32_t frequency, int32_t bits);
bool GR_Display_SetSize(int32_t width, int32_t height);
bool GR_Display_SetColourDepth(int32_t bits);
bool GR_Display_SetFrequency(int32_t frequency);
bool GR_Display_TestAll(int32_t width, int32_t height, int32_t frequency, int32_t bits);
