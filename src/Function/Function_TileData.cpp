// Built-ins that take tile data values apart and put them together; pure
// functions of their arguments.
#include "Code/Code_Arguments.h"
#include "Function/Function_LayerCommon.h"
#include "World/TileData.h"

namespace {
TileData DataArg(ScriptValue* args) { return static_cast<TileData>(Arg_Int32(args, 0)); }

void SetData(ScriptValue* result, TileData data) { LayerFn_SetSigned(result, data); }

bool Begin(ScriptValue* result, int argc, int count, const char* message)
{
    ScriptValue_SetReal(result, -1);
    if (argc == count) return true;
    LayerFn_Error(message);
    return false;
}

void F_SetEmpty(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (Begin(result, argc, 1, "tile_set_empty() - wrong number of arguments"))
        SetData(result, DataArg(args) & TILE_KEEP_MASK);
}

void F_SetIndex(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 2, "tile_set_index() - wrong number of arguments")) return;
    const TileData data = DataArg(args);
    // The index is not masked: its bits above 18 reach the other fields.
    SetData(result, (data & TILE_KEEP_MASK) | static_cast<TileData>(Arg_Int32(args, 1)));
}

// The flag is read before the data.
template <TileData Bit, const char* Message>
void F_SetBit(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 2, Message)) return;
    const bool on = Arg_Float(args, 1) > 0.5f;
    const TileData data = DataArg(args);
    SetData(result, on ? data | Bit : data & ~Bit);
}

template <TileData Mask, int Shift, const char* Message>
void F_GetField(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 1, Message)) return;
    ScriptValue_SetReal(result, 0);
    SetData(result, (DataArg(args) & Mask) >> Shift);
}

void F_GetEmpty(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Begin(result, argc, 1, "tilemap_tile_get_empty() - wrong number of arguments")) return;
    ScriptValue_SetReal(result, 0);
    ScriptValue_SetReal(result, TileData_Index(DataArg(args)) == 0 ? 1 : 0);
}

constexpr char kSetMirror[] = "tile_set_mirror() - wrong number of arguments";
constexpr char kSetFlip[] = "tile_set_flip() - wrong number of arguments";
constexpr char kSetRotate[] = "tile_set_rotate() - wrong number of arguments";
constexpr char kGetIndex[] = "tilemap_tile_get_index() - wrong number of arguments";
constexpr char kGetMirror[] = "tilemap_tile_get_mirror() - wrong number of arguments";
constexpr char kGetFlip[] = "tilemap_tile_get_flip() - wrong number of arguments";
constexpr char kGetRotate[] = "tilemap_tile_get_rotate() - wrong number of arguments";

const LayerRoutine kRoutines[] = {
    {"tile_set_empty", F_SetEmpty},
    {"tile_set_index", F_SetIndex},
    {"tile_set_flip", F_SetBit<TILE_FLIP, kSetFlip>},
    {"tile_set_mirror", F_SetBit<TILE_MIRROR, kSetMirror>},
    {"tile_set_rotate", F_SetBit<TILE_ROTATE, kSetRotate>},
    {"tile_get_empty", F_GetEmpty},
    {"tile_get_index", F_GetField<TILE_INDEX_MASK, 0, kGetIndex>},
    {"tile_get_flip", F_GetField<TILE_FLIP, 29, kGetFlip>},
    {"tile_get_mirror", F_GetField<TILE_MIRROR, 28, kGetMirror>},
    {"tile_get_rotate", F_GetField<TILE_ROTATE, 30, kGetRotate>},
};
}  // namespace

std::span<const LayerRoutine> TileDataRoutines()
{
    return kRoutines;
}
