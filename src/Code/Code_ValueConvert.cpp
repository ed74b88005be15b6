#include "Code/Code_ValueConvert.h"

#include "Base/CRC32.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Base/ErrorReport.h"

namespace {
const char* const kKindNames[] = {
    "number", "string", "array", "ptr",   "vec3",  "undefined", "object",   "int32",
    "vec4",   "vec44",  "int64", "accessor", "null", "bool",      "iterator",
};

bool IsNumberOrBool(uint32_t kind) { return kind == VALUE_REAL || kind == VALUE_BOOL; }

// The text's base-10 long as a 32-bit platform reads it (saturating).
int32_t ParseInt32(const char* text)
{
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Element [0][0], created when missing; an array shared with a value that
// is not its owner is cloned first.
ScriptValue* FirstElement(ScriptValue* value) { return ScriptValue_ArrayElementForWrite(value, 0); }
}  // namespace

int64_t DoubleToInt64(double d)
{
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775808.0) return INT64_MAX;
    if (d < -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(d);
}

float DoubleToFloat(double d)
{
    constexpr double kMax = 3.4028234663852886e38;
    if (d > kMax) return INFINITY;
    if (d < -kMax) return -INFINITY;
    return static_cast<float>(d);
}

double ScriptValue_ToReal(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return value->real;
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text ? std::atof(text) : 0.0;
    }
    case VALUE_ARRAY: {
        ScriptValue* e = FirstElement(value);
        return e ? ScriptValue_ToReal(e) : 0.0;
    }
    case VALUE_INT32:
        return value->i32;
    case VALUE_INT64:
        return static_cast<double>(value->i64);
    case VALUE_UNDEFINED:
        return 0.0;
    case VALUE_UNSET:
        FatalRuntimeError("REAL argument is unset");
        return 0.0;
    default:
        FatalRuntimeError("REAL argument incorrect type %d", static_cast<int>(value->Kind()));
        return 0.0;
    }
}

int32_t ScriptValue_ToInt32(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return DoubleToInt32(value->real);
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text ? ParseInt32(text) : 0;
    }
    case VALUE_ARRAY: {
        ScriptValue* e = FirstElement(value);
        return e ? ScriptValue_ToInt32(e) : 0;
    }
    case VALUE_PTR:
    case VALUE_INT32:
    case VALUE_INT64:
        return static_cast<int32_t>(static_cast<uint32_t>(value->i64));
    case VALUE_UNDEFINED:
        return 0;
    case VALUE_UNSET:
        FatalRuntimeError("I32 argument is unset");
        return 0;
    default:
        FatalRuntimeError("I32 argument incorrect type %d", static_cast<int>(value->Kind()));
        return 0;
    }
}

int64_t ScriptValue_ToInt64(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return DoubleToInt64(value->real);
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text ? std::strtoll(text, nullptr, 10) : 0;
    }
    case VALUE_ARRAY: {
        ScriptValue* e = FirstElement(value);
        return e ? ScriptValue_ToInt64(e) : 0;
    }
    case VALUE_PTR:
        return static_cast<int64_t>(reinterpret_cast<intptr_t>(value->ptr));
    case VALUE_INT32:
        return value->i32;
    case VALUE_INT64:
        return value->i64;
    case VALUE_UNDEFINED:
        return 0;
    case VALUE_UNSET:
        FatalRuntimeError("I64 argument is unset");
        return 0;
    default:
        FatalRuntimeError("I64 argument incorrect type %d", static_cast<int>(value->Kind()));
        return 0;
    }
}

intptr_t ScriptValue_ToPointer(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        return static_cast<intptr_t>(DoubleToInt64(value->real));
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        return text ? static_cast<intptr_t>(std::strtoll(text, nullptr, 16)) : 0;
    }
    case VALUE_ARRAY: {
        ScriptValue* e = FirstElement(value);
        return e ? ScriptValue_ToPointer(e) : 0;
    }
    case VALUE_PTR:
        return reinterpret_cast<intptr_t>(value->ptr);
    case VALUE_INT32:
        return value->i32;
    case VALUE_INT64:
        return static_cast<intptr_t>(value->i64);
    case VALUE_UNDEFINED:
        return 0;
    case VALUE_UNSET:
        FatalRuntimeError("PTR argument is unset");
        return 0;
    default:
        FatalRuntimeError("PTR argument incorrect type %d", static_cast<int>(value->Kind()));
        return 0;
    }
}

const char* ScriptValue_KindName(const ScriptValue* value)
{
    uint32_t kind = value->Kind();
    return kind < sizeof kKindNames / sizeof kKindNames[0] ? kKindNames[kind] : "unknown";
}

// ---------------------------------------------------------------- hash

uint32_t ScriptValue_Hash(const ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
        return static_cast<uint32_t>(DoubleToInt32(value->real));
    case VALUE_STRING:
        if (!value->str) return 0;
        return value->str->text ? CRC32_String(value->str->text) : 0xFFFFFFFFu;
    case VALUE_ARRAY:
        return value->arr ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value->arr->rows)) : 0;
    case VALUE_UNDEFINED:
        return 0;
    case VALUE_UNSET:
        FatalRuntimeError("HASH argument is unset");
        return static_cast<uint32_t>(value->i64);
    default:
        return static_cast<uint32_t>(value->i64);
    }
}

// ---------------------------------------------------------------- comparison

namespace {
template <typename T>
int Sign(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

template <typename T>
int Tolerant(T d, double tolerance)
{
    if (tolerance >= std::fabs(static_cast<double>(d))) return 0;
    return d < 0 ? -1 : 1;
}

bool IsInteger(uint32_t kind) { return kind == VALUE_INT32 || kind == VALUE_INT64; }
int64_t IntegerOf(const ScriptValue* v) { return v->Kind() == VALUE_INT32 ? v->i32 : v->i64; }
}  // namespace

int Value_CompareEpsilon(const ScriptValue* a, const ScriptValue* b, double tolerance)
{
    uint32_t ka = a->Kind(), kb = b->Kind();
    if (IsNumberOrBool(ka) && IsNumberOrBool(kb)) return Tolerant(a->real - b->real, tolerance);
    if ((ka == VALUE_INT32 && kb == VALUE_REAL) || (ka == VALUE_REAL && kb == VALUE_INT32)) {
        float fa = ka == VALUE_INT32 ? static_cast<float>(a->i32) : DoubleToFloat(a->real);
        float fb = kb == VALUE_INT32 ? static_cast<float>(b->i32) : DoubleToFloat(b->real);
        return Tolerant(fa - fb, tolerance);
    }
    if (ka == VALUE_BOOL && kb == VALUE_INT32) return Sign<int64_t>(DoubleToInt32(a->real), b->i32);
    if (ka == VALUE_INT32 && kb == VALUE_BOOL) return Sign<int64_t>(a->i32, DoubleToInt32(b->real));
    if (IsNumberOrBool(ka) && kb == VALUE_INT64) return Sign(DoubleToInt64(a->real), b->i64);
    if (ka == VALUE_INT64 && IsNumberOrBool(kb)) return Sign(a->i64, DoubleToInt64(b->real));
    if (IsInteger(ka) && IsInteger(kb)) return Sign(IntegerOf(a), IntegerOf(b));
    if (ka == VALUE_UNDEFINED && kb == VALUE_UNDEFINED) return 0;
    if (ka == VALUE_STRING && kb == VALUE_STRING) {
        const char* ta = ScriptValue_StringText(a);
        const char* tb = ScriptValue_StringText(b);
        if (!ta || !tb) return 1;
        int c = std::strcmp(ta, tb);  // compares as unsigned bytes
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (ka == VALUE_ARRAY && kb == VALUE_ARRAY) return (a->arr && a->arr == b->arr) ? 0 : 1;
    if (ka == VALUE_PTR && kb == VALUE_PTR) {
        auto pa = reinterpret_cast<uintptr_t>(a->ptr), pb = reinterpret_cast<uintptr_t>(b->ptr);
        return pa == pb ? 0 : (pa < pb ? 1 : -1);
    }
    return ka == VALUE_REAL ? -1 : 1;
}

// ---------------------------------------------------------------- compound operators

void ScriptValue_OperatorTypeError(const char* op, const ScriptValue* lhs, const ScriptValue* rhs)
{
    char* texts[2] = {nullptr, nullptr};
    const ScriptValue* values[2] = {lhs, rhs};
    for (int i = 0; i < 2; ++i) {
        char* cursor = nullptr;
        int32_t capacity = 0;
        AppendTextGrow(&cursor, &texts[i], &capacity, "");
        ScriptValue_AppendText(&cursor, &texts[i], &capacity, values[i]);
    }
    FatalRuntimeError("invalid type for %s lhs=%s (type=%d), rhs=%s (type=%d)", op, texts[0],
                      static_cast<int>(lhs->Kind()), texts[1], static_cast<int>(rhs->Kind()));
    Code_FreeMemory(texts[0]);
    Code_FreeMemory(texts[1]);
}

ScriptValue& ScriptValue::AddAssign(ScriptValue& rhs)
{
    switch (Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        real += ScriptValue_ToReal(&rhs);
        break;
    case VALUE_STRING: {
        if (rhs.Kind() != VALUE_STRING) {
            ScriptValue_OperatorTypeError("+=", this, &rhs);
            break;
        }
        const char* a = ScriptValue_StringText(this);
        const char* b = ScriptValue_StringText(&rhs);
        size_t na = a ? (str->length >= 0 ? static_cast<size_t>(str->length) : std::strlen(a)) : 0;
        size_t nb = b ? std::strlen(b) : 0;
        auto* text = static_cast<char*>(Code_AllocMemory(na + nb + 1));
        if (!text) break;
        if (na) std::memcpy(text, a, na);
        if (nb) std::memcpy(text + na, b, nb);
        text[na + nb] = 0;
        ScriptValue_AdoptString(this, text, static_cast<int32_t>(na + nb));
        break;
    }
    case VALUE_INT32:
        i32 = static_cast<int32_t>(static_cast<uint32_t>(i32) + static_cast<uint32_t>(ScriptValue_ToInt32(&rhs)));
        break;
    case VALUE_INT64:
        i64 = static_cast<int64_t>(static_cast<uint64_t>(i64) + static_cast<uint64_t>(ScriptValue_ToInt64(&rhs)));
        break;
    default:
        ScriptValue_OperatorTypeError("+=", this, &rhs);
        break;
    }
    return *this;
}

char* ValueToNewString(const ScriptValue* value)
{
    char* start = nullptr;
    char* cursor = nullptr;
    int32_t capacity = 0;
    AppendTextGrow(&cursor, &start, &capacity, "");
    ScriptValue_AppendText(&cursor, &start, &capacity, value);
    return start;
}
