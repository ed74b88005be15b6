#include "Graphics/Graphics_Primitive.h"

#include <cmath>
#include <utility>

#include "Base/ErrorReport.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

uint32_t DrawColour = 0xFF000000u;
int32_t DrawAlpha = 255;
float DrawDepth = 0.0f;

namespace {

struct Vertex2D {
    float x, y, z;
    uint32_t colour;
};
struct Vertex2DTex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

// Shapes are offset by one pixel right and down where the algorithms say so.
constexpr float kOffset = 1.0f;
constexpr int kMaxPrimitiveVertices = 1001;

struct CircleTable {
    int precision;
    float cosine[65];
    float sine[65];
};
CircleTable g_Circle;

// The table of precision 24 until start-up or a built-in sets another.
const CircleTable& Circle()
{
    if (g_Circle.precision == 0) GR_InitCircleTable();
    return g_Circle;
}

struct PrimitiveBuilder {
    int kind;
    int texture;
    const STexturePageEntry* entry;
    float textureWidth, textureHeight;
    int count;
    Vertex2DTex vertices[kMaxPrimitiveVertices];
};
PrimitiveBuilder g_Builder;

Vertex2D* Alloc16(int kind, int n)
{
    return static_cast<Vertex2D*>(GR_VertexBuilder_AllocVerts(kind, PrimitiveWhiteD3DTexture, 16, n));
}

Vertex2DTex* Alloc24(int kind, int n)
{
    return static_cast<Vertex2DTex*>(GR_VertexBuilder_AllocVerts(kind, PrimitiveWhiteD3DTexture, 24, n));
}

Vertex2D V16(float x, float y, uint32_t colour) { return {x, y, DrawDepth, colour}; }
Vertex2DTex V24(float x, float y, uint32_t colour) { return {0, 0, colour, x, y, DrawDepth}; }

uint32_t WithDrawAlpha(uint32_t colour) { return Colour_WithAlpha(colour, static_cast<uint32_t>(DrawAlpha)); }

// An integral edge is moved by 0.01 so that it is not rounded onto the pixel before it.
float NudgeIntegral(float v) { return v == std::trunc(std::floor(v)) ? v + 0.01f : v; }

void WideLine(float x1, float y1, float x2, float y2, float width, uint32_t colour1, uint32_t colour2)
{
    const float length = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    if (length == 0.0f) return;
    const float ax = x1 + kOffset, ay = y1 + kOffset, bx = x2 + kOffset, by = y2 + kOffset;
    const float h = width / 2;
    const float px = h * (by - ay) / length, py = h * (bx - ax) / length;
    Vertex2D* v = Alloc16(6, 4);
    if (!v) return;
    v[0] = V16(ax - px, ay + py, colour1);
    v[1] = V16(bx - px, by + py, colour2);
    v[2] = V16(bx + px, by - py, colour2);
    v[3] = V16(ax + px, ay - py, colour1);
}

void RoundRectCore(float left, float top, float right, float bottom, float rx, float ry, uint32_t centre,
                   uint32_t edge, bool outline)
{
    const float cx = ((left + kOffset) + (right + kOffset)) / 2, cy = ((top + kOffset) + (bottom + kOffset)) / 2;
    const float w = std::fabs(right - left), h = std::fabs(bottom - top);
    const float ax = std::fmin(w, rx) / 2, ay = std::fmin(h, ry) / 2;
    const float dx = w / 2 - ax, dy = h / 2 - ay;
    const CircleTable& t = Circle();
    const int n = t.precision;
    Vertex2DTex* v = Alloc24(outline ? 3 : 6, n + 6);
    if (!v) return;
    v[0] = V24(cx, cy, centre);
    int k = 1;
    const float centresX[4] = {cx + dx, cx - dx, cx - dx, cx + dx};
    const float centresY[4] = {cy + dy, cy + dy, cy - dy, cy - dy};
    for (int quarter = 0; quarter < 4; ++quarter) {
        for (int i = quarter * n / 4; i <= (quarter + 1) * n / 4; ++i)
            v[k++] = V24(centresX[quarter] + t.cosine[i] * ax, centresY[quarter] + t.sine[i] * ay, edge);
    }
    v[k] = v[1];
    if (outline) v[0] = v[1];
}

void TriangleCore(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t c1, uint32_t c2, uint32_t c3,
                  bool outline)
{
    const Vertex2DTex p1 = V24(x1 + kOffset, y1 + kOffset, c1), p2 = V24(x2 + kOffset, y2 + kOffset, c2),
                      p3 = V24(x3 + kOffset, y3 + kOffset, c3);
    Vertex2DTex* v = Alloc24(outline ? 3 : 4, outline ? 4 : 3);
    if (!v) return;
    v[0] = p1;
    v[1] = p2;
    v[2] = p3;
    if (outline) v[3] = p1;
}

void EllipseImpl(float x1, float y1, float x2, float y2, uint32_t centre, uint32_t edge, bool outline)
{
    const float cx = ((x1 + kOffset) + (x2 + kOffset)) / 2, cy = ((y1 + kOffset) + (y2 + kOffset)) / 2;
    const float rx = std::fabs(x1 - x2) / 2, ry = std::fabs(y1 - y2) / 2;
    const CircleTable& t = Circle();
    const int n = t.precision;
    if (outline) {
        Vertex2D* v = Alloc16(3, n + 1);
        if (!v) return;
        for (int i = 0; i <= n; ++i)
            v[i] = V16(cx + t.cosine[i] * rx, cy + t.sine[i] * ry, edge);
        return;
    }
    Vertex2D* v = Alloc16(4, 3 * n);
    if (!v) return;
    for (int i = 0; i < n; ++i) {
        v[3 * i] = V16(cx, cy, centre);
        v[3 * i + 1] = V16(cx + t.cosine[i] * rx, cy + t.sine[i] * ry, edge);
        v[3 * i + 2] = V16(cx + t.cosine[i + 1] * rx, cy + t.sine[i + 1] * ry, edge);
    }
}

void AppendVertex(float x, float y, float u, float v, uint32_t colour)
{
    if (g_Builder.count >= kMaxPrimitiveVertices) return;
    if (g_Builder.entry && g_Builder.textureWidth > 0 && g_Builder.textureHeight > 0) {
        const STexturePageEntry& e = *g_Builder.entry;
        u = (static_cast<int16_t>(e.cropWidth) * u + static_cast<int16_t>(e.x)) / g_Builder.textureWidth;
        v = (static_cast<int16_t>(e.cropHeight) * v + static_cast<int16_t>(e.y)) / g_Builder.textureHeight;
    }
    g_Builder.vertices[g_Builder.count++] = {u, v, colour, x, y, DrawDepth};
}

}  // namespace

uint8_t Colour_AlphaToByte(float alpha)
{
    if (!(alpha <= 1.0f)) alpha = alpha != alpha ? 0.0f : 1.0f;  // NaN counts as transparent
    if (alpha < 0.0f) alpha = 0.0f;
    return static_cast<uint8_t>(alpha * 255.0f);
}

uint32_t Colour_WithAlpha(uint32_t colour, uint32_t alphaByte) { return (alphaByte << 24) | (colour & 0xFFFFFFu); }

uint32_t Colour_LerpRGB(uint32_t colour1, uint32_t colour2, float t)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = static_cast<float>((colour1 >> shift) & 0xFF), b = static_cast<float>((colour2 >> shift) & 0xFF);
        float c = std::nearbyint(a * (1.0f - t) + b * t);
        c = c < 0 ? 0 : c > 255 ? 255 : c;
        result |= static_cast<uint32_t>(c) << shift;
    }
    return result;
}

uint32_t Colour_MakeRGB(int r, int g, int b)
{
    return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}

void GR_Draw_SetColour(uint32_t colour) { DrawColour = WithDrawAlpha(colour); }

void GR_Draw_ResetColour()
{
    DrawColour = 0xFF000000u;
    DrawAlpha = 255;
}

void GR_Draw_SetAlpha(float alpha)
{
    const float a = alpha < 0.0f ? 0.0f : alpha > 1.0f ? 1.0f : alpha;
    DrawAlpha = a == a ? static_cast<int32_t>(a * 255.0f) : 0;
    DrawColour = WithDrawAlpha(DrawColour);
}

uint32_t GR_Draw_GetColour() { return DrawColour; }
float GR_Draw_GetAlpha() { return static_cast<float>(DrawAlpha) / 255.0f; }

void GR_SetCirclePrecision(int n)
{
    n = n < 4 ? 4 : n > 64 ? 64 : n;
    n -= n % 4;
    g_Circle.precision = n;
    for (int i = 0; i <= n; ++i) {
        const float a = static_cast<float>(2 * i) * 3.1415927f / static_cast<float>(n);
        g_Circle.cosine[i] = static_cast<float>(std::cos(static_cast<double>(a)));
        g_Circle.sine[i] = static_cast<float>(std::sin(static_cast<double>(a)));
    }
}

int GR_GetCirclePrecision() { return Circle().precision; }
void GR_InitCircleTable() { GR_SetCirclePrecision(24); }

void GR_Draw_Point(float x, float y) { GR_Draw_PointColour(x, y, DrawColour); }

void GR_Draw_PointColour(float x, float y, uint32_t colour)
{
    if (Vertex2D* v = Alloc16(1, 1)) v[0] = V16(x + kOffset, y + kOffset, WithDrawAlpha(colour));
}

void GR_Draw_Line(float x1, float y1, float x2, float y2) { GR_Draw_LineColour(x1, y1, x2, y2, DrawColour, DrawColour); }

void GR_Draw_LineColour(float x1, float y1, float x2, float y2, uint32_t colour1, uint32_t colour2)
{
    Vertex2D* v = Alloc16(2, 2);
    if (!v) return;
    v[0] = V16(x1 + kOffset, y1 + kOffset, WithDrawAlpha(colour1));
    v[1] = V16(x2 + kOffset, y2 + kOffset, WithDrawAlpha(colour2));
}

void GR_Draw_LineWidth(float x1, float y1, float x2, float y2, float width)
{
    WideLine(x1, y1, x2, y2, width, DrawColour, DrawColour);
}

void GR_Draw_LineWidthColour(float x1, float y1, float x2, float y2, float width, uint32_t colour1, uint32_t colour2)
{
    WideLine(x1, y1, x2, y2, width, WithDrawAlpha(colour1), WithDrawAlpha(colour2));
}

void GR_Draw_Arrow(float x1, float y1, float x2, float y2, float size)
{
    const float length = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    if (length == 0.0f) return;
    const float s = std::fmin(size, length);
    const float gx = (x2 - x1) * s / length, gy = (y2 - y1) * s / length;
    GR_Draw_Line(x1, y1, x2, y2);
    Vertex2DTex* v = Alloc24(4, 3);
    if (!v) return;
    v[0] = V24(x2 - gx - gy / 3 + kOffset, y2 - gy + gx / 3 + kOffset, DrawColour);
    v[1] = V24(x2 + kOffset, y2 + kOffset, DrawColour);
    v[2] = V24(x2 - gx + gy / 3 + kOffset, y2 - gy - gx / 3 + kOffset, DrawColour);
}

void GR_Draw_Rectangle(float x1, float y1, float x2, float y2, bool outline)
{
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const uint32_t c = DrawColour;
    if (outline) {
        const float l = x1 + kOffset, t = y1 + kOffset, r = x2 + kOffset, b = y2 + kOffset;
        if (Vertex2DTex* v = Alloc24(3, 5)) {
            v[0] = V24(l, t, c); v[1] = V24(r, t, c); v[2] = V24(r, b, c); v[3] = V24(l, b, c); v[4] = V24(l, t, c);
        }
        // The strip leaves corner pixels to the rasteriser's rules; points light them.
        if (Vertex2DTex* v = Alloc24(1, 4)) {
            v[0] = V24(l, t, c); v[1] = V24(r, t, c); v[2] = V24(r, b, c); v[3] = V24(l, b, c);
        }
        return;
    }
    Vertex2DTex* v = Alloc24(4, 6);
    if (!v) return;
    const float r = x2 + kOffset, b = y2 + kOffset;
    v[0] = V24(x1, y1, c); v[1] = V24(r, y1, c); v[2] = V24(r, b, c);
    v[3] = V24(r, b, c); v[4] = V24(x1, b, c); v[5] = V24(x1, y1, c);
}

void GR_Draw_RectangleColour(float x1, float y1, float x2, float y2, uint32_t colour1, uint32_t colour2,
                             uint32_t colour3, uint32_t colour4, bool outline)
{
    float r = x2 + kOffset, b = y2 + kOffset;
    if (x1 > r) std::swap(x1, r);
    if (y1 > b) std::swap(y1, b);
    r = NudgeIntegral(r);
    b = NudgeIntegral(b);
    const uint32_t c1 = WithDrawAlpha(colour1), c2 = WithDrawAlpha(colour2), c3 = WithDrawAlpha(colour3),
                   c4 = WithDrawAlpha(colour4);
    Vertex2DTex* v = Alloc24(outline ? 3 : 6, 5);
    if (!v) return;
    v[0] = V24(x1, y1, c1); v[1] = V24(r, y1, c2); v[2] = V24(r, b, c3); v[3] = V24(x1, b, c4); v[4] = V24(x1, y1, c1);
}

void GR_Draw_RoundRect(float x1, float y1, float x2, float y2, float rx, float ry, bool outline)
{
    GR_Draw_RoundRectColour(x1, y1, x2, y2, rx, ry, DrawColour, DrawColour, outline);
}

void GR_Draw_RoundRectColour(float x1, float y1, float x2, float y2, float rx, float ry, uint32_t centre,
                             uint32_t edge, bool outline)
{
    const float left = std::fmin(x1, x2), top = std::fmin(y1, y2);
    const float right = NudgeIntegral(std::fmax(x1, x2)), bottom = NudgeIntegral(std::fmax(y1, y2));
    RoundRectCore(left, top, right, bottom, rx, ry, WithDrawAlpha(centre), WithDrawAlpha(edge), outline);
}

void GR_Draw_Triangle(float x1, float y1, float x2, float y2, float x3, float y3, bool outline)
{
    TriangleCore(x1, y1, x2, y2, x3, y3, DrawColour, DrawColour, DrawColour, outline);
}

void GR_Draw_TriangleColour(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t colour1,
                            uint32_t colour2, uint32_t colour3, bool outline)
{
    TriangleCore(x1, y1, x2, y2, x3, y3, WithDrawAlpha(colour1), WithDrawAlpha(colour2), WithDrawAlpha(colour3),
                 outline);
}

void GR_Draw_Circle(float x, float y, float r, bool outline)
{
    EllipseImpl(x - r, y - r, x + r, y + r, DrawColour, DrawColour, outline);
}

void GR_Draw_CircleColour(float x, float y, float r, uint32_t centre, uint32_t edge, bool outline)
{
    EllipseImpl(x - r, y - r, x + r, y + r, WithDrawAlpha(centre), WithDrawAlpha(edge), outline);
}

void GR_Draw_Ellipse(float x1, float y1, float x2, float y2, bool outline)
{
    EllipseImpl(x1, y1, x2, y2, DrawColour, DrawColour, outline);
}

void GR_Draw_EllipseColour(float x1, float y1, float x2, float y2, uint32_t centre, uint32_t edge, bool outline)
{
    EllipseImpl(x1, y1, x2, y2, WithDrawAlpha(centre), WithDrawAlpha(edge), outline);
}

void GR_Draw_Healthbar(float x1, float y1, float x2, float y2, float amount, uint32_t back, uint32_t minColour,
                       uint32_t midColour, uint32_t maxColour, int direction, bool showBack, bool showBorder)
{
    if (showBack) {
        GR_Draw_RectangleColour(x1, y1, x2, y2, back, back, back, back, false);
        if (showBorder) GR_Draw_RectangleColour(x1, y1, x2, y2, 0, 0, 0, 0, true);
    }
    const float t = amount < 0.0f ? 0.0f : amount > 100.0f ? 100.0f : amount;
    if (!(t > 0.0f)) return;
    switch (direction) {
    case 1: x1 = x2 - (x2 - x1) * t / 100; break;
    case 2: y2 = y1 + (y2 - y1) * t / 100; break;
    case 3: y1 = y2 - (y2 - y1) * t / 100; break;
    default: x2 = x1 + (x2 - x1) * t / 100; break;
    }
    const uint32_t bar =
        t > 50.0f ? Colour_LerpRGB(midColour, maxColour, (t - 50) / 50) : Colour_LerpRGB(minColour, midColour, t / 50);
    GR_Draw_RectangleColour(x1, y1, x2, y2, bar, bar, bar, bar, false);
    if (showBorder) GR_Draw_RectangleColour(x1, y1, x2, y2, 0, 0, 0, 0, true);
}

void GR_Draw_Button(float x1, float y1, float x2, float y2, bool up)
{
    const uint32_t light = up ? 0xFFFFFFu : 0x808080u, dark = up ? 0x808080u : 0xFFFFFFu;
    GR_Draw_TriangleColour(x1, y1, x2, y1, x1, y2, light, light, light, false);
    GR_Draw_TriangleColour(x1, y2, x2, y1, x2, y2, dark, dark, dark, false);
    GR_Draw_Rectangle(x1 + 2, y1 + 2, x2 - 2, y2 - 2, false);
}

void GR_Draw_PrimitiveBegin(int kind, int texture)
{
    g_Builder.count = 0;
    g_Builder.kind = kind;
    g_Builder.entry = nullptr;
    g_Builder.texture = texture;
    g_Builder.textureWidth = g_Builder.textureHeight = 0;
    if (texture == -1 || GR_Texture_Exists(texture)) return;
    const STexturePageEntry* entry = TPE_FromHandle(texture);
    if (!entry) {
        // Neither a texture nor a live entry handle: never followed as an entry.
        g_Builder.texture = -1;
        ReportRuntimeError("Illegal texture supplied.", true);
        return;
    }
    g_Builder.entry = entry;
    g_Builder.texture = entry->texture;
    if (D3DTexture* d3d = GR_Texture_GetD3D(entry->texture)) {
        g_Builder.textureWidth = static_cast<float>(d3d->width);
        g_Builder.textureHeight = static_cast<float>(d3d->height);
    }
}

void GR_Draw_Vertex(float x, float y) { AppendVertex(x, y, 0, 0, DrawColour); }

void GR_Draw_VertexColour(float x, float y, uint32_t colour, float alpha)
{
    AppendVertex(x, y, 0, 0, Colour_WithAlpha(colour, Colour_AlphaToByte(alpha)));
}

void GR_Draw_VertexTexture(float x, float y, float u, float v) { AppendVertex(x, y, u, v, DrawColour); }

void GR_Draw_VertexTextureColour(float x, float y, float u, float v, uint32_t colour, float alpha)
{
    AppendVertex(x, y, u, v, Colour_WithAlpha(colour, Colour_AlphaToByte(alpha)));
}

void GR_Draw_PrimitiveEnd()
{
    const int n = g_Builder.count;
    int primitives = 0;
    switch (g_Builder.kind) {
    case 1: primitives = n; break;
    case 2: primitives = n / 2; break;
    case 3: primitives = n - 1; break;
    case 4: primitives = n / 3; break;
    case 5:
    case 6: primitives = n - 2; break;
    default: return;
    }
    if (primitives < 1) return;
    auto* v = static_cast<Vertex2DTex*>(
        GR_VertexBuilder_AllocVerts(g_Builder.kind, GR_Texture_GetD3D(g_Builder.texture), 24, n));
    if (!v) return;
    for (int i = 0; i < n; ++i) v[i] = g_Builder.vertices[i];
}

void GR_Draw_Clear(uint32_t colour)
{
    GR_VertexBuilder_Flush();
    GR_D3D_Clear(colour, 1.0f, 0, 7);
}

void GR_Draw_ClearAlpha(uint32_t colour, float alpha)
{
    GR_Draw_Clear(colour | static_cast<uint32_t>(Colour_AlphaToByte(alpha)) << 24);
}
