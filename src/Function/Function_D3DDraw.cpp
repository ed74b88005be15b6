#include "Function/Function_D3DDraw.h"

#include <cstdint>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_D3DPrim.h"

namespace {

using Args = ScriptValue*;

float F(Args a, int n) { return Arg_Float(a, n); }
uint32_t Colour(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

void F_Begin(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "d3d_primitive_begin")) D3DPrim_Begin(Arg_Int32(a, 0), -1);
}

void F_BeginTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 2, "d3d_primitive_begin_texture")) return;
    const int kind = Arg_Int32(a, 0);
    D3DPrim_Begin(kind, D3D_TextureArgument(a, 1));
}

void F_End(ScriptValue*, CInstance*, CInstance*, int, Args) { D3DPrim_End(); }

void F_Vertex(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 3, "d3d_vertex")) D3DPrim_Vertex(F(a, 0), F(a, 1), F(a, 2));
}

void F_VertexColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 5, "d3d_vertex_colour")) D3DPrim_VertexColour(F(a, 0), F(a, 1), F(a, 2), Colour(a, 3), F(a, 4));
}

void F_VertexTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 5, "d3d_vertex_texture")) D3DPrim_VertexTexture(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}

void F_VertexTextureColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 7, "d3d_vertex_texture_colour")) return;
    D3DPrim_VertexTextureColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), Colour(a, 5), F(a, 6));
}

void F_VertexNormal(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 6, "d3d_vertex_normal"))
        D3DPrim_VertexNormal(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5));
}

void F_VertexNormalColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 8, "d3d_vertex_normal_colour")) return;
    D3DPrim_VertexNormalColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), Colour(a, 6), F(a, 7));
}

void F_VertexNormalTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 8, "d3d_vertex_normal_texture")) return;
    D3DPrim_VertexNormalTexture(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7));
}

void F_VertexNormalTextureColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 10, "d3d_vertex_normal_texture_colour")) return;
    D3DPrim_VertexNormalTextureColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7),
                                      Colour(a, 8), F(a, 9));
}

// Block, wall and floor: two corners, texture, repeats.
template <void (*Shape)(float, float, float, float, float, float, int, float, float)>
void F_BoxShape(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 9, "d3d_draw")) return;
    const float x1 = F(a, 0), y1 = F(a, 1), z1 = F(a, 2), x2 = F(a, 3), y2 = F(a, 4), z2 = F(a, 5);
    const int texture = D3D_TextureArgument(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    Shape(x1, y1, z1, x2, y2, z2, texture, hrep, vrep);
}

// Cone and cylinder: the same, then the closed flag and the steps.
template <void (*Shape)(float, float, float, float, float, float, int, float, float, bool, int)>
void F_RoundShape(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 11, "d3d_draw")) return;
    const float x1 = F(a, 0), y1 = F(a, 1), z1 = F(a, 2), x2 = F(a, 3), y2 = F(a, 4), z2 = F(a, 5);
    const int texture = D3D_TextureArgument(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    const bool closed = Arg_Bool(a, 9);
    Shape(x1, y1, z1, x2, y2, z2, texture, hrep, vrep, closed, Arg_Int32(a, 10));
}

void F_Ellipsoid(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 10, "d3d_draw_ellipsoid")) return;
    const float x1 = F(a, 0), y1 = F(a, 1), z1 = F(a, 2), x2 = F(a, 3), y2 = F(a, 4), z2 = F(a, 5);
    const int texture = D3D_TextureArgument(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    D3D_DrawEllipsoid(x1, y1, z1, x2, y2, z2, texture, hrep, vrep, Arg_Int32(a, 9));
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kDrawFunctions[] = {
    {"d3d_primitive_begin", F_Begin, 1},
    {"d3d_primitive_begin_texture", F_BeginTexture, 2},
    {"d3d_primitive_end", F_End, 0},
    {"d3d_vertex", F_Vertex, 3},
    {"d3d_vertex_colour", F_VertexColour, 5},
    {"d3d_vertex_color", F_VertexColour, 5},
    {"d3d_vertex_texture", F_VertexTexture, 5},
    {"d3d_vertex_texture_colour", F_VertexTextureColour, 7},
    {"d3d_vertex_texture_color", F_VertexTextureColour, 7},
    {"d3d_vertex_normal", F_VertexNormal, 6},
    {"d3d_vertex_normal_colour", F_VertexNormalColour, 8},
    {"d3d_vertex_normal_color", F_VertexNormalColour, 8},
    {"d3d_vertex_normal_texture", F_VertexNormalTexture, 8},
    {"d3d_vertex_normal_texture_colour", F_VertexNormalTextureColour, 10},
    {"d3d_vertex_normal_texture_color", F_VertexNormalTextureColour, 10},
    {"d3d_draw_block", F_BoxShape<D3D_DrawBlock>, 9},
    {"d3d_draw_cylinder", F_RoundShape<D3D_DrawCylinder>, 11},
    {"d3d_draw_cone", F_RoundShape<D3D_DrawCone>, 11},
    {"d3d_draw_ellipsoid", F_Ellipsoid, 10},
    {"d3d_draw_wall", F_BoxShape<D3D_DrawWall>, 9},
    {"d3d_draw_floor", F_BoxShape<D3D_DrawFloor>, 9},
};

}  // namespace

int D3D_TextureArgument(ScriptValue* args, int n)
{
    const intptr_t handle = Arg_NumberOrPointer(args, n);
    return handle < -1 || handle > INT32_MAX ? -2 : static_cast<int>(handle);
}

void InitD3DDrawFunctions()
{
    if (LayerMode) return;
    for (const Registration& f : kDrawFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
