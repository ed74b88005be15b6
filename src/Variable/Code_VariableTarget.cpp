#include "Variable/Code_VariableTarget.h"

#include <initializer_list>

#include "Base/ErrorReport.h"
#include "Code/Code_ValueIndex.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"
#include "World/Event_Main.h"
#include "World/Object_Main.h"
#include "World/TimeLine_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

bool TargetMissingFlag = false;

namespace {
constexpr uint32_t kFlagsNewGlobal = VALUE_FLAG_ENUMERABLE | VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
// Object parents form a tree; a longer chain is a cycle in bad game data.
constexpr int kMaxAncestry = 10000;

bool Counts(const CInstance* instance)
{
    return instance && !instance->m_marked && !instance->m_deactivated;
}

bool DescendsFrom(const CInstance* instance, int32_t objectIndex)
{
    int steps = 0;
    for (const CGameObject* o = instance->m_object; o && steps < kMaxAncestry; o = o->parentObject, ++steps)
        if (o->index == objectIndex) return true;
    return false;
}

// Visits every instance that counts for an object index: its all-instances
// list, then the queued object and activation changes of its descendants.
// visit returns false to stop.
template <typename Visit>
void ForObjectInstances(int32_t objectIndex, Visit visit)
{
    if (const CGameObject* object = Object_Get(objectIndex)) {
        for (auto* node = object->allInstances.first; node; node = node->next)
            if (Counts(node->item) && !visit(node->item)) return;
    }
    for (const List<CInstance*>* queue : {&ObjectChangeQueue, &ActivationQueue}) {
        for (int32_t i = 0; i < queue->count; ++i) {
            CInstance* instance = queue->items[i];
            if (Counts(instance) && DescendsFrom(instance, objectIndex) && !visit(instance)) return;
        }
    }
}

CInstance* FirstActive()
{
    if (!Run_Room) return nullptr;
    for (CInstance* i = Run_Room->activeInstances.first; i; i = i->m_next)
        if (Counts(i)) return i;
    return nullptr;
}

// The instance of an id, unless it is marked for destruction.
CInstance* LiveInstance(int32_t id)
{
    CInstance* instance = Instance_Find(id);
    return instance && !instance->m_marked ? instance : nullptr;
}

const char* ObjectName(int32_t index)
{
    const CGameObject* object = Object_Get(index);
    return object && object->name ? object->name : "(null)";
}

// Where a scoped variable lives: the first scope object whose slot or named
// property holds a set value.
struct ScopedCell {
    KVObjectBase* owner;
    ScriptValue* cell;
    CVariableListNode* node;
};

ScopedCell FindScoped(int32_t id, const char* name)
{
    const int32_t slot = id - VARIABLE_ID_BASE;
    for (KVObjectBase* scope = GlobalScopeObject; scope; scope = scope->m_parentScope) {
        if (scope->m_slotCount > 0 && slot >= 0 && slot < scope->m_slotCount) {
            ScriptValue* cell = scope->SlotAt(slot);
            if (cell && cell->Kind() != VALUE_UNSET) return {scope, cell, nullptr};
        } else if (scope->m_properties) {
            CVariableListNode* node = scope->m_properties->Find(name);
            if (node && node->value.Kind() != VALUE_UNSET) return {scope, &node->value, node};
        }
    }
    return {nullptr, nullptr, nullptr};
}
}  // namespace

bool Variable_GetByTarget(int32_t target, int32_t id, int32_t arrayIndex, ScriptValue* out)
{
    TargetMissingFlag = false;
    CInstance* found = nullptr;
    if (target == TARGET_ALL) {
        found = FirstActive();
    } else if (target >= VARIABLE_ID_BASE) {
        found = LiveInstance(target);
    } else if (target >= 0) {
        ForObjectInstances(target, [&found](CInstance* instance) {
            found = instance;
            return false;
        });
    }
    if (!found) {
        TargetMissingFlag = true;
        return false;
    }
    return Variable_GetValue(found, id, arrayIndex, out);
}

bool Variable_SetByTarget(int32_t target, int32_t id, int32_t arrayIndex, ScriptValue* value)
{
    bool result = false;
    int written = 0;
    if (target == TARGET_ALL) {
        for (CInstance* i = Run_Room ? Run_Room->activeInstances.first : nullptr; i; i = i->m_next) {
            if (!Counts(i)) continue;
            result = Variable_SetValue(i, id, arrayIndex, value);
            ++written;
        }
        if (written == 0) FatalRuntimeError("Unable to find any instance for object index '%d'", target);
        return written > 0 && result;
    }
    if (target < 0) return false;
    if (target >= VARIABLE_ID_BASE) {
        if (CInstance* instance = LiveInstance(target)) return Variable_SetValue(instance, id, arrayIndex, value);
        FatalRuntimeError("Unable to find any instance for object index '%d'", target);
        return false;
    }
    ForObjectInstances(target, [&](CInstance* instance) {
        result = Variable_SetValue(instance, id, arrayIndex, value);
        ++written;
        return true;
    });
    if (written == 0) {
        FatalRuntimeError("Unable to find any instance for object index '%d' name '%s'", target, ObjectName(target));
        return false;
    }
    return result;
}

const char* Variable_TargetName(int32_t target)
{
    if (target == TARGET_ALL) {
        if (CInstance* first = FirstActive()) return Object_NameOf(first->object_index);
        TargetMissingFlag = true;
        return "<unknown_object>";
    }
    if (target >= 0 && target < VARIABLE_ID_BASE) return Object_NameOf(target);
    if (target >= VARIABLE_ID_BASE) {
        if (CInstance* instance = LiveInstance(target)) return Object_NameOf(instance->object_index);
    }
    return "<unknown_object>";
}

bool Variable_GetScoped(int32_t id, int32_t arrayIndex, ScriptValue* out)
{
    const char* name = Variable_GetName(nullptr, -11, id);
    const int32_t slot = id - VARIABLE_ID_BASE;
    ScriptValue_SetUndefined(out);
    out->kind = VALUE_UNSET;
    KVObjectBase* stoppedAt = nullptr;
    for (KVObjectBase* scope = GlobalScopeObject; scope && !stoppedAt; scope = scope->m_parentScope) {
        if (scope->m_slotCount > 0 && slot >= 0 && slot < scope->m_slotCount) {
            ScriptValue* cell = scope->SlotAt(slot);
            if (cell) ScriptValue_GetIndexed(out, cell, arrayIndex);
        } else if (scope->m_properties) {
            if (const CVariableListNode* node = scope->m_properties->Find(name)) out->Assign(node->value);
        }
        if (out->Kind() != VALUE_UNSET) stoppedAt = scope;
    }
    if (stoppedAt && JS_IsAccessorValue(out)) {
        const ScriptValue pair = *out;
        JS_CallGetter(stoppedAt, out, &pair);
    }
    if (!stoppedAt && Variable_BuiltinAsObject(name, out)) return true;
    return stoppedAt != nullptr;
}

void Variable_SetScoped(int32_t id, int32_t arrayIndex, ScriptValue* value)
{
    const char* name = Variable_GetName(nullptr, -11, id);
    ScopedCell found = FindScoped(id, name);
    if (!found.cell) {
        KVObjectBase* first = GlobalScopeObject;
        if (!first) return;
        const int32_t slot = id - VARIABLE_ID_BASE;
        if (first->m_slotCount == 0 || slot < 0 || slot >= first->m_slotCount) {
            if (first->m_properties) first->m_properties->SetById(id, arrayIndex, value);
            return;
        }
        found = {first, first->SlotAt(slot), nullptr};
        if (!found.cell) return;
    }
    if (JS_IsAccessorValue(found.cell)) {
        JS_CallSetter(found.owner, value, found.cell);
        return;
    }
    const uint32_t flags = found.cell->Kind() == VALUE_UNSET ? kFlagsNewGlobal : found.cell->flags;
    ScriptValue_SetIndexed(found.cell, value, arrayIndex);
    found.cell->flags = flags;
}

bool Variable_DeleteScoped(int32_t id, int32_t arrayIndex)
{
    const char* name = Variable_GetName(nullptr, -11, id);
    const ScopedCell found = FindScoped(id, name);
    if (!found.cell) return true;
    if ((found.cell->flags & VALUE_FLAG_CONFIGURABLE) == 0) return false;
    if (found.node) {
        found.owner->m_properties->Remove(found.node);  // releases the node
        return true;
    }
    ScriptValue unset = ScriptValue_Undefined();
    unset.kind = VALUE_UNSET;
    ScriptValue_SetIndexed(found.cell, &unset, arrayIndex);
    return true;
}
