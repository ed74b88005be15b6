#pragma once
// Display modes, sizes and the 2D view: the display area, the pending window
// size, the viewport, the view matrices of a 2D view, and the rectangle of the
// view being drawn (written by Camera::Apply) with the bounds drawing is
// culled against. Until the display-mode code exists (Graphics_Display_Stub.cpp)
// modes are never changed and sizes follow the window.
#include <cstdint>

// x, y, width, height and angle (degrees) of the view being drawn.
struct RendererViewRectangle {
    float x, y, width, height, angle;
};
extern RendererViewRectangle RendererViewRect;

struct ViewCullBounds {
    float left, top, right, bottom;
};
extern ViewCullBounds GR_ViewBounds;

// The box of the rectangle turned by angle about its centre; below 0.001
// degrees the rectangle grown by 0.999 on every side.
void GR_CalcViewBounds(float x, float y, float width, float height, float angle);

// Display sizes, viewport and 2D view.
extern int GR_Display_AreaWidth, GR_Display_AreaHeight;  // 0 until the window or display sets it
extern int GR_PendingWindowWidth, GR_PendingWindowHeight;  // -1 × -1 when none
int GR_Display_GetColourDepth();
void GR_D3D_SetViewport(int x, int y, int width, int height);
void GR_D3D_GetViewport(int* x, int* y, int* width, int* height);
void GR_D3D_SetView(float x, float y, float width, float height, float angle);
void GR_InvalidateCullRect();
void GR_D3D_ForgetPendingWindowSize();
// Applies a display mode (width, height, refresh rate, colour depth).
void GR_Display_SetAll(int32_t width, int32_t height, int32_t frequency, int32_t bits);
// The back buffer follows a changed window size.
void GR_D3D_ApplyWindowSize();
// The device is reset after a size or mode change.
void GR_D3D_Reset();
