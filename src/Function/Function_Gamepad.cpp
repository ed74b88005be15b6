#include "Function/Function_Gamepad.h"

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "IO/Gamepad_Class.h"

namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

// The result starts at 0; a slot outside the table leaves it there.
GamepadState* Slot(ScriptValue* result, ScriptValue* args, int* slot = nullptr, bool warn = false)
{
    ScriptValue_SetReal(result, 0);
    if (warn) XInput_WarnMissing();
    const int n = Arg_Int32(args, 0);
    if (slot) *slot = n;
    return Gamepad_Get(n);
}

void SetBool(ScriptValue* result, bool b) { ScriptValue_SetReal(result, b ? 1.0 : 0.0); }

ROUTINE(F_GamepadIsSupported) { SetBool(result, XInput_IsLoaded()); }
ROUTINE(F_GamepadGetDeviceCount) { ScriptValue_SetReal(result, Gamepad_Count()); }

ROUTINE(F_GamepadIsConnected)
{
    if (GamepadState* pad = Slot(result, args)) SetBool(result, pad->connected);
}

ROUTINE(F_GamepadGetDescription)
{
    GamepadState* pad = Slot(result, args);
    ScriptValue_SetString(result, pad ? pad->description : "");
}

ROUTINE(F_GamepadGetButtonThreshold)
{
    if (GamepadState* pad = Slot(result, args)) ScriptValue_SetReal(result, pad->buttonThreshold);
}

ROUTINE(F_GamepadSetButtonThreshold)
{
    GamepadState* pad = Slot(result, args);
    if (!pad) return;
    const float value = Arg_Float(args, 1);
    if (value < 0.0f || value > 1.0f) ShowRuntimeError("Button threshold is outside the accepted range", false);
    else pad->buttonThreshold = value;
}

ROUTINE(F_GamepadGetAxisDeadzone)
{
    if (GamepadState* pad = Slot(result, args)) ScriptValue_SetReal(result, pad->axisDeadZone);
}

ROUTINE(F_GamepadSetAxisDeadzone)
{
    GamepadState* pad = Slot(result, args);
    if (!pad) return;
    const float value = Arg_Float(args, 1);
    if (value < 0.0f || value > 1.0f) ShowRuntimeError("Axis dead zone is outside the accepted range", false);
    else pad->axisDeadZone = value;
}

ROUTINE(F_GamepadButtonCount)
{
    if (GamepadState* pad = Slot(result, args)) ScriptValue_SetReal(result, pad->ButtonCount());
}

ROUTINE(F_GamepadAxisCount)
{
    if (GamepadState* pad = Slot(result, args)) ScriptValue_SetReal(result, pad->AxisCount());
}

template <bool (GamepadState::*Test)(int) const>
ROUTINE(F_GamepadButtonTest)
{
    int slot = 0;
    if (GamepadState* pad = Slot(result, args, &slot, true))
        SetBool(result, (pad->*Test)(Gamepad_MapButton(slot, Arg_Int32(args, 1))));
}

ROUTINE(F_GamepadButtonValue)
{
    int slot = 0;
    if (GamepadState* pad = Slot(result, args, &slot, true))
        ScriptValue_SetReal(result, pad->ButtonValue(Gamepad_MapButton(slot, Arg_Int32(args, 1))));
}

ROUTINE(F_GamepadAxisValue)
{
    int slot = 0;
    if (GamepadState* pad = Slot(result, args, &slot, true))
        ScriptValue_SetReal(result, pad->AxisValue(Gamepad_MapAxis(slot, Arg_Int32(args, 1))));
}

ROUTINE(F_GamepadSetVibration)
{
    if (GamepadState* pad = Slot(result, args, nullptr, true)) pad->SetVibration(Arg_Float(args, 1), Arg_Float(args, 2));
}

// Pads here have no light to colour; the request is only logged.
ROUTINE(F_GamepadSetColour)
{
    if (!Slot(result, args, nullptr, true)) return;
    LogConsole->Output("setting pad color to 0x%x\n", (Arg_UInt32(args, 1) & 0xFFFFFFu) | 0x1000000u);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kGamepadFunctions[] = {
    {"gamepad_is_supported", F_GamepadIsSupported, 0},
    {"gamepad_get_device_count", F_GamepadGetDeviceCount, 0},
    {"gamepad_is_connected", F_GamepadIsConnected, 1},
    {"gamepad_get_description", F_GamepadGetDescription, 1},
    {"gamepad_get_button_threshold", F_GamepadGetButtonThreshold, 1},
    {"gamepad_set_button_threshold", F_GamepadSetButtonThreshold, 2},
    {"gamepad_get_axis_deadzone", F_GamepadGetAxisDeadzone, 1},
    {"gamepad_set_axis_deadzone", F_GamepadSetAxisDeadzone, 2},
    {"gamepad_button_count", F_GamepadButtonCount, 1},
    {"gamepad_button_check", F_GamepadButtonTest<&GamepadState::ButtonDown>, 2},
    {"gamepad_button_check_pressed", F_GamepadButtonTest<&GamepadState::ButtonPressed>, 2},
    {"gamepad_button_check_released", F_GamepadButtonTest<&GamepadState::ButtonReleased>, 2},
    {"gamepad_button_value", F_GamepadButtonValue, 2},
    {"gamepad_axis_count", F_GamepadAxisCount, 1},
    {"gamepad_axis_value", F_GamepadAxisValue, 2},
    {"gamepad_set_vibration", F_GamepadSetVibration, 3},
    {"gamepad_set_colour", F_GamepadSetColour, 2},
    {"gamepad_set_color", F_GamepadSetColour, 2},
};
}  // namespace

void InitGamepadFunctions()
{
    for (const Entry& e : kGamepadFunctions) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
    XInput_Load();
}
