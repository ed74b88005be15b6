#include "Code/Code_ValueIndex.h"

#include "Base/ErrorReport.h"

ArrayIndexFault g_ArrayIndexFault = {false, 0, 0, 0, 0};

namespace {
void RecordFault(const RefArray* array, int32_t row, int32_t column)
{
    g_ArrayIndexFault.set = true;
    g_ArrayIndexFault.row = row;
    g_ArrayIndexFault.column = column;
    g_ArrayIndexFault.rowCount = array ? array->rowCount : 0;
    g_ArrayIndexFault.rowLength = (array && row >= 0 && row < array->rowCount) ? array->rows[row].length : -1;
}
}  // namespace

bool ScriptValue_GetIndexed(ScriptValue* dest, ScriptValue* src, int32_t index)
{
    if (src->Kind() != VALUE_ARRAY) {
        if (index != ARRAY_INDEX_NONE) FatalRuntimeError("trying to index a variable which is not an array");
        dest->Assign(*src);
        return true;
    }
    RefArray* array = src->arr;
    if (array && !array->owner) array->owner = src;
    if (index == ARRAY_INDEX_NONE) {
        dest->Assign(*src);
        return true;
    }
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    if (array && row >= 0 && column >= 0 && row < array->rowCount && column < array->rows[row].length) {
        dest->Assign(array->rows[row].elements[column]);
        return true;
    }
    RecordFault(array, row, column);
    uint32_t flags = dest->flags;
    ScriptValue_SetReal(dest, 0.0);
    dest->flags = flags;
    return false;
}

void ScriptValue_SetIndexed(ScriptValue* dest, ScriptValue* src, int32_t index)
{
    if (index == ARRAY_INDEX_NONE) {
        if (src->Kind() == VALUE_ARRAY && src->arr && !src->arr->owner) src->arr->owner = src;
        dest->Assign(*src);
        return;
    }
    if (dest->Kind() != VALUE_ARRAY) {
        if (dest->MayOwn()) ScriptValue_FreePayload(dest);
        dest->i64 = 0;
        dest->flags = 0;
        dest->kind = VALUE_ARRAY;
    }
    if (!dest->arr) {
        dest->arr = RefArray_New(dest);
        if (!dest->arr) return;
    } else if (dest->arr->owner != dest && dest->arr->count != 1) {
        RefArray* clone = RefArray_Clone(dest->arr, dest);
        if (!clone) return;
        --dest->arr->count;
        dest->arr = clone;
    }
    ScriptValue_ArraySet(dest, src, index);
}

void ScriptValue_ArraySet(ScriptValue* dest, const ScriptValue* src, int32_t index)
{
    RefArray* array = dest->arr;
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    if (row >= 0 && !RefArray_EnsureRow(array, row, "Array Set Value")) return;
    if (row < 0 || column < 0) {
        RecordFault(array, row, column);
        return;
    }
    // Keep a reference to src while the row may move: src can be an element
    // of this very array.
    ScriptValue held = *src;
    held.flags &= ~VALUE_FLAG_OWNED_PTR;
    ScriptValue_AddRef(&held);
    if (RefArray_EnsureColumn(array, row, column, "Array Set Value")) array->rows[row].elements[column].Assign(held);
    ScriptValue_FreePayload(&held);
}
