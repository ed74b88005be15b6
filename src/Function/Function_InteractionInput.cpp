// Keyboard, mouse and legacy joystick built-ins: the frame input state, the
// system keyboard, waits for a key or button, and the two joysticks.
#include "Base/Timing.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Function/Function_Interaction.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Joystick.h"
#include "Host/Host_Window.h"
#include "IO/IO_Main.h"
#include "Options/Runner_Options.h"

namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

bool DoubleClickEnabled = true;

void SetBool(ScriptValue* result, bool b) { ScriptValue_SetReal(result, b ? 1.0 : 0.0); }

// Key 0: no key did it this frame; 1: any did; 2..255: that key.
int CheckKeyFlags(int key, int (*flag)(int))
{
    if (key == 0 || key == 1) {
        bool any = false;
        for (int k = 0; k < 256 && !any; ++k) any = flag(k) != 0;
        return key == 0 ? !any : any;
    }
    return (key >= 2 && key <= 255) ? flag(key) : 0;
}

// Button 0: none of 1..3 has the flag; -1: any has; 1..3: that one.
int CheckButtonFlags(int button, int device, int (*flag)(int, int))
{
    if (button == 0 || button == -1) {
        const bool any = flag(1, device) || flag(2, device) || flag(3, device);
        return button == 0 ? !any : any;
    }
    return (button >= 1 && button <= 3) ? flag(button, device) : 0;
}

ROUTINE(F_KeyboardCheck) { ScriptValue_SetReal(result, IO_KeyboardCheck(Arg_Int32(args, 0))); }
ROUTINE(F_KeyboardCheckPressed) { ScriptValue_SetReal(result, CheckKeyFlags(Arg_Int32(args, 0), IO_CheckKeyPressed)); }
ROUTINE(F_KeyboardCheckReleased) { ScriptValue_SetReal(result, CheckKeyFlags(Arg_Int32(args, 0), IO_CheckKeyReleased)); }

ROUTINE(F_KeyboardClear)
{
    Timing_PumpMessages();
    IO_ClearKey(Arg_Int32(args, 0));
    ScriptValue_SetReal(result, 0);
}

ROUTINE(F_KeyboardGetMap) { ScriptValue_SetReal(result, IO_GetKeyMap(Arg_Int32(args, 0))); }
ROUTINE(F_KeyboardSetMap) { IO_SetKeyMap(Arg_Int32(args, 0), Arg_Int32(args, 1)); }
ROUTINE(F_KeyboardUnsetMap) { IO_ResetKeyMap(); }

ROUTINE(F_IoClear)
{
    Timing_PumpMessages();
    IO_Clear();
}

ROUTINE(F_IoHandle) { Timing_PumpMessages(); }

ROUTINE(F_MouseCheckButton) { ScriptValue_SetReal(result, CheckButtonFlags(Arg_Int32(args, 0), 0, IO_CheckButton)); }
ROUTINE(F_MouseCheckButtonPressed)
{
    ScriptValue_SetReal(result, CheckButtonFlags(Arg_Int32(args, 0), 0, IO_CheckButtonPressed));
}
ROUTINE(F_MouseCheckButtonReleased)
{
    ScriptValue_SetReal(result, CheckButtonFlags(Arg_Int32(args, 0), 0, IO_CheckButtonReleased));
}

ROUTINE(F_MouseClear)
{
    Timing_PumpMessages();
    const int button = Arg_Int32(args, 0);
    if (button == -1) {
        for (int b = 1; b <= 3; ++b) IO_ClearMouseButton(b, 0);
    } else {
        IO_ClearMouseButton(button, 0);
    }
    ScriptValue_SetReal(result, 0);
}

ROUTINE(F_MouseWheelUp) { ScriptValue_SetReal(result, IO_CheckWheelUp(0)); }
ROUTINE(F_MouseWheelDown) { ScriptValue_SetReal(result, IO_CheckWheelDown(0)); }
ROUTINE(F_DeviceMouseDbclickEnable) { DoubleClickEnabled = argc > 0 && Arg_Bool(args, 0); }

ROUTINE(F_KeyboardCheckDirect) { SetBool(result, HostWindow_IsKeyDownNow(Arg_Int32(args, 0))); }
ROUTINE(F_KeyboardKeyPress) { HostWindow_SendKey(Arg_Int32(args, 0), true); }
ROUTINE(F_KeyboardKeyRelease) { HostWindow_SendKey(Arg_Int32(args, 0), false); }
ROUTINE(F_KeyboardGetNumlock) { SetBool(result, HostWindow_NumLockOn()); }
ROUTINE(F_KeyboardSetNumlock)
{
    if (Arg_Bool(args, 0) != HostWindow_NumLockOn()) HostWindow_ToggleNumLock();
}

// The waits watch the window latch, which only the pump writes. Without
// dialogs nobody can press anything, so a headless run does not wait.
template <typename Pressed>
void WaitFor(Pressed pressed)
{
    for (;;) {
        Timing_PumpMessages();
        if (pressed() || HeadlessMode.noDialogs) return;
        Timing_SleepMicroseconds(50000);
    }
}

ROUTINE(F_KeyboardWait)
{
    IO_SetLastKey(0);
    WaitFor([] { return IO_WindowLatch.lastKey != 0; });
}

ROUTINE(F_MouseWait)
{
    IO_Input.lastButton[0] = IO_WindowLatch.lastButton = 0;
    WaitFor([] { return IO_WindowLatch.lastButton != 0; });
}

// Joystick number 2 is the second device, any other the first.
int JoystickId(ScriptValue* args) { return Arg_Int32(args, 0) == 2 ? 1 : 0; }

ROUTINE(F_JoystickExists) { SetBool(result, HJoy_GetPos(JoystickId(args))); }

ROUTINE(F_JoystickName)
{
    HostJoystickCaps caps;
    ScriptValue_SetString(result, HJoy_GetDevCaps(JoystickId(args), &caps) ? caps.name : "");
}

ROUTINE(F_JoystickAxes)
{
    HostJoystickCaps caps;
    ScriptValue_SetReal(result, HJoy_GetDevCaps(JoystickId(args), &caps) ? caps.axes : 0);
}

ROUTINE(F_JoystickButtons)
{
    HostJoystickCaps caps;
    ScriptValue_SetReal(result, HJoy_GetDevCaps(JoystickId(args), &caps) ? caps.buttons : 0);
}

ROUTINE(F_JoystickHasPov)
{
    HostJoystickCaps caps;
    SetBool(result, HJoy_GetDevCaps(JoystickId(args), &caps) && caps.hasPov);
}

ROUTINE(F_JoystickCheckButton)
{
    const int button = Arg_Int32(args, 1);
    HostJoystickInfo info;
    SetBool(result, button >= 1 && button <= 32 && HJoy_GetPosEx(JoystickId(args), &info) &&
                        ((info.buttons >> (button - 1)) & 1u));
}

// The numeric-keypad code of the stick's position, 101 without the joystick.
int32_t Joystick_GetDirection(int32_t joystick)
{
    HostJoystickInfo info;
    if (!HJoy_GetPosEx(joystick, &info)) return 101;
    const int row = info.y < 20000 ? 6 : info.y > 44000 ? 0 : 3;
    const int column = info.x < 20000 ? 97 : info.x > 44000 ? 99 : 98;
    return row + column;
}

ROUTINE(F_JoystickDirection) { ScriptValue_SetReal(result, Joystick_GetDirection(JoystickId(args))); }

ROUTINE(F_JoystickPov)
{
    HostJoystickInfo info;
    if (!HJoy_GetPosEx(JoystickId(args), &info) || info.pov > 36000) {
        ScriptValue_SetReal(result, -1);
        return;
    }
    ScriptValue_SetReal(result, info.pov / 100.0);
}

// dwPos / 32767 - 1 in single precision.
template <unsigned HostJoystickInfo::*Field>
ROUTINE(F_JoystickPos)
{
    HostJoystickInfo info;
    if (!HJoy_GetPosEx(JoystickId(args), &info)) {
        ScriptValue_SetReal(result, 0);
        return;
    }
    ScriptValue_SetReal(result, static_cast<float>(static_cast<int32_t>(info.*Field)) / 32767.0f - 1.0f);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kKeyboardMouse[] = {
    {"keyboard_check", F_KeyboardCheck, 1},
    {"keyboard_check_pressed", F_KeyboardCheckPressed, 1},
    {"keyboard_check_released", F_KeyboardCheckReleased, 1},
    {"keyboard_check_direct", F_KeyboardCheckDirect, 1},
    {"keyboard_get_map", F_KeyboardGetMap, 1},
    {"keyboard_set_map", F_KeyboardSetMap, 2},
    {"keyboard_unset_map", F_KeyboardUnsetMap, 0},
    {"keyboard_key_press", F_KeyboardKeyPress, 1},
    {"keyboard_key_release", F_KeyboardKeyRelease, 1},
    {"keyboard_get_numlock", F_KeyboardGetNumlock, 0},
    {"keyboard_set_numlock", F_KeyboardSetNumlock, 1},
    {"mouse_check_button", F_MouseCheckButton, 1},
    {"mouse_check_button_pressed", F_MouseCheckButtonPressed, 1},
    {"mouse_check_button_released", F_MouseCheckButtonReleased, 1},
    {"mouse_wheel_up", F_MouseWheelUp, 0},
    {"mouse_wheel_down", F_MouseWheelDown, 0},
};

const Entry kJoysticks[] = {
    {"joystick_exists", F_JoystickExists, 1},
    {"joystick_direction", F_JoystickDirection, 1},
    {"joystick_name", F_JoystickName, 1},
    {"joystick_axes", F_JoystickAxes, 1},
    {"joystick_buttons", F_JoystickButtons, 1},
    {"joystick_has_pov", F_JoystickHasPov, 1},
    {"joystick_check_button", F_JoystickCheckButton, 2},
    {"joystick_xpos", F_JoystickPos<&HostJoystickInfo::x>, 1},
    {"joystick_ypos", F_JoystickPos<&HostJoystickInfo::y>, 1},
    {"joystick_zpos", F_JoystickPos<&HostJoystickInfo::z>, 1},
    {"joystick_rpos", F_JoystickPos<&HostJoystickInfo::r>, 1},
    {"joystick_upos", F_JoystickPos<&HostJoystickInfo::u>, 1},
    {"joystick_vpos", F_JoystickPos<&HostJoystickInfo::v>, 1},
    {"joystick_pov", F_JoystickPov, 1},
};

const Entry kClearsAndWaits[] = {
    {"keyboard_clear", F_KeyboardClear, 1},
    {"mouse_clear", F_MouseClear, 1},
    {"io_clear", F_IoClear, 0},
    {"io_handle", F_IoHandle, 0},
    {"device_mouse_dbclick_enable", F_DeviceMouseDbclickEnable, 1},
    {"keyboard_wait", F_KeyboardWait, 0},
    {"mouse_wait", F_MouseWait, 0},
};

template <size_t N>
void RegisterAll(const Entry (&entries)[N])
{
    for (const Entry& e : entries) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
}
}  // namespace

void InitKeyboardMouseFunctions()
{
    DoubleClickEnabled = true;
    RegisterAll(kKeyboardMouse);
    if (!LayerMode) RegisterAll(kJoysticks);
    RegisterAll(kClearsAndWaits);
}
