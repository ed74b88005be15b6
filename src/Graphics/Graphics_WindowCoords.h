#pragma once
// The window's coordinate side: the changed flag, the windowed size, the
// caption, the window colour, and the mappings between
// window pixels, the views drawn last frame and the room. Mouse and touch
// positions arrive in window pixels; game code sees them in room pixels.
#include <cstdint>

#include "Base/Matrix.h"

extern bool GR_Window_Changed;
extern int GR_WindowedWidth, GR_WindowedHeight;
void GR_Window_SetCaption(const char* utf8);
const char* GR_Window_GetCaption();
// The colour outside the drawn area; stored opaque, read back without alpha.
uint32_t GR_Window_SetColour(uint32_t colour);
uint32_t GR_Window_GetColour();

// What the mapping reads of the layers above, set by Runner_InstallHooks.
// Until then (and for a null slot): no room, no view visible, the
// application surface is the back buffer and not in use, port scale 1, no
// cameras.
struct WindowCoordsHooks {
    // The current room's size; false without a room.
    bool (*room)(int32_t* width, int32_t* height);
    // Whether view index of the current room is enabled and visible.
    bool (*viewVisible)(int32_t index);
    // The application surface's size, whether frames are drawn into it, and
    // the port scale of the last frame.
    void (*surface)(int32_t* width, int32_t* height, bool* inUse, float* portScaleX, float* portScaleY);
    // A camera's view-projection matrix and its inverse; false when there is none.
    bool (*camera)(int32_t id, Matrix* viewProjection, Matrix* inverse);
};
// Returns the hooks it replaces.
WindowCoordsHooks GR_WindowCoords_SetHooks(const WindowCoordsHooks& hooks);

// Where the application surface sits in the back buffer (letterboxed to its
// aspect when the display keeps it).
void GR_Window_GetAppSurfaceRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
// The view mappings, recorded each frame by the view update (indices from 32 ignored).
constexpr int GR_VIEW_MAPPINGS = 32;
void GR_Window_SetViewMapping(int32_t index, float portX, float portY, float portW, float portH, float viewX,
                              float viewY, float viewW, float viewH, float angle, int32_t surfaceId, int32_t camera);
void GR_Window_ClearViewMapping(int32_t index);
void GR_Window_ResetViewMappings();
// The view mappings, the windowed size, the caption and the window colour as
// the process starts with them (between tests).
void GR_WindowCoords_Reset();
// A window point (letterbox offset removed) to the room through one view;
// the outputs are left as they were for a view not drawn or without a port.
void GR_Window_PortToRoom(int32_t index, int32_t x, int32_t y, int32_t* outX, int32_t* outY);
// A room point to the window through one view.
void GR_Window_RoomToPort(int32_t index, float x, float y, int32_t* outX, int32_t* outY);
// A window point to the room through the highest view drawn to the screen that holds it.
void GR_Window_WindowToRoom(int32_t x, int32_t y, int32_t* outX, int32_t* outY);
// The view drawn to the screen whose port holds the window point; -1 for none.
int32_t GR_Window_ViewAtPoint(int32_t x, int32_t y);
// Mouse or touch device 0..9 in room coordinates (0, 0 for other devices).
void GR_Window_DeviceMouseToRoom(int32_t* outX, int32_t* outY, int32_t device);
int32_t GR_Window_DeviceMouseX(int32_t device);
int32_t GR_Window_DeviceMouseY(int32_t device);
// Device 0 through one view; 0 for a view not drawn last frame or without a port.
int32_t GR_Window_ViewMouseX(int32_t view);
int32_t GR_Window_ViewMouseY(int32_t view);
// Device 0 in window pixels.
int32_t GR_Window_GetMouseX();
int32_t GR_Window_GetMouseY();
