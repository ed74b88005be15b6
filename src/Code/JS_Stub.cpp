#include "Code/JS_Main.h"

#include <cmath>
#include <cstdlib>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"

// Reals, bools and integers convert; a string is read as a decimal number with
// surrounding blanks allowed (anything else is NaN); other kinds give NaN.
int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value)
{
    double d = NAN;
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
    case VALUE_INT32:
    case VALUE_INT64:
        d = ScriptValue_ToReal(value);
        break;
    case VALUE_NULL:
        d = 0.0;
        break;
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        if (!text) break;
        char* end = nullptr;
        double parsed = std::strtod(text, &end);
        while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r') ++end;
        if (*end == 0) d = (end == text) ? 0.0 : parsed;
        break;
    }
    default:
        break;
    }
    ScriptValue_SetReal(out, d);
    return 0;
}

int JS_Object_GetProperty(KVObjectBase*, ScriptValue* out, const char*)
{
    out->kind = VALUE_UNSET;
    return VALUE_UNSET;
}

bool JS_IsCallable(const ScriptValue*) { return false; }

int JS_CallValue(KVObjectBase*, ScriptValue* result, const ScriptValue*, int, ScriptValue*)
{
    ScriptValue_SetUndefined(result);
    return 1;
}

KVObjectBase* GlobalScopeObject = nullptr;

void JS_CallGetter(KVObjectBase*, KVObjectBase*, ScriptValue* out)
{
    ScriptValue_SetUndefined(out);
}

void JS_CallSetter(KVObjectBase*, KVObjectBase*, ScriptValue*) {}

void JS_InitBuiltInObjects() {}
void JS_CreateResourceObject() {}
