#pragma once
// The game window on SDL2 and its message pump. SDL events are translated
// into the window messages the window procedure is written against (numbered
// as the desktop message API numbers them): keys carry virtual-key codes,
// characters come as UTF-16 units, positions as signed 16-bit pairs.
#include <cstdint>

// A window of the host, handed out by HostWindow_Create; its contents are
// known to the host layer alone.
struct HostWindow;

// Messages.
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_DEVICECHANGE = 0x0219;

// Message parameters.
constexpr uint64_t SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
constexpr uint64_t WA_INACTIVE = 0, WA_ACTIVE = 1;
constexpr uint64_t SC_KEYMENU = 0xF100;
constexpr uint64_t MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;
constexpr int64_t KEY_EXTENDED_BIT = 1ll << 24;
constexpr int64_t KEY_PREVIOUS_STATE_BIT = 1ll << 30;

// Virtual-key codes used by name.
constexpr int VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
              VK_ESCAPE = 27, VK_F4 = 115, VK_LSHIFT = 160, VK_RSHIFT = 161, VK_LCONTROL = 162,
              VK_RCONTROL = 163, VK_LMENU = 164, VK_RMENU = 165;

using HostWindow_Proc = int64_t (*)(HostWindow* window, uint32_t message, uint64_t wParam, int64_t lParam);

// Frame metrics of a decorated window (caption and sizing border), for sizing
// before the window exists.
constexpr int HOST_CAPTION_HEIGHT = 23;
constexpr int HOST_FRAME_SIZE = 4;

enum HostWindowStyle : uint32_t {
    HOST_WINDOW_BORDERLESS = 1,
    HOST_WINDOW_RESIZABLE = 2,
    HOST_WINDOW_FULLSCREEN = 4,
};

bool HostWindow_InitVideo();
// Creates a hidden window with the client size given, centred when x or y is
// -1; with a GL context available when the video driver has one.
HostWindow* HostWindow_Create(const char* title, int x, int y, int width, int height, uint32_t style);
void HostWindow_Destroy(HostWindow* window);
void HostWindow_GetDesktopSize(int* width, int* height);

// Translates every waiting SDL event and hands the messages to the window
// procedure in order. Returns true when a quit was posted (then the rest of
// the messages stay queued for the next call).
bool HostWindow_DispatchMessages(HostWindow_Proc proc);
void HostWindow_PostQuitMessage();
// Forgets queued messages, the quit request and the key states.
void HostWindow_ResetMessages();

// The virtual-key code of an SDL scan code (0 when it has none), and whether
// the key is an extended one (the right-hand Ctrl and Alt, navigation keys).
int HostWindow_ScancodeToVirtualKey(int scancode);
bool HostWindow_IsExtendedKey(int scancode);
// Whether a key is down, as of the message being handled; knows the side
// codes 160-165 and the generic 16-18.
bool HostWindow_GetKeyState(int virtualKey);
// Whether a key is down now, whatever has been handled: the latest events
// translated, or the keyboard as SDL last saw it.
bool HostWindow_IsKeyDownNow(int virtualKey);
// Sends a key down or up as if typed: it comes back through the pump.
void HostWindow_SendKey(int virtualKey, bool down);
// The Num Lock toggle, and flipping it.
bool HostWindow_NumLockOn();
void HostWindow_ToggleNumLock();

void HostWindow_Show(HostWindow* window);
void HostWindow_Raise(HostWindow* window);
void HostWindow_Minimize(HostWindow* window);
void HostWindow_Restore(HostWindow* window);
void HostWindow_SetTitle(HostWindow* window, const char* utf8);
// The window's icon from rows of 8-bit RGBA pixels, top-down; the window
// manager scales it to the sizes it shows.
void HostWindow_SetIcon(HostWindow* window, const uint8_t* rgba, int width, int height);
// The size of the icon last set on the window; false when it has none.
bool HostWindow_GetIconSize(HostWindow* window, int* width, int* height);
void HostWindow_SetFullscreen(HostWindow* window, bool on);
void HostWindow_SetPosition(HostWindow* window, int x, int y);
void HostWindow_GetPosition(HostWindow* window, int* x, int* y);
bool HostWindow_GetClientSize(HostWindow* window, int* width, int* height);
void HostWindow_SetClientSize(HostWindow* window, int width, int height);
// Limits of the client size the user can size the window to; 0 (or less) for none.
void HostWindow_SetSizeLimits(HostWindow* window, int minWidth, int minHeight, int maxWidth, int maxHeight);
void HostWindow_GetBordersSize(HostWindow* window, int* top, int* left, int* bottom, int* right);
void HostWindow_WarpMouse(HostWindow* window, int x, int y);
void HostWindow_GetGlobalMouse(int* x, int* y);
void HostWindow_CaptureMouse(bool on);
// Cursor table index 0..14 (1 = no cursor); shows or hides the system cursor.
void HostWindow_SetCursor(int index, bool shown);
void HostWindow_FreeCursors();
