#pragma once
// Calls in the script object model: function objects of scripts (run in an
// activation object whose parent is the function's scope), of native
// routines and of built-in variable accessors; accessor getters and setters;
// the Arguments object of a call; construction with new and instanceof.
// A call returns JS_EXCEPTION_PENDING when a thrown value is on its way to
// a handler after the callee returned, else JS_CONVERTED.
#include <cstdint>

#include "Code/Code_Function.h"

struct ScriptValue;
class KVObjectBase;
class CInstance;

int JS_CallFunction(KVObjectBase* self, ScriptValue* out, KVObjectBase* function, int argc, ScriptValue* args);
// JS_FAILED when function is not an object reference.
int JS_CallValue(KVObjectBase* self, ScriptValue* out, const ScriptValue* function, int argc, ScriptValue* args);
// The getter (no getter: undefined) and setter (none: nothing) of an accessor pair value, with self as this.
void JS_CallGetter(KVObjectBase* self, ScriptValue* out, const ScriptValue* accessor);
void JS_CallSetter(KVObjectBase* self, const ScriptValue* value, const ScriptValue* accessor);

// out (released first) becomes the Arguments object of a call of function:
// "length" the argument count, elements copies of the arguments (up to the
// function's "length" the others read as undefined), "callee" unless noCallee.
void JS_CreateArgumentsObject(ScriptValue* out, KVObjectBase* function, int argc, const ScriptValue* args,
                              bool noCallee);
void JS_Arguments_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name);
int JS_Arguments_Put(KVObjectBase* object, const ScriptValue* value, const char* name);

// The [[Construct]] of script function objects (self is the function): a
// plain object whose prototype is the function's slot 0 (null when that holds
// no object), on which the function runs; what the function returns is dropped.
void JS_ScriptFunction_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
int JS_HasInstance(KVObjectBase* function, const ScriptValue* value);
// The routines of "@@new@@" (argument 0 the constructor, then its arguments)
// and "@@instanceof@@" (argument 0 the constructor, argument 1 the value).
void JS_New(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_InstanceOf(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);

// A script function object without interpreter code (compiled-code mode)
// runs its script's compiled function through this routine; false when the
// script has none, and the call raises TypeError "NoMessage". Scripts live
// above this layer: Runner_InstallHooks sets it; the default runs nothing.
using JSScriptRunner = bool (*)(void* script, KVObjectBase* self, ScriptValue* out, int argc, ScriptValue* args);
JSScriptRunner JS_SetScriptRunner(JSScriptRunner runner);
