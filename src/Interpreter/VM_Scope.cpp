#include <cstdio>

#include "Code/Code_ValueIndex.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"
#include "Interpreter/VM_Variable.h"
#include "Variable/Code_VariableTarget.h"

namespace {
const char* NameOf(VMFrame* f, const VMVariableOperand& v)
{
    const char* name = Variable_GetName(f->name, v.scope, v.id);
    return name ? name : "<unknown>";
}

bool IsObjectValue(const ScriptValue& v) { return (v.Kind() == VALUE_OBJECT || v.Kind() == VALUE_PTR) && v.obj; }

// The object a member access goes to; null after a throw.
KVObjectBase* ResolveObject(VMFrame* f, const VMVariableOperand& v, const ScriptValue& value)
{
    if (IsObjectValue(value)) return value.obj;
    if (value.Kind() == VALUE_UNSET) {
        char text[512];
        std::snprintf(text, sizeof text, "Variable %s.%s(%d, %d) cannot be resolved.", VM_ScopeName(f, v.scope),
                      NameOf(f, v), v.id, v.index);
        JS_RaiseReferenceError(text);
        return nullptr;
    }
    ScriptValue object = ScriptValue_Undefined();
    if (value.Kind() == VALUE_UNDEFINED || F_JS_ToObject(&object, &value) != JS_CONVERTED || !IsObjectValue(object)) {
        if (!VM_Exception.pending) JS_RaiseTypeError("unable to convert to object");
        return nullptr;
    }
    return object.obj;
}

// The scope object depth levels out from the call's locals, or null.
KVObjectBase* ScopeAt(VMFrame* f, int32_t depth)
{
    KVObjectBase* scope = f->locals;
    while (scope && depth-- > 0) scope = scope->m_parentScope;
    return scope;
}

ScriptValue* SlotOf(KVObjectBase* object, int32_t slot)
{
    return object && slot >= 0 && slot < object->m_slotCount ? object->SlotAt(slot) : nullptr;
}

// Scope -13: in the scope object depth (id bits 8-15) out, its arguments
// object (slot 0), the object in that one's slot 1, and there slot id bits 0-7.
ScriptValue* ArgumentCell(VMFrame* f, int32_t id)
{
    const ScriptValue* arguments = SlotOf(ScopeAt(f, (id >> 8) & 0xFF), 0);
    if (!arguments || arguments->Kind() != VALUE_OBJECT) return nullptr;
    const ScriptValue* held = SlotOf(arguments->obj, 1);
    if (!held || held->Kind() != VALUE_OBJECT) return nullptr;
    return SlotOf(held->obj, id & 0xFF);
}

uint8_t* PushBool(VMFrame* f, uint8_t* sp, bool b) { return VM_PushValue(f, sp, VM_Bool(b)); }
}  // namespace

bool VM_ReadScopeChain(VMFrame* f, const VMVariableOperand& v, ScriptValue* result)
{
    switch (v.scope) {
    case -11: return Variable_GetScoped(v.id, v.index, result);
    case -12:
        for (KVObjectBase* scope = f->locals; scope; scope = scope->m_parentScope) {
            ScriptValue* cell = SlotOf(scope, v.id - VARIABLE_ID_BASE);
            if (cell && cell->Kind() != VALUE_UNSET) return ScriptValue_GetIndexed(result, cell, v.index);
            if (scope->m_properties && scope->m_properties->HasId(v.id))
                return scope->m_properties->GetById(v.id, v.index, result);
        }
        return false;
    default: {
        const ScriptValue* cell = ArgumentCell(f, v.id);
        if (!cell) return false;
        result->Assign(*cell);
        return true;
    }
    }
}

uint8_t* VM_PushMember(VMFrame* f, uint8_t* sp, const VMVariableOperand& v)
{
    const int32_t size = v.scope == -9 ? 16 : 32;
    if (!VM_Has(f, sp, size)) return sp;
    ScriptValue object, key = ScriptValue_Undefined();
    if (!VM_TakeValue(f, sp, &object, "Push")) return sp;
    if (v.scope == -10 && !VM_TakeValue(f, sp + 16, &key, "Push")) {
        ScriptValue_SetUndefined(&object);
        return sp;
    }
    uint8_t* slot = sp + size - 16;
    ScriptValue result = VM_MakeValue(VALUE_UNSET, 0);
    if (KVObjectBase* target = ResolveObject(f, v, object)) {
        if (v.scope == -9) {
            JS_Object_Get(target, &result, NameOf(f, v));
        } else {
            ScriptValue resolved = object;
            resolved.obj = target;
            if (!IsObjectValue(object)) resolved.kind = VALUE_OBJECT;
            JS_Object_GetByKey(&resolved, &key, &result);
        }
    }
    ScriptValue_SetUndefined(&object);
    ScriptValue_SetUndefined(&key);
    if (VM_Exception.pending) {
        ScriptValue_SetUndefined(&result);
        return slot + 16;
    }
    if (result.Kind() == VALUE_UNSET) result = ScriptValue_Undefined();
    VM_PlaceValue(f, slot, result);
    return slot;
}

bool VM_TakeMemberOperands(VMFrame* f, uint8_t** sp, const VMVariableOperand& v, VMMemberOperands* out)
{
    out->object = out->key = ScriptValue_Undefined();
    if (v.scope != -9 && v.scope != -10) return true;
    const int32_t size = v.scope == -9 ? 16 : 32;
    if (!VM_Has(f, *sp, size) || !VM_TakeValue(f, *sp, &out->object, "Pop")) return false;
    if (v.scope == -10 && !VM_TakeValue(f, *sp + 16, &out->key, "Pop")) {
        ScriptValue_SetUndefined(&out->object);
        return false;
    }
    *sp += size;
    return true;
}

uint8_t* VM_StoreObjectScope(VMFrame* f, uint8_t* sp, const VMVariableOperand& v, int form,
                             VMMemberOperands* member, ScriptValue* value, bool* stored)
{
    *stored = true;
    const bool erase = form == VMT_DELETE;
    if (v.scope == -9 || v.scope == -10) {
        const ScriptValue& object = member->object;
        if (erase && object.Kind() == VALUE_UNSET) {
            JS_RaiseReferenceError("Cannot find variable to delete");
            return sp;
        }
        if (!IsObjectValue(object)) return erase ? VM_PushValue(f, sp, VM_Real(0.0)) : sp;
        ScriptValue text = ScriptValue_Undefined();
        const char* name = NameOf(f, v);
        if (v.scope == -10) {
            if (JS_ConvertToString(&text, &member->key) != JS_CONVERTED) {
                if (!VM_Exception.pending) JS_RaiseTypeError("could not convert array-style access key to a string");
                return sp;
            }
            name = ScriptValue_StringText(&text);
        }
        if (erase) sp = PushBool(f, sp, JS_Object_Delete(object.obj, name ? name : ""));
        else JS_Object_Put(object.obj, value, name ? name : "", false);
        ScriptValue_SetUndefined(&text);
        return sp;
    }
    switch (v.scope) {
    case -11:
        if (erase) return PushBool(f, sp, Variable_DeleteScoped(v.id, v.index));
        Variable_SetScoped(v.id, v.index, value);
        return sp;
    case -12: {
        const int32_t slot = v.id - VARIABLE_ID_BASE;
        if (form == VMT_DECLARE) {
            if (v.id == VARIABLE_ID_BASE || !f->locals) return sp;
            ScriptValue undefined = ScriptValue_Undefined();
            if (!f->locals->m_slots && f->locals->m_properties) f->locals->m_properties->SetById(v.id, v.index, &undefined);
            else if (ScriptValue* cell = SlotOf(f->locals, slot)) ScriptValue_SetUndefined(cell);
            return sp;
        }
        for (KVObjectBase* scope = f->locals; scope; scope = scope->m_parentScope) {
            ScriptValue* cell = SlotOf(scope, slot);
            if (cell && cell->Kind() != VALUE_UNSET) {
                if (!erase) {
                    ScriptValue_SetIndexed(cell, value, v.index);
                    return sp;
                }
                const bool configurable = cell->flags & VALUE_FLAG_CONFIGURABLE;
                if (configurable) ScriptValue_SetUndefined(cell);
                return PushBool(f, sp, configurable);
            }
            if (scope->m_properties && scope->m_properties->HasId(v.id)) {
                if (erase) return PushBool(f, sp, false);
                *stored = scope->m_properties->SetById(v.id, v.index, value);
                return sp;
            }
        }
        if (erase) return PushBool(f, sp, false);
        *stored = false;
        return sp;
    }
    default: {
        if (erase) return PushBool(f, sp, false);
        ScriptValue* cell = ArgumentCell(f, v.id);
        if (!cell) {
            VM_RuntimeError(f, "Unable to find any instance for argument scope '%d / %d'", v.id & 0xFF,
                            (v.id >> 8) & 0xFF);
            return sp;
        }
        cell->Assign(*value);
        return sp;
    }
    }
}
