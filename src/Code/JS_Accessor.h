#pragma once
// STAND-IN for the object model's accessor pairs until it exists.
#include "Code/Code_Variable.h"

class KVObjectBase;

// An accessor-pair object (kind 2) for a built-in variable's getter and setter.
KVObjectBase* JS_MakeAccessorObject(BuiltinGetter getter, BuiltinSetter setter);
