#pragma once
// What every data structure shares: the tolerance of its value comparisons,
// the nested-structure marks of stored handles, and moving value records
// inside growable arrays.
#include <cstdint>

#include "Code/Code_Value.h"

// Tolerance of every comparison a data structure makes.
constexpr double kDsStartPrecision = 1e-08;
extern double DsPrecision;
// Stores |precision|.
void DsSetPrecision(double precision);
int DsCompare(const ScriptValue* a, const ScriptValue* b);

enum DsNestedKind : int32_t { DS_NESTED_NONE = 0, DS_NESTED_LIST = 1, DS_NESTED_MAP = 2 };
// A real carrying a mark names a nested structure; both marks mean a map.
DsNestedKind DsValue_NestedKind(const ScriptValue* value);
// The handle a marked real names (truncated toward zero).
int32_t DsValue_NestedHandle(const ScriptValue* value);

// Containers refuse to hold more values than this: a position or size from
// game code must never turn into an allocation the machine cannot make.
constexpr int64_t DS_MAX_VALUES = int64_t{1} << 27;

// Grows a value array to newCapacity slots (new slots are the real 0) and
// re-points the owner links of arrays it holds. False, array unchanged, when
// the size is refused or memory runs out.
bool DsValues_Grow(ScriptValue** items, int32_t* capacity, int64_t newCapacity);
// Moves a record without touching reference counts; src keeps stale bits.
void DsValue_Move(ScriptValue* dst, ScriptValue* src);
void DsValue_Swap(ScriptValue* a, ScriptValue* b);
// A slot that no longer holds a reference becomes the real 0 (no release).
inline void DsValue_Forget(ScriptValue* value)
{
    *value = ScriptValue_Real(0.0);
}
// Releases every slot of an array and frees it.
void DsValues_Free(ScriptValue* items, int32_t capacity);
