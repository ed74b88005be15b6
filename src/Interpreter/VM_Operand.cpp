#include "Interpreter/VM_Operand.h"

const char* VM_RefusalText(uint32_t kind)
{
    switch (kind) {
    case VALUE_ARRAY: return "illegal array use";
    case VALUE_PTR: return "illegal pointer use";
    case VALUE_UNDEFINED: return "undefined value";
    default: return "Malformed variable";
    }
}

bool VM_ReadOperand(VMFrame* f, uint8_t* p, int writtenType, bool payloadKinds, VMOperand* out)
{
    *out = VMOperand{writtenType, 0xFFFFFFFFu, 0.0, 0, nullptr};
    switch (writtenType) {
    case VMT_DOUBLE: out->d = VM_Load<double>(p); return true;
    case VMT_FLOAT:
        out->type = VMT_DOUBLE;
        out->d = static_cast<double>(VM_Load<float>(p));
        return true;
    case VMT_INT:
    case VMT_BOOL: out->l = VM_Load<int32_t>(p); return true;
    case VMT_LONG: out->l = VM_Load<int64_t>(p); return true;
    case VMT_STRING:
    case VMT_DEBUGSTRING:
        out->type = VMT_STRING;
        out->s = VM_StringAt(f, p, "Operand");
        return !f->stopped;
    case VMT_VAR: break;
    default: out->kind = VALUE_UNSET; return false;
    }
    if (VM_Tag(f, p) != VMTAG_VALUE) {
        out->kind = VALUE_UNSET + 1;  // no value at all
        return false;
    }
    const auto* v = reinterpret_cast<const ScriptValue*>(p);
    out->kind = v->Kind();
    out->l = v->i64;
    switch (v->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL: out->type = VMT_DOUBLE; out->d = v->real; return true;
    case VALUE_INT32: out->type = VMT_INT; out->l = v->i32; return true;
    case VALUE_INT64: out->type = VMT_LONG; return true;
    case VALUE_STRING: out->type = VMT_STRING; out->s = v->str; return true;
    case VALUE_UNDEFINED:
        if (!payloadKinds) return false;
        out->type = VMT_ERROR;
        return true;
    case VALUE_ARRAY:
    case VALUE_PTR:
    case VALUE_OBJECT:
        // Identity: the whole 64-bit payload takes part.
        if (!payloadKinds) return false;
        out->type = VMT_LONG;
        return true;
    default: return false;
    }
}
