#include "Code/Code_Variable.h"
#include "Code/Code_ValueIndex.h"
#include "Code/ObjectBase.h"
#include "GameData/GameHeader.h"
#include "Interpreter/VM_Variable.h"
#include "Variable/Code_VariableTarget.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"

namespace {
bool HasOperand(uint32_t word, int bytes)
{
    return (word & 0x40000000u) && VM_OperandSize(VM_FirstType(word)) >= bytes;
}

uint8_t* Malformed(VMFrame* f, uint8_t* sp, const char* what)
{
    VM_RuntimeError(f, "%s :: Execution Error - Instruction malformed", what);
    return sp;
}

const char* NameOf(VMFrame* f, int32_t scope, int32_t id)
{
    const char* name = Variable_GetName(f->name, scope, id);
    return name ? name : "<unknown>";
}

// Reads the variable into result by scope; whether it was found.
bool ReadByScope(VMFrame* f, const VMVariableOperand& v, ScriptValue* result)
{
    switch (v.scope) {
    case -1:
    case -2: {
        CInstance* instance = v.scope == -1 ? f->self : f->other;
        return instance && Variable_GetValue(instance, v.id, v.index, result);
    }
    case -4: TargetMissingFlag = true; return false;
    case -5: return Variable_GetGlobalValue(v.id, v.index, result);
    case -6:
        if (Variable_IsGlobalName(v.id)) return Variable_GetGlobalValue(v.id, v.index, result);
        return f->self && Variable_GetValue(f->self, v.id, v.index, result);
    case -7: {
        ScriptValue* cell = VM_LocalSlot(f, v.id);
        return cell && ScriptValue_GetIndexed(result, cell, v.index);
    }
    case -8:
        if (v.id >= VARIABLE_ID_BASE && f->locals && v.id - VARIABLE_ID_BASE < f->locals->m_slotCount) {
            ScriptValue* cell = f->locals->SlotAt(v.id - VARIABLE_ID_BASE);
            if (cell && cell->Kind() != VALUE_UNSET && ScriptValue_GetIndexed(result, cell, v.index)) return true;
        }
        return f->self && Variable_GetValue(f->self, v.id, v.index, result);
    case -14: return true;
    default:
        if (v.scope == -3 || v.scope >= 0) return Variable_GetByTarget(v.scope, v.id, v.index, result);
        if (v.scope >= -13 && v.scope <= -11) return VM_ReadScopeChain(f, v, result);
        return false;
    }
}

// The index or scope of a variable operand: a plain integer item. A string
// or value in its place is refused rather than read as a number (it would
// be dropped without its reference being released).
bool TakeIntItem(VMFrame* f, uint8_t** sp, int32_t* out)
{
    if (!VM_Has(f, *sp, 8)) return false;
    if (VM_Tag(f, *sp) != VMTAG_PLAIN) {
        Malformed(f, *sp, "Variable");
        return false;
    }
    *out = VM_Load<int32_t>(*sp);
    *sp += 8;
    return true;
}
}  // namespace

const char* VM_ScopeName(VMFrame* f, int32_t scope)
{
    if (scope == -1) return f->self ? Variable_TargetName(f->self->id) : "self";
    return Variable_TargetName(scope);
}

bool VM_DecodeVariable(VMFrame* f, uint32_t word, const uint8_t* operand, uint8_t** sp, VMVariableOperand* out)
{
    out->scope = VM_Immediate(word);
    out->index = ARRAY_INDEX_NONE;
    if (!(word & 0x40000000u)) {
        out->id = -1;
        out->ref = 0;
        return true;
    }
    if (VM_OperandSize(VM_FirstType(word)) < 4) {
        Malformed(f, *sp, "Variable");
        return false;
    }
    const uint32_t ref = VM_Load<uint32_t>(operand);
    out->ref = ref;
    out->id = static_cast<int32_t>(ref & VMREF_ID_MASK);
    if (!(ref & VMREF_NO_INDEX) && !TakeIntItem(f, sp, &out->index)) return false;
    if (!(ref & VMREF_SCOPE_IN_WORD) && !TakeIntItem(f, sp, &out->scope)) return false;
    if (ref & VMREF_SCOPE_INSTANCE) out->scope += 100000;
    return true;
}

ScriptValue* VM_LocalSlot(VMFrame* f, int32_t id)
{
    const int32_t slot = id - VARIABLE_ID_BASE;
    if (f->locals && slot >= 0 && slot < f->locals->m_slotCount) return f->locals->SlotAt(slot);
    VM_RuntimeError(f, "Execution Error - local variable id %d out of range", id);
    return nullptr;
}

uint8_t* VM_PushCopy(VMFrame* f, uint8_t* sp, const ScriptValue* src)
{
    sp = VM_PushValue(f, sp, ScriptValue_Undefined());
    reinterpret_cast<ScriptValue*>(sp)->Assign(*src);
    return sp;
}

VM_HANDLER(DoPush)
{
    const int type = VM_FirstType(word);
    if (type != VMT_VAR) {
        if (type == VMT_ERROR) return VM_PushInt(f, sp, VM_Immediate(word));
        if (type > VMT_DEBUGSTRING) return sp;
        if (!HasOperand(word, 4)) return Malformed(f, sp, "Push");
        switch (type) {
        case VMT_DOUBLE: return VM_PushDouble(f, sp, VM_Load<double>(operand));
        case VMT_LONG: return VM_PushI64(f, sp, VM_Load<int64_t>(operand));
        case VMT_FLOAT: {
            sp = VM_PushI64(f, sp, 0);
            std::memcpy(sp, operand, 4);
            return sp;
        }
        case VMT_INT:
        case VMT_BOOL: return VM_PushInt(f, sp, VM_Load<int32_t>(operand));
        default: {
            const uint32_t index = VM_Load<uint32_t>(operand);
            const char* text = type == VMT_STRING ? GameData_StringTableText(index)
                               : VM_DebuggerStringText ? VM_DebuggerStringText(index)
                                                       : nullptr;
            if (!text) {
                VM_RuntimeError(f, "Push :: Execution Error - string %u out of range", index);
                return sp;
            }
            return VM_PushString(f, sp, VM_NewString(text, static_cast<int32_t>(std::strlen(text))));
        }
        }
    }

    VMVariableOperand v;
    if (!VM_DecodeVariable(f, word, operand, &sp, &v)) return sp;
    if (v.scope == -9 || v.scope == -10) return VM_PushMember(f, sp, v);
    TargetMissingFlag = false;
    g_ArrayIndexFault.set = false;
    ScriptValue result = VM_MakeValue(VALUE_UNSET, 0);
    const bool found = ReadByScope(f, v, &result);
    sp = VM_PushValue(f, sp, result);
    if (f->stopped) return sp;
    const int32_t shownScope = v.scope == -1 && f->self ? f->self->id : v.scope;
    if (result.Kind() == VALUE_UNSET && !ObjectMode) {
        VM_RuntimeError(f, "Variable %s.%s(%d, %d) not set before reading it.", VM_ScopeName(f, v.scope),
                        NameOf(f, v.scope, v.id), v.id, v.index);
    } else if (!found && g_ArrayIndexFault.set) {
        const ArrayIndexFault& fault = g_ArrayIndexFault;
        VM_RuntimeError(f, "Push :: Execution Error - Variable Index [%d,%d] out of range [%d,%d] - %d.%s(%d,%d)",
                        fault.row, fault.column, fault.rowCount, fault.rowLength, v.scope, NameOf(f, v.scope, v.id),
                        v.id, v.index);
    } else if (!found && TargetMissingFlag) {
        VM_RuntimeError(f, "Unable to find any instance for object index '%d' name '%s'", v.scope,
                        Variable_TargetName(v.scope));
    } else if (!found) {
        VM_RuntimeError(f, "Push :: Execution Error - Variable Get %d.%s(%d, %d)", shownScope,
                        NameOf(f, v.scope, v.id), v.id, v.index);
    }
    return sp;
}

VM_HANDLER(DoPushLocal)
{
    if (!HasOperand(word, 4)) return Malformed(f, sp, "Push");
    const int32_t id = static_cast<int32_t>(VM_Load<uint32_t>(operand) & VMREF_ID_MASK);
    const ScriptValue* cell = VM_LocalSlot(f, id);
    if (!cell) return sp;
    // A real owns nothing: its bytes are the copy.
    if (cell->Kind() == VALUE_REAL) return VM_PushValue(f, sp, *cell);
    sp = VM_PushCopy(f, sp, cell);
    if (cell->Kind() == VALUE_UNSET && !ObjectMode)
        VM_RuntimeError(f, "local variable %s(%d, %d) not set before reading it.", NameOf(f, -7, id), id,
                        ARRAY_INDEX_NONE);
    return sp;
}

VM_HANDLER(DoPushGlobal)
{
    if (!HasOperand(word, 4)) return Malformed(f, sp, "Push");
    const int32_t id = static_cast<int32_t>(VM_Load<uint32_t>(operand) & VMREF_ID_MASK);
    sp = VM_PushValue(f, sp, VM_MakeValue(VALUE_UNSET, 0));
    auto* out = reinterpret_cast<ScriptValue*>(sp);
    const bool found = Variable_GetGlobalValue(id, ARRAY_INDEX_NONE, out);
    if ((!found || out->Kind() == VALUE_UNSET) && !ObjectMode)
        VM_RuntimeError(f, "global variable name '%s' index (%d) not set before reading it.", NameOf(f, -5, id), id);
    return sp;
}

VM_HANDLER(DoPushBuiltin)
{
    if (!HasOperand(word, 4)) return Malformed(f, sp, "Push");
    const int32_t id = static_cast<int32_t>(VM_Load<uint32_t>(operand) & VMREF_ID_MASK);
    const int32_t count = Variable_BuiltIn_Count();
    if (id >= count) {
        VM_RuntimeError(f, "DoPushBuiltin :: variable index is out of range %d max is %d", id, count);
        return sp;
    }
    sp = VM_PushValue(f, sp, VM_Real(0.0));
    const BuiltinVariable* variable = Variable_BuiltIn_At(id);
    if (variable && variable->getter) variable->getter(nullptr, ARRAY_INDEX_NONE, reinterpret_cast<ScriptValue*>(sp));
    return sp;
}

VM_HANDLER(DoPushImmediate)
{
    (void)operand;
    return VM_PushInt(f, sp, VM_Immediate(word));
}

VM_HANDLER(VM_PushDoubleValue)
{
    // "push.d" and the "conv.d.v" after it, the form of every number
    // constant: the real value is pushed at once and the conversion counted
    // as run. When the loop would grow the stack before the conversion, the
    // push runs alone.
    if (sp - 8 - f->stack < VM_STACK_HEADROOM) return DoPush(word, sp, operand, f);
    // Positions from the operand: reading back the position the loop has
    // just written would stall on it.
    const auto conversion = static_cast<int32_t>(operand + 8 - reinterpret_cast<const uint8_t*>(f->code));
    f->instruction = conversion;
    f->position = conversion + 4;
    ++f->handlerIndex;
    return VM_PushValue(f, sp, VM_Real(VM_Load<double>(operand)));
}

VM_HANDLER(VM_PushLocalAndNumber)
{
    // "pushl" of a real local followed by a number constant, the operands of
    // most tests and sums: both values are pushed at once and the constant's
    // two instructions counted as run. Anything else, or too little stack
    // for the loop's checks between the three, runs the "pushl" alone.
    const int32_t slot = static_cast<int32_t>(VM_Load<uint32_t>(operand) & VMREF_ID_MASK) - VARIABLE_ID_BASE;
    KVObjectBase* locals = f->locals;
    if (sp - 24 - f->stack < VM_STACK_HEADROOM || !locals || !locals->m_slots || slot < 0 ||
        slot >= locals->m_slotCount || locals->m_slots[slot].Kind() != VALUE_REAL)
        return DoPushLocal(word, sp, operand, f);
    sp = VM_PushValue(f, sp, locals->m_slots[slot]);
    // Positions from the operand, as in VM_PushDoubleValue.
    const auto conversion = static_cast<int32_t>(operand + 16 - reinterpret_cast<const uint8_t*>(f->code));
    f->instruction = conversion;
    f->position = conversion + 4;
    f->handlerIndex += 2;
    return VM_PushValue(f, sp, VM_Real(VM_Load<double>(operand + 8)));
}

VM_HANDLER(VM_PushTwoLocals)
{
    // Two "pushl" in a row, the operands of most arithmetic on locals: with
    // two real locals of the slot array both are pushed at once and the
    // second counted as run. Anything else, or too little stack for the
    // loop's check between the two, runs the first alone.
    const int32_t first = static_cast<int32_t>(VM_Load<uint32_t>(operand) & VMREF_ID_MASK) - VARIABLE_ID_BASE;
    const int32_t second = static_cast<int32_t>(VM_Load<uint32_t>(operand + 8) & VMREF_ID_MASK) - VARIABLE_ID_BASE;
    KVObjectBase* locals = f->locals;
    if (sp - 16 - f->stack < VM_STACK_HEADROOM || !locals || !locals->m_slots || first < 0 ||
        first >= locals->m_slotCount || second < 0 || second >= locals->m_slotCount ||
        locals->m_slots[first].Kind() != VALUE_REAL || locals->m_slots[second].Kind() != VALUE_REAL)
        return DoPushLocal(word, sp, operand, f);
    sp = VM_PushValue(f, sp, locals->m_slots[first]);
    // Positions from the operand, as in VM_PushDoubleValue.
    const auto next = static_cast<int32_t>(operand + 4 - reinterpret_cast<const uint8_t*>(f->code));
    f->instruction = next;
    f->position = next + 8;
    ++f->handlerIndex;
    return VM_PushValue(f, sp, locals->m_slots[second]);
}
