#pragma once
// The legacy 3D primitive builder: primitives of 36-byte lit vertices built
// vertex by vertex, split into runs the batcher can hold without breaking
// strips or fans, and the six shapes drawn through it (block, cone,
// cylinder, ellipsoid, wall, floor).
#include <cstdint>

// The batcher's built-in 36-byte vertex. Bit 0 of the colour word is set when
// the colour came with the vertex and clear when it is the draw colour, so a
// recorded model can recolour the latter when drawn in another colour.
struct D3DVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t colour;  // 0xAABBGGRR
    float u, v;
};
static_assert(sizeof(D3DVertex) == 36, "the batcher's 36-byte layout");

// Vertices held before a long primitive is handed on in parts.
constexpr int kD3DPrimStore = 1000;

// Where finished runs go while a model records instead of the batcher.
struct D3DPrimRecorder {
    void* target;
    void (*addPrimitive)(void* target, int kind, const D3DVertex* vertices, int count);
};
// Null hands runs to the batcher again.
void D3DPrim_SetRecorder(const D3DPrimRecorder* recorder);

// kind 1..6 (the batcher's kinds); texture -1 for none, a game texture index
// or a texture-page entry handle. Any other texture value means none.
void D3DPrim_Begin(int kind, int texture);
// Colours are 0xBBGGRR, alphas 0..1; u, v are mapped into a page entry.
void D3DPrim_Vertex(float x, float y, float z);
void D3DPrim_VertexColour(float x, float y, float z, uint32_t colour, float alpha);
void D3DPrim_VertexTexture(float x, float y, float z, float u, float v);
void D3DPrim_VertexTextureColour(float x, float y, float z, float u, float v, uint32_t colour, float alpha);
void D3DPrim_VertexNormal(float x, float y, float z, float nx, float ny, float nz);
void D3DPrim_VertexNormalColour(float x, float y, float z, float nx, float ny, float nz, uint32_t colour,
                                float alpha);
void D3DPrim_VertexNormalTexture(float x, float y, float z, float nx, float ny, float nz, float u, float v);
void D3DPrim_VertexNormalTextureColour(float x, float y, float z, float nx, float ny, float nz, float u, float v,
                                       uint32_t colour, float alpha);
// Hands the held vertices on; they stay held until the next begin.
void D3DPrim_End();
// Vertices currently held (for read-back).
int D3DPrim_Count();

// Shapes between the corners (x1, y1, z1) and (x2, y2, z2), in the draw
// colour, with texture repeat on while they draw; steps are clamped to 3..128.
void D3D_DrawBlock(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep);
void D3D_DrawCone(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep,
                  bool closed, int steps);
void D3D_DrawCylinder(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep,
                      float vrep, bool closed, int steps);
void D3D_DrawEllipsoid(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep,
                       float vrep, int steps);
void D3D_DrawWall(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep);
void D3D_DrawFloor(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep);
