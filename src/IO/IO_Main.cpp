#include "IO/IO_Main.h"

#include <cstring>

#include "Base/Timing.h"
#include "Host/Host_Window.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"

IO_InputState IO_Input;
IO_WindowLatchRecord IO_WindowLatch;
IO_PointerEvent IO_LatchPointerEvents[IO_POINTER_EVENTS];
bool IO_FirstLatch = true;

namespace {

bool ValidKey(int key) { return key >= 0 && key <= 255; }
bool ValidDevice(int device) { return device >= 0 && device < IO_DEVICE_COUNT; }
bool ValidButton(int button) { return button >= 1 && button <= 3; }

void ClearKeysAndDevice0(uint8_t* held, uint8_t* pressed, uint8_t* released)
{
    std::memset(held, 0, 256);
    std::memset(pressed, 0, 256);
    std::memset(released, 0, 256);
}

void LatchWindowInput()
{
    IO_InputState& s = IO_Input;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    if (IO_FirstLatch) {
        l.lastChar = s.lastChar;
        std::memcpy(l.keyboardString, s.keyboardString, sizeof l.keyboardString);
        l.lastKey = s.lastKey;
        l.currentKey = s.currentKey;
        std::memcpy(l.keyHeld, s.keyHeld, 256);
        std::memcpy(l.keyReleased, s.keyReleased, 256);
        std::memcpy(l.keyPressed, s.keyPressed, 256);
        l.lastButton = s.lastButton[0];
        l.currentButton = s.currentButton[0];
        std::memcpy(l.buttonHeld, s.buttonHeld, 3);
        std::memcpy(l.buttonReleased, s.buttonReleased, 3);
        std::memcpy(l.buttonPressed, s.buttonPressed, 3);
        l.wheelUp = s.wheelUp[0];
        l.wheelDown = s.wheelDown[0];
        IO_FirstLatch = false;
    }
    HostWindow_GetGlobalMouse(&s.screenCursorX, &s.screenCursorY);
    std::memcpy(s.keyboardString, l.keyboardString, sizeof s.keyboardString);
    s.lastChar = l.lastChar;
    std::memcpy(s.keyHeld, l.keyHeld, 256);
    s.lastKey = l.lastKey;
    s.currentKey = l.currentKey;
    s.mouseX = s.deviceX[0] = IO_LatchPointerEvents[0].x = l.mouseX;
    s.mouseY = s.deviceY[0] = IO_LatchPointerEvents[0].y = l.mouseY;
    IO_LatchPointerEvents[0].reserved[1] = 0;
    for (int k = 0; k < 256; ++k) {
        if (l.keyPressed[k]) s.keyPressed[k] = 1;
        if (l.keyReleased[k]) s.keyReleased[k] = 1;
    }
    s.lastButton[0] = l.lastButton;
    s.currentButton[0] = l.currentButton;
    std::memcpy(s.buttonHeld, l.buttonHeld, 3);
    s.wheelUp[0] = l.wheelUp;
    s.wheelDown[0] = l.wheelDown;
    for (int b = 0; b < 3; ++b) {
        if (l.buttonPressed[b]) s.buttonPressed[b] = 1;
        if (l.buttonReleased[b]) s.buttonReleased[b] = 1;
    }
    std::memset(l.keyPressed, 0, 256);
    std::memset(l.keyReleased, 0, 256);
    std::memset(l.buttonPressed, 0, 3);
    std::memset(l.buttonReleased, 0, 3);
    l.wheelUp = l.wheelDown = 0;
}

// One code point from UTF-8 (up to four bytes); advances past it.
uint32_t DecodeUtf8(const unsigned char*& p)
{
    uint32_t c = *p++;
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= extra == 3 ? 0x07u : extra == 2 ? 0x0Fu : extra == 1 ? 0x1Fu : 0x7Fu;
    for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i) c = (c << 6) | (*p++ & 0x3Fu);
    return c;
}

char* EncodeUtf8(char* out, uint32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

void IO_Init()
{
    std::memset(IO_Input.pointerEvents, 0, sizeof IO_Input.pointerEvents);
    IO_Clear();
    IO_ResetKeyMap();
    IO_Input.record = RecordInput;
    IO_Input.playback = PlaybackInput;
    if ((RecordInput || PlaybackInput) && InputRecordFile) IO_OpenRecordFile();
    IO_CreateVirtualButtons();
}

void IO_Update()
{
    IO_InputState& s = IO_Input;
    std::memset(s.keyPressed, 0, 256);
    std::memset(s.keyReleased, 0, 256);
    std::memset(s.buttonPressed, 0, sizeof s.buttonPressed);
    std::memset(s.buttonReleased, 0, sizeof s.buttonReleased);
    std::memset(s.wheelUp, 0, sizeof s.wheelUp);
    std::memset(s.wheelDown, 0, sizeof s.wheelDown);
    if (s.playback) {
        IO_PlaybackFrame();
    } else {
        LatchWindowInput();
        Gamepads_Update();
        IO_UpdateVirtualButtons();
    }
    if (s.record) IO_RecordFrame();
}

void IO_End()
{
    Gamepads_Free();
    IO_CloseRecordFile();
    IO_Input.record = IO_Input.playback = 0;
    IO_FreeVirtualButtons();
}

int64_t IO_Sleep(int64_t microseconds) { return Timing_SleepMicroseconds(microseconds); }

void IO_SnapshotPointerEvents()
{
    std::memcpy(IO_Input.pointerEvents, IO_LatchPointerEvents, sizeof IO_Input.pointerEvents);
}

void IO_KeyDown(int vk, int, bool repeat)
{
    const int k = IO_GetKeyMap(vk);
    if (!ValidKey(k)) return;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    l.previousCurrentKey = l.currentKey;
    l.lastKey = k;
    l.currentKey = k;
    if (!l.keyHeld[k] && !repeat) l.keyPressed[k] = 1;
    l.keyHeld[k] = 1;
}

void IO_KeyUp(int vk, int)
{
    const int k = IO_GetKeyMap(vk);
    if (!ValidKey(k)) return;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    if (k == l.currentKey) {
        const int previous = l.previousCurrentKey;
        l.currentKey = (previous != k && ValidKey(previous) && l.keyHeld[previous]) ? previous : 0;
    }
    l.keyHeld[k] = 0;
    l.keyReleased[k] = 1;
}

namespace {
bool IsSurrogatePair(uint16_t high, uint16_t low)
{
    return high >= 0xD800 && high < 0xDC00 && low >= 0xDC00 && low < 0xE000;
}
}  // namespace

void IO_CharInput(uint16_t unit)
{
    IO_WindowLatchRecord& l = IO_WindowLatch;
    int32_t& length = IO_Input.keyboardStringLength;
    uint16_t* text = l.keyboardString;
    l.lastChar = unit;
    // The length counts UTF-16 units; a character beyond 16 bits takes two
    // (a surrogate pair), which are deleted and dropped together.
    if (unit == 8) {
        if (length > 0) length -= (length >= 2 && IsSurrogatePair(text[length - 2], text[length - 1])) ? 2 : 1;
    } else if (unit >= 32) {
        // A full string makes room by dropping its oldest character: typed text is never lost.
        if (length >= IO_KEYBOARD_STRING_UNITS) {
            const int drop = IsSurrogatePair(text[0], text[1]) ? 2 : 1;
            std::memmove(text, text + drop, (IO_KEYBOARD_STRING_UNITS - drop) * sizeof(uint16_t));
            length = IO_KEYBOARD_STRING_UNITS - drop;
        }
        text[length++] = unit;
    }
    l.keyboardString[length] = 0;
}

void IO_MouseDown(int button, int x, int y)
{
    if (!ValidButton(button)) return;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    l.lastButton = l.currentButton = button;
    if (!l.buttonHeld[button - 1]) l.buttonPressed[button - 1] = 1;
    l.buttonHeld[button - 1] = 1;
    if (button == 1) IO_LatchPointerEvents[0] = {0x80000003u, x, y, {0, 0}};
}

void IO_MouseUp(int button, int x, int y)
{
    if (!ValidButton(button)) return;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    l.currentButton = 0;
    l.buttonHeld[button - 1] = 0;
    l.buttonPressed[button - 1] = 0;
    l.buttonReleased[button - 1] = 1;
    if (button == 1) IO_LatchPointerEvents[0] = {0, x, y, {0, 0}};
}

void IO_WheelUp(int, int, int, int* handled)
{
    IO_WindowLatch.wheelUp = 1;
    if (handled) *handled = 1;
}

void IO_WheelDown(int, int, int, int* handled)
{
    IO_WindowLatch.wheelDown = 1;
    if (handled) *handled = 1;
}

int IO_CheckKey(int key) { return ValidKey(key) ? IO_Input.keyHeld[key] : 0; }
int IO_CheckKeyPressed(int key) { return ValidKey(key) ? IO_Input.keyPressed[key] : 0; }
int IO_CheckKeyReleased(int key) { return ValidKey(key) ? IO_Input.keyReleased[key] : 0; }

int IO_KeyboardCheck(int key)
{
    if (key == 0 || key == 1) {
        bool any = false;
        for (int k = 0; k < 256 && !any; ++k) any = IO_Input.keyHeld[k] != 0;
        return key == 0 ? !any : any;
    }
    return IO_CheckKey(key);
}

int IO_GetCurrentKey() { return IO_Input.currentKey; }

void IO_SetCurrentKey(int key)
{
    if (ValidKey(key)) IO_Input.currentKey = key;
}

int IO_GetLastKey() { return IO_Input.lastKey; }

void IO_SetLastKey(int key)
{
    IO_Input.lastKey = IO_WindowLatch.lastKey = key;
    IO_WindowLatch.currentKey = 0;
}

int IO_GetLastChar() { return IO_Input.lastChar; }

void IO_SetLastChar(uint8_t byte)
{
    // The byte is a character code 0..255, never a negative one.
    IO_Input.lastChar = IO_WindowLatch.lastChar = byte;
}

const char* IO_GetKeyboardString()
{
    char* out = IO_Input.utf8;
    const uint16_t* units = IO_Input.keyboardString;
    for (int i = 0; i < IO_KEYBOARD_STRING_UNITS && units[i]; ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < IO_KEYBOARD_STRING_UNITS && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out = EncodeUtf8(out, c);
    }
    *out = 0;
    return IO_Input.utf8;
}

void IO_SetKeyboardString(const char* utf8)
{
    int length = 0;
    if (utf8) {
        const auto* p = reinterpret_cast<const unsigned char*>(utf8);
        while (*p && length < IO_KEYBOARD_STRING_UNITS) {
            uint32_t c = DecodeUtf8(p);
            if (c >= 0x10000) {
                if (length + 2 > IO_KEYBOARD_STRING_UNITS) break;
                c -= 0x10000;
                IO_Input.keyboardString[length++] = static_cast<uint16_t>(0xD800 + (c >> 10));
                IO_Input.keyboardString[length++] = static_cast<uint16_t>(0xDC00 + (c & 0x3FF));
            } else {
                IO_Input.keyboardString[length++] = static_cast<uint16_t>(c);
            }
        }
    }
    IO_Input.keyboardStringLength = length;
    IO_Input.keyboardString[length] = 0;
    std::memcpy(IO_WindowLatch.keyboardString, IO_Input.keyboardString, sizeof IO_WindowLatch.keyboardString);
}

int IO_GetKeyMap(int key) { return ValidKey(key) ? IO_Input.keyMap[key] : key; }

void IO_SetKeyMap(int key, int target)
{
    if (ValidKey(key)) IO_Input.keyMap[key] = target;
}

void IO_ResetKeyMap()
{
    for (int k = 0; k < 256; ++k) IO_Input.keyMap[k] = k;
}

void IO_ClearKey(int key)
{
    if (!ValidKey(key)) return;
    IO_Input.keyHeld[key] = IO_Input.keyPressed[key] = IO_Input.keyReleased[key] = 0;
    IO_WindowLatch.keyHeld[key] = IO_WindowLatch.keyPressed[key] = IO_WindowLatch.keyReleased[key] = 0;
}

int IO_CheckButton(int button, int device)
{
    return (ValidButton(button) && ValidDevice(device)) ? IO_Input.buttonHeld[device * 3 + button - 1] : 0;
}

int IO_CheckButtonPressed(int button, int device)
{
    return (ValidButton(button) && ValidDevice(device)) ? IO_Input.buttonPressed[device * 3 + button - 1] : 0;
}

int IO_CheckButtonReleased(int button, int device)
{
    return (ValidButton(button) && ValidDevice(device)) ? IO_Input.buttonReleased[device * 3 + button - 1] : 0;
}

int IO_GetMouseButton(int device) { return ValidDevice(device) ? IO_Input.currentButton[device] : 0; }

void IO_SetMouseButton(int button, int device)
{
    if (ValidButton(button) && ValidDevice(device)) IO_Input.currentButton[device] = button;
}

int IO_GetMouseLastButton(int device) { return ValidDevice(device) ? IO_Input.lastButton[device] : 0; }

void IO_SetMouseLastButton(int button, int device)
{
    if (ValidButton(button) && ValidDevice(device)) IO_Input.lastButton[device] = button;
}

void IO_ClearMouseButton(int button, int device)
{
    if (!ValidButton(button) || !ValidDevice(device)) return;
    const int i = device * 3 + button - 1;
    IO_Input.buttonHeld[i] = IO_Input.buttonPressed[i] = IO_Input.buttonReleased[i] = 0;
    if (device == 0)
        IO_WindowLatch.buttonHeld[i] = IO_WindowLatch.buttonPressed[i] = IO_WindowLatch.buttonReleased[i] = 0;
}

int IO_CheckWheelUp(int device) { return ValidDevice(device) ? IO_Input.wheelUp[device] : 0; }
int IO_CheckWheelDown(int device) { return ValidDevice(device) ? IO_Input.wheelDown[device] : 0; }

void IO_Clear()
{
    IO_InputState& s = IO_Input;
    IO_WindowLatchRecord& l = IO_WindowLatch;
    s.keyboardStringLength = 0;
    s.keyboardString[0] = l.keyboardString[0] = 0;
    s.lastKey = s.currentKey = l.lastKey = l.currentKey = 0;
    s.lastChar = l.lastChar = 0;
    ClearKeysAndDevice0(s.keyHeld, s.keyPressed, s.keyReleased);
    ClearKeysAndDevice0(l.keyHeld, l.keyPressed, l.keyReleased);
    s.lastButton[0] = s.currentButton[0] = l.lastButton = l.currentButton = 0;
    for (int b = 0; b < 3; ++b) {
        s.buttonHeld[b] = s.buttonPressed[b] = s.buttonReleased[b] = 0;
        l.buttonHeld[b] = l.buttonPressed[b] = l.buttonReleased[b] = 0;
    }
    s.wheelUp[0] = s.wheelDown[0] = l.wheelUp = l.wheelDown = 0;
}
