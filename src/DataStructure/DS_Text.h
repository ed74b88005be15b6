#pragma once
// The text forms of the data structures, which games keep in files and saved
// data: the upper-case hex digits of a little-endian byte stream holding a
// magic number (structure and format version), the structure's counters and
// its values as value records. Readers take the current and the previous
// magic; maps also read a legacy text of their own. A reader checks every
// count against what the text still holds and never reads a pointer.
#include <cstdint>

#include "Code/Code_Value.h"

class MemoryStream;

enum DsTextMagic : int32_t {
    DS_MAGIC_STACK = 102,
    DS_MAGIC_QUEUE = 202,
    DS_MAGIC_LIST = 302,
    DS_MAGIC_MAP = 402,
    DS_MAGIC_PRIORITY = 502,
    DS_MAGIC_GRID = 602,
};

// How a text's value records are laid out: the current form; the legacy one
// (a kind word, a double and a string, read back as the string); the form
// before the current one (only reals, strings and arrays carry a payload).
enum DsValueLayout : int32_t { DS_LAYOUT_CURRENT = 0, DS_LAYOUT_LEGACY = 1, DS_LAYOUT_PREVIOUS = 2 };

// Appends one value record: the whole kind word, marks included, then the
// payload of reals, bools, strings, arrays, pointers, int32 and int64; any
// other kind word (a marked real among them) is written alone, with a log line.
void WriteValue(MemoryStream* stream, const ScriptValue* value);
// Replaces value with the record at the stream's position; bytes past the end
// read as 0. A pointer record reads back as undefined. False (value
// undefined) for an array whose counts the rest of the stream cannot hold or
// that nests beyond any real game's.
bool ReadValue(ScriptValue* value, MemoryStream* stream, int32_t layout);

// Fields of the legacy map text, from *cursor up to ':', ',' or the end (the
// cursor is left on the terminator): a double given most significant byte
// first (missing bytes 0), or a string of two hex digits per byte.
double DsText_ReadHexReal(const char** cursor);
char* DsText_ReadHexString(const char** cursor);

// Checks the magic of a text (current or previous): its value layout, or -1
// for another magic. The stream is left after the magic.
int32_t DsText_Open(MemoryStream* stream, const char* text, int32_t magic, bool legacy);
// True when n value records could still follow (each takes 4 bytes at least).
bool DsText_CountFits(MemoryStream* stream, int64_t n);
// The stream's bytes as a new memory-manager text (the caller frees it).
char* DsText_Finish(MemoryStream* stream);
