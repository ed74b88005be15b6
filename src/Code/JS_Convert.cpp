// Conversions of values by the object model's rules: to primitives (asking
// an object's valueOf and toString), booleans, numbers, integers, strings and
// objects.
#include "Code/JS_Main.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Number.h"
#include "Code/JS_Text.h"
#include "Code/NumberText.h"
#include "Code/ObjectBase.h"
#include "Host/Host_Locale.h"

KVObjectBase* JS_BooleanPrototype = nullptr;

namespace {
bool IsPrimitiveKind(uint32_t kind)
{
    switch (kind) {
    case VALUE_REAL:
    case VALUE_STRING:
    case VALUE_UNDEFINED:
    case VALUE_INT32:
    case VALUE_INT64:
    case VALUE_NULL:
    case VALUE_BOOL: return true;
    default: return false;
    }
}

void SetText(ScriptValue* out, const char* text)
{
    ScriptValue_SetUndefined(out);
    ScriptValue_InitString(out, text);
}

void SetBool(ScriptValue* result, bool truth)
{
    ScriptValue_SetUndefined(result);
    result->real = truth ? 1.0 : 0.0;
    result->kind = VALUE_BOOL;
}

// Skips white space from *cursor; false when the text ends first.
bool SkipWhiteSpace(const char** cursor)
{
    for (;;) {
        const char* at = *cursor;
        const uint32_t c = UTF8_DecodeCodePoint(cursor);
        if (c == 0) {
            *cursor = at;
            return false;
        }
        if (!JS_IsStrWhiteSpaceChar(c)) {
            *cursor = at;
            return true;
        }
    }
}

// "0x" then at least one hexadecimal digit, wrapping into 32 bits; *cursor
// ends after the digits.
double ReadHexadecimal(const char** cursor)
{
    const char* c = *cursor + 2;
    if (JS_RadixDigitValue(static_cast<unsigned char>(*c), 16) < 0) return NAN;
    uint32_t n = 0;
    for (int digit; (digit = JS_RadixDigitValue(static_cast<unsigned char>(*c), 16)) >= 0; ++c)
        n = n * 16u + static_cast<uint32_t>(digit);
    *cursor = c;
    return static_cast<int32_t>(n);
}

double TextToNumber(const char* text)
{
    if (!text || !*text) return 0.0;
    const char* c = text;
    if (!SkipWhiteSpace(&c)) return 0.0;
    double value = NAN;
    if (c[0] == '0' && (c[1] == 'x' || c[1] == 'X')) {
        value = ReadHexadecimal(&c);
        if (std::isnan(value)) return NAN;
    } else if (std::strncmp(c, "Infinity", 8) == 0) {
        value = INFINITY;
        c += 8;
    } else if (std::strncmp(c, "+Infinity", 9) == 0 || std::strncmp(c, "-Infinity", 9) == 0) {
        value = c[0] == '-' ? -INFINITY : INFINITY;
        c += 9;
    } else if (*c == '+' || *c == '-' || *c == '.' || (*c >= '0' && *c <= '9')) {
        char* end = nullptr;
        bool overflow = false;
        value = Host_ReadDecimalC(c, &end, &overflow);
        if (end == c) return NAN;
        c = end;
    } else {
        return NAN;
    }
    return SkipWhiteSpace(&c) ? NAN : value;
}

// sign(x) * floor(|x|) as a 64-bit integer's low 32 bits; 0 for NaN, the infinities and 0.
uint32_t LowBits(double d)
{
    if (!std::isfinite(d) || d == 0.0) return 0;
    const double whole = std::trunc(d);
    // Beyond 2^63 a double has no bits below 2^32: the low word is 0.
    if (std::fabs(whole) >= 9223372036854775808.0) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(whole)));
}

// Calls the method of that name when it is callable: 2 an exception is
// pending, 0 a primitive came back (in out), 1 none did.
int TryMethod(KVObjectBase* object, ScriptValue* out, const char* name)
{
    ScriptValue method = ScriptValue_Undefined();
    JS_Object_Get(object, &method, name);
    int status = JS_FAILED;
    if (JS_IsCallable(&method)) {
        ScriptValue result = ScriptValue_Undefined();
        status = JS_CallFunction(object, &result, method.obj, 0, nullptr);
        if (status == JS_CONVERTED && IsPrimitiveKind(result.Kind())) {
            ScriptValue_SetUndefined(out);
            *out = result;
            return JS_CONVERTED;
        }
        ScriptValue_SetUndefined(&result);
        if (status != JS_EXCEPTION_PENDING) status = JS_FAILED;
    }
    ScriptValue_SetUndefined(&method);
    return status;
}

// The primitive of an object converted with hint, released after convert ran on it.
template <typename Convert>
int ThroughPrimitive(const ScriptValue* value, int hint, Convert convert)
{
    ScriptValue primitive = ScriptValue_Undefined();
    const int status = F_JS_ToPrimitive(&primitive, value, hint);
    if (status != JS_CONVERTED) return status;
    const int converted = convert(&primitive);
    ScriptValue_SetUndefined(&primitive);
    return converted == JS_CONVERTED ? JS_CONVERTED : JS_FAILED;
}
}  // namespace

int F_JS_ToPrimitive(ScriptValue* out, const ScriptValue* value, int hint)
{
    if (IsPrimitiveKind(value->Kind())) {
        ScriptValue copy = ScriptValue_Undefined();
        copy.Assign(*value);
        ScriptValue_SetUndefined(out);
        *out = copy;
        return JS_CONVERTED;
    }
    if (value->Kind() == VALUE_OBJECT && value->obj) return JS_Object_DefaultValue(value->obj, out, hint);
    FatalRuntimeError("unhandled type for F_JS_ToPrimitive");
    return JS_FAILED;
}

int JS_Object_DefaultValue(KVObjectBase* object, ScriptValue* out, int hint)
{
    bool stringFirst = hint == VALUE_STRING;
    if (hint != VALUE_STRING && hint != VALUE_REAL && hint != VALUE_INT32 && hint != VALUE_INT64)
        stringFirst = JS_HasClass(object, "Date");
    const char* order[2] = {"valueOf", "toString"};
    if (stringFirst) std::swap(order[0], order[1]);
    for (const char* name : order) {
        const int status = TryMethod(object, out, name);
        if (status != JS_FAILED) return status;
    }
    return JS_FAILED;
}

bool JS_ToBoolean(const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL: return value->real != 0.0 && !std::isnan(value->real);
    case VALUE_INT32: return value->i32 != 0;
    case VALUE_INT64: return value->i64 != 0;
    case VALUE_UNDEFINED:
    case VALUE_NULL: return false;
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text && *text;
    }
    case VALUE_OBJECT: return true;
    default:
        FatalRuntimeError("unhandled type (%d) for JS_ToBoolean", static_cast<int>(value->Kind()));
        return false;
    }
}

int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
    case VALUE_INT32:
    case VALUE_INT64: ScriptValue_SetReal(out, ScriptValue_ToReal(value)); return JS_CONVERTED;
    case VALUE_NULL: ScriptValue_SetReal(out, 0.0); return JS_CONVERTED;
    case VALUE_UNDEFINED: ScriptValue_SetReal(out, NAN); return JS_CONVERTED;
    case VALUE_STRING: ScriptValue_SetReal(out, TextToNumber(ScriptValue_StringText(value))); return JS_CONVERTED;
    case VALUE_OBJECT:
        return ThroughPrimitive(value, VALUE_REAL,
                                [out](const ScriptValue* primitive) { return JS_ConvertToNumber(out, primitive); });
    default: return JS_CONVERTED;
    }
}

double JS_ConvertToInteger(const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Real(NAN);
    JS_ConvertToNumber(&n, value);
    const double d = n.Kind() == VALUE_REAL ? n.real : NAN;
    if (std::isnan(d)) return 0.0;
    return std::isinf(d) ? d : std::trunc(d);
}

int JS_ConvertToInt32(ScriptValue* out, const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Real(0.0);
    const int status = JS_ConvertToNumber(&n, value);
    if (status != JS_CONVERTED) return status;
    ScriptValue_SetReal(out, static_cast<int32_t>(LowBits(n.real)));
    return JS_CONVERTED;
}

int JS_ConvertToUint32(ScriptValue* out, const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Real(0.0);
    const int status = JS_ConvertToNumber(&n, value);
    if (status != JS_CONVERTED) return status;
    ScriptValue_SetReal(out, LowBits(n.real));
    return JS_CONVERTED;
}

int JS_ConvertToString(ScriptValue* out, const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_INT32:
    case VALUE_INT64: {
        const double d = ScriptValue_ToReal(value);
        char text[256];
        if (std::isnan(d)) SetText(out, "NaN");
        else if (std::isinf(d)) SetText(out, d < 0 ? "-Infinity" : "Infinity");
        else if (d == 0.0) SetText(out, "0");
        else SetText(out, NumberToText(text, &d, 0, sizeof text) ? text : "NaN");
        return JS_CONVERTED;
    }
    case VALUE_STRING: {
        const ScriptValue copy = *value;
        ScriptValue_AddRef(&copy);
        ScriptValue_SetUndefined(out);
        *out = copy;
        out->flags = 0;
        return JS_CONVERTED;
    }
    case VALUE_UNDEFINED: SetText(out, "undefined"); return JS_CONVERTED;
    case VALUE_NULL: SetText(out, "null"); return JS_CONVERTED;
    case VALUE_BOOL: SetText(out, value->real != 0.0 ? "true" : "false"); return JS_CONVERTED;
    case VALUE_OBJECT:
        return ThroughPrimitive(value, VALUE_STRING,
                                [out](const ScriptValue* primitive) { return JS_ConvertToString(out, primitive); });
    default: SetText(out, "[[unknown]]"); return JS_CONVERTED;
    }
}

int F_JS_ToObject(ScriptValue* out, const ScriptValue* value)
{
    ScriptValue argument = *value;
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_INT32:
    case VALUE_INT64: JS_Number_Construct(out, nullptr, nullptr, 1, &argument); return JS_CONVERTED;
    case VALUE_STRING: JS_String_Construct(out, nullptr, nullptr, 1, &argument); return JS_CONVERTED;
    case VALUE_BOOL: JS_Boolean_Construct(out, nullptr, nullptr, 1, &argument); return JS_CONVERTED;
    case VALUE_OBJECT: {
        const ScriptValue copy = *value;
        ScriptValue_SetUndefined(out);
        out->obj = copy.obj;
        out->kind = VALUE_OBJECT;
        return JS_CONVERTED;
    }
    case VALUE_UNDEFINED:
    case VALUE_NULL: return JS_FAILED;
    default:
        FatalRuntimeError("unhandled type (%d) for F_JS_ToObject", static_cast<int>(value->Kind()));
        return JS_FAILED;
    }
}

// ------------------------------------------------------------------ wrappers and built-in entry points

void JS_NewWrapperObject(ScriptValue* out, KVObjectBase* prototype, const char* className, const ScriptValue* primitive)
{
    ScriptValue made = ScriptValue_Undefined();
    JS_NewStandardObject(&made, nullptr, nullptr, 0, nullptr);
    KVObjectBase* object = made.obj;
    if (prototype) object->AddObject("[[Prototype]]", prototype, 0);
    object->AddString("[[Class]]", className, 0);
    if (primitive) object->AddValue("[[PrimitiveValue]]", primitive, 0);
    ScriptValue holder = ScriptValue_Undefined();
    JS_NewStandardObject(&holder, nullptr, nullptr, 0, nullptr);
    holder.obj->AddObject("constructor", object, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    ScriptValue* slot = object->SlotAt(0);
    if (slot) {
        ScriptValue_SetUndefined(slot);
        *slot = holder;
        slot->flags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
    }
    ScriptValue_SetUndefined(out);
    *out = made;
}

void JS_Boolean_Construct(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue primitive = ScriptValue_Real(argc > 0 && JS_ToBoolean(&args[0]) ? 1.0 : 0.0);
    JS_NewWrapperObject(out, JS_BooleanPrototype, "Boolean", &primitive);
}

void JS_Boolean_Call(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(result, argc > 0 && JS_ToBoolean(&args[0]));
}

void JS_String_Call(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 1 || args[0].Kind() == VALUE_UNSET) {
        SetText(result, "");
        return;
    }
    if (JS_ConvertToString(result, &args[0]) == JS_FAILED) JS_RaiseTypeError("NoMessage");
}

namespace {
double NumberOfArgument(int argc, ScriptValue* args)
{
    ScriptValue n = ScriptValue_Real(NAN);
    if (argc > 0) JS_ConvertToNumber(&n, &args[0]);
    return n.Kind() == VALUE_REAL ? n.real : NAN;
}
}  // namespace

void JS_IsNaN(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(result, std::isnan(NumberOfArgument(argc, args)));
}

void JS_IsFinite(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(result, std::isfinite(NumberOfArgument(argc, args)));
}
