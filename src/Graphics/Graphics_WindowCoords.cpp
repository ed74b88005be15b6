#include "Graphics/Graphics_WindowCoords.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "GameData/GameHeader.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "IO/IO_Main.h"

bool GR_Window_Changed = false;
int GR_WindowedWidth = 0, GR_WindowedHeight = 0;
namespace {
bool NoRoom(int32_t*, int32_t*) { return false; }
bool NoView(int32_t) { return false; }
void BackBuffer(int32_t*, int32_t*, bool*, float*, float*) {}
bool NoCamera(int32_t, Matrix*, Matrix*) { return false; }
WindowCoordsHooks s_hooks = {NoRoom, NoView, BackBuffer, NoCamera};

struct ViewMapping {
    bool recorded;
    float viewX, viewY, viewW, viewH;
    float portX, portY, portW, portH;
    float angle;
    int32_t surfaceId, camera;
};
ViewMapping g_Views[GR_VIEW_MAPPINGS];
std::string g_Caption;
uint32_t g_Colour = 0xFF000000u;

// Float to int toward zero, held to the int range (NaN gives 0).
int32_t Trunc(double v)
{
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t Nearest(double v) { return Trunc(std::nearbyint(v)); }

struct Surface {
    int32_t width, height;
    bool inUse;
    float scaleX, scaleY;
};

Surface CurrentSurface()
{
    Surface s{GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, false, 1, 1};
    s_hooks.surface(&s.width, &s.height, &s.inUse, &s.scaleX, &s.scaleY);
    return s;
}

bool CamerasInUse() { return LayerMode; }

bool CameraOf(const ViewMapping& m, Matrix* viewProjection, Matrix* inverse)
{
    return s_hooks.camera(m.camera, viewProjection, inverse);
}

// A window point without the letterbox offset into application-surface pixels.
void WindowToPort(int32_t x, int32_t y, float* px, float* py)
{
    int32_t left, top, right, bottom;
    GR_Window_GetAppSurfaceRect(&left, &top, &right, &bottom);
    const Surface s = CurrentSurface();
    const float w = static_cast<float>(GR_Window_ClientWidth - 2 * left);
    const float h = static_cast<float>(GR_Window_ClientHeight - 2 * top);
    // A window of no size (minimised) maps nothing further.
    const float sx = w > 0 && s.scaleX != 0 ? static_cast<float>(s.width) / w / s.scaleX : 1.0f;
    const float sy = h > 0 && s.scaleY != 0 ? static_cast<float>(s.height) / h / s.scaleY : 1.0f;
    *px = static_cast<float>(Trunc(sx * static_cast<float>(x)));
    *py = static_cast<float>(Trunc(sy * static_cast<float>(y)));
}

bool OnScreen(int32_t index)
{
    const ViewMapping& m = g_Views[index];
    return m.recorded && m.surfaceId == -1 && s_hooks.viewVisible(index);
}

// Steps shared by the window-to-room mapping and the view look-up: the view
// that passes (-1 for none) with the room point of the lowest drawn view
// when none does. False when no view was drawn to the screen.
bool SearchViews(int32_t x, int32_t y, int32_t* outX, int32_t* outY, int32_t* found)
{
    *found = -1;
    int32_t lowest = -1;
    for (int32_t i = 0; i < GR_VIEW_MAPPINGS; ++i)
        if (OnScreen(i) && lowest < 0) lowest = i;
    if (lowest < 0) return false;
    for (int32_t i = GR_VIEW_MAPPINGS - 1; i >= 0; --i) {
        if (!OnScreen(i)) continue;
        const ViewMapping& m = g_Views[i];
        GR_Window_PortToRoom(i, x, y, outX, outY);
        bool inside;
        if (CamerasInUse()) {
            float px, py;
            WindowToPort(x, y, &px, &py);
            inside = m.portX <= px && px < m.portX + m.portW && m.portY <= py && py < m.portY + m.portH;
        } else {
            const float rx = static_cast<float>(*outX), ry = static_cast<float>(*outY);
            inside = m.viewX <= rx && rx < m.viewX + m.viewW && m.viewY <= ry && ry < m.viewY + m.viewH;
        }
        if (inside) {
            *found = i;
            return true;
        }
    }
    GR_Window_PortToRoom(lowest, x, y, outX, outY);
    return true;
}
}  // namespace

void GR_Window_SetCaption(const char* utf8)
{
    g_Caption = utf8 ? utf8 : "";
    Win32Window_ApplyCaption();
}

const char* GR_Window_GetCaption() { return g_Caption.c_str(); }

uint32_t GR_Window_SetColour(uint32_t colour)
{
    g_Colour = (colour & 0xFFFFFFu) | 0xFF000000u;
    return g_Colour;
}

uint32_t GR_Window_GetColour() { return g_Colour & 0xFFFFFFu; }

void GR_Window_GetAppSurfaceRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    *left = *top = 0;
    const int32_t bw = GR_D3D_BackBufferWidth, bh = GR_D3D_BackBufferHeight;
    *right = bw;
    *bottom = bh;
    const Surface s = CurrentSurface();
    if (!GR_D3D_KeepAspect || !s.inUse || s.width <= 0 || s.height <= 0) return;
    const float a = static_cast<float>(s.width) / static_cast<float>(s.height);
    const float fbw = static_cast<float>(bw), fbh = static_cast<float>(bh);
    if (fbh > fbw / a) {
        const float drawn = static_cast<float>(s.height) / static_cast<float>(s.width) * fbw;
        *top = Trunc((fbh - drawn) * 0.5f);
        *bottom = Trunc(static_cast<float>(*top) + drawn);
    } else {
        *left = Trunc((fbw - fbh * a) * 0.5f);
        *right = Trunc(static_cast<float>(*left) + fbh * a);
    }
}

void GR_Window_SetViewMapping(int32_t index, float portX, float portY, float portW, float portH, float viewX,
                              float viewY, float viewW, float viewH, float angle, int32_t surfaceId, int32_t camera)
{
    if (index < 0 || index >= GR_VIEW_MAPPINGS) return;
    g_Views[index] = ViewMapping{true, viewX, viewY, viewW, viewH, portX, portY, portW, portH, angle, surfaceId, camera};
}

void GR_Window_ClearViewMapping(int32_t index)
{
    if (index >= 0 && index < GR_VIEW_MAPPINGS) g_Views[index].recorded = false;
}

void GR_Window_ResetViewMappings()
{
    for (ViewMapping& m : g_Views) m.recorded = false;
}

void GR_WindowCoords_Reset()
{
    GR_Window_ResetViewMappings();
    GR_Window_Changed = false;
    GR_WindowedWidth = GR_WindowedHeight = 0;
    g_Caption.clear();
    g_Colour = 0xFF000000u;
}

void GR_Window_PortToRoom(int32_t index, int32_t x, int32_t y, int32_t* outX, int32_t* outY)
{
    if (index < 0 || index >= GR_VIEW_MAPPINGS) return;
    const ViewMapping& m = g_Views[index];
    if (!m.recorded || m.portW == 0 || m.portH == 0) return;
    float px, py;
    WindowToPort(x, y, &px, &py);
    px -= static_cast<float>(Trunc(m.portX));
    py -= static_cast<float>(Trunc(m.portY));
    *outX = Trunc(px);
    *outY = Trunc(py);
    if (CamerasInUse()) {
        Matrix viewProjection, inverse;
        if (!CameraOf(m, &viewProjection, &inverse)) return;
        const float nx = px / m.portW * 2 - 1, ny = py / m.portH * 2 - 1;
        const float* c = &inverse.m[0][0];
        *outX = Trunc(nx * c[0] + ny * c[4] + c[12]);
        *outY = Trunc(nx * c[1] + ny * c[5] + c[13]);
        return;
    }
    const float dx = px * m.viewW / m.portW, dy = py * m.viewH / m.portH;
    if (std::fabs(m.angle) < 0.0001f) {
        *outX = Nearest(static_cast<double>(m.viewX + dx));
        *outY = Nearest(static_cast<double>(m.viewY + dy));
        return;
    }
    const double a = static_cast<double>(m.angle * -3.1415927f / 180.0f);
    const double hw = m.viewW * 0.5, hh = m.viewH * 0.5, ex = dx - hw, ey = dy - hh;
    *outX = Nearest(std::cos(a) * ex + (m.viewX + hw) + std::sin(a) * ey);
    *outY = Nearest((hh + m.viewY) - std::sin(a) * ex + std::cos(a) * ey);
}

void GR_Window_RoomToPort(int32_t index, float x, float y, int32_t* outX, int32_t* outY)
{
    *outX = Nearest(x);
    *outY = Nearest(y);
    if (index < 0 || index >= GR_VIEW_MAPPINGS) return;
    const ViewMapping& m = g_Views[index];
    if (!m.recorded || m.viewW == 0 || m.viewH == 0) return;
    if (CamerasInUse()) {
        Matrix viewProjection, inverse;
        if (!CameraOf(m, &viewProjection, &inverse)) return;
        const float* c = &viewProjection.m[0][0];
        const float cx = x * c[0] + y * c[4] + c[12], cy = x * c[1] + y * c[5] + c[13];
        const float cw = x * c[3] + y * c[7] + c[15];
        if (cw == 0) return;
        *outX = Trunc((cx / cw * 0.5f + 0.5f) * m.portW + m.portX);
        *outY = Trunc((cy / cw * 0.5f + 0.5f) * m.portH + m.portY);
        return;
    }
    const float dx = (x - m.viewX) * m.portW / m.viewW, dy = (y - m.viewY) * m.portH / m.viewH;
    if (std::fabs(m.angle) < 0.01f) {
        *outX = Nearest(static_cast<double>(m.portX + dx));
        *outY = Nearest(static_cast<double>(m.portY + dy));
        return;
    }
    const double a = static_cast<double>(m.angle * 3.1415927f / 180.0f);
    const double hw = m.portW * 0.5, hh = m.portH * 0.5, ex = dx - hw, ey = dy - hh;
    *outX = Nearest(std::cos(a) * ex + (m.portX + hw) + std::sin(a) * ey);
    *outY = Nearest((hh + m.portY) - std::sin(a) * ex + std::cos(a) * ey);
}

void GR_Window_WindowToRoom(int32_t x, int32_t y, int32_t* outX, int32_t* outY)
{
    int32_t left, top, right, bottom;
    GR_Window_GetAppSurfaceRect(&left, &top, &right, &bottom);
    x -= left;
    y -= top;
    int32_t found;
    if (SearchViews(x, y, outX, outY, &found)) return;
    int32_t roomW = 0, roomH = 0;
    const bool room = s_hooks.room(&roomW, &roomH);
    const double w = GR_Window_ClientWidth - 2.0 * left, h = GR_Window_ClientHeight - 2.0 * top;
    *outX = room && w > 0 ? Trunc(x * static_cast<double>(roomW) / w) : x;
    *outY = room && h > 0 ? Trunc(y * static_cast<double>(roomH) / h) : y;
}

int32_t GR_Window_ViewAtPoint(int32_t x, int32_t y)
{
    int32_t left, top, right, bottom;
    GR_Window_GetAppSurfaceRect(&left, &top, &right, &bottom);
    int32_t rx = 0, ry = 0, found;
    SearchViews(x - left, y - top, &rx, &ry, &found);
    return found;
}

void GR_Window_DeviceMouseToRoom(int32_t* outX, int32_t* outY, int32_t device)
{
    *outX = *outY = 0;
    if (device < 0 || device >= IO_DEVICE_COUNT) return;
    const int32_t x = IO_Input.deviceX[device], y = IO_Input.deviceY[device];
    int32_t w, h;
    if (s_hooks.room(&w, &h)) {
        GR_Window_WindowToRoom(x, y, outX, outY);
    } else {
        *outX = x;
        *outY = y;
    }
}

int32_t GR_Window_DeviceMouseX(int32_t device)
{
    int32_t x, y;
    GR_Window_DeviceMouseToRoom(&x, &y, device);
    return x;
}

int32_t GR_Window_DeviceMouseY(int32_t device)
{
    int32_t x, y;
    GR_Window_DeviceMouseToRoom(&x, &y, device);
    return y;
}

namespace {
// The first device's window position relative to the drawn surface, through
// the view's recorded mapping.
void ViewMouse(int32_t view, int32_t* x, int32_t* y)
{
    int32_t left, top, right, bottom;
    GR_Window_GetAppSurfaceRect(&left, &top, &right, &bottom);
    *x = *y = 0;
    GR_Window_PortToRoom(view, IO_Input.deviceX[0] - left, IO_Input.deviceY[0] - top, x, y);
}
}  // namespace

int32_t GR_Window_ViewMouseX(int32_t view)
{
    int32_t x, y;
    ViewMouse(view, &x, &y);
    return x;
}

int32_t GR_Window_ViewMouseY(int32_t view)
{
    int32_t x, y;
    ViewMouse(view, &x, &y);
    return y;
}

int32_t GR_Window_GetMouseX() { return IO_Input.deviceX[0]; }
int32_t GR_Window_GetMouseY() { return IO_Input.deviceY[0]; }

WindowCoordsHooks GR_WindowCoords_SetHooks(const WindowCoordsHooks& hooks)
{
    const WindowCoordsHooks previous = s_hooks;
    s_hooks.room = hooks.room ? hooks.room : NoRoom;
    s_hooks.viewVisible = hooks.viewVisible ? hooks.viewVisible : NoView;
    s_hooks.surface = hooks.surface ? hooks.surface : BackBuffer;
    s_hooks.camera = hooks.camera ? hooks.camera : NoCamera;
    return previous;
}
