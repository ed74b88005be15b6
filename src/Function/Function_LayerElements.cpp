// Built-ins on elements of any kind and on the instances that stand on layers.
#include <vector>

#include "Code/Code_Arguments.h"
#include "Function/Function_LayerCommon.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

namespace {
constexpr int32_t kNoInstance = -4;
constexpr int32_t kFirstInstanceId = 100000;

void F_LayerGetAllElements(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 1) return LayerFn_Error("layer_get_all_elements() - takes one argument");
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    const RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_get_all_elements() - can't find specified layer\n");
    std::vector<int32_t> ids;
    for (const LayerElement* e = layer->first; e; e = e->next) ids.push_back(e->id);
    LayerFn_IdArray(result, ids.data(), static_cast<int32_t>(ids.size()));
}

// The element of argument 0 whatever its kind, with the log lines of name.
LayerElement* AnyElement(CGameRoom* room, ScriptValue* args, const char* roomInvalid, const char* notFound)
{
    if (!room) {
        LayerFn_Log(roomInvalid);
        return nullptr;
    }
    LayerElement* element = Layer_FindElement(room, Arg_Int32(args, 0), nullptr);
    if (!element) LayerFn_Log(notFound);
    return element;
}

void F_LayerGetElementLayer(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 1) return LayerFn_Error("layer_get_element_layer() - takes a single parameter");
    const LayerElement* element = AnyElement(Layer_GetTargetRoom(), args, "layer_get_element_layer() - room is invalid\n",
                                             "layer_get_element_layer() - can't find specified element\n");
    if (!element) return;
    if (!element->layer) return LayerFn_Log("layer_get_element_layer() - element is not on a valid layer\n");
    ScriptValue_SetReal(result, element->layer->id);
}

void F_LayerGetElementType(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 1) return LayerFn_Error("layer_get_element_type() - takes a single parameter");
    const LayerElement* element = AnyElement(Layer_GetTargetRoom(), args, "layer_get_element_type() - room is invalid\n",
                                             "layer_get_element_type() - can't find specified element\n");
    if (element) ScriptValue_SetReal(result, element->kind);
}

void F_LayerElementMove(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 2) return LayerFn_Error("layer_element_move() - takes two parameters");
    CGameRoom* room = Layer_GetTargetRoom();
    LayerElement* element = AnyElement(room, args, "layer_element_move() - room is invalid\n",
                                       "layer_element_move() - can't find specified element\n");
    if (!element) return;
    RoomLayer* target = Layer_FindByID(room, Arg_Int32(args, 1));
    if (!target) return LayerFn_Log("layer_element_move() - can't find target layer\n");
    Layer_MoveElement(room, element, target);
}

constexpr char kAddLayerMissing[] = "layer_add_instance() - could not find specified layer in current room";

void F_LayerAddInstance(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "layer_add_instance")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    const RoomLayer* found = LayerFn_LayerArg(room, args, 0);
    if (!found) return LayerFn_Error(kAddLayerMissing);
    const int32_t layerId = found->id;
    const int32_t id = Arg_Int32(args, 1);
    if (room == Run_Room) {
        CInstance* instance = Instance_Find(id);
        if (!instance) return LayerFn_Error("layer_add_instance() - could not find specified instance");
        // Alone on a dynamic layer, taking it off would destroy the very layer
        // it is to go on: it stays where it is, at that layer's depth.
        if (instance->m_onLayer && instance->layer == layerId && found->dynamic && found->count == 1) {
            instance->depth = static_cast<float>(found->depth);
            return;
        }
        Layer_RemoveInstance(room, instance);
        // A destroyed layer is never used, and the instance is not left without one.
        RoomLayer* layer = Layer_FindByID(room, layerId);
        if (!layer) {
            instance->layer = -1;
            Layer_AddInstanceToDefault(room, instance);
            return LayerFn_Error(kAddLayerMissing);
        }
        Layer_AddInstance(room, layer, instance);
        return;
    }
    // A room that is not running: only its elements change; they bind when it starts.
    const int32_t holder = Layer_FindInstanceLayerID(room, id);
    if (holder == layerId && found->dynamic && found->count == 1) return;
    if (holder >= 0) Layer_RemoveInstanceElement(room, Layer_FindByID(room, holder), id);
    RoomLayer* layer = Layer_FindByID(room, layerId);
    if (!layer) return LayerFn_Error(kAddLayerMissing);
    LayerElement_Instance* element = Layer_NewInstanceElement();
    if (!element) return;
    element->instanceId = id;
    Layer_AddElement(room, layer, element, false);
}

bool IsOfObject(const CInstance* instance, int32_t objectIndex)
{
    if (instance->object_index == objectIndex) return true;
    const CGameObject* object = Object_Get(instance->object_index);
    return object && object->HasAncestor(objectIndex);
}

void F_LayerHasInstance(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, -1, argc, 2, "layer_has_instance")) return;
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    const RoomLayer* layer = LayerFn_LayerArg(room, args, 0);
    if (!layer) return LayerFn_Log("layer_has_instance() - could not find specified layer in current room\n");
    const int32_t value = Arg_Int32(args, 1);
    if (value >= kFirstInstanceId) {
        const CInstance* instance = Instance_Find(value);
        if (!instance) return LayerFn_Log("layer_has_instance() - could not find specified instance\n");
        if (instance->m_onLayer && instance->layer == layer->id) ScriptValue_SetReal(result, 1);
        return;
    }
    for (const LayerElement* e = layer->first; e; e = e->next) {
        if (e->kind != LAYER_ELEMENT_INSTANCE) continue;
        const CInstance* instance = static_cast<const LayerElement_Instance*>(e)->instance;
        if (instance && IsOfObject(instance, value)) return ScriptValue_SetReal(result, 1);
    }
}

void F_LayerDestroyInstances(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 1) return LayerFn_Error("layer_destroy_instances() - takes one argument");
    CGameRoom* room = Layer_GetTargetRoom();
    if (!room) return;
    const RoomLayer* found = LayerFn_LayerArg(room, args, 0);
    if (!found) return LayerFn_Log("layer_destroy_instances() - can't find specified layer\n");
    // Destroy events run game code that may change this very layer: the ids
    // are taken first and each is looked up again before it goes.
    const int32_t layerId = found->id;
    std::vector<int32_t> ids;
    for (const LayerElement* e = found->first; e; e = e->next) {
        if (e->kind == LAYER_ELEMENT_INSTANCE) ids.push_back(e->id);
    }
    // In a room that is not running the ids belong to instances still to be made.
    const bool destroy = room == Run_Room;
    for (int32_t id : ids) {
        RoomLayer* layer = Layer_FindByID(room, layerId);
        if (!layer) return;
        LayerElement* element = Layer_FindElementInLayer(layer, id);
        if (element && element->kind == LAYER_ELEMENT_INSTANCE) Layer_RemoveElement(room, layer, element, destroy);
    }
}

// Every bound instance of the layer ends in the requested state, however the
// relinking reorders the layer's list.
void SetLayerActivation(ScriptValue* args, bool deactivate)
{
    const RoomLayer* layer = LayerFn_LayerArg(Layer_GetTargetRoom(), args, 0);
    if (!layer) return;
    std::vector<CInstance*> instances;
    for (const LayerElement* e = layer->first; e; e = e->next) {
        if (e->kind != LAYER_ELEMENT_INSTANCE) continue;
        CInstance* instance = static_cast<const LayerElement_Instance*>(e)->instance;
        if (instance && instance->m_deactivated != deactivate) instances.push_back(instance);
    }
    for (CInstance* instance : instances) {
        instance->SetDeactivated(deactivate);
        // The room moves it between its active and deactivated lists after the pass.
        ActivationQueue.AddUnique(instance);
    }
}

void F_InstanceDeactivateLayer(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, 0, argc, 1, "instance_deactivate_layer"))
        SetLayerActivation(args, true);
}

void F_InstanceActivateLayer(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (LayerFn_Begin(result, 0, argc, 1, "instance_activate_layer"))
        SetLayerActivation(args, false);
}

void F_LayerInstanceGetInstance(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!LayerFn_Begin(result, kNoInstance, argc, 1, "layer_instance_get_instance")) return;
    if (const auto* element = LayerFn_ElementArg<LayerElement_Instance>(Layer_GetTargetRoom(), args, 0))
        ScriptValue_SetReal(result, element->instanceId);
}

const LayerRoutine kRoutines[] = {
    {"layer_destroy_instances", F_LayerDestroyInstances},
    {"layer_add_instance", F_LayerAddInstance},
    {"layer_has_instance", F_LayerHasInstance},
    {"layer_get_all_elements", F_LayerGetAllElements},
    {"layer_get_element_layer", F_LayerGetElementLayer},
    {"layer_get_element_type", F_LayerGetElementType},
    {"layer_element_move", F_LayerElementMove},
    {"instance_activate_layer", F_InstanceActivateLayer},
    {"instance_deactivate_layer", F_InstanceDeactivateLayer},
    {"layer_instance_get_instance", F_LayerInstanceGetInstance},
};
}  // namespace

std::span<const LayerRoutine> LayerElementRoutines()
{
    return kRoutines;
}
