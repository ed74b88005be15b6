#include "Function/Function_Lights.h"

#include <cmath>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_RealArray.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Lights.h"
#include "Graphics/RenderStateCache.h"

namespace {

using Args = ScriptValue*;

constexpr const char* kIndexError = "Light index out of range - must be between 0 and 7 (inclusive)";

uint32_t Colour(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

void F_DefineDirection(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 5, "draw_light_define_direction")) return;
    if (!GR_Light_DefineDirection(Arg_Int32(a, 0), Arg_Float(a, 1), Arg_Float(a, 2), Arg_Float(a, 3), Colour(a, 4)))
        ReportRuntimeError(kIndexError, false);
}

void F_DefinePoint(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 6, "draw_light_define_point")) return;
    if (!GR_Light_DefinePoint(Arg_Int32(a, 0), Arg_Float(a, 1), Arg_Float(a, 2), Arg_Float(a, 3), Arg_Float(a, 4),
                              Colour(a, 5)))
        ReportRuntimeError(kIndexError, false);
}

void F_Enable(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 2, "draw_light_enable")) return;
    if (!GR_Light_Enable(Arg_Int32(a, 0), Arg_Bool(a, 1))) ReportRuntimeError(kIndexError, false);
}

void F_DefineAmbient(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "draw_light_define_ambient")) GR_Light_SetAmbient(Colour(a, 0));
}

void F_SetLighting(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "draw_set_lighting")) GR_Light_SetLighting(Arg_Bool(a, 0));
}

void F_GetAmbient(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, LightState.ambient); }

void F_GetLighting(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ScriptValue_SetReal(r, LightState.lighting ? 1 : 0);
}

void F_Get(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (argc != 1) {
        ReportRuntimeError("draw_light_get() - wrong number of arguments - should take light index", false);
        return;
    }
    const int32_t index = Arg_Int32(a, 0);
    if (index < 0 || index >= LIGHT_COUNT) {
        ReportRuntimeError("draw_light_get() - light index out of range", false);
        return;
    }
    const LightRecord& light = LightState.lights[index];
    const float* place = light.kind == 1 ? light.positionRange : light.direction;
    const double values[7] = {light.enable, static_cast<double>(light.kind), place[0], place[1], place[2], place[3],
                              static_cast<double>(GR_Light_GetColourWord(index))};
    Function_ReturnRealArray(r, 7, values);
}

void F_SetFog(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 4, "d3d_set_fog")) return;
    const uint32_t colour = static_cast<uint32_t>(DoubleToInt32(std::nearbyint(Arg_Real(a, 1))));
    GR_SetFog(Arg_Bool(a, 0), colour, Arg_Int32(a, 2), Arg_Int32(a, 3));
}

void F_SetShading(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "d3d_set_shading")) GR_SetShading(Arg_Bool(a, 0));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kNewFormat[] = {
    {"draw_light_define_ambient", F_DefineAmbient, 1},
    {"draw_light_define_direction", F_DefineDirection, 5},
    {"draw_light_define_point", F_DefinePoint, 6},
    {"draw_light_enable", F_Enable, 2},
    {"draw_set_lighting", F_SetLighting, 1},
    {"draw_light_get_ambient", F_GetAmbient, 0},
    {"draw_light_get", F_Get, 1},
    {"draw_get_lighting", F_GetLighting, 0},
};

const Row kLegacy[] = {
    {"d3d_light_define_ambient", F_DefineAmbient, 1},
    {"d3d_light_define_direction", F_DefineDirection, 5},
    {"d3d_light_define_point", F_DefinePoint, 6},
    {"d3d_light_enable", F_Enable, 2},
    {"d3d_set_lighting", F_SetLighting, 1},
    {"d3d_set_fog", F_SetFog, 4},
    {"d3d_set_shading", F_SetShading, 1},
};

}  // namespace

void InitLightFunctions()
{
    if (LayerMode)
        for (const Row& f : kNewFormat) CodeFunction_Register(f.name, f.routine, f.count, 1);
    else
        for (const Row& f : kLegacy) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
