// The object, room and asset built-ins as game code calls them: queries and
// setters of live and missing definitions, the parent relation and its
// refusals, room slots, viewports and tiles, and the two name look-ups.
#include <gtest/gtest.h>

#include <vector>

#include "Function/Function_Asset.h"
#include "Function/Function_Object.h"
#include "Function/Function_Room.h"
#include "Function/ResourceFunctionFixture.h"
#include "Sprite/Sprite_Main.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "support/TestBackgrounds.h"

namespace {

struct ObjectRoomFunctions : ResourceFunctions {
    void SetUp() override
    {
        LayerMode = true;
        Room_Init();
        SetUpWith({InitObjectFunctions, InitRoomFunctions, InitAssetFunctions});
    }
    void TearDown() override
    {
        Room_FreeAll();
        Sprite_Init();
        Background_DeleteAll();
        LayerMode = false;
        ResourceFunctions::TearDown();
    }
    // The reals of row 0 of an array result; empty when it is not an array.
    static std::vector<double> Row(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue value = Call(name, std::move(args));
        std::vector<double> out;
        if (value.Kind() == VALUE_ARRAY && value.arr && value.arr->rowCount > 0)
            for (int32_t k = 0; k < value.arr->rows[0].length; ++k) out.push_back(value.arr->rows[0].elements[k].real);
        ScriptValue_SetUndefined(&value);
        return out;
    }
};

TEST_F(ObjectRoomFunctions, ObjectQueriesAndSettersOfLiveAndMissingObjects)
{
    const double o = Num("object_add", {});
    const double missing = o + 10;
    Call("object_set_sprite", {R(o), R(4)});
    Call("object_set_mask", {R(o), R(5)});
    Call("object_set_solid", {R(o), R(1)});
    Call("object_set_visible", {R(o), R(0)});
    Call("object_set_persistent", {R(o), R(1)});
    Call("object_set_collisions", {R(o), R(0)});
    EXPECT_EQ(Object_Get(int32_t(o))->flags, 1u | 4u);

    const struct {
        const char* name;
        double live, missing;
    } cases[] = {
        {"object_exists", 1, 0},       {"object_get_sprite", 4, -1},   {"object_get_mask", 5, -1},
        {"object_get_parent", -1, -1}, {"object_get_solid", 1, 0},     {"object_get_visible", 0, 0},
        {"object_get_persistent", 1, 0}, {"object_get_physics", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Num(c.name, {R(o)}), c.live);
        EXPECT_EQ(Num(c.name, {R(missing)}), c.missing);
    }
    EXPECT_EQ(Str("object_get_name", {R(missing)}), "<undefined>");
    EXPECT_TRUE(NoResult("object_set_sprite", {R(missing), R(1)}));
    EXPECT_EQ(TakeError(), "");
    EXPECT_TRUE(NoResult("object_set_sprite", {R(o)}));
    EXPECT_EQ(TakeError(), "object_set_sprite: 1 arguments given, 2 needed");

    EXPECT_EQ(Num("object_delete", {R(o)}), 1);
    EXPECT_EQ(Num("object_exists", {R(o)}), 0);
    EXPECT_EQ(Num("object_delete", {R(o)}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing object.");
    EXPECT_TRUE(NoResult("object_event_add", {R(0), R(0), R(0), R(0)}));
    EXPECT_EQ(TakeLog(), "object_event_add :: deprecated function\n");

    // Depth is an object setting only in games without layers.
    int32_t id = -1;
    EXPECT_FALSE(CodeFunction_Find("object_get_depth", &id));
    CodeFunction_FreeAll();
    LayerMode = false;
    InitObjectFunctions();
    const double old = Num("object_add", {});
    Call("object_set_depth", {R(old), R(-7)});
    EXPECT_EQ(Num("object_get_depth", {R(old)}), -7);
}

TEST_F(ObjectRoomFunctions, ParentsCannotBeMissingOrMakeACycle)
{
    const double a = Num("object_add", {}), b = Num("object_add", {}), c = Num("object_add", {});
    Call("object_set_parent", {R(a), R(a)});
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Num("object_get_parent", {R(a)}), -1);

    Call("object_set_parent", {R(b), R(a)});
    Call("object_set_parent", {R(c), R(b)});
    EXPECT_EQ(Object_Get(int32_t(c))->parentObject, Object_Get(int32_t(b)));
    EXPECT_EQ(Num("object_is_ancestor", {R(c), R(a)}), 1);
    EXPECT_EQ(Num("object_is_ancestor", {R(a), R(a)}), 0);
    EXPECT_EQ(Num("object_is_ancestor", {R(99), R(a)}), 0);

    Call("object_set_parent", {R(a), R(c)});
    EXPECT_EQ(TakeError(), "Creating a cycle in the parent relation.");
    EXPECT_EQ(Num("object_get_parent", {R(a)}), -1);
    Call("object_set_parent", {R(a), R(50)});
    EXPECT_EQ(TakeError(), "Setting a non-existing parent.");
    Call("object_set_parent", {R(c), R(-3)});
    EXPECT_EQ(Num("object_get_parent", {R(c)}), -1);
    EXPECT_EQ(Num("object_is_ancestor", {R(c), R(a)}), 0);
    // Clearing an event the object does not have changes nothing; a bad kind is reported.
    Call("object_event_clear", {R(a), R(0), R(0)});
    EXPECT_EQ(TakeError(), "");
    Call("object_event_clear", {R(a), R(99), R(0)});
    EXPECT_EQ(TakeError(), "Invalid event argument");
}

TEST_F(ObjectRoomFunctions, RoomSettersSlotsAndViewports)
{
    const double r = Num("room_add", {});
    const double missing = r + 5;
    CGameRoom* room = Room_Get(int32_t(r));
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(Num("room_exists", {R(r)}), 1);
    EXPECT_EQ(Num("room_exists", {R(missing)}), 0);
    EXPECT_EQ(Str("room_get_name", {R(missing)}), "<undefined>");

    Call("room_set_width", {R(r), R(320)});
    Call("room_set_height", {R(r), R(200)});
    Call("room_set_persistent", {R(r), R(1)});
    Call("room_set_caption", {R(r), S("Hello")});
    Call("room_set_caption", {R(r), S("Again")});
    Call("room_set_code", {R(r), S("x = 1")});
    Call("room_set_background_colour", {R(r), R(0x123456), R(0)});
    Call("room_set_view_enabled", {R(r), R(1)});
    EXPECT_EQ(room->width, 320);
    EXPECT_EQ(room->height, 200);
    EXPECT_TRUE(room->persistent);
    EXPECT_STREQ(room->caption, "Again");
    EXPECT_STREQ(room->creationCodeName, "x = 1");
    EXPECT_EQ(room->colour, 0x123456u);
    EXPECT_FALSE(room->showColour);
    EXPECT_TRUE(room->enableViews);

    Call("room_set_background", {R(r), R(2), R(1), R(1), R(7), R(1.5), R(2.5), R(0), R(1), R(3), R(4), R(0.5)});
    const RoomBackground& b = room->backgrounds[2];
    EXPECT_TRUE(b.visible && b.foreground);
    EXPECT_EQ(b.index, 7);
    EXPECT_EQ(b.x, 1.5f);
    EXPECT_FALSE(b.tileX);
    EXPECT_TRUE(b.tileY);
    EXPECT_EQ(b.vspeed, 4.0f);
    EXPECT_EQ(b.alpha, 0.5f);
    Call("room_set_background", {R(r), R(8), R(1), R(1), R(7), R(0), R(0), R(0), R(0), R(0), R(0), R(1)});
    EXPECT_EQ(TakeError(), "") << "a slot outside 0-7 does nothing";

    Call("room_set_viewport", {R(r), R(1), R(1), R(10), R(20), R(300), R(200)});
    EXPECT_EQ(Row("room_get_viewport", {R(r), R(1)}), (std::vector<double>{1, 10, 20, 300, 200}));
    EXPECT_EQ(Row("room_get_viewport", {R(missing), R(1)}), (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(Row("room_get_viewport", {R(r), R(8)}), (std::vector<double>{0, 0, 0, 0, 0}));
    Call("room_set_camera", {R(r), R(3), R(42)});
    EXPECT_EQ(Num("room_get_camera", {R(r), R(3)}), 42);
    EXPECT_EQ(Num("room_get_camera", {R(r), R(8)}), -1);
    EXPECT_EQ(Num("room_get_camera", {R(missing), R(0)}), -1);

    const double copy = Num("room_duplicate", {R(r)});
    EXPECT_EQ(copy, r + 1);
    EXPECT_EQ(Room_Get(int32_t(copy))->width, 320);
    EXPECT_EQ(Num("room_duplicate", {R(missing + 10)}), -1);
    Call("room_assign", {R(missing + 10), R(r)});
    EXPECT_EQ(TakeError(), "Error assigning a room.");
    EXPECT_TRUE(NoResult("room_set_width", {R(missing), R(1)}));
    EXPECT_EQ(TakeError(), "");
}

TEST_F(ObjectRoomFunctions, InstanceAndTileDefinitions)
{
    const double r = Num("room_add", {});
    CGameRoom* room = Room_Get(int32_t(r));
    const int32_t back = TestBackground_Add(32, 32);
    const double first = Num("room_instance_add", {R(r), R(10.7), R(-3.2), R(0)});
    EXPECT_GT(first, 0);
    EXPECT_EQ(Num("room_instance_add", {R(r + 9), R(0), R(0), R(0)}), -1);
    ASSERT_EQ(room->instanceDefs.records.length, 1);
    EXPECT_EQ(room->instanceDefs.records.items[0].x, 10);
    EXPECT_EQ(room->instanceDefs.records.items[0].y, -3);
    Call("room_instance_clear", {R(r)});
    EXPECT_EQ(room->instanceDefs.records.length, 1) << "the definitions stay";

    const double tile = Num("room_tile_add", {R(r), R(back), R(0), R(0), R(16), R(16), R(5), R(6), R(100)});
    EXPECT_GT(tile, 0);
    EXPECT_EQ(Num("room_tile_add", {R(r), R(back + 1), R(0), R(0), R(16), R(16), R(5), R(6), R(100)}), -1);
    EXPECT_EQ(TakeError(), "Background does not exist.");
    EXPECT_EQ(Num("room_tile_add", {R(r + 9), R(back), R(0), R(0), R(16), R(16), R(5), R(6), R(100)}), -1);
    // The alpha is clamped to 0..1 before it becomes the colour's top byte.
    const struct {
        double alpha;
        uint32_t colour;
    } alphas[] = {{2, 0xFFFFFFFFu}, {-1, 0x00FFFFFFu}, {0.5, 0x7FFFFFFFu}};
    for (const auto& c : alphas) {
        Call("room_tile_add_ext",
             {R(r), R(back), R(0), R(0), R(8), R(8), R(0), R(0), R(10), R(2), R(3), R(c.alpha)});
        const RoomTileDef& def = room->tileDefs.records.items[room->tileDefs.records.length - 1];
        EXPECT_EQ(def.colour, c.colour) << c.alpha;
        EXPECT_EQ(def.xscale, 2.0f);
    }
    EXPECT_EQ(room->tileDefs.records.items[0].xscale, 1.0f);
    EXPECT_EQ(room->tileDefs.records.items[0].colour, 0xFFFFFFFFu);
    Call("room_tile_clear", {R(r)});
    EXPECT_EQ(room->tileDefs.records.length, 0);
}

TEST_F(ObjectRoomFunctions, AssetLookupsSearchInTheirOwnOrders)
{
    Object_CreateEmpty();
    const int32_t object = Object_CreateEmpty();
    Object_Get(object)->SetName("__newsprite0");
    const int32_t sprite = Sprite_AddEmpty();  // named "__newsprite0" too
    ASSERT_NE(object, sprite);
    EXPECT_EQ(Num("asset_get_index", {S("__newsprite0")}), sprite);
    EXPECT_EQ(Num("asset_get_type", {S("__newsprite0")}), 0) << "objects come first for the kind";
    Sprite_AddEmpty();
    EXPECT_EQ(Num("asset_get_type", {S("__newsprite1")}), 1);
    const double r = Num("room_add", {});
    EXPECT_EQ(Num("asset_get_type", {S(Room_Name(int32_t(r)))}), 3);
    EXPECT_EQ(Num("asset_get_index", {S(Room_Name(int32_t(r)))}), r);
    EXPECT_EQ(Num("asset_get_index", {S("nothing")}), -1);
    EXPECT_EQ(Num("asset_get_type", {S("nothing")}), -1);
}

}  // namespace

namespace {

TEST_F(ObjectRoomFunctions, GamesWithoutLayersSetWholeViewsAndHaveNoCameras)
{
    CodeFunction_FreeAll();
    LayerMode = false;
    InitRoomFunctions();
    int32_t id = -1;
    for (const char* name : {"room_set_viewport", "room_get_viewport", "room_get_camera", "room_set_camera"})
        EXPECT_FALSE(CodeFunction_Find(name, &id)) << name;
    const double r = Num("room_add", {});
    Call("room_set_view", {R(r), R(7), R(1), R(10), R(20), R(320), R(240), R(1), R(2), R(640), R(480), R(16), R(24),
                           R(-1), R(5), R(3)});
    const RoomView& v = Room_Get(int32_t(r))->views[7];
    EXPECT_TRUE(v.visible);
    EXPECT_EQ(v.viewX, 10.0f);
    EXPECT_EQ(v.viewHeight, 240.0f);
    EXPECT_EQ(v.portY, 2);
    EXPECT_EQ(v.portWidth, 640);
    EXPECT_EQ(v.borderV, 24);
    EXPECT_EQ(v.hspeed, -1);
    EXPECT_EQ(v.vspeed, 5);
    EXPECT_EQ(v.followObject, 3);
    Call("room_set_view", {R(r), R(8), R(1), R(0), R(0), R(1), R(1), R(0), R(0), R(1), R(1), R(0), R(0), R(0), R(0),
                           R(0)});
    EXPECT_EQ(TakeError(), "");
}

}  // namespace
