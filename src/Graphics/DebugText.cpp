// The overlay's text: the built-in font's glyphs as textured quads.
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "Graphics/BuiltinImages.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/DebugOverlay_Internal.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/VertexBuilderM.h"

namespace {
struct TexturedVertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};
constexpr float kFontWidth = 256.0f, kFontHeight = 128.0f;
constexpr float kTextDepth = 0.7f;
constexpr size_t kFormatBytes = 2048;

int32_t Truncate(float v)
{
    if (!(v > -2147483648.0f)) return v != v ? 0 : INT32_MIN;
    return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
}

const std::array<uint8_t, 4>* GlyphOf(unsigned char c)
{
    if (c < BUILTIN_FONT_FIRST || c > BUILTIN_FONT_LAST) return nullptr;
    return &BuiltinFontGlyphs[static_cast<size_t>(c - BUILTIN_FONT_FIRST)];
}

int32_t Length(const char* text, int32_t maxChars)
{
    int32_t n = 0;
    while (n < maxChars && text[n]) ++n;
    return n;
}
}  // namespace

float DebugText_TabStop(float x) { return std::floor((x + 63.0f) / 64.0f) * 64.0f; }

int32_t DebugText_Draw(float x, float y, float xscale, float yscale, uint32_t colour, const char* text, int32_t maxChars)
{
    if (!text || maxChars <= 0) return 0;
    const int32_t n = Length(text, maxChars);
    if (n == 0) return 0;
    auto* v = static_cast<TexturedVertex*>(
        GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, DebugOverlay_FontTexture(), 24, n * 6));
    const float start = static_cast<float>(Truncate(x));
    float pen = start;
    int32_t used = 0;
    for (int32_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\t') {
            pen = DebugText_TabStop(pen);
            continue;
        }
        const std::array<uint8_t, 4>* g = GlyphOf(c);
        if (!g) continue;
        const float w = (*g)[2] * xscale, h = (*g)[3] * yscale;
        if (c != ' ' && v) {
            const float u0 = (*g)[0] / kFontWidth, u1 = ((*g)[0] + (*g)[2]) / kFontWidth;
            const float v0 = (*g)[1] / kFontHeight, v1 = ((*g)[1] + (*g)[3]) / kFontHeight;
            const TexturedVertex tl{u0, v0, colour, pen, y, kTextDepth}, tr{u1, v0, colour, pen + w, y, kTextDepth};
            const TexturedVertex bl{u0, v1, colour, pen, y + h, kTextDepth};
            const TexturedVertex br{u1, v1, colour, pen + w, y + h, kTextDepth};
            TexturedVertex* q = v + used * 6;
            q[0] = tl;
            q[1] = tr;
            q[2] = br;
            q[3] = br;
            q[4] = bl;
            q[5] = tl;
            ++used;
        }
        pen += w;
    }
    if (v && used < n) GR_VertexBuilder_ReturnVerts((n - used) * 6);
    return Truncate(pen - start);
}

int32_t DebugText_Width(const char* text, int32_t maxChars)
{
    if (!text) return 0;
    int32_t width = 0;
    for (int32_t i = 0; i < maxChars && text[i]; ++i) {
        if (const std::array<uint8_t, 4>* g = GlyphOf(static_cast<unsigned char>(text[i]))) width += (*g)[2];
    }
    return width;
}

int32_t DebugText_Print(float x, float y, uint32_t colour, const char* format, ...)
{
    char text[kFormatBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return DebugText_Draw(x, y, 1, 1, colour, text, static_cast<int32_t>(sizeof text));
}

int32_t DebugText_PrintCentred(float y, int32_t width, uint32_t colour, const char* format, ...)
{
    char text[kFormatBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const float x = static_cast<float>(width + 1 - DebugText_Width(text, static_cast<int32_t>(sizeof text))) * 0.5f;
    return DebugText_Draw(x, y, 1, 1, colour, text, static_cast<int32_t>(sizeof text));
}

int32_t DebugText_PrintOutlined(float x, float y, uint32_t outline, uint32_t colour, const char* format, ...)
{
    char text[kFormatBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const int32_t n = static_cast<int32_t>(sizeof text);
    for (float dx : {-1.0f, 1.0f}) {
        for (float dy : {-1.0f, 1.0f}) DebugText_Draw(x + dx, y + dy, 1, 1, outline, text, n);
    }
    return DebugText_Draw(x, y, 1, 1, colour, text, n) + 2;
}

void DebugText_DrawRect(float x, float y, float width, float height, uint32_t colour)
{
    auto* v = static_cast<TexturedVertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, PrimitiveWhiteD3DTexture, 24, 4));
    if (!v) return;
    v[0] = {0, 0, colour, x, y, 0};
    v[1] = {1, 0, colour, x + width, y, 0};
    v[2] = {0, 1, colour, x, y + height, 0};
    v[3] = {1, 1, colour, x + width, y + height, 0};
}
