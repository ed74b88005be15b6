#include <algorithm>
#include <cstdio>
#include <vector>

#include "Code/Code_Variable.h"
#include "Code/Code_ValueIndex.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "GameData/GameHeader.h"
#include "Interpreter/VM_Interpreter.h"
#include "Interpreter/VM_Variable.h"
#include "Variable/Code_VariableTarget.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"

namespace {
uint8_t* Malformed(VMFrame* f, uint8_t* sp)
{
    VM_RuntimeError(f, "Pop :: Execution Error - Instruction malformed");
    return sp;
}

// True when the boundary at b falls inside a whole value (between its two slots).
bool SplitsValue(VMFrame* f, const uint8_t* b)
{
    return b - 8 >= f->stack && VM_Tag(f, b - 8) == VMTAG_VALUE;
}

// Swaps the item of size bytes at sp with the n bytes beneath it, tags included.
void Exchange(VMFrame* f, uint8_t* sp, int32_t size, int32_t n)
{
    std::rotate(sp, sp + size, sp + size + n);
    uint8_t* tags = &VM_Tag(f, sp);
    std::rotate(tags, tags + size / 8, tags + (size + n) / 8);
}

// Takes the value to store off the stack by its type (the second type of the word).
bool TakeStoreValue(VMFrame* f, uint8_t** sp, int type, bool int64Kind, ScriptValue* out)
{
    const int32_t size = VM_ItemSize(type);
    if (!size || type == VMT_FLOAT || type == VMT_DEBUGSTRING) {
        VM_RuntimeError(f, "Pop :: Execution Engine");
        return false;
    }
    if (!VM_Has(f, *sp, size)) return false;
    switch (type) {
    case VMT_DOUBLE: *out = VM_Real(VM_Load<double>(*sp)); break;
    case VMT_INT: *out = VM_Real(VM_Load<int32_t>(*sp)); break;
    case VMT_LONG:
        *out = int64Kind ? VM_MakeValue(VALUE_INT64, VM_Load<int64_t>(*sp))
                         : VM_Real(static_cast<double>(VM_Load<int64_t>(*sp)));
        break;
    case VMT_BOOL: *out = VM_Bool(VM_Load<int32_t>(*sp) != 0); break;
    case VMT_VAR:
        if (!VM_TakeValue(f, *sp, out, "Pop")) return false;
        break;
    case VMT_STRING: {
        RefString* s = VM_StringAt(f, *sp, "Pop");
        if (f->stopped) return false;
        VM_Tag(f, *sp) = VMTAG_PLAIN;
        *out = s ? VM_StringValue(s) : ScriptValue_Undefined();
        break;
    }
    }
    // A number read from a slot that owned something (malformed code): that goes.
    if (type != VMT_VAR && type != VMT_STRING) VM_ReleaseRange(f, *sp, *sp + size);
    *sp += size;
    return true;
}

void ReleaseMember(VMMemberOperands* member)
{
    ScriptValue_SetUndefined(&member->object);
    ScriptValue_SetUndefined(&member->key);
}

bool StoreByScope(VMFrame* f, const VMVariableOperand& v, ScriptValue* value)
{
    switch (v.scope) {
    case -1:
    case -2: {
        CInstance* instance = v.scope == -1 ? f->self : f->other;
        return instance && Variable_SetValue(instance, v.id, v.index, value);
    }
    case -5: return Variable_SetGlobalValue(v.id, v.index, value);
    case -6:
    case -8:
        if (Variable_IsGlobalName(v.id)) return Variable_SetGlobalValue(v.id, v.index, value);
        return f->self && Variable_SetValue(f->self, v.id, v.index, value);
    case -7: {
        if (!f->locals) return true;
        ScriptValue* cell = VM_LocalSlot(f, v.id);
        if (cell) ScriptValue_SetIndexed(cell, value, v.index);
        return true;
    }
    default:
        if (v.scope >= 0) return Variable_SetByTarget(v.scope, v.id, v.index, value);
        VM_RuntimeError(f, "Pop :: Execution Error - Variable references invalid object (%d).%s", v.scope,
                        Variable_GetName(f->name, v.scope, v.id));
        return true;
    }
}
}  // namespace

VM_HANDLER(DoPop)
{
    const int first = VM_FirstType(word);
    const int second = VM_SecondType(word);
    if (first == VMT_ERROR) {
        const int32_t size = VM_ItemSize(second);
        const int32_t n = static_cast<int8_t>(word & 0xFF) * 4;
        if (n < 0 || (n & 7) || !VM_Has(f, sp, size + n)) return n < 0 || (n & 7) ? Malformed(f, sp) : sp;
        if (SplitsValue(f, sp + size) || SplitsValue(f, sp + size + n) ||
            (second == VMT_VAR && VM_Tag(f, sp) != VMTAG_VALUE))
            return Malformed(f, sp);
        Exchange(f, sp, size, n);
        return sp;
    }
    if (first != VMT_INT && first != VMT_VAR) return Malformed(f, sp);

    ScriptValue value = ScriptValue_Undefined();
    if (first == VMT_INT && !TakeStoreValue(f, &sp, second, false, &value)) return sp;
    VMVariableOperand v;
    if (!VM_DecodeVariable(f, word, operand, &sp, &v)) {
        if (value.MayOwn()) ScriptValue_FreePayload(&value);
        return sp;
    }
    if ((v.ref & VMREF_CLEAR_CONFIGURABLE) && first == VMT_INT && second == VMT_VAR)
        value.flags &= ~VALUE_FLAG_CONFIGURABLE;
    const bool objectScope = VM_IsObjectScope(v.scope);
    VMMemberOperands member;
    if (!VM_TakeMemberOperands(f, &sp, v, &member)) {
        if (value.MayOwn()) ScriptValue_FreePayload(&value);
        return sp;
    }
    int form = VMT_VAR;
    if (first == VMT_VAR) {
        if (second == VMT_DELETE || second == VMT_DECLARE) {
            if (!objectScope && !(v.scope == -7 && second == VMT_DELETE)) {
                VM_RuntimeError(f, "Pop :: Execution Engine");
                return sp;
            }
            form = second;
        } else if (!TakeStoreValue(f, &sp, second, true, &value)) {
            ReleaseMember(&member);
            return sp;
        }
    }
    if (ObjectMode && value.Kind() == VALUE_UNSET && form == VMT_VAR) {
        ReleaseMember(&member);
        char text[512];
        const char* name = Variable_GetName(f->name, v.scope, v.id);
        std::snprintf(text, sizeof text, "Attempting to set variable %s to an invalid value", name ? name : "");
        JS_RaiseReferenceError(text);
        return sp;
    }
    if (form == VMT_DELETE && v.scope == -7) {
        const ScriptValue* cell = f->locals ? VM_LocalSlot(f, v.id) : nullptr;
        return VM_PushValue(f, sp, VM_Bool(cell && cell->Kind() == VALUE_UNDEFINED));
    }
    if (objectScope) {
        bool stored = true;
        sp = VM_StoreObjectScope(f, sp, v, form, &member, &value, &stored);
        ReleaseMember(&member);
        if (!stored && !f->stopped && !VM_Exception.pending)
            VM_RuntimeError(f, "Pop :: Execution Error - Variable set failed %s - read only variable?",
                            Variable_GetName(f->name, v.scope, v.id));
        if (value.MayOwn()) ScriptValue_FreePayload(&value);
        return sp;
    }
    g_ArrayIndexFault.set = false;
    const bool ok = StoreByScope(f, v, &value);
    if (!f->stopped) {
        if (g_ArrayIndexFault.set) {
            const ArrayIndexFault& fault = g_ArrayIndexFault;
            VM_RuntimeError(f, "Pop :: Execution Error - Variable Index [%d,%d] out of range [%d,%d] - %d.%s(%d,%d)",
                            fault.row, fault.column, fault.rowCount, fault.rowLength, v.scope,
                            Variable_GetName(f->name, v.scope, v.id), v.id, v.index);
        } else if (!ok) {
            VM_RuntimeError(f, "Pop :: Execution Error - Variable set failed %s - read only variable?",
                            Variable_GetName(f->name, v.scope, v.id));
        }
    }
    if (value.MayOwn()) ScriptValue_FreePayload(&value);
    return sp;
}

VM_HANDLER(VM_PopLocalFast)
{
    // A whole value into a local of the slot array, neither owning anything:
    // the store is a copy of the value's bytes.
    if (word & 0x40000000u) {
        const uint32_t ref = VM_Load<uint32_t>(operand);
        const int32_t slot = static_cast<int32_t>(ref & VMREF_ID_MASK) - VARIABLE_ID_BASE;
        KVObjectBase* locals = f->locals;
        if ((ref & VMREF_NO_INDEX) && (ref & VMREF_SCOPE_IN_WORD) && VM_Floor(f) - sp >= 16 &&
            VM_Tag(f, sp) == VMTAG_VALUE && locals && locals->m_slots && slot >= 0 && slot < locals->m_slotCount) {
            ScriptValue* cell = &locals->m_slots[slot];
            if (!reinterpret_cast<const ScriptValue*>(sp)->MayOwn() && !cell->MayOwn()) {
                std::memcpy(cell, sp, 16);
                VM_Tag(f, sp) = VMTAG_PLAIN;
                return sp + 16;
            }
        }
    }
    VMVariableOperand v;
    if (!VM_DecodeVariable(f, word, operand, &sp, &v)) return sp;
    ScriptValue value;
    if (!VM_Has(f, sp, 16) || !VM_TakeValue(f, sp, &value, "Pop")) return sp;
    sp += 16;
    if (f->locals) {
        if (ScriptValue* cell = VM_LocalSlot(f, v.id)) ScriptValue_SetIndexed(cell, &value, v.index);
    }
    if (value.MayOwn()) ScriptValue_FreePayload(&value);
    return sp;
}

VM_HANDLER(DoDup)
{
    (void)operand;
    const int type = VM_FirstType(word);
    if ((word >> 8) & 0xFF) {
        if (type == VMT_VAR) {
            const int32_t a = static_cast<int32_t>((word >> 4) & 0xF) * 16;
            const int32_t b = static_cast<int32_t>(word & 0xF) * 16;
            if (!VM_Has(f, sp, a + b)) return sp;
            for (int32_t at = 0; at < a + b; at += 16)
                if (VM_Tag(f, sp + at) != VMTAG_VALUE) return Malformed(f, sp);
            Exchange(f, sp, a, b);
        } else if (type <= VMT_STRING) {
            VM_RuntimeError(f, "Argument type %d currently unhandled by DoDup swap mode", type);
        }
        return sp;
    }
    const int32_t itemSize = type <= VMT_STRING ? VM_ItemSize(type) : 0;
    if (!itemSize) return sp;
    const int32_t size = itemSize * (static_cast<int32_t>(word & 0xFF) + 1);
    if (!VM_Has(f, sp, size)) return sp;
    uint8_t* to = sp - size;
    for (int32_t at = 0; at < size; at += itemSize) {
        uint8_t* src = sp + at;
        if (type == VMT_VAR) {
            const ScriptValue* value = VM_ValueAt(f, src, "DoDup");
            if (f->stopped) return sp;
            VM_PlaceValue(f, to + at, ScriptValue_Undefined());
            reinterpret_cast<ScriptValue*>(to + at)->Assign(*value);
            continue;
        }
        std::memcpy(to + at, src, 8);
        const bool isString = VM_Tag(f, src) == VMTAG_STRING;
        VM_Tag(f, to + at) = isString ? VMTAG_STRING : VMTAG_PLAIN;
        if (isString)
            if (auto* s = VM_Load<RefString*>(src)) ++s->count;
    }
    return to;
}

VM_HANDLER(DoPopNull)
{
    (void)operand;
    if ((word >> 24) == VMO_BREAK) return VM_BreakService(word, sp, f, true);
    const int type = VM_FirstType(word);
    if (type == VMT_VAR) {
        if (!VM_Has(f, sp, 16)) return sp;
        ScriptValue* value = VM_ValueAt(f, sp, "DoPopNull");
        if (f->stopped) return sp;
        // The throw goes on to the handler once the value is dropped.
        if (ObjectMode && value->Kind() == VALUE_UNSET) JS_RaiseReferenceError("DoPopNull : Could not find variable");
    } else if (type == VMT_STRING || type == VMT_DEBUGSTRING) {
        if (!VM_Has(f, sp, 8)) return sp;
        VM_StringAt(f, sp, "DoPopNull");
        if (f->stopped) return sp;
    }
    return type <= VMT_DEBUGSTRING ? VM_DropItem(f, sp, type) : sp;
}
