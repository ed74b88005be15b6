#include "Function/Function_RealArray.h"

#include "Code/Code_Value.h"

namespace {
template <typename T>
void ReturnReals(ScriptValue* result, int32_t count, const T* values)
{
    ScriptValue_SetUndefined(result);
    RefArray* array = RefArray_New(result);
    if (!array) return;
    result->arr = array;
    result->kind = VALUE_ARRAY;
    if (!RefArray_EnsureRow(array, 0, "Function_RealArray")) return;
    if (count > 0 && !RefArray_EnsureColumn(array, 0, count - 1, "Function_RealArray")) return;
    for (int32_t k = 0; k < count; ++k) ScriptValue_SetReal(&array->rows[0].elements[k], values[k]);
}
}  // namespace

void Function_ReturnRealArray(ScriptValue* result, int32_t count, const double* values)
{
    ReturnReals(result, count, values);
}

void Function_ReturnFloatArray(ScriptValue* result, int32_t count, const float* values)
{
    ReturnReals(result, count, values);
}
