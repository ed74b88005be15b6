// The text form of values.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Base/HeapTextBuilder.h"

namespace {
// Cycle guard: every call counts a visit; records visited since the outermost
// call began (mark >= generation) print only their braces.
uint32_t s_visitCounter = 0;
int32_t s_depth = 0;
uint32_t s_generation = 0;

bool IsIntegral64(double d)
{
    return d >= -9223372036854775808.0 && d < 9223372036854775808.0 && std::trunc(d) == d;
}

void AppendArray(char** cursor, char** start, int32_t* capacity, RefArray* array)
{
    AppendTextGrow(cursor, start, capacity, "{ ");
    if (array && array->visitMark < s_generation) {
        array->visitMark = s_visitCounter;
        for (int32_t r = 0; r < array->rowCount; ++r) {
            const RefArrayRow& row = array->rows[r];
            AppendTextGrow(cursor, start, capacity, "{ ");
            for (int32_t c = 0; c < row.length; ++c) {
                if (c > 0) AppendTextGrow(cursor, start, capacity, ",");
                ScriptValue_AppendText(cursor, start, capacity, &row.elements[c]);
            }
            AppendTextGrow(cursor, start, capacity, " }, ");
        }
    }
    AppendTextGrow(cursor, start, capacity, " }");
}

void AppendObject(char** cursor, char** start, int32_t* capacity, KVObjectBase* object)
{
    if (!object) {
        AppendTextGrow(cursor, start, capacity, "null");
        return;
    }
    if (object->m_visitMark >= s_generation) return;
    object->m_visitMark = s_visitCounter;
    ScriptValue method = ScriptValue_Undefined();
    JS_Object_GetProperty(object, &method, "toString");
    if (method.Kind() != VALUE_UNSET && JS_IsCallable(&method)) {
        ScriptValue result = ScriptValue_Undefined();
        JS_CallValue(object, &result, &method, 0, nullptr);
        if (const char* text = ScriptValue_StringText(&result)) AppendTextGrow(cursor, start, capacity, text);
        ScriptValue_SetUndefined(&result);
    }
    if (method.Kind() != VALUE_UNSET) ScriptValue_SetUndefined(&method);
}
}  // namespace

char* AppendTextGrow(char** cursor, char** start, int32_t* capacity, const char* text)
{
    size_t used = *start ? static_cast<size_t>(*cursor - *start) : 0;
    size_t n = std::strlen(text);
    if (used + n + 1 > static_cast<size_t>(*capacity)) {
        size_t grown = static_cast<size_t>(*capacity) * 2;
        size_t needed = used + n + 1 + 1;
        size_t newCapacity = grown > needed ? grown : needed;
        auto* block = static_cast<char*>(Code_ReallocMemory(*start, newCapacity));
        if (!block) return *cursor;
        std::memset(block + used, 0, newCapacity - used);
        *start = block;
        *capacity = static_cast<int32_t>(newCapacity);
        *cursor = block + used;
    }
    std::memcpy(*cursor, text, n + 1);
    *cursor += n;
    return *cursor;
}

void ScriptValue_AppendText(char** cursor, char** start, int32_t* capacity, const ScriptValue* value)
{
    ++s_visitCounter;
    if (s_depth++ == 0) s_generation = s_visitCounter;
    char number[64];
    switch (value->Kind()) {
    case VALUE_REAL:
        if (std::isnan(value->real))
            AppendTextGrow(cursor, start, capacity, "NaN");
        else {
            if (IsIntegral64(value->real))
                std::snprintf(number, sizeof number, "%" PRId64, static_cast<int64_t>(value->real));
            else
                std::snprintf(number, sizeof number, "%.2f", value->real);
            AppendTextGrow(cursor, start, capacity, number);
        }
        break;
    case VALUE_STRING:
        if (const char* text = ScriptValue_StringText(value)) AppendTextGrow(cursor, start, capacity, text);
        break;
    case VALUE_ARRAY:
        AppendArray(cursor, start, capacity, value->arr);
        break;
    case VALUE_PTR:
        std::snprintf(number, sizeof number, "%p", value->ptr);
        AppendTextGrow(cursor, start, capacity, number);
        break;
    case VALUE_UNDEFINED:
        AppendTextGrow(cursor, start, capacity, "undefined");
        break;
    case VALUE_OBJECT:
        AppendObject(cursor, start, capacity, value->obj);
        break;
    case VALUE_INT32:
        std::snprintf(number, sizeof number, "%d", value->i32);
        AppendTextGrow(cursor, start, capacity, number);
        break;
    case VALUE_INT64:
        std::snprintf(number, sizeof number, "%" PRId64, value->i64);
        AppendTextGrow(cursor, start, capacity, number);
        break;
    case VALUE_BOOL:
        AppendTextGrow(cursor, start, capacity, value->real == 0.0 ? "0" : "1");
        break;
    case VALUE_UNSET:
        FatalRuntimeError("STRING argument is unset");
        break;
    default:
        break;
    }
    --s_depth;
}

void TextBuilder_AppendValue(HeapTextBuilder* builder, const ScriptValue* value)
{
    int32_t scratchCapacity = 256;
    auto* scratch = static_cast<char*>(Code_AllocMemory(static_cast<size_t>(scratchCapacity)));
    if (!scratch) return;
    scratch[0] = 0;
    char* cursor = scratch;
    ScriptValue_AppendText(&cursor, &scratch, &scratchCapacity, value);
    builder->Append(scratch);
    Code_FreeMemory(scratch);
}
