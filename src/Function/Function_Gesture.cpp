// The gesture settings: times in seconds to game code, microseconds inside.
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Function/Function_Interaction.h"
#include "World/Gesture_Main.h"

namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

int64_t Microseconds(double seconds)
{
    const double us = seconds * 1000000.0;
    if (!(us > -9.2e18 && us < 9.2e18)) return 0;  // out of range or NaN: no sound time
    return static_cast<int64_t>(us);
}

ROUTINE(F_GestureDragTime) { Gesture_Settings.dragTime = Microseconds(Arg_Real(args, 0)); }
ROUTINE(F_GestureDragDistance) { Gesture_Settings.dragDistance = Arg_Float(args, 0); }
ROUTINE(F_GestureFlickSpeed) { Gesture_Settings.flickSpeed = Arg_Float(args, 0); }
ROUTINE(F_GestureDoubleTapTime) { Gesture_Settings.doubleTapTime = Microseconds(Arg_Real(args, 0)); }
ROUTINE(F_GestureDoubleTapDistance) { Gesture_Settings.doubleTapDistance = Arg_Float(args, 0); }
ROUTINE(F_GestureGetDragTime) { ScriptValue_SetReal(result, Gesture_Settings.dragTime / 1000000.0); }
ROUTINE(F_GestureGetDragDistance) { ScriptValue_SetReal(result, Gesture_Settings.dragDistance); }
ROUTINE(F_GestureGetFlickSpeed) { ScriptValue_SetReal(result, Gesture_Settings.flickSpeed); }
ROUTINE(F_GestureGetDoubleTapTime) { ScriptValue_SetReal(result, Gesture_Settings.doubleTapTime / 1000000.0); }
ROUTINE(F_GestureGetDoubleTapDistance) { ScriptValue_SetReal(result, Gesture_Settings.doubleTapDistance); }
}  // namespace

void InitGestureFunctions()
{
    CodeFunction_Register("gesture_drag_time", F_GestureDragTime, 1, 0);
    CodeFunction_Register("gesture_drag_distance", F_GestureDragDistance, 1, 0);
    CodeFunction_Register("gesture_flick_speed", F_GestureFlickSpeed, 1, 0);
    CodeFunction_Register("gesture_double_tap_time", F_GestureDoubleTapTime, 1, 0);
    CodeFunction_Register("gesture_double_tap_distance", F_GestureDoubleTapDistance, 1, 0);
    CodeFunction_Register("gesture_get_drag_time", F_GestureGetDragTime, 0, 0);
    CodeFunction_Register("gesture_get_drag_distance", F_GestureGetDragDistance, 0, 0);
    CodeFunction_Register("gesture_get_flick_speed", F_GestureGetFlickSpeed, 0, 0);
    CodeFunction_Register("gesture_get_double_tap_time", F_GestureGetDoubleTapTime, 0, 0);
    CodeFunction_Register("gesture_get_double_tap_distance", F_GestureGetDoubleTapDistance, 0, 0);
}
