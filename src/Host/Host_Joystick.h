#pragma once
// The legacy joystick interface: two joysticks read by number, with their
// axes on 0..65535 (centre 32767) and a word of button bits.

struct HostJoystickInfo {
    unsigned x, y;
    unsigned buttons;  // bit i: button i held
};

// Whether joystick id (0 or 1) is connected.
bool HJoy_GetPos(int id);
// The state of joystick id; false when it is not connected or cannot be read.
bool HJoy_GetPosEx(int id, HostJoystickInfo* info);
