#pragma once
// The legacy joystick interface: two joysticks read by number, with their
// axes on 0..65535 (centre 32767), a word of button bits and a point-of-view
// hat in hundredths of a degree.

constexpr unsigned HJOY_POV_CENTERED = 0xFFFF;

struct HostJoystickInfo {
    unsigned x, y, z, r, u, v;
    unsigned buttons;  // bit i: button i held
    unsigned pov;      // 0..35900, HJOY_POV_CENTERED when the hat rests or there is none
};

struct HostJoystickCaps {
    char name[260];
    int axes;
    int buttons;
    bool hasPov;
};

// Whether joystick id (0 or 1) is connected.
bool HJoy_GetPos(int id);
// The state of joystick id; false when it is not connected or cannot be read.
bool HJoy_GetPosEx(int id, HostJoystickInfo* info);
// The name and counts of joystick id; false when it is not connected.
bool HJoy_GetDevCaps(int id, HostJoystickCaps* caps);
