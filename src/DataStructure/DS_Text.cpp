#include "DataStructure/DS_Text.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"

namespace {
// Deeper arrays than any game builds; the limit keeps a hostile text (or a
// self-referencing array) from exhausting the stack.
constexpr int kMaxNesting = 256;

void WriteArray(MemoryStream* stream, const RefArray* array, int depth);

void WriteValueAt(MemoryStream* stream, const ScriptValue* value, int depth)
{
    stream->WriteInt32(static_cast<int32_t>(value->kind));
    switch (value->kind) {
    case VALUE_REAL:
    case VALUE_BOOL:
        stream->WriteDouble(value->real);
        break;
    case VALUE_STRING:
        stream->WriteString(ScriptValue_StringText(value));
        break;
    case VALUE_ARRAY:
        WriteArray(stream, depth < kMaxNesting ? value->arr : nullptr, depth);
        break;
    case VALUE_PTR:
        stream->WriteInt64(value->i64);
        break;
    case VALUE_UNDEFINED:
        break;
    case VALUE_INT32:
        stream->WriteInt32(value->i32);
        break;
    case VALUE_INT64:
        stream->WriteInt64(value->i64);
        break;
    default:
        LogConsole->Output("Attempting to WriteValue for unsupported type %d\n", static_cast<int32_t>(value->kind));
        break;
    }
}

void WriteArray(MemoryStream* stream, const RefArray* array, int depth)
{
    const int32_t rows = array ? array->rowCount : 0;
    stream->WriteInt32(rows);
    for (int32_t r = 0; r < rows; ++r) {
        const RefArrayRow& row = array->rows[r];
        stream->WriteInt32(row.length);
        for (int32_t c = 0; c < row.length; ++c) WriteValueAt(stream, &row.elements[c], depth + 1);
    }
}

bool ReadValueAt(ScriptValue* value, MemoryStream* stream, int32_t layout, int depth);

bool ReadArray(ScriptValue* value, MemoryStream* stream, int32_t layout, int depth)
{
    value->arr = RefArray_New(value);
    if (!value->arr || depth >= kMaxNesting) return false;
    const int32_t rows = stream->ReadInt32();
    if (!DsText_CountFits(stream, rows)) return false;
    if (rows > 0 && !RefArray_EnsureRow(value->arr, rows - 1, "Files/Support/Support_Data_Structures"))
        return false;
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t length = stream->ReadInt32();
        if (!DsText_CountFits(stream, length)) return false;
        if (length == 0) continue;
        if (!RefArray_EnsureColumn(value->arr, r, length - 1, "Files/Support/Support_Data_Structures"))
            return false;
        for (int32_t c = 0; c < length; ++c) {
            if (!ReadValueAt(&value->arr->rows[r].elements[c], stream, layout, depth + 1)) return false;
        }
    }
    return true;
}

void ReadString(ScriptValue* value, MemoryStream* stream)
{
    char* text = stream->ReadString();
    if (text)
        ScriptValue_AdoptString(value, text, static_cast<int32_t>(std::strlen(text)));
    else
        ScriptValue_SetString(value, "");
}

bool ReadValueAt(ScriptValue* value, MemoryStream* stream, int32_t layout, int depth)
{
    ScriptValue_SetUndefined(value);
    const auto kind = static_cast<uint32_t>(stream->ReadInt32());
    if (layout == DS_LAYOUT_LEGACY) {
        (void)stream->ReadDouble();
        ReadString(value, stream);
        return true;
    }
    switch (kind) {
    case VALUE_REAL:
        *value = ScriptValue_Real(stream->ReadDouble());
        return true;
    case VALUE_STRING:
        ReadString(value, stream);
        return true;
    case VALUE_ARRAY:
        value->kind = VALUE_ARRAY;
        return ReadArray(value, stream, layout, depth);
    default:
        break;
    }
    if (layout == DS_LAYOUT_PREVIOUS) {
        // Other kinds carried no payload in that form. Only kinds for which a
        // zero payload is a whole value keep their kind word: a kind that
        // holds a pointer, or a real carrying a nested mark, would name
        // something the text never held.
        switch (kind) {
        case VALUE_UNDEFINED:
        case VALUE_INT32:
        case VALUE_INT64:
        case VALUE_NULL:
        case VALUE_BOOL:
            value->kind = kind;
            break;
        default:
            break;
        }
        return true;
    }
    switch (kind) {
    case VALUE_BOOL:
        value->real = stream->ReadDouble();
        value->kind = VALUE_BOOL;
        return true;
    case VALUE_PTR:
        // A pointer from a text would be followed as an address: it is read
        // past and refused.
        (void)stream->ReadInt64();
        LogConsole->Output("Attempting to ReadValue for unsupported type %d\n", static_cast<int32_t>(kind));
        return true;
    case VALUE_UNDEFINED:
        return true;
    case VALUE_INT32:
        value->i32 = stream->ReadInt32();
        value->kind = VALUE_INT32;
        return true;
    case VALUE_INT64:
        value->i64 = stream->ReadInt64();
        value->kind = VALUE_INT64;
        return true;
    default:
        LogConsole->Output("Attempting to ReadValue for unsupported type %d\n", static_cast<int32_t>(kind));
        return true;
    }
}

int HexDigit(char c)
{
    return c >= 'A' ? c - 'A' + 10 : c - '0';
}

bool FieldEnd(char c)
{
    return c == '\0' || c == ':' || c == ',';
}
}  // namespace

void WriteValue(MemoryStream* stream, const ScriptValue* value)
{
    WriteValueAt(stream, value, 0);
}

bool ReadValue(ScriptValue* value, MemoryStream* stream, int32_t layout)
{
    if (ReadValueAt(value, stream, layout, 0)) return true;
    ScriptValue_SetUndefined(value);
    return false;
}

double DsText_ReadHexReal(const char** cursor)
{
    // Digits fill the double from its most significant nibble; a field of
    // more than 16 digits is read to its end, the extra digits ignored.
    uint64_t bits = 0;
    int digits = 0;
    const char* at = *cursor;
    for (; !FieldEnd(*at); ++at) {
        if (digits < 16) bits |= static_cast<uint64_t>(HexDigit(*at) & 0xF) << (60 - 4 * digits);
        ++digits;
    }
    *cursor = at;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

char* DsText_ReadHexString(const char** cursor)
{
    const char* start = *cursor;
    const char* end = start;
    while (!FieldEnd(*end)) ++end;
    *cursor = end;
    // A last digit without its pair is dropped.
    const size_t bytes = static_cast<size_t>(end - start) / 2;
    auto* text = static_cast<char*>(QS_ALLOC(bytes + 1, true));
    if (!text) return nullptr;
    for (size_t i = 0; i < bytes; ++i)
        text[i] = static_cast<char>(HexDigit(start[2 * i]) * 16 + HexDigit(start[2 * i + 1]));
    return text;
}

int32_t DsText_Open(MemoryStream* stream, const char* text, int32_t magic, bool legacy)
{
    stream->FromHexString(text ? text : "");
    stream->SetPosition(0);
    const int32_t found = stream->ReadInt32();
    if (found != magic && found != magic - 1) return -1;
    if (legacy) return DS_LAYOUT_LEGACY;
    return found == magic ? DS_LAYOUT_CURRENT : DS_LAYOUT_PREVIOUS;
}

bool DsText_CountFits(MemoryStream* stream, int64_t n)
{
    return n >= 0 && n * 4 <= stream->GetSize() - stream->GetPosition();
}

char* DsText_Finish(MemoryStream* stream)
{
    return stream->ToHexString();
}
