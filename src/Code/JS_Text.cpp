#include "Code/JS_Text.h"

#include <cstring>

#include "Base/MemoryManager.h"

uint32_t UTF8_DecodeCodePoint(const char** cursor)
{
    const auto* p = reinterpret_cast<const unsigned char*>(*cursor);
    const uint32_t lead = *p;
    if (lead == 0) return 0;
    int more = 0;
    uint32_t c = lead;
    if (lead >= 0xF0 && lead <= 0xF7) {
        more = 3;
        c = lead & 0x07;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xC0 && lead <= 0xDF) {
        more = 1;
        c = lead & 0x1F;
    }
    ++p;
    for (; more > 0 && *p; --more, ++p) c = (c << 6) | (*p & 0x3F);
    *cursor = reinterpret_cast<const char*>(p);
    return c;
}

C_UTF16String::C_UTF16String(const char* text)
{
    int32_t count = 0;
    for (const char* p = text ? text : ""; uint32_t c = UTF8_DecodeCodePoint(&p);) count += c > 0xFFFF ? 2 : 1;
    m_chars = static_cast<uint16_t*>(QS_ALLOC(sizeof(uint16_t) * static_cast<size_t>(count > 0 ? count : 1), true));
    m_length = count;
    int32_t at = 0;
    for (const char* p = text ? text : ""; uint32_t c = UTF8_DecodeCodePoint(&p);) {
        if (c < 0x10000) {
            m_chars[at++] = static_cast<uint16_t>(c);
        } else {
            m_chars[at++] = static_cast<uint16_t>(0xD800 | (((c - 0x10000) >> 10) & 0x3FF));
            m_chars[at++] = static_cast<uint16_t>(0xDC00 | (c & 0x3FF));
        }
    }
}

C_UTF16String::~C_UTF16String() { QS_FREE(m_chars); }

int32_t C_UTF16String::IndexOf(const C_UTF16String* needle, int32_t start) const
{
    if (start < 0) start = 0;
    if (needle->m_length == 0) return start < m_length ? start : m_length;
    if (start >= m_length) return -1;
    const size_t bytes = sizeof(uint16_t) * static_cast<size_t>(needle->m_length);
    for (int32_t p = start; p + needle->m_length <= m_length; ++p)
        if (std::memcmp(m_chars + p, needle->m_chars, bytes) == 0) return p;
    return -1;
}

char* TextBuilder::Reserve(int32_t n)
{
    if (n < 0) n = 0;
    if (static_cast<int64_t>(capacity) - length - 1 < n) {
        const int64_t needed = static_cast<int64_t>(n) + length;
        int64_t grown = static_cast<int64_t>(capacity ? capacity : n) * 3 / 2;
        if (grown < needed) grown = needed * 3 / 2;
        if (grown > INT32_MAX) return nullptr;
        auto* block = static_cast<char*>(QS_ALLOC(static_cast<size_t>(grown), true));
        if (!block) return nullptr;
        if (data) std::memcpy(block, data, static_cast<size_t>(capacity));
        QS_FREE(data);
        data = block;
        capacity = static_cast<int32_t>(grown);
    }
    return data + length;
}

void TextBuilder::Append(const char* text)
{
    if (!text) return;
    const size_t n = std::strlen(text);
    if (n >= INT32_MAX) return;
    char* at = Reserve(static_cast<int32_t>(n) + 1);
    if (!at) return;
    std::memcpy(at, text, n + 1);
    length += static_cast<int32_t>(n);
}

void TextBuilder::Free()
{
    QS_FREE(data);
    data = nullptr;
    capacity = 0;
    length = 0;
}

int32_t Text_AppendInPlace(char* buffer, size_t size, const char* text)
{
    if (!buffer || !text) return -1;
    const size_t had = strnlen(buffer, size);
    const size_t n = std::strlen(text);
    if (had >= size || n >= size - had || n > INT32_MAX) return -1;
    std::memcpy(buffer + had, text, n + 1);
    return static_cast<int32_t>(n + 1);
}

TextMatch* Text_MatchAt(const char* text, int32_t position, const char* pattern)
{
    if (!text || !pattern || position < 0) return nullptr;
    const size_t length = std::strlen(text);
    const size_t n = std::strlen(pattern);
    if (length < static_cast<size_t>(position) + n) return nullptr;
    if (std::memcmp(text + position, pattern, n) != 0) return nullptr;
    return new TextMatch{position + static_cast<int32_t>(n), 0};
}
