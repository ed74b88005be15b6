#pragma once
// The script argument variables: argument0 to argument15, argument and
// argument_count read and write the arguments of the running script call
// (the ones a script call installs for its duration).
#include "Code/Code_Variable.h"

// The getter and setter of one of those names; false for any other name.
bool Variable_ArgumentAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter);
