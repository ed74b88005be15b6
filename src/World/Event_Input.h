#pragma once
// The input events of a frame: key, mouse and joystick events run on the
// instances that have them, from the frame's input state. The mouse pass
// begins with the gesture step (Gesture_Main.h).
#include <cstdint>

void IO_HandleKeyboardEvents();
void IO_HandleMouseEvents();
// One event (kind, sub-kind) on every instance of the objects that have it,
// instances made meanwhile left out.
void IO_PerformKeyboardEvent(int32_t subKind);
void IO_PerformKeyPressEvent(int32_t subKind);
void IO_PerformKeyReleaseEvent(int32_t subKind);
void IO_PerformMouseEvent(int32_t subKind);
void IO_PerformJoystickEvent(int32_t subKind);
// Only on instances whose shape holds this frame's mouse room position.
void IO_PerformMouseEventAtCursor(int32_t subKind);
void IO_HandleMouseEnterLeave();
