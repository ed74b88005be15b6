#include <gtest/gtest.h>

#include <string>

#include "Background/Background_Main.h"
#include "World/ChunkBytes.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "Physics/PhysicsWorld.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "GameData/GameData.h"
#include "support/GameFiles.h"
#include "support/LoadedGame.h"
#include "support/StandIns.h"

namespace {
using namespace chunkbytes;
using gamedata::RoomEntry;

std::vector<uint8_t> RoomGame(const std::vector<std::optional<RoomEntry>>& rooms, std::vector<uint32_t> order = {0},
                              uint32_t lastInstanceId = 100050)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = std::move(order);
    h.lastInstanceId = lastInstanceId;
    w.Gen8(h);
    gamedata::ObjectEntry o;
    o.name = "obj_thing";
    o.depth = 5;
    w.Objt({o, o});
    // One 320 x 240 background, which the stretched room background is scaled to.
    gamedata::BackgroundEntry backdrop;
    backdrop.name = "bg_backdrop";
    backdrop.entry = 0;
    backdrop.tileset = gamedata::Tileset{};
    w.Bgnd({backdrop});
    gamedata::TexturePageEntry page;
    page.fullWidth = 320;
    page.fullHeight = 240;
    w.Tpag({page});
    w.Room(rooms);
    return w.Finish();
}

RoomEntry Level()
{
    RoomEntry r;
    r.name = "rm_level";
    r.caption = "Level";
    r.width = 640;
    r.height = 480;
    r.speed = 60;
    r.colour = 0x00FF00;
    r.flags = 0x00020005;
    r.physicsWorld = 1;
    r.gravityX = 0.0f;
    r.gravityY = 9.8f;
    r.pixelsToMetres = 0.05f;
    gamedata::RoomBackgroundEntry stretched;
    stretched.index = 0;
    stretched.x = 12;
    stretched.hspeed = 2;
    stretched.stretch = 1;
    r.backgrounds = {stretched, gamedata::RoomBackgroundEntry{}};
    gamedata::RoomViewEntry view;
    view.viewX = 100;
    view.portWidth = 320;
    view.followObject = 1;
    r.views = {view};
    r.instances = {{10, 20, 0, 100001, -1, 2.0f, 1.0f, 0x80FF0000u, 45.0f},
                   {30, 40, -1, 100002, -1, 1.0f, 1.0f, 0xFFFFFFFFu, 0.0f},
                   {50, 60, 1, 100003, -1, 1.0f, 1.0f, 0xFFFFFFFFu, 0.0f}};
    r.tiles = {{5, 6, 0, 0, 0, 16, 16, 100, 10000001, 1.0f, 1.0f, 0x40123456u}};
    return r;
}

struct RoomTest : LoadedGameTest {
    CGameRoom* live = nullptr;

    // Starts room index as the room start does: a live copy, instantiated.
    CGameRoom* Start(int32_t index)
    {
        delete live;
        live = new CGameRoom();
        Room_CopyDefinition(live, Room_Get(index), true);
        Run_Room = live;
        return live;
    }
    void TearDown() override
    {
        Run_Room = nullptr;
        delete live;
        LoadedGameTest::TearDown();
    }
};

TEST_F(RoomTest, NewInstanceIdsStartAboveTheRoomsOwnWhenTheHeaderCountsFewer)
{
    // The header's last id is below the ids of the room's three instances.
    ASSERT_TRUE(Load(RoomGame({Level()}, {0}, 100001))) << GameData_LastError();
    ASSERT_TRUE(Room_Prepare());
    CGameRoom* room = Start(0);
    ASSERT_EQ(room->activeInstances.count, 2);  // one of the three has no object
    const int32_t id = room->CreateInstance(0, 0, 0)->id;
    for (CInstance* i = room->activeInstances.first; i; i = i->m_next) {
        if (i->id != id) EXPECT_LT(i->id, id);
    }
    EXPECT_EQ(id, 100004);
}

TEST_F(RoomTest, TableSlotsNamesAndRoomsAddedAtRunTime)
{
    ASSERT_TRUE(Load(RoomGame({Level(), std::nullopt, RoomEntry{}}))) << GameData_LastError();
    EXPECT_EQ(Room_Count(), 3);
    EXPECT_FALSE(Room_Exists(1));
    EXPECT_EQ(Room_Get(3), nullptr);
    EXPECT_STREQ(Room_Name(1), "<undefined>");
    EXPECT_STREQ(Room_Name(0), "rm_level");
    EXPECT_EQ(Room_Find("rm_level"), 0);
    EXPECT_EQ(Room_Find("RM_level"), -1);
    EXPECT_EQ(Room_Add(), 3);
    EXPECT_STREQ(Room_Name(3), "__newroom3");
    EXPECT_EQ(Room_Get(3)->speed, 30);
    EXPECT_TRUE(Room_Get(3)->tileDefs.present);
    EXPECT_FALSE(Room_Get(3)->instanceDefs.present);
    EXPECT_EQ(Room_Duplicate(1), -1);
    EXPECT_FALSE(Room_Assign(1, 0));
    EXPECT_TRUE(Room_Prepare());
}

TEST_F(RoomTest, NeighboursInThePlayOrder)
{
    struct Case {
        std::vector<uint32_t> order;
        int32_t room, next, previous;
    };
    const Case cases[] = {
        {{4, 2, 7}, 2, 7, 4},
        {{4, 2, 7}, 7, 2, 2},  // 7 is only the last entry, 4 only the first
        {{4, 2, 7}, 4, 2, 2},
        {{5, 5, 6}, 5, 6, 5},
        {{3}, 3, -1, -1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(RoomGame({Level()}, c.order))) << GameData_LastError();
        EXPECT_EQ(Room_Next(c.room), c.next) << c.room;
        EXPECT_EQ(Room_Previous(c.room), c.previous) << c.room;
        EXPECT_EQ(Room_First(), static_cast<int32_t>(c.order.front()));
        EXPECT_EQ(Room_Last(), static_cast<int32_t>(c.order.back()));
        testgames::Unload();
    }
}

TEST_F(RoomTest, RecordFieldsAreReadWithoutWritingTheGameData)
{
    const std::vector<uint8_t> made = RoomGame({Level()});
    ASSERT_TRUE(Load(made)) << GameData_LastError();
    EXPECT_EQ(game, made);
    const CGameRoom* room = Room_Get(0);
    EXPECT_STREQ(room->caption, "Level");
    EXPECT_EQ(room->speed, 60);
    EXPECT_EQ(room->colour, 0x00FF00u);
    EXPECT_TRUE(room->enableViews);
    EXPECT_FALSE(room->clearViewBackground);
    EXPECT_FALSE(room->clearDisplayBuffer);
    EXPECT_EQ(room->formatNumber, 2);
    EXPECT_EQ(room->gravityX, 0);
    EXPECT_EQ(room->gravityY, 9);
    ASSERT_NE(room->physics, nullptr);
    EXPECT_FLOAT_EQ(room->physics->scale, 0.05f);
    float gx = 1, gy = 0;
    room->physics->GetGravity(&gx, &gy);
    EXPECT_FLOAT_EQ(gx, 0.0f);
    EXPECT_FLOAT_EQ(gy, 9.0f);
    EXPECT_FLOAT_EQ(room->backgrounds[0].xscale, 2.0f);
    EXPECT_FLOAT_EQ(room->backgrounds[0].yscale, 2.0f);
    EXPECT_FLOAT_EQ(room->backgrounds[0].x, 12.0f);
    EXPECT_FLOAT_EQ(room->backgrounds[0].hspeed, 2.0f);
    EXPECT_EQ(room->backgrounds[0].blend, 0xFFFFFF);
    EXPECT_TRUE(room->backgrounds[1].visible);
    EXPECT_FALSE(room->backgrounds[2].visible);
    EXPECT_EQ(room->backgrounds[2].index, -1);
    EXPECT_FLOAT_EQ(room->views[0].viewX, 100.0f);
    EXPECT_EQ(room->views[0].portWidth, 320);
    EXPECT_EQ(room->views[0].followObject, 1);
    EXPECT_EQ(room->views[1].borderH, 32);
    EXPECT_EQ(room->instanceDefs.records.length, 3);
    EXPECT_EQ(room->tileDefs.records.length, 1);
}

TEST_F(RoomTest, StartingARoomMakesItsInstancesAndTiles)
{
    ASSERT_TRUE(Load(RoomGame({Level()})));
    CGameRoom* room = Start(0);
    ASSERT_EQ(room->activeInstances.count, 2);  // the definition with object -1 is skipped
    const CInstance* first = Instance_Find(100001);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->image_blend, 0xFF0000u);
    EXPECT_FLOAT_EQ(first->image_alpha, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(first->image_xscale, 2.0f);
    EXPECT_FLOAT_EQ(first->image_angle, 45.0f);
    EXPECT_FLOAT_EQ(first->x, 10.0f);
    EXPECT_EQ(Instance_Find(100002), nullptr);
    EXPECT_EQ(Object_Get(0)->directInstances.count, 1);
    ASSERT_EQ(room->createdIds.length, 2);
    EXPECT_EQ(room->createdIds.items[1], 100003);
    ASSERT_EQ(room->tileCount, 1);
    EXPECT_EQ(room->tiles[0].blend, 0x123456);
    EXPECT_FLOAT_EQ(room->tiles[0].alpha, 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(room->tiles[0].depth, 100.0f);
    EXPECT_TRUE(room->tiles[0].visible);
    EXPECT_NE(room->physics, nullptr);

    // A persistent live room copied again carries its instances with their state.
    Instance_Find(100003)->x = 99;
    CGameRoom copy;
    Room_CopyDefinition(&copy, room, false);
    ASSERT_EQ(copy.activeInstances.count, 2);
    EXPECT_FLOAT_EQ(copy.activeInstances.last->x, 99.0f);
    EXPECT_EQ(copy.tileCount, 1);
    copy.DeleteActiveInstances();
}

TEST_F(RoomTest, DuplicateAndAssign)
{
    RoomEntry other;
    other.name = "rm_other";
    ASSERT_TRUE(Load(RoomGame({Level(), other})));
    const int32_t copy = Room_Duplicate(0);
    EXPECT_EQ(copy, 2);
    EXPECT_TRUE(Room_Get(copy)->runtimeMade);
    EXPECT_EQ(Room_Get(copy)->speed, 60);
    EXPECT_EQ(Room_Next(0), -1);  // not in the play order
    CGameRoom* room = Start(copy);
    EXPECT_EQ(room->activeInstances.count, 2);
    EXPECT_NE(Instance_Find(100001), nullptr);
    EXPECT_NE(Instance_Find(100003), nullptr);

    // A room assigned to itself keeps what it has.
    EXPECT_TRUE(Room_Assign(0, 0));
    EXPECT_EQ(Room_Get(0)->speed, 60);
    EXPECT_EQ(Room_Get(0)->instanceDefs.records.length, 3);
    EXPECT_TRUE(Room_Assign(1, copy));
    EXPECT_EQ(Room_Get(1)->speed, 60);
    EXPECT_STREQ(Room_Name(1), "rm_other");
    EXPECT_EQ(Room_Get(1)->instanceDefs.records.length, 3);
}

TEST_F(RoomTest, BrokenRecordsAreRefusedWithAMessage)
{
    RoomEntry nine = Level();
    nine.backgrounds.resize(9);
    RoomEntry garbled = Level();
    garbled.instanceCountOverride = 0x10000000u;
    struct Case {
        RoomEntry room;
        bool truncate;
        const char* message;
    };
    const Case cases[] = {
        {nine, false, "ROOM: room 0: background count 9 is out of range"},
        {garbled, false, "ROOM: room 0: instance count 268435456 is out of range"},
        {Level(), true, "lies outside the chunk"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = RoomGame({c.room});
        if (c.truncate) PutU32(bytes, Payload(bytes, "ROOM") + 4, PayloadEnd(bytes, "ROOM") - 60);
        EXPECT_FALSE(Load(bytes));
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos) << GameData_LastError();
        testgames::Unload();
    }
}
}  // namespace
