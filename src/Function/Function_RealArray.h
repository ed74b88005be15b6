#pragma once
// Results that are a fixed list of numbers: a new one-row array of exactly
// count reals (an empty row for 0), owned by the result.
#include <cstdint>

struct ScriptValue;

void Function_ReturnRealArray(ScriptValue* result, int32_t count, const double* values);
// The same from single-precision values.
void Function_ReturnFloatArray(ScriptValue* result, int32_t count, const float* values);
