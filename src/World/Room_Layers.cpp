// The layer and element model of a room: pools, ids, the depth-sorted layer
// list, adding, finding, moving and removing elements, and resolving them.
#include "World/Room_Layers.h"

#include <strings.h>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "World/Instance.h"
#include "World/Instance_Destroy.h"
#include "World/Room_Class.h"
#include "World/Room_LayerPool.h"

uint32_t TilemapGlobalMask = 0x7FFFFFFFu;
bool LayerForceDrawDepth = false;
int32_t LayerForcedDepth = 0;
CInstance* LayerScriptInstance = nullptr;
int32_t Layer_HighestDataId = 0;
int32_t Layer_LastCreatedId = 0;
int32_t Layer_NextElementId = 0;

namespace {
// An instance element whose instance id is this is never destroyed with it.
constexpr int32_t kUndestroyableInstanceId = -14;

ObjectPool<RoomLayer> s_layers;
ObjectPool<LayerElement_Background> s_backgrounds;
ObjectPool<LayerElement_Instance> s_instances;
ObjectPool<LayerElement_Sprite> s_sprites;
ObjectPool<LayerElement_Tilemap> s_tilemaps;
ObjectPool<LayerElement_ParticleSystem> s_particleSystems;
ObjectPool<LayerElement_Tile> s_tiles;

template <typename T>
T* TakeElement(ObjectPool<T>& pool)
{
    T* element = pool.Take();
    if (element) element->kind = T::kKind;
    return element;
}

void FreeUnlessGameData(void* block)
{
    if (block && !GameData_Contains(block)) QS_FREE(block);
}

// The bound instance element of this instance on that layer, other than skip.
LayerElement_Instance* BoundElementOn(RoomLayer* layer, const CInstance* instance, const LayerElement* skip)
{
    for (LayerElement* e = layer->first; e; e = e->next) {
        if (e == skip || e->kind != LAYER_ELEMENT_INSTANCE) continue;
        auto* candidate = static_cast<LayerElement_Instance*>(e);
        if (candidate->instance == instance) return candidate;
    }
    return nullptr;
}

// Links a layer before `before` (at the end when null).
void LinkLayerBefore(RoomLayers& layers, RoomLayer* layer, RoomLayer* before)
{
    layer->next = before;
    layer->prev = before ? before->prev : layers.last;
    (layer->prev ? layer->prev->next : layers.first) = layer;
    (before ? before->prev : layers.last) = layer;
    ++layers.count;
}

// Appends every element of from to the end of into, giving them into as their layer.
void MergeLayer(CGameRoom* room, RoomLayer* from, RoomLayer* into)
{
    for (LayerElement* e = from->first; e; e = e->next) {
        e->layer = into;
        if (e->kind == LAYER_ELEMENT_INSTANCE) {
            if (CInstance* instance = static_cast<LayerElement_Instance*>(e)->instance) instance->layer = into->id;
        }
    }
    if (from->first) {
        from->first->prev = into->last;
        (into->last ? into->last->next : into->first) = from->first;
        into->last = from->last;
        into->count += from->count;
    }
    from->first = from->last = nullptr;
    from->count = 0;
    Layer_UnlinkLayer(room, from);
    room->layers.layerMap.Delete(from->id);
    Layer_ReturnLayer(from);
}
}  // namespace

// ---------------------------------------------------------------- records

void Layer_SetUpPools()
{
    static bool done = false;
    if (done) return;
    done = true;
    s_layers.SetUp(32);
    s_backgrounds.SetUp(32);
    s_instances.SetUp(256);
    s_sprites.SetUp(64);
    s_tilemaps.SetUp(32);
    s_particleSystems.SetUp(32);
    s_tiles.SetUp(1024);
    delete LayerScriptInstance;
    LayerScriptInstance = nullptr;
    TilemapGlobalMask = 0x7FFFFFFFu;
}

RoomLayer* Layer_NewLayer()
{
    return s_layers.Take();
}

LayerElement_Background* Layer_NewBackgroundElement()
{
    LayerElement_Background* element = TakeElement(s_backgrounds);
    if (!element) return nullptr;
    element->data = static_cast<LayerBackgroundData*>(QS_ALLOC(sizeof(LayerBackgroundData), true));
    if (!element->data) {
        s_backgrounds.Return(element);
        return nullptr;
    }
    element->data->xscale = element->data->yscale = 1;
    element->data->alpha = 1;
    return element;
}

LayerElement_Instance* Layer_NewInstanceElement()
{
    return TakeElement(s_instances);
}

LayerElement_Sprite* Layer_NewSpriteElement()
{
    return TakeElement(s_sprites);
}

LayerElement_Tilemap* Layer_NewTilemapElement()
{
    return TakeElement(s_tilemaps);
}

LayerElement_ParticleSystem* Layer_NewParticleSystemElement()
{
    return TakeElement(s_particleSystems);
}

LayerElement_Tile* Layer_NewTileElement()
{
    return TakeElement(s_tiles);
}

void Layer_ReturnElement(LayerElement* element)
{
    switch (element->kind) {
    case LAYER_ELEMENT_BACKGROUND: {
        auto* background = static_cast<LayerElement_Background*>(element);
        QS_FREE(background->data);
        s_backgrounds.Return(background);
        break;
    }
    case LAYER_ELEMENT_INSTANCE:
        s_instances.Return(static_cast<LayerElement_Instance*>(element));
        break;
    case LAYER_ELEMENT_SPRITE:
        s_sprites.Return(static_cast<LayerElement_Sprite*>(element));
        break;
    case LAYER_ELEMENT_TILEMAP: {
        auto* tilemap = static_cast<LayerElement_Tilemap*>(element);
        FreeUnlessGameData(tilemap->cells);
        s_tilemaps.Return(tilemap);
        break;
    }
    case LAYER_ELEMENT_PARTICLE_SYSTEM:
        s_particleSystems.Return(static_cast<LayerElement_ParticleSystem*>(element));
        break;
    case LAYER_ELEMENT_TILE:
        s_tiles.Return(static_cast<LayerElement_Tile*>(element));
        break;
    default:
        break;
    }
}

void Layer_ReturnLayer(RoomLayer* layer)
{
    // Elements still linked go with the layer.
    while (LayerElement* element = layer->first) {
        Layer_UnlinkElement(layer, element);
        Layer_ReturnElement(element);
    }
    FreeUnlessGameData(layer->name);
    s_layers.Return(layer);
}

void Layer_LinkElementFront(RoomLayer* layer, LayerElement* element)
{
    element->prev = nullptr;
    element->next = layer->first;
    (layer->first ? layer->first->prev : layer->last) = element;
    layer->first = element;
    element->layer = layer;
    ++layer->count;
}

void Layer_LinkElementBack(RoomLayer* layer, LayerElement* element)
{
    element->next = nullptr;
    element->prev = layer->last;
    (layer->last ? layer->last->next : layer->first) = element;
    layer->last = element;
    element->layer = layer;
    ++layer->count;
}

void Layer_UnlinkElement(RoomLayer* layer, LayerElement* element)
{
    (element->prev ? element->prev->next : layer->first) = element->next;
    (element->next ? element->next->prev : layer->last) = element->prev;
    element->next = element->prev = nullptr;
    --layer->count;
}

void Layer_UnlinkLayer(CGameRoom* room, RoomLayer* layer)
{
    RoomLayers& layers = room->layers;
    (layer->prev ? layer->prev->next : layers.first) = layer->next;
    (layer->next ? layer->next->prev : layers.last) = layer->prev;
    layer->next = layer->prev = nullptr;
    --layers.count;
}

// ---------------------------------------------------------------- layers

void Layer_LinkSorted(CGameRoom* room, RoomLayer* layer)
{
    if (!room || !layer) return;
    RoomLayer* before = room->layers.first;
    while (before && before->depth <= layer->depth) before = before->next;
    LinkLayerBefore(room->layers, layer, before);
    room->layers.layerMap.Insert(layer->id, layer);
}

int32_t Layer_TakeCreatedId()
{
    const int32_t highest = Layer_LastCreatedId > Layer_HighestDataId ? Layer_LastCreatedId : Layer_HighestDataId;
    if (highest == INT32_MAX) return -1;
    Layer_LastCreatedId = highest + 1;
    return Layer_LastCreatedId;
}

RoomLayer* Layer_Create(CGameRoom* room, int32_t depth, const char* name)
{
    if (!room) return nullptr;
    const int32_t id = Layer_TakeCreatedId();
    if (id < 0) {
        LogConsole->Output("No layer id is left for a new layer\n");
        return nullptr;
    }
    RoomLayer* layer = Layer_NewLayer();
    if (!layer) return nullptr;
    layer->id = id;
    layer->depth = depth;
    if (name) layer->name = DupString(name);
    Layer_LinkSorted(room, layer);
    return layer;
}

RoomLayer* Layer_CreateDynamic(CGameRoom* room, int32_t depth)
{
    RoomLayer* layer = Layer_Create(room, depth, nullptr);
    if (layer) layer->dynamic = true;
    return layer;
}

RoomLayer* Layer_FindByID(CGameRoom* room, int32_t id)
{
    return room ? room->layers.layerMap.Find(id) : nullptr;
}

RoomLayer* Layer_FindByName(CGameRoom* room, const char* name)
{
    if (!room || !name) return nullptr;
    for (RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        if (layer->name && strcasecmp(layer->name, name) == 0) return layer;
    }
    return nullptr;
}

RoomLayer* Layer_FindAtDepth(CGameRoom* room, int32_t depth, bool dynamicOnly)
{
    if (!room) return nullptr;
    for (RoomLayer* layer = room->layers.first; layer && layer->depth <= depth; layer = layer->next) {
        if (layer->depth == depth && (!dynamicOnly || layer->dynamic)) return layer;
    }
    return nullptr;
}

void Layer_SetDepth(CGameRoom* room, RoomLayer* layer, int32_t depth, bool merge)
{
    if (!room || !layer || layer->depth == depth) return;
    const bool smaller = depth < layer->depth;
    layer->depth = depth;
    RoomLayers& layers = room->layers;
    if (smaller) {
        RoomLayer* after = layer->prev;
        while (after && after->depth >= depth) after = after->prev;
        if (after == layer->prev) return;
        Layer_UnlinkLayer(room, layer);
        LinkLayerBefore(layers, layer, after ? after->next : layers.first);
        return;
    }
    for (RoomLayer* other = layer->next; other; other = other->next) {
        if (other->depth > depth) {
            if (other->prev == layer) return;
            Layer_UnlinkLayer(room, layer);
            LinkLayerBefore(layers, layer, other);
            return;
        }
        if (other->depth == depth && merge && other->dynamic && layer->dynamic) {
            MergeLayer(room, layer, other);
            return;
        }
    }
    if (layers.last == layer) return;
    Layer_UnlinkLayer(room, layer);
    LinkLayerBefore(layers, layer, nullptr);
}

void Layer_Destroy(CGameRoom* room, int32_t id)
{
    RoomLayer* layer = Layer_FindByID(room, id);
    if (!layer) return;
    while (LayerElement* element = layer->first) Layer_RemoveElement(room, layer, element, true);
    Layer_UnlinkLayer(room, layer);
    room->layers.layerMap.Delete(layer->id);
    Layer_ReturnLayer(layer);
}

// ---------------------------------------------------------------- elements

int32_t Layer_AddElement(CGameRoom* room, RoomLayer* layer, LayerElement* element, bool resolveNow)
{
    if (!room || !layer || !element) return -1;
    element->id = Layer_NextElementId++;
    Layer_LinkElementFront(layer, element);
    room->layers.elementMap.Insert(element->id, element);
    if (element->kind == LAYER_ELEMENT_INSTANCE) {
        auto* instanceElement = static_cast<LayerElement_Instance*>(element);
        room->layers.instanceMap.Insert(instanceElement->instanceId, instanceElement);
    }
    if (resolveNow) Layer_ResolveElement(room, layer, element);
    return element->id;
}

int32_t Layer_AddElementAtDepth(CGameRoom* room, int32_t depth, LayerElement* element, bool resolveNow,
                                bool dynamic)
{
    if (!room || !element) return -1;
    RoomLayer* layer = Layer_FindAtDepth(room, depth, dynamic);
    if (!layer) {
        if (!dynamic) return -1;
        layer = Layer_CreateDynamic(room, depth);
    }
    return Layer_AddElement(room, layer, element, resolveNow);
}

void Layer_ResolveElement(CGameRoom* room, RoomLayer* layer, LayerElement* element)
{
    if (!element || element->ready || element->kind < 1 || element->kind > 7) return;
    if (element->kind != LAYER_ELEMENT_INSTANCE) {
        element->ready = true;
        return;
    }
    auto* instanceElement = static_cast<LayerElement_Instance*>(element);
    CInstance* instance = Instance_Find(instanceElement->instanceId);
    if (!instance) return;
    if (instance->m_onLayer && room) {
        if (RoomLayer* current = Layer_FindByID(room, instance->layer)) {
            if (LayerElement_Instance* other = BoundElementOn(current, instance, element)) {
                if (room->layers.lastFound == other) room->layers.lastFound = nullptr;
                room->layers.elementMap.Delete(other->id);
                Layer_UnlinkElement(current, other);
                Layer_ReturnElement(other);
            }
        }
    }
    if (room) room->layers.instanceMap.Insert(instanceElement->instanceId, instanceElement);
    instanceElement->instance = instance;
    RoomLayer* home = element->layer ? element->layer : layer;
    instance->layer = home ? home->id : -1;
    instance->m_onLayer = true;
    element->ready = true;
}

void Layer_UnresolveElement(LayerElement* element)
{
    if (!element) return;
    if (element->kind == LAYER_ELEMENT_INSTANCE) {
        auto* instanceElement = static_cast<LayerElement_Instance*>(element);
        // Only the instance this element holds is released: an unbound element
        // of a room that is not running must not touch a live instance of that id.
        if (instanceElement->instance && Instance_Find(instanceElement->instanceId) == instanceElement->instance) {
            instanceElement->instance->m_onLayer = false;
            instanceElement->instance->layer = -1;
        }
        instanceElement->instance = nullptr;
    }
    element->ready = false;
}

LayerElement* Layer_FindElement(CGameRoom* room, int32_t id, RoomLayer** layer)
{
    if (!room) return nullptr;
    LayerElement* element = room->layers.lastFound;
    if (!element || element->id != id) {
        element = room->layers.elementMap.Find(id);
        if (!element) return nullptr;
        room->layers.lastFound = element;
    }
    if (layer) *layer = element->layer;
    return element;
}

LayerElement* Layer_FindElementInLayer(RoomLayer* layer, int32_t id)
{
    if (!layer) return nullptr;
    for (LayerElement* element = layer->first; element; element = element->next) {
        if (element->id == id) return element;
    }
    return nullptr;
}

LayerElement* Layer_FindElementByName(RoomLayer* layer, const char* name)
{
    if (!layer || !name) return nullptr;
    for (LayerElement* element = layer->first; element; element = element->next) {
        if (element->name && strcasecmp(element->name, name) == 0) return element;
    }
    return nullptr;
}

void Layer_MoveElement(CGameRoom* room, LayerElement* element, RoomLayer* target)
{
    if (!room || !element || !target || element->layer == target) return;
    if (element->layer) Layer_UnlinkElement(element->layer, element);
    CInstance* instance = nullptr;
    if (element->kind == LAYER_ELEMENT_INSTANCE) {
        instance = static_cast<LayerElement_Instance*>(element)->instance;
        if (instance) {
            instance->layer = target->id;
            instance->m_onLayer = true;
        }
    }
    Layer_LinkElementFront(target, element);
    if (instance) Layer_UpdateInstanceActivation(room, instance);
}

void Layer_RemoveElement(CGameRoom* room, RoomLayer* layer, LayerElement* element, bool destroyInstance)
{
    if (!room || !layer || !element) return;
    room->layers.elementMap.Delete(element->id);
    if (room->layers.lastFound == element) room->layers.lastFound = nullptr;
    Layer_UnresolveElement(element);
    if (element->kind == LAYER_ELEMENT_INSTANCE) {
        const int32_t instanceId = static_cast<LayerElement_Instance*>(element)->instanceId;
        if (room->layers.instanceMap.Find(instanceId) == element) room->layers.instanceMap.Delete(instanceId);
        if (destroyInstance && instanceId != kUndestroyableInstanceId)
            Instance_DestroyByTarget(nullptr, nullptr, instanceId, true);
    }
    Layer_UnlinkElement(layer, element);
    Layer_ReturnElement(element);
}

void Layer_RemoveElementByID(CGameRoom* room, int32_t id, bool dropEmptyDynamic, bool destroyInstance)
{
    RoomLayer* layer = nullptr;
    LayerElement* element = Layer_FindElement(room, id, &layer);
    if (!element || !layer) return;
    Layer_RemoveElement(room, layer, element, destroyInstance);
    if (dropEmptyDynamic && layer->dynamic && layer->count == 0) Layer_Destroy(room, layer->id);
}
