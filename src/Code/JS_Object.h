#pragma once
// The script object model's objects: a KVObjectBase whose internal state
// ("[[Prototype]]", "[[Class]]", "[[Extensible]]", call slots, internal
// methods) lives in ordinary named properties with attribute flags 0, and the
// internal methods every part of the object model goes through. An internal
// method is a routine pointer found on the object or along its prototype
// chain and applied to the object the operation started on.
//
// An accessor property's value is an object reference to an accessor pair
// (object kind 2): slot 0 the getter, slot 1 the setter function object, each
// of kind accessor (unset when not given). [[GetOwnProperty]] and
// [[GetProperty]] give the pair itself; [[Get]] calls its getter, [[Put]] its
// setter.
#include <cstdint>

#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"

struct ScriptValue;
class KVObjectBase;

// Routines stored in the internal-method properties.
using JSGetOwnPropertyFn = void (*)(KVObjectBase* object, ScriptValue* out, const char* name);
// Returns JS_DEFINE_DONE, JS_DEFINE_REJECTED or (with throwOnReject) JS_DEFINE_THROW.
using JSDefineOwnPropertyFn = int (*)(KVObjectBase* object, const char* name, const ScriptValue* desc,
                                      bool throwOnReject);
// out becomes a bool: whether the property is gone.
using JSDeleteFn = void (*)(KVObjectBase* object, ScriptValue* out, const char* name, bool strict);
// 0 not an instance, 1 an instance, 2 the function's prototype slot holds no object.
using JSHasInstanceFn = int (*)(KVObjectBase* function, const ScriptValue* value);

// Results of [[DefineOwnProperty]] and [[Put]].
enum : int {
    JS_DEFINE_REJECTED = 0,
    JS_DEFINE_DONE = 1,
    JS_DEFINE_THROW = 2,   // rejected; the caller throws
};

// Object.prototype and Function.prototype, made by the object model's set-up;
// null until then (new objects then start a chain of their own).
extern KVObjectBase* JS_ObjectPrototype;
extern KVObjectBase* JS_FunctionPrototype;

// out (released first) becomes a new plain object: prototype Object.prototype,
// class "Object", extensible, the default internal methods. The other
// arguments are ignored: this is also the [[Construct]] of native functions.
void JS_NewStandardObject(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// A function object for a native routine ("length" = length); constructible
// ones construct plain objects.
KVObjectBase* JS_NewNativeFunction(BuiltinRoutine routine, int32_t length, bool constructible);
// A function object for a built-in variable's getter or setter.
KVObjectBase* JS_NewBuiltinAccessorFunction(void* accessor, int32_t length);
// Accessor pairs: for a built-in variable's getter and setter, and for native
// routines; either may be null.
KVObjectBase* JS_MakeAccessorObject(BuiltinGetter getter, BuiltinSetter setter);
KVObjectBase* JS_MakeNativeAccessorObject(BuiltinRoutine getter, BuiltinRoutine setter);

// Internal methods. Names are UTF-8; an absent property reads as unset.
void JS_Object_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name);
// The property, own or inherited; returns its kind (unset when absent).
int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name);
// The property's value, getters called; unset when absent.
void JS_Object_Get(KVObjectBase* object, ScriptValue* out, const char* name);
bool JS_Object_CanPut(KVObjectBase* object, const char* name);
// Stores a copy of value (setters called); a refused write raises TypeError
// "NoMessage" when throwOnFailure is set. JS_DEFINE_DONE or JS_DEFINE_REJECTED.
int JS_Object_Put(KVObjectBase* object, const ScriptValue* value, const char* name, bool throwOnFailure);
int JS_Object_DefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject);
// The object's [[Delete]]: whether the property is gone.
bool JS_Object_Delete(KVObjectBase* object, const char* name, bool strict = false);

// The ordinary object's internal methods.
void JS_DefaultGetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name);
int JS_DefaultDefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject);
void JS_DefaultDelete(KVObjectBase* object, ScriptValue* out, const char* name, bool strict);

// Keyed access of the interpreter: an array object's element by number, else
// the property keyed by the value itself. False when object is not an object
// (or, for the get, when an ordinary object has no such key).
bool JS_Object_GetByKey(const ScriptValue* object, const ScriptValue* key, ScriptValue* out);
bool JS_Object_PutByKey(const ScriptValue* object, const ScriptValue* key, const ScriptValue* value);
// An array's element store (its slot 1) takes a copy of value at index,
// growing by half again and filling the gap with undefined.
bool JS_ArrayStore_Set(KVObjectBase* store, uint32_t index, const ScriptValue* value);

bool JS_SameValue(const ScriptValue* x, const ScriptValue* y);
// An object reference to an accessor pair.
bool JS_IsAccessorValue(const ScriptValue* value);
// Present, not undefined and not an accessor pair.
bool JS_IsDataValue(const ScriptValue* value);
bool JS_IsCallable(const ScriptValue* value);
// The object's own "[[Call_Script]]" or "[[Call_Cpp]]".
bool JS_HasCallSlot(KVObjectBase* object);
// Whether the object's own "[[Class]]" is that text.
bool JS_HasClass(KVObjectBase* object, const char* className);
// The object's "[[Prototype]]" (own), null at the chain's end.
KVObjectBase* JS_PrototypeOf(KVObjectBase* object);
