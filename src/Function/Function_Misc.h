#pragma once
// The "Misc.." group of built-ins: dates and times, alarms and events,
// variables reached by name, debug output and the game speed, with the
// platform services' built-ins registered among them.
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"

// The group's built-ins whose routines belong to the platform services (a
// layer above this one), in the order the group registers them.
struct MiscPlatformRoutines {
    // Registers the external-library built-ins in their place, after
    // event_perform_object; null registers none.
    void (*registerExternalCalls)();
    BuiltinRoutine windowHandle;
    BuiltinRoutine windowDevice;
    BuiltinRoutine setProgramPriority;
    BuiltinRoutine setApplicationTitle;
    BuiltinRoutine clipboardHasText;
    BuiltinRoutine clipboardSetText;
    BuiltinRoutine clipboardGetText;
};

// Registers the group's names in their fixed order.
void InitMiscFunctions(const MiscPlatformRoutines& platform);

// show_debug_message: the value's text and a line break on the output console.
void Debug_ShowValue(const ScriptValue* value);
