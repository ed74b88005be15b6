// The shapes of the legacy 3D builder. Each draws in a batch of its own with
// texture repeat on, so that repeats above 1 tile.
#include <cmath>

#include "Graphics/Graphics_D3DPrim.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/VertexBuilderM.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr float kPi = 3.14159265359f;

class ShapeFrame {
public:
    ShapeFrame() : repeat_(GR_GetTextureRepeat())
    {
        GR_VertexBuilder_Flush();
        GR_SetTextureRepeat(true);
    }
    ~ShapeFrame()
    {
        GR_VertexBuilder_Flush();
        GR_SetTextureRepeat(repeat_);
    }
    ShapeFrame(const ShapeFrame&) = delete;
    ShapeFrame& operator=(const ShapeFrame&) = delete;

private:
    bool repeat_;
};

struct Box {
    float cx, cy, cz, rx, ry, rz;
};
Box MakeBox(float x1, float y1, float z1, float x2, float y2, float z2)
{
    return {(x1 + x2) * 0.5f, (y1 + y2) * 0.5f, (z1 + z2) * 0.5f,
            (x2 - x1) * 0.5f, (y2 - y1) * 0.5f, (z2 - z1) * 0.5f};
}

// cos and sin of 2πk / steps for k = 0..steps, computed once per shape.
struct Ring {
    int steps;
    float cosine[129], sine[129];
    explicit Ring(int requested) : steps(requested < 3 ? 3 : requested > 128 ? 128 : requested)
    {
        for (int k = 0; k <= steps; ++k) {
            const float angle = kTwoPi * static_cast<float>(k) / static_cast<float>(steps);
            cosine[k] = std::cos(angle);
            sine[k] = std::sin(angle);
        }
    }
    float U(int k, float hrep) const { return static_cast<float>(k) * hrep / static_cast<float>(steps); }
};

// The closing disc at z1, wound the other way round from the top.
void BottomFan(const Box& b, const Ring& r, float z, int texture)
{
    D3DPrim_Begin(PR_TRIANGLEFAN, texture);
    D3DPrim_VertexNormalTexture(b.cx, b.cy, z, 0, 0, -1, 0, 0);
    for (int k = r.steps; k >= 0; --k)
        D3DPrim_VertexNormalTexture(b.cx + b.rx * r.cosine[k], b.cy + b.ry * r.sine[k], z, 0, 0, -1, 0, 0);
    D3DPrim_End();
}

}  // namespace

void D3D_DrawBlock(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep)
{
    struct Corner {
        float x, y, z, u, v;
    };
    struct Face {
        float nx, ny, nz;
        Corner corners[6];
    };
    const float h = hrep, v = vrep;
    const Face faces[6] = {
        {0, 0, -1, {{x1, y1, z1, 0, 0}, {x1, y2, z1, 0, v}, {x2, y2, z1, h, v},
                    {x2, y2, z1, h, v}, {x2, y1, z1, h, 0}, {x1, y1, z1, 0, 0}}},
        {0, 0, 1, {{x1, y1, z2, 0, 0}, {x2, y1, z2, h, 0}, {x2, y2, z2, h, v},
                   {x2, y2, z2, h, v}, {x1, y2, z2, 0, v}, {x1, y1, z2, 0, 0}}},
        {0, 1, 0, {{x1, y2, z1, 0, 0}, {x1, y2, z2, 0, v}, {x2, y2, z2, h, v},
                   {x2, y2, z2, h, v}, {x2, y2, z1, h, 0}, {x1, y2, z1, 0, 0}}},
        {1, 0, 0, {{x2, y2, z1, 0, 0}, {x2, y2, z2, 0, v}, {x2, y1, z2, h, v},
                   {x2, y1, z2, h, v}, {x2, y1, z1, h, 0}, {x2, y2, z1, 0, 0}}},
        {0, -1, 0, {{x2, y1, z1, 0, 0}, {x2, y1, z2, 0, v}, {x1, y1, z2, h, v},
                    {x1, y1, z2, h, v}, {x1, y1, z1, h, 0}, {x2, y1, z1, 0, 0}}},
        {-1, 0, 0, {{x1, y1, z1, 0, 0}, {x1, y1, z2, 0, v}, {x1, y2, z2, h, v},
                    {x1, y2, z2, h, v}, {x1, y2, z1, h, 0}, {x1, y1, z1, 0, 0}}},
    };
    ShapeFrame frame;
    D3DPrim_Begin(PR_TRIANGLELIST, texture);
    for (const Face& f : faces)
        for (const Corner& c : f.corners) D3DPrim_VertexNormalTexture(c.x, c.y, c.z, f.nx, f.ny, f.nz, c.u, c.v);
    D3DPrim_End();
}

void D3D_DrawCone(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep,
                  bool closed, int steps)
{
    const Box b = MakeBox(x1, y1, z1, x2, y2, z2);
    const Ring r(steps);
    ShapeFrame frame;
    D3DPrim_Begin(PR_TRIANGLESTRIP, texture);
    for (int k = 0; k <= r.steps; ++k) {
        D3DPrim_VertexNormalTexture(b.cx, b.cy, z2, 0, 0, 1, r.U(k, hrep), vrep);
        D3DPrim_VertexNormalTexture(b.cx + b.rx * r.cosine[k], b.cy + b.ry * r.sine[k], z1, r.cosine[k], r.sine[k], 0,
                                    r.U(k, hrep), 0);
    }
    D3DPrim_End();
    if (closed) BottomFan(b, r, z1, texture);
}

void D3D_DrawCylinder(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep,
                      float vrep, bool closed, int steps)
{
    const Box b = MakeBox(x1, y1, z1, x2, y2, z2);
    const Ring r(steps);
    ShapeFrame frame;
    if (closed) {
        D3DPrim_Begin(PR_TRIANGLEFAN, texture);
        D3DPrim_VertexNormalTexture(b.cx, b.cy, z2, 0, 0, 1, 0, vrep);
        for (int k = 0; k <= r.steps; ++k)
            D3DPrim_VertexNormalTexture(b.cx + b.rx * r.cosine[k], b.cy + b.ry * r.sine[k], z2, 0, 0, 1, 0, vrep);
        D3DPrim_End();
    }
    D3DPrim_Begin(PR_TRIANGLESTRIP, texture);
    for (int k = 0; k <= r.steps; ++k) {
        const float x = b.cx + b.rx * r.cosine[k], y = b.cy + b.ry * r.sine[k], u = r.U(k, hrep);
        D3DPrim_VertexNormalTexture(x, y, z2, r.cosine[k], r.sine[k], 0, u, vrep);
        D3DPrim_VertexNormalTexture(x, y, z1, r.cosine[k], r.sine[k], 0, u, 0);
    }
    D3DPrim_End();
    if (closed) BottomFan(b, r, z1, texture);
}

void D3D_DrawEllipsoid(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep,
                       float vrep, int steps)
{
    const Box b = MakeBox(x1, y1, z1, x2, y2, z2);
    const Ring r(steps);
    const int rings = (r.steps + 1) / 2;
    ShapeFrame frame;
    for (int j = 0; j < rings; ++j) {
        const float a0 = static_cast<float>(j) * kPi / static_cast<float>(rings);
        const float a1 = static_cast<float>(j + 1) * kPi / static_cast<float>(rings);
        const float s0 = std::sin(a0), c0 = std::cos(a0), s1 = std::sin(a1), c1 = std::cos(a1);
        const float v0 = static_cast<float>(j) * vrep / static_cast<float>(rings);
        const float v1 = static_cast<float>(j + 1) * vrep / static_cast<float>(rings);
        D3DPrim_Begin(PR_TRIANGLESTRIP, texture);
        for (int k = 0; k <= r.steps; ++k) {
            const float c = r.cosine[k], s = r.sine[k], u = r.U(k, hrep);
            D3DPrim_VertexNormalTexture(b.cx + b.rx * s0 * c, b.cy + b.ry * s0 * s, b.cz + b.rz * c0, c * s0, s * s0,
                                        c0, u, v0);
            D3DPrim_VertexNormalTexture(b.cx + b.rx * s1 * c, b.cy + b.ry * s1 * s, b.cz + b.rz * c1, c * s1, s * s1,
                                        c1, u, v1);
        }
        D3DPrim_End();
    }
}

void D3D_DrawWall(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep)
{
    const float m = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    if (m == 0) return;
    const float nx = (y2 - y1) / m, ny = -(x2 - x1) / m;
    ShapeFrame frame;
    D3DPrim_Begin(PR_TRIANGLEFAN, texture);
    D3DPrim_VertexNormalTexture(x1, y1, z1, nx, ny, 0, 0, 0);
    D3DPrim_VertexNormalTexture(x2, y2, z1, nx, ny, 0, hrep, 0);
    D3DPrim_VertexNormalTexture(x2, y2, z2, nx, ny, 0, hrep, vrep);
    D3DPrim_VertexNormalTexture(x1, y1, z2, nx, ny, 0, 0, vrep);
    D3DPrim_End();
}

void D3D_DrawFloor(float x1, float y1, float z1, float x2, float y2, float z2, int texture, float hrep, float vrep)
{
    const float m = std::sqrt((x2 - x1) * (x2 - x1) + (z2 - z1) * (z2 - z1));
    if (m == 0) return;
    const float nx = -(z2 - z1) / m, nz = (x2 - x1) / m;
    ShapeFrame frame;
    D3DPrim_Begin(PR_TRIANGLEFAN, texture);
    D3DPrim_VertexNormalTexture(x1, y1, z1, nx, 0, nz, 0, 0);
    D3DPrim_VertexNormalTexture(x1, y2, z1, nx, 0, nz, 0, vrep);
    D3DPrim_VertexNormalTexture(x2, y2, z2, nx, 0, nz, hrep, vrep);
    D3DPrim_VertexNormalTexture(x2, y1, z2, nx, 0, nz, hrep, 0);
    D3DPrim_End();
}
