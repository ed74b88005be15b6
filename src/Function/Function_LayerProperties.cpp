// Built-ins on whole layers: finding, creating, destroying and moving layers,
// their position, motion, visibility, scripts and shader, the target room and
// the forced drawing depth.
#include <vector>

#include "Code/Code_Arguments.h"
#include "Function/Function_Layer.h"
#include "Function/Function_LayerCommon.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Class.h"

namespace {
// The layer of argument 0 in the target room after the count check, or null.
RoomLayer* LayerOf(ScriptValue* result, double preset, int argc, ScriptValue* args, int count, const char* name)
{
    if (!LayerFn_Begin(result, preset, argc, count, name)) return nullptr;
    return LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
}

void F_LayerGetId(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_get_id")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    if (const RoomLayer* layer = Layer_FindByName(room, Arg_String(args, 0))) ScriptValue_SetReal(result, layer->id);
}

void F_LayerGetIdAtDepth(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const int32_t none = -1;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return LayerFn_IdArray(result, &none, 1);
    if (argc != 1) {
        LayerFn_Error("layer_get_id_at_depth() - takes a single argument");
        return LayerFn_IdArray(result, &none, 1);
    }
    const int32_t depth = Arg_Int32(args, 0);
    std::vector<int32_t> ids;
    for (const RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        if (layer->depth == depth) ids.push_back(layer->id);
    }
    if (ids.empty()) return LayerFn_IdArray(result, &none, 1);
    LayerFn_IdArray(result, ids.data(), static_cast<int32_t>(ids.size()));
}

void F_LayerGetDepth(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_get_depth")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    if (const RoomLayer* layer = LayerFn_LayerArg(room, args, 0))
        ScriptValue_SetReal(result, layer->depth);
    else
        LayerFn_Log("layer_get_depth() - layer not found in current room\n");
}

void F_LayerGetAll(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue*)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 0) return LayerFn_Error("layer_get_all() - doesn't take any arguments");
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    std::vector<int32_t> ids;
    for (const RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        if (!layer->dynamic) ids.push_back(layer->id);
    }
    LayerFn_IdArray(result, ids.data(), static_cast<int32_t>(ids.size()));
}

void F_LayerGetName(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 1) return LayerFn_Error("layer_get_name() - takes a layer name or ID");
    if (const RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0))
        ScriptValue_SetString(result, layer->name ? layer->name : "");
}

void F_LayerExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerOf(result, 0, argc, args, 1, "layer_exists")) ScriptValue_SetReal(result, 1);
}

void F_LayerCreate(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc < 1) return LayerFn_Error("layer_create() - must have at least 1 argument");
    const int32_t depth = Arg_Int32(args, 0);
    const char* name = argc >= 2 ? Arg_String(args, 1) : nullptr;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) {
        // No room to link a layer into: the id is handed out and used up, but no
        // record is taken that nothing could ever return.
        ScriptValue_SetReal(result, Layer_TakeCreatedId());
        return;
    }
    const RoomLayer* layer = Layer_Create(room, depth, name);
    if (!layer) return LayerFn_Error("layer_create() - can't create layer");
    ScriptValue_SetReal(result, layer->id);
}

void F_LayerDestroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 1, "layer_destroy")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_destroy() - layer not found in current room\n");
    if (room != Run_Room) {
        // The instance elements of a room that is not running hold ids of instances
        // to be made when it starts: a live instance with such an id is another's.
        for (LayerElement* e = layer->first; e;) {
            LayerElement* next = e->next;
            if (e->kind == LAYER_ELEMENT_INSTANCE) Layer_RemoveElement(room, layer, e, false);
            e = next;
        }
    }
    Layer_Destroy(room, layer->id);
}

void F_LayerDepth(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 2) return LayerFn_Error("layer_depth() - wrong number of parameters");
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_depth() - can't find specified layer\n");
    const int32_t depth = Arg_Int32(args, 1);
    if (depth == layer->depth) return;
    Layer_SetDepth(room, layer, depth, false);
    for (LayerElement* e = layer->first; e; e = e->next) {
        if (e->kind != LAYER_ELEMENT_INSTANCE) continue;
        CInstance* instance = static_cast<LayerElement_Instance*>(e)->instance;
        if (!instance || Instance_Find(instance->id) != instance) continue;
        instance->depth = static_cast<float>(depth);
        DepthChangeQueue.AddUnique(instance);
    }
}

template <const char* Name, auto Field>
void F_LayerSetFloat(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (RoomLayer* layer = LayerOf(result, -1, argc, args, 2, Name)) layer->*Field = Arg_Float(args, 1);
}

template <const char* Name, auto Field>
void F_LayerSetInt(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (RoomLayer* layer = LayerOf(result, -1, argc, args, 2, Name)) layer->*Field = Arg_Int32(args, 1);
}

template <const char* Name, auto Field, int Preset>
void F_LayerGet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (const RoomLayer* layer = LayerOf(result, Preset, argc, args, 1, Name)) ScriptValue_SetReal(result, layer->*Field);
}

void F_LayerSetVisible(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "layer_set_visible")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_set_visible() - could not find specified layer in current room\n");
    layer->visible = Arg_Bool(args, 1);
}

void F_LayerGetVisible(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, 0, argc, 1, "layer_get_visible")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    const RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_get_visible() - could not find specified layer in current room\n");
    ScriptValue_SetReal(result, layer->visible ? 1 : 0);
}

// The target-room built-ins check no count; a call without the room index
// has nothing to store.
void F_LayerSetTargetRoom(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc >= 1) LayerTargetRoom = Arg_Int32(args, 0);
}

void F_LayerGetTargetRoom(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, LayerTargetRoom);
}

void F_LayerResetTargetRoom(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    LayerTargetRoom = -1;
}

void F_LayerForceDrawDepth(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc != 2) return LayerFn_Error("layer_force_draw_depth() - takes two parameters");
    LayerForceDrawDepth = Arg_Bool(args, 0);
    LayerForcedDepth = Arg_Int32(args, 1);
}

void F_LayerIsDrawDepthForced(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, LayerForceDrawDepth ? 1 : 0);
}

void F_LayerGetForcedDepth(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, LayerForcedDepth);
}

constexpr char kX[] = "layer_x";
constexpr char kY[] = "layer_y";
constexpr char kHspeed[] = "layer_hspeed";
constexpr char kVspeed[] = "layer_vspeed";
constexpr char kGetX[] = "layer_get_x";
constexpr char kGetY[] = "layer_get_y";
constexpr char kGetHspeed[] = "layer_get_hspeed";
constexpr char kGetVspeed[] = "layer_get_vspeed";
constexpr char kScriptBegin[] = "layer_script_begin";
constexpr char kScriptEnd[] = "layer_script_end";
constexpr char kShader[] = "layer_shader";
constexpr char kGetScriptBegin[] = "layer_get_script_begin";
constexpr char kGetScriptEnd[] = "layer_get_script_end";
constexpr char kGetShader[] = "layer_get_shader";

const LayerRoutine kRoutines[] = {
    {"layer_get_id", F_LayerGetId},
    {"layer_get_id_at_depth", F_LayerGetIdAtDepth},
    {"layer_get_depth", F_LayerGetDepth},
    {"layer_create", F_LayerCreate},
    {"layer_destroy", F_LayerDestroy},
    {"layer_set_visible", F_LayerSetVisible},
    {"layer_get_visible", F_LayerGetVisible},
    {"layer_exists", F_LayerExists},
    {kX, F_LayerSetFloat<kX, &RoomLayer::x>},
    {kY, F_LayerSetFloat<kY, &RoomLayer::y>},
    {kGetX, F_LayerGet<kGetX, &RoomLayer::x, 0>},
    {kGetY, F_LayerGet<kGetY, &RoomLayer::y, 0>},
    {kHspeed, F_LayerSetFloat<kHspeed, &RoomLayer::hspeed>},
    {kVspeed, F_LayerSetFloat<kVspeed, &RoomLayer::vspeed>},
    {kGetHspeed, F_LayerGet<kGetHspeed, &RoomLayer::hspeed, 0>},
    {kGetVspeed, F_LayerGet<kGetVspeed, &RoomLayer::vspeed, 0>},
    {kScriptBegin, F_LayerSetInt<kScriptBegin, &RoomLayer::beginScript>},
    {kScriptEnd, F_LayerSetInt<kScriptEnd, &RoomLayer::endScript>},
    {kShader, F_LayerSetInt<kShader, &RoomLayer::shader>},
    {kGetScriptBegin, F_LayerGet<kGetScriptBegin, &RoomLayer::beginScript, -1>},
    {kGetScriptEnd, F_LayerGet<kGetScriptEnd, &RoomLayer::endScript, -1>},
    {kGetShader, F_LayerGet<kGetShader, &RoomLayer::shader, -1>},
    {"layer_set_target_room", F_LayerSetTargetRoom},
    {"layer_get_target_room", F_LayerGetTargetRoom},
    {"layer_reset_target_room", F_LayerResetTargetRoom},
    {"layer_get_all", F_LayerGetAll},
    {"layer_get_name", F_LayerGetName},
    {"layer_depth", F_LayerDepth},
    {"layer_force_draw_depth", F_LayerForceDrawDepth},
    {"layer_is_draw_depth_forced", F_LayerIsDrawDepthForced},
    {"layer_get_forced_depth", F_LayerGetForcedDepth},
};
}  // namespace

std::span<const LayerRoutine> LayerPropertyRoutines()
{
    return kRoutines;
}
