#pragma once
// Text helpers of the object model: the UTF-16 copy of a String object's
// text (string positions count UTF-16 code units), UTF-8 decoding, searching
// UTF-16 text, a growable byte buffer for assembling text, and two small
// routines of the String methods.
#include <cstddef>
#include <cstdint>

#include "Code/Code_Value.h"

// Decodes the code point at *cursor and advances it; 0 at the terminator.
// Continuation bytes give their low 6 bits unchecked, but a sequence cut
// short by the terminator ends there: the cursor never passes it.
uint32_t UTF8_DecodeCodePoint(const char** cursor);

// The UTF-16 form of a UTF-8 text (no terminator), held as an owned pointer
// in "[[PrimitiveValue_UTF16]]".
class C_UTF16String : public COwnedObject {
public:
    explicit C_UTF16String(const char* text);
    ~C_UTF16String() override;
    C_UTF16String(const C_UTF16String&) = delete;
    C_UTF16String& operator=(const C_UTF16String&) = delete;

    // The first position at or after start where needle's units follow,
    // or -1; an empty needle is found at min(start, length).
    int32_t IndexOf(const C_UTF16String* needle, int32_t start) const;

    uint16_t* m_chars = nullptr;
    int32_t m_length = 0;
};

// A growable NUL-terminated text; lives on the stack of the routine that
// assembles a text, which frees it.
struct TextBuilder {
    char* data = nullptr;
    int32_t capacity = 0;   // bytes
    int32_t length = 0;     // bytes before the terminator

    // Room for n more bytes: grows to half again what is needed. The write
    // position, or null when the text would pass 2 GB.
    char* Reserve(int32_t n);
    void Append(const char* text);
    void Free();
};

// Appends text (with its terminator) to the NUL-terminated text in buffer of
// size bytes; the bytes appended, or -1 (nothing written) when it does not fit.
int32_t Text_AppendInPlace(char* buffer, size_t size, const char* text);

// Where a match ends; the caller deletes it.
struct TextMatch {
    int32_t end;
    int32_t unused;
};
// A match of pattern at position of text, or null.
TextMatch* Text_MatchAt(const char* text, int32_t position, const char* pattern);
