#pragma once
// The built-in variables: registration of all of them in their fixed order
// (the order is each variable's id), and the conversions their setters apply
// to incoming values.
#include <cstddef>
#include <cstdint>

#include "Code/Code_Variable.h"

class CInstance;
class KVObjectBase;
struct ScriptValue;

// Empties the table, then registers the instance group, the global group and
// the platform variables, in that order.
void Variable_BuiltIn_Init();
// The instance group (ids 0 to 85).
void Variable_BuiltIn_InitMore();
// Object mode: adds every registered variable that belongs to the game as a
// whole (globalNames) or to an instance (!globalNames) to the object as an
// accessor property.
void Variable_BuiltIn_AddAccessors(KVObjectBase* object, bool globalNames);

constexpr int32_t BUILTIN_ID_FIRST_GLOBAL = 86;
constexpr int32_t BUILTIN_ID_FIRST_PLATFORM = 203;
constexpr int32_t BUILTIN_VARIABLE_TOTAL = 209;

// A family of built-in variables lists its names with their getter and
// setter (null: read-only); the registration looks each name up.
struct BuiltinAccessors {
    const char* name;
    BuiltinGetter getter;
    BuiltinSetter setter;
};
// The entry of name in table (count entries); false when it has none.
bool Variable_FindAccessors(const BuiltinAccessors* table, size_t count, const char* name, BuiltinGetter* getter,
                            BuiltinSetter* setter);
template <size_t N>
bool Variable_FindAccessors(const BuiltinAccessors (&table)[N], const char* name, BuiltinGetter* getter,
                            BuiltinSetter* setter)
{
    return Variable_FindAccessors(table, N, name, getter, setter);
}

// Getters: out becomes the real; true.
bool BuiltIn_Real(ScriptValue* out, double value);
// The getter of a variable kept as a number at Value.
template <auto* Value>
bool BuiltIn_GetNumber(CInstance*, int32_t, ScriptValue* out)
{
    return BuiltIn_Real(out, static_cast<double>(*Value));
}

// Setter conversions.
double BuiltIn_ToReal(ScriptValue* value);
float BuiltIn_ToSingle(ScriptValue* value);
// The single rounded to the nearest integer, ties to even.
int32_t BuiltIn_ToRoundedSingleInt(ScriptValue* value);
// The real truncated toward zero.
int32_t BuiltIn_ToTruncatedInt(ScriptValue* value);
// True when the real is above 0.5 (rounds to 1 or more).
bool BuiltIn_ToRoomFlag(ScriptValue* value);
// True when the single's magnitude is above 0.5 (rounds to non-zero).
bool BuiltIn_ToInstanceFlag(ScriptValue* value);
