#include "Function/Function_Tile.h"

#include <vector>

#include "Background/Background_Main.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "World/Room_Class.h"

namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

// The live tile named by argument 0 of the current room; null, with the
// message, when there is none.
STile* FoundTile(ScriptValue* args)
{
    CGameRoom* room = Run_Room;
    const int32_t index = room ? room->FindTile(Arg_Int32(args, 0)) : -1;
    if (index < 0) {
        ReportRuntimeError("Tile does not exist.", false);
        return nullptr;
    }
    return &room->tiles[index];
}

// The result becomes an array of one row holding the ids.
void SetIdArray(ScriptValue* result, const std::vector<int32_t>& ids)
{
    RefArray* array = RefArray_New(result);
    if (!array) return;
    result->arr = array;
    result->kind = VALUE_ARRAY;
    const int32_t n = static_cast<int32_t>(ids.size());
    if (n == 0 || !RefArray_EnsureRow(array, 0, "tile_get_ids") ||
        !RefArray_EnsureColumn(array, 0, n - 1, "tile_get_ids"))
        return;
    for (int32_t k = 0; k < n; ++k) ScriptValue_SetReal(&array->rows[0].elements[k], ids[static_cast<size_t>(k)]);
}

ROUTINE(F_TileAdd)
{
    ScriptValue_SetReal(result, -1);
    const int32_t background = Arg_Int32(args, 0);
    if (!Background_Exists(background)) return ReportRuntimeError("Background does not exist.", false);
    CGameRoom* room = Run_Room;
    if (!room) return;
    STile tile{};
    tile.background = background;
    tile.left = Arg_Int32(args, 1);
    tile.top = Arg_Int32(args, 2);
    tile.width = Arg_Int32(args, 3);
    tile.height = Arg_Int32(args, 4);
    tile.x = Arg_Float(args, 5);
    tile.y = Arg_Float(args, 6);
    tile.depth = Arg_Float(args, 7);
    tile.xscale = tile.yscale = 1;
    tile.blend = 0xFFFFFF;
    tile.alpha = 1;
    tile.visible = true;
    const int32_t index = room->AddTile(tile);
    if (index >= 0 && index < room->tileCount) ScriptValue_SetReal(result, room->tiles[index].id);
}

ROUTINE(F_TileDelete)
{
    if (!FoundTile(args)) return;
    Run_Room->DeleteTile(Run_Room->FindTile(Arg_Int32(args, 0)));
}

ROUTINE(F_TileExists)
{
    ScriptValue_SetReal(result, Run_Room && Run_Room->FindTile(Arg_Int32(args, 0)) >= 0 ? 1 : 0);
}

ROUTINE(F_TileGetCount) { ScriptValue_SetReal(result, Run_Room ? Run_Room->tileCount : 0); }

ROUTINE(F_TileGetId)
{
    const int32_t index = Arg_Int32(args, 0);
    const bool inside = Run_Room && index >= 0 && index < Run_Room->tileCount;
    ScriptValue_SetReal(result, inside ? Run_Room->tiles[index].id : -1);
}

ROUTINE(F_TileGetIds)
{
    CGameRoom* room = Run_Room;
    if (!room || room->tileCount == 0) return;
    if (argc != 0) return ReportRuntimeError("Incorrect argument count", false);
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < room->tileCount; ++i) ids.push_back(room->tiles[i].id);
    SetIdArray(result, ids);
}

ROUTINE(F_TileGetIdsAtDepth)
{
    CGameRoom* room = Run_Room;
    if (!room || room->tileCount == 0) return;
    const float depth = Arg_Float(args, 0);
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < room->tileCount; ++i) {
        if (room->tiles[i].depth == depth) ids.push_back(room->tiles[i].id);
    }
    // No tile at that depth still gives one element, holding 0.
    if (ids.empty()) ids.push_back(0);
    SetIdArray(result, ids);
}

// Getters: the field as a real; 0 with the message for an unknown id.
template <typename F>
void GetField(ScriptValue* result, ScriptValue* args, F field)
{
    const STile* tile = FoundTile(args);
    ScriptValue_SetReal(result, tile ? static_cast<double>(field(*tile)) : 0.0);
}

#define TILE_GETTER(name, expression) \
    ROUTINE(name) { GetField(result, args, [](const STile& t) { return expression; }); }
TILE_GETTER(F_TileGetX, t.x)
TILE_GETTER(F_TileGetY, t.y)
TILE_GETTER(F_TileGetLeft, t.left)
TILE_GETTER(F_TileGetTop, t.top)
TILE_GETTER(F_TileGetWidth, t.width)
TILE_GETTER(F_TileGetHeight, t.height)
TILE_GETTER(F_TileGetBackground, t.background)
TILE_GETTER(F_TileGetDepth, t.depth)
TILE_GETTER(F_TileGetXscale, t.xscale)
TILE_GETTER(F_TileGetYscale, t.yscale)
TILE_GETTER(F_TileGetBlend, t.blend)
TILE_GETTER(F_TileGetAlpha, t.alpha)
TILE_GETTER(F_TileGetVisible, t.visible ? 1 : 0)
#undef TILE_GETTER

ROUTINE(F_TileSetPosition)
{
    if (STile* t = FoundTile(args)) {
        t->x = Arg_Float(args, 1);
        t->y = Arg_Float(args, 2);
    }
}

ROUTINE(F_TileSetRegion)
{
    if (STile* t = FoundTile(args)) {
        t->left = Arg_Int32(args, 1);
        t->top = Arg_Int32(args, 2);
        t->width = Arg_Int32(args, 3);
        t->height = Arg_Int32(args, 4);
    }
}

ROUTINE(F_TileSetBackground)
{
    if (STile* t = FoundTile(args)) t->background = Arg_Int32(args, 1);
}

ROUTINE(F_TileSetDepth)
{
    if (STile* t = FoundTile(args)) t->depth = Arg_Float(args, 1);
}

ROUTINE(F_TileSetScale)
{
    if (STile* t = FoundTile(args)) {
        t->xscale = Arg_Float(args, 1);
        t->yscale = Arg_Float(args, 2);
    }
}

ROUTINE(F_TileSetBlend)
{
    if (STile* t = FoundTile(args)) t->blend = Arg_Int32(args, 1);
}

ROUTINE(F_TileSetAlpha)
{
    if (STile* t = FoundTile(args)) t->alpha = Arg_Float(args, 1);
}

ROUTINE(F_TileSetVisible)
{
    if (STile* t = FoundTile(args)) t->visible = Arg_Bool(args, 1);
}

ROUTINE(F_TileLayerHide)
{
    if (Run_Room) Run_Room->HideTileLayer(Arg_Float(args, 0));
}

ROUTINE(F_TileLayerShow)
{
    if (Run_Room) Run_Room->ShowTileLayer(Arg_Float(args, 0));
}

ROUTINE(F_TileLayerDelete)
{
    if (Run_Room) Run_Room->DeleteTileLayer(Arg_Float(args, 0));
}

ROUTINE(F_TileLayerDeleteAt)
{
    if (Run_Room) Run_Room->DeleteTilesAt(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2));
}

ROUTINE(F_TileLayerDepth)
{
    if (Run_Room) Run_Room->SetTileLayerDepth(Arg_Float(args, 0), Arg_Float(args, 1));
}

ROUTINE(F_TileLayerShift)
{
    if (Run_Room) Run_Room->ShiftTileLayer(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2));
}

ROUTINE(F_TileLayerFind)
{
    ScriptValue_SetReal(result, -1);
    CGameRoom* room = Run_Room;
    if (!room) return;
    const int32_t index = room->FindTileAt(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2));
    if (index >= 0 && index < room->tileCount) ScriptValue_SetReal(result, room->tiles[index].id);
}
#undef ROUTINE

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int argumentCount;
};

const Entry kTileFunctions[] = {
    {"tile_add", F_TileAdd, 8},
    {"tile_delete", F_TileDelete, 1},
    {"tile_exists", F_TileExists, 1},
    {"tile_get_x", F_TileGetX, 1},
    {"tile_get_y", F_TileGetY, 1},
    {"tile_get_left", F_TileGetLeft, 1},
    {"tile_get_top", F_TileGetTop, 1},
    {"tile_get_width", F_TileGetWidth, 1},
    {"tile_get_height", F_TileGetHeight, 1},
    {"tile_get_depth", F_TileGetDepth, 1},
    {"tile_get_visible", F_TileGetVisible, 1},
    {"tile_get_xscale", F_TileGetXscale, 1},
    {"tile_get_yscale", F_TileGetYscale, 1},
    {"tile_get_background", F_TileGetBackground, 1},
    {"tile_get_blend", F_TileGetBlend, 1},
    {"tile_get_alpha", F_TileGetAlpha, 1},
    {"tile_set_position", F_TileSetPosition, 3},
    {"tile_set_region", F_TileSetRegion, 5},
    {"tile_set_background", F_TileSetBackground, 2},
    {"tile_set_visible", F_TileSetVisible, 2},
    {"tile_set_depth", F_TileSetDepth, 2},
    {"tile_set_scale", F_TileSetScale, 3},
    {"tile_set_blend", F_TileSetBlend, 2},
    {"tile_set_alpha", F_TileSetAlpha, 2},
    {"tile_layer_hide", F_TileLayerHide, 1},
    {"tile_layer_show", F_TileLayerShow, 1},
    {"tile_layer_delete", F_TileLayerDelete, 1},
    {"tile_layer_shift", F_TileLayerShift, 3},
    {"tile_layer_find", F_TileLayerFind, 3},
    {"tile_layer_delete_at", F_TileLayerDeleteAt, 3},
    {"tile_layer_depth", F_TileLayerDepth, 2},
    {"tile_get_count", F_TileGetCount, 0},
    {"tile_get_id", F_TileGetId, 1},
    {"tile_get_ids", F_TileGetIds, 0},
    {"tile_get_ids_at_depth", F_TileGetIdsAtDepth, 1},
};
}  // namespace

void InitTileFunctions()
{
    for (const Entry& e : kTileFunctions) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
}
