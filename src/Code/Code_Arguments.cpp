#include "Code/Code_Arguments.h"

#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Main.h"

namespace {
void KindError(const char* format, ScriptValue* args, int n)
{
    const char* name = CurrentBuiltinFunction ? CurrentBuiltinFunction->name : "<unknown>";
    FatalRuntimeError(format, name, n + 1, ScriptValue_KindName(&args[n]));
}

// Strings and objects read as numbers through the object model's conversion.
double ToNumber(const ScriptValue* value)
{
    ScriptValue number = ScriptValue_Undefined();
    JS_ConvertToNumber(&number, value);
    return number.Kind() == VALUE_REAL ? number.real : NAN;
}

bool IsNumeric(uint32_t kind) { return kind == VALUE_REAL || kind == VALUE_BOOL; }
bool IsConvertible(uint32_t kind) { return kind == VALUE_STRING || kind == VALUE_OBJECT; }
}  // namespace

bool Arg_Bool(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    switch (v.Kind()) {
    case VALUE_REAL:
        return v.real > 0.5;
    case VALUE_BOOL:
        return v.real != 0.0;  // NaN counts as true
    case VALUE_INT32:
        return v.i32 > 0;
    case VALUE_INT64:
        return v.i64 > 0;
    default:
        KindError("%s argument %d incorrect type (%s) expecting a Number (KVWB)", args, n);
        return false;
    }
}

float Arg_Float(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    switch (v.Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return DoubleToFloat(v.real);
    case VALUE_INT32:
        return static_cast<float>(v.i32);
    case VALUE_INT64:
        return static_cast<float>(static_cast<double>(v.i64));
    default:
        KindError("%s argument %d incorrect type (%s) expecting a Number (KVWF)", args, n);
        return 0.0f;
    }
}

int32_t Arg_Int32(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    uint32_t kind = v.Kind();
    if (IsNumeric(kind)) return DoubleToInt32(v.real);
    if (kind == VALUE_INT32 || kind == VALUE_INT64) return static_cast<int32_t>(static_cast<uint32_t>(v.i64));
    if (IsConvertible(kind)) return DoubleToInt32(ToNumber(&v));
    KindError("%s argument %d incorrect type (%s) expecting a Number (KVWI32)", args, n);
    return 0;
}

int64_t Arg_Int64(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    uint32_t kind = v.Kind();
    if (IsNumeric(kind)) return DoubleToInt64(v.real);
    if (kind == VALUE_INT32) return v.i32;
    if (kind == VALUE_INT64) return v.i64;
    if (IsConvertible(kind)) return DoubleToInt64(ToNumber(&v));
    KindError("%s argument %d incorrect type (%s) expecting a Number", args, n);
    return 0;
}

uint32_t Arg_UInt32(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    uint32_t kind = v.Kind();
    if (IsNumeric(kind)) return static_cast<uint32_t>(DoubleToInt32(v.real));
    if (kind == VALUE_INT32 || kind == VALUE_INT64) return static_cast<uint32_t>(v.i64);
    if (IsConvertible(kind)) return static_cast<uint32_t>(DoubleToInt32(ToNumber(&v)));
    KindError("%s argument %d incorrect type (%s) expecting a Number (KVWU32)", args, n);
    return 0;
}

double Arg_Real(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    switch (v.Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return v.real;
    case VALUE_INT32:
        return v.i32;
    case VALUE_INT64:
        return static_cast<double>(v.i64);
    case VALUE_STRING:
    case VALUE_OBJECT:
        return ToNumber(&v);
    default:
        KindError("%s argument %d incorrect type (%s) expecting a Number (KVWR)", args, n);
        return 0.0;
    }
}

intptr_t Arg_NumberOrPointer(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    switch (v.Kind()) {
    case VALUE_REAL:
        return static_cast<intptr_t>(DoubleToInt64(v.real));
    case VALUE_PTR:
        return reinterpret_cast<intptr_t>(v.ptr);
    case VALUE_INT32:
        return v.i32;
    case VALUE_INT64:
        return static_cast<intptr_t>(v.i64);
    default:
        KindError("%s argument %d incorrect type (%s) expecting a Number or Pointer", args, n);
        return -1;
    }
}

const char* Arg_String(ScriptValue* args, int n)
{
    const ScriptValue& v = args[n];
    if (v.Kind() == VALUE_STRING) return ScriptValue_StringText(&v);
    if (v.Kind() == VALUE_OBJECT) return nullptr;
    KindError("%s argument %d incorrect type (%s) expecting a String (KVWS)", args, n);
    return nullptr;
}

bool Arg_Need(int argc, int count, const char* fallbackName)
{
    if (argc >= count) return true;
    char message[160];
    std::snprintf(message, sizeof message, "%s: %d arguments given, %d needed",
                  CurrentBuiltinFunction ? CurrentBuiltinFunction->name : fallbackName, argc, count);
    ReportRuntimeError(message, false);
    return false;
}
