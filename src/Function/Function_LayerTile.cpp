// Built-ins of single-tile elements: one region of a sprite's first image at
// a position on a layer.
#include <cstdio>

#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_LayerCommon.h"

namespace {
LayerElement_Tile* TileArg(ScriptValue* args)
{
    return LayerFn_ElementArg<LayerElement_Tile>(Layer_GetTargetRoom(), args, 0);
}

// These setters and getters name themselves in double quotes in their count message.
bool Begin(ScriptValue* result, int argc, int count, const char* name)
{
    ScriptValue_SetReal(result, -1);
    if (argc == count) return true;
    char text[128];
    std::snprintf(text, sizeof text, "\"%s\"() - wrong number of arguments", name);
    LayerFn_Error(text);
    return false;
}

int32_t ReadValue(ScriptValue* args, int32_t*) { return Arg_Int32(args, 1); }
float ReadValue(ScriptValue* args, float*) { return Arg_Float(args, 1); }
// Read as a float and truncated toward zero, so colours above 2^24 lose low bits.
uint32_t ReadValue(ScriptValue* args, uint32_t*) { return static_cast<uint32_t>(DoubleToInt64(Arg_Float(args, 1))); }
// Any value but 0 shows the tile (a NaN too).
bool ReadValue(ScriptValue* args, bool*) { return !(Arg_Float(args, 1) == 0.0f); }

double Widen(bool v) { return v ? 1 : 0; }
double Widen(int32_t v) { return v; }
double Widen(uint32_t v) { return v; }
double Widen(float v) { return v; }

template <const char* Name, auto Field>
void F_Set(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 2, Name)) return;
    if (LayerElement_Tile* tile = TileArg(args)) tile->*Field = ReadValue(args, &(tile->*Field));
}

template <const char* Name, auto Field, int Default>
void F_Get(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 1, Name)) return;
    ScriptValue_SetReal(result, Default);
    if (const LayerElement_Tile* tile = TileArg(args)) ScriptValue_SetReal(result, Widen(tile->*Field));
}

void F_Create(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 8, "layer_tile_create")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_tile_create() - could not find specified layer in current room\n");
    const float x = Arg_Float(args, 1);
    const float y = Arg_Float(args, 2);
    const int32_t sprite = Arg_Int32(args, 3);
    const int32_t left = Arg_Int32(args, 4);
    const int32_t top = Arg_Int32(args, 5);
    const int32_t width = Arg_Int32(args, 6);
    const int32_t height = Arg_Int32(args, 7);
    LayerElement_Tile* tile = Layer_NewTileElement();
    if (!tile) return;
    tile->source = sprite;
    tile->x = x;
    tile->y = y;
    tile->left = left;
    tile->top = top;
    tile->width = width;
    tile->height = height;
    tile->visible = true;
    ScriptValue_SetReal(result, LayerFn_AddElement(room, layer, tile));
}

void F_Destroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, -1, argc, 1, "layer_tile_destroy")) LayerFn_DestroyElement(args);
}

void F_Exists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    if (argc != 1 && argc != 2) return LayerFn_Error("layer_tile_exists() - takes one or two parameters");
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    if (argc == 1) {
        // Any element of the room, whatever its kind.
        if (Layer_FindElement(room, Arg_Int32(args, 0), nullptr)) ScriptValue_SetReal(result, 1);
        return;
    }
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return;
    const LayerElement* element = Layer_FindElementInLayer(layer, Arg_Int32(args, 1));
    if (element && element->kind == LAYER_ELEMENT_TILE) ScriptValue_SetReal(result, 1);
}

void F_Region(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 5, "layer_tile_region")) return;
    LayerElement_Tile* tile = TileArg(args);
    if (!tile) return;
    tile->left = Arg_Int32(args, 1);
    tile->top = Arg_Int32(args, 2);
    tile->width = Arg_Int32(args, 3);
    tile->height = Arg_Int32(args, 4);
}

void F_GetRegion(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_tile_get_region")) return;
    const LayerElement_Tile* tile = TileArg(args);
    if (!tile) return;
    const int32_t region[4] = {tile->left, tile->top, tile->width, tile->height};
    LayerFn_IdArray(result, region, 4);
}

using T = LayerElement_Tile;
constexpr char kChange[] = "layer_tile_change";
constexpr char kXscale[] = "layer_tile_xscale";
constexpr char kYscale[] = "layer_tile_yscale";
constexpr char kBlend[] = "layer_tile_blend";
constexpr char kAlpha[] = "layer_tile_alpha";
constexpr char kX[] = "layer_tile_x";
constexpr char kY[] = "layer_tile_y";
constexpr char kVisible[] = "layer_tile_visible";
constexpr char kGetSprite[] = "layer_tile_get_sprite";
constexpr char kGetXscale[] = "layer_tile_get_xscale";
constexpr char kGetYscale[] = "layer_tile_get_yscale";
constexpr char kGetBlend[] = "layer_tile_get_blend";
constexpr char kGetAlpha[] = "layer_tile_get_alpha";
constexpr char kGetX[] = "layer_tile_get_x";
constexpr char kGetY[] = "layer_tile_get_y";
constexpr char kGetVisible[] = "layer_tile_get_visible";

const LayerRoutine kRoutines[] = {
    {"layer_tile_exists", F_Exists},
    {"layer_tile_create", F_Create},
    {"layer_tile_destroy", F_Destroy},
    {kChange, F_Set<kChange, &T::source>},
    {kXscale, F_Set<kXscale, &T::xscale>},
    {kYscale, F_Set<kYscale, &T::yscale>},
    {kBlend, F_Set<kBlend, &T::blend>},
    {kAlpha, F_Set<kAlpha, &T::alpha>},
    {kX, F_Set<kX, &T::x>},
    {kY, F_Set<kY, &T::y>},
    {"layer_tile_region", F_Region},
    {kVisible, F_Set<kVisible, &T::visible>},
    {kGetSprite, F_Get<kGetSprite, &T::source, -1>},
    {kGetXscale, F_Get<kGetXscale, &T::xscale, 1>},
    {kGetYscale, F_Get<kGetYscale, &T::yscale, 1>},
    {kGetBlend, F_Get<kGetBlend, &T::blend, 0>},
    {kGetAlpha, F_Get<kGetAlpha, &T::alpha, 0>},
    {kGetX, F_Get<kGetX, &T::x, 0>},
    {kGetY, F_Get<kGetY, &T::y, 0>},
    {"layer_tile_get_region", F_GetRegion},
    {kGetVisible, F_Get<kGetVisible, &T::visible, 0>},
};
}  // namespace

std::span<const LayerRoutine> LayerTileRoutines()
{
    return kRoutines;
}
