#pragma once
// The built-in variables of the context game code runs in: the relative flag
// of actions, the running event, the in-app purchase map, the last runtime
// error, whether the game was built for debugging, and the fixed values
// pointer_invalid, pointer_null and undefined. All are game-wide.
#include "Code/Code_Variable.h"

// The getter and setter of one of those names; false for any other name.
bool Variable_ContextAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
