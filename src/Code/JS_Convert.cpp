// Conversions of values by the object model's rules. Primitives convert
// fully; objects have no primitive value here yet (their valueOf and
// toString are not called), so converting one fails.
#include "Code/JS_Main.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/NumberText.h"

namespace {
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

uint32_t ToUint32Bits(double d)
{
    if (!std::isfinite(d)) return 0;
    const double m = std::fmod(std::trunc(d), 4294967296.0);
    return static_cast<uint32_t>(static_cast<int64_t>(m < 0 ? m + 4294967296.0 : m));
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
    char text[256];
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
    case VALUE_REAL:
        if (std::isnan(value->real)) result = "NaN";
        else if (std::isinf(value->real)) result = value->real < 0 ? "-Infinity" : "Infinity";
        else if (value->real == 0.0) result = "0";
        else if (!NumberToText(text, &value->real, 0, sizeof text)) return JS_FAILED;
        break;
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


