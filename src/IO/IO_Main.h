#pragma once
// Keyboard and mouse state. The window latch is written between frames by
// the handlers the window procedure calls; the frame state is what game code
// reads, and changes only in IO_Update (and through the setters), so every
// event of one frame sees the same input.
#include <cstdint>

constexpr int IO_KEYBOARD_STRING_UNITS = 1024;  // plus the terminator
constexpr int IO_DEVICE_COUNT = 10;
constexpr int IO_POINTER_EVENTS = 128;

struct IO_PointerEvent {
    uint32_t flags;  // bit 31: down and not yet consumed this frame
    int32_t x, y;    // window client coordinates
    int32_t reserved[2];
};

struct IO_InputState {
    IO_PointerEvent pointerEvents[IO_POINTER_EVENTS];
    uint8_t record, playback;
    int32_t screenCursorX, screenCursorY;
    int32_t mouseX, mouseY;
    int32_t deviceX[IO_DEVICE_COUNT], deviceY[IO_DEVICE_COUNT];
    int32_t keyboardStringLength;  // shared with the latch's string
    uint16_t lastChar;
    int32_t lastKey;
    uint16_t keyboardString[IO_KEYBOARD_STRING_UNITS + 1];
    int32_t currentKey;
    uint8_t keyHeld[256], keyReleased[256], keyPressed[256];
    int32_t lastButton[IO_DEVICE_COUNT], currentButton[IO_DEVICE_COUNT];
    uint8_t buttonHeld[IO_DEVICE_COUNT * 3], buttonReleased[IO_DEVICE_COUNT * 3], buttonPressed[IO_DEVICE_COUNT * 3];
    uint8_t wheelUp[IO_DEVICE_COUNT], wheelDown[IO_DEVICE_COUNT];
    int32_t keyMap[256];
    char utf8[IO_KEYBOARD_STRING_UNITS * 3 + 1];
};

struct IO_WindowLatchRecord {
    uint8_t wheelUp, wheelDown;
    uint16_t lastChar;
    uint16_t keyboardString[IO_KEYBOARD_STRING_UNITS + 1];
    int32_t previousCurrentKey, lastKey, currentKey;
    uint8_t keyHeld[256], keyReleased[256], keyPressed[256];
    int32_t lastButton, currentButton;
    uint8_t buttonHeld[3], buttonReleased[3], buttonPressed[3];
    int32_t mouseX, mouseY;
};

extern IO_InputState IO_Input;
extern IO_WindowLatchRecord IO_WindowLatch;
extern IO_PointerEvent IO_LatchPointerEvents[IO_POINTER_EVENTS];
extern bool IO_FirstLatch;

void IO_Init();
void IO_Update();
void IO_End();
int64_t IO_Sleep(int64_t microseconds);
// The main loop's copy of the latch's pointer events before each frame.
void IO_SnapshotPointerEvents();

// Window handlers.
void IO_KeyDown(int vk, int modifiers, bool repeat);
void IO_KeyUp(int vk, int modifiers);
void IO_CharInput(uint16_t unit);
void IO_MouseDown(int button, int x, int y);
void IO_MouseUp(int button, int x, int y);
void IO_WheelUp(int modifiers, int x, int y, int* handled);
void IO_WheelDown(int modifiers, int x, int y, int* handled);

// Frame state.
int IO_CheckKey(int key);
int IO_CheckKeyPressed(int key);
int IO_CheckKeyReleased(int key);
int IO_KeyboardCheck(int key);
int IO_GetCurrentKey();
void IO_SetCurrentKey(int key);
int IO_GetLastKey();
void IO_SetLastKey(int key);
int IO_GetLastChar();
void IO_SetLastChar(uint8_t byte);
const char* IO_GetKeyboardString();
void IO_SetKeyboardString(const char* utf8);
int IO_GetKeyMap(int key);
void IO_SetKeyMap(int key, int target);
void IO_ResetKeyMap();
void IO_ClearKey(int key);
int IO_CheckButton(int button, int device);
int IO_CheckButtonPressed(int button, int device);
int IO_CheckButtonReleased(int button, int device);
int IO_GetMouseButton(int device);
void IO_SetMouseButton(int button, int device);
int IO_GetMouseLastButton(int device);
void IO_SetMouseLastButton(int button, int device);
void IO_ClearMouseButton(int button, int device);
int IO_CheckWheelUp(int device);
int IO_CheckWheelDown(int device);
void IO_Clear();
