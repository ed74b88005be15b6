// Drawing one line of text with a font: plain and transformed lines write
// their own quads; gradient lines go through the textured-quad routines;
// sprite fonts hand each glyph to the sprite drawing as its frame.
#include <cmath>

#include "Font/Font_Class.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

struct Vertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

// Each channel mixed in single precision, rounded half to even, low 8 bits kept.
uint32_t Merge(uint32_t c1, uint32_t c2, float x)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = static_cast<float>((c1 >> shift) & 0xFF), b = static_cast<float>((c2 >> shift) & 0xFF);
        const float v = std::nearbyint(a * (1.0f - x) + b * x);
        const int64_t n = std::isfinite(v) ? static_cast<int64_t>(std::fmod(v, 4294967296.0f)) : 0;
        out |= (static_cast<uint32_t>(n) & 0xFFu) << shift;
    }
    return out;
}

// Corner numbers in red bit 0 and blue bit 16: TL 0, TR red, BR blue, BL both.
void CornerColours(uint32_t colour, uint32_t out[4])
{
    static const uint32_t kIds[4] = {0u, 1u, 0x10000u, 0x10001u};
    for (int i = 0; i < 4; ++i) out[i] = GR_CornerIdEnabled ? ((colour & ~0x10001u) | kIds[i]) : colour;
}

}  // namespace

bool CFontQS::GetSource(Source* out)
{
    const STexturePageEntry* entry = GetEntry();
    const int index = entry ? entry->texture : m_ownTexture;
    if (!GR_Texture_Exists(index)) return false;
    const STexture* t = GR_Texture_Preload(index);
    if (!t || !t->texture) return false;
    *out = Source{t->texture, entry, index, t->texelWidth, t->texelHeight, entry ? static_cast<float>(entry->x) : 0.0f,
                  entry ? static_cast<float>(entry->y) : 0.0f};
    return true;
}

void CFontQS::TexturedLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale,
                           float angle, bool rotate, uint32_t colour, float alpha)
{
    Source src;
    if (!text || !GetSource(&src)) return;
    uint32_t corners[4];
    CornerColours(GR_ColourAlpha(colour, alpha), corners);
    const float h = m_inset;
    const float theta = angle * kDegreesToRadians;
    const float c = rotate ? std::cos(theta) : 1.0f, s = rotate ? std::sin(theta) : 0.0f;
    float px = x, py = y;
    for (int i = 0; i < count; ++i) {
        const FontGlyph* g = FindGlyph(text[i]);
        if (!g) continue;
        auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, src.texture, 24, 6));
        if (!v) return;
        const float w = g->width * xScale, gh = g->height * yScale;
        float p[4][2];
        if (!rotate) {
            const float left = px + g->offset * xScale;
            p[0][0] = p[3][0] = left - h;
            p[1][0] = p[2][0] = left + h + w;
            p[0][1] = p[1][1] = py - h;
            p[2][1] = p[3][1] = py + h + gh;
        } else {
            const float ox = px + g->offset * xScale * c, oy = py - g->offset * xScale * s;
            p[0][0] = ox - h;
            p[0][1] = oy - h;
            p[1][0] = ox + w * c - h;
            p[1][1] = oy - w * s - h;
            p[2][0] = ox + w * c + gh * s + h;
            p[2][1] = oy - w * s + gh * c + h;
            p[3][0] = ox + gh * s + h;
            p[3][1] = oy + gh * c + h;
        }
        const float uL = (src.originX + g->x - h) * src.texelWidth;
        const float uR = (src.originX + g->x + g->width + h) * src.texelWidth;
        const float vT = (src.originY + g->y - h) * src.texelHeight;
        const float vB = (src.originY + g->y + g->height + h) * src.texelHeight;
        const float z = DrawDepth;
        const Vertex tl{uL, vT, corners[0], p[0][0], p[0][1], z}, tr{uR, vT, corners[1], p[1][0], p[1][1], z},
            br{uR, vB, corners[2], p[2][0], p[2][1], z}, bl{uL, vB, corners[3], p[3][0], p[3][1], z};
        v[0] = tl; v[1] = tr; v[2] = br; v[3] = br; v[4] = bl; v[5] = tl;
        px += g->shift * xScale * c;
        py -= g->shift * xScale * s;
    }
}

void CFontQS::GradientLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                           uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, float alpha)
{
    Source src;
    if (!text || !GetSource(&src)) return;
    const float width = static_cast<float>(GetTextWidth(text, count));
    const float theta = angle * kDegreesToRadians;
    const float c = std::cos(theta), s = std::sin(theta);
    float px = x, py = y, sum = 0.0f;
    for (int i = 0; i < count; ++i) {
        const FontGlyph* g = FindGlyph(text[i]);
        if (!g) continue;
        // A line of zero width has no gradient to spread: it takes the start colours.
        const float a = width != 0.0f ? sum / width : 0.0f;
        const float b = width != 0.0f ? (sum + g->shift) / width : 0.0f;
        const uint32_t tl = Merge(c1, c2, a), tr = Merge(c1, c2, b), br = Merge(c4, c3, b), bl = Merge(c4, c3, a);
        const float gx = px + g->offset * xScale * c, gy = py - g->offset * xScale * s;
        if (src.entry)
            GR_TPE_DrawGeneral(src.entry, g->x, g->y, g->width, g->height, gx, gy, xScale, yScale, theta, tl, tr, br,
                               bl, alpha);
        else
            GR_Texture_DrawGeneral(src.ownTexture, g->x, g->y, g->width, g->height, gx, gy, xScale, yScale, theta, tl,
                                   tr, br, bl, alpha);
        sum += g->shift;
        px += g->shift * xScale * c;
        py -= g->shift * xScale * s;
    }
}

void CFontQS::SpriteLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                         const uint32_t* colours, bool gradient, float alpha)
{
    CSprite* sprite = Sprite_Get(m_sprite);
    if (!text || !sprite) return;
    const float width = gradient ? static_cast<float>(GetTextWidth(text, count)) : 0.0f;
    const float theta = angle * kDegreesToRadians;
    const float c = std::cos(theta), s = std::sin(theta);
    const float partWidth = static_cast<float>(sprite->width), partHeight = static_cast<float>(sprite->height);
    float px = x, py = y, sum = 0.0f;
    for (int i = 0; i < count; ++i) {
        const FontGlyph* g = FindGlyph(text[i]);
        if (!g) continue;
        if (g->character != ' ') {
            const float gx = px + g->offset * xScale * c, gy = py - g->offset * xScale * s;
            if (gradient) {
                const float a = width != 0.0f ? sum / width : 0.0f;
                const float b = width != 0.0f ? (sum + g->shift) / width : 0.0f;
                sprite->DrawGeneral(g->width, 0, 0, partWidth, partHeight, gx, gy, xScale, yScale, angle,
                                    Merge(colours[0], colours[1], a), Merge(colours[0], colours[1], b),
                                    Merge(colours[3], colours[2], b), Merge(colours[3], colours[2], a), alpha);
            } else {
                sprite->DrawExt(g->width, gx, gy, xScale, yScale, angle, colours[0], alpha);
            }
        }
        sum += g->shift;
        px += g->shift * xScale * c;
        py -= g->shift * xScale * s;
    }
}

void CFontQS::Draw(float x, float y, const uint32_t* text, int count, uint32_t colour, float alpha)
{
    if (m_sprite >= 0) return SpriteLine(x, y, text, count, m_xScale, m_yScale, 0.0f, &colour, false, alpha);
    TexturedLine(x, y, text, count, m_xScale, m_yScale, 0.0f, false, colour, alpha);
}

void CFontQS::DrawColour(float x, float y, const uint32_t* text, int count, uint32_t c1, uint32_t c2, uint32_t c3,
                         uint32_t c4, float alpha)
{
    const uint32_t colours[4] = {c1, c2, c3, c4};
    if (m_sprite >= 0) return SpriteLine(x, y, text, count, m_xScale, m_yScale, 0.0f, colours, true, alpha);
    GradientLine(x, y, text, count, m_xScale, m_yScale, 0.0f, c1, c2, c3, c4, alpha);
}

void CFontQS::DrawTransformed(float x, float y, const uint32_t* text, int count, float xScale, float yScale,
                              float angle, uint32_t colour, float alpha)
{
    if (m_sprite >= 0) return SpriteLine(x, y, text, count, xScale, yScale, angle, &colour, false, alpha);
    TexturedLine(x, y, text, count, xScale, yScale, angle, std::fabs(angle) >= 0.001f, colour, alpha);
}

void CFontQS::DrawTransformedColour(float x, float y, const uint32_t* text, int count, float xScale, float yScale,
                                    float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, float alpha)
{
    const uint32_t colours[4] = {c1, c2, c3, c4};
    if (m_sprite >= 0) return SpriteLine(x, y, text, count, xScale, yScale, angle, colours, true, alpha);
    GradientLine(x, y, text, count, xScale, yScale, angle, c1, c2, c3, c4, alpha);
}
