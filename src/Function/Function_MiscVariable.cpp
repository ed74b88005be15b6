// Variables reached by name at run time. A name is tried as a built-in
// variable first, then as a variable the game's code names (a slot of the
// global or instance name table), then, in object mode, as a named property.
// A variable exists once it holds any value, undefined included; reads of a
// variable that was never set give undefined.
#include <vector>

#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"
#include "Function/Function_MiscRoutines.h"
#include "GameData/GameHeader.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/WithIterator.h"

namespace {
// The id name has on object: its built-in id, else 100000 + its slot; -1 when neither.
int32_t FindId(KVObjectBase* object, const char* name)
{
    const int32_t builtin = Variable_BuiltIn_Find(name);
    if (builtin >= 0) return builtin;
    const int32_t slot = Variable_FindSlot(object, name);
    return slot >= 0 ? VARIABLE_ID_BASE + slot : -1;
}

// The id name is written under on object, naming a new slot when it has none; -1 when out of memory.
int32_t FindOrAddId(KVObjectBase* object, const char* name)
{
    const int32_t builtin = Variable_BuiltIn_Find(name);
    if (builtin >= 0) return builtin;
    const int32_t slot = Variable_FindOrAddSlot(object, name);
    return slot >= 0 ? VARIABLE_ID_BASE + slot : -1;
}

bool IsSet(CInstance* self, int32_t id)
{
    ScriptValue value = ScriptValue_Undefined();
    value.kind = VALUE_UNSET;
    const bool set = Variable_GetValue(self, id, ARRAY_INDEX_NONE, &value) && value.Kind() != VALUE_UNSET;
    ScriptValue_SetUndefined(&value);
    return set;
}

bool HasProperty(const KVObjectBase* object, const char* name)
{
    return ObjectMode && object->m_properties && object->m_properties->Find(name);
}

void UndefinedWhenUnset(ScriptValue* result)
{
    if (result->Kind() == VALUE_UNSET) ScriptValue_SetUndefined(result);
}

CInstance* FindInstance(ScriptValue* args)
{
    return Instance_Find(Arg_Int32(args, 0));
}

void SetBool(ScriptValue* result, bool b)
{
    ScriptValue_SetReal(result, b ? 1.0 : 0.0);
    result->kind = VALUE_BOOL;
}

// The names of the instance's variables that hold a value: the named
// properties first, then the slots in table order.
std::vector<const char*> SetNames(CInstance* instance)
{
    std::vector<const char*> names;
    if (const CVariableList* properties = instance->m_properties) {
        for (CVariableList::Iterator it = properties->IterBegin(); it.node; it.Next()) {
            const CVariableListNode* node = it.node;
            if (node->value.Kind() == VALUE_UNSET) continue;
            if (node->key.Kind() == VALUE_INT32)
                names.push_back(Variable_GetName(nullptr, -1, node->key.i32));
            else if (node->key.Kind() == VALUE_STRING)
                names.push_back(ScriptValue_StringText(&node->key));
        }
    }
    auto slot = [&](int32_t n, const ScriptValue& cell) {
        if (cell.Kind() != VALUE_UNSET) names.push_back(Variable_GetName(nullptr, -1, VARIABLE_ID_BASE + n));
    };
    if (instance->m_slots) {
        for (int32_t n = 0; n < instance->m_slotCount; ++n) slot(n, instance->m_slots[n]);
    } else if (const SlotHash* hash = instance->m_slotHash) {
        for (int32_t i = 0; i < hash->capacity; ++i)
            if (hash->entries[i].hash != 0) slot(hash->entries[i].slot, *hash->entries[i].cell);
    }
    return names;
}
}  // namespace

QS_MISC_ROUTINE(F_VariableGlobalExists)
{
    const char* name = Arg_String(args, 0);
    KVObjectBase* global = Variable_GlobalObject();
    bool exists = false;
    if (name && global) {
        const int32_t id = FindId(global, name);
        exists = id >= 0 ? IsSet(Variable_GlobalInstance(), id) : HasProperty(global, name);
    }
    SetBool(result, exists);
}

QS_MISC_ROUTINE(F_VariableGlobalGet)
{
    const char* name = Arg_String(args, 0);
    ScriptValue_SetUndefined(result);
    KVObjectBase* global = Variable_GlobalObject();
    if (!name || !global) return;
    const int32_t id = FindId(global, name);
    if (id < 0) return;
    if (id < VARIABLE_BUILTIN_LIMIT)
        Variable_GetValue(Variable_GlobalInstance(), id, ARRAY_INDEX_NONE, result);
    else
        Variable_GetGlobalValue(id, ARRAY_INDEX_NONE, result);
    UndefinedWhenUnset(result);
}

QS_MISC_ROUTINE(F_VariableGlobalSet)
{
    const char* name = Arg_String(args, 0);
    KVObjectBase* global = Variable_GlobalObject();
    if (!name || !global) return;
    const int32_t id = FindOrAddId(global, name);
    if (id < 0) return;
    if (id < VARIABLE_BUILTIN_LIMIT)
        Variable_SetValue(Variable_GlobalInstance(), id, ARRAY_INDEX_NONE, &args[1]);
    else
        Variable_SetGlobalValue(id, ARRAY_INDEX_NONE, &args[1]);
}

QS_MISC_ROUTINE(F_VariableInstanceExists)
{
    const int32_t target = Arg_Int32(args, 0);
    const char* name = Arg_String(args, 1);
    bool exists = false;
    WithIterator it;
    it.Init(target, self, other, false);
    for (CInstance* instance; name && !exists && (instance = it.Current()); it.Advance()) {
        if (instance->m_marked || instance->m_deactivated) continue;
        const int32_t id = FindId(instance, name);
        exists = id >= 0 ? IsSet(instance, id) : HasProperty(instance, name);
    }
    SetBool(result, exists);
}

QS_MISC_ROUTINE(F_VariableInstanceGet)
{
    CInstance* instance = FindInstance(args);
    const char* name = Arg_String(args, 1);
    ScriptValue_SetUndefined(result);
    if (!instance || !name) return;
    const int32_t id = FindId(instance, name);
    if (id >= 0) {
        Variable_GetValue(instance, id, ARRAY_INDEX_NONE, result);
    } else if (HasProperty(instance, name)) {
        result->Assign(instance->m_properties->Find(name)->value);
    }
    UndefinedWhenUnset(result);
}

QS_MISC_ROUTINE(F_VariableInstanceSet)
{
    CInstance* instance = FindInstance(args);
    const char* name = Arg_String(args, 1);
    if (!instance || !name) return;
    const int32_t id = FindOrAddId(instance, name);
    if (id >= 0) Variable_SetValue(instance, id, ARRAY_INDEX_NONE, &args[2]);
}

// Built-in variables are never listed.
QS_MISC_ROUTINE(F_VariableInstanceGetNames)
{
    CInstance* instance = FindInstance(args);
    ScriptValue_SetUndefined(result);
    RefArray* array = RefArray_New(result);
    if (!array) return;
    result->arr = array;
    result->kind = VALUE_ARRAY;
    if (!instance) return;
    const std::vector<const char*> names = SetNames(instance);
    if (names.empty()) return;
    const int32_t n = static_cast<int32_t>(names.size());
    // One row filled directly: an index-encoded write would wrap past 32000 columns.
    if (!RefArray_EnsureRow(array, 0, "Function_Misc") || !RefArray_EnsureColumn(array, 0, n - 1, "Function_Misc"))
        return;
    for (int32_t k = 0; k < n; ++k) ScriptValue_SetString(&array->rows[0].elements[k], names[static_cast<size_t>(k)]);
}
