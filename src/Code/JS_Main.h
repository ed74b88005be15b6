#pragma once
// The script object model as values meet it: conversions, comparisons, the
// global scope and the start-up, beside objects and their internal methods
// (JS_Object.h), calls (JS_Call.h) and exceptions (JS_Exception.h).
// Conversions of objects to primitives need their valueOf and toString, which
// the conversions do not call yet: such a conversion fails.
#include <cstdint>

#include "Code/JS_Call.h"
#include "Code/JS_Exception.h"
#include "Code/JS_Object.h"

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
// out becomes a bool value (x == y).
int JS_AbstractEqualityCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y);
bool JS_StrictEqualityCompare(const ScriptValue* x, const ScriptValue* y);
// out becomes a bool value (x < y), or undefined when either is NaN; leftFirst
// says which operand converts first.
int JS_AbstractRelationalCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y, bool leftFirst);

// Object mode: the head of the chain of scope objects (set when the game data
// is read); null otherwise.
extern KVObjectBase* GlobalScopeObject;

// Start-up of the object model: its built-in objects and the resource object.
void JS_InitBuiltInObjects();
void JS_CreateResourceObject();
