// Stand-ins: see Event_Input.h.
#include "World/Event_Input.h"

void IO_HandleKeyboardEvents() {}
void IO_HandleMouseEvents() {}
void IO_PerformJoystickEvent(int32_t) {}
