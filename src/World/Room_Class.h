#pragma once
// The room record: a room definition of the room table, or the live room made
// from one when it starts. Holds the room's settings, 8 backgrounds, 8 views,
// its instance and tile definitions (copied from the "ROOM" record), its
// active and deactivated instances and its live tiles.
#include <cstdint>

#include "Base/Array.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Layers.h"

class CCode;
class CInstance;
class IBuffer;
class PhysicsWorld;

constexpr int32_t ROOM_BACKGROUNDS = 8;
constexpr int32_t ROOM_VIEWS = 8;
// Bytes of a "ROOM" record up to its layer-list word.
constexpr uint32_t ROOM_RECORD_SIZE = 92;

struct RoomBackground {
    bool visible = false;
    bool foreground = false;
    int32_t index = -1;
    float x = 0, y = 0;
    bool tileX = true, tileY = true;
    float hspeed = 0, vspeed = 0;
    float xscale = 1, yscale = 1;
    int32_t blend = 0xFFFFFF;
    float alpha = 1;
};

struct RoomView {
    bool visible = false;
    float viewX = 0, viewY = 0, viewWidth = 640, viewHeight = 480;
    int32_t portX = 0, portY = 0, portWidth = 640, portHeight = 480;
    float angle = 0;
    int32_t borderH = 32, borderV = 32;
    int32_t hspeed = -1, vspeed = -1;
    int32_t followObject = -1;
    int32_t spare = -1;  // surface the view draws into (view_surface_id), -1 none
    int32_t camera = -1;
};

// A 36-byte instance record of the room format; creationCode is the position
// of the code entry made for it (the record's CODE index is replaced on reading).
struct RoomInstanceDef {
    int32_t x, y, objectIndex, id, creationCode;
    float xscale, yscale;
    uint32_t colour;  // low 24 bits blend, top 8 bits alpha x 255
    float angle;
};
static_assert(sizeof(RoomInstanceDef) == 36, "room format");

// A 48-byte tile record of the room format.
struct RoomTileDef {
    int32_t x, y, background, left, top, width, height, depth, id;
    float xscale, yscale;
    uint32_t colour;
};
static_assert(sizeof(RoomTileDef) == 48, "room format");

// A definition list: absent, or present with its records.
template <typename T>
struct RoomDefList {
    bool present = false;
    cARRAY_STRUCTURE<T> records;

    void Free()
    {
        present = false;
        records.Resize(0);
    }
};

struct STile {
    float x, y;
    int32_t background;
    int32_t left, top, width, height;
    float depth;
    int32_t id;
    float xscale, yscale;
    int32_t blend;
    float alpha;
    bool visible;
};

class CGameRoom {
public:
    CGameRoom();
    ~CGameRoom();
    CGameRoom(const CGameRoom&) = delete;
    CGameRoom& operator=(const CGameRoom&) = delete;

    void Clear();
    // Fills the room from a checked "ROOM" record; the game data is only read.
    bool Load(const uint8_t* record, const uint8_t* base);
    void SetName(const char* text);
    void CreateEmptyDefinition();
    void CleanUpPersistent();
    // An owned record of the room layout, zero but for the speed and the two
    // list words, that becomes the room's definition.
    void MakePrivateDefinition(int32_t definitionSpeed);

    // Room contents at run time.
    CInstance* CreateInstance(float x, float y, int32_t objectIndex);
    CInstance* CreateInstanceOnLayerId(float x, float y, int32_t layerId, int32_t objectIndex);
    // On exactly that layer of this room; null for no layer.
    CInstance* CreateInstanceOnLayer(float x, float y, RoomLayer* layer, int32_t objectIndex);
    // The instance takes the depth before it joins the depth-ordered list.
    CInstance* CreateInstanceAtDepth(float x, float y, float depth, int32_t objectIndex);
    void DeleteInstance(CInstance* instance);
    void DeleteActiveInstances();
    void DeleteDeactivatedInstances();
    void RemoveMarkedInstances();
    // Moves instances whose deactivated flag changed between the two lists.
    void UpdateActiveLists();
    int32_t AddInstanceDef(float x, float y, int32_t objectIndex);
    int32_t AddTileDef(int32_t background, int32_t left, int32_t top, int32_t width, int32_t height, float x, float y,
                       int32_t depth, float xscale, float yscale, uint32_t colour);
    void ClearTileDefs();
    // tile_add: a copy with the next tile id; its index, -1 when out of memory.
    int32_t AddTile(const STile& tile);
    // A copy keeping its id; its index, -1 when out of memory.
    int32_t AppendTile(const STile& tile);
    void DeleteTile(int32_t index);
    int32_t FindTile(int32_t id);
    int32_t FindTileAt(float depth, float x, float y) const;
    void DeleteTilesAt(float depth, float x, float y);
    void DeleteTileLayer(float depth);
    void HideTileLayer(float depth);
    void ShowTileLayer(float depth);
    void ShiftTileLayer(float depth, float dx, float dy);
    void SetTileLayerDepth(float depth, float newDepth);
    void SortTiles();
    void ScrollBackgrounds();
    void UpdateLayerAnimation();

    // The room record of a saved game (Room_Save.cpp). Reading fills a fresh
    // room that is not running: its instances join no list, table or layer.
    // False when the data ends early, a count cannot fit or an instance id
    // appears twice.
    void WriteSave(IBuffer* buffer);
    bool ReadSave(IBuffer* buffer);
    // Deletes the instances and forgets the view cameras of a room that a
    // load discards (a room read by ReadSave, or one the load replaces): no
    // clean-up event runs and no camera is destroyed with the room.
    void DiscardLoaded();

    int32_t lastFoundTile = -1;
    CGameRoom* self;
    char* caption = nullptr;
    int32_t speed = 30;
    int32_t width = 640, height = 480;
    bool persistent = false;
    uint32_t colour = 0xC0C0C0;
    bool showColour = true;
    RoomBackground backgrounds[ROOM_BACKGROUNDS];
    bool enableViews = false;
    bool clearViewBackground = false;
    bool clearDisplayBuffer = false;
    RoomView views[ROOM_VIEWS];
    char* creationCodeName = nullptr;
    CCode* creationCode = nullptr;  // shared with copies; the code-entry table owns it
    bool physicsWorld = false;
    int32_t gravityX = 0, gravityY = 0;
    float pixelsToMetres = 0;
    int32_t formatNumber = 0;  // bits 16-31 of the record's flags
    InstanceDepthList activeInstances;
    InstanceDepthList deactivatedInstances;
    cARRAY_STRUCTURE<int32_t> createdIds;
    const uint8_t* definition = nullptr;  // the ROOM record, or the private one
    const uint8_t* definitionBase = nullptr;
    PhysicsWorld* physics = nullptr;  // owned
    int32_t tileCount = 0, tileCapacity = 0;
    STile* tiles = nullptr;
    RoomDefList<RoomTileDef> tileDefs;
    RoomDefList<RoomInstanceDef> instanceDefs;
    char* name = nullptr;
    bool runtimeMade = false;
    uint8_t* privateDefinition = nullptr;  // owned by runtime-made rooms
    RoomLayers layers;

private:
    // A new instance joins the room's lists, the id table, the given layer (its
    // own or the default one when null) and the collision index.
    CInstance* AddNewInstance(CInstance* instance, RoomLayer* layer = nullptr);
    void DeleteInstances(InstanceDepthList& list);
    void FreeTiles();
    void RemoveTileAt(int32_t index);
};

// Fills destination from the source's definition; instantiate makes its instances and tiles.
void Room_CopyDefinition(CGameRoom* destination, const CGameRoom* source, bool instantiate);
// The pointer lies inside the loaded game data.
bool GameData_Contains(const void* pointer);

// The id counters: a new instance or tile takes the counter plus one.
extern int32_t Room_LastInstanceId;
extern int32_t Room_LastTileId;
// Instances marked for destruction since the last removal.
extern int32_t MarkedInstanceCount;

// The room that runs, null before the game starts.
extern CGameRoom* Run_Room;

// One step of an animated image index: by speed per step (speed type 1) or
// per second at fps; wrapped once into 0..frames.
double Room_AdvanceImageIndex(double index, double speed, int32_t speedType, double fps, int32_t frames);
