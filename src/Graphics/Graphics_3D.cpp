#include <cmath>

#include "Base/Matrix.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/VertexBuilderM.h"

bool Legacy3DMode = false;
bool NoSpriteCulling = false;
LegacyProjection GR_3D_Projection = kStartProjection;

namespace {

constexpr int kStackLast = 50;
Matrix g_Stack[kStackLast + 1];
int g_StackTop = -1;

void SetWorld(const Matrix& m)
{
    GR_D3D_SetMatrix(MATRIX_WORLD, &m.m[0][0]);
    GR_InvalidateCullRect();
}

Matrix World()
{
    Matrix m;
    GR_D3D_GetMatrix(MATRIX_WORLD, &m.m[0][0]);
    return m;
}

// The new transform applies after the existing world.
void AddToWorld(const Matrix& m)
{
    Matrix world = World(), product;
    Matrix_Multiply(&product, &world, &m);
    SetWorld(product);
}

Matrix Translation(float x, float y, float z)
{
    Matrix m;
    Matrix_Identity(&m);
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

Matrix Scaling(float x, float y, float z)
{
    Matrix m;
    Matrix_Identity(&m);
    m.m[0][0] = x;
    m.m[1][1] = y;
    m.m[2][2] = z;
    return m;
}

Matrix Rotation(void (*build)(Matrix*, float), float angle)
{
    Matrix m;
    build(&m, angle);
    return m;
}

Matrix RotationAxis(float x, float y, float z, float angle)
{
    Matrix m;
    Matrix_RotationAxis(&m, x, y, z, -angle);
    return m;
}

void SetViewAndProjection(const Matrix& view, const Matrix& projection)
{
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, &projection.m[0][0]);
    GR_InvalidateCullRect();
}

}  // namespace

bool GR_3D_SetMode(bool on)
{
    if (on == Legacy3DMode) return true;
    GR_VertexBuilder_Flush();
    Legacy3DMode = on;
    GR_SetPerspective(on);
    GR_SetHidden(on);
    return true;
}

void GR_3D_SetDepth(float depth)
{
    if (!LayerMode && !Legacy3DMode) {
        DrawDepth = 0.0f;
        return;
    }
    DrawDepth = depth < -16000.0f ? -16000.0f : depth > 16000.0f ? 16000.0f : depth;
}

void GR_3D_SetProjection(float xFrom, float yFrom, float zFrom, float xTo, float yTo, float zTo, float xUp, float yUp,
                         float zUp)
{
    Matrix view;
    Matrix_LookAt(&view, {xFrom, yFrom, zFrom}, {xTo, yTo, zTo}, {xUp, yUp, zUp});
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_InvalidateCullRect();
}

void GR_3D_SetProjectionExt(float xFrom, float yFrom, float zFrom, float xTo, float yTo, float zTo, float xUp,
                            float yUp, float zUp, float angle, float aspect, float zNear, float zFar)
{
    Matrix view, projection;
    Matrix_LookAt(&view, {xFrom, yFrom, zFrom}, {xTo, yTo, zTo}, {xUp, yUp, zUp});
    Matrix_PerspectiveFov(&projection, angle * 0.017453292f, aspect, zNear, zFar);
    SetViewAndProjection(view, projection);
    GR_3D_Projection = {true, zNear, zFar};
    NoSpriteCulling = false;
}

void GR_3D_SetProjectionOrtho(float x, float y, float width, float height, float angle)
{
    const float theta = -angle * 3.1415927f / 180.0f;
    const float cx = x + width / 2, cy = y + height / 2;
    Matrix view, projection;
    Matrix_LookAt(&view, {cx, cy, -16000.0f}, {cx, cy, 0.0f}, {std::sin(theta), std::cos(theta), 0.0f});
    Matrix_Ortho(&projection, width, -height, 1.0f, 32000.0f);
    SetViewAndProjection(view, projection);
    GR_3D_Projection = {false, 1.0f, 32000.0f};
    NoSpriteCulling = true;
}

void GR_3D_SetProjectionPerspective(float x, float y, float width, float height, float angle)
{
    // A zero width would divide by zero: the view is then an identity projection.
    const float theta = angle * -0.017453292f;
    const float cx = x + width / 2, cy = y + height / 2;
    Matrix view, projection;
    Matrix_LookAt(&view, {cx, cy, -width}, {cx, cy, 0.0f}, {std::sin(theta), std::cos(theta), 0.0f});
    if (width == 0.0f) Matrix_Identity(&projection);
    else Matrix_Perspective(&projection, 1.0f, height / width, 1.0f, 32000.0f);
    SetViewAndProjection(view, projection);
    GR_3D_Projection = {true, 1.0f, 32000.0f};
    NoSpriteCulling = false;
}

void GR_3D_TransformSetIdentity() { SetWorld(Translation(0, 0, 0)); }
void GR_3D_TransformSetTranslation(float x, float y, float z) { SetWorld(Translation(x, y, z)); }
void GR_3D_TransformSetScaling(float x, float y, float z) { SetWorld(Scaling(x, y, z)); }
void GR_3D_TransformSetRotationX(float angle) { SetWorld(Rotation(Matrix_RotationX, angle)); }
void GR_3D_TransformSetRotationY(float angle) { SetWorld(Rotation(Matrix_RotationY, angle)); }
void GR_3D_TransformSetRotationZ(float angle) { SetWorld(Rotation(Matrix_RotationZ, angle)); }
void GR_3D_TransformSetRotationAxis(float x, float y, float z, float angle) { SetWorld(RotationAxis(x, y, z, angle)); }
void GR_3D_TransformAddTranslation(float x, float y, float z) { AddToWorld(Translation(x, y, z)); }
void GR_3D_TransformAddScaling(float x, float y, float z) { AddToWorld(Scaling(x, y, z)); }
void GR_3D_TransformAddRotationX(float angle) { AddToWorld(Rotation(Matrix_RotationX, angle)); }
void GR_3D_TransformAddRotationY(float angle) { AddToWorld(Rotation(Matrix_RotationY, angle)); }
void GR_3D_TransformAddRotationZ(float angle) { AddToWorld(Rotation(Matrix_RotationZ, angle)); }
void GR_3D_TransformAddRotationAxis(float x, float y, float z, float angle) { AddToWorld(RotationAxis(x, y, z, angle)); }

void GR_3D_TransformStackClear() { g_StackTop = -1; }

void GR_3D_Reset()
{
    Legacy3DMode = false;
    NoSpriteCulling = false;
    GR_3D_Projection = kStartProjection;
    DrawDepth = 0.0f;
    GR_3D_TransformStackClear();
}
bool GR_3D_TransformStackEmpty() { return g_StackTop < 0; }

bool GR_3D_TransformStackPush()
{
    if (g_StackTop >= kStackLast) return false;
    g_Stack[++g_StackTop] = World();
    return true;
}

bool GR_3D_TransformStackPop()
{
    if (g_StackTop < 0) return false;
    SetWorld(g_Stack[g_StackTop--]);
    return true;
}

bool GR_3D_TransformStackTop()
{
    if (g_StackTop < 0) return false;
    SetWorld(g_Stack[g_StackTop]);
    return true;
}

bool GR_3D_TransformStackDiscard()
{
    if (g_StackTop < 0) return false;
    --g_StackTop;
    return true;
}

void GR_3D_TransformVertex(float x, float y, float z, float out[3])
{
    const Matrix w = World();
    for (int c = 0; c < 3; ++c) out[c] = x * w.m[0][c] + y * w.m[1][c] + z * w.m[2][c] + w.m[3][c];
}
