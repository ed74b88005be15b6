#pragma once
// The engine's UTF-8 coding. Code points run up to U+10FFFF: 1 to 4 bytes.
// Decoding stops at the text's terminator (or at the given end) and never
// reads past it; a malformed or truncated sequence decodes to U+FFFD.
#include <cstdint>

constexpr uint32_t UTF8_REPLACEMENT = 0xFFFD;

// Writes 1 to 4 bytes at the cursor and advances it. Code points above
// U+10FFFF are written as U+FFFD.
void UTF8_EncodeChar(char** cursor, uint32_t codePoint);
int UTF8_CharLength(uint32_t codePoint);

// Decodes the character at the cursor and moves past it. At the terminator it
// returns 0 and leaves the cursor in place.
uint32_t UTF8_DecodeAdvance(const char** cursor);
uint32_t UTF8_Decode(const char* text);
// As UTF8_DecodeAdvance for bytes without a terminator, reading only before
// `end`; at or past `end` it returns 0 and leaves the cursor in place.
uint32_t UTF8_DecodeAdvanceN(const char** cursor, const char* end);

// Number of code points up to the terminator.
int UTF8_Length(const char* text);
// Compares at most n code points: 0 when they all match, else the difference
// of the first unequal ones (a text's end counts as code point 0).
int UTF8_CompareN(const char* a, const char* b, int n);
// Compares ignoring the case of ASCII letters; a non-zero result is the
// difference of the raw (unlowered) code points.
int UTF8_CompareNoCase(const char* a, const char* b);
