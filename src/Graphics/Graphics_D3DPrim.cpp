#include "Graphics/Graphics_D3DPrim.h"

#include <cstring>

#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

namespace {

struct D3DPrimBuilder {
    int kind;
    int texture;
    const STexturePageEntry* entry;
    float pageWidth, pageHeight;
    int count;
    int capacity;
    D3DVertex vertices[kD3DPrimStore];
};
D3DPrimBuilder g_Prim{0, -1, nullptr, 0, 0, 0, 0, {}};
D3DPrimRecorder g_Recorder{nullptr, nullptr};

// Vertices a kind holds before it splits; lists hold whole primitives only.
int Capacity(int kind)
{
    static constexpr int kCapacity[6] = {1000, 1000, 1000, 999, 1000, 1000};
    return kind >= 1 && kind <= 6 ? kCapacity[kind - 1] : 0;
}

// Vertices of a run that make whole primitives: a stray list remainder would
// shift every later primitive that joins the same batch.
int WholeVertices(int kind, int n)
{
    switch (kind) {
    case PR_LINELIST: return n - n % 2;
    case PR_TRIANGLELIST: return n - n % 3;
    default: return n;
    }
}

void HandOn()
{
    const int n = WholeVertices(g_Prim.kind, g_Prim.count);
    if (g_Prim.kind < 1 || g_Prim.kind > 6 || n <= 0) return;
    if (g_Recorder.addPrimitive) {
        g_Recorder.addPrimitive(g_Recorder.target, g_Prim.kind, g_Prim.vertices, n);
        return;
    }
    void* out = GR_VertexBuilder_AllocVerts(g_Prim.kind, GR_Texture_GetD3D(g_Prim.texture), 36, n);
    if (out) std::memcpy(out, g_Prim.vertices, sizeof(D3DVertex) * static_cast<size_t>(n));
}

// A full store in the middle of a primitive: hand it on and keep what the
// continuation needs so strips and fans go on without a gap.
void Split()
{
    const int n = g_Prim.count;
    const D3DVertex first = g_Prim.vertices[0];
    const D3DVertex beforeLast = g_Prim.vertices[n - 2];
    const D3DVertex last = g_Prim.vertices[n - 1];
    HandOn();
    switch (g_Prim.kind) {
    case PR_LINESTRIP:
        g_Prim.vertices[0] = last;
        g_Prim.count = 1;
        break;
    case PR_TRIANGLESTRIP:
        // Always after an even count, so the following triangles keep their winding.
        g_Prim.vertices[0] = beforeLast;
        g_Prim.vertices[1] = last;
        g_Prim.count = 2;
        break;
    case PR_TRIANGLEFAN:
        g_Prim.vertices[0] = first;
        g_Prim.vertices[1] = last;
        g_Prim.count = 2;
        break;
    default: g_Prim.count = 0; break;
    }
}

void MapUV(float& u, float& v)
{
    if (!g_Prim.entry || g_Prim.pageWidth <= 0 || g_Prim.pageHeight <= 0) return;
    const STexturePageEntry& e = *g_Prim.entry;
    u = (static_cast<float>(e.x) + u * static_cast<float>(e.cropWidth)) / g_Prim.pageWidth;
    v = (static_cast<float>(e.y) + v * static_cast<float>(e.cropHeight)) / g_Prim.pageHeight;
}

uint32_t DrawColourWord() { return DrawColour & ~1u; }

uint32_t GivenColourWord(uint32_t colour, float alpha)
{
    return static_cast<uint32_t>(Colour_AlphaToByte(alpha)) << 24 | ((colour | 1u) & 0xFFFFFFu);
}

void Store(const D3DVertex& vertex)
{
    // A kind outside 1..6 has no capacity and keeps nothing.
    if (g_Prim.capacity <= 0) return;
    if (g_Prim.count >= g_Prim.capacity) Split();
    g_Prim.vertices[g_Prim.count++] = vertex;
}

void Write(float x, float y, float z, float nx, float ny, float nz, uint32_t colour, float u, float v, bool mapped)
{
    if (mapped) MapUV(u, v);
    Store({x, y, z, nx, ny, nz, colour, u, v});
}

}  // namespace

void D3DPrim_SetRecorder(const D3DPrimRecorder* recorder)
{
    g_Recorder = recorder ? *recorder : D3DPrimRecorder{nullptr, nullptr};
}

void D3DPrim_Begin(int kind, int texture)
{
    g_Prim.count = 0;
    g_Prim.kind = kind;
    g_Prim.texture = -1;
    g_Prim.entry = nullptr;
    g_Prim.pageWidth = g_Prim.pageHeight = 0;
    g_Prim.capacity = Capacity(kind);
    if (texture == -1) return;
    if (GR_Texture_Exists(texture)) {
        g_Prim.texture = texture;
        return;
    }
    // Only a live entry handle is followed; any other number draws untextured.
    const STexturePageEntry* entry = TPE_FromHandle(texture);
    if (!entry) return;
    g_Prim.entry = entry;
    g_Prim.texture = entry->texture;
    if (const D3DTexture* d3d = GR_Texture_GetD3D(entry->texture)) {
        g_Prim.pageWidth = static_cast<float>(d3d->width);
        g_Prim.pageHeight = static_cast<float>(d3d->height);
    }
}

void D3DPrim_Vertex(float x, float y, float z) { Write(x, y, z, 0, 0, 0, DrawColourWord(), 0, 0, false); }

void D3DPrim_VertexColour(float x, float y, float z, uint32_t colour, float alpha)
{
    Write(x, y, z, 0, 0, 0, GivenColourWord(colour, alpha), 0, 0, false);
}

void D3DPrim_VertexTexture(float x, float y, float z, float u, float v)
{
    Write(x, y, z, 0, 0, 0, DrawColourWord(), u, v, true);
}

void D3DPrim_VertexTextureColour(float x, float y, float z, float u, float v, uint32_t colour, float alpha)
{
    Write(x, y, z, 0, 0, 0, GivenColourWord(colour, alpha), u, v, true);
}

void D3DPrim_VertexNormal(float x, float y, float z, float nx, float ny, float nz)
{
    Write(x, y, z, nx, ny, nz, DrawColourWord(), 0, 0, false);
}

void D3DPrim_VertexNormalColour(float x, float y, float z, float nx, float ny, float nz, uint32_t colour,
                                float alpha)
{
    Write(x, y, z, nx, ny, nz, GivenColourWord(colour, alpha), 0, 0, false);
}

void D3DPrim_VertexNormalTexture(float x, float y, float z, float nx, float ny, float nz, float u, float v)
{
    Write(x, y, z, nx, ny, nz, DrawColourWord(), u, v, true);
}

void D3DPrim_VertexNormalTextureColour(float x, float y, float z, float nx, float ny, float nz, float u, float v,
                                       uint32_t colour, float alpha)
{
    Write(x, y, z, nx, ny, nz, GivenColourWord(colour, alpha), u, v, true);
}

void D3DPrim_End() { HandOn(); }

int D3DPrim_Count() { return g_Prim.count; }
