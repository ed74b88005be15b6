#include "DataStructure/DS_Values.h"

#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_ValueConvert.h"

double DsPrecision = kDsStartPrecision;

void DsSetPrecision(double precision)
{
    DsPrecision = std::fabs(precision);
}

int DsCompare(const ScriptValue* a, const ScriptValue* b)
{
    return Value_CompareEpsilon(a, b, DsPrecision);
}

DsNestedKind DsValue_NestedKind(const ScriptValue* value)
{
    if (value->Kind() != VALUE_REAL) return DS_NESTED_NONE;
    if (value->kind & KIND_NESTED_MAP) return DS_NESTED_MAP;
    if (value->kind & KIND_NESTED_LIST) return DS_NESTED_LIST;
    return DS_NESTED_NONE;
}

int32_t DsValue_NestedHandle(const ScriptValue* value)
{
    return DoubleToInt32(value->real);
}

bool DsValues_Grow(ScriptValue** items, int32_t* capacity, int64_t newCapacity)
{
    if (newCapacity <= *capacity) return true;
    if (newCapacity > DS_MAX_VALUES) return false;
    ScriptValue* old = *items;
    auto* grown = static_cast<ScriptValue*>(QS_REALLOC(old, static_cast<size_t>(newCapacity) * sizeof(ScriptValue)));
    if (!grown) return false;
    // The memory manager zero-fills grown memory only past the old block;
    // slots past the old capacity must read as the real 0.
    std::memset(static_cast<void*>(grown + *capacity), 0,
                static_cast<size_t>(newCapacity - *capacity) * sizeof(ScriptValue));
    ScriptValue_FixOwnersAfterMove(grown, reinterpret_cast<uintptr_t>(old), *capacity);
    *items = grown;
    *capacity = static_cast<int32_t>(newCapacity);
    return true;
}

void DsValue_Move(ScriptValue* dst, ScriptValue* src)
{
    *dst = *src;
    if (dst->Kind() == VALUE_ARRAY && dst->arr && dst->arr->owner == src) dst->arr->owner = dst;
}

void DsValue_Swap(ScriptValue* a, ScriptValue* b)
{
    if (a == b) return;
    const bool aOwns = a->Kind() == VALUE_ARRAY && a->arr && a->arr->owner == a;
    const bool bOwns = b->Kind() == VALUE_ARRAY && b->arr && b->arr->owner == b;
    ScriptValue held = *a;
    *a = *b;
    *b = held;
    if (aOwns) b->arr->owner = b;
    if (bOwns) a->arr->owner = a;
}

void DsValues_Free(ScriptValue* items, int32_t capacity)
{
    if (!items) return;
    for (int32_t i = 0; i < capacity; ++i) ScriptValue_SetUndefined(&items[i]);
    QS_FREE(items);
}
