// The legacy d3d_ built-ins of 3D mode, depth, projections and the world
// transform stack, and the registration of the whole "3D.." group.
#include "Function/Function_3D.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_Matrix.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/RenderStateCache.h"

namespace {

float F(ScriptValue* args, int n) { return Arg_Float(args, n); }

void F_Start(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(r, GR_3D_SetMode(true)); }
void F_End(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(r, GR_3D_SetMode(false)); }
void F_SetPerspective(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a) { GR_SetPerspective(Arg_Bool(a, 0)); }
void F_SetDepth(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a) { GR_3D_SetDepth(F(a, 0)); }

void F_SetProjection(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a)
{
    GR_3D_SetProjection(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8));
}

void F_SetProjectionExt(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a)
{
    GR_3D_SetProjectionExt(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9),
                           F(a, 10), F(a, 11), F(a, 12));
}

void F_SetProjectionOrtho(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a)
{
    GR_3D_SetProjectionOrtho(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}

void F_SetProjectionPerspective(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a)
{
    GR_3D_SetProjectionPerspective(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}

template <void (*Op)()>
void F_Op0(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Op(); }
template <void (*Op)(float)>
void F_Op1(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a) { Op(F(a, 0)); }
template <void (*Op)(float, float, float)>
void F_Op3(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a) { Op(F(a, 0), F(a, 1), F(a, 2)); }
template <void (*Op)(float, float, float, float)>
void F_Op4(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* a) { Op(F(a, 0), F(a, 1), F(a, 2), F(a, 3)); }
template <bool (*Op)()>
void F_Bool(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(r, Op() ? 1 : 0); }

void F_TransformVertex(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    float out[3];
    GR_3D_TransformVertex(F(a, 0), F(a, 1), F(a, 2), out);
    ScriptValue array = ScriptValue_Undefined();
    for (int32_t k = 2; k >= 0; --k) {
        ScriptValue* element = ScriptValue_ArrayElementForWrite(&array, k);
        if (!element) break;
        ScriptValue_SetReal(element, out[k]);
    }
    ScriptValue_SetUndefined(r);
    *r = array;
    if (r->Kind() == VALUE_ARRAY && r->arr) r->arr->owner = r;
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kLegacyFunctions[] = {
    {"d3d_start", F_Start, 0},
    {"d3d_end", F_End, 0},
    {"d3d_set_perspective", F_SetPerspective, 1},
    {"d3d_set_depth", F_SetDepth, 1},
    {"d3d_set_projection", F_SetProjection, 9},
    {"d3d_set_projection_ext", F_SetProjectionExt, 13},
    {"d3d_set_projection_ortho", F_SetProjectionOrtho, 5},
    {"d3d_set_projection_perspective", F_SetProjectionPerspective, 5},
    {"d3d_transform_set_identity", F_Op0<GR_3D_TransformSetIdentity>, 0},
    {"d3d_transform_set_translation", F_Op3<GR_3D_TransformSetTranslation>, 3},
    {"d3d_transform_set_scaling", F_Op3<GR_3D_TransformSetScaling>, 3},
    {"d3d_transform_set_rotation_x", F_Op1<GR_3D_TransformSetRotationX>, 1},
    {"d3d_transform_set_rotation_y", F_Op1<GR_3D_TransformSetRotationY>, 1},
    {"d3d_transform_set_rotation_z", F_Op1<GR_3D_TransformSetRotationZ>, 1},
    {"d3d_transform_set_rotation_axis", F_Op4<GR_3D_TransformSetRotationAxis>, 4},
    {"d3d_transform_add_translation", F_Op3<GR_3D_TransformAddTranslation>, 3},
    {"d3d_transform_add_scaling", F_Op3<GR_3D_TransformAddScaling>, 3},
    {"d3d_transform_add_rotation_x", F_Op1<GR_3D_TransformAddRotationX>, 1},
    {"d3d_transform_add_rotation_y", F_Op1<GR_3D_TransformAddRotationY>, 1},
    {"d3d_transform_add_rotation_z", F_Op1<GR_3D_TransformAddRotationZ>, 1},
    {"d3d_transform_add_rotation_axis", F_Op4<GR_3D_TransformAddRotationAxis>, 4},
    {"d3d_transform_stack_clear", F_Op0<GR_3D_TransformStackClear>, 0},
    {"d3d_transform_stack_empty", F_Bool<GR_3D_TransformStackEmpty>, 0},
    {"d3d_transform_stack_push", F_Bool<GR_3D_TransformStackPush>, 0},
    {"d3d_transform_stack_pop", F_Bool<GR_3D_TransformStackPop>, 0},
    {"d3d_transform_stack_top", F_Bool<GR_3D_TransformStackTop>, 0},
    {"d3d_transform_stack_discard", F_Bool<GR_3D_TransformStackDiscard>, 0},
    {"d3d_transform_vertex", F_TransformVertex, 3},
};

}  // namespace

void Init3DFunctions()
{
    if (!LayerMode)
        for (const Registration& f : kLegacyFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
    Matrix_RegisterFunctions();
    if (LayerMode) {
        DrawColour = 0xFFFFFFFFu;
        Matrix_RegisterStackFunctions();
    }
}
