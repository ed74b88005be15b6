// The string built-ins. Text is UTF-8; positions and lengths count characters
// (1 to 4 bytes each) except in the byte built-ins. Walks stop at the
// terminator, so truncated or stray bytes never lead past the text.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "Base/ErrorReport.h"
#include "Base/UTF8.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_Math.h"
#include "Function/Function_MathRoutines.h"
#include "Host/Host_Locale.h"

namespace {
const char* TextOr(const char* text) { return text ? text : ""; }

void SetResult(ScriptValue* result, std::string_view bytes)
{
    auto* text = static_cast<char*>(Code_AllocMemory(bytes.size() + 1));
    if (!text) {
        ScriptValue_SetString(result, "");
        return;
    }
    if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
    text[bytes.size()] = 0;
    ScriptValue_AdoptString(result, text, static_cast<int32_t>(bytes.size()));
}

// ---------------------------------------------------------------- character positions

// Game code walks a text character by character (string_char_at(s, i) for
// i = 1..n); each call would otherwise walk from the start. The cursor
// remembers the last position reached in one string record and its character
// count. It keeps a count on the record, so the text cannot be freed and its
// address reused while it is remembered.
struct CharCursor {
    RefString* record = nullptr;
    const char* text = nullptr;
    int64_t index = 0;
    const char* at = nullptr;
    int64_t count = -1;  // characters, -1 until known
};
CharCursor s_cursor;

bool Remember(const ScriptValue* value, const char* text)
{
    RefString* record = value->Kind() == VALUE_STRING ? value->str : nullptr;
    if (!record || record->text != text || !text) return false;
    if (s_cursor.record != record || s_cursor.text != text) {
        ++record->count;
        RefString_ReleasePtr(s_cursor.record);
        s_cursor = CharCursor{record, text, 0, text, -1};
    }
    return true;
}

// Moves from `from` (character `index`) on by up to n characters; stops at the terminator.
const char* Walk(const char* from, int64_t* index, int64_t n)
{
    while (n-- > 0 && UTF8_DecodeAdvance(&from) != 0) ++*index;
    return from;
}

// The start of character `index` of the text (the terminator when beyond it).
const char* CharStart(const ScriptValue* value, const char* text, int64_t index)
{
    if (index <= 0) return text;
    if (!Remember(value, text)) {
        int64_t reached = 0;
        return Walk(text, &reached, index);
    }
    if (s_cursor.index > index) {
        s_cursor.index = 0;
        s_cursor.at = text;
    }
    s_cursor.at = Walk(s_cursor.at, &s_cursor.index, index - s_cursor.index);
    if (*s_cursor.at == 0) s_cursor.count = s_cursor.index;
    return s_cursor.at;
}

int64_t CharCount(const ScriptValue* value, const char* text)
{
    if (!text) return 0;
    if (!Remember(value, text)) return UTF8_Length(text);
    if (s_cursor.count < 0) s_cursor.count = UTF8_Length(text);
    return s_cursor.count;
}

// ---------------------------------------------------------------- searching

// The first occurrence of needle at a character boundary at or after the
// boundary `from`, with its index in characters counted from `from`; offset
// kNoMatch when none. A byte match in the middle of a character (a needle of
// stray bytes) does not count.
struct Match {
    size_t offset;
    int64_t index;
};
constexpr size_t kNoMatch = std::string_view::npos;

Match FindAtBoundary(std::string_view text, size_t from, std::string_view needle)
{
    const char* cursor = text.data() + from;
    int64_t index = 0;
    size_t search = from;
    for (;;) {
        const size_t hit = text.find(needle, search);
        if (hit == kNoMatch) return {kNoMatch, -1};
        while (cursor < text.data() + hit && UTF8_DecodeAdvance(&cursor) != 0) ++index;
        const size_t reached = static_cast<size_t>(cursor - text.data());
        if (reached == hit) return {hit, index};
        search = reached > hit ? reached : hit + 1;
    }
}

// Replaces the first or every occurrence, left to right, not overlapping; an
// empty substring is never found.
std::string Replace(std::string_view text, std::string_view needle, std::string_view with, bool all)
{
    if (needle.empty()) return std::string(text);
    std::string out;
    size_t from = 0;
    for (;;) {
        const Match m = FindAtBoundary(text, from, needle);
        if (m.offset == kNoMatch) break;
        out.append(text.substr(from, m.offset - from));
        out.append(with);
        from = m.offset + needle.size();
        if (!all) break;
    }
    out.append(text.substr(from));
    return out;
}
}  // namespace

// ---------------------------------------------------------------- conversions to text

void F_String(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    char* text = ValueToNewString(&a[0]);
    ScriptValue_SetString(r, TextOr(text));
    Code_FreeMemory(text);
}

void F_StringFormat(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    if (a[0].kind == VALUE_STRING) {
        ScriptValue_SetString(r, TextOr(ScriptValue_StringText(&a[0])));
        return;
    }
    const double x = Arg_Real(a, 0);
    const int64_t tot = Arg_Int32(a, 1);
    const int64_t dec = Arg_Int32(a, 2);
    // The text is measured first, so very wide or precise numbers are grown, never cut.
    const int width = static_cast<int>(std::clamp<int64_t>(tot + dec, INT32_MIN + 1, INT32_MAX));
    const int precision = static_cast<int>(dec < 0 ? 0 : dec);
    const int needed = std::snprintf(nullptr, 0, "%*.*f", width, precision, x);
    if (needed < 0) {
        ScriptValue_SetString(r, "");
        return;
    }
    std::string text(static_cast<size_t>(needed), '\0');
    std::snprintf(text.data(), text.size() + 1, "%*.*f", width, precision, x);
    SetResult(r, text);
}

void F_StringHashToNewline(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    char* owned = a[0].Kind() == VALUE_STRING ? nullptr : ValueToNewString(&a[0]);
    const char* text = owned ? owned : TextOr(ScriptValue_StringText(&a[0]));
    // '#' and '\' never occur inside a multi-byte character, so a byte walk
    // sees the same characters a code-point walk would.
    std::string out;
    bool afterBackslash = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '#' && !afterBackslash) {
            out += "\r\n";
            continue;
        }
        out += *p;
        afterBackslash = *p == '\\';
    }
    Code_FreeMemory(owned);
    SetResult(r, out);
}

// ---------------------------------------------------------------- characters and bytes

void F_Chr(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const int32_t cp = Arg_Int32(a, 0);
    char bytes[8] = {};
    if (cp <= 0x7F) {
        bytes[0] = static_cast<char>(cp & 0x7F);
    } else {
        char* cursor = bytes;
        UTF8_EncodeChar(&cursor, static_cast<uint32_t>(cp));
    }
    ScriptValue_SetString(r, bytes);
}

void F_AnsiChar(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char bytes[2] = {static_cast<char>(Arg_Int32(a, 0) & 0xFF), 0};
    ScriptValue_SetString(r, bytes);
}

void F_Ord(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, UTF8_Decode(TextOr(Arg_String(a, 0))));
}

void F_StringLength(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, static_cast<double>(CharCount(&a[0], Arg_String(a, 0))));
}

void F_StringByteLength(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    ScriptValue_SetReal(r, static_cast<double>(std::strlen(TextOr(Arg_String(a, 0)))));
}

void F_StringCharAt(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const int64_t index = static_cast<int64_t>(Arg_Int32(a, 1)) - 1;
    const char* start = CharStart(&a[0], text, index);
    const char* end = start;
    UTF8_DecodeAdvance(&end);
    SetResult(r, std::string_view(start, static_cast<size_t>(end - start)));
}

void F_StringOrdAt(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const int64_t index = static_cast<int64_t>(Arg_Int32(a, 1)) - 1;
    const char* start = CharStart(&a[0], text, index);
    ScriptValue_SetReal(r, *start ? static_cast<double>(UTF8_Decode(start)) : -1.0);
}

void F_StringByteAt(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const int64_t length = static_cast<int64_t>(std::strlen(text));
    int64_t index = static_cast<int64_t>(Arg_Int32(a, 1)) - 1;
    if (length == 0) {
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    if (index < 0) index = 0;
    if (index >= length) index = length - 1;
    ScriptValue_SetReal(r, static_cast<int8_t>(text[index]));
}

void F_StringSetByteAt(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    std::string text = TextOr(Arg_String(a, 0));
    const int64_t index = static_cast<int64_t>(Arg_Int32(a, 1)) - 1;
    const int32_t value = Arg_Int32(a, 2);
    if (index < 0 || index >= static_cast<int64_t>(text.size())) {
        ReportRuntimeError("string_set_byte_at : index beyond end of string", false);
    } else {
        text[static_cast<size_t>(index)] = static_cast<char>(value & 0xFF);
    }
    ScriptValue_SetString(r, text.c_str());
}

// ---------------------------------------------------------------- searching and counting

void F_StringPos(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const std::string_view needle = TextOr(Arg_String(a, 0));
    const std::string_view text = TextOr(Arg_String(a, 1));
    if (needle.empty() || text.empty()) {
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    const Match m = FindAtBoundary(text, 0, needle);
    ScriptValue_SetReal(r, m.offset == kNoMatch ? 0.0 : static_cast<double>(m.index + 1));
}

// Overlapping occurrences count: after a match the search goes on from the
// next character. An empty substring matches at every byte.
void F_StringCount(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const std::string_view needle = TextOr(Arg_String(a, 0));
    const std::string_view text = TextOr(Arg_String(a, 1));
    if (needle.empty()) {
        ScriptValue_SetReal(r, static_cast<double>(text.size()));
        return;
    }
    int64_t count = 0;
    size_t from = 0;
    for (;;) {
        const Match m = FindAtBoundary(text, from, needle);
        if (m.offset == kNoMatch) break;
        ++count;
        const char* next = text.data() + m.offset;
        UTF8_DecodeAdvance(&next);
        from = static_cast<size_t>(next - text.data());
    }
    ScriptValue_SetReal(r, static_cast<double>(count));
}

// ---------------------------------------------------------------- building strings

void F_StringCopy(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const int64_t position = Arg_Int32(a, 1);
    const int64_t count = Arg_Int32(a, 2);
    const char* start = CharStart(&a[0], text, (position < 1 ? 1 : position) - 1);
    int64_t taken = 0;
    const char* end = Walk(start, &taken, count < 0 ? 0 : count);
    SetResult(r, std::string_view(start, static_cast<size_t>(end - start)));
}

void F_StringDelete(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const int64_t start = static_cast<int64_t>(Arg_Int32(a, 1)) - 1;
    const int64_t count = Arg_Int32(a, 2);
    const int64_t length = CharCount(&a[0], text);
    if (start < 0 || start >= length || count <= 0) {
        ScriptValue_SetString(r, text);
        return;
    }
    const char* from = CharStart(&a[0], text, start);
    int64_t removed = 0;
    const char* to = Walk(from, &removed, count);
    std::string out(text, static_cast<size_t>(from - text));
    out.append(to);
    SetResult(r, out);
}

void F_StringInsert(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* insert = TextOr(Arg_String(a, 0));
    const char* text = TextOr(Arg_String(a, 1));
    const int64_t length = CharCount(&a[1], text);
    int64_t index = static_cast<int64_t>(Arg_Int32(a, 2)) - 1;
    if (index < 0) index = 0;
    if (index > length) index = length;
    const char* at = CharStart(&a[1], text, index);
    std::string out(text, static_cast<size_t>(at - text));
    out.append(insert);
    out.append(at);
    SetResult(r, out);
}

void F_StringReplace(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const char* needle = TextOr(Arg_String(a, 1));
    const char* with = TextOr(Arg_String(a, 2));
    SetResult(r, Replace(text, needle, with, false));
}

void F_StringReplaceAll(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const char* text = TextOr(Arg_String(a, 0));
    const char* needle = TextOr(Arg_String(a, 1));
    const char* with = TextOr(Arg_String(a, 2));
    SetResult(r, Replace(text, needle, with, true));
}

void F_StringRepeat(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const std::string_view text = TextOr(Arg_String(a, 0));
    const int32_t count = Arg_Int32(a, 1);
    if (count <= 0 || text.empty()) {
        ScriptValue_SetString(r, "");
        return;
    }
    // A string's length is a 32-bit count.
    if (text.size() * static_cast<uint64_t>(count) > static_cast<uint64_t>(INT32_MAX)) {
        ReportRuntimeError("string_repeat : result too long", false);
        ScriptValue_SetString(r, "");
        return;
    }
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) out.append(text);
    SetResult(r, out);
}

namespace {
void MapCase(ScriptValue* r, ScriptValue* a, uint32_t (*map)(uint32_t))
{
    const char* text = TextOr(Arg_String(a, 0));
    std::string out;
    out.reserve(std::strlen(text));
    for (uint32_t cp; (cp = UTF8_DecodeAdvance(&text)) != 0;) {
        char bytes[4];
        char* cursor = bytes;
        UTF8_EncodeChar(&cursor, map(cp));
        out.append(bytes, static_cast<size_t>(cursor - bytes));
    }
    SetResult(r, out);
}

bool IsLetter(uint32_t cp) { return (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z'); }
bool IsDigit(uint32_t cp) { return cp >= '0' && cp <= '9'; }

void Filter(ScriptValue* r, ScriptValue* a, bool letters, bool digits)
{
    const char* text = TextOr(Arg_String(a, 0));
    std::string out;
    for (uint32_t cp; (cp = UTF8_DecodeAdvance(&text)) != 0;) {
        if ((letters && IsLetter(cp)) || (digits && IsDigit(cp))) out += static_cast<char>(cp);
    }
    SetResult(r, out);
}
}  // namespace

void F_StringLower(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { MapCase(r, a, Host_ToLowerUser); }
void F_StringUpper(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { MapCase(r, a, Host_ToUpperUser); }
void F_StringLetters(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { Filter(r, a, true, false); }
void F_StringDigits(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { Filter(r, a, false, true); }
void F_StringLettersDigits(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a) { Filter(r, a, true, true); }
