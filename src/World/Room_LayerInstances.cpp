// Instances on layers: every instance of the running room sits on exactly one
// layer, held by an instance element, and follows its depth and activation.
#include <cmath>

#include "Base/Console.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"
#include "GameData/GameHeader.h"

namespace {
// Depths are compared and stored as whole numbers, toward zero.
int32_t LayerDepthOf(float depth)
{
    if (std::isnan(depth)) return 0;
    if (depth >= 2147483647.0f) return INT32_MAX;
    if (depth <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(depth);
}

// The instance map's element for the id when it lies on a layer.
LayerElement_Instance* PlacedElement(CGameRoom* room, int32_t instanceId)
{
    LayerElement_Instance* element = room->layers.instanceMap.Find(instanceId);
    return element && element->layer ? element : nullptr;
}

void DropElement(CGameRoom* room, RoomLayer* layer, LayerElement_Instance* element)
{
    room->layers.elementMap.Delete(element->id);
    room->layers.instanceMap.Delete(element->instanceId);
    Layer_UnlinkElement(layer, element);
    if (room->layers.lastFound == element) room->layers.lastFound = nullptr;
    Layer_ReturnElement(element);
}
}  // namespace

void Layer_AddInstanceToDefault(CGameRoom* room, CInstance* instance)
{
    if (!LayerMode || !room || !instance || instance->m_onLayer) return;
    RoomLayer* layer = Layer_FindByID(room, instance->layer);
    if (!layer) {
        const int32_t depth = LayerDepthOf(instance->depth);
        layer = Layer_FindAtDepth(room, depth, true);
        if (!layer) layer = Layer_CreateDynamic(room, depth);
    }
    Layer_AddInstance(room, layer, instance);
}

void Layer_AddInstance(CGameRoom* room, RoomLayer* layer, CInstance* instance)
{
    if (!room || !layer || !instance || instance->m_onLayer) return;
    LayerElement_Instance* element = room->layers.instanceMap.Find(instance->id);
    const bool reused = element != nullptr;
    if (element && element->instance) {
        LogConsole->Output("Attempting to add instance %d multiple times to a layer", instance->id);
        return;
    }
    if (!element) {
        element = Layer_NewInstanceElement();
        if (!element) return;
        element->id = Layer_NextElementId++;
        element->instanceId = instance->id;
    }
    // A reused element stays where it stands, so the instance follows its layer.
    RoomLayer* home = reused && element->layer ? element->layer : layer;
    element->instance = instance;
    instance->layer = home->id;
    instance->m_onLayer = true;
    instance->depth = static_cast<float>(home->depth);
    element->ready = true;
    if (reused) {
        if (instance->m_deactivated) Layer_UpdateInstanceActivation(room, instance);
        return;
    }
    if (instance->m_deactivated)
        Layer_LinkElementBack(home, element);
    else
        Layer_LinkElementFront(home, element);
    room->layers.elementMap.Insert(element->id, element);
    room->layers.instanceMap.Insert(element->instanceId, element);
}

void Layer_AddInstanceById(CGameRoom* room, CInstance* instance)
{
    if (!room || !instance) return;
    const int32_t layerId = Layer_FindInstanceLayerID(room, instance->id);
    if (layerId >= 0) instance->layer = layerId;
}

void Layer_RemoveInstance(CGameRoom* room, CInstance* instance)
{
    if (!instance || !instance->m_onLayer) return;
    RoomLayer* layer = Layer_FindByID(room, instance->layer);
    if (!layer) {
        instance->m_onLayer = false;
        instance->layer = -1;
        return;
    }
    Layer_RemoveInstanceFromLayer(room, layer, instance);
}

void Layer_RemoveInstanceFromLayer(CGameRoom* room, RoomLayer* layer, CInstance* instance)
{
    if (!room || !layer || !instance || !instance->m_onLayer) return;
    LayerElement_Instance* element = PlacedElement(room, instance->id);
    if (!element) return;
    if (element->layer != layer) {
        LogConsole->Output("Layer system integrity compromised, instance %d not on layer %d\n", instance->id,
                           layer->id);
        return;
    }
    DropElement(room, layer, element);
    instance->m_onLayer = false;
    instance->layer = -1;
    if (layer->dynamic && layer->count == 0) Layer_Destroy(room, layer->id);
}

void Layer_RemoveInstanceElement(CGameRoom* room, RoomLayer* layer, int32_t instanceId)
{
    if (!room || !layer) return;
    LayerElement_Instance* element = PlacedElement(room, instanceId);
    if (!element) return;
    if (element->layer != layer) {
        LogConsole->Output("Layer system integrity compromised, instance %d not on layer %d\n", instanceId, layer->id);
        return;
    }
    DropElement(room, layer, element);
    if (layer->dynamic && layer->count == 0) Layer_Destroy(room, layer->id);
}

int32_t Layer_FindInstanceLayerID(CGameRoom* room, int32_t instanceId)
{
    if (!room) return -1;
    LayerElement_Instance* element = PlacedElement(room, instanceId);
    return element ? element->layer->id : -1;
}

void Layer_UpdateInstanceDepth(CGameRoom* room, CInstance* instance)
{
    if (!room || !instance || !instance->m_onLayer) return;
    RoomLayer* layer = Layer_FindByID(room, instance->layer);
    const int32_t depth = LayerDepthOf(instance->depth);
    if (!layer || layer->depth == depth) return;
    if (layer->count == 1) {
        const LayerElement* only = layer->first;
        if (only->kind == LAYER_ELEMENT_INSTANCE && static_cast<const LayerElement_Instance*>(only)->instance == instance)
            Layer_SetDepth(room, layer, depth, true);
        return;
    }
    Layer_RemoveInstance(room, instance);
    instance->layer = -1;
    Layer_AddInstanceToDefault(room, instance);
}

void Layer_UpdateInstanceActivation(CGameRoom* room, CInstance* instance)
{
    if (!LayerMode || !room || !instance || !instance->m_onLayer) return;
    RoomLayer* layer = Layer_FindByID(room, instance->layer);
    LayerElement_Instance* element = PlacedElement(room, instance->id);
    if (!layer || !element || element->layer != layer) return;
    Layer_UnlinkElement(layer, element);
    if (instance->m_deactivated)
        Layer_LinkElementBack(layer, element);
    else
        Layer_LinkElementFront(layer, element);
}
