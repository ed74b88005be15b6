#include <cstring>

#include "Base/UTF8.h"
#include "Font/Graphics_Text.h"
#include "GameData/GameHeader.h"

int32_t ConvertLegacyNewlines(char* text)
{
    if (!text) return 0;
    if (LayerMode) return UTF8_Length(text);
    // Every code point is written back as the bytes it came in, so the text
    // never grows, even where a malformed sequence stands.
    char* out = text;
    const char* in = text;
    uint32_t previous = 0;
    int32_t count = 0;
    for (;;) {
        const char* at = in;
        const uint32_t c = UTF8_DecodeAdvance(&in);
        if (c == 0) break;
        if (c == '#' && previous == '\\' && count > 0) {
            out[-1] = '#';
        } else if (c == '#') {
            *out++ = '\r';
            ++count;
        } else {
            std::memmove(out, at, static_cast<size_t>(in - at));
            out += in - at;
            ++count;
        }
        previous = c;
    }
    *out = '\0';
    return count;
}
