// Drawing a vector sprite's frame: each placement's triangles go to the
// vertex batcher, solid or textured by a gradient or bitmap, with an
// anti-aliasing fringe of edge quads fading to transparent on request.
// Clipping masks count up in the stencil buffer while they are open and are
// drawn again to count down when they close, so the placements they clip
// draw only where the stencil holds the number of open masks.
#include <algorithm>
#include <cmath>

#include "Base/Matrix.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Class.h"
#include "Sprite/Sprite_Vector.h"

namespace {
constexpr float kTwips = 0.05f;
constexpr int32_t kScratchPoints = 65536;
constexpr int kTrianglesPerBatch = 4096;

// D3D comparison and stencil operation codes of the render states.
constexpr int32_t kCompareEqual = 3, kCompareAlways = 8;
constexpr int32_t kStencilKeep = 1, kStencilIncrementWrap = 7, kStencilDecrementWrap = 8;
constexpr int32_t kAddressWrap = 0, kAddressClamp = 1;

struct Vertex16 {
    float x, y, z;
    uint32_t colour;
};
struct Vertex24 {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

// Transformed points and their fringe points, shared by every draw.
float g_Inner[2 * kScratchPoints];
float g_Outer[2 * kScratchPoints];

uint32_t Pack(const int32_t bytes[4])
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// offset + (multiplier x channel >> 8) per channel, clamped: the placement's colour transform.
uint32_t ColourTransform(const VectorPlacement& p, const int32_t bytes[4])
{
    int32_t out[4];
    for (int ch = 0; ch < 4; ++ch)
        out[ch] = static_cast<int32_t>(std::clamp<int64_t>(int64_t{p.add[ch]} + ((int64_t{p.multiply[ch]} * bytes[ch]) >> 8), 0, 255));
    return Pack(out);
}

// A style colour (red in the low byte) tinted by the draw colour bytes.
uint32_t Tinted(const VectorPlacement& p, uint32_t style, const uint8_t draw[4])
{
    int32_t bytes[4];
    for (int ch = 0; ch < 4; ++ch) bytes[ch] = int32_t((style >> (8 * ch)) & 0xFF) * draw[ch] / 256;
    return ColourTransform(p, bytes);
}

uint32_t Plain(const VectorPlacement& p, const uint8_t draw[4])
{
    const int32_t bytes[4] = {draw[0], draw[1], draw[2], draw[3]};
    return ColourTransform(p, bytes);
}

// How one mesh is filled: its colours, and for textured fills the texture and
// the map from sub-shape points to texture coordinates.
struct MeshPaint {
    uint32_t inner, outer;
    D3DTexture* texture;  // null: untextured
    Matrix uv;
};

void Transform(const Matrix& m, float x, float y, float* out)
{
    out[0] = x * m.m[0][0] + y * m.m[1][0] + m.m[3][0];
    out[1] = x * m.m[0][1] + y * m.m[1][1] + m.m[3][1];
}

// Sends a mesh's triangles, and its fringe quads when fringe > 0, to the batcher.
void DrawMesh(const VectorMesh& mesh, const Matrix& full, float fringe, const MeshPaint& paint)
{
    const int32_t points = std::min(mesh.pointCount, kScratchPoints);
    const bool withFringe = fringe > 0 && mesh.edgeCount > 0 && mesh.offsetCount == mesh.pointCount;
    for (int32_t i = 0; i < points; ++i) {
        const float x = mesh.points[2 * i], y = mesh.points[2 * i + 1];
        Transform(full, x, y, g_Inner + 2 * i);
        if (withFringe)
            Transform(full, x + mesh.offsets[2 * i] * fringe, y + mesh.offsets[2 * i + 1] * fringe, g_Outer + 2 * i);
    }
    // Vertex j: the corners of the triangles, then six per fringe edge.
    const int64_t triangleVertices = int64_t{mesh.triangleCount} * 3;
    const int64_t total = triangleVertices + (withFringe ? int64_t{mesh.edgeCount} * 6 : 0);
    const auto corner = [&](int64_t j, bool* outer) -> int32_t {
        if (j < triangleVertices) {
            *outer = false;
            return mesh.triangles[j];
        }
        const int64_t k = (j - triangleVertices) / 6, r = (j - triangleVertices) % 6;
        static const bool kOuter[6] = {false, false, true, true, false, true};
        static const int kEnd[6] = {0, 1, 0, 0, 1, 1};
        *outer = kOuter[r];
        return mesh.edges[2 * k + kEnd[r]];
    };
    const bool userShader = !paint.texture && Shader_GetCurrentRecord() && PrimitiveWhiteD3DTexture;
    const int format = paint.texture || userShader ? 24 : 16;
    D3DTexture* texture = paint.texture ? paint.texture : userShader ? PrimitiveWhiteD3DTexture : nullptr;
    for (int64_t start = 0; start < total; start += 3 * kTrianglesPerBatch) {
        const int n = static_cast<int>(std::min<int64_t>(total - start, 3 * kTrianglesPerBatch));
        void* block = GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, texture, format, n);
        if (!block) return;
        for (int i = 0; i < n; ++i) {
            bool outer = false;
            const int32_t index = corner(start + i, &outer);
            // Points beyond the scratch array cannot be indexed by 16 bits: index < points.
            const float* at = (outer ? g_Outer : g_Inner) + 2 * index;
            const uint32_t colour = outer ? paint.outer : paint.inner;
            if (format == 16) {
                static_cast<Vertex16*>(block)[i] = {at[0], at[1], DrawDepth, colour};
                continue;
            }
            float u = 0, v = 0;
            if (paint.texture) {
                float x = mesh.points[2 * index], y = mesh.points[2 * index + 1];
                if (outer) {
                    x += mesh.offsets[2 * index] * fringe;
                    y += mesh.offsets[2 * index + 1] * fringe;
                }
                float uv[2];
                Transform(paint.uv, x, y, uv);
                u = uv[0];
                v = uv[1];
            }
            static_cast<Vertex24*>(block)[i] = {u, v, colour, at[0], at[1], DrawDepth};
        }
    }
}

// A fill's matrix (a, c, tx, b, d, ty) followed by another transform.
Matrix FillMatrix(const float f[6], const Matrix& then)
{
    Matrix m;
    Matrix_Identity(&m);
    m.m[0][0] = f[0];
    m.m[1][0] = f[1];
    m.m[3][0] = f[2];
    m.m[0][1] = f[3];
    m.m[1][1] = f[4];
    m.m[3][1] = f[5];
    Matrix out;
    Matrix_Multiply(&out, &m, &then);
    return out;
}

Matrix Scaling(float x, float y)
{
    Matrix m;
    Matrix_Identity(&m);
    m.m[0][0] = x;
    m.m[1][1] = y;
    return m;
}

// Fringe width per unit of offset: the level over half the larger on-screen
// length, in pixels, of a unit step of the shape's x and y.
float FringeFactor(const Matrix& full)
{
    const float level = VectorAntiAliasLevel;
    float wvp[16];
    GR_D3D_GetMatrix(MATRIX_WORLD_VIEW_PROJECTION, wvp);
    int vx = 0, vy = 0, vw = 0, vh = 0;
    GR_D3D_GetViewport(&vx, &vy, &vw, &vh);
    float longest = 0;
    for (int axis = 0; axis < 2; ++axis) {
        const float x = full.m[axis][0], y = full.m[axis][1];
        const float cx = x * wvp[0] + y * wvp[4], cy = x * wvp[1] + y * wvp[5];
        longest = std::max(longest, std::hypot(cx * float(vw) * 0.5f, cy * float(vh) * 0.5f));
    }
    return longest > 0 ? level / (longest * 0.5f) : level;
}
}  // namespace

void CSprite::DrawVectorObject(const VectorPlacement& placement, const Matrix& transform,
                               const Matrix& textureTransform, const uint8_t colour[4],
                               const uint8_t colourNoAlpha[4], bool antiAlias)
{
    if (!placement.visible) return;
    const VectorItem& item = m_vectorItems[placement.item];
    if (item.type != VECTOR_ITEM_SHAPE || item.groupCount <= 0) return;
    Matrix full;
    Matrix_Multiply(&full, &placement.matrix, &transform);
    const float fringe = antiAlias ? FringeFactor(full) : 0.0f;
    RenderStateCache& cache = g_RenderStateCache;
    for (int32_t g = 0; g < item.groupCount; ++g) {
        const VectorStyleGroup& group = item.groups[g];
        for (int32_t s = 0; s < group.subShapeCount; ++s) {
            const VectorSubShape& shape = group.subShapes[s];
            if (shape.fillStyle >= 0 && shape.fill.triangleCount > 0) {
                const VectorFillStyle& style = group.fillStyles[shape.fillStyle];
                MeshPaint paint{Plain(placement, colour), Plain(placement, colourNoAlpha), nullptr, {}};
                bool draw = true;
                if (style.type == VECTOR_FILL_SOLID) {
                    paint.inner = Tinted(placement, style.colour, colour);
                    paint.outer = Tinted(placement, style.colour, colourNoAlpha);
                } else if (style.type == VECTOR_FILL_GRADIENT) {
                    paint.texture = style.texture >= 0 ? GR_Texture_GetD3D(style.texture) : nullptr;
                    paint.uv = FillMatrix(style.matrix, textureTransform);
                    cache.SetSamplerState(0, SS_ADDRESSU, kAddressClamp);
                    cache.SetSamplerState(0, SS_ADDRESSV, kAddressClamp);
                    draw = paint.texture != nullptr;
                } else if (style.type == VECTOR_FILL_BITMAP) {
                    const VectorItem* bitmap = style.bitmapItem >= 0 ? &m_vectorItems[style.bitmapItem] : nullptr;
                    paint.texture = bitmap && bitmap->texture >= 0 ? GR_Texture_GetD3D(bitmap->texture) : nullptr;
                    draw = paint.texture && paint.texture->width > 0 && paint.texture->height > 0;
                    if (draw) {
                        paint.uv = FillMatrix(style.matrix, Scaling(1.0f / float(paint.texture->width),
                                                                    1.0f / float(paint.texture->height)));
                        const int32_t address = style.kind == 0 || style.kind == 2 ? kAddressWrap : kAddressClamp;
                        cache.SetSamplerState(0, SS_ADDRESSU, address);
                        cache.SetSamplerState(0, SS_ADDRESSV, address);
                    }
                } else {
                    draw = false;
                }
                if (draw) DrawMesh(shape.fill, full, fringe, paint);
            }
            if (shape.lineStyle >= 0 && shape.line.triangleCount > 0) {
                const uint32_t line = group.lineColours[shape.lineStyle];
                const MeshPaint paint{Tinted(placement, line, colour), Tinted(placement, line, colourNoAlpha),
                                      nullptr, {}};
                DrawMesh(shape.line, full, fringe, paint);
            }
        }
    }
}

void CSprite::DrawVector(int32_t frame, float xorig, float yorig, float x, float y, float xscale, float yscale,
                         float angle, uint32_t colour, float alpha)
{
    const VectorTimeline* timeline = m_vectorTimeline;
    if (!m_vectorItems || !timeline || timeline->frameCount <= 0) return;
    RenderStateCache& cache = g_RenderStateCache;
    const int32_t savedRef = cache.GetRenderState(RS_STENCILREF);
    const int32_t savedEnable = cache.GetRenderState(RS_STENCILENABLE);
    const int32_t savedFunc = cache.GetRenderState(RS_STENCILFUNC);
    const int32_t savedPass = cache.GetRenderState(RS_STENCILPASS);
    const int32_t savedColourWrite = cache.GetRenderState(RS_COLORWRITEENABLE);
    const int32_t savedZWrite = cache.GetRenderState(RS_ZWRITEENABLE);
    const int32_t savedU = cache.GetSamplerState(0, SS_ADDRESSU);
    const int32_t savedV = cache.GetSamplerState(0, SS_ADDRESSV);

    int32_t f = frame % timeline->frameCount;
    if (f < 0) f += timeline->frameCount;
    const VectorFrame& current = timeline->frames[f];

    const uint32_t word = GR_ColourAlpha(colour, alpha);
    const uint8_t c[4] = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
    const uint8_t c0[4] = {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), 0};

    Matrix transform, step;
    Matrix_Translation(&transform, -xorig / kTwips, -yorig / kTwips, 0);
    step = Scaling(kTwips * xscale, kTwips * yscale);
    Matrix_Multiply(&transform, &transform, &step);
    Matrix_RotationZ(&step, angle);
    Matrix_Multiply(&transform, &transform, &step);
    Matrix_Translation(&step, x, y, 0);
    Matrix_Multiply(&transform, &transform, &step);
    // Gradient space -16384..16384 covers the gradient texture once.
    Matrix textureTransform = Scaling(1.0f / 32768.0f, 1.0f / 32768.0f);
    Matrix_Translation(&step, 0.5f, 0.5f, 0);
    Matrix_Multiply(&textureTransform, &textureTransform, &step);

    const auto stencilStep = [&](int32_t func, int32_t pass, bool writes) {
        cache.SetRenderState(RS_STENCILFUNC, func);
        cache.SetRenderState(RS_STENCILPASS, pass);
        cache.SetRenderState(RS_COLORWRITEENABLE, writes ? savedColourWrite : 0);
        cache.SetRenderState(RS_ZWRITEENABLE, writes ? savedZWrite : 0);
    };
    // The open masks: at most one per placement, seldom many.
    int32_t few[32];
    int32_t* masks = current.placementCount <= 32
                         ? few
                         : static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * size_t(current.placementCount), false));
    int32_t openCount = 0, n = 0;
    const auto closeMask = [&](int32_t k, bool restore) {
        stencilStep(kCompareAlways, kStencilDecrementWrap, false);
        DrawVectorObject(current.placements[masks[k]], transform, textureTransform, c, c0, false);
        --n;
        if (restore) {
            cache.SetRenderState(RS_STENCILREF, n);
            stencilStep(kCompareEqual, kStencilKeep, true);
        }
    };
    for (int32_t p = 0; masks && p < current.placementCount; ++p) {
        const VectorPlacement& placement = current.placements[p];
        for (int32_t k = 0; k < openCount;) {
            if (current.placements[masks[k]].clipDepth >= placement.depth) {
                ++k;
                continue;
            }
            closeMask(k, true);
            std::copy(masks + k + 1, masks + openCount, masks + k);
            --openCount;
        }
        const bool isMask = placement.clipDepth > 0;
        if (isMask) {
            masks[openCount++] = p;
            cache.SetRenderState(RS_STENCILENABLE, 1);
            stencilStep(kCompareAlways, kStencilIncrementWrap, false);
            ++n;
        }
        if (n == 0) cache.SetRenderState(RS_STENCILENABLE, 0);
        DrawVectorObject(placement, transform, textureTransform, c, c0, !isMask && VectorAntiAliasEnabled);
        if (isMask) {
            cache.SetRenderState(RS_STENCILREF, n);
            stencilStep(kCompareEqual, kStencilKeep, true);
        }
    }
    for (int32_t k = 0; k < openCount; ++k) closeMask(k, false);
    if (masks != few) QS_FREE(masks);

    cache.SetRenderState(RS_STENCILREF, savedRef);
    cache.SetRenderState(RS_STENCILENABLE, savedEnable);
    cache.SetRenderState(RS_STENCILFUNC, savedFunc);
    cache.SetRenderState(RS_STENCILPASS, savedPass);
    cache.SetRenderState(RS_COLORWRITEENABLE, savedColourWrite);
    cache.SetRenderState(RS_ZWRITEENABLE, savedZWrite);
    cache.SetSamplerState(0, SS_ADDRESSU, savedU);
    cache.SetSamplerState(0, SS_ADDRESSV, savedV);
}

void CSprite::DrawVectorTiled(int32_t frame, float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat,
                              float regionLeft, float regionTop, float regionWidth, float regionHeight,
                              uint32_t colour, float alpha)
{
    if (xscale == 0 || yscale == 0) return;
    const float w = std::fabs(xscale) * float(width), h = std::fabs(yscale) * float(height);
    float ox = float(xorigin) * xscale, oy = float(yorigin) * yscale;
    if (xscale < 0) ox += w;
    if (yscale < 0) oy += h;
    if (!hRepeat) regionLeft = 0;
    if (!vRepeat) regionTop = 0;
    float bx = x - regionLeft - ox, by = y - regionTop - oy;
    if (w > 0) bx = (bx / w - std::floor(bx / w)) * w;
    if (h > 0) by = (by / h - std::floor(by / h)) * h;
    // A region many times the tile would ask for more tiles than could ever be seen.
    const auto count = [](bool repeat, float region, float step) {
        if (!repeat || !(step > 0)) return 1.0f;
        const float n = std::ceil(region / step) + 1;
        return n == n ? std::clamp(n, 1.0f, 4096.0f) : 1.0f;
    };
    const int columns = static_cast<int>(count(hRepeat, regionWidth, w));
    const int rows = static_cast<int>(count(vRepeat, regionHeight, h));
    const float firstX = ox + regionLeft + (bx > 0 ? bx - w : bx);
    const float firstY = oy + regionTop + (by > 0 ? by - h : by);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j)
            DrawVector(frame, float(xorigin), float(yorigin), firstX + float(j) * w, firstY + float(i) * h, xscale,
                       yscale, 0, colour, alpha);
}
