// The particle built-ins: thin wrappers that convert their arguments and call
// the particle module, which ignores bad ids.
#include "Function/Function_Particle.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Function/Function_LayerCommon.h"
#include "GameData/GameHeader.h"
#include "Particle/Particle_Main.h"
#include "World/Room_Layers.h"

namespace {

// Each routine reads `count` arguments; compiled code passing fewer gets a
// report instead of reading past them.
#define ROUTINE(name, count)                                                                                   \
    void name##_Body(ScriptValue* result, int argc, ScriptValue* args);                                        \
    void name(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)                        \
    {                                                                                                          \
        if (Arg_Need(argc, count, nullptr)) name##_Body(result, argc, args);                                   \
    }                                                                                                          \
    void name##_Body([[maybe_unused]] ScriptValue* result, [[maybe_unused]] int argc,                          \
                     [[maybe_unused]] ScriptValue* args)

int32_t I(ScriptValue* args, int n) { return Arg_Int32(args, n); }
float F(ScriptValue* args, int n) { return Arg_Float(args, n); }
bool B(ScriptValue* args, int n) { return Arg_Bool(args, n); }

// ---------------------------------------------------------------- types

ROUTINE(F_PartTypeCreate, 0) { ScriptValue_SetReal(result, ParticleType_Create()); }
ROUTINE(F_PartTypeDestroy, 1) { ParticleType_Destroy(I(args, 0)); }
ROUTINE(F_PartTypeExists, 1) { ScriptValue_SetReal(result, ParticleType_Exists(I(args, 0)) ? 1 : 0); }
ROUTINE(F_PartTypeClear, 1) { ParticleType_Clear(I(args, 0)); }
ROUTINE(F_PartTypeShape, 2) { ParticleType_SetShape(I(args, 0), I(args, 1)); }
ROUTINE(F_PartTypeSprite, 5) { ParticleType_SetSprite(I(args, 0), I(args, 1), B(args, 2), B(args, 3), B(args, 4)); }
ROUTINE(F_PartTypeSize, 5) { ParticleType_SetSize(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4)); }
ROUTINE(F_PartTypeScale, 3) { ParticleType_SetScale(I(args, 0), F(args, 1), F(args, 2)); }
ROUTINE(F_PartTypeLife, 3) { ParticleType_SetLife(I(args, 0), I(args, 1), I(args, 2)); }
ROUTINE(F_PartTypeStep, 3) { ParticleType_SetStep(I(args, 0), I(args, 1), I(args, 2)); }
ROUTINE(F_PartTypeDeath, 3) { ParticleType_SetDeath(I(args, 0), I(args, 1), I(args, 2)); }
ROUTINE(F_PartTypeSpeed, 5) { ParticleType_SetSpeed(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4)); }
ROUTINE(F_PartTypeDirection, 5)
{
    ParticleType_SetDirection(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4));
}
ROUTINE(F_PartTypeOrientation, 6)
{
    ParticleType_SetOrientation(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4), B(args, 5));
}
ROUTINE(F_PartTypeGravity, 3) { ParticleType_SetGravity(I(args, 0), F(args, 1), F(args, 2)); }

void Colour(ScriptValue* args, int mode, int count)
{
    int32_t parameters[6] = {};
    for (int i = 0; i < count; ++i) parameters[i] = I(args, i + 1);
    ParticleType_SetColour(I(args, 0), mode, parameters);
}
ROUTINE(F_PartTypeColour1, 2) { Colour(args, 0, 1); }
ROUTINE(F_PartTypeColour2, 3) { Colour(args, 1, 2); }
ROUTINE(F_PartTypeColour3, 4) { Colour(args, 2, 3); }
ROUTINE(F_PartTypeColourRGB, 7) { Colour(args, 3, 6); }
ROUTINE(F_PartTypeColourHSV, 7) { Colour(args, 4, 6); }
ROUTINE(F_PartTypeColourMix, 3) { Colour(args, 5, 2); }
ROUTINE(F_PartTypeAlpha1, 2)
{
    const float a = F(args, 1);
    ParticleType_SetAlpha(I(args, 0), a, a, a);
}
ROUTINE(F_PartTypeAlpha2, 3)
{
    const float a = F(args, 1), b = F(args, 2);
    ParticleType_SetAlpha(I(args, 0), a, (a + b) / 2, b);
}
ROUTINE(F_PartTypeAlpha3, 4) { ParticleType_SetAlpha(I(args, 0), F(args, 1), F(args, 2), F(args, 3)); }
ROUTINE(F_PartTypeBlend, 2) { ParticleType_SetAdditive(I(args, 0), B(args, 1)); }

// ---------------------------------------------------------------- systems

ROUTINE(F_PartSystemCreate, 0) { ScriptValue_SetReal(result, ParticleSystem_Create(-1, true)); }
ROUTINE(F_PartSystemCreateLayer, 1)
{
    const RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    const bool persistent = argc >= 2 && B(args, 1);
    ScriptValue_SetReal(result, layer ? ParticleSystem_Create(layer->id, persistent) : -1);
}
ROUTINE(F_PartSystemDestroy, 1) { ParticleSystem_Destroy(I(args, 0)); }
ROUTINE(F_PartSystemExists, 1) { ScriptValue_SetReal(result, ParticleSystem_Exists(I(args, 0)) ? 1 : 0); }
ROUTINE(F_PartSystemClear, 1) { ParticleSystem_Clear(I(args, 0)); }
ROUTINE(F_PartSystemDrawOrder, 2) { ParticleSystem_SetDrawOrder(I(args, 0), B(args, 1)); }
ROUTINE(F_PartSystemDepth, 2) { ParticleSystem_SetDepth(I(args, 0), F(args, 1)); }
ROUTINE(F_PartSystemPosition, 3) { ParticleSystem_SetPosition(I(args, 0), F(args, 1), F(args, 2)); }
ROUTINE(F_PartSystemAutoUpdate, 2) { ParticleSystem_SetAutoUpdate(I(args, 0), B(args, 1)); }
ROUTINE(F_PartSystemAutoDraw, 2) { ParticleSystem_SetAutoDraw(I(args, 0), B(args, 1)); }
ROUTINE(F_PartSystemUpdate, 1) { ParticleSystem_Update(I(args, 0)); }
ROUTINE(F_PartSystemDrawit, 1) { ParticleSystem_Draw(I(args, 0)); }
ROUTINE(F_PartSystemGetLayer, 1) { ScriptValue_SetReal(result, ParticleSystem_GetLayer(I(args, 0))); }
ROUTINE(F_PartSystemLayer, 2)
{
    const int32_t system = I(args, 0);
    if (const RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 1))
        ParticleSystem_SetLayer(system, layer->id);
    ScriptValue_SetReal(result, -1);
}

// ---------------------------------------------------------------- particles and emitters

ROUTINE(F_PartParticlesCreate, 5) { Particles_Create(I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4)); }
ROUTINE(F_PartParticlesCreateColour, 6)
{
    Particles_CreateColour(I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4), I(args, 5));
}
ROUTINE(F_PartParticlesClear, 1) { Particles_Clear(I(args, 0)); }
ROUTINE(F_PartParticlesCount, 1) { ScriptValue_SetReal(result, Particles_Count(I(args, 0))); }
ROUTINE(F_PartEmitterCreate, 1) { ScriptValue_SetReal(result, ParticleEmitter_Create(I(args, 0))); }
ROUTINE(F_PartEmitterDestroy, 2) { ParticleEmitter_Destroy(I(args, 0), I(args, 1)); }
ROUTINE(F_PartEmitterDestroyAll, 1) { ParticleEmitter_DestroyAll(I(args, 0)); }
ROUTINE(F_PartEmitterExists, 2)
{
    ScriptValue_SetReal(result, ParticleEmitter_Exists(I(args, 0), I(args, 1)) ? 1 : 0);
}
ROUTINE(F_PartEmitterClear, 2) { ParticleEmitter_Clear(I(args, 0), I(args, 1)); }
ROUTINE(F_PartEmitterRegion, 8)
{
    ParticleEmitter_SetRegion(I(args, 0), I(args, 1), F(args, 2), F(args, 3), F(args, 4), F(args, 5), I(args, 6),
                              I(args, 7));
}
ROUTINE(F_PartEmitterBurst, 4) { ParticleEmitter_Burst(I(args, 0), I(args, 1), I(args, 2), I(args, 3)); }
ROUTINE(F_PartEmitterStream, 4) { ParticleEmitter_SetStream(I(args, 0), I(args, 1), I(args, 2), I(args, 3)); }

// ---------------------------------------------------------------- effects

ROUTINE(F_EffectCreateAbove, 5) { Effect_Create(false, I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4)); }
ROUTINE(F_EffectCreateBelow, 5) { Effect_Create(true, I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4)); }
ROUTINE(F_EffectClear, 0) { Effect_Clear(); }

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
    bool layerOnly;
};

const Entry kFunctions[] = {
    {"part_type_create", F_PartTypeCreate, 0, false},
    {"part_type_destroy", F_PartTypeDestroy, 1, false},
    {"part_type_exists", F_PartTypeExists, 1, false},
    {"part_type_clear", F_PartTypeClear, 1, false},
    {"part_type_shape", F_PartTypeShape, 2, false},
    {"part_type_sprite", F_PartTypeSprite, 5, false},
    {"part_type_size", F_PartTypeSize, 5, false},
    {"part_type_scale", F_PartTypeScale, 3, false},
    {"part_type_life", F_PartTypeLife, 3, false},
    {"part_type_step", F_PartTypeStep, 3, false},
    {"part_type_death", F_PartTypeDeath, 3, false},
    {"part_type_speed", F_PartTypeSpeed, 5, false},
    {"part_type_direction", F_PartTypeDirection, 5, false},
    {"part_type_orientation", F_PartTypeOrientation, 6, false},
    {"part_type_gravity", F_PartTypeGravity, 3, false},
    {"part_type_colour_mix", F_PartTypeColourMix, 3, false},
    {"part_type_colour_rgb", F_PartTypeColourRGB, 7, false},
    {"part_type_colour_hsv", F_PartTypeColourHSV, 7, false},
    {"part_type_colour1", F_PartTypeColour1, 2, false},
    {"part_type_colour2", F_PartTypeColour2, 3, false},
    {"part_type_colour3", F_PartTypeColour3, 4, false},
    {"part_type_colour", F_PartTypeColour3, 4, false},
    {"part_type_color_mix", F_PartTypeColourMix, 3, false},
    {"part_type_color_rgb", F_PartTypeColourRGB, 7, false},
    {"part_type_color_hsv", F_PartTypeColourHSV, 7, false},
    {"part_type_color1", F_PartTypeColour1, 2, false},
    {"part_type_color2", F_PartTypeColour2, 3, false},
    {"part_type_color3", F_PartTypeColour3, 4, false},
    {"part_type_color", F_PartTypeColour3, 4, false},
    {"part_type_alpha1", F_PartTypeAlpha1, 2, false},
    {"part_type_alpha2", F_PartTypeAlpha2, 3, false},
    {"part_type_alpha3", F_PartTypeAlpha3, 4, false},
    {"part_type_alpha", F_PartTypeAlpha3, 4, false},
    {"part_type_blend", F_PartTypeBlend, 2, false},
    {"part_system_create", F_PartSystemCreate, 0, false},
    {"part_system_create_layer", F_PartSystemCreateLayer, -1, true},
    {"part_system_destroy", F_PartSystemDestroy, 1, false},
    {"part_system_exists", F_PartSystemExists, 1, false},
    {"part_system_clear", F_PartSystemClear, 1, false},
    {"part_system_draw_order", F_PartSystemDrawOrder, 2, false},
    {"part_system_depth", F_PartSystemDepth, 2, false},
    {"part_system_position", F_PartSystemPosition, 3, false},
    {"part_system_automatic_update", F_PartSystemAutoUpdate, 2, false},
    {"part_system_automatic_draw", F_PartSystemAutoDraw, 2, false},
    {"part_system_update", F_PartSystemUpdate, 1, false},
    {"part_system_drawit", F_PartSystemDrawit, 1, false},
    {"part_system_get_layer", F_PartSystemGetLayer, 1, true},
    {"part_system_layer", F_PartSystemLayer, 2, true},
    {"part_particles_create", F_PartParticlesCreate, 5, false},
    {"part_particles_create_colour", F_PartParticlesCreateColour, 6, false},
    {"part_particles_create_color", F_PartParticlesCreateColour, 6, false},
    {"part_particles_clear", F_PartParticlesClear, 1, false},
    {"part_particles_count", F_PartParticlesCount, 1, false},
    {"part_emitter_create", F_PartEmitterCreate, 1, false},
    {"part_emitter_destroy", F_PartEmitterDestroy, 2, false},
    {"part_emitter_destroy_all", F_PartEmitterDestroyAll, 1, false},
    {"part_emitter_exists", F_PartEmitterExists, 2, false},
    {"part_emitter_clear", F_PartEmitterClear, 2, false},
    {"part_emitter_region", F_PartEmitterRegion, 8, false},
    {"part_emitter_burst", F_PartEmitterBurst, 4, false},
    {"part_emitter_stream", F_PartEmitterStream, 4, false},
    {"effect_create_below", F_EffectCreateBelow, 5, false},
    {"effect_create_above", F_EffectCreateAbove, 5, false},
    {"effect_clear", F_EffectClear, 0, false},
};

}  // namespace

void InitParticleFunctions()
{
    for (const Entry& e : kFunctions) {
        if (e.layerOnly && !LayerMode) continue;
        CodeFunction_Register(e.name, e.routine, e.count, 1);
    }
}
