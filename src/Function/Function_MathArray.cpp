// The array built-ins, the kind tests and the conversions. The built-ins get
// bit copies of their arguments, so writes land in the caller's own array.
#include <cstdint>
#include <vector>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_ValueIndex.h"
#include "Code/MathEpsilon.h"
#include "Function/Function_MathRoutines.h"

namespace {
bool IsArray(const ScriptValue& v) { return v.Kind() == VALUE_ARRAY; }

int32_t RowLength(const RefArray* array, int64_t row)
{
    return array && row >= 0 && row < array->rowCount ? array->rows[row].length : -1;
}

// The element at row x 32000 + column, or null outside the array.
const ScriptValue* Element(const RefArray* array, int64_t row, int64_t column)
{
    if (column < 0 || column >= RowLength(array, row)) return nullptr;
    return &array->rows[row].elements[column];
}

const ScriptValue* ElementAt(const RefArray* array, int32_t index)
{
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    return Element(array, row, column);
}

// A 2-D position as the one index the arrays use; false when it has none
// (a negative part, or an index beyond 32 bits).
bool Index2D(int64_t row, int64_t column, int32_t* index)
{
    const int64_t i = row * ARRAY_ROW_STRIDE + column;
    if (row < 0 || column < 0 || i > INT32_MAX) return false;
    *index = static_cast<int32_t>(i);
    return true;
}

void SetBool(ScriptValue* result, bool b)
{
    ScriptValue_SetReal(result, b ? 1.0 : 0.0);
    result->kind = VALUE_BOOL;
}

// The setters' checks: the argument count, then an array in argument 0 that has its record.
bool SetterArgumentsOk(int argc, ScriptValue* args, int required, const char* name)
{
    const bool array = argc > 0 && IsArray(args[0]);
    if (argc != required || (array && !args[0].arr)) {
        if (array) FatalRuntimeError("%s :: takes %d arguments", name, required);
        else FatalRuntimeError("%s :: argument 0 is not an array", name);
        return false;
    }
    if (!array) {
        FatalRuntimeError("%s :: argument 0 is not an array", name);
        return false;
    }
    return true;
}

void Store(ScriptValue* array, int32_t index, const ScriptValue* value) { ScriptValue_ArraySet(array, value, index); }

// The old element (the real 0 where there was none) into result, then the store.
void StorePost(ScriptValue* result, ScriptValue* array, bool hasIndex, int32_t index, const ScriptValue* value)
{
    const ScriptValue* old = hasIndex ? ElementAt(array->arr, index) : nullptr;
    if (old) result->Assign(*old);
    else ScriptValue_SetReal(result, 0.0);
    if (hasIndex) Store(array, index, value);
}
}  // namespace

// ---------------------------------------------------------------- kind tests

namespace {
void KindIs(ScriptValue* result, ScriptValue* args, uint32_t kind) { ScriptValue_SetReal(result, args[0].kind == kind ? 1.0 : 0.0); }
}  // namespace

void F_IsBool(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_BOOL); }
void F_IsReal(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_REAL); }
void F_IsString(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_STRING); }
void F_IsArray(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_ARRAY); }
void F_IsUndefined(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_UNDEFINED); }
void F_IsInt32(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_INT32); }
void F_IsInt64(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_INT64); }
void F_IsPtr(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_PTR); }
void F_IsVec3(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_VEC3); }
void F_IsVec4(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_VEC4); }
void F_IsMatrix(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { KindIs(r, a, VALUE_VEC44); }

void F_TypeOf(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetString(r, ScriptValue_KindName(&a[0]));
}

// ---------------------------------------------------------------- conversions

namespace {
// An array converts through its element [0][0], read without writing to it.
const ScriptValue* ConversionSource(const ScriptValue& v, const ScriptValue& zero)
{
    if (!IsArray(v)) return &v;
    const ScriptValue* first = Element(v.arr, 0, 0);
    return first ? first : &zero;
}
}  // namespace

void F_Real(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const ScriptValue zero = ScriptValue_Real(0.0);
    ScriptValue source = *ConversionSource(a[0], zero);
    ScriptValue_SetReal(r, ScriptValue_ToReal(&source));
}

void F_Int64(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const ScriptValue zero = ScriptValue_Real(0.0);
    ScriptValue source = *ConversionSource(a[0], zero);
    const int64_t v = ScriptValue_ToInt64(&source);
    ScriptValue_SetUndefined(r);
    r->i64 = v;
    r->kind = VALUE_INT64;
}

void F_Ptr(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const ScriptValue zero = ScriptValue_Real(0.0);
    ScriptValue source = *ConversionSource(a[0], zero);
    const intptr_t v = ScriptValue_ToPointer(&source);
    ScriptValue_SetUndefined(r);
    r->ptr = reinterpret_cast<void*>(v);
    r->kind = VALUE_PTR;
}

// ---------------------------------------------------------------- measuring and reading

void F_ArrayLength1D(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const int32_t length = IsArray(a[0]) ? RowLength(a[0].arr, 0) : -1;
    ScriptValue_SetReal(r, length > 0 ? length : 0);
}

void F_ArrayLength2D(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const bool array = IsArray(a[0]);
    const int32_t row = Arg_Int32(a, 1);
    const int32_t length = array ? RowLength(a[0].arr, row) : -1;
    ScriptValue_SetReal(r, length > 0 ? length : 0);
}

void F_ArrayHeight2D(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    const bool counted = argc == 1 && IsArray(a[0]) && a[0].arr;
    ScriptValue_SetReal(r, counted ? a[0].arr->rowCount : 0);
}

void F_ArrayGet(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    if (!IsArray(a[0]) || !a[0].arr) return;
    const RefArray* array = a[0].arr;
    const int32_t index = Arg_Int32(a, 1);
    if (const ScriptValue* e = ElementAt(array, index)) {
        r->Assign(*e);
        return;
    }
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    FatalRuntimeError("array_get :: Index [%d,%d] out of range [%d,%d]", row, column, array->rowCount,
                      RowLength(array, row));
}

void F_ArrayGet2D(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc != 3 || !IsArray(a[0]) || !a[0].arr) return;
    const ScriptValue* e = Element(a[0].arr, Arg_Int32(a, 1), Arg_Int32(a, 2));
    if (e) r->Assign(*e);
    else ScriptValue_SetReal(r, 0.0);
}

// ---------------------------------------------------------------- writing

void F_ArraySet(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (SetterArgumentsOk(argc, a, 3, "array_set")) Store(&a[0], Arg_Int32(a, 1), &a[2]);
}

void F_ArraySetPre(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (!SetterArgumentsOk(argc, a, 3, "array_set")) return;
    Store(&a[0], Arg_Int32(a, 1), &a[2]);
    r->Assign(a[2]);
}

void F_ArraySetPost(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc != 3) {
        FatalRuntimeError("array_set :: takes 3 arguments");
        return;
    }
    if (!IsArray(a[0]) || !a[0].arr) {
        FatalRuntimeError("trying to index a variable which is not an array");
        return;
    }
    StorePost(r, &a[0], true, Arg_Int32(a, 1), &a[2]);
}

void F_ArraySet2D(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (!SetterArgumentsOk(argc, a, 4, "array_set_2d")) return;
    int32_t index;
    if (Index2D(Arg_Int32(a, 1), Arg_Int32(a, 2), &index)) Store(&a[0], index, &a[3]);
}

void F_ArraySet2DPre(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (!SetterArgumentsOk(argc, a, 4, "array_set_2d")) return;
    int32_t index;
    if (Index2D(Arg_Int32(a, 1), Arg_Int32(a, 2), &index)) Store(&a[0], index, &a[3]);
    r->Assign(a[3]);
}

void F_ArraySet2DPost(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (!SetterArgumentsOk(argc, a, 4, "array_set_2d")) return;
    int32_t index = 0;
    const bool hasIndex = Index2D(Arg_Int32(a, 1), Arg_Int32(a, 2), &index);
    StorePost(r, &a[0], hasIndex, index, &a[3]);
}

void F_ArrayCreate(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    ScriptValue_SetUndefined(r);
    r->kind = VALUE_ARRAY;
    r->arr = RefArray_New(r);
    if (!r->arr || argc < 1) return;
    const int32_t size = Arg_Int32(a, 0);
    if (size <= 0) return;
    if (argc < 2) {
        const ScriptValue zero = ScriptValue_Real(0.0);
        Store(r, size - 1, &zero);
        return;
    }
    for (int32_t i = size - 1; i >= 0; --i) Store(r, i, &a[1]);
}

// ---------------------------------------------------------------- comparing and copying

void F_ArrayEquals(ScriptValue* r, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc != 2) {
        FatalRuntimeError("array_equals :: takes 2 arguments");
        return;
    }
    if (!IsArray(a[0]) || !IsArray(a[1])) {
        FatalRuntimeError(IsArray(a[0]) ? "array_equals :: argument 1 is not an array"
                                        : "array_equals :: argument 0 is not an array");
        return;
    }
    const RefArray* x = a[0].arr;
    const RefArray* y = a[1].arr;
    const int32_t rows = x ? x->rowCount : 0;
    bool equal = rows == (y ? y->rowCount : 0);
    for (int32_t row = 0; equal && row < rows; ++row) {
        const RefArrayRow& rx = x->rows[row];
        const RefArrayRow& ry = y->rows[row];
        equal = rx.length == ry.length;
        for (int32_t c = 0; equal && c < rx.length; ++c) {
            equal = Value_CompareEpsilon(&ry.elements[c], &rx.elements[c], MathEpsilon) == 0;
        }
    }
    SetBool(r, equal);
}

// Copies n elements from source index s on to destination index d on. The
// source elements are taken before anything is stored, so a copy within one
// array behaves like a move whichever way the ranges overlap, and the
// destination may grow (and move its rows) freely. Source elements that do not
// exist are not stored.
void F_ArrayCopy(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* a)
{
    if (argc != 5) {
        FatalRuntimeError("array_copy :: takes 5 arguments");
        return;
    }
    if (!IsArray(a[0]) || !IsArray(a[2])) {
        FatalRuntimeError(IsArray(a[0]) ? "array_copy :: argument 2 is not an array"
                                        : "array_copy :: argument 0 is not an array");
        return;
    }
    if (!a[0].arr) {
        FatalRuntimeError("array_copy :: takes 5 arguments");
        return;
    }
    const int64_t d = Arg_Int32(a, 1);
    const int64_t s = Arg_Int32(a, 3);
    const int64_t n = Arg_Int32(a, 4);
    const RefArray* source = a[2].arr;
    if (n <= 0 || !source) return;
    // No element lies at or beyond the end of the source's last row.
    const int64_t sourceEnd = static_cast<int64_t>(source->rowCount) * ARRAY_ROW_STRIDE;
    struct Pending {
        int32_t index;
        ScriptValue value;
    };
    std::vector<Pending> pending;
    for (int64_t k = s < 0 ? -s : 0; k < n && s + k < sourceEnd; ++k) {
        const ScriptValue* e = ElementAt(source, static_cast<int32_t>(s + k));
        const int64_t to = d + k;
        if (!e || to < 0 || to > INT32_MAX) continue;
        Pending p{static_cast<int32_t>(to), ScriptValue_Undefined()};
        p.value.Assign(*e);
        pending.push_back(p);
    }
    for (Pending& p : pending) {
        Store(&a[0], p.index, &p.value);
        ScriptValue_SetUndefined(&p.value);
    }
}
