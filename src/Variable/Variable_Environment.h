#pragma once
// Game-wide built-in variables that report what other parts of the runner
// own: frame rates and the step's time, the wall clock, the mouse and the
// keyboard, the working, temporary and program folders, and a few facts
// about the display. Only the input variables can be written.
#include "Code/Code_Variable.h"

// The getter and setter of one of those names; false for any other name.
bool Variable_EnvironmentAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
