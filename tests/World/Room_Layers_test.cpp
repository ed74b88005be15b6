#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Background/Background_Main.h"
#include "World/ChunkBytes.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/Room_Layers.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "support/GameFiles.h"
#include "support/StandIns.h"
#include "support/TestBackgrounds.h"
#include "support/TestSprites.h"

namespace {
using gamedata::RoomEntry;
using gamedata::RoomLayerEntry;

constexpr uint32_t kLayerRoom = 0x00020000u;  // room format 2: the record carries a layer list

RoomLayerEntry Layer(const char* name, int32_t id, int32_t type, int32_t depth)
{
    RoomLayerEntry l;
    if (name) l.name = name;
    l.id = id;
    l.type = type;
    l.depth = depth;
    return l;
}

// Five layers of every type; one unknown type shares depth 100 with the instances.
std::vector<RoomLayerEntry> SampleLayers()
{
    RoomLayerEntry background = Layer("Background", 1, gamedata::LAYER_TYPE_BACKGROUND, 300);
    background.background.sprite = 0;
    background.background.stretch = 1;
    background.background.colour = 0x80123456u;
    background.background.speed = 2.0f;
    RoomLayerEntry instances = Layer("Instances", 2, gamedata::LAYER_TYPE_INSTANCES, 100);
    instances.instances = {100001, 100002, 100003};
    instances.hspeed = 1.5f;
    RoomLayerEntry assets = Layer("Assets", 3, gamedata::LAYER_TYPE_ASSETS, 200);
    gamedata::RoomLayerTile tile;
    tile.x = 8;
    tile.source = 0;
    tile.colour = 0x40FF0000u;
    gamedata::RoomLayerTile second = tile;
    second.x = 24;
    assets.tiles = std::vector<gamedata::RoomLayerTile>{tile, second};
    gamedata::RoomLayerSprite sprite;
    sprite.name = "tree";
    sprite.sprite = 1;
    sprite.x = 40;
    sprite.frame = 2.0f;
    sprite.rotation = 90.0f;
    assets.sprites = std::vector<gamedata::RoomLayerSprite>{sprite};
    RoomLayerEntry tilemap = Layer("Tiles", 4, gamedata::LAYER_TYPE_TILEMAP, 50);
    tilemap.tileset = 0;
    tilemap.tilemapWidth = 2;
    tilemap.tilemapHeight = 2;
    tilemap.cells = {1, 2, 3, 0x10000004u};
    return {background, instances, assets, tilemap, Layer(nullptr, 12, 9, 100)};
}

RoomEntry LayerRoom(std::vector<RoomLayerEntry> layers)
{
    RoomEntry r;
    r.name = "rm_layers";
    r.flags = kLayerRoom;
    r.instances = {{10, 20, 0, 100001}, {30, 40, 0, 100002}, {50, 60, 0, 100003}, {70, 80, 0, 100004}};
    r.layers = std::move(layers);
    return r;
}

std::vector<uint8_t> LayerGame(std::vector<std::optional<RoomEntry>> rooms)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0};
    h.lastInstanceId = 100050;
    w.Gen8(h);  // major version 2: layer mode
    // Two sprites of four frames (without images): 64 x 32 and 16 x 16.
    gamedata::SpriteEntry wide, square;
    wide.width = 64;
    wide.height = 32;
    square.width = square.height = 16;
    wide.frames = square.frames = {std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    w.Sprt({wide, square});
    gamedata::ObjectEntry o;
    o.name = "obj_thing";
    o.depth = 5;
    w.Objt({o});
    w.Room(rooms);
    return w.Finish();
}

std::vector<int32_t> Depths(const CGameRoom* room)
{
    std::vector<int32_t> out;
    for (const RoomLayer* l = room->layers.first; l; l = l->next) out.push_back(l->depth);
    return out;
}

std::vector<uint32_t> Kinds(const RoomLayer* layer)
{
    std::vector<uint32_t> out;
    for (const LayerElement* e = layer->first; e; e = e->next) out.push_back(e->kind);
    return out;
}

std::vector<int32_t> InstanceIds(const RoomLayer* layer)
{
    std::vector<int32_t> out;
    for (const LayerElement* e = layer->first; e; e = e->next)
        if (e->kind == LAYER_ELEMENT_INSTANCE) out.push_back(static_cast<const LayerElement_Instance*>(e)->instanceId);
    return out;
}

struct RoomLayers_ : ::testing::Test {
    std::vector<uint8_t> game;
    testgames::CapturedLog log;
    CGameRoom* live = nullptr;

    void SetUp() override { TestBackground_Add(16, 16); }
    void TearDown() override
    {
        Run_Room = nullptr;
        Layer_UnresolveAll(live);  // the room end, which also deletes the layer script instance
        delete live;
        testgames::Unload();  // the image is ours
    }
    void Load(std::vector<std::optional<RoomEntry>> rooms)
    {
        game = LayerGame(std::move(rooms));
        ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
        ASSERT_TRUE(LayerMode);
    }
    // The room start as the runner does it: a live copy, instantiated, then its layers started.
    CGameRoom* Start(int32_t index)
    {
        delete live;
        live = new CGameRoom();
        Room_CopyDefinition(live, Room_Get(index), true);
        Run_Room = live;
        Layer_StartRoom(live);
        return live;
    }
};

// Every instance of the room sits on exactly one layer, bound by one element,
// with the layer's id; every list count matches; deactivated elements come last.
void ExpectInvariants(CGameRoom* room)
{
    int32_t elements = 0;
    for (const RoomLayer* layer = room->layers.first; layer; layer = layer->next) {
        EXPECT_EQ(Layer_FindByID(room, layer->id), layer);
        int32_t n = 0;
        bool deactivatedSeen = false;
        for (const LayerElement* e = layer->first; e; e = e->next, ++n) {
            EXPECT_EQ(e->layer, layer);
            EXPECT_EQ(room->layers.elementMap.Find(e->id), e);
            if (e->kind != LAYER_ELEMENT_INSTANCE) continue;
            const CInstance* instance = static_cast<const LayerElement_Instance*>(e)->instance;
            if (!instance) continue;
            EXPECT_FALSE(deactivatedSeen && !instance->m_deactivated) << "live instance after a deactivated one";
            deactivatedSeen = deactivatedSeen || instance->m_deactivated;
        }
        EXPECT_EQ(n, layer->count);
        elements += n;
    }
    EXPECT_EQ(room->layers.elementMap.count, elements);
    for (InstanceDepthList* list : {&room->activeInstances, &room->deactivatedInstances}) {
        for (CInstance* instance = list->first; instance; instance = instance->m_next) {
            ASSERT_TRUE(instance->m_onLayer) << instance->id;
            const RoomLayer* layer = Layer_FindByID(room, instance->layer);
            ASSERT_NE(layer, nullptr) << instance->id;
            const LayerElement_Instance* element = room->layers.instanceMap.Find(instance->id);
            ASSERT_NE(element, nullptr);
            EXPECT_EQ(element->instance, instance);
            EXPECT_EQ(element->layer, layer);
            int32_t holders = 0;
            for (const RoomLayer* l = room->layers.first; l; l = l->next)
                for (const LayerElement* e = l->first; e; e = e->next)
                    holders += e->kind == LAYER_ELEMENT_INSTANCE &&
                               static_cast<const LayerElement_Instance*>(e)->instance == instance;
            EXPECT_EQ(holders, 1) << instance->id;
        }
    }
}

TEST_F(RoomLayers_, BuiltFromTheRoomDataWithIdsDepthsAndElementKinds)
{
    Load({LayerRoom(SampleLayers())});
    CGameRoom* room = Room_Get(0);
    ASSERT_EQ(room->layers.count, 5);
    EXPECT_EQ(Depths(room), (std::vector<int32_t>{50, 100, 100, 200, 300}));
    EXPECT_EQ(room->layers.first->next->id, 2);  // equal depths keep the file order
    EXPECT_EQ(room->layers.first->next->next->id, 12);

    RoomLayer* background = Layer_FindByName(room, "BACKGROUND");
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->id, 1);
    EXPECT_TRUE(GameData_Contains(background->name));
    ASSERT_EQ(Kinds(background), (std::vector<uint32_t>{LAYER_ELEMENT_BACKGROUND}));
    const LayerBackgroundData* data = static_cast<LayerElement_Background*>(background->first)->data;
    EXPECT_FLOAT_EQ(data->xscale, 10.0f);  // 640 x 480 room over a 64 x 32 sprite
    EXPECT_FLOAT_EQ(data->yscale, 15.0f);
    EXPECT_EQ(data->blend, 0x123456u);
    EXPECT_FLOAT_EQ(data->alpha, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(data->imageSpeed, 2.0f);
    EXPECT_STREQ(background->first->name, "Background");

    const RoomLayer* instances = Layer_FindByID(room, 2);
    EXPECT_EQ(InstanceIds(instances), (std::vector<int32_t>{100003, 100002, 100001}));
    EXPECT_FLOAT_EQ(instances->hspeed, 1.5f);
    EXPECT_FALSE(instances->first->ready);

    const RoomLayer* assets = Layer_FindByID(room, 3);
    ASSERT_EQ(Kinds(assets), (std::vector<uint32_t>{LAYER_ELEMENT_SPRITE, LAYER_ELEMENT_TILE, LAYER_ELEMENT_TILE}));
    const auto* sprite = static_cast<const LayerElement_Sprite*>(assets->first);
    EXPECT_STREQ(sprite->name, "tree");
    EXPECT_FLOAT_EQ(sprite->x, 40.0f);
    EXPECT_FLOAT_EQ(sprite->imageIndex, 2.0f);
    EXPECT_FLOAT_EQ(sprite->angle, 90.0f);
    const auto* tile = static_cast<const LayerElement_Tile*>(sprite->next);
    EXPECT_FLOAT_EQ(tile->x, 24.0f);  // the later record stands first
    EXPECT_EQ(tile->blend, 0xFF0000u);
    EXPECT_FLOAT_EQ(tile->alpha, 64.0f / 255.0f);
    EXPECT_TRUE(tile->visible);
    EXPECT_EQ(tile->name, nullptr);

    const RoomLayer* tiles = Layer_FindByID(room, 4);
    const auto* map = static_cast<const LayerElement_Tilemap*>(tiles->first);
    ASSERT_EQ(map->kind, LAYER_ELEMENT_TILEMAP);
    EXPECT_EQ(map->width, 2);
    EXPECT_EQ(map->cells[3], 0x10000004u);
    EXPECT_TRUE(GameData_Contains(map->cells));
    EXPECT_EQ(map->mask, 0x7FFFFFFFu);
    EXPECT_EQ(Layer_FindByID(room, 12)->count, 0);

    // Run-time layers take ids above every layer id of the data, never repeated.
    CGameRoom other;
    const int32_t first = Layer_Create(&other, 0, "made")->id;
    EXPECT_GT(first, 12);
    EXPECT_EQ(Layer_CreateDynamic(room, 0)->id, first + 1);
}

TEST_F(RoomLayers_, BrokenLayerDataIsRefusedWithAMessage)
{
    struct Case {
        const char* what;
        std::vector<RoomLayerEntry> layers;
        std::optional<uint32_t> layerCount;
        const char* message;
    };
    RoomLayerEntry manyInstances = Layer("Instances", 2, gamedata::LAYER_TYPE_INSTANCES, 0);
    manyInstances.instances = {100001};
    manyInstances.instanceCountOverride = 50;
    RoomLayerEntry wideMap = Layer("Tiles", 4, gamedata::LAYER_TYPE_TILEMAP, 0);
    wideMap.tilemapWidth = 1000;
    wideMap.tilemapHeight = 1000;
    wideMap.cells = {1, 2};
    RoomLayerEntry negativeMap = wideMap;
    negativeMap.tilemapWidth = -2;
    const Case cases[] = {
        {"layer count past the chunk", {Layer("A", 1, 2, 0)}, 0x40000000u, "layer count"},
        {"layer list cut short", {Layer("A", 1, 2, 0)}, 60u, "layer list"},
        {"instance count past the chunk", {manyInstances}, std::nullopt, "instance layer"},
        {"tilemap larger than its cells", {wideMap}, std::nullopt, "1000 x 1000"},
        {"negative tilemap size", {negativeMap}, std::nullopt, "-2 x 1000"},
    };
    for (const Case& c : cases) {
        RoomEntry room = LayerRoom(c.layers);
        room.layerCountOverride = c.layerCount;
        game = LayerGame({room});
        EXPECT_FALSE(testgames::LoadBoth(game)) << c.what;
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos)
            << c.what << ": " << GameData_LastError();
        testgames::Unload();
    }

    // Garbled words of a well-formed image: a layer offset of 0, a name and an asset list outside the file.
    RoomLayerEntry assets = Layer("Assets", 3, gamedata::LAYER_TYPE_ASSETS, 0);
    assets.tiles = std::vector<gamedata::RoomLayerTile>{gamedata::RoomLayerTile{}};
    const std::vector<uint8_t> good = LayerGame({LayerRoom({assets})});
    const uint32_t record = chunkbytes::Record(good, "ROOM", 0);
    const uint32_t list = chunkbytes::U32At(good, record + 88);
    const uint32_t layer = chunkbytes::U32At(good, list + 4);
    struct Patch {
        uint32_t at, value;
        const char* message;
    };
    const Patch patches[] = {
        {list + 4, 0, "has no record"},
        {layer, 0x7FFFFFF0u, "lies outside the file"},
        {layer + 36, static_cast<uint32_t>(good.size()) + 8, "tile"},
        {chunkbytes::U32At(good, layer + 36), 0x10000000u, "tile count"},
    };
    for (const Patch& p : patches) {
        game = good;
        chunkbytes::PutU32(game, p.at, p.value);
        EXPECT_FALSE(testgames::LoadBoth(game)) << p.message;
        EXPECT_NE(std::string(GameData_LastError()).find(p.message), std::string::npos) << GameData_LastError();
        testgames::Unload();
    }
}

TEST_F(RoomLayers_, RoomStartPutsEveryInstanceOnItsLayer)
{
    Load({LayerRoom(SampleLayers())});
    CGameRoom* room = Start(0);
    ASSERT_EQ(room->activeInstances.count, 4);
    const RoomLayer* instances = Layer_FindByID(room, 2);
    for (int32_t id : {100001, 100002, 100003}) {
        const CInstance* instance = Instance_Find(id);
        EXPECT_EQ(instance->layer, 2) << id;
        EXPECT_TRUE(instance->m_onLayer);
    }
    EXPECT_EQ(instances->count, 3);
    // 100004 is named by no layer: it goes to a new dynamic layer at its depth (its object's).
    const CInstance* loose = Instance_Find(100004);
    const RoomLayer* own = Layer_FindByID(room, loose->layer);
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->dynamic);
    EXPECT_EQ(own->depth, 5);
    ExpectInvariants(room);
    ASSERT_NE(LayerScriptInstance, nullptr);
    EXPECT_EQ(LayerScriptInstance->id, 0);

    // Made at depth 100 during the room: a dynamic layer, not the data layer of that depth.
    CInstance* made = room->CreateInstance(0, 0, 0);
    EXPECT_EQ(made->layer, loose->layer);
    Layer_RemoveInstance(room, made);
    made->depth = 100;
    Layer_AddInstanceToDefault(room, made);
    const RoomLayer* madeOn = Layer_FindByID(room, made->layer);
    EXPECT_TRUE(madeOn->dynamic);
    EXPECT_EQ(madeOn->depth, 100);
    EXPECT_EQ(Layer_FindAtDepth(room, 100, false)->id, 2);
    const int32_t madeLayer = made->layer;
    Layer_RemoveInstance(room, made);
    EXPECT_EQ(Layer_FindByID(room, madeLayer), nullptr);
    made->layer = 2;  // unless its layer id names the data layer
    Layer_AddInstanceToDefault(room, made);
    EXPECT_EQ(made->layer, 2);
    EXPECT_EQ(Layer_FindByID(room, 2)->count, 4);
    ExpectInvariants(room);

    // Room end releases the instances but keeps layers and elements for a persistent room.
    Layer_UnresolveAll(room);
    EXPECT_FALSE(Instance_Find(100001)->m_onLayer);
    EXPECT_EQ(Instance_Find(100001)->layer, -1);
    EXPECT_EQ(LayerScriptInstance, nullptr);
    EXPECT_EQ(Layer_FindByID(room, 2)->count, 4);
    Layer_StartRoom(room);  // resumed
    EXPECT_EQ(Instance_Find(100001)->layer, 2);
    ExpectInvariants(room);
}

TEST_F(RoomLayers_, InstancesFollowTheirDepth)
{
    LayerMode = true;
    CGameRoom room;
    Run_Room = &room;
    const auto make = [&room](float depth) {
        CInstance* instance = room.CreateInstance(0, 0, -1);
        Layer_RemoveInstance(&room, instance);
        instance->depth = depth;
        Layer_AddInstanceToDefault(&room, instance);
        return instance;
    };
    const auto setDepth = [&room](CInstance* instance, float depth) {
        instance->depth = depth;
        Layer_UpdateInstanceDepth(&room, instance);
    };
    RoomLayer* data = Layer_Create(&room, 400, "data");

    // Alone on a dynamic layer, moving deeper onto another dynamic layer: merged into it.
    CInstance* alone = make(100);
    CInstance* resident = make(200);
    const int32_t aloneLayer = alone->layer;
    setDepth(alone, 200);
    EXPECT_EQ(Layer_FindByID(&room, aloneLayer), nullptr);
    EXPECT_EQ(alone->layer, resident->layer);
    EXPECT_EQ(InstanceIds(Layer_FindByID(&room, resident->layer)), (std::vector<int32_t>{resident->id, alone->id}));
    ExpectInvariants(&room);

    // Sharing a layer: leaves it (which survives) for the dynamic layer of the new depth.
    const int32_t shared = resident->layer;
    setDepth(resident, 50);
    EXPECT_NE(resident->layer, shared);
    EXPECT_EQ(Layer_FindByID(&room, resident->layer)->depth, 50);
    EXPECT_EQ(Layer_FindByID(&room, shared)->count, 1);

    // Alone, moving to a smaller depth where a dynamic layer exists: its layer moves there too.
    CInstance* other = make(80);
    setDepth(other, 50);
    EXPECT_NE(other->layer, resident->layer);
    EXPECT_EQ(Depths(&room), (std::vector<int32_t>{50, 50, 200, 400}));
    EXPECT_EQ(room.layers.first->id, other->layer);  // moved before the layer of equal depth

    // 99.7 goes on depth 99; the instance takes the layer's depth.
    CInstance* fractional = make(99.7f);
    EXPECT_EQ(Layer_FindByID(&room, fractional->layer)->depth, 99);
    EXPECT_FLOAT_EQ(fractional->depth, 99.0f);
    ExpectInvariants(&room);

    // The last instance leaving a dynamic layer destroys it; a data layer stays.
    const int32_t dynamic = fractional->layer;
    Layer_RemoveInstance(&room, fractional);
    EXPECT_EQ(Layer_FindByID(&room, dynamic), nullptr);
    fractional->layer = data->id;
    Layer_AddInstanceToDefault(&room, fractional);
    EXPECT_FLOAT_EQ(fractional->depth, 400.0f);
    Layer_RemoveInstance(&room, fractional);
    EXPECT_EQ(Layer_FindByID(&room, data->id), data);
    EXPECT_EQ(fractional->layer, -1);
    room.DeleteActiveInstances();
    EXPECT_EQ(room.layers.count, 1);  // only the data layer is left
    Run_Room = nullptr;
}

TEST_F(RoomLayers_, InstanceMadeOnALayerJoinsExactlyThatLayer)
{
    LayerMode = true;
    CGameRoom room;
    Run_Room = &room;
    RoomLayer* near = Layer_Create(&room, 100, "near");
    RoomLayer* far = Layer_Create(&room, 400, "far");
    const int32_t lastId = Room_LastInstanceId;
    EXPECT_EQ(room.CreateInstanceOnLayer(0, 0, nullptr, -1), nullptr);
    EXPECT_EQ(Room_LastInstanceId, lastId) << "no instance, no id spent";

    CInstance* instance = room.CreateInstanceOnLayer(3, 4, far, -1);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->id, lastId + 1);
    EXPECT_EQ(instance->layer, far->id);
    EXPECT_FLOAT_EQ(instance->depth, 400.0f);
    EXPECT_EQ(InstanceIds(far), (std::vector<int32_t>{instance->id}));
    EXPECT_TRUE(InstanceIds(near).empty());
    EXPECT_EQ(Instance_Find(instance->id), instance);
    EXPECT_EQ(room.activeInstances.first, instance);
    ExpectInvariants(&room);
    room.DeleteActiveInstances();
    Run_Room = nullptr;
}

TEST_F(RoomLayers_, DeactivatedInstancesSitAtTheEndOfTheirLayer)
{
    LayerMode = true;
    CGameRoom room;
    Run_Room = &room;
    RoomLayer* layer = Layer_Create(&room, 0, "things");
    CInstance* a = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    CInstance* b = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    CInstance* c = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    EXPECT_EQ(InstanceIds(layer), (std::vector<int32_t>{c->id, b->id, a->id}));
    c->SetDeactivated(true);
    EXPECT_EQ(InstanceIds(layer), (std::vector<int32_t>{b->id, a->id, c->id}));
    c->SetDeactivated(false);
    EXPECT_EQ(InstanceIds(layer), (std::vector<int32_t>{c->id, b->id, a->id}));
    b->SetDeactivated(true);
    room.UpdateActiveLists();
    ExpectInvariants(&room);

    // Adding an instance that already has its element changes nothing.
    b->m_onLayer = false;
    Layer_AddInstance(&room, layer, b);
    EXPECT_NE(log.Text().find("Attempting to add instance " + std::to_string(b->id) + " multiple times to a layer"),
              std::string::npos);
    b->m_onLayer = true;
    RoomLayer* elsewhere = Layer_Create(&room, 10, "elsewhere");
    Layer_RemoveInstanceFromLayer(&room, elsewhere, b);
    EXPECT_NE(log.Text().find("Layer system integrity compromised, instance " + std::to_string(b->id) +
                              " not on layer " + std::to_string(elsewhere->id)),
              std::string::npos);
    EXPECT_EQ(layer->count, 3);
    room.DeleteActiveInstances();
    room.DeleteDeactivatedInstances();
    EXPECT_EQ(layer->count, 0);
    Run_Room = nullptr;
}

TEST_F(RoomLayers_, RunTimeLayerIdsStopAtTheLargestIdInsteadOfOverflowing)
{
    const int32_t highest = Layer_HighestDataId, last = Layer_LastCreatedId;
    Layer_HighestDataId = INT32_MAX - 1;  // a data layer id next to the top
    CGameRoom room;
    RoomLayer* top = Layer_Create(&room, 0, nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->id, INT32_MAX);
    EXPECT_EQ(Layer_Create(&room, 0, nullptr), nullptr);
    EXPECT_EQ(Layer_CreateDynamic(&room, 10), nullptr);
    EXPECT_EQ(room.layers.count, 1);
    Layer_Destroy(&room, top->id);
    Layer_HighestDataId = highest;
    Layer_LastCreatedId = last;
}

TEST_F(RoomLayers_, LayerOrderDepthMovesAndMerges)
{
    CGameRoom room;
    RoomLayer* first = Layer_Create(&room, 100, nullptr);
    RoomLayer* second = Layer_Create(&room, 100, nullptr);
    RoomLayer* shallow = Layer_Create(&room, 50, nullptr);
    EXPECT_EQ(room.layers.first, shallow);
    EXPECT_EQ(shallow->next, first);
    EXPECT_EQ(first->next, second);
    Layer_Destroy(&room, first->id);
    Layer_Destroy(&room, second->id);
    Layer_Destroy(&room, shallow->id);
    EXPECT_EQ(room.layers.count, 0);

    // A dynamic layer moved deeper onto another dynamic layer merges: theirs, then the moved elements.
    RoomLayer* target = Layer_CreateDynamic(&room, 200);
    RoomLayer* moving = Layer_CreateDynamic(&room, 100);
    const int32_t kept = Layer_AddElement(&room, target, Layer_NewSpriteElement(), true);
    const int32_t moved = Layer_AddElement(&room, moving, Layer_NewTileElement(), true);
    const int32_t movingId = moving->id;
    Layer_SetDepth(&room, moving, 200, true);
    EXPECT_EQ(room.layers.count, 1);
    EXPECT_EQ(Layer_FindByID(&room, movingId), nullptr);
    ASSERT_EQ(target->count, 2);
    EXPECT_EQ(target->first->id, kept);
    EXPECT_EQ(target->last->id, moved);
    RoomLayer* owner = nullptr;
    EXPECT_EQ(Layer_FindElement(&room, moved, &owner)->id, moved);
    EXPECT_EQ(owner, target);

    // From above only re-linked, before the layer of that depth.
    RoomLayer* high = Layer_CreateDynamic(&room, 300);
    Layer_SetDepth(&room, high, 200, true);
    EXPECT_EQ(room.layers.first, high);
    EXPECT_EQ(room.layers.count, 2);

    // Removing an element by id drops an emptied dynamic layer.
    Layer_AddElementAtDepth(&room, 700, Layer_NewSpriteElement(), false, true);
    const int32_t lone = room.layers.last->first->id;
    LayerElement_Sprite* refused = Layer_NewSpriteElement();
    EXPECT_EQ(Layer_AddElementAtDepth(&room, 800, refused, false, false), -1);
    Layer_ReturnElement(refused);
    Layer_RemoveElementByID(&room, lone, true, false);
    EXPECT_EQ(room.layers.last, target);
    EXPECT_EQ(Layer_FindElement(&room, lone, nullptr), nullptr);

    // Destroying a layer destroys the instances on it.
    LayerMode = true;
    Run_Room = &room;
    const int32_t doomed = Layer_Create(&room, 900, nullptr)->id;
    CInstance* victim = room.CreateInstanceOnLayerId(0, 0, doomed, -1);
    Layer_Destroy(&room, doomed);
    EXPECT_EQ(Layer_FindByID(&room, doomed), nullptr);
    EXPECT_TRUE(victim->m_marked);
    EXPECT_FALSE(victim->m_onLayer);
    EXPECT_EQ(victim->layer, -1);
    room.RemoveMarkedInstances();
    EXPECT_EQ(room.activeInstances.count, 0);
    Run_Room = nullptr;
}

TEST_F(RoomLayers_, IdMapGrowsAndDeletesKeepLaterKeysReachable)
{
    LayerIdMap<int> map;
    int values[300];
    for (int i = 0; i < 103; ++i) map.Insert(i, &values[i]);
    EXPECT_EQ(map.capacity, 128);
    map.Insert(103, &values[103]);  // count 103 > threshold 102
    EXPECT_EQ(map.capacity, 256);
    EXPECT_EQ(map.growThreshold, 204);
    for (int i = 0; i < 104; ++i) ASSERT_EQ(map.Find(i), &values[i]) << i;
    map.Insert(-1, &values[200]);  // hashes to 0: never stored
    EXPECT_EQ(map.Find(-1), nullptr);
    EXPECT_EQ(map.count, 104);
    map.Insert(-2, &values[201]);
    map.Insert(0x7FFFFFFE, &values[202]);  // the same hash as -2
    EXPECT_EQ(map.Find(-2), &values[201]);
    EXPECT_EQ(map.Find(0x7FFFFFFE), &values[202]);

    // Keys 255 and 383 share home slot 0; key 0 is displaced from its home slot 1 by them.
    LayerIdMap<int> small;
    small.Insert(255, &values[0]);
    small.Insert(383, &values[1]);  // home 0 of 128: displaced to slot 1
    small.Insert(0, &values[2]);    // home 1: displaced to slot 2
    small.Delete(255);
    EXPECT_EQ(small.Find(383), &values[1]);
    EXPECT_EQ(small.Find(0), &values[2]);
    EXPECT_EQ(small.Find(255), nullptr);
    small.Insert(0, &values[3]);  // replaces
    EXPECT_EQ(small.count, 2);
    EXPECT_EQ(small.Find(0), &values[3]);
}

TEST_F(RoomLayers_, CopiesKeepTheDefinitionsIds)
{
    Load({LayerRoom(SampleLayers())});
    CGameRoom* definition = Room_Get(0);
    CGameRoom a, b;
    Room_CopyDefinition(&a, definition, false);
    Room_CopyDefinition(&b, definition, false);
    for (CGameRoom* copy : {&a, &b}) {
        ASSERT_EQ(copy->layers.count, 5);
        EXPECT_EQ(Depths(copy), Depths(definition));
        const RoomLayer* from = definition->layers.first;
        for (const RoomLayer* l = copy->layers.first; l; l = l->next, from = from->next) {
            EXPECT_EQ(l->id, from->id);
            EXPECT_EQ(l->name, from->name);  // shared: it lies in the game data
            EXPECT_EQ(Kinds(l), Kinds(from));
            for (const LayerElement *e = l->first, *f = from->first; e; e = e->next, f = f->next) {
                EXPECT_EQ(e->id, f->id);
                EXPECT_EQ(copy->layers.elementMap.Find(e->id), e);
            }
        }
    }
    const auto* map = static_cast<const LayerElement_Tilemap*>(Layer_FindByID(&a, 4)->first);
    EXPECT_FALSE(GameData_Contains(map->cells));
    EXPECT_EQ(map->cells[3], 0x10000004u);
    EXPECT_NE(static_cast<const LayerElement_Background*>(Layer_FindByID(&a, 1)->first)->data,
              static_cast<const LayerElement_Background*>(Layer_FindByID(&b, 1)->first)->data);
    const int32_t made = Layer_Create(&a, 0, "run-time")->id;
    EXPECT_EQ(Layer_Create(&b, 0, nullptr)->id, made + 1);

    // A name made at run time is copied, not shared.
    CGameRoom c;
    Layer_CopyRoomLayers(&c, &a);
    EXPECT_STREQ(Layer_FindByName(&c, "run-time")->name, "run-time");
    EXPECT_NE(Layer_FindByName(&c, "run-time")->name, Layer_FindByName(&a, "run-time")->name);
}

TEST_F(RoomLayers_, SavedLayersComeBackWithoutNamesAndWithNewElementIds)
{
    Load({LayerRoom(SampleLayers())});
    CGameRoom* room = Start(0);
    RoomLayer* assets = Layer_FindByID(room, 3);
    static_cast<LayerElement_Sprite*>(assets->first)->imageIndex = 3.0f;
    Layer_AddElement(room, assets, Layer_NewTileElement(), true);  // the newest tile stands first
    IBuffer buffer;
    for (const RoomLayer* l = room->layers.first; l; l = l->next) Layer_Serialise(l, &buffer);
    buffer.Seek(eBuffer_SeekStart, 0);
    CGameRoom restored;
    for (int i = 0; i < room->layers.count; ++i) ASSERT_TRUE(Layer_Deserialise(&restored, &buffer)) << i;
    EXPECT_EQ(buffer.Remaining(), 0u);
    EXPECT_EQ(Depths(&restored), Depths(room));
    const RoomLayer* from = room->layers.first;
    for (const RoomLayer* l = restored.layers.first; l; l = l->next, from = from->next) {
        EXPECT_EQ(l->id, from->id);
        EXPECT_EQ(l->name, nullptr);
        EXPECT_FLOAT_EQ(l->hspeed, from->hspeed);
    }
    // Tiles, then sprites, tilemaps and backgrounds, each group reversed.
    const RoomLayer* back = Layer_FindByID(&restored, 3);
    ASSERT_EQ(Kinds(back), (std::vector<uint32_t>{LAYER_ELEMENT_TILE, LAYER_ELEMENT_TILE, LAYER_ELEMENT_TILE,
                                                   LAYER_ELEMENT_SPRITE}));
    EXPECT_FLOAT_EQ(static_cast<const LayerElement_Tile*>(back->first)->x, 8.0f);
    const auto* sprite = static_cast<const LayerElement_Sprite*>(back->last);
    EXPECT_FLOAT_EQ(sprite->imageIndex, 0.0f);
    EXPECT_FLOAT_EQ(sprite->angle, 90.0f);
    EXPECT_GT(sprite->id, static_cast<const LayerElement_Sprite*>(assets->first)->id);
    const auto* map = static_cast<const LayerElement_Tilemap*>(Layer_FindByID(&restored, 4)->first);
    EXPECT_EQ(map->cells[3], 0x10000004u);
    const LayerBackgroundData* data = static_cast<const LayerElement_Background*>(Layer_FindByID(&restored, 1)->first)->data;
    EXPECT_FLOAT_EQ(data->xscale, 10.0f);
    EXPECT_EQ(data->blend, 0x123456u);
    EXPECT_EQ(Layer_FindByID(&restored, 2)->count, 0);  // instances are saved with the room

    // Cut short anywhere, or with a count larger than what follows: refused with a message.
    const size_t size = buffer.UsedSize();
    for (size_t cut : {size_t{10}, size_t{60}, size - 3}) {
        IBuffer shortened;
        for (const RoomLayer* l = room->layers.first; l; l = l->next) Layer_Serialise(l, &shortened);
        shortened.Resize(cut);
        shortened.Seek(eBuffer_SeekStart, 0);
        CGameRoom target;
        bool all = true;
        for (int i = 0; i < room->layers.count && all; ++i) all = Layer_Deserialise(&target, &shortened);
        EXPECT_FALSE(all) << cut;
    }
    IBuffer garbled;
    Layer_Serialise(Layer_FindByID(room, 2), &garbled);
    ScriptValue huge = ScriptValue_Real(100000000);
    garbled.Seek(eBuffer_SeekStart, 44);  // the background count after eleven fields
    garbled.Write(eBuffer_S32, &huge);
    garbled.Seek(eBuffer_SeekStart, 0);
    CGameRoom target;
    EXPECT_FALSE(Layer_Deserialise(&target, &garbled));
    EXPECT_NE(log.Text().find("the background count does not fit"), std::string::npos) << log.Text();
}

TEST_F(RoomLayers_, AnimationMovesLayersAndStepsElements)
{
    TestBackground_SetTileAnimation(0, 100000, 4);  // 10 frames a second over 4 frames
    TestSprite_Add({4, 64, 32});
    CGameRoom room;
    RoomLayer* layer = Layer_Create(&room, 0, nullptr);
    layer->hspeed = 2;
    LayerElement_Sprite* forward = Layer_NewSpriteElement();
    forward->sprite = 0;
    forward->imageIndex = 3.5f;
    forward->speedType = 1;
    LayerElement_Sprite* backward = Layer_NewSpriteElement();
    backward->sprite = 0;
    backward->imageIndex = 0.2f;
    backward->imageSpeed = -1;
    backward->speedType = 1;
    LayerElement_Tilemap* map = Layer_NewTilemapElement();
    map->tileset = 0;
    map->frame = 3.5f;
    Layer_AddElement(&room, layer, forward, true);
    Layer_AddElement(&room, layer, backward, true);
    Layer_AddElement(&room, layer, map, true);
    Layer_AnimateRoom(&room, 5.0);
    EXPECT_FLOAT_EQ(layer->x, 2.0f);
    EXPECT_FLOAT_EQ(forward->imageIndex, 0.5f);
    EXPECT_FLOAT_EQ(backward->imageIndex, 3.2f);
    EXPECT_FLOAT_EQ(map->frame, 1.5f);  // 3.5 + 10 / 5, wrapped by 4
    Layer_AnimateRoom(&room, 0.0);      // no rate: frames per second stand still
    EXPECT_FLOAT_EQ(map->frame, 1.5f);

    // The walk stops at a deactivated instance.
    LayerMode = true;
    Run_Room = &room;
    CInstance* sleeper = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    sleeper->SetDeactivated(true);
    LayerElement_Sprite* late = Layer_NewSpriteElement();
    late->sprite = 0;
    late->speedType = 1;
    Layer_AddElement(&room, layer, late, true);
    Layer_UnlinkElement(layer, late);
    Layer_LinkElementBack(layer, late);
    Layer_AnimateRoom(&room, 5.0);
    EXPECT_FLOAT_EQ(late->imageIndex, 0.0f);
    EXPECT_FLOAT_EQ(forward->imageIndex, 2.5f);
    room.UpdateActiveLists();
    room.DeleteDeactivatedInstances();
    Run_Room = nullptr;
}
}  // namespace
