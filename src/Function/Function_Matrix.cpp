// matrix_ and frustum_ built-ins: matrix arithmetic for game code, the
// renderer's three matrices, the matrix stack and the view frustum.
#include "Function/Function_Matrix.h"

#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Base/Matrix.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_RealArray.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/VertexBuilderM.h"

namespace {

constexpr int kStackLast = 50;
Matrix g_Stack[kStackLast + 1];
int g_StackTop = 0;
// left, right, top, bottom, near, far: {a, b, c, d}.
float g_Frustum[6][4] = {
    {-99999, -99999, -99999, 0}, {-99999, -99999, -99999, 0}, {-99999, -99999, -99999, 0},
    {-99999, -99999, -99999, 0}, {-99999, -99999, -99999, 0}, {-99999, -99999, -99999, 0},
};

// True when the value is an array whose first row holds exactly 16 values.
bool IsMatrix(const ScriptValue& value)
{
    return value.Kind() == VALUE_ARRAY && value.arr && value.arr->rowCount >= 1 && value.arr->rows[0].length == 16;
}

Matrix ToMatrix(const ScriptValue& value)
{
    Matrix m;
    float* out = &m.m[0][0];
    for (int k = 0; k < 16; ++k) out[k] = DoubleToFloat(ScriptValue_ToReal(&value.arr->rows[0].elements[k]));
    return m;
}

void ReturnMatrix(ScriptValue* result, const Matrix& m) { Function_ReturnFloatArray(result, 16, &m.m[0][0]); }

void Fatal(const char* message) { ReportRuntimeError(message, true); }

void F_BuildIdentity(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    Matrix m;
    Matrix_Identity(&m);
    ReturnMatrix(result, m);
}

void F_Build(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc != 9) {
        Fatal("Illegal argument count or type");
        return;
    }
    float a[9];
    for (int i = 0; i < 9; ++i) a[i] = Arg_Float(args, i);
    Matrix ry, rx, rz, m;
    Matrix_RotationY(&ry, a[4]);
    Matrix_RotationX(&rx, a[3]);
    Matrix_RotationZ(&rz, a[5]);
    Matrix_Multiply(&m, &ry, &rx);
    Matrix_Multiply(&m, &m, &rz);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m.m[r][c] *= a[6 + c];
    m.m[3][0] = a[0];
    m.m[3][1] = a[1];
    m.m[3][2] = a[2];
    ReturnMatrix(result, m);
}

void F_BuildLookAt(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    Matrix m;
    Matrix_LookAt(&m, {Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2)},
                  {Arg_Float(args, 3), Arg_Float(args, 4), Arg_Float(args, 5)},
                  {Arg_Float(args, 6), Arg_Float(args, 7), Arg_Float(args, 8)});
    ReturnMatrix(result, m);
}

void F_BuildOrtho(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    Matrix m;
    Matrix_Ortho(&m, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2), Arg_Float(args, 3));
    ReturnMatrix(result, m);
}

void F_BuildPerspective(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float w = Arg_Float(args, 0), h = Arg_Float(args, 1);
    if (w == 0.0f || h == 0.0f) {
        Fatal("matrix_build_projection_perspective() - can't have width or height of zero");
        return;
    }
    Matrix m;
    Matrix_Perspective(&m, w, h, Arg_Float(args, 2), Arg_Float(args, 3));
    ReturnMatrix(result, m);
}

void F_BuildPerspectiveFov(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float fov = Arg_Float(args, 0), aspect = Arg_Float(args, 1);
    if (fov == 0.0f || aspect == 0.0f) {
        Fatal("matrix_build_projection_perspective_fov() - can't have fov or aspect of zero");
        return;
    }
    Matrix m;
    Matrix_PerspectiveFov(&m, fov * 0.017453292f, aspect, Arg_Float(args, 2), Arg_Float(args, 3));
    ReturnMatrix(result, m);
}

void F_Multiply(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc != 2) return Fatal("Illegal argument count");
    if (args[0].Kind() != VALUE_ARRAY || args[1].Kind() != VALUE_ARRAY) return Fatal("Illegal argument type");
    if (!IsMatrix(args[0]) || !IsMatrix(args[1])) return Fatal("Illegal matrix");
    const Matrix a = ToMatrix(args[0]), b = ToMatrix(args[1]);
    Matrix m;
    Matrix_Multiply(&m, &a, &b);
    ReturnMatrix(result, m);
}

void F_TransformVertex(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 4 || args[0].Kind() != VALUE_ARRAY) return Fatal("Illegal argument type");
    // A short first row would be read past its end.
    if (!IsMatrix(args[0])) return Fatal("Illegal matrix");
    const Matrix m = ToMatrix(args[0]);
    const float x = Arg_Float(args, 1), y = Arg_Float(args, 2), z = Arg_Float(args, 3);
    float out[3];
    for (int c = 0; c < 3; ++c) out[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
    Function_ReturnFloatArray(result, 3, out);
}

void F_Get(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const int slot = argc >= 1 ? Arg_Int32(args, 0) : -1;
    if (slot < 0 || slot > 2) return Fatal("Illegal matrix type");
    Matrix m;
    GR_D3D_GetMatrix(slot, &m.m[0][0]);
    ReturnMatrix(result, m);
}

void F_Set(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const int slot = argc >= 1 ? Arg_Int32(args, 0) : -1;
    if (slot < 0 || slot > 2) return Fatal("Illegal matrix type");
    if (argc != 2 || !IsMatrix(args[1])) return Fatal("Illegal matrix");
    const Matrix m = ToMatrix(args[1]);
    GR_D3D_SetMatrix(slot, &m.m[0][0]);
    if (slot == MATRIX_WORLD) GR_InvalidateCullRect();
}

void F_StackPush(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (g_StackTop >= kStackLast) return Fatal("matrix_stack_push() - stack is full");
    if (argc == 0) {
        g_Stack[g_StackTop + 1] = g_Stack[g_StackTop];
        ++g_StackTop;
        return;
    }
    // A refused argument leaves the stack as it was (the top is not raised).
    if (args[0].Kind() != VALUE_ARRAY) {
        ReportRuntimeError("matrix_stack_push() - argument must be matrix", false);
        return;
    }
    if (!IsMatrix(args[0])) return Fatal("matrix_stack_multiply() - matrix not valid");
    const Matrix a = ToMatrix(args[0]);
    Matrix_Multiply(&g_Stack[g_StackTop + 1], &a, &g_Stack[g_StackTop]);
    ++g_StackTop;
}

void F_StackPop(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    if (--g_StackTop < 0) {
        g_StackTop = 0;
        Matrix_Identity(&g_Stack[0]);
    }
}

void F_StackSet(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc != 1 || args[0].Kind() != VALUE_ARRAY) {
        ReportRuntimeError("matrix_stack_set() - expects matrix", false);
        return;
    }
    if (!IsMatrix(args[0])) return Fatal("matrix_stack_set() - Illegal matrix");
    g_Stack[g_StackTop] = ToMatrix(args[0]);
}

void F_StackClear(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    g_StackTop = 0;
    Matrix_Identity(&g_Stack[0]);
}

void F_StackTop(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*) { ReturnMatrix(result, g_Stack[g_StackTop]); }

void F_StackIsEmpty(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, g_StackTop == 0 ? 1 : 0);
}

void F_FrustumBuild(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    Matrix view, projection, m;
    GR_D3D_GetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_D3D_GetMatrix(MATRIX_PROJECTION, &projection.m[0][0]);
    Matrix_Multiply(&m, &view, &projection);
    auto column = [&](int c, int r) { return m.m[r][c]; };
    // left C0 + C3, right C3 - C0, top C3 - C1, bottom C1 + C3, near C2, far C3 - C2.
    const int first[6] = {0, 3, 3, 1, 2, 3};
    const int second[6] = {3, 0, 1, 3, -1, 2};
    const float sign[6] = {1, -1, -1, 1, 0, -1};
    for (int p = 0; p < 6; ++p) {
        for (int r = 0; r < 4; ++r)
            g_Frustum[p][r] = column(first[p], r) + (second[p] >= 0 ? sign[p] * column(second[p], r) : 0.0f);
        const float length = std::sqrt(g_Frustum[p][0] * g_Frustum[p][0] + g_Frustum[p][1] * g_Frustum[p][1] +
                                       g_Frustum[p][2] * g_Frustum[p][2]);
        if (length > 0.0f)
            for (float& v : g_Frustum[p]) v /= length;
    }
    ScriptValue_SetReal(result, 0);
}

void F_FrustumTestSphere(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1), z = Arg_Float(args, 2), r = Arg_Float(args, 3);
    for (const auto& p : g_Frustum) {
        if (p[0] * x + p[1] * y + p[2] * z + p[3] + r < 0.0f) {
            ScriptValue_SetReal(result, 0);
            return;
        }
    }
    ScriptValue_SetReal(result, 1);
}

void F_DrawFlush(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { GR_VertexBuilder_Flush(); }

void F_DrawTextureFlush(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    GR_VertexBuilder_Flush();
    GR_Texture_FlushAll();
}

}  // namespace

void Matrix_RegisterFunctions()
{
    const struct {
        const char* name;
        BuiltinRoutine routine;
        int32_t count;
    } kFunctions[] = {
        {"matrix_get", F_Get, 1},
        {"matrix_set", F_Set, 2},
        {"matrix_build_identity", F_BuildIdentity, 0},
        {"matrix_build", F_Build, 9},
        {"matrix_build_lookat", F_BuildLookAt, 9},
        {"matrix_build_projection_ortho", F_BuildOrtho, 4},
        {"matrix_build_projection_perspective", F_BuildPerspective, 4},
        {"matrix_build_projection_perspective_fov", F_BuildPerspectiveFov, 4},
        {"matrix_multiply", F_Multiply, 2},
        {"matrix_transform_vertex", F_TransformVertex, 4},
        {"frustum_build", F_FrustumBuild, 0},
        {"frustum_test_sphere", F_FrustumTestSphere, 4},
        {"draw_texture_flush", F_DrawTextureFlush, 0},
        {"draw_flush", F_DrawFlush, 0},
    };
    for (const auto& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}

void Matrix_RegisterStackFunctions()
{
    const struct {
        const char* name;
        BuiltinRoutine routine;
        int32_t count;
    } kFunctions[] = {
        {"matrix_stack_push", F_StackPush, 0},   {"matrix_stack_pop", F_StackPop, 0},
        {"matrix_stack_set", F_StackSet, 1},     {"matrix_stack_clear", F_StackClear, 0},
        {"matrix_stack_top", F_StackTop, 0},     {"matrix_stack_is_empty", F_StackIsEmpty, 0},
    };
    for (const auto& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
    g_StackTop = 0;
    Matrix_Identity(&g_Stack[0]);
}
