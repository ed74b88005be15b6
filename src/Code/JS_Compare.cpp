// Equality and relational comparison of values by the object model's rules.
#include "Code/JS_Main.h"

#include <cmath>
#include <cstring>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"

namespace {
bool IsNumberKind(uint32_t kind) { return kind == VALUE_REAL || kind == VALUE_INT32 || kind == VALUE_INT64; }
bool IsObjectKind(uint32_t kind) { return kind == VALUE_OBJECT || kind == VALUE_PTR; }

double NumberOf(const ScriptValue* value)
{
    ScriptValue n = ScriptValue_Undefined();
    JS_ConvertToNumber(&n, value);
    return n.real;
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

