#pragma once
// The script object model's core as values meet it: conversions, comparisons,
// property look-up and stores, calls, getters and setters, errors, the global
// scope, and its start-up. Until the object model exists (JS_Stub.cpp)
// primitives convert and compare by the ordinary script rules, objects have
// no properties to find and nothing can be called.
#include <cstdint>

struct ScriptValue;
class KVObjectBase;

// Outcomes of the conversions and of calls.
enum JSStatus : int {
    JS_CONVERTED = 0,
    JS_FAILED = 1,
    JS_EXCEPTION_PENDING = 2,
};

// out becomes a number; returns the status.
int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value);
// out becomes a new string value.
int JS_ConvertToString(ScriptValue* out, const ScriptValue* value);
// out becomes a number holding the 32-bit integer (signed, unsigned) of the value.
int JS_ConvertToInt32(ScriptValue* out, const ScriptValue* value);
int JS_ConvertToUint32(ScriptValue* out, const ScriptValue* value);
// out becomes an object value for the value.
int F_JS_ToObject(ScriptValue* out, const ScriptValue* value);
// out becomes a primitive copy of the value; hint 0 is none.
int F_JS_ToPrimitive(ScriptValue* out, const ScriptValue* value, int hint);
bool JS_ToBoolean(const ScriptValue* value);
bool JS_IsCallable(const ScriptValue* value);
// out becomes a bool value (x == y).
int JS_AbstractEqualityCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y);
bool JS_StrictEqualityCompare(const ScriptValue* x, const ScriptValue* y);
// out becomes a bool value (x < y), or undefined when either is NaN; leftFirst
// says which operand converts first.
int JS_AbstractRelationalCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y, bool leftFirst);

// The named property, own or inherited; returns its kind, out unset when absent.
int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name);
// The named property with its getter called; out unset when absent.
void JS_Object_Get(KVObjectBase* object, ScriptValue* out, const char* name);
// The element of an array object by a numeric key, else the property named by the key.
bool JS_Object_GetByKey(const ScriptValue* object, const ScriptValue* key, ScriptValue* out);
// Stores a copy of value as the named property (made when absent, setters called).
void JS_Object_Put(KVObjectBase* object, const ScriptValue* value, const char* name, bool throwOnFailure);
// The object's delete of a named property: whether it is gone.
bool JS_Object_Delete(KVObjectBase* object, const char* name);

int JS_CallValue(KVObjectBase* self, ScriptValue* result, const ScriptValue* function, int argc, ScriptValue* args);
// The arguments object of a call of function (an object value in out).
void JS_CreateArgumentsObject(ScriptValue* out, KVObjectBase* function, int argc, ScriptValue* args, bool noCallee);

// Object mode: the head of the chain of scope objects (set when the game data
// is read); null otherwise.
extern KVObjectBase* GlobalScopeObject;
// Reads an accessor pair through its getter with self as this (the stand-in
// gives undefined); the setter stand-in does nothing.
void JS_CallGetter(KVObjectBase* accessor, KVObjectBase* self, ScriptValue* out);
void JS_CallSetter(KVObjectBase* accessor, KVObjectBase* self, ScriptValue* value);

// Throw an error object with the message: the running bytecode resumes at the
// innermost handler (JS_Exception.h). The caller returns at once.
void JS_RaiseReferenceError(const char* message);
void JS_RaiseTypeError(const char* message);

// Start-up of the object model: its built-in objects and the resource object.
void JS_InitBuiltInObjects();
void JS_CreateResourceObject();
