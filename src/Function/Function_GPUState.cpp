#include "Function/Function_GPUState.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Function/Function_RealArray.h"
#include "GameData/GameHeader.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"

namespace {

using Args = ScriptValue*;
RenderStateCache& Cache() { return g_RenderStateCache; }

void Error(const char* message) { ReportRuntimeError(message, false); }

int32_t FloatBits(float f)
{
    int32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

float BitsFloat(int32_t bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

double Unsigned(int32_t state) { return static_cast<uint32_t>(state); }

// The values of a setter: the arguments themselves, or with exactly one
// argument the first row of the array it holds. Null (after the message) when
// neither fits.
Args SetterValues(int argc, Args a, int count, int minimumInArray, const char* countMessage,
                  const char* arrayMessage)
{
    if (argc == count) return a;
    if (argc != 1) {
        Error(countMessage);
        return nullptr;
    }
    const ScriptValue& v = a[0];
    const bool fits = v.Kind() == VALUE_ARRAY && v.arr && v.arr->rowCount >= 1 &&
                      (minimumInArray == count ? v.arr->rows[0].length == count
                                               : v.arr->rows[0].length >= minimumInArray);
    if (!fits) {
        Error(arrayMessage);
        return nullptr;
    }
    return v.arr->rows[0].elements;
}

// ---------------------------------------------------------------- setters

#define QS_FLAG_MESSAGE(name) name "() - wrong number of parameters (takes a single true\false parameter)"

template <int State, bool AsBool>
void SetFlag(ScriptValue* r, int argc, Args a, const char* message)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Error(message);
        return;
    }
    Cache().SetRenderState(State, AsBool ? (Arg_Bool(a, 0) ? 1 : 0) : Arg_Int32(a, 0));
}

void F_SetBlendEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_BLENDENABLE, false>(r, argc, a, QS_FLAG_MESSAGE("gpu_set_blendenable"));
}
void F_SetZTestEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ZTESTENABLE, false>(r, argc, a, QS_FLAG_MESSAGE("gpu_set_ztestenable"));
}
void F_SetZWriteEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ZWRITEENABLE, true>(r, argc, a, QS_FLAG_MESSAGE("gpu_set_zwriteenable"));
}
void F_SetAlphaTestEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ALPHATESTENABLE, true>(r, argc, a, QS_FLAG_MESSAGE("gpu_set_alphatestenable"));
}
void F_SetAlphaTestRef(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ALPHAREF, false>(r, argc, a, "gpu_set_alphatestref() - should be passed a single parameter");
}
void F_SetAlphaTestFunc(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ALPHATESTFUNC, false>(r, argc, a, "gpu_set_alphatestfunc() - should be passed a single parameter");
}
void F_SetZFunc(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_ZFUNC, false>(r, argc, a, "gpu_set_zfunc() - should be passed a single parameter");
}
void F_SetCullMode(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetFlag<RS_CULLMODE, false>(r, argc, a, "gpu_set_cullmode() - should be passed a single parameter");
}

void SetBlendFactors(int32_t src, int32_t dest, int32_t srcAlpha, int32_t destAlpha, bool separate)
{
    Cache().SetRenderState(RS_SRCBLEND, src);
    Cache().SetRenderState(RS_DESTBLEND, dest);
    Cache().SetRenderState(RS_SRCBLENDALPHA, srcAlpha);
    Cache().SetRenderState(RS_DESTBLENDALPHA, destAlpha);
    Cache().SetRenderState(RS_SEPALPHAENABLE, separate ? 1 : 0);
}

void F_SetBlendMode(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Error("gpu_set_blendmode() - should be passed a single parameter");
        return;
    }
    GR_SetBlendMode(Arg_Int32(a, 0));
    Cache().SetRenderState(RS_SEPALPHAENABLE, 0);
}

void F_SetBlendModeExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    Args v = SetterValues(argc, a, 2, 2, "gpu_set_blendmode_ext() - should be passed two parameters",
                          "gpu_set_blendmode_ext() - invalid array (must be 2 values)");
    if (!v) return;
    const int32_t src = Arg_Int32(v, 0), dest = Arg_Int32(v, 1);
    SetBlendFactors(src, dest, src, dest, false);
}

void F_SetBlendModeExtSepAlpha(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    Args v = SetterValues(argc, a, 4, 4, "gpu_set_blendmode_ext_sepalpha() - should be passed four parameters",
                          "gpu_set_blendmode_ext_sepalpha() - invalid array (must be 4 values)");
    if (!v) return;
    SetBlendFactors(Arg_Int32(v, 0), Arg_Int32(v, 1), Arg_Int32(v, 2), Arg_Int32(v, 3), true);
}

void F_SetColourWriteEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    Args v = SetterValues(argc, a, 4, 4, "gpu_set_colourwriteenable() - should be passed four parameters",
                          "gpu_set_colourwriteenable() - invalid array (must be 4 values)");
    if (!v) return;
    int32_t mask = 0;
    for (int k = 0; k < 4; ++k)
        if (Arg_Int32(v, k) != 0) mask |= 1 << k;
    Cache().SetRenderState(RS_COLORWRITEENABLE, mask);
}

void F_SetFog(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    Args v = SetterValues(argc, a, 4, 4, "gpu_set_fog() - wrong number of parameters (parameters are (enable, color, start, end))",
                          "gpu_set_fog() - invalid array (must be 4 values)");
    if (!v) return;
    const int32_t enable = Arg_Int32(v, 0);
    Cache().SetRenderState(RS_FOGENABLE, enable);
    if (enable == 0) return;
    Cache().SetRenderState(RS_FOGCOLOR, static_cast<int32_t>((static_cast<uint32_t>(Arg_Int32(v, 1)) & 0xFFFFFFu) |
                                                             0xFF000000u));
    Cache().SetRenderState(RS_FOGSTART, FloatBits(Arg_Float(v, 2)));
    Cache().SetRenderState(RS_FOGEND, FloatBits(Arg_Float(v, 3)));
}

void SetFilter(int stage, bool linear)
{
    Cache().SetSamplerState(stage, SS_MAGFILTER, linear ? 0 : 1);
    Cache().SetSamplerState(stage, SS_MINFILTER, linear ? 0 : 1);
}

void SetRepeat(int stage, bool repeat)
{
    Cache().SetSamplerState(stage, SS_ADDRESSU, repeat ? 0 : 1);
    Cache().SetSamplerState(stage, SS_ADDRESSV, repeat ? 0 : 1);
}

template <void (*Set)(int, bool)>
void SetAllStages(ScriptValue* r, int argc, Args a, const char* message)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Error(message);
        return;
    }
    const bool on = Arg_Bool(a, 0);
    for (int stage = 0; stage < SAMPLER_STAGE_COUNT; ++stage) Set(stage, on);
}

template <void (*Set)(int, bool)>
void SetOneStage(ScriptValue* r, int argc, Args a, const char* message)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 2) {
        Error(message);
        return;
    }
    const int32_t stage = Arg_Int32(a, 0);
    const bool on = Arg_Bool(a, 1);
    if (stage >= 0 && stage < SAMPLER_STAGE_COUNT) Set(stage, on);
}

void F_SetTexFilter(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetAllStages<SetFilter>(r, argc, a, "gpu_set_texfilter() - should be passed a single parameter");
}
void F_SetTexFilterExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetOneStage<SetFilter>(r, argc, a, "gpu_set_texfilter_ext() - incorrect number of parameters, should be (stage,linear)");
}
void F_SetTexRepeat(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetAllStages<SetRepeat>(r, argc, a, "gpu_set_texrepeat() - should be passed a single parameter");
}
void F_SetTexRepeatExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    SetOneStage<SetRepeat>(r, argc, a, "gpu_set_texrepeat_ext() - incorrect number of parameters, should be (stage,repeat)");
}

// ---------------------------------------------------------------- getters

// False (after the message, with the result set to onError) when arguments were given.
bool NoArguments(ScriptValue* r, int argc, const char* name, double onError)
{
    if (argc == 0) return true;
    Error((std::string(name) + "() - shouldn't take any arguments").c_str());
    ScriptValue_SetReal(r, onError);
    return false;
}

template <int State>
void GetFlag(ScriptValue* r, int argc, const char* name)
{
    if (NoArguments(r, argc, name, 0)) ScriptValue_SetReal(r, Cache().GetRenderState(State) != 0 ? 1 : 0);
}

template <int State>
void GetValue(ScriptValue* r, int argc, const char* name)
{
    if (NoArguments(r, argc, name, 0)) ScriptValue_SetReal(r, Unsigned(Cache().GetRenderState(State)));
}

#define QS_GETTER(Routine, Kind, State, Name) \
    void Routine(ScriptValue* r, CInstance*, CInstance*, int argc, Args) { Kind<State>(r, argc, Name); }

QS_GETTER(F_GetBlendEnable, GetFlag, RS_BLENDENABLE, "gpu_get_blendenable")
QS_GETTER(F_GetZTestEnable, GetFlag, RS_ZTESTENABLE, "gpu_get_ztestenable")
QS_GETTER(F_GetZWriteEnable, GetFlag, RS_ZWRITEENABLE, "gpu_get_zwriteenable")
QS_GETTER(F_GetAlphaTestEnable, GetFlag, RS_ALPHATESTENABLE, "gpu_get_alphatestenable")
QS_GETTER(F_GetZFunc, GetValue, RS_ZFUNC, "gpu_get_zfunc")
QS_GETTER(F_GetCullMode, GetValue, RS_CULLMODE, "gpu_get_cullmode")
QS_GETTER(F_GetAlphaTestRef, GetValue, RS_ALPHAREF, "gpu_get_alphatestref")
QS_GETTER(F_GetAlphaTestFunc, GetValue, RS_ALPHATESTFUNC, "gpu_get_alphatestfunc")
QS_GETTER(F_GetBlendSrc, GetValue, RS_SRCBLEND, "gpu_get_blendmode_src")
QS_GETTER(F_GetBlendDest, GetValue, RS_DESTBLEND, "gpu_get_blendmode_dest")
QS_GETTER(F_GetBlendSrcAlpha, GetValue, RS_SRCBLENDALPHA, "gpu_get_blendmode_srcalpha")
QS_GETTER(F_GetBlendDestAlpha, GetValue, RS_DESTBLENDALPHA, "gpu_get_blendmode_destalpha")

void F_GetBlendMode(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    if (!NoArguments(r, argc, "gpu_get_blendmode", -1)) return;
    const int32_t src = Cache().GetRenderState(RS_SRCBLEND), dest = Cache().GetRenderState(RS_DESTBLEND);
    int mode = -1;
    if (src == Cache().GetRenderState(RS_SRCBLENDALPHA) && dest == Cache().GetRenderState(RS_DESTBLENDALPHA)) {
        if (src == 5 && dest == 6) mode = 0;
        else if (src == 5 && dest == 2) mode = 1;
        else if (src == 5 && dest == 4) mode = 2;
        else if (src == 1 && dest == 4) mode = 3;
    }
    ScriptValue_SetReal(r, mode);
}

void ReturnStates(ScriptValue* r, std::initializer_list<int> states)
{
    double values[4];
    int count = 0;
    for (int state : states) values[count++] = Unsigned(Cache().GetRenderState(state));
    Function_ReturnRealArray(r, count, values);
}

void F_GetBlendModeExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    if (NoArguments(r, argc, "gpu_get_blendmode_ext", -1)) ReturnStates(r, {RS_SRCBLEND, RS_DESTBLEND});
}

void F_GetBlendModeExtSepAlpha(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    if (NoArguments(r, argc, "gpu_get_blendmode_ext_sepalpha", -1))
        ReturnStates(r, {RS_SRCBLEND, RS_DESTBLEND, RS_SRCBLENDALPHA, RS_DESTBLENDALPHA});
}

void F_GetColourWriteEnable(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    if (!NoArguments(r, argc, "gpu_get_colorwriteenable_r", 0)) return;
    const int32_t mask = Cache().GetRenderState(RS_COLORWRITEENABLE);
    double values[4];
    for (int k = 0; k < 4; ++k) values[k] = (mask & (1 << k)) ? 1 : 0;
    Function_ReturnRealArray(r, 4, values);
}

void F_GetFog(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    const double values[4] = {Cache().GetRenderState(RS_FOGENABLE) != 0 ? 1.0 : 0.0,
                              Unsigned(Cache().GetRenderState(RS_FOGCOLOR)),
                              BitsFloat(Cache().GetRenderState(RS_FOGSTART)),
                              BitsFloat(Cache().GetRenderState(RS_FOGEND))};
    Function_ReturnRealArray(r, 4, values);
}

template <int Type>
void GetStage0(ScriptValue* r, int argc, const char* name)
{
    if (NoArguments(r, argc, name, 0)) ScriptValue_SetReal(r, Cache().GetSamplerState(0, Type) == 0 ? 1 : 0);
}

template <int Type>
void GetStage(ScriptValue* r, int argc, Args a, const char* message)
{
    ScriptValue_SetReal(r, 0);
    if (argc != 1) {
        Error(message);
        return;
    }
    const int32_t stage = Arg_Int32(a, 0);
    if (stage >= 0 && stage < SAMPLER_STAGE_COUNT)
        ScriptValue_SetReal(r, Cache().GetSamplerState(stage, Type) == 0 ? 1 : 0);
}

QS_GETTER(F_GetTexFilter, GetStage0, SS_MAGFILTER, "gpu_get_texfilter")
QS_GETTER(F_GetTexRepeat, GetStage0, SS_ADDRESSU, "gpu_get_texrepeat")

void F_GetTexFilterExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    GetStage<SS_MAGFILTER>(r, argc, a, "gpu_get_texfilter_ext() - wrong number of arguments - should take stage index");
}
void F_GetTexRepeatExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    GetStage<SS_ADDRESSU>(r, argc, a, "gpu_get_texrepeat_ext() - wrong number of arguments - should take stage index");
}

// ---------------------------------------------------------------- stack and maps

void F_PushState(ScriptValue*, CInstance*, CInstance*, int, Args) { Cache().PushState(); }
void F_PopState(ScriptValue*, CInstance*, CInstance*, int, Args) { Cache().PopState(); }

void F_GetState(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ScriptValue_SetReal(r, -1);
    DsMutexLock lock;
    const int32_t handle = DsMap_CreateFromTriples(0);
    DsMap* map = DsMap_FromIndex(handle);
    if (!map) return;
    for (const GpuStateKey& key : GpuRenderStateKeys) {
        const int32_t state = Cache().GetRenderState(key.index);
        map->AddRealOrString(key.name, key.isFloat ? BitsFloat(state) : Unsigned(state), nullptr);
    }
    for (const GpuStateKey& key : GpuSamplerStateKeys) {
        for (int stage = 0; stage < SAMPLER_STAGE_COUNT; ++stage) {
            const std::string name = key.name + std::to_string(stage);
            map->AddRealOrString(name.c_str(), Unsigned(Cache().GetSamplerState(stage, key.index)), nullptr);
        }
    }
    ScriptValue_SetReal(r, handle);
}

// The stage number after a sampler prefix: its leading decimal digits, 0 when
// there are none; -1 once it is past any stage.
int32_t StageAfter(const char* digits)
{
    int32_t stage = 0;
    for (; *digits >= '0' && *digits <= '9'; ++digits) {
        stage = stage * 10 + (*digits - '0');
        if (stage >= SAMPLER_STAGE_COUNT) return -1;
    }
    return stage;
}

void ApplyStateKey(const char* key, ScriptValue* value)
{
    for (const GpuStateKey& k : GpuRenderStateKeys) {
        if (std::strcmp(key, k.name) != 0) continue;
        Cache().SetRenderState(k.index, k.isFloat ? FloatBits(Arg_Float(value, 0)) : Arg_Int32(value, 0));
        return;
    }
    for (const GpuStateKey& k : GpuSamplerStateKeys) {
        const size_t length = std::strlen(k.name);
        if (std::strncmp(key, k.name, length) != 0) continue;
        const int32_t stage = StageAfter(key + length);
        if (stage >= 0) Cache().SetSamplerState(stage, k.index, Arg_Int32(value, 0));
        return;
    }
}

void F_SetState(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Error("gpu_set_state() - wrong number of arguments - should take ds_map");
        return;
    }
    const int32_t handle = Arg_Int32(a, 0);
    DsMutexLock lock;
    DsMap* map = DsMap_FromIndex(handle);
    if (!map) {
        Error("gpu_set_state() - ds_map index is invalid");
        return;
    }
    map->ForEach([](DsMapElement* element) {
        if (element->key.Kind() != VALUE_STRING) return;
        const char* key = ScriptValue_StringText(&element->key);
        if (key) ApplyStateKey(key, &element->value);
    });
}

// ---------------------------------------------------------------- legacy switches

void F_EnableAlphaBlend(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "draw_enable_alphablend")) Cache().SetRenderState(RS_BLENDENABLE, Arg_Int32(a, 0));
}

template <void (*Set)(bool)>
void F_Switch(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "d3d")) Set(Arg_Bool(a, 0));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kNewFormat[] = {
    {"gpu_set_blendenable", F_SetBlendEnable, 1},
    {"gpu_set_ztestenable", F_SetZTestEnable, 1},
    {"gpu_set_zfunc", F_SetZFunc, 1},
    {"gpu_set_cullmode", F_SetCullMode, 1},
    {"gpu_set_blendmode", F_SetBlendMode, 1},
    {"gpu_set_blendmode_ext", F_SetBlendModeExt, 2},
    {"gpu_set_blendmode_ext_sepalpha", F_SetBlendModeExtSepAlpha, 4},
    {"gpu_set_colorwriteenable", F_SetColourWriteEnable, 4},
    {"gpu_set_colourwriteenable", F_SetColourWriteEnable, 4},
    {"gpu_set_alphatestenable", F_SetAlphaTestEnable, 1},
    {"gpu_set_alphatestref", F_SetAlphaTestRef, 1},
    {"gpu_set_alphatestfunc", F_SetAlphaTestFunc, 1},
    {"gpu_set_texfilter", F_SetTexFilter, 1},
    {"gpu_set_texfilter_ext", F_SetTexFilterExt, 2},
    {"gpu_set_texrepeat", F_SetTexRepeat, 1},
    {"gpu_set_texrepeat_ext", F_SetTexRepeatExt, 2},
    {"gpu_set_zwriteenable", F_SetZWriteEnable, 1},
    {"gpu_set_fog", F_SetFog, 4},
    {"gpu_get_blendenable", F_GetBlendEnable, 0},
    {"gpu_get_ztestenable", F_GetZTestEnable, 0},
    {"gpu_get_zfunc", F_GetZFunc, 0},
    {"gpu_get_cullmode", F_GetCullMode, 0},
    {"gpu_get_blendmode", F_GetBlendMode, 0},
    {"gpu_get_blendmode_ext", F_GetBlendModeExt, 0},
    {"gpu_get_blendmode_ext_sepalpha", F_GetBlendModeExtSepAlpha, 0},
    {"gpu_get_blendmode_src", F_GetBlendSrc, 0},
    {"gpu_get_blendmode_dest", F_GetBlendDest, 0},
    {"gpu_get_blendmode_srcalpha", F_GetBlendSrcAlpha, 0},
    {"gpu_get_blendmode_destalpha", F_GetBlendDestAlpha, 0},
    {"gpu_get_colorwriteenable", F_GetColourWriteEnable, 0},
    {"gpu_get_colourwriteenable", F_GetColourWriteEnable, 0},
    {"gpu_get_alphatestenable", F_GetAlphaTestEnable, 0},
    {"gpu_get_alphatestref", F_GetAlphaTestRef, 0},
    {"gpu_get_alphatestfunc", F_GetAlphaTestFunc, 0},
    {"gpu_get_texfilter", F_GetTexFilter, 0},
    {"gpu_get_texfilter_ext", F_GetTexFilterExt, 1},
    {"gpu_get_texrepeat", F_GetTexRepeat, 0},
    {"gpu_get_texrepeat_ext", F_GetTexRepeatExt, 1},
    {"gpu_get_zwriteenable", F_GetZWriteEnable, 0},
    {"gpu_get_fog", F_GetFog, 0},
    {"gpu_push_state", F_PushState, 0},
    {"gpu_pop_state", F_PopState, 0},
    {"gpu_get_state", F_GetState, 0},
    {"gpu_set_state", F_SetState, 1},
};

const Row kLegacy[] = {
    {"draw_enable_alphablend", F_EnableAlphaBlend, 1},
    {"Kivo_EnableAlphaBlend", F_EnableAlphaBlend, 1},
    {"d3d_set_culling", F_Switch<GR_SetCulling>, 1},
    {"d3d_set_hidden", F_Switch<GR_SetHidden>, 1},
    {"d3d_set_zwriteenable", F_Switch<GR_SetZWriteEnable>, 1},
};

}  // namespace

void InitGpuStateFunctions()
{
    if (LayerMode)
        for (const Row& f : kNewFormat) CodeFunction_Register(f.name, f.routine, f.count, 1);
    else
        for (const Row& f : kLegacy) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
