#include "Host/Host_Window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <deque>

#include "Host/Host_WindowSdl.h"

namespace {

struct Message {
    SDL_Window* window;
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
    int scancode;  // the key that goes down or up with this message, -1 none
    bool down;
};

std::deque<Message> g_Queue;
bool g_QuitPosted = false;
// Key states as events are translated, and as the messages are handled: the
// window procedure sees each key's state at its own message.
bool g_ScancodeDown[SDL_NUM_SCANCODES];
bool g_ScancodeDownAtMessage[SDL_NUM_SCANCODES];
SDL_Cursor* g_Cursors[15];

// SDL scan code -> virtual-key code; 0 = no key.
struct KeyEntry { int scancode; int vk; bool extended; };
const KeyEntry kKeys[] = {
    {SDL_SCANCODE_RETURN, 13, false}, {SDL_SCANCODE_ESCAPE, 27, false}, {SDL_SCANCODE_BACKSPACE, 8, false},
    {SDL_SCANCODE_TAB, 9, false}, {SDL_SCANCODE_SPACE, 32, false}, {SDL_SCANCODE_MINUS, 189, false},
    {SDL_SCANCODE_EQUALS, 187, false}, {SDL_SCANCODE_LEFTBRACKET, 219, false},
    {SDL_SCANCODE_RIGHTBRACKET, 221, false}, {SDL_SCANCODE_BACKSLASH, 220, false},
    {SDL_SCANCODE_NONUSHASH, 222, false}, {SDL_SCANCODE_SEMICOLON, 186, false},
    {SDL_SCANCODE_APOSTROPHE, 222, false}, {SDL_SCANCODE_GRAVE, 192, false}, {SDL_SCANCODE_COMMA, 188, false},
    {SDL_SCANCODE_PERIOD, 190, false}, {SDL_SCANCODE_SLASH, 191, false}, {SDL_SCANCODE_CAPSLOCK, 20, false},
    {SDL_SCANCODE_PRINTSCREEN, 44, true}, {SDL_SCANCODE_SCROLLLOCK, 145, false}, {SDL_SCANCODE_PAUSE, 19, false},
    {SDL_SCANCODE_INSERT, 45, true}, {SDL_SCANCODE_HOME, 36, true}, {SDL_SCANCODE_PAGEUP, 33, true},
    {SDL_SCANCODE_DELETE, 46, true}, {SDL_SCANCODE_END, 35, true}, {SDL_SCANCODE_PAGEDOWN, 34, true},
    {SDL_SCANCODE_RIGHT, 39, true}, {SDL_SCANCODE_LEFT, 37, true}, {SDL_SCANCODE_DOWN, 40, true},
    {SDL_SCANCODE_UP, 38, true}, {SDL_SCANCODE_NUMLOCKCLEAR, 144, true}, {SDL_SCANCODE_KP_DIVIDE, 111, true},
    {SDL_SCANCODE_KP_MULTIPLY, 106, false}, {SDL_SCANCODE_KP_MINUS, 109, false},
    {SDL_SCANCODE_KP_PLUS, 107, false}, {SDL_SCANCODE_KP_ENTER, 13, true}, {SDL_SCANCODE_KP_0, 96, false},
    {SDL_SCANCODE_KP_PERIOD, 110, false}, {SDL_SCANCODE_NONUSBACKSLASH, 226, false},
    {SDL_SCANCODE_APPLICATION, 93, true}, {SDL_SCANCODE_LCTRL, 17, false}, {SDL_SCANCODE_LSHIFT, 16, false},
    {SDL_SCANCODE_LALT, 18, false}, {SDL_SCANCODE_LGUI, 91, true}, {SDL_SCANCODE_RCTRL, 17, true},
    {SDL_SCANCODE_RSHIFT, 16, false}, {SDL_SCANCODE_RALT, 18, true}, {SDL_SCANCODE_RGUI, 92, true},
};

bool SideDown(const bool* table, SDL_Scancode left, SDL_Scancode right) { return table[left] || table[right]; }

int Lookup(int scancode, bool* extended)
{
    *extended = false;
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 112 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 124 + (scancode - SDL_SCANCODE_F13);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return 97 + (scancode - SDL_SCANCODE_KP_1);
    for (const KeyEntry& entry : kKeys) {
        if (entry.scancode == scancode) {
            *extended = entry.extended;
            return entry.vk;
        }
    }
    return 0;
}

int64_t PointParam(int x, int y)
{
    return static_cast<int64_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

uint64_t MouseKeyFlags()
{
    const uint32_t buttons = SDL_GetMouseState(nullptr, nullptr);
    uint64_t flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (SideDown(g_ScancodeDown, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT)) flags |= MK_SHIFT;
    if (SideDown(g_ScancodeDown, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL)) flags |= MK_CONTROL;
    return flags;
}

void Post(SDL_Window* window, uint32_t message, uint64_t wParam, int64_t lParam, int scancode = -1,
          bool down = false)
{
    g_Queue.push_back({window, message, wParam, lParam, scancode, down});
}

// Characters as UTF-16 units, one message each.
void PostText(SDL_Window* window, const char* utf8)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= extra == 3 ? 0x07u : extra == 2 ? 0x0Fu : extra == 1 ? 0x1Fu : 0x7Fu;
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) c = (c << 6) | (*p & 0x3Fu);
        if (extra > 0) continue;  // truncated sequence: dropped
        if (c >= 0x10000) {
            c -= 0x10000;
            Post(window, WM_CHAR, 0xD800 + (c >> 10), 1);
            Post(window, WM_CHAR, 0xDC00 + (c & 0x3FF), 1);
        } else {
            Post(window, WM_CHAR, c, 1);
        }
    }
}

void TranslateKey(SDL_Window* window, const SDL_KeyboardEvent& key, bool down)
{
    const int scancode = key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return;
    const bool wasDown = g_ScancodeDown[scancode];
    g_ScancodeDown[scancode] = down;
    bool extended = false;
    const int vk = Lookup(scancode, &extended);
    if (vk == 0) return;
    const bool alt = SideDown(g_ScancodeDown, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT);
    int64_t lParam = 1 | (static_cast<int64_t>(scancode & 0xFF) << 16);
    if (extended) lParam |= KEY_EXTENDED_BIT;
    if (alt) lParam |= 1ll << 29;
    if (!down || wasDown || key.repeat) lParam |= KEY_PREVIOUS_STATE_BIT;
    if (!down) lParam |= 1ll << 31;
    // Alt held (or Alt itself, or F10) makes a system key, as on the desktop.
    const bool system = alt || vk == VK_MENU || vk == 121;
    Post(window, down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP),
         static_cast<uint64_t>(vk), lParam, scancode, down);
    if (!down) return;
    if (vk == VK_RETURN && alt) Post(window, WM_SYSCOMMAND, SC_KEYMENU, VK_RETURN);
    // Keys that type a control character; text input does not report them.
    if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)
        Post(window, WM_CHAR, static_cast<uint64_t>(vk), lParam);
}

void TranslateButton(SDL_Window* window, const SDL_MouseButtonEvent& button, bool down)
{
    uint32_t message;
    switch (button.button) {
    case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
    }
    Post(window, message, MouseKeyFlags(), PointParam(button.x, button.y));
}

void TranslateWindowEvent(SDL_Window* window, const SDL_WindowEvent& event)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        const bool maximised = window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED);
        Post(window, WM_SIZE, maximised ? SIZE_MAXIMIZED : SIZE_RESTORED, PointParam(event.data1, event.data2));
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED: Post(window, WM_SIZE, SIZE_MINIMIZED, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Post(window, WM_SETFOCUS, 0, 0);
        Post(window, WM_ACTIVATE, WA_ACTIVE, 0);
        Post(window, WM_ACTIVATEAPP, 1, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Post(window, WM_KILLFOCUS, 0, 0);
        Post(window, WM_ACTIVATE, WA_INACTIVE, 0);
        Post(window, WM_ACTIVATEAPP, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE: Post(window, WM_CLOSE, 0, 0); break;
    default: break;
    }
}

bool ClosePending()
{
    for (const Message& message : g_Queue)
        if (message.message == WM_CLOSE) return true;
    return false;
}

void Translate(const SDL_Event& event)
{
    SDL_Window* window = nullptr;
    switch (event.type) {
    case SDL_QUIT:
        // The closing window already asked; a quit from elsewhere (a signal) closes too.
        if (!ClosePending()) Post(nullptr, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(SDL_GetWindowFromID(event.window.windowID), event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        window = SDL_GetWindowFromID(event.key.windowID);
        TranslateKey(window, event.key, event.type == SDL_KEYDOWN);
        break;
    case SDL_TEXTINPUT:
        PostText(SDL_GetWindowFromID(event.text.windowID), event.text.text);
        break;
    case SDL_MOUSEMOTION:
        Post(SDL_GetWindowFromID(event.motion.windowID), WM_MOUSEMOVE, MouseKeyFlags(),
             PointParam(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(SDL_GetWindowFromID(event.button.windowID), event.button, event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEWHEEL: {
        int y = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y == 0) break;
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        const uint64_t delta = static_cast<uint16_t>(static_cast<int16_t>(y * 120));
        Post(SDL_GetWindowFromID(event.wheel.windowID), WM_MOUSEWHEEL, (delta << 16) | MouseKeyFlags(),
             PointParam(mx, my));
        break;
    }
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        Post(nullptr, WM_DEVICECHANGE, 7, 0);  // the device list changed
        break;
    default: break;
    }
}

}  // namespace

// The handle is the SDL window itself: SDL keeps all the window's state.
SDL_Window* HostWindow_Sdl(HostWindow* window) { return reinterpret_cast<SDL_Window*>(window); }

HostWindow* HostWindow_FromSdl(SDL_Window* window) { return reinterpret_cast<HostWindow*>(window); }

bool HostWindow_InitVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

HostWindow* HostWindow_Create(const char* title, int x, int y, int width, int height, uint32_t style)
{
    if (!HostWindow_InitVideo()) return nullptr;
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if (style & HOST_WINDOW_BORDERLESS) flags |= SDL_WINDOW_BORDERLESS;
    if (style & HOST_WINDOW_RESIZABLE) flags |= SDL_WINDOW_RESIZABLE;
    if (style & HOST_WINDOW_FULLSCREEN) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    const int px = x < 0 ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : x;
    const int py = y < 0 ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : y;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    // A driver without GL (the dummy one) still gives a window; drawing then
    // happens off-screen.
    SDL_Window* window = SDL_CreateWindow(title ? title : "", px, py, width, height, flags | SDL_WINDOW_OPENGL);
    if (!window) window = SDL_CreateWindow(title ? title : "", px, py, width, height, flags);
    if (window) SDL_StartTextInput();
    return HostWindow_FromSdl(window);
}

void HostWindow_Destroy(HostWindow* window)
{
    if (window) SDL_DestroyWindow(HostWindow_Sdl(window));
}

void HostWindow_GetDesktopSize(int* width, int* height)
{
    SDL_DisplayMode mode;
    if (HostWindow_InitVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
        return;
    }
    *width = 640;
    *height = 480;
}

bool HostWindow_DispatchMessages(HostWindow_Proc proc)
{
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) Translate(event);
    }
    while (!g_QuitPosted && !g_Queue.empty()) {
        const Message message = g_Queue.front();
        g_Queue.pop_front();
        if (message.scancode >= 0) g_ScancodeDownAtMessage[message.scancode] = message.down;
        if (proc) proc(HostWindow_FromSdl(message.window), message.message, message.wParam, message.lParam);
    }
    if (!g_QuitPosted) return false;
    g_QuitPosted = false;
    return true;
}

void HostWindow_PostQuitMessage() { g_QuitPosted = true; }

void HostWindow_ResetMessages()
{
    g_Queue.clear();
    g_QuitPosted = false;
    for (bool& down : g_ScancodeDown) down = false;
    for (bool& down : g_ScancodeDownAtMessage) down = false;
}

int HostWindow_ScancodeToVirtualKey(int scancode)
{
    bool extended = false;
    return Lookup(scancode, &extended);
}

bool HostWindow_IsExtendedKey(int scancode)
{
    bool extended = false;
    Lookup(scancode, &extended);
    return extended;
}

bool HostWindow_GetKeyState(int virtualKey)
{
    const bool* down = g_ScancodeDownAtMessage;
    switch (virtualKey) {
    case VK_SHIFT: return SideDown(down, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT);
    case VK_CONTROL: return SideDown(down, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL);
    case VK_MENU: return SideDown(down, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT);
    case VK_LSHIFT: return down[SDL_SCANCODE_LSHIFT];
    case VK_RSHIFT: return down[SDL_SCANCODE_RSHIFT];
    case VK_LCONTROL: return down[SDL_SCANCODE_LCTRL];
    case VK_RCONTROL: return down[SDL_SCANCODE_RCTRL];
    case VK_LMENU: return down[SDL_SCANCODE_LALT];
    case VK_RMENU: return down[SDL_SCANCODE_RALT];
    default: break;
    }
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
        if (down[scancode] && HostWindow_ScancodeToVirtualKey(scancode) == virtualKey) return true;
    return false;
}

namespace {
// The scan code that types a virtual key: the side codes by name, others
// through the translation table.
int VirtualKeyToScancode(int virtualKey)
{
    switch (virtualKey) {
    case VK_SHIFT: case VK_LSHIFT: return SDL_SCANCODE_LSHIFT;
    case VK_RSHIFT: return SDL_SCANCODE_RSHIFT;
    case VK_CONTROL: case VK_LCONTROL: return SDL_SCANCODE_LCTRL;
    case VK_RCONTROL: return SDL_SCANCODE_RCTRL;
    case VK_MENU: case VK_LMENU: return SDL_SCANCODE_LALT;
    case VK_RMENU: return SDL_SCANCODE_RALT;
    default: break;
    }
    if (virtualKey <= 0) return SDL_SCANCODE_UNKNOWN;
    for (int scancode = 1; scancode < SDL_NUM_SCANCODES; ++scancode)
        if (HostWindow_ScancodeToVirtualKey(scancode) == virtualKey) return scancode;
    return SDL_SCANCODE_UNKNOWN;
}
}  // namespace

bool HostWindow_IsKeyDownNow(int virtualKey)
{
    switch (virtualKey) {
    case VK_SHIFT: return HostWindow_IsKeyDownNow(VK_LSHIFT) || HostWindow_IsKeyDownNow(VK_RSHIFT);
    case VK_CONTROL: return HostWindow_IsKeyDownNow(VK_LCONTROL) || HostWindow_IsKeyDownNow(VK_RCONTROL);
    case VK_MENU: return HostWindow_IsKeyDownNow(VK_LMENU) || HostWindow_IsKeyDownNow(VK_RMENU);
    default: break;
    }
    int count = 0;
    const uint8_t* keyboard = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardState(&count) : nullptr;
    const int side = VirtualKeyToScancode(virtualKey);
    if (virtualKey >= VK_LSHIFT && virtualKey <= VK_RMENU)
        return g_ScancodeDown[side] || (keyboard && side < count && keyboard[side]);
    for (int scancode = 1; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (HostWindow_ScancodeToVirtualKey(scancode) != virtualKey) continue;
        if (g_ScancodeDown[scancode] || (keyboard && scancode < count && keyboard[scancode])) return true;
    }
    return false;
}

void HostWindow_SendKey(int virtualKey, bool down)
{
    const int scancode = VirtualKeyToScancode(virtualKey);
    if (scancode == SDL_SCANCODE_UNKNOWN || !SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
    SDL_Window* focus = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    event.key.windowID = focus ? SDL_GetWindowID(focus) : 0;
    SDL_PushEvent(&event);
}

bool HostWindow_NumLockOn()
{
    return SDL_WasInit(SDL_INIT_VIDEO) && (SDL_GetModState() & KMOD_NUM) != 0;
}

void HostWindow_ToggleNumLock()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_SetModState(static_cast<SDL_Keymod>(SDL_GetModState() ^ KMOD_NUM));
    HostWindow_SendKey(144, true);
    HostWindow_SendKey(144, false);
}

void HostWindow_Show(HostWindow* window)
{
    if (window) SDL_ShowWindow(HostWindow_Sdl(window));
}

void HostWindow_Raise(HostWindow* window)
{
    if (window) SDL_RaiseWindow(HostWindow_Sdl(window));
}

void HostWindow_Minimize(HostWindow* window)
{
    if (window) SDL_MinimizeWindow(HostWindow_Sdl(window));
}

void HostWindow_Restore(HostWindow* window)
{
    if (window) SDL_RestoreWindow(HostWindow_Sdl(window));
}

void HostWindow_SetTitle(HostWindow* window, const char* utf8)
{
    if (window) SDL_SetWindowTitle(HostWindow_Sdl(window), utf8 ? utf8 : "");
}

namespace {
// SDL keeps the icon but does not tell it; its size is kept beside the window.
constexpr const char* kIconSizeKey = "qs.icon";
}  // namespace

void HostWindow_SetIcon(HostWindow* window, const uint8_t* rgba, int width, int height)
{
    if (!window || !rgba || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32, width * 4,
                                                          SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(HostWindow_Sdl(window), icon);
    SDL_FreeSurface(icon);
    const uintptr_t size = static_cast<uintptr_t>(width) << 16 | static_cast<uintptr_t>(height);
    SDL_SetWindowData(HostWindow_Sdl(window), kIconSizeKey, reinterpret_cast<void*>(size));
}

bool HostWindow_GetIconSize(HostWindow* window, int* width, int* height)
{
    if (!window) return false;
    const auto size = reinterpret_cast<uintptr_t>(SDL_GetWindowData(HostWindow_Sdl(window), kIconSizeKey));
    if (size == 0) return false;
    *width = static_cast<int>(size >> 16);
    *height = static_cast<int>(size & 0xFFFF);
    return true;
}

void HostWindow_SetFullscreen(HostWindow* window, bool on)
{
    if (window) SDL_SetWindowFullscreen(HostWindow_Sdl(window), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void HostWindow_SetPosition(HostWindow* window, int x, int y)
{
    if (window) SDL_SetWindowPosition(HostWindow_Sdl(window), x, y);
}

void HostWindow_GetPosition(HostWindow* window, int* x, int* y)
{
    *x = *y = 0;
    if (window) SDL_GetWindowPosition(HostWindow_Sdl(window), x, y);
}

bool HostWindow_GetClientSize(HostWindow* window, int* width, int* height)
{
    *width = *height = 0;
    if (!window) return false;
    SDL_GetWindowSize(HostWindow_Sdl(window), width, height);
    return true;
}

void HostWindow_GetBordersSize(HostWindow* window, int* top, int* left, int* bottom, int* right)
{
    *top = *left = *bottom = *right = 0;
    if (window) SDL_GetWindowBordersSize(HostWindow_Sdl(window), top, left, bottom, right);
}

void HostWindow_WarpMouse(HostWindow* window, int x, int y)
{
    if (window) SDL_WarpMouseInWindow(HostWindow_Sdl(window), x, y);
}

void HostWindow_GetGlobalMouse(int* x, int* y)
{
    *x = *y = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(x, y);
}

void HostWindow_CaptureMouse(bool on)
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

void HostWindow_SetCursor(int index, bool shown)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || index < 0 || index > 14) return;
    // Up-arrow and help have no system cursor here: the arrow stands in.
    static const SDL_SystemCursor kSystem[15] = {
        SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_IBEAM,
        SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZENS, SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZEWE,
        SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_WAIT, SDL_SYSTEM_CURSOR_HAND, SDL_SYSTEM_CURSOR_NO,
        SDL_SYSTEM_CURSOR_WAITARROW, SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_SIZEALL,
    };
    if (index == 1 || !shown) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (!g_Cursors[index]) g_Cursors[index] = SDL_CreateSystemCursor(kSystem[index]);
    if (g_Cursors[index]) SDL_SetCursor(g_Cursors[index]);
    SDL_ShowCursor(SDL_ENABLE);
}

void HostWindow_FreeCursors()
{
    for (SDL_Cursor*& cursor : g_Cursors) {
        if (cursor) SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
}

void HostWindow_SetClientSize(HostWindow* window, int width, int height)
{
    if (window && width > 0 && height > 0) SDL_SetWindowSize(HostWindow_Sdl(window), width, height);
}

void HostWindow_SetSizeLimits(HostWindow* window, int minWidth, int minHeight, int maxWidth, int maxHeight)
{
    if (!window) return;
    SDL_Window* sdl = HostWindow_Sdl(window);
    // SDL knows no "no limit": the smallest and a size beyond any screen stand in.
    constexpr int kNoMaximum = 16384;
    const int lowWidth = minWidth > 0 ? minWidth : 1, lowHeight = minHeight > 0 ? minHeight : 1;
    int highWidth = maxWidth > 0 ? maxWidth : kNoMaximum, highHeight = maxHeight > 0 ? maxHeight : kNoMaximum;
    // A maximum below the minimum is raised to it; the two would exclude each other.
    if (highWidth < lowWidth) highWidth = lowWidth;
    if (highHeight < lowHeight) highHeight = lowHeight;
    // Widen first, so that SDL never sees a minimum above the old maximum.
    SDL_SetWindowMaximumSize(sdl, std::max(kNoMaximum, lowWidth), std::max(kNoMaximum, lowHeight));
    SDL_SetWindowMinimumSize(sdl, lowWidth, lowHeight);
    SDL_SetWindowMaximumSize(sdl, highWidth, highHeight);
}
