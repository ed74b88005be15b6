#include "Function/Function_D3DModel.h"

#include <cstdint>

#include "Base/Console.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_D3DDraw.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_3D_Model.h"
#include "IO/LoadSave.h"

namespace {

using Args = ScriptValue*;

float F(Args a, int n) { return Arg_Float(a, n); }

// The model id of argument 0; a number that names no model (never made, or
// destroyed) is logged under the running built-in's name and nothing is done.
bool Model(Args a, const char* fallbackName, int* id)
{
    *id = Arg_Int32(a, 0);
    if (Model_Exists(*id)) return true;
    LogConsole->Output("%s: model %d does not exist\n",
                       CurrentBuiltinFunction ? CurrentBuiltinFunction->name : fallbackName, *id);
    return false;
}

// The argument count, then the model: both must be there.
bool Need(int argc, int count, const char* name, Args a, int* id)
{
    return Arg_Need(argc, count, name) && Model(a, name, id);
}

void F_Create(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Model_Create()); }

void F_Destroy(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 1, "d3d_model_destroy", a, &id)) Model_Destroy(id);
}

void F_Clear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 1, "d3d_model_clear", a, &id)) Model_Clear(id);
}

// 1 when the file was found in the save area or the bundle and read as a
// model; why a found file was refused is logged by the loader.
void F_Load(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 2, "d3d_model_load")) return;
    int id;
    const bool exists = Model(a, "d3d_model_load", &id);
    const char* name = Arg_String(a, 1);
    char path[1024];
    if (!LoadSave_ResolvePath(name, path, sizeof path)) {
        ScriptValue_SetReal(r, 0);
        LogConsole->Output("d3d_model_load - unable to find file %s\n", name ? name : "");
        return;
    }
    ScriptValue_SetReal(r, exists && Model_Load(id, path) ? 1 : 0);
}

void F_Save(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 2, "d3d_model_save", a, &id)) return;
    const char* name = Arg_String(a, 1);
    char path[1024];
    LoadSave_MakeSavePath(path, sizeof path, name);
    if (path[0]) EnsureFileDirectory(path);
    if (!Model_Save(id, path)) LogConsole->Output("d3d_model_save: %s cannot be written\n", name ? name : "");
}

void F_Draw(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 5, "d3d_model_draw", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3);
    Model_Draw(id, x, y, z, D3D_TextureArgument(a, 4));
}

void F_PrimitiveBegin(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 2, "d3d_model_primitive_begin", a, &id)) Model_PrimitiveBegin(id, Arg_Int32(a, 1));
}

void F_PrimitiveEnd(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 1, "d3d_model_primitive_end", a, &id)) Model_PrimitiveEnd(id);
}

void F_Vertex(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 4, "d3d_model_vertex", a, &id)) Model_Vertex(id, F(a, 1), F(a, 2), F(a, 3));
}

void F_VertexColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 6, "d3d_model_vertex_colour", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3);
    const int32_t colour = Arg_Int32(a, 4);
    Model_VertexColour(id, x, y, z, colour, F(a, 5));
}

void F_VertexTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 6, "d3d_model_vertex_texture", a, &id))
        Model_VertexTexture(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5));
}

void F_VertexTextureColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 8, "d3d_model_vertex_texture_colour", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3), u = F(a, 4), v = F(a, 5);
    const int32_t colour = Arg_Int32(a, 6);
    Model_VertexTextureColour(id, x, y, z, u, v, colour, F(a, 7));
}

void F_VertexNormal(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (Need(argc, 7, "d3d_model_vertex_normal", a, &id))
        Model_VertexNormal(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6));
}

void F_VertexNormalColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 9, "d3d_model_vertex_normal_colour", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3), nx = F(a, 4), ny = F(a, 5), nz = F(a, 6);
    const int32_t colour = Arg_Int32(a, 7);
    Model_VertexNormalColour(id, x, y, z, nx, ny, nz, colour, F(a, 8));
}

void F_VertexNormalTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 9, "d3d_model_vertex_normal_texture", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3), nx = F(a, 4), ny = F(a, 5), nz = F(a, 6);
    const float u = F(a, 7), v = F(a, 8);
    Model_VertexNormalTexture(id, x, y, z, nx, ny, nz, u, v);
}

void F_VertexNormalTextureColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 11, "d3d_model_vertex_normal_texture_colour", a, &id)) return;
    const float x = F(a, 1), y = F(a, 2), z = F(a, 3), nx = F(a, 4), ny = F(a, 5), nz = F(a, 6);
    const float u = F(a, 7), v = F(a, 8);
    const int32_t colour = Arg_Int32(a, 9);
    Model_VertexNormalTextureColour(id, x, y, z, nx, ny, nz, u, v, colour, F(a, 10));
}

// Block, wall and floor: two corners and the repeats.
template <void (*Shape)(int, float, float, float, float, float, float, float, float)>
void F_BoxShape(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 9, "d3d_model", a, &id)) return;
    const float x1 = F(a, 1), y1 = F(a, 2), z1 = F(a, 3), x2 = F(a, 4), y2 = F(a, 5), z2 = F(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    Shape(id, x1, y1, z1, x2, y2, z2, hrep, vrep);
}

// Cone and cylinder: the same, then the closed flag and the steps.
template <void (*Shape)(int, float, float, float, float, float, float, float, float, bool, int32_t)>
void F_RoundShape(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 11, "d3d_model", a, &id)) return;
    const float x1 = F(a, 1), y1 = F(a, 2), z1 = F(a, 3), x2 = F(a, 4), y2 = F(a, 5), z2 = F(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    const bool closed = Arg_Bool(a, 9);
    Shape(id, x1, y1, z1, x2, y2, z2, hrep, vrep, closed, Arg_Int32(a, 10));
}

void F_Ellipsoid(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int id;
    if (!Need(argc, 10, "d3d_model_ellipsoid", a, &id)) return;
    const float x1 = F(a, 1), y1 = F(a, 2), z1 = F(a, 3), x2 = F(a, 4), y2 = F(a, 5), z2 = F(a, 6);
    const float hrep = F(a, 7), vrep = F(a, 8);
    Model_Ellipsoid(id, x1, y1, z1, x2, y2, z2, hrep, vrep, Arg_Int32(a, 9));
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kModelFunctions[] = {
    {"d3d_model_create", F_Create, 0},
    {"d3d_model_destroy", F_Destroy, 1},
    {"d3d_model_clear", F_Clear, 1},
    {"d3d_model_load", F_Load, 2},
    {"d3d_model_save", F_Save, 2},
    {"d3d_model_draw", F_Draw, 5},
    {"d3d_model_primitive_begin", F_PrimitiveBegin, 2},
    {"d3d_model_primitive_end", F_PrimitiveEnd, 1},
    {"d3d_model_vertex", F_Vertex, 4},
    {"d3d_model_vertex_colour", F_VertexColour, 6},
    {"d3d_model_vertex_color", F_VertexColour, 6},
    {"d3d_model_vertex_texture", F_VertexTexture, 6},
    {"d3d_model_vertex_texture_colour", F_VertexTextureColour, 8},
    {"d3d_model_vertex_texture_color", F_VertexTextureColour, 8},
    {"d3d_model_vertex_normal", F_VertexNormal, 7},
    {"d3d_model_vertex_normal_colour", F_VertexNormalColour, 9},
    {"d3d_model_vertex_normal_color", F_VertexNormalColour, 9},
    {"d3d_model_vertex_normal_texture", F_VertexNormalTexture, 9},
    {"d3d_model_vertex_normal_texture_colour", F_VertexNormalTextureColour, 11},
    {"d3d_model_vertex_normal_texture_color", F_VertexNormalTextureColour, 11},
    {"d3d_model_block", F_BoxShape<Model_Block>, 9},
    {"d3d_model_cylinder", F_RoundShape<Model_Cylinder>, 11},
    {"d3d_model_cone", F_RoundShape<Model_Cone>, 11},
    {"d3d_model_ellipsoid", F_Ellipsoid, 10},
    {"d3d_model_wall", F_BoxShape<Model_Wall>, 9},
    {"d3d_model_floor", F_BoxShape<Model_Floor>, 9},
};

}  // namespace

void InitD3DModelFunctions()
{
    if (LayerMode) return;
    for (const Registration& f : kModelFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
