#include "Code/Code_Value.h"

#include <cstring>
#include <new>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/ObjectBase.h"

void* Code_AllocMemory(size_t size) { return QS_ALLOC(size, false); }
void* Code_ReallocMemory(void* block, size_t size) { return QS_REALLOC(block, size); }
void Code_FreeMemory(void* block) { QS_FREE(block); }
void VM_FreeMemory(void* block) { QS_FREE(block); }

// ---------------------------------------------------------------- strings

char* DupString(const char* text)
{
    int32_t length;
    return DupStringWithLength(text, &length);
}

char* DupStringWithLength(const char* text, int32_t* outLength)
{
    *outLength = 0;
    if (!text) return nullptr;
    size_t n = std::strlen(text);
    auto* copy = static_cast<char*>(MemoryManager::Alloc(n + 1, "string copy", __LINE__, false));
    if (!copy) return nullptr;
    std::memcpy(copy, text, n + 1);
    *outLength = static_cast<int32_t>(n);
    return copy;
}

char* ConcatStrings(const char* a, const char* b)
{
    if (!a && !b) return nullptr;
    if (!a) return DupString(b);
    if (!b) return DupString(a);
    size_t na = std::strlen(a), nb = std::strlen(b);
    auto* out = static_cast<char*>(MemoryManager::Alloc(na + nb + 1, "string copy", __LINE__, false));
    if (!out) return nullptr;
    std::memcpy(out, a, na);
    std::memcpy(out + na, b, nb + 1);
    return out;
}

size_t StrLenBounded(const char* text, size_t n)
{
    const void* nul = std::memchr(text, 0, n);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : n;
}

RefString::~RefString()
{
    QS_FREE(text);
}

void RefString::Release()
{
    if (--count > 0) return;
    QS_FREE(text);
    text = nullptr;
    length = 0;
    delete this;
}

void RefString_ReleasePtr(RefString* record)
{
    if (record) record->Release();
}

namespace {
RefString* NewRefString(char* ownedText, int32_t length)
{
    auto* record = new (std::nothrow) RefString{ownedText, 1, ownedText ? length : 0};
    if (!record) QS_FREE(ownedText);
    return record;
}
}  // namespace

ScriptValue* ScriptValue_InitString(ScriptValue* value, const char* text)
{
    int32_t length;
    char* copy = DupStringWithLength(text, &length);
    value->i64 = 0;
    value->str = NewRefString(copy, length);
    value->kind = VALUE_STRING;
    return value;
}

char* ScriptValue_SetString(ScriptValue* value, const char* text)
{
    ScriptValue_FreePayload(value);
    value->flags = 0;
    ScriptValue_InitString(value, text);
    return value->str ? value->str->text : nullptr;
}

void ScriptValue_AdoptString(ScriptValue* value, char* text, int32_t length)
{
    ScriptValue_FreePayload(value);
    value->flags = 0;
    value->i64 = 0;
    value->str = NewRefString(text, length);
    value->kind = VALUE_STRING;
}

void ScriptValue_SetStringRecordCopy(ScriptValue* value, RefString* record)
{
    if (record) ++record->count;  // first, in case the value already holds it
    ScriptValue_FreePayload(value);
    value->flags = 0;
    value->i64 = 0;
    value->str = record;
    value->kind = VALUE_STRING;
}

const char* ScriptValue_StringText(const ScriptValue* value)
{
    if (value->Kind() != VALUE_STRING || !value->str) return nullptr;
    return value->str->text;
}

// ---------------------------------------------------------------- release and copy

namespace {
void ReleaseArray(ScriptValue* value)
{
    RefArray* array = value->arr;
    if (array->owner == value) array->owner = nullptr;
    if (--array->count > 0) return;
    for (int32_t r = 0; r < array->rowCount; ++r) {
        RefArrayRow& row = array->rows[r];
        for (int32_t c = 0; c < row.length; ++c) {
            ScriptValue& e = row.elements[c];
            if (e.MayOwn()) ScriptValue_FreePayload(&e);
            e.i64 = 0;
            e.flags = 0;
            e.kind = VALUE_UNDEFINED;
        }
        QS_FREE(row.elements);
    }
    QS_FREE(array->rows);
    QS_FREE(array);
}

inline void AddReference(const ScriptValue& src)
{
    switch (src.Kind()) {
    case VALUE_STRING:
        if (src.str) ++src.str->count;
        break;
    case VALUE_ARRAY:
        if (src.arr) ++src.arr->count;
        break;
    default:
        break;
    }
}

// Kind word, flags and payload; the counts were taken already. An array
// without owner gets dest as its owner.
inline void StoreCopy(ScriptValue* dest, const ScriptValue& src)
{
    dest->kind = src.kind;
    dest->flags = src.flags;
    dest->i64 = src.i64;
    if (src.Kind() == VALUE_ARRAY && src.arr && !src.arr->owner) src.arr->owner = dest;
}
}  // namespace

void ScriptValue_AddRef(const ScriptValue* value)
{
    AddReference(*value);
}

void ScriptValue_FreePayload(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_STRING:
        RefString_ReleasePtr(value->str);
        value->str = nullptr;
        break;
    case VALUE_ARRAY:
        if (value->arr) ReleaseArray(value);
        value->arr = nullptr;
        break;
    case VALUE_PTR:
        if ((value->flags & VALUE_FLAG_OWNED_PTR) && value->ptr) {
            delete static_cast<COwnedObject*>(value->ptr);
            value->ptr = nullptr;
        }
        break;
    default:
        break;
    }
}

ScriptValue& ScriptValue::Assign(const ScriptValue& src)
{
    if (this == &src) return *this;
    // The reference is taken before the release: src may live inside what
    // this value releases (an element of its own array).
    ScriptValue copy = src;
    AddReference(copy);
    if (MayOwn()) ScriptValue_FreePayload(this);
    StoreCopy(this, copy);
    // Only one value may own a pointer's object; the copy borrows it.
    if (copy.Kind() == VALUE_PTR) flags &= ~VALUE_FLAG_OWNED_PTR;
    return *this;
}

// ---------------------------------------------------------------- arrays

RefArray* RefArray_New(ScriptValue* owner)
{
    auto* array = static_cast<RefArray*>(MemoryManager::Alloc(sizeof(RefArray), "Code_Main", __LINE__, true));
    if (!array) return nullptr;
    array->count = 1;
    array->owner = owner;
    return array;
}

void ScriptValue_FixOwnersAfterMove(ScriptValue* block, uintptr_t oldBlock, int32_t count)
{
    if (reinterpret_cast<uintptr_t>(block) == oldBlock) return;
    for (int32_t i = 0; i < count; ++i) {
        ScriptValue& e = block[i];
        if (e.Kind() == VALUE_ARRAY && e.arr &&
            reinterpret_cast<uintptr_t>(e.arr->owner) == oldBlock + static_cast<uintptr_t>(i) * sizeof(ScriptValue))
            e.arr->owner = &e;
    }
}

RefArray* RefArray_Clone(RefArray* src, ScriptValue* newOwner)
{
    if (!src) return nullptr;
    RefArray* array = RefArray_New(newOwner);
    if (!array) return nullptr;
    if (src->rowCount <= 0) return array;
    array->rows = static_cast<RefArrayRow*>(
        MemoryManager::Alloc(sizeof(RefArrayRow) * static_cast<size_t>(src->rowCount), "Code_Main", __LINE__, true));
    if (!array->rows) return array;
    array->rowCount = src->rowCount;
    for (int32_t r = 0; r < src->rowCount; ++r) {
        const RefArrayRow& from = src->rows[r];
        if (from.length <= 0) continue;
        auto* elements = static_cast<ScriptValue*>(
            MemoryManager::Alloc(sizeof(ScriptValue) * static_cast<size_t>(from.length), "Code_Main", __LINE__, true));
        if (!elements) continue;
        for (int32_t c = 0; c < from.length; ++c) {
            AddReference(from.elements[c]);
            StoreCopy(&elements[c], from.elements[c]);
            if (elements[c].Kind() == VALUE_PTR) elements[c].flags &= ~VALUE_FLAG_OWNED_PTR;
        }
        array->rows[r] = RefArrayRow{from.length, elements};
    }
    return array;
}

bool RefArray_EnsureRow(RefArray* array, int32_t row, const char* name)
{
    if (row < array->rowCount) return true;
    size_t newCount = static_cast<size_t>(row) + 1;
    auto* rows = static_cast<RefArrayRow*>(
        MemoryManager::Realloc(array->rows, sizeof(RefArrayRow) * newCount, name, __LINE__));
    if (!rows) return false;
    std::memset(rows + array->rowCount, 0, sizeof(RefArrayRow) * (newCount - static_cast<size_t>(array->rowCount)));
    array->rows = rows;
    array->rowCount = static_cast<int32_t>(newCount);
    return true;
}

bool RefArray_EnsureColumn(RefArray* array, int32_t row, int32_t column, const char* name)
{
    RefArrayRow& r = array->rows[row];
    if (column < r.length) return true;
    size_t newLength = static_cast<size_t>(column) + 1;
    uintptr_t old = reinterpret_cast<uintptr_t>(r.elements);
    auto* elements = static_cast<ScriptValue*>(
        MemoryManager::Realloc(r.elements, sizeof(ScriptValue) * newLength, name, __LINE__));
    if (!elements) return false;
    std::memset(static_cast<void*>(elements + r.length), 0, sizeof(ScriptValue) * (newLength - static_cast<size_t>(r.length)));
    ScriptValue_FixOwnersAfterMove(elements, old, r.length);
    r.elements = elements;
    r.length = static_cast<int32_t>(newLength);
    return true;
}

ScriptValue* ScriptValue_ArrayElementForWrite(ScriptValue* value, int32_t index)
{
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    if (value->Kind() != VALUE_ARRAY || !value->arr) {
        if (value->MayOwn()) ScriptValue_FreePayload(value);
        value->flags = 0;
        value->i64 = 0;
        value->kind = VALUE_ARRAY;
        value->arr = RefArray_New(value);
        if (!value->arr) return nullptr;
    } else if (value->arr->owner != value && value->arr->count != 1) {
        RefArray* clone = RefArray_Clone(value->arr, value);
        if (!clone) return nullptr;
        --value->arr->count;
        value->arr = clone;
    }
    RefArray* array = value->arr;
    if (row < 0) return nullptr;
    if (!RefArray_EnsureRow(array, row, "Code_Main")) return nullptr;
    if (column < 0) return nullptr;
    if (!RefArray_EnsureColumn(array, row, column, "Code_Main")) return nullptr;
    return &array->rows[row].elements[column];
}

ScriptValue* ScriptValue_ArrayElementPtr(ScriptValue* value, int32_t index)
{
    if (value->Kind() == VALUE_UNSET) {
        FatalRuntimeError("ARRAY argument is unset");
        return nullptr;
    }
    if (value->Kind() != VALUE_ARRAY || !value->arr) return nullptr;
    int32_t row, column;
    DecodeArrayIndex(index, &row, &column);
    RefArray* array = value->arr;
    if (row < 0 || row >= array->rowCount || column < 0 || column >= array->rows[row].length) return nullptr;
    return &array->rows[row].elements[column];
}
