#pragma once
// The script object model as values meet it: conversions, comparisons, the
// global scope and the start-up, beside objects and their internal methods
// (JS_Object.h), calls (JS_Call.h) and exceptions (JS_Exception.h).
#include <cstdint>

#include "Code/JS_Call.h"
#include "Code/JS_Exception.h"
#include "Code/JS_Object.h"

struct ScriptValue;
class KVObjectBase;
class CInstance;

// Outcomes of the conversions and of calls.
enum JSStatus : int {
    JS_CONVERTED = 0,
    JS_FAILED = 1,
    JS_EXCEPTION_PENDING = 2,
};

// Conversions return a JSStatus; a failed one (JS_FAILED) leaves the
// TypeError to the caller. Objects convert through their primitive value
// (F_JS_ToPrimitive): hint VALUE_STRING asks toString first, the number kinds
// valueOf first, any other hint valueOf first except for Date objects.

// out becomes a number; returns the status.
int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value);
// out becomes a new string value.
int JS_ConvertToString(ScriptValue* out, const ScriptValue* value);
// out becomes a number holding the 32-bit integer (signed, unsigned) of the value.
int JS_ConvertToInt32(ScriptValue* out, const ScriptValue* value);
int JS_ConvertToUint32(ScriptValue* out, const ScriptValue* value);
// out becomes an object value for the value.
int F_JS_ToObject(ScriptValue* out, const ScriptValue* value);
// out becomes a primitive copy of the value.
int F_JS_ToPrimitive(ScriptValue* out, const ScriptValue* value, int hint);
// An object's primitive value: the first primitive its valueOf or toString gives.
int JS_Object_DefaultValue(KVObjectBase* object, ScriptValue* out, int hint);
bool JS_ToBoolean(const ScriptValue* value);
// The number truncated toward zero; NaN gives 0, the infinities stay.
double JS_ConvertToInteger(const ScriptValue* value);

// out (released first) becomes a new object of that class wrapping the
// primitive in "[[PrimitiveValue]]" (none when null), whose slot 0 holds an
// object naming it as its "constructor".
void JS_NewWrapperObject(ScriptValue* out, KVObjectBase* prototype, const char* className,
                         const ScriptValue* primitive);
// Boolean.prototype, null until the Boolean built-ins are made.
extern KVObjectBase* JS_BooleanPrototype;
void JS_Boolean_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// String objects: their constructor comes with the String built-ins.
void JS_String_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// Boolean and String called as functions, the global isNaN and isFinite.
void JS_Boolean_Call(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_String_Call(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_IsNaN(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_IsFinite(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
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
