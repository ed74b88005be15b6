#pragma once
// Gamepad slots as game code sees them: a connected flag, a description, and
// button and axis values of the last poll and the poll before, read through
// a button threshold and an axis dead zone. Slots 0..3 are the controller
// pads, the slots after them the raw joystick pads.
#include <cstdint>
#include <vector>

// Codes a built-in passes after mapping.
constexpr int GAMEPAD_AXIS_AS_BUTTON = 0x1000;    // in a button code: an axis read as a button
constexpr int GAMEPAD_AXIS_NEGATIVE = 0x2000;     // with it: the axis's negative direction
constexpr int GAMEPAD_CODE_IGNORED = 0x4000;
constexpr int GAMEPAD_AXIS_NEGATE = 0x8000;       // in an axis code: the value negated
constexpr int GAMEPAD_AXIS_READS_BUTTON = 0x1000; // in an axis code: a button's value

constexpr int GAMEPAD_CONTROLLER_SLOTS = 4;

class GamepadState {
public:
    GamepadState(int buttonCount, int axisCount);

    int ButtonCount() const { return connected ? buttonCount : 0; }
    int AxisCount() const { return connected ? axisCount : 0; }
    float ButtonValue(int code) const;
    bool ButtonDown(int code) const;
    bool ButtonPressed(int code) const;
    bool ButtonReleased(int code) const;
    float AxisValue(int code) const;

    // Current values become the previous ones; the arrays hold the counts given at creation.
    void StoreValues(const float* newButtons, const float* newAxes);
    // Posts "gamepad discovered" or "gamepad lost" on a change; a lost pad's values are cleared.
    void SetConnected(bool flag);
    void SetDescription(const char* text);
    void SetVibration(float left, float right);

    uint8_t connected = 0;
    int buttonCount, axisCount;
    std::vector<float> previousButtons, buttons, axes, previousAxes;
    float buttonThreshold = 0.5f;
    float axisDeadZone = 0.0f;
    float vibrationLeft = 0.0f, vibrationRight = 0.0f;
    char description[512] = {};

private:
    float AxisAsButton(int code, const std::vector<float>& values) const;
};

// The table of slots; records belong to their back ends.
void Gamepad_SetCount(int count);
int Gamepad_Count();
GamepadState* Gamepad_Get(int slot);  // null outside the table or for an empty slot
void Gamepad_Put(int slot, GamepadState* pad);
int Gamepad_SlotOf(const GamepadState* pad);

// The engine's gamepad constants onto the codes of the slot's back end; values
// below 32768 pass unchanged, unknown constants give 0.
int Gamepad_MapButton(int slot, int code);
int Gamepad_MapAxis(int slot, int code);

// The controller back end: loaded with the built-ins, warned about once when missing.
bool XInput_Load();
bool XInput_IsLoaded();
void XInput_WarnMissing();
void Gamepads_Create(int rawPads);
// The raw joystick back end.
void DirectInput_BindPads(int firstSlot, int count);
void DirectInput_Poll();
void DirectInput_Free();
// Back to the state of a new process (no slots, nothing loaded or warned).
void Gamepads_Reset();
