#pragma once
// The object model's accessor pairs: a built-in variable's getter and setter
// as a property of an object. Until the object model exists
// (JS_Accessor_Stub.cpp) an accessor object only holds the pair.
#include "Code/Code_Variable.h"

class KVObjectBase;

// An accessor-pair object (kind 2) for a built-in variable's getter and setter.
KVObjectBase* JS_MakeAccessorObject(BuiltinGetter getter, BuiltinSetter setter);
