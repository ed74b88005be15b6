#pragma once
// The input events of a frame: key, mouse and joystick events run on the
// instances that have them.
// Until they exist (Event_Input_Stub.cpp) no input event runs; the mouse
// pass runs only its first step, the gestures (Gesture_Main.h).
#include <cstdint>

void IO_HandleKeyboardEvents();
void IO_HandleMouseEvents();
void IO_PerformJoystickEvent(int32_t subKind);
