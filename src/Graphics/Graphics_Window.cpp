#include "Graphics/Graphics_Window.h"

#include "Base/Console.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/ReadPNG.h"
#include "Host/Host_Window.h"
#include "IO/IO_Main.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"

namespace {
void Nothing() {}
WindowProcHooks s_hooks = {Nothing, Nothing};
}  // namespace

void GR_Window_SetHooks(const WindowProcHooks& hooks)
{
    s_hooks.requestGameEnd = hooks.requestGameEnd ? hooks.requestGameEnd : Nothing;
    s_hooks.devicesChanged = hooks.devicesChanged ? hooks.devicesChanged : Nothing;
}
int32_t DeviceResetCountdown = 0;

WindowOptions Option_WindowSettings;
HostWindow* GR_Window_Handle = nullptr;
int GR_Window_ClientWidth = 0, GR_Window_ClientHeight = 0;
int GR_Window_OuterWidth = 0, GR_Window_OuterHeight = 0;
bool GR_Window_FullScreen = false;
int GR_Window_CursorValue = 0;
int GR_Window_CaptureCount = 0;
uint32_t GR_Window_RightShiftScanCode = 0;
bool GR_Window_IgnoreNextSize = true;
int GR_Window_MouseX = 0, GR_Window_MouseY = 0;

namespace {

// One flag per process: each running game has its own window.
bool g_Focus = false;
uint32_t g_Style = 0;

int ModifierBits()
{
    return (HostWindow_GetKeyState(VK_SHIFT) ? 1 : 0) | (HostWindow_GetKeyState(VK_MENU) ? 2 : 0) |
           (HostWindow_GetKeyState(VK_CONTROL) ? 4 : 0);
}

int16_t LowWord(int64_t value) { return static_cast<int16_t>(value & 0xFFFF); }
int16_t HighWord(int64_t value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }

void KeyDown(int vk, int64_t lParam)
{
    const int mods = ModifierBits();
    const bool repeat = (lParam & KEY_PREVIOUS_STATE_BIT) != 0;
    const bool extended = (lParam & KEY_EXTENDED_BIT) != 0;
    IO_KeyDown(vk, vk | mods, repeat);
    if (vk == VK_MENU) IO_KeyDown(extended ? VK_RMENU : VK_LMENU, vk | mods, repeat);
    else if (vk == VK_CONTROL) IO_KeyDown(extended ? VK_RCONTROL : VK_LCONTROL, vk | mods, repeat);
    else if (vk == VK_SHIFT) {
        if (HostWindow_GetKeyState(VK_RSHIFT)) {
            GR_Window_RightShiftScanCode = static_cast<uint32_t>((lParam >> 16) & 0xFF);
            IO_KeyDown(VK_RSHIFT, vk | mods, repeat);
        } else {
            IO_KeyDown(VK_LSHIFT, vk | mods, repeat);
        }
    }
}

void KeyUp(int vk, int64_t lParam)
{
    const int mods = ModifierBits();
    const bool extended = (lParam & KEY_EXTENDED_BIT) != 0;
    IO_KeyUp(vk, vk | mods);
    if (vk == VK_MENU) IO_KeyUp(extended ? VK_RMENU : VK_LMENU, vk | mods);
    else if (vk == VK_CONTROL) IO_KeyUp(extended ? VK_RCONTROL : VK_LCONTROL, vk | mods);
    else if (vk == VK_SHIFT)
        IO_KeyUp(static_cast<uint32_t>((lParam >> 16) & 0xFF) == GR_Window_RightShiftScanCode ? VK_RSHIFT : VK_LSHIFT,
                 vk | mods);
}

void ButtonDown(int button, int64_t lParam)
{
    if (++GR_Window_CaptureCount == 1) HostWindow_CaptureMouse(true);
    IO_MouseDown(button, LowWord(lParam), HighWord(lParam));
}

void ButtonUp(int button, int64_t lParam)
{
    if (GR_Window_CaptureCount-- <= 1) {
        GR_Window_CaptureCount = 0;
        HostWindow_CaptureMouse(false);
    }
    IO_MouseUp(button, LowWord(lParam), HighWord(lParam));
}

int64_t Wheel(uint64_t wParam, int64_t lParam)
{
    int mask = 0;
    if (wParam & MK_SHIFT) mask |= 1;
    if (HostWindow_GetKeyState(VK_MENU)) mask |= 2;
    if (wParam & MK_CONTROL) mask |= 4;
    if (wParam & MK_LBUTTON) mask |= 8;
    if (wParam & MK_RBUTTON) mask |= 16;
    if (wParam & MK_MBUTTON) mask |= 32;
    const int16_t delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
    int handled = 0;
    if (delta > 0) IO_WheelUp(mask, LowWord(lParam), HighWord(lParam), &handled);
    else if (delta < 0) IO_WheelDown(mask, LowWord(lParam), HighWord(lParam), &handled);
    return handled ? 0 : 1;
}

void Size(uint64_t wParam, int64_t lParam)
{
    if (GR_Window_FullScreen || GR_D3D_Resizing || (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED)) return;
    if (GR_Window_IgnoreNextSize) {
        GR_Window_IgnoreNextSize = false;
        return;
    }
    GR_Window_Changed = true;
    GR_D3D_SkipWindowMove = true;  // the user placed the window: a mode change leaves it there
    const int width = LowWord(lParam), height = HighWord(lParam);
    GR_PendingWindowWidth = (width == 0 || height == 0) ? -1 : width;
    GR_PendingWindowHeight = (width == 0 || height == 0) ? -1 : height;
    DeviceResetCountdown = 10;
}

// Cursor value -> cursor table index; -1 for values that change nothing else.
int CursorIndex(int value)
{
    static const int kTable[23] = {0, 1, 0, 2, 3, 1, 4, 5, 6, 7, 8, 9, 10, 11, 11, 11, 11, 11, 11, 12, 13, 10, 14};
    return (value <= 0 && value >= -22) ? kTable[-value] : -1;
}

// The icon's pixels: the game's own image (decoded into ReadPNG's kept
// context until ReadPNG_Free), else the emblem. One image serves the window
// manager for every size it shows, so the big and the small icon are loaded,
// and fail, together.
const uint8_t* LoadIcon(const WindowOptions& options, int* width, int* height)
{
    if (options.icon) {
        const int size = options.iconSize > INT32_MAX ? -1 : static_cast<int>(options.iconSize);
        if (const uint8_t* pixels = size < 0 ? nullptr : ReadPNG_GetPixels(options.icon, size, width, height, false))
            return pixels;
        OutputConsole->Output("Unable to load icon\n");
        OutputConsole->Output("Unable to load small icon\n");
    }
    return BuiltinImages_Emblem(width, height);
}

}  // namespace

void GR_Window_FitToScreen(int* width, int* height, int screenWidth, int screenHeight, int frameHeight,
                           bool keepAspect)
{
    if (*width > screenWidth) {
        if (keepAspect) *height = static_cast<int>(static_cast<double>(*height) * screenWidth / *width);
        *width = screenWidth;
    }
    const int room = screenHeight - frameHeight;
    if (*height > room) {
        if (keepAspect) *width = static_cast<int>(static_cast<double>(room) / *height * *width);
        *height = room;
    }
}

void GR_Window_SetWindowedSize(int width, int height)
{
    GR_WindowedWidth = width;
    GR_WindowedHeight = height;
}

void GR_Window_Create(int width, int height)
{
    DirectInput_CreatePads();
    const WindowOptions& options = Option_WindowSettings;
    const bool borderless = (options.flags & 0x4000) != 0;
    int screenWidth = 0, screenHeight = 0;
    HostWindow_GetDesktopSize(&screenWidth, &screenHeight);
    GR_Window_FitToScreen(&width, &height, screenWidth, screenHeight,
                          borderless ? 0 : HOST_CAPTION_HEIGHT + 2 * HOST_FRAME_SIZE, (options.flags & 0x10) != 0);
    GR_Window_ClientWidth = GR_Window_OuterWidth = width;
    GR_Window_ClientHeight = GR_Window_OuterHeight = height;
    g_Style = borderless ? uint32_t{HOST_WINDOW_BORDERLESS} : (options.flags & 0x40) ? uint32_t{HOST_WINDOW_RESIZABLE} : 0u;
    uint32_t style = g_Style;
    GR_Window_FullScreen = (options.flags & 0x1) != 0;
    if (GR_Window_FullScreen) {
        GR_Window_SetWindowedSize(options.width, options.height);
        style = HOST_WINDOW_BORDERLESS;
    }
    GR_Display_AreaWidth = width;
    GR_Display_AreaHeight = height;
    int iconWidth = 0, iconHeight = 0;
    const uint8_t* icon = LoadIcon(options, &iconWidth, &iconHeight);
    VerboseConsole->Output("CreateWindowEx\n");
    GR_Window_Handle = HostWindow_Create("", (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, style);
    if (GR_Window_Handle) HostWindow_SetIcon(GR_Window_Handle, icon, iconWidth, iconHeight);
    ReadPNG_Free();
    if (!GR_Window_Handle) {
        OutputConsole->Output("Failed to create mainwindow\n");
        return;
    }
    int top, left, bottom, right;
    HostWindow_GetBordersSize(GR_Window_Handle, &top, &left, &bottom, &right);
    GR_Window_OuterWidth = width + left + right;
    GR_Window_OuterHeight = height + top + bottom;
    GR_Window_IgnoreNextSize = true;
    GR_Window_SetCaption(options.caption);
    const bool shown = (options.flags & 0x20) && options.showCursor == 1;
    GR_Window_CursorValue = shown ? 0 : -1;
    HostWindow_SetCursor(shown ? 0 : 1, shown);
    DirectInput_Init();
}

int64_t GR_Window_WndProc(HostWindow*, uint32_t message, uint64_t wParam, int64_t lParam)
{
    switch (message) {
    case WM_SIZE: Size(wParam, lParam); return 0;
    case WM_ACTIVATE:
        if ((wParam & 0xFFFF) == WA_INACTIVE && lParam == 0) Kivo_RegisterPauseEvent();
        if (GR_Window_FullScreen) {
            if ((wParam & 0xFFFF) == WA_INACTIVE) HostWindow_Minimize(GR_Window_Handle);
            else HostWindow_Restore(GR_Window_Handle);
        }
        return 0;
    case WM_SETFOCUS: g_Focus = true; return 0;
    case WM_KILLFOCUS: g_Focus = false; return 0;
    case WM_CLOSE: HostWindow_PostQuitMessage(); return 0;
    case WM_ACTIVATEAPP:
        IO_Clear();
        g_Focus = wParam != 0;
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
            // A game started from another one ends and returns to it; any
            // other game is closed, as the desktop does with Alt+F4.
            if (!ExitGamePath) {
                HostWindow_PostQuitMessage();
                return 0;
            }
            s_hooks.requestGameEnd();
        }
        KeyDown(static_cast<int>(wParam), lParam);
        return 0;
    case WM_KEYDOWN: KeyDown(static_cast<int>(wParam), lParam); return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: KeyUp(static_cast<int>(wParam), lParam); return 0;
    case WM_CHAR: IO_CharInput(static_cast<uint16_t>(wParam & 0xFFFF)); return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_KEYMENU && lParam == VK_RETURN && Option_WindowSettings.altEnter)
            Win32Window_SetFullscreen(!GR_Window_FullScreen);
        return 0;
    case WM_MOUSEMOVE:
        GR_Window_MouseX = LowWord(lParam);
        GR_Window_MouseY = HighWord(lParam);
        IO_WindowLatch.mouseX = GR_Window_MouseX;
        IO_WindowLatch.mouseY = GR_Window_MouseY;
        return 0;
    case WM_LBUTTONDOWN: ButtonDown(1, lParam); return 0;
    case WM_RBUTTONDOWN: ButtonDown(2, lParam); return 0;
    case WM_MBUTTONDOWN: ButtonDown(3, lParam); return 0;
    case WM_LBUTTONUP: ButtonUp(1, lParam); return 0;
    case WM_RBUTTONUP: ButtonUp(2, lParam); return 0;
    case WM_MBUTTONUP: ButtonUp(3, lParam); return 0;
    case WM_MOUSEWHEEL: return Wheel(wParam, lParam);
    case WM_DEVICECHANGE:
        s_hooks.devicesChanged();
        XInput_PollConnections();
        if (!NoDirectInput) DirectInput_Rescan();
        return 0;
    default: return 0;
    }
}

bool GR_Window_Destroy(HostWindow* window)
{
    if (!window) return false;
    HostWindow_Destroy(window);
    HostWindow_FreeCursors();
    if (window == GR_Window_Handle) GR_Window_Handle = nullptr;
    return true;
}

bool GR_Window_BringToFront()
{
    if (!GR_Window_Handle) return false;
    HostWindow_Show(GR_Window_Handle);
    HostWindow_Raise(GR_Window_Handle);
    return true;
}

bool GR_Window_HasFocus() { return g_Focus; }

void GR_Window_SetFocus()
{
    if (GR_Window_Handle) HostWindow_Raise(GR_Window_Handle);
}

bool Win32Window_Center()
{
    if (!GR_Window_Handle) return false;
    int top, left, bottom, right;
    HostWindow_GetBordersSize(GR_Window_Handle, &top, &left, &bottom, &right);
    // The window is placed by its client area; the frame sits around it.
    HostWindow_SetPosition(GR_Window_Handle, (GR_D3D_DisplayWidth - GR_Window_OuterWidth) / 2 + left,
                           (GR_D3D_DisplayHeight - GR_Window_OuterHeight) / 2 + top);
    return true;
}

int Win32Window_GetClientWidth()
{
    int width = 0, height = 0;
    if (!HostWindow_GetClientSize(GR_Window_Handle, &width, &height)) {
        LogConsole->Output("GetClientRect failed (%d)\n", 0);
        return 0;
    }
    return width;
}

int Win32Window_GetClientHeight()
{
    int width = 0, height = 0;
    HostWindow_GetClientSize(GR_Window_Handle, &width, &height);
    return height;
}

int Win32Window_GetClientX()
{
    int x, y;
    HostWindow_GetPosition(GR_Window_Handle, &x, &y);
    return x;
}

int Win32Window_GetClientY()
{
    int x, y;
    HostWindow_GetPosition(GR_Window_Handle, &x, &y);
    return y;
}

bool Win32Window_SetPosition(int x, int y)
{
    if (!GR_Window_Handle) return false;
    HostWindow_SetPosition(GR_Window_Handle, x, y);  // the client area's corner, frame around it
    return true;
}

void Win32Window_SetSize(int width, int height)
{
    if (width <= 0 || height <= 0) return;
    GR_PendingWindowWidth = width;
    GR_PendingWindowHeight = height;
    int clientWidth = 0, clientHeight = 0;
    HostWindow_GetClientSize(GR_Window_Handle, &clientWidth, &clientHeight);
    if ((width != clientWidth || height != clientHeight) && !GR_Window_FullScreen &&
        !(DeviceResetCountdown == 1 || DeviceResetCountdown > 10))
        DeviceResetCountdown = 10;
}

void Win32Window_SetFullscreen(bool on)
{
    if (on == GR_Window_FullScreen) return;
    if (on) GR_Window_SetWindowedSize(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    GR_Window_FullScreen = on;
    DeviceResetCountdown = 1;
}

uint8_t Win32Window_GetFullscreen() { return GR_Window_FullScreen ? 1 : 0; }

void Win32Window_SetCursor(int value)
{
    GR_Window_CursorValue = value;
    const int index = CursorIndex(value);
    if (index < 0 || Option_WindowSettings.showCursor != 1) return;
    HostWindow_SetCursor(index, true);
}

int Win32Window_GetCursor() { return GR_Window_CursorValue; }

void Win32Window_MouseSet(int x, int y)
{
    if (g_Focus) HostWindow_WarpMouse(GR_Window_Handle, x, y);
}

void Win32Window_ApplyCaption() { HostWindow_SetTitle(GR_Window_Handle, GR_Window_GetCaption()); }

int Win32Window_GetVisibleRects() { return 0; }

WindowSizeLimits GR_Window_Limits;

void GR_Window_Reset()
{
    GR_Window_Destroy(GR_Window_Handle);
    DeviceResetCountdown = 0;
    Option_WindowSettings = WindowOptions{};
    GR_Window_ClientWidth = GR_Window_ClientHeight = 0;
    GR_Window_OuterWidth = GR_Window_OuterHeight = 0;
    GR_Window_FullScreen = false;
    GR_Window_CursorValue = 0;
    GR_Window_CaptureCount = 0;
    GR_Window_RightShiftScanCode = 0;
    GR_Window_IgnoreNextSize = true;
    GR_Window_MouseX = GR_Window_MouseY = 0;
    GR_Window_Limits = WindowSizeLimits{};
    g_Focus = false;
    g_Style = 0;
}

namespace {
void ApplyLimits()
{
    const WindowSizeLimits& l = GR_Window_Limits;
    HostWindow_SetSizeLimits(GR_Window_Handle, l.minWidth, l.minHeight, l.maxWidth, l.maxHeight);
}
}  // namespace

void GR_Window_SetMinWidth(int32_t width)
{
    GR_Window_Limits.minWidth = width;
    ApplyLimits();
}

void GR_Window_SetMinHeight(int32_t height)
{
    GR_Window_Limits.minHeight = height;
    ApplyLimits();
}

void GR_Window_SetMaxWidth(int32_t width)
{
    GR_Window_Limits.maxWidth = width;
    ApplyLimits();
}

void GR_Window_SetMaxHeight(int32_t height)
{
    GR_Window_Limits.maxHeight = height;
    ApplyLimits();
}

void GR_Window_SetRectangle(int32_t x, int32_t y, int32_t width, int32_t height)
{
    Win32Window_SetPosition(x, y);
    Win32Window_SetSize(width, height);
    GR_Window_Changed = true;
}
