#include "Graphics/Graphics_TextureDraw.h"

#include <cmath>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

bool GR_CornerIdEnabled = false;
namespace {
bool Flat() { return false; }
bool (*s_activeCameraIs3D)() = Flat;
}  // namespace

void GR_SetActiveCameraIs3DHook(bool (*is3D)()) { s_activeCameraIs3D = is3D ? is3D : Flat; }
bool GR_ActiveCameraIs3D() { return s_activeCameraIs3D(); }

namespace {

struct Vertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

struct Point {
    float x, y;
};

// Corner numbers 0..3 in red bit 0 and blue bit 16.
uint32_t WithCornerId(uint32_t colour, int id)
{
    colour &= ~0x10001u;
    if (id & 1) colour |= 1u;
    if (id & 2) colour |= 0x10000u;
    return colour;
}

// Colours of the corners top-left, top-right, bottom-right, bottom-left.
void CornerColours(uint32_t colour, bool ids, uint32_t out[4])
{
    for (int i = 0; i < 4; ++i) out[i] = (ids && GR_CornerIdEnabled) ? WithCornerId(colour, i) : colour;
}

// The corner (dx, dy) from the anchor, turned by the angle when at or above the threshold.
struct Rotation {
    bool on;
    float s, c;
    Rotation(float angle, float threshold) : on(std::fabs(angle) >= threshold), s(0), c(1)
    {
        if (on) {
            s = static_cast<float>(std::sin(static_cast<double>(angle)));
            c = static_cast<float>(std::cos(static_cast<double>(angle)));
        }
    }
    Point Place(float x, float y, float dx, float dy) const
    {
        if (!on) return {x + dx, y + dy};
        return {x + dx * c + dy * s, y - dx * s + dy * c};
    }
};

const STexture* LiveTexture(int index)
{
    return GR_Texture_Exists(index) ? GR_Texture_Preload(index) : nullptr;
}

// TL, TR, BR, BR, BL, TL.
bool WriteQuad(D3DTexture* texture, const Point p[4], float uL, float vT, float uR, float vB, const uint32_t c[4])
{
    auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, texture, 24, 6));
    if (!v) return false;
    const float z = DrawDepth;
    const Vertex tl = {uL, vT, c[0], p[0].x, p[0].y, z}, tr = {uR, vT, c[1], p[1].x, p[1].y, z},
                 br = {uR, vB, c[2], p[2].x, p[2].y, z}, bl = {uL, vB, c[3], p[3].x, p[3].y, z};
    v[0] = tl; v[1] = tr; v[2] = br; v[3] = br; v[4] = bl; v[5] = tl;
    return true;
}

// A box (left, top)-(right, bottom) around the anchor, turned by the rotation.
void PlaceBox(const Rotation& r, float x, float y, float left, float top, float right, float bottom, Point p[4])
{
    p[0] = r.Place(x, y, left, top);
    p[1] = r.Place(x, y, right, top);
    p[2] = r.Place(x, y, right, bottom);
    p[3] = r.Place(x, y, left, bottom);
}

uint32_t TruncatedAlphaColour(uint32_t colour, float alpha) { return GR_ColourAlpha(colour, alpha); }

uint32_t RoundedAlphaColour(uint32_t colour, float alpha)
{
    float a = alpha * 255.0f;
    a = a < 0.0f ? 0.0f : a > 255.0f ? 255.0f : a;
    if (a != a) a = 0.0f;
    return (colour & 0xFFFFFFu) | static_cast<uint32_t>(std::lround(a)) << 24;
}

// The part of an entry left after its trimmed margins: the trimming of the
// part and general drawers.
struct Trimmed {
    float left, top, width, height, x, y;
};

bool TrimPart(const STexturePageEntry& e, float left, float top, float width, float height, float x, float y,
              float xScale, float yScale, float s, float c, Trimmed* out)
{
    float leftOut, topOut;
    if (e.xOffset > left) {
        const float m = e.xOffset - left;
        width -= m;
        x += std::trunc(m * c * xScale);
        y -= std::trunc(m * s * yScale);
        leftOut = 0;
    } else {
        leftOut = left - e.xOffset;
    }
    if (e.yOffset > top) {
        const float n = e.yOffset - top;
        height -= n;
        x += std::trunc(n * s * xScale);
        y += std::trunc(n * c * yScale);
        topOut = 0;
    } else {
        topOut = top - e.yOffset;
    }
    if (leftOut + width > e.cropWidth) width = e.cropWidth - leftOut;
    if (topOut + height > e.cropHeight) height = e.cropHeight - topOut;
    *out = {leftOut, topOut, width, height, x, y};
    return width > 0 && height > 0;
}

}  // namespace

bool GR_D3D_DrawTexturedQuad(D3DTexture* texture, const float corners[8], float uL, float vT, float uR, float vB,
                             const uint32_t colours[4])
{
    const Point p[4] = {{corners[0], corners[1]}, {corners[2], corners[3]}, {corners[4], corners[5]},
                        {corners[6], corners[7]}};
    WriteQuad(texture, p, uL, vT, uR, vB, colours);
    return true;
}

bool GR_TPE_DrawExt(const STexturePageEntry* entry, float xOrigin, float yOrigin, float x, float y, float xScale,
                    float yScale, float angle, uint32_t colour, float alpha)
{
    const STexture* t = entry ? LiveTexture(entry->texture) : nullptr;
    if (!t) return false;
    uint32_t colours[4];
    CornerColours(GR_ColourAlpha(colour, alpha), true, colours);
    // An empty crop is drawn one pixel wide (the entries are read-only here).
    const float cropWidth = entry->cropWidth ? entry->cropWidth : 1, cropHeight = entry->cropHeight ? entry->cropHeight : 1;
    const float left = -((xOrigin - entry->xOffset) * xScale), top = -((yOrigin - entry->yOffset) * yScale);
    const float right = cropWidth * xScale + left, bottom = cropHeight * yScale + top;
    Point p[4];
    PlaceBox(Rotation(angle, 0.001f), x, y, left, top, right, bottom, p);
    WriteQuad(t->texture, p, entry->x * t->texelWidth, entry->y * t->texelHeight,
              (entry->x + entry->width) * t->texelWidth, (entry->y + entry->height) * t->texelHeight, colours);
    return true;
}

bool GR_TPE_Draw(const STexturePageEntry* entry, float x, float y)
{
    return GR_TPE_DrawExt(entry, 0, 0, x, y, 1, 1, 0, 0xFFFFFF, GR_Draw_GetAlpha());
}

bool GR_TPE_DrawPart(const STexturePageEntry* entry, float left, float top, float width, float height, float x,
                     float y, float xScale, float yScale, float angle, uint32_t colour, float alpha)
{
    const STexture* t = entry ? LiveTexture(entry->texture) : nullptr;
    if (!t) return false;
    uint32_t colours[4];
    CornerColours(GR_ColourAlpha(colour, alpha), true, colours);
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    Trimmed part;
    if (!TrimPart(*entry, left, top, width, height, x, y, xScale, yScale, s, c, &part)) return true;
    // An empty crop has no source/crop ratio: the part maps one to one.
    const float rx = entry->cropWidth ? static_cast<float>(entry->width) / entry->cropWidth : 1.0f;
    const float ry = entry->cropHeight ? static_cast<float>(entry->height) / entry->cropHeight : 1.0f;
    Point p[4];
    PlaceBox(Rotation(angle, 0.001f), part.x, part.y, 0, 0, part.width * xScale, part.height * yScale, p);
    const float uL = (entry->x + rx * part.left) * t->texelWidth;
    const float uR = (entry->x + rx * part.left + rx * part.width) * t->texelWidth;
    const float vT = (entry->y + ry * part.top) * t->texelHeight;
    const float vB = (entry->y + ry * part.top + ry * part.height) * t->texelHeight;
    auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, t->texture, 24, 6));
    if (!v) return true;
    const float z = DrawDepth;
    const Vertex tl = {uL, vT, colours[0], p[0].x, p[0].y, z}, tr = {uR, vT, colours[1], p[1].x, p[1].y, z},
                 br = {uR, vB, colours[2], p[2].x, p[2].y, z}, bl = {uL, vB, colours[3], p[3].x, p[3].y, z};
    v[0] = tl; v[1] = tr; v[2] = bl; v[3] = tr; v[4] = br; v[5] = bl;
    return true;
}

bool GR_TPE_DrawGeneral(const STexturePageEntry* entry, float left, float top, float width, float height, float x,
                        float y, float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                        uint32_t colourBR, uint32_t colourBL, float alpha)
{
    const STexture* t = entry ? LiveTexture(entry->texture) : nullptr;
    if (!t) return false;
    const uint32_t given[4] = {colourTL, colourTR, colourBR, colourBL};
    uint32_t colours[4];
    for (int i = 0; i < 4; ++i) {
        colours[i] = RoundedAlphaColour(given[i], alpha);
        if (GR_CornerIdEnabled) colours[i] = WithCornerId(colours[i], i);
    }
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    Trimmed part;
    if (!TrimPart(*entry, left, top, width, height, x, y, xScale, yScale, s, c, &part)) return true;
    Point p[4];
    PlaceBox(Rotation(angle, 0.0001f), part.x, part.y, 0, 0, part.width * xScale, part.height * yScale, p);
    WriteQuad(t->texture, p, (entry->x + part.left) * t->texelWidth, (entry->y + part.top) * t->texelHeight,
              (entry->x + part.left + part.width) * t->texelWidth, (entry->y + part.top + part.height) * t->texelHeight,
              colours);
    return true;
}

bool GR_TPE_DrawPos(const STexturePageEntry* entry, float x1, float y1, float x2, float y2, float x3, float y3,
                    float x4, float y4, uint32_t colour, float alpha)
{
    const STexture* t = entry ? LiveTexture(entry->texture) : nullptr;
    if (!t) return false;
    uint32_t colours[4];
    CornerColours(GR_ColourAlpha(colour, alpha), true, colours);
    const Point p[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    WriteQuad(t->texture, p, entry->x * t->texelWidth, entry->y * t->texelHeight,
              (entry->x + entry->width) * t->texelWidth, (entry->y + entry->height) * t->texelHeight, colours);
    return true;
}

bool GR_TPE_DrawTiled(const STexturePageEntry* entry, float xOrigin, float yOrigin, float x, float y, float xScale,
                      float yScale, bool hRepeat, bool vRepeat, uint32_t colour, float alpha)
{
    if (!entry || xScale < 0.0001f || yScale < 0.0001f) return false;
    const STexture* t = LiveTexture(entry->texture);
    if (!t) return false;
    if (GR_ActiveCameraIs3D() || (!hRepeat && !vRepeat))
        return GR_TPE_DrawExt(entry, xOrigin, yOrigin, x, y, xScale, yScale, 0, colour, alpha);
    const float W = entry->fullWidth * xScale, H = entry->fullHeight * yScale;
    if (!(W > 0.0f) || !(H > 0.0f)) return true;  // an empty image tiles nothing
    const float L = static_cast<float>(GR_ViewBounds.left), T = static_cast<float>(GR_ViewBounds.top);
    const float R = static_cast<float>(GR_ViewBounds.right), B = static_cast<float>(GR_ViewBounds.bottom);
    const float xa = x - xOrigin * xScale, ya = y - yOrigin * yScale;
    float totalWidth = W, x0 = xa, totalHeight = H, y0 = ya;
    if (hRepeat) {
        totalWidth = (((R - L) + W - 1) / W + 2) * W;
        x0 = std::fmod(xa - L, W) + L - W;
    }
    if (vRepeat) {
        totalHeight = (((B - T) + H - 1) / H + 2) * H;
        y0 = std::fmod(ya - T, H) + T - H;
    }
    const uint32_t base = GR_ColourAlpha(colour, alpha);
    // Corners numbered bottom-left 0, top-left 1, top-right 2, bottom-right 3.
    uint32_t cBL = base, cTL = base, cTR = base, cBR = base;
    if (GR_CornerIdEnabled) {
        cBL = WithCornerId(base, 0);
        cTL = WithCornerId(base, 1);
        cTR = WithCornerId(base, 2);
        cBR = WithCornerId(base, 3);
    }
    const int columns = static_cast<int>(totalWidth / W), rows = static_cast<int>(totalHeight / H);
    if (columns <= 0 || rows <= 0) return true;
    const float uL = entry->x * t->texelWidth, vT = entry->y * t->texelHeight;
    const float uR = (entry->x + entry->width) * t->texelWidth, vB = (entry->y + entry->height) * t->texelHeight;
    const float w = entry->cropWidth * xScale, h = entry->cropHeight * yScale;
    const float ox = x0 + entry->xOffset * xScale, oy = y0 + entry->yOffset * yScale;
    const float z = DrawDepth;
    // Reserved in pieces that fit the batcher, so a long row never overruns its space.
    const int maxTiles = GR_VertexBuilder_GetMaxVerts() / 6;
    int tile = 0;
    const int total = rows * columns;
    while (tile < total) {
        const int count = total - tile < maxTiles ? total - tile : maxTiles;
        auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, t->texture, 24, count * 6));
        if (!v) return true;
        for (int i = 0; i < count; ++i, ++tile) {
            const int row = tile / columns, column = tile % columns;
            const float left = ox + column * W, top = oy + row * H;
            const Vertex bl = {uL, vB, cBL, left, top + h, z}, tl = {uL, vT, cTL, left, top, z},
                         tr = {uR, vT, cTR, left + w, top, z}, br = {uR, vB, cBR, left + w, top + h, z};
            Vertex* q = v + i * 6;
            q[0] = bl; q[1] = tl; q[2] = tr; q[3] = tr; q[4] = br; q[5] = bl;
        }
    }
    return true;
}

bool GR_Texture_CopyToBackBuffer(int index)
{
    D3DTexture* back = GR_D3D_GetBackBufferTarget();
    D3DTexture* source = GR_Texture_GetD3D(index);
    if (!back || !source || GR_D3D_GetRenderTarget(0) != back || StateManagerM::GetColourWriteMask() != 15) return false;
    for (int i = 1; i < 4; ++i)
        if (GR_D3D_GetRenderTarget(i)) return false;
    HGPU_Texture* from = GR_D3D_GetTextureView(source);
    HGPU_Texture* to = GR_D3D_GetTargetView(back);
    // A multisampled back buffer cannot take a plain copy.
    if (!from || !to || back->gpu->multisample) return false;
    if (HGPU_TextureWidth(from) != HGPU_TextureWidth(to) || HGPU_TextureHeight(from) != HGPU_TextureHeight(to))
        return false;
    HGPU_ResolveTexture(to, from);
    return true;
}

bool GR_Texture_DrawExt(int index, float xOrigin, float yOrigin, float x, float y, float xScale, float yScale,
                        float angle, uint32_t colour, float alpha)
{
    if (!GR_Texture_Exists(index)) return false;
    STexture* t = GR_Texture_Preload(index);
    if (t->width == 0 || t->height == 0) {
        t->width = t->height = 8;
        t->texelWidth = t->texelHeight = 0.125f;
    }
    uint32_t colours[4];
    CornerColours(TruncatedAlphaColour(colour, alpha), false, colours);
    const float left = -(xOrigin * xScale), top = -(yOrigin * yScale);
    const float right = t->width * xScale + left, bottom = t->height * yScale + top;
    Point p[4];
    PlaceBox(Rotation(angle, 0.001f), x, y, left, top, right, bottom, p);
    WriteQuad(t->texture, p, 0, 0, t->width * t->texelWidth, t->height * t->texelHeight, colours);
    return true;
}

bool GR_Texture_Draw(int index, float x, float y)
{
    const STexture* t = LiveTexture(index);
    if (!t) return false;
    uint32_t colours[4];
    CornerColours(TruncatedAlphaColour(0xFFFFFF, GR_Draw_GetAlpha()), true, colours);
    const Point p[4] = {{x, y}, {x + t->width, y}, {x + t->width, y + t->height}, {x, y + t->height}};
    WriteQuad(t->texture, p, 0, 0, t->width * t->texelWidth, t->height * t->texelHeight, colours);
    return true;
}

bool GR_Texture_DrawPart(int index, float left, float top, float width, float height, float x, float y, float xScale,
                         float yScale, float angle, uint32_t colour, float alpha)
{
    return GR_Texture_DrawGeneral(index, left, top, width, height, x, y, xScale, yScale, angle, colour, colour, colour,
                                  colour, alpha);
}

bool GR_Texture_DrawGeneral(int index, float left, float top, float width, float height, float x, float y,
                            float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha)
{
    const STexture* t = LiveTexture(index);
    if (!t) return false;
    const uint32_t colours[4] = {TruncatedAlphaColour(colourTL, alpha), TruncatedAlphaColour(colourTR, alpha),
                                 TruncatedAlphaColour(colourBR, alpha), TruncatedAlphaColour(colourBL, alpha)};
    Point p[4];
    PlaceBox(Rotation(angle, 0.0001f), x, y, 0, 0, width * xScale, height * yScale, p);
    WriteQuad(t->texture, p, left * t->texelWidth, top * t->texelHeight, (left + width) * t->texelWidth,
              (top + height) * t->texelHeight, colours);
    return true;
}

bool GR_Texture_DrawTiled(int index, float xOrigin, float yOrigin, float x, float y, float xScale, float yScale,
                          bool hRepeat, bool vRepeat, float regionLeft, float regionTop, float regionWidth,
                          float regionHeight, uint32_t colour, float alpha)
{
    const STexture* t = LiveTexture(index);
    if (!t) return false;
    const float fw = t->width * xScale, fh = t->height * yScale;
    // Steps beyond the int range would loop forever or overflow: no tiles.
    if (!(fw >= 1.0f && fw < 1e9f) || !(fh >= 1.0f && fh < 1e9f)) return false;
    const int w = static_cast<int>(fw), h = static_cast<int>(fh);
    const uint32_t c = RoundedAlphaColour(colour, alpha);
    const float left = -(xOrigin * xScale), right = t->width * xScale + left;
    const float top = -(yOrigin * yScale), bottom = t->height * yScale + top;
    const float uR = t->width * t->texelWidth, vB = t->height * t->texelHeight;
    auto start = [](float anchor, bool repeat, int step, float regionStart) {
        long long v = std::llround(anchor);
        if (repeat) {
            v %= step;
            if (v > 0) v -= step;
            while (regionStart > static_cast<float>(v + step)) v += step;
        }
        return v;
    };
    for (long long X = start(x, hRepeat, w, regionLeft); regionLeft + regionWidth > static_cast<float>(X); X += w) {
        for (long long Y = start(y, vRepeat, h, regionTop); regionTop + regionHeight > static_cast<float>(Y); Y += h) {
            auto* v = static_cast<Vertex*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, t->texture, 24, 4));
            if (!v) return true;
            const float fx = static_cast<float>(X), fy = static_cast<float>(Y), z = DrawDepth;
            v[0] = {0, 0, c, fx + left, fy + top, z};
            v[1] = {uR, 0, c, fx + right, fy + top, z};
            v[2] = {uR, vB, c, fx + right, fy + bottom, z};
            v[3] = {0, vB, c, fx + left, fy + bottom, z};
            if (!vRepeat) break;
        }
        if (!hRepeat) break;
    }
    return true;
}
