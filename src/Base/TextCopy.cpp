#include "Base/TextCopy.h"

#include <cstdio>
#include <cstring>

#include "Base/MemoryManager.h"

namespace {
// Bytes 0x80 and up belong to UTF-8 characters and are kept.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

void TrimString(char** slot, const char* text)
{
    if (!text) text = "";
    const char* begin = text;
    const char* end = text + std::strlen(text);
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    size_t n = static_cast<size_t>(end - begin);
    auto* copy = static_cast<char*>(QS_ALLOC(n + 1, false));
    if (copy) {
        std::memcpy(copy, begin, n);
        copy[n] = '\0';
    }
    // Freed only after copying: text may be the slot's own.
    QS_FREE(*slot);
    *slot = copy;
}

char* WideToNarrow(const char16_t* text)
{
    if (!text) return nullptr;
    size_t n = 0;
    while (text[n]) ++n;
    auto* out = static_cast<char*>(QS_ALLOC(n + 1, false));
    if (!out) return nullptr;
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(text[i] & 0xFF);
    out[n] = '\0';
    return out;
}

std::string EscapeControlBytes(const char* text)
{
    std::string out;
    for (const char* c = text ? text : ""; *c; ++c) {
        const auto u = static_cast<unsigned char>(*c);
        if (u < 0x20 || u == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", u);
            out += escaped;
        } else {
            out += *c;
        }
    }
    return out;
}
