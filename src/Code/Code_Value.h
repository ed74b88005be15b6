#pragma once
// The universal value record of game code ("rvalue"): a 16-byte record holding
// a number, a shared string, a shared copy-on-write 2D array, a pointer, an
// object reference or a marker kind, with the rules for copying and releasing.
#include <cstddef>
#include <cstdint>

class KVObjectBase;
struct RefString;
struct RefArray;

enum ScriptValueKind : uint32_t {
    VALUE_REAL = 0,
    VALUE_STRING = 1,
    VALUE_ARRAY = 2,
    VALUE_PTR = 3,
    VALUE_VEC3 = 4,
    VALUE_UNDEFINED = 5,
    VALUE_OBJECT = 6,
    VALUE_INT32 = 7,
    VALUE_VEC4 = 8,
    VALUE_VEC44 = 9,
    VALUE_INT64 = 10,
    VALUE_ACCESSOR = 11,
    VALUE_NULL = 12,
    VALUE_BOOL = 13,
    VALUE_ITERATOR = 14,
    VALUE_UNSET = 0xffffff,
};

constexpr uint32_t KIND_MASK = 0xffffff;
// Marker bits of the kind word, set by the list and map data structures.
constexpr uint32_t KIND_NESTED_LIST = 1u << 30;
constexpr uint32_t KIND_NESTED_MAP = 1u << 31;

constexpr uint32_t VALUE_FLAG_ENUMERABLE = 1;
constexpr uint32_t VALUE_FLAG_CONFIGURABLE = 2;
constexpr uint32_t VALUE_FLAG_WRITABLE = 4;
constexpr uint32_t VALUE_FLAG_OWNED_PTR = 8;

// Row x 32000 + column; this one means "the whole value".
constexpr int32_t ARRAY_INDEX_NONE = INT32_MIN;
constexpr int32_t ARRAY_ROW_STRIDE = 32000;

struct ScriptValue {
    union {
        double real;      // number, bool
        int32_t i32;      // int32 (low 4 bytes)
        int64_t i64;      // int64
        void* ptr;        // ptr, iterator, accessor
        RefString* str;   // string
        RefArray* arr;    // array
        KVObjectBase* obj;
    };
    uint32_t flags;
    uint32_t kind;  // low 24 bits: ScriptValueKind; bits 30/31 nested markers

    uint32_t Kind() const { return kind & KIND_MASK; }
    // Kinds 1..4 may own their payload and must be released before overwriting.
    bool MayOwn() const { return Kind() - 1u < 4u; }

    ScriptValue& Assign(const ScriptValue& src);
    // rhs is not const: an array operand converts through its element [0][0].
    ScriptValue& AddAssign(ScriptValue& rhs);
};
static_assert(sizeof(ScriptValue) == 16);
static_assert(offsetof(ScriptValue, flags) == 8 && offsetof(ScriptValue, kind) == 12);

// An object held as an owned pointer (kind pointer, flag VALUE_FLAG_OWNED_PTR):
// the owning value deletes it when it releases its payload.
class COwnedObject {
public:
    virtual ~COwnedObject() = default;
};

// Releases what the value owns; kind word and flags stay (callers reset them).
void ScriptValue_FreePayload(ScriptValue* value);

// Shared text; lives on the general heap, its text in the memory manager.
struct RefString {
    char* text;
    int32_t count;
    int32_t length;

    void Release();
    ~RefString();
};

struct RefArrayRow {
    int32_t length;
    ScriptValue* elements;
};

struct RefArray {
    int32_t count;
    RefArrayRow* rows;
    ScriptValue* owner;  // the one value allowed to write in place, or null
    uint32_t visitMark;  // cycle guard of the text form
    int32_t rowCount;
};

void RefString_ReleasePtr(RefString* record);
// Takes one more count of a string or array payload (nothing for other kinds).
void ScriptValue_AddRef(const ScriptValue* value);

char* ScriptValue_SetString(ScriptValue* value, const char* text);
ScriptValue* ScriptValue_InitString(ScriptValue* value, const char* text);
void ScriptValue_SetStringRecordCopy(ScriptValue* value, RefString* record);
// Takes over a memory-manager text as the value's new string (no copy).
void ScriptValue_AdoptString(ScriptValue* value, char* text, int32_t length);
const char* ScriptValue_StringText(const ScriptValue* value);

// Plain value makers for fresh records (nothing is released).
inline ScriptValue ScriptValue_Real(double d)
{
    ScriptValue v;
    v.real = d;
    v.flags = 0;
    v.kind = VALUE_REAL;
    return v;
}
inline ScriptValue ScriptValue_Undefined()
{
    ScriptValue v;
    v.i64 = 0;
    v.flags = 0;
    v.kind = VALUE_UNDEFINED;
    return v;
}
// Release, then make the value the real d (flags 0).
inline void ScriptValue_SetReal(ScriptValue* value, double d)
{
    if (value->MayOwn()) ScriptValue_FreePayload(value);
    value->real = d;
    value->flags = 0;
    value->kind = VALUE_REAL;
}
// Release, then make the value undefined (payload 0, flags 0).
inline void ScriptValue_SetUndefined(ScriptValue* value)
{
    if (value->MayOwn()) ScriptValue_FreePayload(value);
    value->i64 = 0;
    value->flags = 0;
    value->kind = VALUE_UNDEFINED;
}

char* DupString(const char* text);
char* DupStringWithLength(const char* text, int32_t* outLength);
char* ConcatStrings(const char* a, const char* b);
size_t StrLenBounded(const char* text, size_t n);

RefArray* RefArray_New(ScriptValue* owner);
RefArray* RefArray_Clone(RefArray* src, ScriptValue* newOwner);
ScriptValue* ScriptValue_ArrayElementForWrite(ScriptValue* value, int32_t index);
ScriptValue* ScriptValue_ArrayElementPtr(ScriptValue* value, int32_t index);
// Makes row `row` exist (rows are added zero-filled); false when out of memory.
bool RefArray_EnsureRow(RefArray* array, int32_t row, const char* name);
// Makes row `row` hold at least column + 1 elements (new ones the real 0).
bool RefArray_EnsureColumn(RefArray* array, int32_t row, int32_t column, const char* name);
// Re-points the owner links of arrays held by a block of values that moved.
void ScriptValue_FixOwnersAfterMove(ScriptValue* block, uintptr_t oldBlock, int32_t count);

inline void DecodeArrayIndex(int32_t index, int32_t* row, int32_t* column)
{
    *row = index / ARRAY_ROW_STRIDE;
    *column = index % ARRAY_ROW_STRIDE;
}

void* Code_AllocMemory(size_t size);
void* Code_ReallocMemory(void* block, size_t size);
void Code_FreeMemory(void* block);
void VM_FreeMemory(void* block);
