#pragma once
// Standard base64 (RFC 4648) with '=' padding.
#include <cstddef>
#include <cstdint>

// A new memory-manager text holding the encoding of length bytes.
char* Base64_Encode(const uint8_t* bytes, size_t length);
// Decodes text into out (room for capacity bytes), stopping at the first
// character outside the alphabet or at '='; the bytes written.
size_t Base64_Decode(const char* text, uint8_t* out, size_t capacity);
