#include "Interpreter/VM_Object.h"

#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/JS_Main.h"

namespace {
// The texts of an operator's object-mode errors.
struct OperatorTexts {
    uint32_t opcode;
    const char* unsetLeft;
    const char* unsetRight;
    const char* notNumberLeft;
    const char* notNumberRight;
};

const OperatorTexts kOperators[] = {
    {VMO_ADD, "could not find variable before '+'", "could not find variable after '+'",
     "Could not convert left-hand-side of add operator to a number # 2",
     "Could not convert right-hand-side of add operator to a number # 2"},
    {VMO_SUB, "could not find variable before '-'", "could not find variable after '-'",
     "Could not convert left-hand-side of subtraction operator to a number",
     "Could not convert right-hand-side of subtraction operator to a number"},
    {VMO_MUL, "could not find lhs variable on multiply", "could not find lhs variable on multiply",
     "Could not convert left-hand-side of '*' operator to a number",
     "Could not convert right-hand-side of '*' operator to a number"},
    {VMO_DIV, "could not find lhs variable on div", "could not find lhs variable on div",
     "Could not convert left-hand-side of '/' operator to a number",
     "Could not convert right-hand-side of '/' operator to a number"},
    {VMO_MOD, "could not find lhs variable on mod", "could not find lhs variable on mod",
     "Could not convert left-hand-side of '%' operator to a number",
     "Could not convert right-hand-side of '%' operator to a number"},
    {VMO_AND, "could not find variable before '&'", "could not find variable after '&'",
     "Could not convert left-hand-side of '&' operator to a number",
     "Could not convert right-hand-side of '&' operator to a number"},
    {VMO_OR, "could not find variable before '|'", "could not find variable after '|'",
     "DoOr - could not convert lhs expr to a number", "DoOr - could not convert rhs expr to a number"},
    {VMO_XOR, "could not find variable before '^'", "could not find variable after '^'",
     "DoXor - could not convert lhs expr to a number", "DoXor - could not convert rhs expr to a number"},
    {VMO_SHL, "could not find variable before '<<'", "could not find variable after '<<'",
     "Could not convert left-hand-side of '<<' operator to a number",
     "Could not convert right-hand-side of '<<' operator to a number"},
    {VMO_SHR, "could not find variable before '>>'", "could not find variable after '>>'",
     "Could not convert left-hand-side of '>>' operator to a number",
     "Could not convert right-hand-side of '>>' operator to a number"},
};

bool Unset(const ScriptValue& v) { return v.Kind() == VALUE_UNSET; }

// A conversion's status as the handler's go-on: a failure throws text.
bool Converted(int status, const char* text)
{
    if (status == JS_CONVERTED) return true;
    if (status == JS_FAILED) JS_RaiseTypeError(text);
    return false;
}

void Release(ScriptValue* v) { ScriptValue_SetUndefined(v); }

ScriptValue Concatenate(const ScriptValue& a, const ScriptValue& b)
{
    const RefString* sa = a.str;
    const RefString* sb = b.str;
    const int32_t la = sa && sa->text ? sa->length : 0, lb = sb && sb->text ? sb->length : 0;
    RefString* s = VM_NewString("", 0);
    QS_FREE(s->text);
    s->text = static_cast<char*>(QS_ALLOC(static_cast<size_t>(la) + lb + 1, false));
    if (la) std::memcpy(s->text, sa->text, la);
    if (lb) std::memcpy(s->text + la, sb->text, lb);
    s->text[la + lb] = '\0';
    s->length = la + lb;
    return VM_StringValue(s);
}

// The "+" of form 1: strings concatenate when either primitive is one.
bool AddValues(const ScriptValue& left, const ScriptValue& right, ScriptValue* out)
{
    if (Unset(left)) {
        JS_RaiseReferenceError("could not find variable before '+' operator");
        return false;
    }
    if (Unset(right)) {
        JS_RaiseReferenceError("could not find variable after '+' operator");
        return false;
    }
    ScriptValue pl = ScriptValue_Undefined(), pr = ScriptValue_Undefined();
    bool ok = Converted(F_JS_ToPrimitive(&pl, &left, 0), "Could not convert left-hand-side of add operator to a primitive") &&
              Converted(F_JS_ToPrimitive(&pr, &right, 0), "Could not convert right-hand-side of add operator to a primitive");
    if (ok && (pl.Kind() == VALUE_STRING || pr.Kind() == VALUE_STRING)) {
        ScriptValue sl = ScriptValue_Undefined(), sr = ScriptValue_Undefined();
        ok = Converted(JS_ConvertToString(&sl, &pl), "Could not convert left-hand-side of add operator to a string") &&
             Converted(JS_ConvertToString(&sr, &pr), "Could not convert right-hand-side of add operator to a string");
        if (ok) *out = Concatenate(sl, sr);
        Release(&sl);
        Release(&sr);
    } else if (ok) {
        ScriptValue nl = ScriptValue_Undefined(), nr = ScriptValue_Undefined();
        ok = Converted(JS_ConvertToNumber(&nl, &pl), "Could not convert left-hand-side of add operator to a number") &&
             Converted(JS_ConvertToNumber(&nr, &pr), "Could not convert right-hand-side of add operator to a number");
        if (ok) *out = VM_Real(nl.real + nr.real);
    }
    Release(&pl);
    Release(&pr);
    return ok;
}

bool NumericValues(const OperatorTexts& t, uint32_t word, const ScriptValue& left, const ScriptValue& right,
                   ScriptValue* out)
{
    if (Unset(left) || Unset(right)) {
        JS_RaiseReferenceError(Unset(left) ? t.unsetLeft : t.unsetRight);
        return false;
    }
    ScriptValue a = ScriptValue_Undefined(), b = ScriptValue_Undefined();
    switch (t.opcode) {
    case VMO_AND: case VMO_OR: case VMO_XOR: case VMO_SHL: case VMO_SHR: {
        const bool logical = t.opcode == VMO_SHR && (word & 0x8000u);
        const bool unsignedRight = t.opcode == VMO_SHR;
        if (!Converted(logical ? JS_ConvertToUint32(&a, &left) : JS_ConvertToInt32(&a, &left), t.notNumberLeft) ||
            !Converted(unsignedRight ? JS_ConvertToUint32(&b, &right) : JS_ConvertToInt32(&b, &right),
                       t.notNumberRight))
            return false;
        const auto ux = static_cast<uint32_t>(static_cast<int64_t>(a.real));
        const auto x = static_cast<int32_t>(ux);
        const uint32_t count = static_cast<uint32_t>(static_cast<int64_t>(b.real)) & 31u;
        const auto y = static_cast<int32_t>(static_cast<int64_t>(b.real));
        double r = 0.0;
        switch (t.opcode) {
        case VMO_AND: r = x & y; break;
        case VMO_OR: r = x | y; break;
        case VMO_XOR: r = x ^ y; break;
        case VMO_SHL: r = static_cast<int32_t>(static_cast<uint32_t>(x) << count); break;
        default: r = logical ? static_cast<double>(ux >> count) : static_cast<double>(x >> count); break;
        }
        *out = VM_Real(r);
        return true;
    }
    default: break;
    }
    if (!Converted(JS_ConvertToNumber(&a, &left), t.notNumberLeft) ||
        !Converted(JS_ConvertToNumber(&b, &right), t.notNumberRight))
        return false;
    switch (t.opcode) {
    case VMO_ADD: *out = VM_Real(a.real + b.real); break;
    case VMO_SUB: *out = VM_Real(a.real - b.real); break;
    case VMO_MUL: *out = VM_Real(a.real * b.real); break;
    case VMO_DIV: *out = VM_Real(a.real / b.real); break;
    default: *out = VM_Real(std::fmod(a.real, b.real)); break;
    }
    return true;
}

// Which forms each operator has: "add" 1 and 2, the bitwise ones any, the others 1.
bool HasForm(uint32_t opcode, uint32_t form)
{
    switch (opcode) {
    case VMO_ADD: return form == 1 || form == 2;
    case VMO_AND: case VMO_OR: case VMO_XOR: case VMO_SHL: case VMO_SHR: return form != 0;
    default: return form == 1;
    }
}
}  // namespace

bool VM_TakeItemValue(VMFrame* f, uint8_t* p, int type, ScriptValue* out)
{
    *out = ScriptValue_Undefined();
    switch (type) {
    case VMT_DOUBLE: *out = VM_Real(VM_Load<double>(p)); break;
    case VMT_FLOAT: *out = VM_Real(VM_Load<float>(p)); break;
    case VMT_INT: *out = VM_Real(VM_Load<int32_t>(p)); break;
    case VMT_LONG: *out = VM_Real(static_cast<double>(VM_Load<int64_t>(p))); break;
    case VMT_BOOL: *out = VM_Bool(VM_Load<int32_t>(p) != 0); break;
    case VMT_VAR: return VM_TakeValue(f, p, out, "Operand");
    case VMT_STRING:
    case VMT_DEBUGSTRING: {
        RefString* s = VM_StringAt(f, p, "Operand");
        if (f->stopped) return false;
        VM_Tag(f, p) = VMTAG_PLAIN;
        if (s) *out = VM_StringValue(s);
        return true;
    }
    default:
        VM_RuntimeError(f, "Operand :: Execution Error - type %d is no operand", type);
        return false;
    }
    if (VM_Tag(f, p) != VMTAG_PLAIN) VM_ReleaseRange(f, p, p + 8);
    return true;
}

namespace {
// The two operand items of a binary form (right on top, then left) taken as
// values; false, with nothing kept, when either is missing or malformed.
bool TakeOperands(VMFrame* f, uint8_t* sp, int rt, int32_t rs, int lt, int32_t ls, ScriptValue* left,
                  ScriptValue* right)
{
    if (!VM_Has(f, sp, rs + ls) || !VM_TakeItemValue(f, sp, rt, right)) return false;
    if (VM_TakeItemValue(f, sp + rs, lt, left)) return true;
    Release(right);
    return false;
}
}  // namespace

uint8_t* VM_ObjectBinary(const char* name, uint32_t word, uint8_t* sp, VMFrame* f)
{
    const uint32_t opcode = word >> 24;
    const uint32_t form = (word >> 8) & 0xF;
    const OperatorTexts* texts = nullptr;
    for (const OperatorTexts& t : kOperators)
        if (t.opcode == opcode) texts = &t;
    const int rt = VM_FirstType(word), lt = VM_SecondType(word);
    const int32_t rs = rt == VMT_ERROR ? 0 : VM_ItemSize(rt), ls = lt == VMT_ERROR ? 0 : VM_ItemSize(lt);
    if (!texts || !HasForm(opcode, form) || !rs || !ls) {
        VM_RuntimeError(f, "%s :: Execution Error", name);
        return sp;
    }
    ScriptValue right, left;
    if (!TakeOperands(f, sp, rt, rs, lt, ls, &left, &right)) return sp;
    uint8_t* top = sp + rs + ls;
    ScriptValue result = ScriptValue_Undefined();
    const bool ok = opcode == VMO_ADD && form == 1 ? AddValues(left, right, &result)
                                                   : NumericValues(*texts, word, left, right, &result);
    Release(&left);
    Release(&right);
    return ok ? VM_PushValue(f, top, result) : top;
}

uint8_t* VM_ObjectUnary(const char* name, uint32_t word, uint8_t* sp, VMFrame* f)
{
    const bool negate = (word >> 24) == VMO_NEG;
    const uint32_t form = (word >> 8) & 0xF;
    const int type = VM_FirstType(word);
    const int32_t size = type == VMT_ERROR ? 0 : VM_ItemSize(type);
    if ((form != 1 && form != 2) || !size) {
        VM_RuntimeError(f, "%s :: Execution Error", name);
        return sp;
    }
    if (!VM_Has(f, sp, size)) return sp;
    ScriptValue operand;
    if (!VM_TakeItemValue(f, sp, type, &operand)) return sp;
    uint8_t* top = sp + size;
    if (Unset(operand)) {
        JS_RaiseReferenceError(negate ? (form == 1 ? "could not find lhs variable in unary-"
                                                   : "could not find lhs variable in unary - #2")
                                      : (form == 1 ? "could not find lhs variable in logical not"
                                                   : "could not find lhs variable in binary not"));
        return top;
    }
    if (!negate && form == 1) {
        const bool truth = JS_ToBoolean(&operand);
        Release(&operand);
        return VM_PushInt(f, top, truth ? 0 : 1);
    }
    ScriptValue n = ScriptValue_Undefined();
    const int status = negate ? JS_ConvertToNumber(&n, &operand) : JS_ConvertToInt32(&n, &operand);
    Release(&operand);
    if (!Converted(status, negate ? "Unary - could not convert expr to a number"
                                  : "Unary ~ could not convert expr to a number"))
        return top;
    const double r = !negate ? static_cast<double>(~static_cast<int32_t>(n.real)) : form == 1 ? -n.real : n.real;
    return VM_PushValue(f, top, VM_Real(r));
}

uint8_t* VM_ObjectCompare(uint32_t word, uint8_t* sp, VMFrame* f)
{
    const int kind = static_cast<int>((word >> 8) & 0xF);
    const int rt = VM_FirstType(word), lt = VM_SecondType(word);
    const int32_t rs = rt == VMT_ERROR ? 0 : VM_ItemSize(rt), ls = lt == VMT_ERROR ? 0 : VM_ItemSize(lt);
    if (!rs || !ls) {
        VM_RuntimeError(f, "DoSet :: Execution Error");
        return sp;
    }
    ScriptValue right, left;
    if (!TakeOperands(f, sp, rt, rs, lt, ls, &left, &right)) return sp;
    uint8_t* top = sp + rs + ls;
    bool ok = true, result = false;
    ScriptValue outcome = ScriptValue_Undefined();
    if (kind <= 10) {
        if (Unset(left) || Unset(right)) {
            JS_RaiseReferenceError("could not find lhs variable on assignment");
            ok = false;
        } else {
            // Greater-than forms compare the other way round.
            const bool swapped = kind == 8 || kind == 9;
            const int status = swapped ? JS_AbstractRelationalCompare(&outcome, &right, &left, false)
                                       : JS_AbstractRelationalCompare(&outcome, &left, &right, true);
            ok = Converted(status, "could not compare values");
            const bool less = outcome.Kind() != VALUE_UNDEFINED && outcome.real != 0.0;
            result = outcome.Kind() == VALUE_UNDEFINED ? false : (kind == 7 || kind == 8) ? less : !less;
        }
    } else if (kind == 11) {
        if (Unset(left) || Unset(right)) {
            JS_RaiseReferenceError(Unset(left) ? "could not find variable before 'in'"
                                               : "could not find variable after 'in'");
            ok = false;
        } else if (right.Kind() != VALUE_OBJECT || !right.obj) {
            JS_RaiseTypeError("right-hand side of in operator must be an object");
            ok = false;
        } else {
            ScriptValue key = ScriptValue_Undefined();
            ok = Converted(JS_ConvertToString(&key, &left), "could not convert left-hand side of in operator to a string");
            if (ok) {
                ScriptValue found = ScriptValue_Undefined();
                result = JS_Object_GetProperty(right.obj, &found, ScriptValue_StringText(&key)) != VALUE_UNSET;
                if (found.Kind() != VALUE_UNSET) Release(&found);
            }
            Release(&key);
        }
    } else if (kind <= 13) {
        if (Unset(left) || Unset(right)) {
            JS_RaiseReferenceError(Unset(left) ? "could not find variable before comparison"
                                               : "could not find variable after comparison");
            ok = false;
        } else {
            ok = Converted(JS_AbstractEqualityCompare(&outcome, &left, &right), "could not compare values");
            result = (outcome.Kind() == VALUE_BOOL && outcome.real != 0.0) != (kind == 13);
        }
    } else {
        if (Unset(left) || Unset(right)) {
            JS_RaiseReferenceError(Unset(left) ? "could not find variable before '==='/'!=='"
                                               : "could not find variable after '==='/'!=='");
            ok = false;
        } else {
            result = JS_StrictEqualityCompare(&left, &right) != (kind == 15);
        }
    }
    Release(&outcome);
    Release(&left);
    Release(&right);
    return ok ? VM_PushInt(f, top, result ? 1 : 0) : top;
}

uint8_t* VM_ObjectConvert(uint32_t word, uint8_t* sp, VMFrame* f)
{
    const int type = VM_FirstType(word);
    const int32_t size = type == VMT_ERROR ? 0 : VM_ItemSize(type);
    if (!size) {
        VM_RuntimeError(f, "DoConv :: Execution Error");
        return sp;
    }
    if (!VM_Has(f, sp, size)) return sp;
    ScriptValue value;
    if (!VM_TakeItemValue(f, sp, type, &value)) return sp;
    uint8_t* top = sp + size;
    if (word & 0x100) {
        if (Unset(value)) {
            JS_RaiseReferenceError("could not find lhs variable on conv");
            return top;
        }
        const bool truth = JS_ToBoolean(&value);
        Release(&value);
        return VM_PushInt(f, top, truth ? 1 : 0);
    }
    ScriptValue n = ScriptValue_Undefined();
    const int status = JS_ConvertToNumber(&n, &value);
    Release(&value);
    if (!Converted(status, "DoConv - could not convert expr to a number")) return top;
    return VM_PushValue(f, top, VM_Real(n.real));
}
