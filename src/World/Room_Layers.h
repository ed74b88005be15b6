#pragma once
// Room layers: the depth-sorted layers of a room and their elements
// (backgrounds, instances, sprites, tilemaps, particle systems, single tiles),
// the pools the records are recycled through, the room's id maps, and the
// bookkeeping that keeps every instance of the running room on one layer.
#include <cstdint>

#include "Base/Timing.h"
#include "World/Room_LayerMap.h"

class CGameRoom;
class CInstance;
class IBuffer;

enum LayerElementKind : uint32_t {
    LAYER_ELEMENT_BACKGROUND = 1,
    LAYER_ELEMENT_INSTANCE = 2,
    LAYER_ELEMENT_SPRITE = 4,
    LAYER_ELEMENT_TILEMAP = 5,
    LAYER_ELEMENT_PARTICLE_SYSTEM = 6,
    LAYER_ELEMENT_TILE = 7,
};

struct RoomLayer;

// The head every element begins with.
struct LayerElement {
    uint32_t kind = 0;
    int32_t id = -1;
    bool ready = false;
    const char* name = nullptr;  // borrowed: the game data's or the layer's
    RoomLayer* layer = nullptr;
    LayerElement* next = nullptr;
    LayerElement* prev = nullptr;
};

// A memory-manager block owned by its background element.
struct LayerBackgroundData {
    bool visible;
    bool foreground;  // stored and saved; drawing does not consult it
    int32_t sprite;
    bool tileX;
    bool tileY;
    float xscale;
    float yscale;
    uint32_t blend;
    float alpha;
    float imageIndex;
    float imageSpeed;
    int32_t speedType;  // 0 frames per second, 1 frames per step
};

struct LayerElement_Background : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_BACKGROUND;
    LayerBackgroundData* data = nullptr;
};

struct LayerElement_Instance : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_INSTANCE;
    int32_t instanceId = -1;
    CInstance* instance = nullptr;  // null until bound
};

struct LayerElement_Sprite : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_SPRITE;
    int32_t sprite = -1;
    float imageIndex = 0;
    float imageSpeed = 1;
    int32_t speedType = 0;
    float xscale = 1;
    float yscale = 1;
    float angle = 0;
    uint32_t blend = 0xFFFFFFFFu;
    float alpha = 1;
    float x = 0;
    float y = 0;
};

struct LayerElement_Tilemap : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_TILEMAP;
    int32_t tileset = -1;
    float x = 0;
    float y = 0;
    int32_t width = 0;   // cells
    int32_t height = 0;  // cells
    float frame = 0;
    uint32_t* cells = nullptr;  // width x height, row by row; owned unless in the game data
    uint32_t mask = 0x7FFFFFFFu;
};

struct LayerElement_ParticleSystem : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_PARTICLE_SYSTEM;
    int32_t system = -1;
};

struct LayerElement_Tile : LayerElement {
    static constexpr uint32_t kKind = LAYER_ELEMENT_TILE;
    bool visible = false;
    int32_t source = -1;
    float x = 0;
    float y = 0;
    int32_t width = 0;
    int32_t height = 0;
    float xscale = 1;
    float yscale = 1;
    float reserved = 0;  // copied and saved with the element; nothing reads it
    uint32_t blend = 0xFFFFFFFFu;
    float alpha = 1;
    int32_t left = 0;
    int32_t top = 0;
};

struct RoomLayer {
    int32_t id = -1;
    int32_t depth = 0;
    float x = 0, y = 0;
    float hspeed = 0, vspeed = 0;
    bool visible = true;
    bool dynamic = false;  // made for a depth; only such layers merge or vanish when empty
    char* name = nullptr;  // owned copy, or a pointer into the game data
    int32_t beginScript = -1;
    int32_t endScript = -1;
    int32_t shader = -1;
    FrameTimer timer;
    LayerElement* first = nullptr;  // list order = draw order
    LayerElement* last = nullptr;
    int32_t count = 0;
    RoomLayer* next = nullptr;
    RoomLayer* prev = nullptr;
};

// The layer fields a room embeds.
struct RoomLayers {
    RoomLayer* first = nullptr;  // ascending depth
    RoomLayer* last = nullptr;
    int32_t count = 0;
    LayerIdMap<RoomLayer> layerMap;
    LayerIdMap<LayerElement> elementMap;
    LayerElement* lastFound = nullptr;  // cache of Layer_FindElement
    LayerIdMap<LayerElement_Instance> instanceMap;
};

// Set by the pool set-up and tilemap_set_global_mask; the tilemap drawing
// masks every cell with it (with the tilemap's own mask).
extern uint32_t TilemapGlobalMask;
// Set by layer_force_draw_depth: every layer is drawn at LayerForcedDepth.
extern bool LayerForceDrawDepth;
extern int32_t LayerForcedDepth;
// The room index layer_set_target_room chose; -1 means the current room.
extern int32_t LayerTargetRoom;
// The dummy instance (id 0, object -1) that layer begin and end scripts run
// as: made by the room start, deleted by the room end; null outside a room.
extern CInstance* LayerScriptInstance;

// ---------------------------------------------------------------- layers and elements

// The room the layer built-ins address: the room of index LayerTargetRoom when
// the room table has one, else the current room (null when none runs).
CGameRoom* Layer_GetTargetRoom();

// The id of a new run-time layer, above every id of the data and every id
// handed out before; -1 once the ids have reached the largest i32.
int32_t Layer_TakeCreatedId();
// Null without a room, when memory fails or when the ids have run out.
RoomLayer* Layer_Create(CGameRoom* room, int32_t depth, const char* name);
RoomLayer* Layer_CreateDynamic(CGameRoom* room, int32_t depth);
void Layer_LinkSorted(CGameRoom* room, RoomLayer* layer);
RoomLayer* Layer_FindByID(CGameRoom* room, int32_t id);
// Ignoring letter case; null for a null text or no match.
RoomLayer* Layer_FindByName(CGameRoom* room, const char* name);
RoomLayer* Layer_FindAtDepth(CGameRoom* room, int32_t depth, bool dynamicOnly);
void Layer_SetDepth(CGameRoom* room, RoomLayer* layer, int32_t depth, bool merge);
// Removes every element (instances destroyed) and the layer; unknown ids do nothing.
void Layer_Destroy(CGameRoom* room, int32_t id);
// The element id, -1 when a pointer is null.
int32_t Layer_AddElement(CGameRoom* room, RoomLayer* layer, LayerElement* element, bool resolveNow);
int32_t Layer_AddElementAtDepth(CGameRoom* room, int32_t depth, LayerElement* element, bool resolveNow,
                                bool dynamic);
void Layer_ResolveElement(CGameRoom* room, RoomLayer* layer, LayerElement* element);
void Layer_UnresolveElement(LayerElement* element);
LayerElement* Layer_FindElement(CGameRoom* room, int32_t id, RoomLayer** layer);
LayerElement* Layer_FindElementInLayer(RoomLayer* layer, int32_t id);
LayerElement* Layer_FindElementByName(RoomLayer* layer, const char* name);
void Layer_MoveElement(CGameRoom* room, LayerElement* element, RoomLayer* target);
void Layer_RemoveElement(CGameRoom* room, RoomLayer* layer, LayerElement* element, bool destroyInstance);
void Layer_RemoveElementByID(CGameRoom* room, int32_t id, bool dropEmptyDynamic, bool destroyInstance);
LayerElement_ParticleSystem* Layer_NewParticleSystemElement();

// Fresh elements from their pools, not yet on any layer; a background element
// comes with its zero-filled data block (scales and alpha 1).
LayerElement_Background* Layer_NewBackgroundElement();
LayerElement_Instance* Layer_NewInstanceElement();
LayerElement_Sprite* Layer_NewSpriteElement();
LayerElement_Tilemap* Layer_NewTilemapElement();
LayerElement_Tile* Layer_NewTileElement();

// Record helpers shared by the layer modules: a pooled layer, returning an
// element (its owned data freed) or a layer (its owned name freed, elements
// left to the caller), and the links of a layer's element list.
RoomLayer* Layer_NewLayer();
void Layer_ReturnElement(LayerElement* element);
void Layer_ReturnLayer(RoomLayer* layer);
void Layer_LinkElementFront(RoomLayer* layer, LayerElement* element);
void Layer_LinkElementBack(RoomLayer* layer, LayerElement* element);
void Layer_UnlinkElement(RoomLayer* layer, LayerElement* element);
// Unlinks a layer from the room's list (the layer map is left alone).
void Layer_UnlinkLayer(CGameRoom* room, RoomLayer* layer);
// Process-wide id counters.
extern int32_t Layer_HighestDataId;
extern int32_t Layer_LastCreatedId;
extern int32_t Layer_NextElementId;

// ---------------------------------------------------------------- instances on layers

void Layer_AddInstanceToDefault(CGameRoom* room, CInstance* instance);
void Layer_AddInstance(CGameRoom* room, RoomLayer* layer, CInstance* instance);
// Gives an instance made from a room definition the layer that the room's
// layer data assigns to its id; the room start binds it there.
void Layer_AddInstanceById(CGameRoom* room, CInstance* instance);
void Layer_RemoveInstance(CGameRoom* room, CInstance* instance);
void Layer_RemoveInstanceFromLayer(CGameRoom* room, RoomLayer* layer, CInstance* instance);
// By id, for a room that is not running: the instance is not touched.
void Layer_RemoveInstanceElement(CGameRoom* room, RoomLayer* layer, int32_t instanceId);
int32_t Layer_FindInstanceLayerID(CGameRoom* room, int32_t instanceId);
void Layer_UpdateInstanceDepth(CGameRoom* room, CInstance* instance);
void Layer_UpdateInstanceActivation(CGameRoom* room, CInstance* instance);

// ---------------------------------------------------------------- a room's layers

// Checks a room's layer list (absolute offset listAt) against the ROOM payload:
// every count, offset, name and record. False with a message naming the room.
bool Layer_CheckRoomLayers(const uint8_t* payload, uint32_t length, uint32_t roomIndex, uint32_t listAt);
// Builds the room's layers from a checked layer list.
void Layer_ReadRoomLayers(CGameRoom* room, const uint8_t* list);
void Layer_SetUpPools();
void Layer_StartRoom(CGameRoom* room);
void Layer_UnresolveAll(CGameRoom* room);
void Layer_FreeAll(CGameRoom* room);
// The three maps' slot arrays released, back to 128 slots each (room reset).
void Layer_FreeMaps(CGameRoom* room);
void Layer_CopyRoomLayers(CGameRoom* destination, const CGameRoom* source);
// One step of layer motion and element animation at frame rate fps.
void Layer_AnimateRoom(CGameRoom* room, double fps);

// ---------------------------------------------------------------- saved games

// Writes one layer entry of a saved room.
void Layer_Serialise(const RoomLayer* layer, IBuffer* buffer);
// Reads one layer entry; false, with a message, when the entry is cut short or
// its counts do not fit the buffer (the layer read so far stays).
bool Layer_Deserialise(CGameRoom* room, IBuffer* buffer);
