#pragma once
// Element access through a single array index (row x 32000 + column).
#include <cstdint>

#include "Code/Code_Value.h"

// The last failed indexed access; the interpreter and array_get read it.
struct ArrayIndexFault {
    bool set;
    int32_t row;
    int32_t column;
    int32_t rowCount;
    int32_t rowLength;  // -1 when the row does not exist
};
extern ArrayIndexFault g_ArrayIndexFault;

bool ScriptValue_GetIndexed(ScriptValue* dest, ScriptValue* src, int32_t index);
void ScriptValue_SetIndexed(ScriptValue* dest, ScriptValue* src, int32_t index);
void ScriptValue_ArraySet(ScriptValue* dest, const ScriptValue* src, int32_t index);
