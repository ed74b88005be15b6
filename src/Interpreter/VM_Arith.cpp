#include <cmath>
#include <cstdio>

#include "Base/MemoryManager.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Code/ObjectBase.h"
#include "Interpreter/VM_Object.h"
#include "Interpreter/VM_Operand.h"

namespace {
enum class Op { Add, Sub, Mul, Div, Rem, Mod, And, Or, Xor, Shl, Shr };

struct Result {
    int type;    // VMT_DOUBLE, VMT_INT, VMT_LONG, VMT_BOOL, VMT_STRING; VMT_ERROR when none was computed
    double d;
    int64_t l;
    RefString* s;
};

double AsDouble(const VMOperand& o) { return o.type == VMT_DOUBLE ? o.d : static_cast<double>(o.l); }
int64_t AsInt64(const VMOperand& o) { return o.type == VMT_DOUBLE ? DoubleToInt64(o.d) : o.l; }

bool DivideByZero(VMFrame* f, const char* name)
{
    VM_RuntimeError(f, "%s :: Divide by zero", name);
    return false;
}

// 64-bit integer operations with defined results for every input.
bool IntegerOp(VMFrame* f, Op op, const char* name, int64_t a, int64_t b, bool wide, int64_t* out)
{
    const auto ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
    const int64_t minimum = wide ? INT64_MIN : INT32_MIN;
    switch (op) {
    case Op::Add: *out = static_cast<int64_t>(ua + ub); break;
    case Op::Sub: *out = static_cast<int64_t>(ua - ub); break;
    case Op::Mul: *out = static_cast<int64_t>(ua * ub); break;
    case Op::Div:
    case Op::Rem:
        if (b == 0) return DivideByZero(f, name);
        *out = (a == minimum && b == -1) ? minimum : a / b;
        break;
    case Op::Mod:
        if (b == 0) return DivideByZero(f, name);
        *out = b == -1 ? 0 : a % b;
        break;
    case Op::And: *out = a & b; break;
    case Op::Or: *out = a | b; break;
    case Op::Xor: *out = a ^ b; break;
    case Op::Shl: *out = static_cast<int64_t>(ua << (b & (wide ? 63 : 31))); break;
    case Op::Shr: *out = a >> (b & (wide ? 63 : 31)); break;
    }
    if (!wide) *out = static_cast<int32_t>(static_cast<uint32_t>(*out));
    return true;
}

bool Compute(VMFrame* f, Op op, const char* name, const VMOperand& left, const VMOperand& right, Result* r)
{
    const int pair = left.type * 16 + right.type;
    r->type = VMT_ERROR;
    if (pair == 0x66 && op == Op::Add) {
        const int32_t la = left.s ? left.s->length : 0, lb = right.s ? right.s->length : 0;
        r->s = VM_NewString("", 0);
        QS_FREE(r->s->text);
        r->s->text = static_cast<char*>(QS_ALLOC(static_cast<size_t>(la) + lb + 1, false));
        if (la) std::memcpy(r->s->text, left.s->text, la);
        if (lb) std::memcpy(r->s->text + la, right.s->text, lb);
        r->s->text[la + lb] = '\0';
        r->s->length = la + lb;
        r->type = VMT_STRING;
        return true;
    }
    if (op == Op::Mul && right.type == VMT_STRING && (left.type == VMT_DOUBLE || left.type == VMT_INT)) {
        const int64_t times = left.type == VMT_DOUBLE ? DoubleToInt32(left.d) : left.l;
        const int64_t length = right.s ? right.s->length : 0;
        const int64_t total = times > 0 ? times * length : 0;
        if (total > INT32_MAX / 2) {
            VM_RuntimeError(f, "DoMul :: Execution Error - string too long");
            return false;
        }
        r->s = VM_NewString("", 0);
        QS_FREE(r->s->text);
        r->s->text = static_cast<char*>(QS_ALLOC(static_cast<size_t>(total) + 1, false));
        for (int64_t i = 0; i < total; i += length) std::memcpy(r->s->text + i, right.s->text, length);
        r->s->text[total] = '\0';
        r->s->length = static_cast<int32_t>(total);
        r->type = VMT_STRING;
        return true;
    }
    if (left.type == VMT_STRING || right.type == VMT_STRING) {
        VM_RuntimeError(f, "%s :: Execution Engine - Cannot operate on string type", name);
        return false;
    }
    const bool logic = op == Op::And || op == Op::Or || op == Op::Xor;
    if (pair == 0x44 && logic) {
        const bool a = left.l != 0, b = right.l != 0;
        r->type = VMT_BOOL;
        r->l = op == Op::And ? (a && b) : op == Op::Or ? (a || b) : (a != b);
        return true;
    }
    const bool mixedBool = (pair == 0x04 || pair == 0x40) && (op == Op::And || op == Op::Or);
    switch (pair) {
    case 0x00: case 0x02: case 0x03: case 0x20: case 0x30: case 0x04: case 0x40: {
        if ((pair == 0x04 || pair == 0x40) && !mixedBool) break;
        r->type = VMT_DOUBLE;
        const double a = AsDouble(left), b = AsDouble(right);
        switch (op) {
        case Op::Add: r->d = a + b; return true;
        case Op::Sub: r->d = a - b; return true;
        case Op::Mul: r->d = a * b; return true;
        case Op::Div: r->d = a / b; return true;
        case Op::Mod:
            if (std::fabs(b) < 1e-10) return DivideByZero(f, name);
            r->d = std::fmod(a, b);
            return true;
        default: {
            int64_t value = 0;
            if (!IntegerOp(f, op, name, AsInt64(left), AsInt64(right), true, &value)) return false;
            r->d = static_cast<double>(value);
            return true;
        }
        }
    }
    case 0x22:
        r->type = VMT_INT;
        return IntegerOp(f, op, name, left.l, right.l, false, &r->l);
    case 0x23: case 0x32: case 0x33:
        r->type = VMT_LONG;
        return IntegerOp(f, op, name, left.l, right.l, true, &r->l);
    default: break;
    }
    VM_RuntimeError(f, "%s :: Execution Error", name);
    return false;
}

uint8_t* PushResult(VMFrame* f, uint8_t* sp, const Result& r, bool asValue)
{
    if (asValue) {
        switch (r.type) {
        case VMT_DOUBLE: return VM_PushValue(f, sp, VM_Real(r.d));
        case VMT_INT: return VM_PushValue(f, sp, VM_MakeValue(VALUE_INT32, static_cast<int32_t>(r.l)));
        case VMT_LONG: return VM_PushValue(f, sp, VM_MakeValue(VALUE_INT64, r.l));
        case VMT_BOOL: return VM_PushValue(f, sp, VM_Bool(r.l != 0));
        case VMT_STRING: return VM_PushValue(f, sp, VM_StringValue(r.s));
        default: return VM_PushValue(f, sp, VM_Real(0.0));
        }
    }
    switch (r.type) {
    case VMT_DOUBLE: return VM_PushDouble(f, sp, r.d);
    case VMT_LONG: return VM_PushI64(f, sp, r.l);
    case VMT_STRING: return VM_PushString(f, sp, r.s);
    case VMT_INT:
    case VMT_BOOL: return VM_PushInt(f, sp, static_cast<int32_t>(r.l));
    default: return VM_PushDouble(f, sp, 0.0);
    }
}

uint8_t* Binary(Op op, const char* name, uint32_t word, uint8_t* sp, VMFrame* f)
{
    // Two real values, the common case: computed in place, as nothing is owned.
    if ((word & 0xFF0F00u) == 0x550000u && op <= Op::Div && VM_Floor(f) - sp >= 32 &&
        VM_Tag(f, sp) == VMTAG_VALUE && VM_Tag(f, sp + 16) == VMTAG_VALUE) {
        auto* right = reinterpret_cast<const ScriptValue*>(sp);
        auto* left = reinterpret_cast<ScriptValue*>(sp + 16);
        if (right->Kind() == VALUE_REAL && left->Kind() == VALUE_REAL) {
            const double a = left->real, b = right->real;
            *left = VM_Real(op == Op::Add ? a + b : op == Op::Sub ? a - b : op == Op::Mul ? a * b : a / b);
            VM_Tag(f, sp) = VMTAG_PLAIN;
            return sp + 16;
        }
    }
    if (word & 0xF00) return VM_ObjectBinary(name, word, sp, f);
    const int rt = VM_FirstType(word), lt = VM_SecondType(word);
    const int32_t rs = VM_ItemSize(rt), ls = VM_ItemSize(lt);
    if (!rs || !ls || rt == VMT_FLOAT || lt == VMT_FLOAT || rt == VMT_ERROR || lt == VMT_ERROR) {
        VM_RuntimeError(f, "%s :: Execution Error", name);
        return sp;
    }
    if (!VM_Has(f, sp, rs + ls)) return sp;
    VMOperand right, left;
    if (!VM_ReadOperand(f, sp, rt, false, &right)) {
        if (!f->stopped) VM_RuntimeError(f, "%s :1: %s", name, VM_RefusalText(right.kind));
        return sp;
    }
    if (!VM_ReadOperand(f, sp + rs, lt, false, &left)) {
        if (!f->stopped) VM_RuntimeError(f, "%s :2: %s", name, VM_RefusalText(left.kind));
        return sp;
    }
    Result r{};
    if (!Compute(f, op, name, left, right, &r)) return sp;
    VM_ReleaseRange(f, sp, sp + rs + ls);
    return PushResult(f, sp + rs + ls, r, rt == VMT_VAR || lt == VMT_VAR);
}

// "neg" and "not" act on the top item in place.
// Malformed code may name a typed number where the stack holds a string or a
// whole value: what the slot owns is released, and its tag cleared, before the
// result overwrites its bytes.
void ReleaseForOverwrite(VMFrame* f, uint8_t* sp)
{
    const uint8_t tag = VM_Tag(f, sp);
    if (tag == VMTAG_PLAIN) return;
    VM_ReleaseRange(f, sp, sp + (tag == VMTAG_VALUE && VM_Has(f, sp, 16) ? 16 : 8));
}

uint8_t* Unary(bool negate, const char* name, uint32_t word, uint8_t* sp, VMFrame* f)
{
    if (word & 0xF00) return VM_ObjectUnary(name, word, sp, f);
    const int type = VM_FirstType(word);
    if (type > VMT_STRING) return sp;
    if (!VM_Has(f, sp, VM_ItemSize(type))) return sp;
    switch (type) {
    case VMT_DOUBLE: {
        const double d = VM_Load<double>(sp);
        ReleaseForOverwrite(f, sp);
        const double out = negate ? -d : static_cast<double>(~DoubleToInt64(d));
        std::memcpy(sp, &out, 8);
        return sp;
    }
    case VMT_FLOAT: {
        const float x = VM_Load<float>(sp);
        ReleaseForOverwrite(f, sp);
        const float out = negate ? -x : static_cast<float>(~DoubleToInt64(x));
        std::memcpy(sp, &out, 4);
        return sp;
    }
    case VMT_INT:
    case VMT_BOOL: {
        const int32_t x = VM_Load<int32_t>(sp);
        ReleaseForOverwrite(f, sp);
        int32_t out = negate ? static_cast<int32_t>(0u - static_cast<uint32_t>(x)) : ~x;
        if (!negate && type == VMT_BOOL) out = x == 0;
        return VM_PushInt(f, sp + 8, out);
    }
    case VMT_LONG: {
        const int64_t x = VM_Load<int64_t>(sp);
        ReleaseForOverwrite(f, sp);
        return VM_PushI64(f, sp + 8, negate ? static_cast<int64_t>(0ull - static_cast<uint64_t>(x)) : ~x);
    }
    case VMT_STRING:
        VM_RuntimeError(f, "%s :: Execution Engine - Cannot operate on string type", name);
        return sp;
    default: break;
    }
    ScriptValue* v = VM_ValueAt(f, sp, name);
    if (f->stopped) return sp;
    switch (v->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL: v->real = negate ? -v->real : static_cast<double>(~DoubleToInt64(v->real)); return sp;
    case VALUE_INT32:
        v->i32 = negate ? static_cast<int32_t>(0u - static_cast<uint32_t>(v->i32)) : ~v->i32;
        return sp;
    case VALUE_INT64:
        v->i64 = negate ? static_cast<int64_t>(0ull - static_cast<uint64_t>(v->i64)) : ~v->i64;
        return sp;
    case VALUE_STRING:
        VM_RuntimeError(f, "%s :1: Execution Engine - Cannot operate on string type", name);
        return sp;
    default: VM_RuntimeError(f, "%s :1: %s", name, VM_RefusalText(v->Kind())); return sp;
    }
}
}  // namespace

VM_HANDLER(DoAdd) { (void)operand; return Binary(Op::Add, "DoAdd", word, sp, f); }
VM_HANDLER(DoSub) { (void)operand; return Binary(Op::Sub, "DoSub", word, sp, f); }
VM_HANDLER(DoMul) { (void)operand; return Binary(Op::Mul, "DoMul", word, sp, f); }
VM_HANDLER(DoDiv) { (void)operand; return Binary(Op::Div, "DoDiv", word, sp, f); }
VM_HANDLER(DoRem) { (void)operand; return Binary(Op::Rem, "DoRem", word, sp, f); }
VM_HANDLER(DoMod) { (void)operand; return Binary(Op::Mod, "DoMod", word, sp, f); }
VM_HANDLER(DoAnd) { (void)operand; return Binary(Op::And, "DoAnd", word, sp, f); }
VM_HANDLER(DoOr) { (void)operand; return Binary(Op::Or, "DoOr", word, sp, f); }
VM_HANDLER(DoXor) { (void)operand; return Binary(Op::Xor, "DoXor", word, sp, f); }
VM_HANDLER(DoShl) { (void)operand; return Binary(Op::Shl, "DoShl", word, sp, f); }
VM_HANDLER(DoShr) { (void)operand; return Binary(Op::Shr, "DoShr", word, sp, f); }
VM_HANDLER(DoNeg) { (void)operand; return Unary(true, "DoNeg", word, sp, f); }
VM_HANDLER(DoNot) { (void)operand; return Unary(false, "DoNot", word, sp, f); }

VM_HANDLER(VM_ArithToLocal)
{
    // Two real values whose result the next instruction stores into a plain
    // local (the pre-decoder saw that store): the result goes straight into
    // the local and the store counts as run. Anything else runs the
    // arithmetic alone, and the store after it.
    const uint32_t opcode = word >> 24;
    VMHandler alone = opcode == VMO_ADD ? DoAdd : opcode == VMO_SUB ? DoSub : opcode == VMO_MUL ? DoMul : DoDiv;
    if (VM_Floor(f) - sp < 32 || VM_Tag(f, sp) != VMTAG_VALUE || VM_Tag(f, sp + 16) != VMTAG_VALUE)
        return alone(word, sp, operand, f);
    auto* right = reinterpret_cast<const ScriptValue*>(sp);
    auto* left = reinterpret_cast<ScriptValue*>(sp + 16);
    const uint32_t ref = VM_Load<uint32_t>(operand + 4);
    const int32_t slot = static_cast<int32_t>(ref & VMREF_ID_MASK) - VARIABLE_ID_BASE;
    KVObjectBase* locals = f->locals;
    if (right->Kind() != VALUE_REAL || left->Kind() != VALUE_REAL || !(ref & VMREF_NO_INDEX) ||
        !(ref & VMREF_SCOPE_IN_WORD) || !locals || !locals->m_slots || slot < 0 || slot >= locals->m_slotCount ||
        locals->m_slots[slot].MayOwn())
        return alone(word, sp, operand, f);
    const double a = left->real, b = right->real;
    const ScriptValue result =
        VM_Real(opcode == VMO_ADD ? a + b : opcode == VMO_SUB ? a - b : opcode == VMO_MUL ? a * b : a / b);
    *left = result;
    locals->m_slots[slot] = result;
    VM_Tag(f, sp) = VMTAG_PLAIN;
    VM_Tag(f, sp + 16) = VMTAG_PLAIN;
    // Positions from the operand: reading back the position the loop has
    // just written would stall on it.
    const auto store = static_cast<int32_t>(operand - reinterpret_cast<const uint8_t*>(f->code));
    f->instruction = store;
    f->position = store + 8;
    ++f->handlerIndex;
    return sp + 32;
}
