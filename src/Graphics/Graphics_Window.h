#pragma once
// The game window: creation from the game's settings, the window procedure
// that feeds the input handlers and reports size and focus changes, and the
// small window operations behind the window built-ins.
#include <cstdint>
#include "Graphics/Graphics_WindowCoords.h"

// The window's settings: size, style flags and caption from the general
// header (start-up fills them before creating the window), the cursor and
// Alt+Enter options from the options chunk.
struct WindowOptions {
    int32_t width = 1024, height = 768;
    uint32_t flags = 0x20;  // 1 full screen, 0x10 keep aspect, 0x20 show cursor, 0x40 sizeable, 0x4000 borderless
    int32_t showCursor = 1;
    bool altEnter = false;
    const char* caption = "";
    // The game's icon, a PNG image; none: the runner's own emblem.
    const uint8_t* icon = nullptr;
    uint32_t iconSize = 0;
};
extern WindowOptions Option_WindowSettings;

struct HostWindow;

extern HostWindow* GR_Window_Handle;
extern int GR_Window_ClientWidth, GR_Window_ClientHeight;  // W, H
extern int GR_Window_OuterWidth, GR_Window_OuterHeight;
extern bool GR_Window_FullScreen;
extern int GR_Window_CursorValue;
extern int GR_Window_CaptureCount;
extern uint32_t GR_Window_RightShiftScanCode;
extern bool GR_Window_IgnoreNextSize;
extern int GR_Window_MouseX, GR_Window_MouseY;

void GR_Window_Create(int width, int height);
int64_t GR_Window_WndProc(HostWindow* window, uint32_t message, uint64_t wParam, int64_t lParam);
bool GR_Window_Destroy(HostWindow* window);
bool GR_Window_BringToFront();
bool GR_Window_HasFocus();
// Brings the game window to the front with the keyboard focus (no window: nothing).
void GR_Window_SetFocus();
// Destroys the window when there is one and puts the window's state back as
// the process starts with it (between tests).
void GR_Window_Reset();

// The size a window of the given client size gets on a screen: wider than
// the screen, it is narrowed (the height follows with keep-aspect); taller
// than the screen less the frame height, it is made shorter likewise.
void GR_Window_FitToScreen(int* width, int* height, int screenWidth, int screenHeight, int frameHeight,
                           bool keepAspect);
// Remembered windowed size to return to from full screen.
void GR_Window_SetWindowedSize(int width, int height);

bool Win32Window_Center();
int Win32Window_GetClientWidth();
int Win32Window_GetClientHeight();
int Win32Window_GetClientX();
int Win32Window_GetClientY();
bool Win32Window_SetPosition(int x, int y);
void Win32Window_SetSize(int width, int height);
void Win32Window_SetFullscreen(bool on);
uint8_t Win32Window_GetFullscreen();
void Win32Window_SetCursor(int value);
int Win32Window_GetCursor();
void Win32Window_MouseSet(int x, int y);
void Win32Window_ApplyCaption();
int Win32Window_GetVisibleRects();

// The limits of the client size the user may size the window to; 0 or less:
// none. Each setter stores its limit and hands all four to the window.
struct WindowSizeLimits {
    int32_t minWidth, minHeight, maxWidth, maxHeight;
};
extern WindowSizeLimits GR_Window_Limits;
void GR_Window_SetMinWidth(int32_t width);
void GR_Window_SetMinHeight(int32_t height);
void GR_Window_SetMaxWidth(int32_t width);
void GR_Window_SetMaxHeight(int32_t height);
// Moves the window's client area to x, y and asks for the size (applied at the end of a frame).
void GR_Window_SetRectangle(int32_t x, int32_t y, int32_t width, int32_t height);

// Window coordinates and caption kept for the coordinate mapping.

// What the window procedure asks of the game: Alt+F4 ends it, a device change
// re-checks the joysticks. Set by Runner_InstallHooks; until then (and for
// a null slot) neither happens.
struct WindowProcHooks {
    void (*requestGameEnd)();
    void (*devicesChanged)();
};
void GR_Window_SetHooks(const WindowProcHooks& hooks);

// Frames left until the device follows a changed window size (1: at the end
// of this frame; 0: nothing pending). Set by the window, counted down by the
// main loop.
extern int32_t DeviceResetCountdown;
