#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Code/Code_ValueConvert.h"
#include "Code/JS_Main.h"
#include "Interpreter/VM_Object.h"
#include "Interpreter/VM_Operand.h"

namespace {
RefString* NumberText(const char* format, ...) __attribute__((format(printf, 1, 2)));
RefString* NumberText(const char* format, ...)
{
    char text[64];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return VM_NewString(text, n < 0 ? 0 : std::min(n, static_cast<int>(sizeof text) - 1));
}

// The source as one of double, int64 (ints, longs, bools) or string, with its effective type.
struct Source {
    int type;   // VMT_DOUBLE, VMT_FLOAT, VMT_INT, VMT_LONG, VMT_BOOL, VMT_STRING
    double d;
    int64_t l;
    RefString* s;
};

int64_t TextToInteger(const RefString* s) { return s && s->text ? std::strtoll(s->text, nullptr, 10) : 0; }
double TextToDouble(const RefString* s) { return s && s->text ? std::strtod(s->text, nullptr) : 0.0; }
bool TextIsTrue(const RefString* s) { return s && s->text && std::strcmp(s->text, "true") == 0; }

double ToDouble(const Source& x)
{
    switch (x.type) {
    case VMT_DOUBLE:
    case VMT_FLOAT: return x.type == VMT_FLOAT ? static_cast<double>(DoubleToInt32(x.d)) : x.d;
    case VMT_BOOL: return x.l != 0 ? 1.0 : 0.0;
    case VMT_STRING: return TextToDouble(x.s);
    default: return static_cast<double>(x.l);
    }
}

int64_t ToInt64(const Source& x)
{
    switch (x.type) {
    case VMT_DOUBLE:
    case VMT_FLOAT: return DoubleToInt64(x.d);
    case VMT_BOOL: return x.l != 0;
    case VMT_STRING: return TextToInteger(x.s);
    default: return x.l;
    }
}

bool ToBool(const Source& x)
{
    switch (x.type) {
    case VMT_DOUBLE:
    case VMT_FLOAT: return x.d > 0.5;
    case VMT_BOOL: return x.l != 0;
    case VMT_STRING: return TextIsTrue(x.s);
    default: return x.l > 0;
    }
}

RefString* ToText(const Source& x)
{
    switch (x.type) {
    case VMT_DOUBLE:
    case VMT_FLOAT: return NumberText("%g", x.d);
    case VMT_INT: return NumberText("%d", static_cast<int32_t>(x.l));
    case VMT_LONG: return NumberText("%lld", static_cast<long long>(x.l));
    case VMT_BOOL: return NumberText("%s", x.l != 0 ? "true" : "false");
    default: return nullptr;
    }
}
}  // namespace

VM_HANDLER(DoConv)
{
    (void)operand;
    if (word & 0x300) return VM_ObjectConvert(word, sp, f);
    const int from = VM_FirstType(word), to = VM_SecondType(word);
    const int32_t size = VM_ItemSize(from);
    if (!size || from == VMT_ERROR || to > VMT_STRING) {
        VM_RuntimeError(f, "DoConv :: Execution Error");
        return sp;
    }
    if (!VM_Has(f, sp, size)) return sp;
    Source x{from, 0.0, 0, nullptr};
    switch (from) {
    case VMT_DOUBLE: x.d = VM_Load<double>(sp); break;
    case VMT_FLOAT: x.d = static_cast<double>(VM_Load<float>(sp)); break;
    case VMT_INT:
    case VMT_BOOL: x.l = VM_Load<int32_t>(sp); break;
    case VMT_LONG: x.l = VM_Load<int64_t>(sp); break;
    case VMT_STRING:
    case VMT_DEBUGSTRING:
        x.type = VMT_STRING;
        x.s = VM_StringAt(f, sp, "DoConv");
        if (f->stopped) return sp;
        break;
    case VMT_VAR: {
        const ScriptValue* v = VM_ValueAt(f, sp, "DoConv");
        if (f->stopped) return sp;
        if (to == VMT_VAR) return sp;  // already a value
        switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: x.type = VMT_DOUBLE; x.d = v->real; break;
        case VALUE_STRING: x.type = VMT_STRING; x.s = v->str; break;
        case VALUE_UNDEFINED:
        case VALUE_NULL: x.type = VMT_BOOL; x.l = v->i32 != 0; break;
        case VALUE_INT32: x.type = VMT_INT; x.l = v->i32; break;
        case VALUE_INT64: x.type = VMT_LONG; x.l = v->i64; break;
        case VALUE_UNSET:
            JS_RaiseReferenceError("DoConv :1: Could not find variable");
            return VM_DropItem(f, sp, VMT_VAR);
        case VALUE_ARRAY: VM_RuntimeError(f, "DoConv :1: illegal array use"); return sp;
        case VALUE_PTR: VM_RuntimeError(f, "DoConv :1: illegal pointer use"); return sp;
        default: VM_RuntimeError(f, "DoConv :1: Malformed variable"); return sp;
        }
        break;
    }
    default: break;
    }

    // A string result from a string source keeps the source's reference.
    RefString* keep = nullptr;
    if (x.type == VMT_STRING && (to == VMT_STRING || to == VMT_VAR)) {
        keep = x.s;
        if (keep) ++keep->count;
    }
    uint8_t* slot = sp + size;
    ScriptValue value{};
    bool asValue = to == VMT_VAR;
    if (asValue) {
        switch (x.type) {
        case VMT_DOUBLE: case VMT_FLOAT: case VMT_INT: value = VM_Real(x.type == VMT_INT ? x.l : x.d); break;
        case VMT_LONG: value = VM_MakeValue(VALUE_INT64, x.l); break;
        case VMT_BOOL: value = VM_Bool(x.l != 0); break;
        default: value = keep ? VM_StringValue(keep) : ScriptValue_Undefined(); break;
        }
    }
    double d = 0.0;
    int64_t l = 0;
    RefString* text = nullptr;
    switch (to) {
    case VMT_DOUBLE: d = ToDouble(x); break;
    case VMT_FLOAT: d = static_cast<double>(DoubleToFloat(x.type == VMT_FLOAT ? x.d : ToDouble(x))); break;
    case VMT_INT: l = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(ToInt64(x)))); break;
    case VMT_LONG: l = ToInt64(x); break;
    case VMT_BOOL: l = ToBool(x); break;
    case VMT_STRING: text = keep ? keep : ToText(x); break;
    default: break;
    }
    VM_ReleaseRange(f, sp, slot);
    if (asValue) return VM_PushValue(f, slot, value);
    switch (to) {
    case VMT_DOUBLE: return VM_PushDouble(f, slot, d);
    case VMT_FLOAT: {
        slot = VM_PushI64(f, slot, 0);
        const float x32 = static_cast<float>(d);
        std::memcpy(slot, &x32, 4);
        return slot;
    }
    case VMT_STRING:
        if (!text) text = VM_NewString("", 0);
        return VM_PushString(f, slot, text);
    case VMT_LONG: return VM_PushI64(f, slot, l);
    default: return VM_PushInt(f, slot, static_cast<int32_t>(l));
    }
}

VM_HANDLER(VM_ConvIntToVar)
{
    if (!VM_Has(f, sp, 8)) return sp;
    // Not an integer item after all (malformed code): the general form
    // releases what is there.
    if (VM_Tag(f, sp) != VMTAG_PLAIN) return DoConv(word, sp, operand, f);
    return VM_PushValue(f, sp + 8, VM_Real(VM_Load<int32_t>(sp)));
}

VM_HANDLER(VM_ConvDoubleToVar)
{
    // Anything but a plain item there (malformed code) takes the general
    // form, which releases it; so does an empty stack, for its error.
    if (VM_Floor(f) - sp < 8 || VM_Tag(f, sp) != VMTAG_PLAIN) return DoConv(word, sp, operand, f);
    return VM_PushValue(f, sp + 8, VM_Real(VM_Load<double>(sp)));
}
