#include "Code/Code_ValueSave.h"

#include <cstring>

#include "Buffer/Buffer_Main.h"

namespace {
constexpr int kMaxNesting = 1024;

void WriteS32(IBuffer* buffer, int32_t v)
{
    ScriptValue n = ScriptValue_Real(v);
    buffer->Write(eBuffer_S32, &n);
}

void WriteU64(IBuffer* buffer, int64_t v)
{
    ScriptValue n = ScriptValue_Undefined();
    n.i64 = v;
    n.kind = VALUE_INT64;
    buffer->Write(eBuffer_U64, &n);
}

bool ReadS32(IBuffer* buffer, int32_t* out)
{
    ScriptValue n = ScriptValue_Undefined();
    if (buffer->Read(eBuffer_S32, &n) != 0) return false;
    *out = static_cast<int32_t>(n.real);
    return true;
}

bool ReadU64(IBuffer* buffer, int64_t* out)
{
    ScriptValue n = ScriptValue_Undefined();
    if (buffer->Read(eBuffer_U64, &n) != 0) return false;
    *out = n.i64;
    return true;
}

// A count is plausible when every counted item's smallest encoding (an s32)
// still fits in what is left.
bool CountFits(IBuffer* buffer, int32_t count)
{
    return count >= 0 && static_cast<uint64_t>(count) * 4 <= buffer->Remaining();
}

bool ReadValue(ScriptValue* value, IBuffer* buffer, int depth);

bool ReadArray(ScriptValue* value, IBuffer* buffer, int depth)
{
    value->arr = RefArray_New(value);
    if (!value->arr) return false;
    int32_t rowCount;
    if (!ReadS32(buffer, &rowCount) || !CountFits(buffer, rowCount)) return false;
    if (rowCount == 0) return true;
    if (!RefArray_EnsureRow(value->arr, rowCount - 1, "Code_Main")) return false;
    for (int32_t r = 0; r < rowCount; ++r) {
        int32_t length;
        if (!ReadS32(buffer, &length) || !CountFits(buffer, length)) return false;
        if (length == 0) continue;
        if (!RefArray_EnsureColumn(value->arr, r, length - 1, "Code_Main")) return false;
        for (int32_t c = 0; c < length; ++c)
            if (!ReadValue(&value->arr->rows[r].elements[c], buffer, depth + 1)) return false;
    }
    return true;
}

bool ReadValue(ScriptValue* value, IBuffer* buffer, int depth)
{
    if (depth > kMaxNesting) return false;
    ScriptValue_SetUndefined(value);
    int32_t kindWord;
    if (!ReadS32(buffer, &kindWord)) return false;
    value->kind = static_cast<uint32_t>(kindWord);
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL: {
        ScriptValue n = ScriptValue_Undefined();
        if (buffer->Read(eBuffer_F64, &n) != 0) return false;
        value->real = n.real;
        return true;
    }
    case VALUE_INT32:
        return ReadS32(buffer, &value->i32);
    case VALUE_INT64:
        return ReadU64(buffer, &value->i64);
    case VALUE_PTR: {
        // A saved address means nothing in this process, and one read from a
        // file must never be followed: the pointer comes back null, as an
        // object does.
        int64_t saved = 0;
        value->i64 = 0;
        return ReadU64(buffer, &saved);
    }
    case VALUE_STRING: {
        char* text = buffer->ReadString();
        if (!text) return false;
        ScriptValue_AdoptString(value, text, static_cast<int32_t>(std::strlen(text)));
        return true;
    }
    case VALUE_ARRAY:
        return ReadArray(value, buffer, depth);
    default:
        return true;
    }
}
}  // namespace

void ScriptValue_WriteToBuffer(const ScriptValue* value, IBuffer* buffer)
{
    WriteS32(buffer, static_cast<int32_t>(value->kind));
    // The payload goes by the kind alone, so that a real carrying a nested
    // list or map mark keeps its number.
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        buffer->Write(eBuffer_F64, value);
        break;
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(value);
        buffer->WriteString(text ? text : "");
        break;
    }
    case VALUE_ARRAY: {
        const RefArray* array = value->arr;
        WriteS32(buffer, array ? array->rowCount : 0);
        if (!array) break;
        for (int32_t r = 0; r < array->rowCount; ++r) {
            const RefArrayRow& row = array->rows[r];
            WriteS32(buffer, row.length);
            for (int32_t c = 0; c < row.length; ++c) ScriptValue_WriteToBuffer(&row.elements[c], buffer);
        }
        break;
    }
    case VALUE_INT32:
        WriteS32(buffer, value->i32);
        break;
    case VALUE_INT64:
    case VALUE_PTR:
        WriteU64(buffer, value->i64);
        break;
    default:
        break;
    }
}

bool ScriptValue_ReadFromBuffer(ScriptValue* value, IBuffer* buffer)
{
    if (ReadValue(value, buffer, 0)) return true;
    ScriptValue_SetUndefined(value);
    return false;
}

const uint8_t* ScriptValue_ReadTyped(ScriptValue* dest, int type, const uint8_t* entry)
{
    switch (type) {
    case 0:
        std::memcpy(&dest->real, entry, 8);
        dest->kind = VALUE_REAL;
        return entry + 8;
    case 1: {
        float f;
        std::memcpy(&f, entry, 4);
        dest->real = f;
        dest->kind = VALUE_REAL;
        return entry + 4;
    }
    case 2:
    case 4: {
        int32_t i;
        std::memcpy(&i, entry, 4);
        dest->real = i;
        dest->kind = type == 2 ? VALUE_REAL : VALUE_BOOL;
        return entry + 4;
    }
    case 3: {
        int64_t i;
        std::memcpy(&i, entry, 8);
        dest->real = static_cast<double>(i);
        dest->kind = VALUE_REAL;
        return entry + 8;
    }
    case 5:
        std::memcpy(static_cast<void*>(dest), entry, sizeof(ScriptValue));
        return entry + sizeof(ScriptValue);
    case 6:
        std::memcpy(&dest->str, entry, sizeof(RefString*));
        dest->kind = VALUE_STRING;
        return entry + sizeof(RefString*);
    case 9:
        dest->i64 = 0;
        dest->kind = VALUE_UNDEFINED;
        return entry;
    default:
        return entry;
    }
}
