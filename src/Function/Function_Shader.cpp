// Shader selection, uniforms and samplers for game code, and the texture
// built-ins that bind a texture to a sampler stage or measure its texels.
#include "Function/Function_Shader.h"

#include <vector>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/ShaderM.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

namespace {

void Report(const char* message) { ReportRuntimeError(message, false); }

// Argument 0 as a shader record; an id outside the table is reported.
bool ShaderArg(ScriptValue* args, ShaderResource** out)
{
    *out = Shader_Get(Arg_Int32(args, 0));
    if (!*out) Report("Illegal shader handle");
    return *out != nullptr;
}

void F_ShaderSet(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (!Shader_Select(Arg_Int32(args, 0))) Report("Illegal shader handle");
}

void F_ShaderReset(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue*)
{
    if (argc != 0) {
        Report("shader_set: Illegal argument count");
        return;
    }
    Shader_Reset();
}

void F_ShaderCurrent(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, Shader_GetPending());
}

void F_ShaderGetUniform(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    ShaderResource* record = nullptr;
    if (ShaderArg(args, &record)) ScriptValue_SetReal(result, Shader_GetUniformIndex(record, Arg_String(args, 1)));
}

void F_ShaderGetSamplerIndex(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    ShaderResource* record = nullptr;
    if (ShaderArg(args, &record)) ScriptValue_SetReal(result, Shader_GetSamplerIndex(record, Arg_String(args, 1)));
}

void F_ShaderIsCompiled(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    ShaderResource* record = nullptr;
    if (ShaderArg(args, &record)) ScriptValue_SetReal(result, record->errorText.empty() ? 1 : 0);
}

void F_ShadersAreSupported(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, 1);
}

// Every uniform setter first draws what was batched for the shader before.
void BeforeUniform()
{
    GR_VertexBuilder_Flush();
    if (Shader_ChangePending()) Shader_Apply();
}

template <bool (*Set)(int, int, const float*)>
void F_SetUniformValues(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    BeforeUniform();
    // Four values at most exist to pass; further arguments are ignored.
    const int count = argc - 1 < 0 ? 0 : argc - 1 > 4 ? 4 : argc - 1;
    float values[4] = {};
    for (int i = 0; i < count; ++i) values[i] = static_cast<float>(Arg_Real(args, i + 1));
    Set(Arg_Int32(args, 0), count, values);
}

// The first row of argument 1, or null with the report for a non-array.
const RefArrayRow* ArrayArg(ScriptValue* args)
{
    const ScriptValue& value = args[1];
    if (value.Kind() != VALUE_ARRAY || !value.arr) {
        Report("Illegal argument type");
        return nullptr;
    }
    static const RefArrayRow kEmpty = {0, nullptr};
    return value.arr->rowCount >= 1 ? &value.arr->rows[0] : &kEmpty;
}

// The elements of row 0 of the array argument, each converted, set as one uniform array.
template <typename T, T (*Convert)(double), bool (*Set)(int, int, const T*)>
void F_SetUniformArray(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const RefArrayRow* row = ArrayArg(args);
    if (!row) return;
    BeforeUniform();
    if (row->length <= 0) {
        Report("Illegal array count");
        return;
    }
    std::vector<T> values(static_cast<size_t>(row->length));
    for (int32_t i = 0; i < row->length; ++i)
        values[static_cast<size_t>(i)] = Convert(ScriptValue_ToReal(&row->elements[i]));
    Set(Arg_Int32(args, 0), row->length, values.data());
}

void F_SetUniformMatrix(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    BeforeUniform();
    float world[16];
    GR_D3D_GetMatrix(MATRIX_WORLD, world);
    Shader_SetUniformMatrix(Arg_Int32(args, 0), 1, world);
}

void F_SetUniformMatrixArray(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const RefArrayRow* row = ArrayArg(args);
    if (!row) return;
    BeforeUniform();
    const int32_t used = row->length / 16 * 16;
    if (used == 0) {
        Report("Illegal array count");
        return;
    }
    std::vector<float> values(static_cast<size_t>(used));
    for (int32_t i = 0; i < used; ++i) values[static_cast<size_t>(i)] = DoubleToFloat(ScriptValue_ToReal(&row->elements[i]));
    Shader_SetUniformMatrix(Arg_Int32(args, 0), used / 16, values.data());
}

// A texture argument: a game texture index, -1 or a freed slot for none,
// or a texture-page handle naming its page's texture. False when a handle
// names no live texture (the built-in then gives up).
bool TextureArg(ScriptValue* args, int n, D3DTexture** out)
{
    *out = nullptr;
    const intptr_t value = Arg_NumberOrPointer(args, n);
    if (value >= 0 && value <= INT32_MAX && GR_Texture_Exists(static_cast<int>(value))) {
        *out = GR_Texture_GetD3D(static_cast<int>(value));
        return true;
    }
    // Negative numbers other than handles are never followed.
    if (value < 0 || value <= GR_Texture_Count() || value > INT32_MAX) return true;
    const STexturePageEntry* entry = TPE_FromHandle(static_cast<int>(value));
    if (!entry || !GR_Texture_Exists(entry->texture)) return false;
    *out = GR_Texture_GetD3D(entry->texture);
    return true;
}

void F_TextureSetStage(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    GR_VertexBuilder_Flush();
    D3DTexture* texture = nullptr;
    if (TextureArg(args, 1, &texture)) GR_D3D_SetTexture(Arg_Int32(args, 0), texture);
}

template <bool Width>
void F_TexelSize(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, 1);
    D3DTexture* texture = nullptr;
    if (!TextureArg(args, 0, &texture) || !texture) return;
    const int size = Width ? texture->width : texture->height;
    if (size > 0) ScriptValue_SetReal(result, 1.0 / size);
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kFunctions[] = {
    {"shader_set", F_ShaderSet, 1},
    {"shader_reset", F_ShaderReset, 1},
    {"shader_current", F_ShaderCurrent, 0},
    {"shader_get_uniform", F_ShaderGetUniform, 2},
    {"shader_get_sampler_index", F_ShaderGetSamplerIndex, 2},
    {"shader_set_uniform_i", F_SetUniformValues<Shader_SetUniformI>, -1},
    {"shader_set_uniform_i_array", F_SetUniformArray<int32_t, DoubleToInt32, Shader_SetUniformIArray>, 2},
    {"shader_set_uniform_f", F_SetUniformValues<Shader_SetUniformF>, -1},
    {"shader_set_uniform_f_array", F_SetUniformArray<float, DoubleToFloat, Shader_SetUniformFArray>, 2},
    {"shader_set_uniform_matrix", F_SetUniformMatrix, 1},
    {"shader_set_uniform_matrix_array", F_SetUniformMatrixArray, 2},
    {"shader_is_compiled", F_ShaderIsCompiled, 1},
    {"shaders_are_supported", F_ShadersAreSupported, 0},
    {"texture_set_stage", F_TextureSetStage, 2},
    {"texture_get_texel_width", F_TexelSize<true>, 1},
    {"texture_get_texel_height", F_TexelSize<false>, 1},
};

}  // namespace

void InitShaderFunctions()
{
    for (const Registration& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
