// A room's layers through the room's life: checked and built from the room's
// layer data, made live when the room starts, released when it ends, copied
// into another room, freed, and animated once per step.
#include <cmath>
#include <cstring>
#include <type_traits>

#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "Background/Background_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"
#include "World/Room_Layers.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"

namespace {
// Layer types of the room data.
enum : int32_t {
    kLayerBackground = 1,
    kLayerInstances = 2,
    kLayerAssets = 3,
    kLayerTilemap = 4,
};
constexpr uint32_t kLayerHead = 36;
constexpr uint32_t kBackgroundRecord = kLayerHead + 40;
constexpr uint32_t kTileRecord = 48;
constexpr uint32_t kSpriteRecord = 44;

int32_t I32(const uint8_t* p, uint32_t at)
{
    return static_cast<int32_t>(GameData_U32(p + at));
}

float F32(const uint8_t* p, uint32_t at)
{
    return GameData_F32(p + at);
}

float AlphaOf(uint32_t colour)
{
    return static_cast<float>(colour >> 24) / 255.0f;
}

bool CheckName(uint32_t ref)
{
    const char* text = nullptr;
    return GameData_String("ROOM", ref, &text);
}

// A "count, then count u32 offsets" list of records of one size.
bool CheckRecordList(const uint8_t* payload, uint32_t length, uint32_t room, uint32_t listAt, uint32_t recordSize,
                     const char* what, bool named)
{
    if (listAt == 0) return true;
    if (!GameData_CheckRecord("ROOM", payload, length, listAt, 4, what, room)) return false;
    const uint32_t count = GameData_U32(GameData + listAt);
    if (count > length / 4)
        return GameData_Fail("ROOM", "room %u: %s count %u is out of range", room, what, count);
    if (!GameData_CheckRecord("ROOM", payload, length, listAt + 4, 4 * count, what, room)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = GameData_U32(GameData + listAt + 4 + 4 * i);
        if (!GameData_CheckRecord("ROOM", payload, length, at, recordSize, what, i)) return false;
        if (named && !CheckName(GameData_U32(GameData + at))) return false;
    }
    return true;
}

bool CheckLayer(const uint8_t* payload, uint32_t length, uint32_t room, uint32_t index, uint32_t at)
{
    if (at == 0) return GameData_Fail("ROOM", "room %u: layer %u has no record", room, index);
    if (!GameData_CheckRecord("ROOM", payload, length, at, kLayerHead, "layer", index)) return false;
    const uint8_t* record = GameData + at;
    if (!CheckName(GameData_U32(record))) return false;
    switch (I32(record, 8)) {
    case kLayerBackground:
        return GameData_CheckRecord("ROOM", payload, length, at, kBackgroundRecord, "background layer", index);
    case kLayerInstances: {
        if (!GameData_CheckRecord("ROOM", payload, length, at, kLayerHead + 4, "instance layer", index)) return false;
        const uint32_t count = GameData_U32(record + kLayerHead);
        if (count > length / 4)
            return GameData_Fail("ROOM", "room %u: layer %u lists %u instances, more than the chunk holds", room,
                                 index, count);
        return GameData_CheckRecord("ROOM", payload, length, at, kLayerHead + 4 + 4 * count, "instance layer", index);
    }
    case kLayerAssets:
        return GameData_CheckRecord("ROOM", payload, length, at, kLayerHead + 8, "asset layer", index) &&
               CheckRecordList(payload, length, room, GameData_U32(record + kLayerHead), kTileRecord, "tile",
                               false) &&
               CheckRecordList(payload, length, room, GameData_U32(record + kLayerHead + 4), kSpriteRecord,
                               "sprite", true);
    case kLayerTilemap: {
        if (!GameData_CheckRecord("ROOM", payload, length, at, kLayerHead + 12, "tilemap layer", index)) return false;
        const int32_t width = I32(record, kLayerHead + 4);
        const int32_t height = I32(record, kLayerHead + 8);
        const uint64_t cells = static_cast<uint64_t>(width < 0 ? 0 : width) * static_cast<uint64_t>(height < 0 ? 0 : height);
        if (width < 0 || height < 0 || cells > length / 4)
            return GameData_Fail("ROOM", "room %u: layer %u has a tilemap of %d x %d cells, more than the chunk holds",
                                 room, index, width, height);
        return GameData_CheckRecord("ROOM", payload, length, at, kLayerHead + 12 + 4 * static_cast<uint32_t>(cells),
                                    "tilemap layer", index);
    }
    default:
        return true;
    }
}

void ReadBackground(CGameRoom* room, RoomLayer* layer, const uint8_t* record)
{
    LayerElement_Background* element = Layer_NewBackgroundElement();
    if (!element) return;
    LayerBackgroundData& data = *element->data;
    const uint8_t* p = record + kLayerHead;
    data.visible = I32(p, 0) != 0;
    data.foreground = I32(p, 4) != 0;
    data.sprite = I32(p, 8);
    data.tileX = I32(p, 12) != 0;
    data.tileY = I32(p, 16) != 0;
    const uint32_t colour = GameData_U32(p + 24);
    data.blend = colour & 0xFFFFFFu;
    data.alpha = AlphaOf(colour);
    data.imageIndex = F32(p, 28);
    data.imageSpeed = F32(p, 32);
    data.speedType = I32(p, 36);
    if (I32(p, 20) != 0) {
        if (const CSprite* sprite = Sprite_Exists(data.sprite) ? Sprite_Get(data.sprite) : nullptr) {
            if (sprite->width > 0) data.xscale = static_cast<float>(room->width) / static_cast<float>(sprite->width);
            if (sprite->height > 0)
                data.yscale = static_cast<float>(room->height) / static_cast<float>(sprite->height);
        }
    }
    element->name = layer->name;
    Layer_AddElement(room, layer, element, false);
}

void ReadInstances(CGameRoom* room, RoomLayer* layer, const uint8_t* record)
{
    const uint32_t count = GameData_U32(record + kLayerHead);
    for (uint32_t i = 0; i < count; ++i) {
        LayerElement_Instance* element = Layer_NewInstanceElement();
        if (!element) return;
        element->instanceId = I32(record, kLayerHead + 4 + 4 * i);
        Layer_AddElement(room, layer, element, false);
    }
}

void ReadAssets(CGameRoom* room, RoomLayer* layer, const uint8_t* record)
{
    if (const uint32_t tilesAt = GameData_U32(record + kLayerHead)) {
        const uint32_t count = GameData_U32(GameData + tilesAt);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* t = GameData + GameData_U32(GameData + tilesAt + 4 + 4 * i);
            LayerElement_Tile* element = Layer_NewTileElement();
            if (!element) return;
            element->visible = true;
            element->x = static_cast<float>(I32(t, 0));
            element->y = static_cast<float>(I32(t, 4));
            element->source = I32(t, 8);
            element->left = I32(t, 12);
            element->top = I32(t, 16);
            element->width = I32(t, 20);
            element->height = I32(t, 24);
            element->xscale = F32(t, 36);
            element->yscale = F32(t, 40);
            const uint32_t colour = GameData_U32(t + 44);
            element->blend = colour & 0xFFFFFFu;
            element->alpha = AlphaOf(colour);
            Layer_AddElement(room, layer, element, false);
        }
    }
    if (const uint32_t spritesAt = GameData_U32(record + kLayerHead + 4)) {
        const uint32_t count = GameData_U32(GameData + spritesAt);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* s = GameData + GameData_U32(GameData + spritesAt + 4 + 4 * i);
            LayerElement_Sprite* element = Layer_NewSpriteElement();
            if (!element) return;
            const char* name = nullptr;
            GameData_String("ROOM", GameData_U32(s), &name);
            element->name = name;
            element->sprite = I32(s, 4);
            element->x = static_cast<float>(I32(s, 8));
            element->y = static_cast<float>(I32(s, 12));
            element->xscale = F32(s, 16);
            element->yscale = F32(s, 20);
            const uint32_t colour = GameData_U32(s + 24);
            element->blend = colour & 0xFFFFFFu;
            element->alpha = AlphaOf(colour);
            element->imageSpeed = F32(s, 28);
            element->speedType = I32(s, 32);
            element->imageIndex = F32(s, 36);
            element->angle = F32(s, 40);
            Layer_AddElement(room, layer, element, false);
        }
    }
}

void ReadTilemap(CGameRoom* room, RoomLayer* layer, const uint8_t* record)
{
    LayerElement_Tilemap* element = Layer_NewTilemapElement();
    if (!element) return;
    element->tileset = I32(record, kLayerHead);
    element->width = I32(record, kLayerHead + 4);
    element->height = I32(record, kLayerHead + 8);
    // The cells stay in the game data, which is never written.
    element->cells = reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(record + kLayerHead + 12));
    element->name = layer->name;
    Layer_AddElement(room, layer, element, false);
}

template <typename T>
T* CopyElement(const LayerElement* from, T* (*make)())
{
    T* to = make();
    if (to) {
        const uint32_t kind = to->kind;
        LayerBackgroundData* keep = nullptr;
        if constexpr (std::is_same_v<T, LayerElement_Background>) keep = to->data;
        *to = *static_cast<const T*>(from);
        to->kind = kind;
        if constexpr (std::is_same_v<T, LayerElement_Background>) to->data = keep;
        to->next = to->prev = nullptr;
        to->layer = nullptr;
        to->ready = false;
    }
    return to;
}

LayerElement* CopyOf(const LayerElement* from)
{
    switch (from->kind) {
    case LAYER_ELEMENT_BACKGROUND: {
        const auto* source = static_cast<const LayerElement_Background*>(from);
        if (!source->data) return nullptr;
        LayerElement_Background* to = CopyElement(from, &Layer_NewBackgroundElement);
        if (to) *to->data = *source->data;
        return to;
    }
    case LAYER_ELEMENT_INSTANCE: {
        LayerElement_Instance* to = CopyElement(from, &Layer_NewInstanceElement);
        if (to) to->instance = nullptr;
        return to;
    }
    case LAYER_ELEMENT_SPRITE:
        return CopyElement(from, &Layer_NewSpriteElement);
    case LAYER_ELEMENT_PARTICLE_SYSTEM:
        return CopyElement(from, &Layer_NewParticleSystemElement);
    case LAYER_ELEMENT_TILE:
        return CopyElement(from, &Layer_NewTileElement);
    case LAYER_ELEMENT_TILEMAP: {
        const auto* source = static_cast<const LayerElement_Tilemap*>(from);
        LayerElement_Tilemap* to = CopyElement(from, &Layer_NewTilemapElement);
        if (!to) return nullptr;
        to->mask = 0x7FFFFFFFu;
        to->cells = nullptr;
        const size_t cells = source->width > 0 && source->height > 0
                                 ? static_cast<size_t>(source->width) * static_cast<size_t>(source->height)
                                 : 0;
        if (cells > 0 && source->cells) {
            to->cells = static_cast<uint32_t*>(QS_ALLOC(cells * 4, false));
            if (to->cells)
                std::memcpy(to->cells, source->cells, cells * 4);
            else
                to->width = to->height = 0;
        }
        return to;
    }
    default:
        return nullptr;
    }
}

// One step of an animated image index; n frames of the sprite (1 for a skeleton, 0 when none).
float AdvanceIndex(float index, float speed, int32_t speedType, double fps, int32_t sprite)
{
    if (speedType == 1)
        index += speed;
    else if (fps != 0)
        index = static_cast<float>(index + speed / fps);
    const CSprite* image = Sprite_Exists(sprite) ? Sprite_Get(sprite) : nullptr;
    const int32_t frames = !image ? 0 : image->kind == SPRITE_KIND_SKELETON ? 1 : image->frameCount;
    if (index >= static_cast<float>(frames))
        index -= static_cast<float>(frames);
    else if (index < 0)
        index += static_cast<float>(frames);
    return index;
}
}  // namespace

bool Layer_CheckRoomLayers(const uint8_t* payload, uint32_t length, uint32_t roomIndex, uint32_t listAt)
{
    if (listAt == 0) return true;
    if (!GameData_CheckRecord("ROOM", payload, length, listAt, 4, "layer list", roomIndex)) return false;
    const uint32_t count = GameData_U32(GameData + listAt);
    if (count > length / 4)
        return GameData_Fail("ROOM", "room %u: layer count %u is out of range", roomIndex, count);
    if (!GameData_CheckRecord("ROOM", payload, length, listAt + 4, 4 * count, "layer list", roomIndex)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (!CheckLayer(payload, length, roomIndex, i, GameData_U32(GameData + listAt + 4 + 4 * i))) return false;
    }
    return true;
}

void Layer_ReadRoomLayers(CGameRoom* room, const uint8_t* list)
{
    if (!room || !list) return;
    Layer_SetUpPools();
    const uint32_t count = GameData_U32(list);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* record = GameData + GameData_U32(list + 4 + 4 * i);
        RoomLayer* layer = Layer_NewLayer();
        if (!layer) return;
        const char* name = nullptr;
        GameData_String("ROOM", GameData_U32(record), &name);
        layer->name = const_cast<char*>(name);
        layer->id = I32(record, 4);
        layer->depth = I32(record, 12);
        layer->x = F32(record, 16);
        layer->y = F32(record, 20);
        layer->hspeed = F32(record, 24);
        layer->vspeed = F32(record, 28);
        layer->visible = I32(record, 32) != 0;
        switch (I32(record, 8)) {
        case kLayerBackground:
            ReadBackground(room, layer, record);
            break;
        case kLayerInstances:
            ReadInstances(room, layer, record);
            break;
        case kLayerAssets:
            ReadAssets(room, layer, record);
            break;
        case kLayerTilemap:
            ReadTilemap(room, layer, record);
            break;
        default:
            break;
        }
        Layer_LinkSorted(room, layer);
        if (layer->id > Layer_HighestDataId) Layer_HighestDataId = layer->id;
    }
}

void Layer_StartRoom(CGameRoom* room)
{
    if (!LayerMode || !room) return;
    for (RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        layer->timer.Reset();
        // Resolving may drop another element of the same instance, so the
        // successor is read afterwards; the resolved element itself stays.
        for (LayerElement* element = layer->first; element; element = element->next) {
            if (!element->ready) Layer_ResolveElement(room, layer, element);
        }
    }
    Hash<CInstance>& table = Instance_IdTable();
    for (int32_t b = 0; table.buckets && b <= table.mask; ++b) {
        for (auto* node = table.buckets[b].first; node; node = node->next) Layer_AddInstanceToDefault(room, node->value);
    }
    if (!LayerScriptInstance) LayerScriptInstance = new CInstance(0, 0, 0, -1, false);
    for (RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        // Deactivated instances go to the end, each once, keeping their order.
        LayerElement* stop = nullptr;
        for (LayerElement* element = layer->first; element && element != stop;) {
            LayerElement* next = element->next;
            const auto* instanceElement = static_cast<const LayerElement_Instance*>(element);
            if (element->kind == LAYER_ELEMENT_INSTANCE && instanceElement->instance &&
                instanceElement->instance->m_deactivated) {
                Layer_UnlinkElement(layer, element);
                Layer_LinkElementBack(layer, element);
                if (!stop) stop = element;
            }
            element = next;
        }
    }
}

void Layer_UnresolveAll(CGameRoom* room)
{
    if (!room) return;
    for (RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        for (LayerElement* element = layer->first; element; element = element->next) Layer_UnresolveElement(element);
    }
    delete LayerScriptInstance;
    LayerScriptInstance = nullptr;
}

void Layer_FreeAll(CGameRoom* room)
{
    if (!room) return;
    RoomLayers& layers = room->layers;
    while (RoomLayer* layer = layers.first) {
        while (LayerElement* element = layer->first) Layer_RemoveElement(room, layer, element, false);
        Layer_UnlinkLayer(room, layer);
        Layer_ReturnLayer(layer);
    }
    layers.lastFound = nullptr;
    layers.layerMap.Free();
}

void Layer_FreeMaps(CGameRoom* room)
{
    if (!room) return;
    room->layers.layerMap.Reset();
    room->layers.elementMap.Reset();
    room->layers.instanceMap.Reset();
    room->layers.lastFound = nullptr;
}

void Layer_CopyRoomLayers(CGameRoom* destination, const CGameRoom* source)
{
    if (!destination || !source) return;
    Layer_FreeAll(destination);
    RoomLayers& to = destination->layers;
    to.layerMap.Init(to.layerMap.capacity);
    to.elementMap.Init(to.elementMap.capacity);
    to.instanceMap.Init(to.instanceMap.capacity);
    for (const RoomLayer* from = source->layers.first; from; from = from->next) {
        RoomLayer* layer = Layer_NewLayer();
        if (!layer) return;
        layer->id = from->id;
        layer->depth = from->depth;
        layer->x = from->x;
        layer->y = from->y;
        layer->hspeed = from->hspeed;
        layer->vspeed = from->vspeed;
        layer->visible = from->visible;
        layer->beginScript = from->beginScript;
        layer->endScript = from->endScript;
        layer->shader = from->shader;
        layer->name = from->name && !GameData_Contains(from->name) ? DupString(from->name) : from->name;
        for (const LayerElement* element = from->first; element; element = element->next) {
            LayerElement* copy = CopyOf(element);
            if (!copy) continue;
            Layer_LinkElementBack(layer, copy);
            to.elementMap.Insert(copy->id, copy);
            if (copy->kind == LAYER_ELEMENT_INSTANCE) {
                auto* instanceElement = static_cast<LayerElement_Instance*>(copy);
                to.instanceMap.Insert(instanceElement->instanceId, instanceElement);
            }
        }
        layer->prev = to.last;
        layer->next = nullptr;
        (to.last ? to.last->next : to.first) = layer;
        to.last = layer;
        ++to.count;
        to.layerMap.Insert(layer->id, layer);
    }
}

void Layer_AnimateRoom(CGameRoom* room, double fps)
{
    if (!room) return;
    for (RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        layer->x += layer->hspeed;
        layer->y += layer->vspeed;
        for (LayerElement* element = layer->first; element; element = element->next) {
            if (element->kind == LAYER_ELEMENT_INSTANCE) {
                const CInstance* instance = static_cast<LayerElement_Instance*>(element)->instance;
                if (instance && instance->m_deactivated) break;
            } else if (element->kind == LAYER_ELEMENT_BACKGROUND) {
                LayerBackgroundData* data = static_cast<LayerElement_Background*>(element)->data;
                if (data)
                    data->imageIndex = AdvanceIndex(data->imageIndex, data->imageSpeed, data->speedType, fps, data->sprite);
            } else if (element->kind == LAYER_ELEMENT_SPRITE) {
                auto* sprite = static_cast<LayerElement_Sprite*>(element);
                sprite->imageIndex =
                    AdvanceIndex(sprite->imageIndex, sprite->imageSpeed, sprite->speedType, fps, sprite->sprite);
            } else if (element->kind == LAYER_ELEMENT_TILEMAP) {
                auto* tilemap = static_cast<LayerElement_Tilemap*>(element);
                uint64_t frameTime = 0;
                int32_t frames = 0;
                if (Background_GetTileAnimation(tilemap->tileset, &frameTime, &frames) && frameTime > 0 &&
                    frames > 0 && fps != 0) {
                    const double frame = tilemap->frame + (1000000.0 / static_cast<double>(frameTime)) / fps;
                    tilemap->frame = static_cast<float>(std::fmod(frame, static_cast<double>(frames)));
                }
            }
        }
    }
}
