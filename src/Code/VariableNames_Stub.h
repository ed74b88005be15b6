#pragma once
// STAND-IN for the variable-name tables and the built-in variable table until
// the variables module exists: a flat list of declared names (id = 100000 +
// index), empty global and instance tables and no built-in variables.
#include <cstdint>

class KVObjectBase;
class CInstance;
struct ScriptValue;

// 100000 + the name's index in the flat list, the name appended when absent.
int32_t Variable_FindOrAddName(const char* name);
// 100000 + index in the flat list, -1 when the name is not declared.
int32_t Variable_FindId(const char* name);
// The name of a variable id for messages and saved games.
const char* Variable_GetName(const char* codeName, int32_t scope, int32_t id);
// Slot of the name in the global (instance) variable table, -1 when absent.
int32_t Variable_FindGlobal(const char* name);
int32_t Variable_FindInstance(const char* name);
// The object that holds the global variables; null before the game loads.
KVObjectBase* Variable_GlobalObject();
// The number of instance variables the game declares (one slot each).
int32_t Variable_InstanceCount();

using BuiltinGetter = bool (*)(CInstance* self, int32_t arrayIndex, ScriptValue* out);
using BuiltinSetter = bool (*)(CInstance* self, int32_t arrayIndex, ScriptValue* value);
struct BuiltinVariable {
    char* name;
    BuiltinGetter getter;
    BuiltinSetter setter;
    bool canSet;
};
int32_t Variable_BuiltIn_Count();
const BuiltinVariable* Variable_BuiltIn_At(int32_t id);
bool Variable_IsGlobalBuiltInName(const char* name);
