#pragma once
// Array objects of the object model: elements live in an element store (the
// array's slot 1, an object whose slots are the elements: its slot count the
// length, cells never written holes), "length" is an accessor, and the
// constructor with Array.isArray. Array.prototype's methods come with the
// Array methods.
//
// The store is dense and bounded: a length or index at or above
// JS_ARRAY_MAX_ELEMENTS, or a store that cannot be allocated, raises
// RangeError "Array length too large" instead of taking the memory at once.
#include <cstdint>

#include "Code/Code_Function.h"

struct ScriptValue;
class KVObjectBase;
class CInstance;

constexpr uint32_t JS_ARRAY_MAX_ELEMENTS = 1u << 26;

// Array.prototype, null until JS_InitArrayBuiltins ran.
extern KVObjectBase* JS_ArrayPrototype;

// out (released first) becomes a new Array of count holes (argc is the count).
void JS_NewArrayObject(ScriptValue* out, CInstance* self, CInstance* other, int count, ScriptValue* args);
void JS_Array_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Array_IsArray(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// The "length" accessor's routines.
void JS_Array_GetLength(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Array_SetLength(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// Internal methods: index names (decimal digits; "" is index 0) reach the
// element store, other names the ordinary routines.
void JS_Array_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name);
int JS_Array_DefineOwnProperty(KVObjectBase* object, const char* name, const ScriptValue* desc, bool throwOnReject);
int JS_Array_Put(KVObjectBase* object, const ScriptValue* value, const char* name);
// The store takes a copy of value at index (flags 6), growing by half again,
// the cells between the old length and index becoming undefined. False (and
// RangeError raised) beyond the bound.
bool JS_ArrayStore_Set(KVObjectBase* store, uint32_t index, const ScriptValue* value);
// Array.prototype and the Array constructor, named "Array" on the global object.
void JS_InitArrayBuiltins();
