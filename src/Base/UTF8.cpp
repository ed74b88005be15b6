#include "Base/UTF8.h"

#include <cstddef>

namespace {
// Length of the sequence a lead byte announces; 0 for a byte that cannot lead.
int SequenceLength(uint8_t lead)
{
    if (lead < 0x80) return 1;
    if (lead < 0xC0) return 0;  // a continuation byte
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF8) return 4;
    return 0;
}

constexpr uint8_t kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};

// Decodes at p, reading at most `avail` bytes (SIZE_MAX: up to the terminator,
// which is never a continuation byte). Stores the bytes consumed; 0 at the end
// (a null text reads as empty).
uint32_t DecodeAt(const uint8_t* p, size_t avail, size_t* used)
{
    *used = 0;
    if (!p || avail == 0 || p[0] == 0) return 0;
    int len = SequenceLength(p[0]);
    if (len == 0) {
        *used = 1;
        return UTF8_REPLACEMENT;
    }
    uint32_t cp = p[0] & kLeadMask[len];
    for (int i = 1; i < len; ++i) {
        if (static_cast<size_t>(i) >= avail || (p[i] & 0xC0) != 0x80) {
            // Truncated: skip the lead and the continuation bytes seen so far.
            *used = static_cast<size_t>(i);
            return UTF8_REPLACEMENT;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    *used = static_cast<size_t>(len);
    return cp > 0x10FFFF ? UTF8_REPLACEMENT : cp;
}
}  // namespace

int UTF8_CharLength(uint32_t codePoint)
{
    if (codePoint < 0x80) return 1;
    if (codePoint < 0x800) return 2;
    if (codePoint < 0x10000 || codePoint > 0x10FFFF) return 3;
    return 4;
}

void UTF8_EncodeChar(char** cursor, uint32_t codePoint)
{
    if (codePoint > 0x10FFFF) codePoint = UTF8_REPLACEMENT;
    auto* out = reinterpret_cast<uint8_t*>(*cursor);
    switch (UTF8_CharLength(codePoint)) {
    case 1:
        *out++ = static_cast<uint8_t>(codePoint);
        break;
    case 2:
        *out++ = static_cast<uint8_t>(0xC0 | (codePoint >> 6));
        *out++ = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        break;
    case 3:
        *out++ = static_cast<uint8_t>(0xE0 | (codePoint >> 12));
        *out++ = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        break;
    default:
        *out++ = static_cast<uint8_t>(0xF0 | (codePoint >> 18));
        *out++ = static_cast<uint8_t>(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        break;
    }
    *cursor = reinterpret_cast<char*>(out);
}

uint32_t UTF8_DecodeAdvance(const char** cursor)
{
    size_t used;
    uint32_t cp = DecodeAt(reinterpret_cast<const uint8_t*>(*cursor), SIZE_MAX, &used);
    *cursor += used;
    return cp;
}

uint32_t UTF8_Decode(const char* text)
{
    size_t used;
    return DecodeAt(reinterpret_cast<const uint8_t*>(text), SIZE_MAX, &used);
}

uint32_t UTF8_DecodeAdvanceN(const char** cursor, const char* end)
{
    if (*cursor >= end) return 0;
    size_t used;
    uint32_t cp = DecodeAt(reinterpret_cast<const uint8_t*>(*cursor), static_cast<size_t>(end - *cursor), &used);
    *cursor += used;
    return cp;
}

int UTF8_Length(const char* text)
{
    int n = 0;
    while (UTF8_DecodeAdvance(&text) != 0) ++n;
    return n;
}

int UTF8_CompareN(const char* a, const char* b, int n)
{
    for (int i = 0; i < n; ++i) {
        int ca = static_cast<int>(UTF8_DecodeAdvance(&a));
        int cb = static_cast<int>(UTF8_DecodeAdvance(&b));
        if (ca != cb) return ca - cb;
        if (ca == 0) return 0;
    }
    return 0;
}

int UTF8_CompareNoCase(const char* a, const char* b)
{
    auto lower = [](int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    for (;;) {
        int ca = static_cast<int>(UTF8_DecodeAdvance(&a));
        int cb = static_cast<int>(UTF8_DecodeAdvance(&b));
        if (lower(ca) != lower(cb) || ca == 0 || cb == 0) return ca - cb;
    }
}
