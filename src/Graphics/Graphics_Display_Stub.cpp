// Stand-ins: see Graphics_Display.h.
#include <cmath>

#include "Graphics/Graphics_Display.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_Display.h"
#include "Host/Host_GPU.h"

int GR_Display_AreaWidth = 0, GR_Display_AreaHeight = 0;
int GR_PendingWindowWidth = -1, GR_PendingWindowHeight = -1;

namespace {
int g_Viewport[4];
}  // namespace

int GR_Display_GetColourDepth()
{
    int bits = 0;
    if (!HostDisplay_GetCurrentBitsPerPixel(&bits)) return 32;
    // A 24-bit mode (XRGB) is a 32-bit one with the padding byte not counted.
    return bits == 24 ? 32 : bits;
}

void GR_D3D_SetViewport(int x, int y, int width, int height)
{
    if (!HGPU_HasDevice()) return;
    GR_VertexBuilder_Flush();
    g_Viewport[0] = x;
    g_Viewport[1] = y;
    g_Viewport[2] = width;
    g_Viewport[3] = height;
    HGPU_SetViewport(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                     static_cast<float>(height), 0.0f, 1.0f);
    HGPU_SetScissor(x, y, x + width, y + height);
}

void GR_D3D_GetViewport(int* x, int* y, int* width, int* height)
{
    *x = g_Viewport[0];
    *y = g_Viewport[1];
    *width = g_Viewport[2];
    *height = g_Viewport[3];
}

void GR_D3D_SetView(float x, float y, float width, float height, float angle)
{
    const float cx = x + width * 0.5f, cy = y + height * 0.5f;
    const float a = -angle * 3.14159265f / 180.0f;
    // Look-at from (cx, cy, -16000) along +z with the up vector turned by the angle.
    const float up[3] = {std::sin(a), std::cos(a), 0.0f};
    const float xAxis[3] = {up[1], -up[0], 0.0f};  // up × (0, 0, 1)
    const float yAxis[3] = {-xAxis[1], xAxis[0], 0.0f};  // (0, 0, 1) × x
    const float eye[3] = {cx, cy, -16000.0f};
    const float view[16] = {
        xAxis[0], yAxis[0], 0, 0,
        xAxis[1], yAxis[1], 0, 0,
        0, 0, 1, 0,
        -(xAxis[0] * eye[0] + xAxis[1] * eye[1]), -(yAxis[0] * eye[0] + yAxis[1] * eye[1]), -eye[2], 1,
    };
    // Orthographic with height -h, so y grows downwards on screen.
    const float nearZ = 1.0f, farZ = 32000.0f;
    float projection[16] = {};
    if (width != 0 && height != 0) {
        projection[0] = 2.0f / width;
        projection[5] = 2.0f / -height;
        projection[10] = 1.0f / (farZ - nearZ);
        projection[14] = nearZ / (nearZ - farZ);
        projection[15] = 1.0f;
    } else {
        projection[0] = projection[5] = projection[10] = projection[15] = 1.0f;
    }
    GR_D3D_SetMatrix(MATRIX_VIEW, view);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
}

void GR_InvalidateCullRect() {}

void GR_D3D_ForgetPendingWindowSize()
{
    GR_PendingWindowWidth = -1;
    GR_PendingWindowHeight = -1;
}

RendererViewRectangle RendererViewRect = {0, 0, 0, 0, 0};
ViewCullBounds GR_ViewBounds = {0, 0, 0, 0};

void GR_CalcViewBounds(float x, float y, float width, float height, float angle)
{
    if (std::fabs(angle) < 0.001f) {
        GR_ViewBounds = {x - 0.999f, y - 0.999f, x + width + 0.999f, y + height + 0.999f};
        return;
    }
    const float cx = x + width * 0.5f, cy = y + height * 0.5f;
    const float radians = angle * 3.14159265f / 180.0f;
    const float c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
    const float hw = (width * c + height * s) * 0.5f, hh = (width * s + height * c) * 0.5f;
    GR_ViewBounds = {cx - hw, cy - hh, cx + hw, cy + hh};
}

void GR_Display_SetAll(int32_t, int32_t, int32_t, int32_t) {}
void GR_D3D_ApplyWindowSize() {}
void GR_D3D_Reset() {}
