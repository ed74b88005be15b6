#include <vector>

#include "World/WorldFixture.h"

namespace {
struct ContentsTest : WorldFixture {
    static STile Tile(float x, float y, int32_t w, int32_t h, float depth, float xscale = 1, float yscale = 1)
    {
        return STile{x, y, 0, 0, 0, w, h, depth, 0, xscale, yscale, 0xFFFFFF, 1, true};
    }
    std::vector<float> Depths() const
    {
        std::vector<float> depths;
        for (int32_t i = 0; i < room.tileCount; ++i) depths.push_back(room.tiles[i].depth);
        return depths;
    }
};

TEST_F(ContentsTest, InstancesMadeDeletedAndMovedBetweenTheLists)
{
    const int32_t o = NewObject(-1, 3);
    const int32_t lastId = Room_LastInstanceId;
    CInstance* a = room.CreateInstance(1, 2, o);
    CInstance* b = room.CreateInstance(3, 4, o);
    CInstance* c = room.CreateInstance(5, 6, o);
    EXPECT_EQ(a->id, lastId + 1);
    EXPECT_EQ(c->id, lastId + 3);
    EXPECT_EQ(Instance_Find(b->id), b);
    EXPECT_FLOAT_EQ(a->depth, 3.0f);

    b->SetDeactivated(true);
    room.UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.count, 2);
    EXPECT_EQ(room.deactivatedInstances.first, b);
    EXPECT_EQ(Object_Get(o)->allInstances.count, 2);
    b->SetDeactivated(false);
    room.UpdateActiveLists();
    EXPECT_EQ(room.deactivatedInstances.count, 0);
    EXPECT_EQ(Object_Get(o)->directInstances.count, 3);

    // Marked instances go at the removal; a marked deactivated one waits for activation.
    a->m_marked = true;
    c->m_marked = c->m_deactivated = true;
    room.UpdateActiveLists();
    MarkedInstanceCount = 2;
    const int32_t cId = c->id;
    room.RemoveMarkedInstances();
    EXPECT_EQ(MarkedInstanceCount, 0);
    EXPECT_EQ(room.activeInstances.count, 1);
    EXPECT_EQ(room.activeInstances.first, b);
    EXPECT_EQ(Instance_Find(cId), c);
    room.DeleteInstance(c);
    EXPECT_EQ(Instance_Find(cId), nullptr);
    EXPECT_EQ(room.deactivatedInstances.count, 0);

    // Two instances sharing an id: deleting one leaves the other findable.
    CInstance* copy = room.CreateInstanceOnLayerId(0, 0, 42, o);
    EXPECT_EQ(copy->layer, 42);
    const int32_t shared = b->id;
    Instance_Delete(copy->id);
    copy->id = shared;
    Instance_Insert(shared, copy);
    room.DeleteInstance(b);
    EXPECT_EQ(Instance_Find(shared), copy);
}

TEST_F(ContentsTest, DefinitionsAddedAtRunTimeAreMadeWhenTheRoomStarts)
{
    const int32_t o = NewObject();
    CGameRoom definition;
    definition.CreateEmptyDefinition();
    const int32_t id = definition.AddInstanceDef(10.7f, 20.2f, o);
    EXPECT_EQ(id, Room_LastInstanceId);
    const int32_t tileId = definition.AddTileDef(0, 1, 2, 16, 16, 4.5f, 5.5f, 100, 1, 1, 0x80102030u);
    EXPECT_EQ(tileId, Room_LastTileId);
    const RoomInstanceDef& def = definition.instanceDefs.records.items[0];
    EXPECT_EQ(def.x, 10);
    EXPECT_EQ(def.y, 20);

    CGameRoom live;
    Room_CopyDefinition(&live, &definition, true);
    ASSERT_EQ(live.activeInstances.count, 1);
    const CInstance* made = live.activeInstances.first;
    EXPECT_EQ(made->id, id);
    EXPECT_FLOAT_EQ(made->x, 10.0f);
    EXPECT_EQ(made->m_creationCode, nullptr);
    ASSERT_EQ(live.tileCount, 1);
    EXPECT_EQ(live.tiles[0].id, tileId);
    EXPECT_EQ(live.tiles[0].blend, 0x102030);
    live.DeleteActiveInstances();

    definition.ClearTileDefs();
    EXPECT_EQ(definition.tileDefs.records.length, 0);
    EXPECT_TRUE(definition.tileDefs.present);
}

TEST_F(ContentsTest, TilesFoundDeletedAndSorted)
{
    // Two tiles of depth 10 cover (20, 20); the second's centre is nearer.
    room.AddTile(Tile(0, 0, 64, 64, 10));
    room.AddTile(Tile(10, 10, 16, 16, 10));
    room.AddTile(Tile(0, 0, 64, 64, 1000));
    EXPECT_EQ(room.tileCapacity, 10);
    EXPECT_EQ(room.FindTileAt(10, 20, 20), 1);
    EXPECT_EQ(room.FindTileAt(10, 40, 40), 0);
    EXPECT_EQ(room.FindTileAt(10, 64, 10), -1);  // the far edge is outside
    EXPECT_EQ(room.FindTileAt(11, 20, 20), -1);
    // Equally near: the earlier one.
    room.AddTile(Tile(10, 10, 16, 16, 10));
    EXPECT_EQ(room.FindTileAt(10, 18, 18), 1);
    EXPECT_EQ(room.FindTile(room.tiles[2].id), 2);
    EXPECT_EQ(room.lastFoundTile, 2);
    EXPECT_EQ(room.FindTile(-5), -1);

    room.SortTiles();
    EXPECT_EQ(Depths(), (std::vector<float>{1000, 10, 10, 10}));
    EXPECT_FLOAT_EQ(room.tiles[1].x, 0.0f);  // equal depths keep their order

    room.HideTileLayer(10);
    EXPECT_FALSE(room.tiles[1].visible);
    EXPECT_TRUE(room.tiles[0].visible);
    room.ShiftTileLayer(1000, 5, -5);
    EXPECT_FLOAT_EQ(room.tiles[0].y, -5.0f);
    room.SetTileLayerDepth(1000, 7);
    room.DeleteTilesAt(10, 12, 12);
    EXPECT_EQ(Depths(), (std::vector<float>{7}));
    room.DeleteTileLayer(7);
    EXPECT_EQ(room.tileCount, 0);
    EXPECT_EQ(room.tiles, nullptr);
    EXPECT_EQ(room.tileCapacity, 0);
    room.DeleteTile(0);
    room.AddTile(Tile(0, 0, 8, 8, 1));
    EXPECT_EQ(room.tileCapacity, 10);
}

TEST_F(ContentsTest, NegativeScaleCoversTheOtherSide)
{
    room.AddTile(Tile(100, 0, 32, 32, 0, -1, 1));
    EXPECT_EQ(room.FindTileAt(0, 68, 5), 0);
    EXPECT_EQ(room.FindTileAt(0, 99.5f, 5), 0);
    EXPECT_EQ(room.FindTileAt(0, 100, 5), -1);
    EXPECT_EQ(room.FindTileAt(0, 67.9f, 5), -1);
}

TEST_F(ContentsTest, BackgroundsScrollAndImagesAnimate)
{
    room.backgrounds[3].hspeed = 1.5f;
    room.backgrounds[3].vspeed = -2;
    room.ScrollBackgrounds();
    room.ScrollBackgrounds();
    EXPECT_FLOAT_EQ(room.backgrounds[3].x, 3.0f);
    EXPECT_FLOAT_EQ(room.backgrounds[3].y, -4.0f);
    EXPECT_DOUBLE_EQ(Room_AdvanceImageIndex(3.5, 1, 1, 60, 4), 0.5);
    EXPECT_DOUBLE_EQ(Room_AdvanceImageIndex(0.2, -1, 1, 60, 4), 3.2);
    EXPECT_DOUBLE_EQ(Room_AdvanceImageIndex(1, 30, 0, 60, 4), 1.5);
    EXPECT_DOUBLE_EQ(Room_AdvanceImageIndex(1, 30, 0, 0, 4), 1.0);
}
}  // namespace
