// Built-ins of tilemap elements: creating and finding them, their cells by
// position or by pixel, masks, and drawing a map or a tile on demand.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Function/Function_LayerCommon.h"
#include "Draw/Draw_Tilemap.h"
#include "Background/Background_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/TileData.h"

namespace {
// Larger maps are refused: their cells would not fit in memory anyway.
constexpr int64_t kMaxTilemapCells = int64_t{1} << 26;

struct Tileset {
    int32_t tileWidth, tileHeight, tileCount;
};

bool FindTileset(int32_t index, Tileset* out)
{
    return Background_GetTileset(index, &out->tileWidth, &out->tileHeight, &out->tileCount);
}

// Cells that stand in the game data may be unaligned and are never written.
TileData ReadCell(const LayerElement_Tilemap* map, int64_t i)
{
    TileData v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(map->cells) + i * 4, 4);
    return v;
}

// A map whose cells lie in the game data (a room that has not run) gets its
// own copy before the first write; false when that fails.
bool OwnCells(LayerElement_Tilemap* map)
{
    if (!GameData_Contains(map->cells)) return true;
    const size_t bytes = static_cast<size_t>(map->width) * static_cast<size_t>(map->height) * 4;
    auto* copy = static_cast<uint32_t*>(QS_ALLOC(bytes, false));
    if (!copy) return false;
    std::memcpy(copy, map->cells, bytes);
    map->cells = copy;
    return true;
}

// False when a copy of the cells could not be made (nothing written).
bool WriteCell(LayerElement_Tilemap* map, int64_t i, TileData v)
{
    if (!OwnCells(map)) return false;
    std::memcpy(reinterpret_cast<uint8_t*>(map->cells) + i * 4, &v, 4);
    return true;
}

LayerElement_Tilemap* MapArg(ScriptValue* args, RoomLayer** layer = nullptr)
{
    return LayerFn_ElementArg<LayerElement_Tilemap>(Layer_GetTargetRoom(), args, 0, layer);
}

void Message(const char* name, const char* what, bool log)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s() - %s", name, what);
    if (log)
        LayerFn_Log(text);
    else
        LayerFn_Error(text);
}

// The map of argument 0 or null with the not-found log line.
LayerElement_Tilemap* FoundMap(ScriptValue* args, const char* name, RoomLayer** layer = nullptr)
{
    LayerElement_Tilemap* map = MapArg(args, layer);
    if (!map) Message(name, "couldn't find specified tilemap\n", true);
    return map;
}

// ------------------------------------------------------------ elements

void F_LayerTilemapCreate(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 6, "layer_tilemap_create")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_tilemap_create() - could not find specified layer in current room\n");
    const int32_t tileset = Arg_Int32(args, 3);
    const float x = Arg_Float(args, 1);
    const float y = Arg_Float(args, 2);
    const int32_t width = Arg_Int32(args, 4);
    const int32_t height = Arg_Int32(args, 5);
    const int64_t cells = static_cast<int64_t>(width) * height;
    if (width < 0 || height < 0 || cells > kMaxTilemapCells) {
        char text[160];
        std::snprintf(text, sizeof text, "layer_tilemap_create() - invalid tilemap size %d x %d", width, height);
        return LayerFn_Error(text);
    }
    uint32_t* block = nullptr;
    if (cells > 0) {
        block = static_cast<uint32_t*>(QS_ALLOC(static_cast<size_t>(cells) * 4, true));
        if (!block) return LayerFn_Error("layer_tilemap_create() - out of memory for the tilemap's cells");
    }
    LayerElement_Tilemap* map = Layer_NewTilemapElement();
    if (!map) {
        QS_FREE(block);
        return;
    }
    map->tileset = tileset;
    map->x = x;
    map->y = y;
    map->width = width;
    map->height = height;
    map->cells = block;
    ScriptValue_SetReal(result, LayerFn_AddElement(room, layer, map));
}

void F_LayerTilemapDestroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, -1, argc, 1, "layer_tilemap_destroy")) LayerFn_DestroyElement(args);
}

void F_LayerTilemapExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, 0, argc, 2, "layer_tilemap_exists")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return LayerFn_Log("layer_tilemap_exists() - specified tilemap not found\n");
    const LayerElement* element = Layer_FindElementInLayer(layer, Arg_Int32(args, 1));
    if (element && element->kind == LAYER_ELEMENT_TILEMAP) ScriptValue_SetReal(result, 1);
}

void F_LayerTilemapGetId(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_tilemap_get_id")) return;
    RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return LayerFn_Log("layer_tilemap_get_id() - specified tilemap not found\n");
    const LayerElement* element = Layer_FindElementByName(layer, layer->name);
    if (element && element->kind == LAYER_ELEMENT_TILEMAP) ScriptValue_SetReal(result, element->id);
}

int32_t ReadValue(ScriptValue* args, int32_t*) { return Arg_Int32(args, 1); }
float ReadValue(ScriptValue* args, float*) { return Arg_Float(args, 1); }

template <const char* Name, auto Field>
void F_Set(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, Name)) return;
    if (LayerElement_Tilemap* map = MapArg(args)) map->*Field = ReadValue(args, &(map->*Field));
}

template <const char* Name, auto Field>
void F_Get(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, Name)) return;
    if (const LayerElement_Tilemap* map = MapArg(args)) ScriptValue_SetReal(result, map->*Field);
}

void F_TilemapGetFrame(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "tilemap_get_frame")) return;
    if (const LayerElement_Tilemap* map = FoundMap(args, "tilemap_get_frame")) ScriptValue_SetReal(result, map->frame);
}

template <const char* Name, int32_t Tileset::*Field>
void F_TileSize(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, Name)) return;
    const LayerElement_Tilemap* map = MapArg(args);
    if (!map) return;
    Tileset tileset;
    if (!FindTileset(map->tileset, &tileset)) return Message(Name, "could not find tileset for this map", false);
    ScriptValue_SetReal(result, tileset.*Field);
}

void F_TilemapSetMask(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "tilemap_set_mask")) return;
    if (LayerElement_Tilemap* map = FoundMap(args, "tilemap_set_mask")) map->mask = Arg_UInt32(args, 1);
}

void F_TilemapGetMask(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "tilemap_get_mask")) return;
    if (const LayerElement_Tilemap* map = MapArg(args)) LayerFn_SetUnsigned(result, map->mask);
}

void F_TilemapSetGlobalMask(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, -1, argc, 1, "tilemap_set_global_mask")) TilemapGlobalMask = Arg_UInt32(args, 0);
}

void F_TilemapGetGlobalMask(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    LayerFn_SetUnsigned(result, TilemapGlobalMask);
}

// ------------------------------------------------------------ cells

bool Inside(const LayerElement_Tilemap* map, int32_t x, int32_t y)
{
    return x >= 0 && x < map->width && y >= 0 && y < map->height;
}

int64_t CellIndex(const LayerElement_Tilemap* map, int32_t x, int32_t y)
{
    return static_cast<int64_t>(y) * map->width + x;
}

// Writes data when its index fits the tileset (when there is one) under the
// effective mask; the cell keeps the data unmasked.
bool WriteChecked(LayerElement_Tilemap* map, int32_t x, int32_t y, TileData data, const Tileset* tileset,
                  const char* indexMessage)
{
    const TileData mask = map->mask & TilemapGlobalMask;
    if (tileset && static_cast<int64_t>(TileData_Index(data & mask)) >= tileset->tileCount) {
        LayerFn_Log(indexMessage);
        return false;
    }
    return WriteCell(map, CellIndex(map, x, y), data);
}

void SetBool(ScriptValue* result, bool value)
{
    ScriptValue_SetReal(result, value ? 1 : 0);
    result->kind = VALUE_BOOL;
}

void F_TilemapGet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 3, "tilemap_get")) return;
    const LayerElement_Tilemap* map = FoundMap(args, "tilemap_get");
    if (!map) return;
    if (!map->cells) return LayerFn_Error("tilemap_get() - tilemap element corrupted");
    const int32_t x = Arg_Int32(args, 1);
    const int32_t y = Arg_Int32(args, 2);
    if (Inside(map, x, y)) LayerFn_SetUnsigned(result, ReadCell(map, CellIndex(map, x, y)));
}

void F_TilemapSet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(result, false);
    if (argc != 4) return LayerFn_Error("tilemap_set() - wrong number of arguments\n");
    LayerElement_Tilemap* map = FoundMap(args, "tilemap_set");
    if (!map) return;
    if (!map->cells) return LayerFn_Log("tilemap_set() - tilemap is 0 by 0, not setting anything\n");
    const int32_t x = Arg_Int32(args, 2);
    const int32_t y = Arg_Int32(args, 3);
    if (!Inside(map, x, y)) return;
    const TileData data = static_cast<TileData>(Arg_Int32(args, 1));
    Tileset tileset;
    const bool known = FindTileset(map->tileset, &tileset);
    SetBool(result, WriteChecked(map, x, y, data, known ? &tileset : nullptr,
                                 "tilemap_set() - tile index outside tile set size\n"));
}

// The cell under a point of the room. False with the message of name when the
// map has no cells or no tileset; *inside false when the point is off the map.
struct PixelCell {
    LayerElement_Tilemap* map;
    Tileset tileset;
    int32_t column, row;  // unlimited
    bool inside;
};

bool FindPixelCell(ScriptValue* args, int xArg, const char* name, bool corruptedLine, PixelCell* out)
{
    RoomLayer* layer = nullptr;
    LayerElement_Tilemap* map = MapArg(args, &layer);
    if (!map || !layer) {
        Message(name, "couldn't find specified tilemap\n", true);
        return false;
    }
    if (!map->cells) {
        Message(name, corruptedLine ? "tilemap element corrupted\n" : "tilemap element corrupted", false);
        return false;
    }
    if (!FindTileset(map->tileset, &out->tileset)) {
        Message(name, corruptedLine ? "could not find tileset for this map\n" : "could not find tileset for this map",
                false);
        return false;
    }
    out->map = map;
    const float px = Arg_Float(args, xArg) - (map->x + layer->x);
    const float py = Arg_Float(args, xArg + 1) - (map->y + layer->y);
    const float right = static_cast<float>(static_cast<int64_t>(out->tileset.tileWidth) * map->width);
    const float bottom = static_cast<float>(static_cast<int64_t>(out->tileset.tileHeight) * map->height);
    out->inside = !(px < 0 || px >= right || py < 0 || py >= bottom) && !std::isnan(px) && !std::isnan(py);
    if (!out->inside) return true;
    const float rx = 1.0f / static_cast<float>(out->tileset.tileWidth);
    const float ry = 1.0f / static_cast<float>(out->tileset.tileHeight);
    out->column = static_cast<int32_t>(std::floor(static_cast<double>(rx * px)));
    out->row = static_cast<int32_t>(std::floor(static_cast<double>(ry * py)));
    return true;
}

// Far-edge rounding of the reciprocal can give width or height: kept inside.
void Limit(PixelCell* cell)
{
    if (cell->column >= cell->map->width) cell->column = cell->map->width - 1;
    if (cell->row >= cell->map->height) cell->row = cell->map->height - 1;
}

void F_TilemapGetAtPixel(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 3, "tilemap_get_at_pixel")) return;
    PixelCell cell;
    if (!FindPixelCell(args, 1, "tilemap_get_at_pixel", false, &cell) || !cell.inside) return;
    Limit(&cell);
    LayerFn_SetUnsigned(result, ReadCell(cell.map, CellIndex(cell.map, cell.column, cell.row)));
}

void F_TilemapSetAtPixel(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetBool(result, false);
    if (argc != 4) return LayerFn_WrongCount("tilemap_set_at_pixel");
    PixelCell cell;
    if (!FindPixelCell(args, 2, "tilemap_set_at_pixel", true, &cell) || !cell.inside) return;
    Limit(&cell);
    const TileData data = static_cast<TileData>(Arg_Int32(args, 1));
    SetBool(result, WriteChecked(cell.map, cell.column, cell.row, data, &cell.tileset,
                                 "tilemap_set_at_pixel() - tile index outside tile set count\n"));
}

template <const char* Name, bool Column>
void F_CellAtPixel(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 3, Name)) return;
    PixelCell cell;
    if (!FindPixelCell(args, 1, Name, false, &cell) || !cell.inside) return;
    ScriptValue_SetReal(result, Column ? cell.column : cell.row);
}

void F_TilemapClear(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "tilemap_clear")) return;
    LayerElement_Tilemap* map = MapArg(args);
    if (!map) return;
    if (!map->cells) return LayerFn_Error("tilemap_clear() - tilemap element corrupted");
    const TileData data = static_cast<TileData>(Arg_Int32(args, 1));
    const int64_t count = static_cast<int64_t>(map->width) * map->height;
    for (int64_t i = 0; i < count; ++i) {
        if (!WriteCell(map, i, data)) return;
    }
}

// ------------------------------------------------------------ drawing on demand

void F_DrawTilemap(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 3, "draw_tilemap")) return;
    const LayerElement_Tilemap* map = FoundMap(args, "draw_tilemap");
    if (!map) return;
    if (!map->cells) return LayerFn_Error("draw_tilemap() - tilemap element corrupted");
    DrawTilemap(map, nullptr, Arg_Float(args, 1), Arg_Float(args, 2), self ? self->depth : 0.0f);
}

void F_DrawTile(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 5, "draw_tile")) return;
    const int32_t index = Arg_Int32(args, 0);
    const TileData data = static_cast<TileData>(Arg_Int32(args, 1));
    const int32_t frame = Arg_Int32(args, 2);
    Tileset tileset;
    if (!FindTileset(index, &tileset)) return LayerFn_Log("draw_tile() - couldn't find specified tilemap\n");
    if (static_cast<int64_t>(TileData_Index(data)) >= tileset.tileCount)
        return LayerFn_Log("draw_tile() - tile index outside tile set count\n");
    DrawTile(index, data, frame, Arg_Float(args, 3), Arg_Float(args, 4), self ? self->depth : 0.0f);
}

using M = LayerElement_Tilemap;
constexpr char kTileset[] = "tilemap_tileset";
constexpr char kX[] = "tilemap_x";
constexpr char kY[] = "tilemap_y";
constexpr char kGetTileset[] = "tilemap_get_tileset";
constexpr char kGetWidth[] = "tilemap_get_width";
constexpr char kGetHeight[] = "tilemap_get_height";
constexpr char kGetX[] = "tilemap_get_x";
constexpr char kGetY[] = "tilemap_get_y";
constexpr char kTileWidth[] = "tilemap_get_tile_width";
constexpr char kTileHeight[] = "tilemap_get_tile_height";
constexpr char kCellX[] = "tilemap_get_cell_x_at_pixel";
constexpr char kCellY[] = "tilemap_get_cell_y_at_pixel";

const LayerRoutine kRoutines[] = {
    {"layer_tilemap_get_id", F_LayerTilemapGetId},
    {"layer_tilemap_exists", F_LayerTilemapExists},
    {"layer_tilemap_create", F_LayerTilemapCreate},
    {"layer_tilemap_destroy", F_LayerTilemapDestroy},
    {kTileset, F_Set<kTileset, &M::tileset>},
    {kX, F_Set<kX, &M::x>},
    {kY, F_Set<kY, &M::y>},
    {"tilemap_set", F_TilemapSet},
    {"tilemap_set_at_pixel", F_TilemapSetAtPixel},
    {kGetTileset, F_Get<kGetTileset, &M::tileset>},
    {kTileWidth, F_TileSize<kTileWidth, &Tileset::tileWidth>},
    {kTileHeight, F_TileSize<kTileHeight, &Tileset::tileHeight>},
    {kGetWidth, F_Get<kGetWidth, &M::width>},
    {kGetHeight, F_Get<kGetHeight, &M::height>},
    {kGetX, F_Get<kGetX, &M::x>},
    {kGetY, F_Get<kGetY, &M::y>},
    {"tilemap_get", F_TilemapGet},
    {"tilemap_get_at_pixel", F_TilemapGetAtPixel},
    {kCellX, F_CellAtPixel<kCellX, true>},
    {kCellY, F_CellAtPixel<kCellY, false>},
    {"tilemap_clear", F_TilemapClear},
    {"draw_tilemap", F_DrawTilemap},
    {"draw_tile", F_DrawTile},
    {"tilemap_set_global_mask", F_TilemapSetGlobalMask},
    {"tilemap_get_global_mask", F_TilemapGetGlobalMask},
    {"tilemap_set_mask", F_TilemapSetMask},
    {"tilemap_get_mask", F_TilemapGetMask},
    {"tilemap_get_frame", F_TilemapGetFrame},
};
}  // namespace

std::span<const LayerRoutine> TilemapRoutines()
{
    return kRoutines;
}
