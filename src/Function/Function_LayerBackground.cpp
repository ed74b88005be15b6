// Built-ins of background elements: one sprite behind or among a layer's
// other elements, tiled, scaled, tinted, faded and animated.
#include "Code/Code_Arguments.h"
#include "Function/Function_LayerCommon.h"

namespace {
// The settings of the background element of argument 0, or null.
LayerBackgroundData* BackgroundArg(ScriptValue* args)
{
    const auto* element = LayerFn_ElementArg<LayerElement_Background>(Layer_GetTargetRoom(), args, 0);
    return element ? element->data : nullptr;
}

bool ReadValue(ScriptValue* args, bool*) { return Arg_Bool(args, 1); }
int32_t ReadValue(ScriptValue* args, int32_t*) { return Arg_Int32(args, 1); }
uint32_t ReadValue(ScriptValue* args, uint32_t*) { return static_cast<uint32_t>(Arg_Int32(args, 1)); }
float ReadValue(ScriptValue* args, float*) { return Arg_Float(args, 1); }

double Widen(bool v) { return v ? 1 : 0; }
double Widen(int32_t v) { return v; }
double Widen(uint32_t v) { return static_cast<int32_t>(v); }  // the blend reads back signed
double Widen(float v) { return v; }

template <const char* Name, auto Field>
void F_Set(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, Name)) return;
    if (LayerBackgroundData* data = BackgroundArg(args)) data->*Field = ReadValue(args, &(data->*Field));
}

template <const char* Name, auto Field, int Default>
void F_Get(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, Name)) return;
    ScriptValue_SetReal(result, Default);
    if (const LayerBackgroundData* data = BackgroundArg(args)) ScriptValue_SetReal(result, Widen(data->*Field));
}

void F_Create(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "layer_background_create")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_background_create() - could not find specified layer in current room");
    const int32_t sprite = Arg_Int32(args, 1);
    LayerElement_Background* element = Layer_NewBackgroundElement();
    if (!element) return;
    LayerBackgroundData& data = *element->data;
    data = LayerBackgroundData{};
    data.visible = true;
    data.sprite = sprite;
    data.xscale = data.yscale = 1;
    data.blend = 0xFFFFFFFFu;
    data.alpha = 1;
    data.imageSpeed = 1;
    ScriptValue_SetReal(result, LayerFn_AddElement(room, layer, element));
}

void F_Destroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, -1, argc, 1, "layer_background_destroy")) LayerFn_DestroyElement(args);
}

void F_Exists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, 0, argc, 2, "layer_background_exists")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return;
    const LayerElement* element = Layer_FindElementInLayer(layer, Arg_Int32(args, 1));
    if (element && element->kind == LAYER_ELEMENT_BACKGROUND) ScriptValue_SetReal(result, 1);
}

void F_GetId(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_background_get_id")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return;
    const LayerElement* element = Layer_FindElementByName(layer, layer->name);
    if (element && element->kind == LAYER_ELEMENT_BACKGROUND) ScriptValue_SetReal(result, element->id);
}

using D = LayerBackgroundData;
constexpr char kVisible[] = "layer_background_visible";
constexpr char kChange[] = "layer_background_change";
constexpr char kHtiled[] = "layer_background_htiled";
constexpr char kVtiled[] = "layer_background_vtiled";
constexpr char kXscale[] = "layer_background_xscale";
constexpr char kYscale[] = "layer_background_yscale";
constexpr char kBlend[] = "layer_background_blend";
constexpr char kAlpha[] = "layer_background_alpha";
constexpr char kIndex[] = "layer_background_index";
constexpr char kSpeed[] = "layer_background_speed";
constexpr char kGetVisible[] = "layer_background_get_visible";
constexpr char kGetSprite[] = "layer_background_get_sprite";
constexpr char kGetHtiled[] = "layer_background_get_htiled";
constexpr char kGetVtiled[] = "layer_background_get_vtiled";
constexpr char kGetXscale[] = "layer_background_get_xscale";
constexpr char kGetYscale[] = "layer_background_get_yscale";
constexpr char kGetBlend[] = "layer_background_get_blend";
constexpr char kGetAlpha[] = "layer_background_get_alpha";
constexpr char kGetIndex[] = "layer_background_get_index";
constexpr char kGetSpeed[] = "layer_background_get_speed";

const LayerRoutine kRoutines[] = {
    {"layer_background_get_id", F_GetId},
    {"layer_background_exists", F_Exists},
    {"layer_background_create", F_Create},
    {"layer_background_destroy", F_Destroy},
    {kVisible, F_Set<kVisible, &D::visible>},
    {kChange, F_Set<kChange, &D::sprite>},
    {kHtiled, F_Set<kHtiled, &D::tileX>},
    {kVtiled, F_Set<kVtiled, &D::tileY>},
    {kXscale, F_Set<kXscale, &D::xscale>},
    {kYscale, F_Set<kYscale, &D::yscale>},
    {kBlend, F_Set<kBlend, &D::blend>},
    {kAlpha, F_Set<kAlpha, &D::alpha>},
    {kIndex, F_Set<kIndex, &D::imageIndex>},
    {kSpeed, F_Set<kSpeed, &D::imageSpeed>},
    {kGetVisible, F_Get<kGetVisible, &D::visible, 1>},
    {kGetSprite, F_Get<kGetSprite, &D::sprite, -1>},
    {kGetHtiled, F_Get<kGetHtiled, &D::tileX, 0>},
    {kGetVtiled, F_Get<kGetVtiled, &D::tileY, 0>},
    {kGetXscale, F_Get<kGetXscale, &D::xscale, 1>},
    {kGetYscale, F_Get<kGetYscale, &D::yscale, 1>},
    {kGetBlend, F_Get<kGetBlend, &D::blend, 0>},
    {kGetAlpha, F_Get<kGetAlpha, &D::alpha, 0>},
    {kGetIndex, F_Get<kGetIndex, &D::imageIndex, -1>},
    {kGetSpeed, F_Get<kGetSpeed, &D::imageSpeed, 0>},
};
}  // namespace

std::span<const LayerRoutine> LayerBackgroundRoutines()
{
    return kRoutines;
}
