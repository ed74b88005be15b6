// Stand-ins: see Event_Input.h. The mouse pass already begins with its
// gesture step.
#include "World/Event_Input.h"

#include "World/Gesture_Main.h"

void IO_HandleKeyboardEvents() {}
void IO_HandleMouseEvents() { Gesture_Update(); }
void IO_PerformJoystickEvent(int32_t) {}
