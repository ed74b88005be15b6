#pragma once
// Game controllers for the pad slots. Devices that SDL knows as game
// controllers (its mapping database, plus any mappings added) fill the four
// controller slots in the standard layout; every other joystick is read raw,
// by its instance id.
#include <cstdint>

// Starts the controller subsystem once; false when it cannot start.
bool HostPad_Init();
bool HostPad_Available();
// Adds the mappings of a controller database file; the number added, -1 on failure.
int HostPad_AddMappingsFromFile(const char* path);

// Buttons of a controller, by bit.
enum : uint16_t {
    HOSTPAD_DPAD_UP = 0x0001, HOSTPAD_DPAD_DOWN = 0x0002, HOSTPAD_DPAD_LEFT = 0x0004, HOSTPAD_DPAD_RIGHT = 0x0008,
    HOSTPAD_START = 0x0010, HOSTPAD_BACK = 0x0020, HOSTPAD_LEFT_THUMB = 0x0040, HOSTPAD_RIGHT_THUMB = 0x0080,
    HOSTPAD_LEFT_SHOULDER = 0x0100, HOSTPAD_RIGHT_SHOULDER = 0x0200,
    HOSTPAD_A = 0x1000, HOSTPAD_B = 0x2000, HOSTPAD_X = 0x4000, HOSTPAD_Y = 0x8000,
};

struct HostControllerState {
    uint16_t buttons;
    uint8_t leftTrigger, rightTrigger;  // 0..255
    int16_t thumbLX, thumbLY, thumbRX, thumbRY;  // up and right positive
};

constexpr int HOSTPAD_CONTROLLER_SLOTS = 4;
// The state of the controller in slot 0..3. A slot without a controller takes
// the first attached controller no slot holds; false when there is none, or
// when the slot's controller has gone (the slot is then free again).
bool HostController_GetState(int slot, HostControllerState* out);
// What a controller is, numbered as the controller subtypes that pick a pad's
// description; kinds without such a number (a throttle, an arcade pad, a
// device SDL cannot tell) are HOSTPAD_KIND_OTHER.
enum HostControllerKind : int {
    HOSTPAD_KIND_OTHER = 0, HOSTPAD_KIND_GAMEPAD = 1, HOSTPAD_KIND_WHEEL = 2, HOSTPAD_KIND_ARCADE_STICK = 3,
    HOSTPAD_KIND_FLIGHT_STICK = 4, HOSTPAD_KIND_DANCE_PAD = 5, HOSTPAD_KIND_GUITAR = 6, HOSTPAD_KIND_DRUM_KIT = 8,
};
// False when the slot holds no controller.
bool HostController_GetKind(int slot, HostControllerKind* out);
// Motor speeds 0..65535, held until the next call.
void HostController_SetRumble(int slot, uint16_t low, uint16_t high);

// Joysticks that are not game controllers.
constexpr int HOSTPAD_RAW_AXES = 32;
constexpr int HOSTPAD_RAW_BUTTONS = 128;
constexpr int HOSTPAD_RAW_HATS = 4;

struct HostJoypadDevice {
    int32_t instanceId;
    char name[128];
};

struct HostJoypadState {
    int axisCount, buttonCount, hatCount;
    int16_t axes[HOSTPAD_RAW_AXES];
    uint8_t buttons[HOSTPAD_RAW_BUTTONS];
    uint32_t hats[HOSTPAD_RAW_HATS];  // hundredths of a degree clockwise from up; 0xFFFF centred
};

// The attached joysticks that are not game controllers, in device order; the count written.
int HostJoypad_Enumerate(HostJoypadDevice* out, int max);
bool HostJoypad_Open(int32_t instanceId);
void HostJoypad_Close(int32_t instanceId);
// False when the device is not open or has gone.
bool HostJoypad_Poll(int32_t instanceId, HostJoypadState* out);
// Closes every device this interface opened.
void HostPad_CloseAll();
