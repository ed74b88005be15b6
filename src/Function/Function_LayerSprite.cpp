// Built-ins of sprite elements: an animated sprite placed on a layer without
// an instance behind it.
#include "Code/Code_Arguments.h"
#include "Function/Function_LayerCommon.h"

namespace {
LayerElement_Sprite* SpriteArg(ScriptValue* args)
{
    return LayerFn_ElementArg<LayerElement_Sprite>(Layer_GetTargetRoom(), args, 0);
}

int32_t ReadValue(ScriptValue* args, int32_t*) { return Arg_Int32(args, 1); }
uint32_t ReadValue(ScriptValue* args, uint32_t*) { return static_cast<uint32_t>(Arg_Int32(args, 1)); }
float ReadValue(ScriptValue* args, float*) { return Arg_Float(args, 1); }

template <const char* Name, auto Field>
void F_Set(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, Name)) return;
    if (LayerElement_Sprite* sprite = SpriteArg(args)) sprite->*Field = ReadValue(args, &(sprite->*Field));
}

// Every field reads back as it is stored; the blend, being unsigned, as unsigned.
template <const char* Name, auto Field, int Default>
void F_Get(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, Name)) return;
    ScriptValue_SetReal(result, Default);
    if (const LayerElement_Sprite* sprite = SpriteArg(args)) ScriptValue_SetReal(result, sprite->*Field);
}

void F_Create(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 4, "layer_sprite_create")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_sprite_create() - could not find specified layer in current room\n");
    const float x = Arg_Float(args, 1);
    const float y = Arg_Float(args, 2);
    const int32_t sprite = Arg_Int32(args, 3);
    LayerElement_Sprite* element = Layer_NewSpriteElement();
    if (!element) return;
    element->sprite = sprite;
    element->x = x;
    element->y = y;
    ScriptValue_SetReal(result, LayerFn_AddElement(room, layer, element));
}

void F_Destroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, -1, argc, 1, "layer_sprite_destroy")) LayerFn_DestroyElement(args);
}

void F_Exists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, 0, argc, 2, "layer_sprite_exists")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return;
    const LayerElement* element = Layer_FindElementInLayer(layer, Arg_Int32(args, 1));
    if (element && element->kind == LAYER_ELEMENT_SPRITE) ScriptValue_SetReal(result, 1);
}

void F_GetId(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "layer_sprite_get_id")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return;
    const LayerElement* element = Layer_FindElementByName(layer, Arg_String(args, 1));
    if (element && element->kind == LAYER_ELEMENT_SPRITE) ScriptValue_SetReal(result, element->id);
}

using S = LayerElement_Sprite;
constexpr char kChange[] = "layer_sprite_change";
constexpr char kIndex[] = "layer_sprite_index";
constexpr char kSpeed[] = "layer_sprite_speed";
constexpr char kXscale[] = "layer_sprite_xscale";
constexpr char kYscale[] = "layer_sprite_yscale";
constexpr char kAngle[] = "layer_sprite_angle";
constexpr char kBlend[] = "layer_sprite_blend";
constexpr char kAlpha[] = "layer_sprite_alpha";
constexpr char kX[] = "layer_sprite_x";
constexpr char kY[] = "layer_sprite_y";
constexpr char kGetSprite[] = "layer_sprite_get_sprite";
constexpr char kGetIndex[] = "layer_sprite_get_index";
constexpr char kGetSpeed[] = "layer_sprite_get_speed";
constexpr char kGetXscale[] = "layer_sprite_get_xscale";
constexpr char kGetYscale[] = "layer_sprite_get_yscale";
constexpr char kGetAngle[] = "layer_sprite_get_angle";
constexpr char kGetBlend[] = "layer_sprite_get_blend";
constexpr char kGetAlpha[] = "layer_sprite_get_alpha";
constexpr char kGetX[] = "layer_sprite_get_x";
constexpr char kGetY[] = "layer_sprite_get_y";

const LayerRoutine kRoutines[] = {
    {"layer_sprite_get_id", F_GetId},
    {"layer_sprite_exists", F_Exists},
    {"layer_sprite_create", F_Create},
    {"layer_sprite_destroy", F_Destroy},
    {kChange, F_Set<kChange, &S::sprite>},
    {kIndex, F_Set<kIndex, &S::imageIndex>},
    {kSpeed, F_Set<kSpeed, &S::imageSpeed>},
    {kXscale, F_Set<kXscale, &S::xscale>},
    {kYscale, F_Set<kYscale, &S::yscale>},
    {kAngle, F_Set<kAngle, &S::angle>},
    {kBlend, F_Set<kBlend, &S::blend>},
    {kAlpha, F_Set<kAlpha, &S::alpha>},
    {kX, F_Set<kX, &S::x>},
    {kY, F_Set<kY, &S::y>},
    {kGetSprite, F_Get<kGetSprite, &S::sprite, -1>},
    {kGetIndex, F_Get<kGetIndex, &S::imageIndex, -1>},
    {kGetSpeed, F_Get<kGetSpeed, &S::imageSpeed, 0>},
    {kGetXscale, F_Get<kGetXscale, &S::xscale, 1>},
    {kGetYscale, F_Get<kGetYscale, &S::yscale, 1>},
    {kGetAngle, F_Get<kGetAngle, &S::angle, 0>},
    {kGetBlend, F_Get<kGetBlend, &S::blend, 0>},
    {kGetAlpha, F_Get<kGetAlpha, &S::alpha, 0>},
    {kGetX, F_Get<kGetX, &S::x, 0>},
    {kGetY, F_Get<kGetY, &S::y, 0>},
};
}  // namespace

std::span<const LayerRoutine> LayerSpriteRoutines()
{
    return kRoutines;
}
