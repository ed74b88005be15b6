#include "Code/JS_Main.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Exception.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"

namespace {
bool IsNumberKind(uint32_t kind) { return kind == VALUE_REAL || kind == VALUE_INT32 || kind == VALUE_INT64; }
bool IsObjectKind(uint32_t kind) { return kind == VALUE_OBJECT || kind == VALUE_PTR; }

// A string read as a number: blanks around it allowed, "0x" hexadecimal,
// "Infinity" with a sign, otherwise decimal; anything else is NaN.
double TextToNumber(const char* text)
{
    if (!text) return 0.0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    while (blank(*text)) ++text;
    const char* end = text + std::strlen(text);
    while (end > text && blank(end[-1])) --end;
    if (end == text) return 0.0;
    const std::string body(text, end);
    const char* s = body.c_str();
    if (body == "Infinity" || body == "+Infinity") return INFINITY;
    if (body == "-Infinity") return -INFINITY;
    if (body.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        char* stop = nullptr;
        const unsigned long long n = std::strtoull(s + 2, &stop, 16);
        return *stop == 0 && std::isxdigit(static_cast<unsigned char>(s[2])) ? static_cast<double>(n) : NAN;
    }
    // Decimal digits, a point and an exponent only (no "inf", "nan" or hexadecimal floats).
    for (const char* c = s; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c)) && !std::strchr("+-.eE", *c)) return NAN;
    char* stop = nullptr;
    const double d = std::strtod(s, &stop);
    return *stop == 0 ? d : NAN;
}

// The shortest text that reads back as d, in the script's number format.
void NumberToText(double d, char* out, size_t size)
{
    if (std::isnan(d)) {
        std::snprintf(out, size, "NaN");
        return;
    }
    if (std::isinf(d)) {
        std::snprintf(out, size, d < 0 ? "-Infinity" : "Infinity");
        return;
    }
    if (d == 0.0) {
        std::snprintf(out, size, "0");
        return;
    }
    if (d == std::trunc(d) && std::fabs(d) < 1e21) {
        std::snprintf(out, size, "%.0f", d);
        return;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(out, size, "%.*g", precision, d);
        if (std::strtod(out, nullptr) == d) break;
    }
    // Exponents are written without leading zeros: 1e-7, 1.5e+21.
    if (char* e = std::strchr(out, 'e')) {
        char* digits = e + 2;
        char* first = digits;
        while (*first == '0' && first[1]) ++first;
        std::memmove(digits, first, std::strlen(first) + 1);
    }
}

double NumberOf(const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Undefined();
    JS_ConvertToNumber(&n, value);
    return n.real;
}

uint32_t ToUint32Bits(double d)
{
    if (!std::isfinite(d)) return 0;
    const double m = std::fmod(std::trunc(d), 4294967296.0);
    return static_cast<uint32_t>(static_cast<int64_t>(m < 0 ? m + 4294967296.0 : m));
}

ScriptValue BoolValue(bool b)
{
    ScriptValue v;
    v.real = b ? 1.0 : 0.0;
    v.flags = 0;
    v.kind = VALUE_BOOL;
    return v;
}
}  // namespace

int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value)
{
    double d = NAN;
    int status = JS_CONVERTED;
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
    case VALUE_INT32:
    case VALUE_INT64: d = ScriptValue_ToReal(value); break;
    case VALUE_NULL: d = 0.0; break;
    case VALUE_STRING: d = TextToNumber(ScriptValue_StringText(value)); break;
    // An object's primitive value needs the object model.
    case VALUE_OBJECT:
    case VALUE_PTR: status = JS_FAILED; break;
    default: break;
    }
    ScriptValue_SetReal(out, d);
    return status;
}

int JS_ConvertToString(ScriptValue* out, const ScriptValue* value)
{
    char text[64];
    const char* result = text;
    switch (value->Kind()) {
    case VALUE_STRING: {
        const ScriptValue copy = *value;
        ScriptValue_AddRef(&copy);
        ScriptValue_SetUndefined(out);
        *out = copy;
        out->flags = 0;
        return JS_CONVERTED;
    }
    case VALUE_REAL: NumberToText(value->real, text, sizeof text); break;
    case VALUE_INT32: std::snprintf(text, sizeof text, "%d", value->i32); break;
    case VALUE_INT64: std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value->i64)); break;
    case VALUE_BOOL: result = value->real != 0.0 ? "true" : "false"; break;
    case VALUE_UNDEFINED: result = "undefined"; break;
    case VALUE_NULL: result = "null"; break;
    default: return JS_FAILED;
    }
    ScriptValue_SetUndefined(out);
    ScriptValue_InitString(out, result);
    return JS_CONVERTED;
}

int JS_ConvertToInt32(ScriptValue* out, const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Undefined();
    const int status = JS_ConvertToNumber(&n, value);
    ScriptValue_SetReal(out, static_cast<int32_t>(ToUint32Bits(n.real)));
    return status;
}

int JS_ConvertToUint32(ScriptValue* out, const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Undefined();
    const int status = JS_ConvertToNumber(&n, value);
    ScriptValue_SetReal(out, ToUint32Bits(n.real));
    return status;
}

// Wrapper objects of primitives need the object model.
int F_JS_ToObject(ScriptValue* out, const ScriptValue* value)
{
    if (!IsObjectKind(value->Kind()) || !value->ptr) return JS_FAILED;
    ScriptValue_SetUndefined(out);
    *out = *value;
    return JS_CONVERTED;
}

int F_JS_ToPrimitive(ScriptValue* out, const ScriptValue* value, int)
{
    if (IsObjectKind(value->Kind()) || value->Kind() == VALUE_UNSET) return JS_FAILED;
    ScriptValue_SetUndefined(out);
    out->Assign(*value);
    return JS_CONVERTED;
}

bool JS_ToBoolean(const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL: return value->real != 0.0 && !std::isnan(value->real);
    case VALUE_INT32: return value->i32 != 0;
    case VALUE_INT64: return value->i64 != 0;
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text && *text;
    }
    case VALUE_OBJECT:
    case VALUE_PTR: return value->ptr != nullptr;
    default: return false;
    }
}

bool JS_IsCallable(const ScriptValue*) { return false; }

int JS_AbstractEqualityCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y)
{
    const uint32_t kx = x->Kind(), ky = y->Kind();
    const auto nullish = [](uint32_t k) { return k == VALUE_UNDEFINED || k == VALUE_NULL; };
    bool equal = false;
    if (JS_StrictEqualityCompare(x, y)) {
        equal = true;
    } else if (nullish(kx) || nullish(ky)) {
        equal = nullish(kx) && nullish(ky);
    } else if (IsObjectKind(kx) && IsObjectKind(ky)) {
        equal = x->ptr == y->ptr;
    } else if (IsObjectKind(kx) || IsObjectKind(ky)) {
        // The object's primitive value needs the object model.
        ScriptValue primitive = ScriptValue_Undefined();
        const int status = F_JS_ToPrimitive(&primitive, IsObjectKind(kx) ? x : y, 0);
        ScriptValue_SetUndefined(&primitive);
        if (status != JS_CONVERTED) return status;
    } else if (kx == VALUE_STRING && ky == VALUE_STRING) {
        equal = std::strcmp(ScriptValue_StringText(x) ? ScriptValue_StringText(x) : "",
                            ScriptValue_StringText(y) ? ScriptValue_StringText(y) : "") == 0;
    } else {
        equal = NumberOf(x) == NumberOf(y);
    }
    ScriptValue_SetUndefined(out);
    *out = BoolValue(equal);
    return JS_CONVERTED;
}

bool JS_StrictEqualityCompare(const ScriptValue* x, const ScriptValue* y)
{
    const uint32_t kx = x->Kind(), ky = y->Kind();
    if (IsNumberKind(kx) && IsNumberKind(ky)) return ScriptValue_ToReal(x) == ScriptValue_ToReal(y);
    if (kx != ky) return false;
    switch (kx) {
    case VALUE_UNDEFINED:
    case VALUE_NULL: return true;
    case VALUE_BOOL: return (x->real != 0.0) == (y->real != 0.0);
    case VALUE_STRING: {
        const char* a = ScriptValue_StringText(x);
        const char* b = ScriptValue_StringText(y);
        return std::strcmp(a ? a : "", b ? b : "") == 0;
    }
    default: return x->ptr == y->ptr;
    }
}

int JS_AbstractRelationalCompare(ScriptValue* out, const ScriptValue* x, const ScriptValue* y, bool leftFirst)
{
    ScriptValue px = ScriptValue_Undefined(), py = ScriptValue_Undefined();
    int status = leftFirst ? F_JS_ToPrimitive(&px, x, 0) : F_JS_ToPrimitive(&py, y, 0);
    if (status == JS_CONVERTED) status = leftFirst ? F_JS_ToPrimitive(&py, y, 0) : F_JS_ToPrimitive(&px, x, 0);
    if (status == JS_CONVERTED) {
        ScriptValue_SetUndefined(out);
        if (px.Kind() == VALUE_STRING && py.Kind() == VALUE_STRING) {
            const char* a = ScriptValue_StringText(&px);
            const char* b = ScriptValue_StringText(&py);
            *out = BoolValue(std::strcmp(a ? a : "", b ? b : "") < 0);
        } else {
            const double a = NumberOf(&px), b = NumberOf(&py);
            if (!std::isnan(a) && !std::isnan(b)) *out = BoolValue(a < b);
        }
    }
    ScriptValue_SetUndefined(&px);
    ScriptValue_SetUndefined(&py);
    return status;
}

// Own properties only: prototypes need the object model.
int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    out->kind = VALUE_UNSET;
    const CVariableListNode* node = object && object->m_properties && name ? object->m_properties->Find(name) : nullptr;
    if (!node) return VALUE_UNSET;
    *out = node->value;
    ScriptValue_AddRef(out);
    return static_cast<int>(out->Kind());
}

void JS_Object_Get(KVObjectBase*, ScriptValue* out, const char*) { out->kind = VALUE_UNSET; }

bool JS_Object_GetByKey(const ScriptValue*, const ScriptValue*, ScriptValue* out)
{
    out->kind = VALUE_UNSET;
    return false;
}

void JS_Object_Put(KVObjectBase*, const ScriptValue*, const char*, bool) {}

bool JS_Object_Delete(KVObjectBase*, const char*) { return false; }

int JS_CallValue(KVObjectBase*, ScriptValue* result, const ScriptValue*, int, ScriptValue*)
{
    ScriptValue_SetUndefined(result);
    return JS_FAILED;
}

void JS_CreateArgumentsObject(ScriptValue* out, KVObjectBase*, int, ScriptValue*, bool)
{
    ScriptValue_SetUndefined(out);
}

KVObjectBase* GlobalScopeObject = nullptr;

void JS_CallGetter(KVObjectBase*, KVObjectBase*, ScriptValue* out)
{
    ScriptValue_SetUndefined(out);
}

void JS_CallSetter(KVObjectBase*, KVObjectBase*, ScriptValue*) {}

namespace {
// Error objects need the object model: the thrown value is the error's text.
void Raise(const char* kind, const char* message)
{
    char text[1024];
    std::snprintf(text, sizeof text, "%s: %s", kind, message ? message : "");
    ScriptValue thrown = ScriptValue_Undefined();
    ScriptValue_InitString(&thrown, text);
    JS_UnwindToHandler(&thrown);
}
}  // namespace

void JS_RaiseReferenceError(const char* message) { Raise("ReferenceError", message); }
void JS_RaiseTypeError(const char* message) { Raise("TypeError", message); }

void JS_InitBuiltInObjects() {}
void JS_CreateResourceObject() {}
