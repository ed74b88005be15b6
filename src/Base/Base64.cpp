#include "Base/Base64.h"

#include "Base/MemoryManager.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Digit(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
}  // namespace

char* Base64_Encode(const uint8_t* bytes, size_t length)
{
    auto* text = static_cast<char*>(QS_ALLOC((length + 2) / 3 * 4 + 1, false));
    char* out = text;
    for (size_t i = 0; i < length; i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 | (i + 1 < length ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < length ? bytes[i + 2] : 0);
        *out++ = kAlphabet[n >> 18];
        *out++ = kAlphabet[(n >> 12) & 63];
        *out++ = i + 1 < length ? kAlphabet[(n >> 6) & 63] : '=';
        *out++ = i + 2 < length ? kAlphabet[n & 63] : '=';
    }
    *out = '\0';
    return text;
}

size_t Base64_Decode(const char* text, uint8_t* out, size_t capacity)
{
    size_t written = 0;
    uint32_t bits = 0;
    int count = 0;
    for (const char* p = text; p && *p; ++p) {
        const int d = Digit(*p);
        if (d < 0) break;
        bits = bits << 6 | uint32_t(d);
        if (++count == 4) {
            for (int k = 2; k >= 0; --k)
                if (written < capacity) out[written++] = uint8_t(bits >> (8 * k));
            bits = 0;
            count = 0;
        }
    }
    // A final group of two or three digits carries one or two bytes.
    for (int k = 0; k < count - 1; ++k)
        if (written < capacity) out[written++] = uint8_t(bits >> (6 * count - 8 * (k + 1)));
    return written;
}
