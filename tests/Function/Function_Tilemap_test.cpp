#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Function/LayerFunctionFixture.h"
#include "World/Room_Main.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "support/StandIns.h"
#include "support/TestBackgrounds.h"

namespace {

using TileDataFunctions = LayerFunctions;

TEST_F(TileDataFunctions, TakingTileDataApartAndPuttingItTogether)
{
    const double mirrored = Real("tile_set_mirror", {0, 1});
    const double five = Real("tile_set_index", {mirrored, 5});
    EXPECT_EQ(five, 268435461.0);  // 0x10000005
    const struct {
        const char* name;
        std::vector<double> args;
        double result;
    } cases[] = {
        {"tile_get_index", {five}, 5},
        {"tile_get_mirror", {five}, 1},
        {"tile_get_flip", {five}, 0},
        {"tile_get_rotate", {five}, 0},
        {"tile_set_empty", {0x20000007}, 0x20000000},
        {"tile_get_empty", {0x20000000}, 1},
        {"tile_get_empty", {0x20000001}, 0},
        {"tile_set_index", {0, 0x80001}, 0x80001},  // the index spills into bit 19
        {"tile_set_rotate", {0x40000000, 0.5}, 0},    // 0.5 is not above 0.5
        {"tile_set_rotate", {0, 1}, 0x40000000},
        {"tile_set_flip", {3, 1}, 0x20000003},
        {"tile_get_flip", {0x20000000}, 1},
        {"tile_set_empty", {-1}, -524288},  // results are signed: 0xFFF80000
        {"tile_get_rotate", {0x40000000}, 1},
    };
    for (const auto& c : cases) {
        std::vector<ScriptValue> args;
        for (double v : c.args) args.push_back(R(v));
        EXPECT_EQ(Call(c.name, args).real, c.result) << c.name << " " << c.args[0];
    }
    const struct {
        const char* name;
        int argc;
        const char* message;
    } counts[] = {
        {"tile_set_empty", 2, "tile_set_empty() - wrong number of arguments"},
        {"tile_set_mirror", 1, "tile_set_mirror() - wrong number of arguments"},
        {"tile_get_empty", 0, "tilemap_tile_get_empty() - wrong number of arguments"},
        {"tile_get_rotate", 2, "tilemap_tile_get_rotate() - wrong number of arguments"},
    };
    for (const auto& c : counts) {
        ForgetErrors();
        EXPECT_EQ(Call(c.name, std::vector<ScriptValue>(static_cast<size_t>(c.argc), R(1))).real, -1.0);
        EXPECT_EQ(LastReport(), c.message);
    }
}

struct Tilemaps : LayerFunctions {
    RoomLayer* layer = nullptr;
    int32_t tileset = -1;
    double map = -1;
    void SetUp() override
    {
        LayerFunctions::SetUp();
        layer = Layer_Create(&room, 0, "tiles");
        tileset = TestBackground_Add(320, 16);
        TestBackground_SetTileset(tileset, 16, 16, 20);
        map = Real("layer_tilemap_create", {1.0 * layer->id, 0, 0, 1.0 * tileset, 10, 5});
    }
    double Set(double data, double x, double y)
    {
        ScriptValue r = Call("tilemap_set", {R(map), R(data), R(x), R(y)});
        EXPECT_EQ(r.Kind(), VALUE_BOOL);
        return r.real;
    }
};

TEST_F(Tilemaps, CreatedMapsStartEmptyWithTheirFields)
{
    ASSERT_GE(map, 0.0);
    EXPECT_EQ(Real("tilemap_get_width", {map}), 10.0);
    EXPECT_EQ(Real("tilemap_get_height", {map}), 5.0);
    EXPECT_EQ(Real("tilemap_get_tileset", {map}), tileset);
    EXPECT_EQ(Real("tilemap_get_tile_width", {map}), 16.0);
    EXPECT_EQ(Real("tilemap_get_tile_height", {map}), 16.0);
    EXPECT_EQ(Real("tilemap_get_mask", {map}), 2147483647.0);
    EXPECT_EQ(Real("tilemap_get_frame", {map}), 0.0);
    EXPECT_EQ(Real("tilemap_get", {map, 9, 4}), 0.0);
    EXPECT_EQ(Real("tilemap_x", {map, 12}), -1.0);
    EXPECT_EQ(Real("tilemap_get_x", {map}), 12.0);
    EXPECT_EQ(Real("tilemap_y", {map, -4}), -1.0);
    EXPECT_EQ(Real("tilemap_get_y", {map}), -4.0);
    EXPECT_EQ(Real("layer_tilemap_exists", {1.0 * layer->id, map}), 1.0);
    EXPECT_EQ(Real("layer_tilemap_get_id", {1.0 * layer->id}), -1.0);  // no name of its own
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(error_occurred);
}

TEST_F(Tilemaps, CellsAreWrittenInsideTheMapWithTheirIndexChecked)
{
    EXPECT_EQ(Set(3, 9, 4), 1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 9, 4}), 3.0);
    EXPECT_EQ(Set(3, 10, 0), 0.0);
    EXPECT_EQ(Set(3, 0, -1), 0.0);
    EXPECT_EQ(Real("tilemap_get", {map, -1, 0}), -1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 0, 5}), -1.0);
    EXPECT_EQ(Log(), "");

    EXPECT_EQ(Set(20, 0, 0), 0.0);
    EXPECT_EQ(Log(), "tilemap_set() - tile index outside tile set size\n");
    EXPECT_EQ(Set(19 + 0x20000000, 0, 0), 1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 0, 0}), 536870931.0);  // 0x20000013, stored unmasked

    // The tilemap's mask hides bits from drawing and from the index test only.
    EXPECT_EQ(Real("tilemap_set_mask", {map, 0x7FFFF}), -1.0);
    EXPECT_EQ(Real("tilemap_get_mask", {map}), 524287.0);
    EXPECT_EQ(Real("tilemap_get", {map, 0, 0}), 536870931.0);
    Real("tilemap_set_mask", {map, 0x7FFFFFFF});
    EXPECT_EQ(Real("tilemap_set_global_mask", {0}), -1.0);
    EXPECT_EQ(Real("tilemap_get_global_mask", {}), 0.0);
    EXPECT_EQ(Set(500000, 1, 1), 1.0);  // any data passes with the global mask 0
    EXPECT_EQ(Real("tilemap_get", {map, 1, 1}), 500000.0);
    Real("tilemap_set_global_mask", {4294967295.0});
    EXPECT_EQ(Real("tilemap_get_global_mask", {}), 4294967295.0);

    EXPECT_EQ(Real("tilemap_clear", {map, 7}), -1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 5, 2}), 7.0);

    // Without a tileset tilemap_set writes unchecked.
    Real("tilemap_tileset", {map, 99});
    EXPECT_EQ(Set(100000, 2, 2), 1.0);
    EXPECT_EQ(Real("tilemap_get_tile_width", {map}), -1.0);
    EXPECT_EQ(LastReport(), "tilemap_get_tile_width() - could not find tileset for this map");
}

TEST_F(Tilemaps, PixelsGiveCellsRelativeToTheMapAndItsLayer)
{
    layer->x = 100;
    EXPECT_EQ(Real("tilemap_get_cell_x_at_pixel", {map, 99, 10}), -1.0);
    EXPECT_EQ(Real("tilemap_get_cell_x_at_pixel", {map, 131, 10}), 1.0);
    EXPECT_EQ(Real("tilemap_get_cell_y_at_pixel", {map, 131, 79}), 4.0);
    EXPECT_EQ(Real("tilemap_get_cell_y_at_pixel", {map, 131, 80}), -1.0);
    ScriptValue written = Call("tilemap_set_at_pixel", {R(map), R(6), R(259.9), R(79.9)});
    EXPECT_EQ(written.Kind(), VALUE_BOOL);
    EXPECT_EQ(written.real, 1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 9, 4}), 6.0);
    EXPECT_EQ(Real("tilemap_get_at_pixel", {map, 259, 64}), 6.0);
    EXPECT_EQ(Real("tilemap_get_at_pixel", {map, 260, 64}), -1.0);
    EXPECT_EQ(Call("tilemap_set_at_pixel", {R(map), R(6), R(0), R(0)}).real, 0.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Call("tilemap_set_at_pixel", {R(map), R(25), R(100), R(0)}).real, 0.0);
    EXPECT_EQ(Log(), "tilemap_set_at_pixel() - tile index outside tile set count\n");
    Real("tilemap_tileset", {map, 99});
    EXPECT_EQ(Real("tilemap_get_at_pixel", {map, 100, 0}), -1.0);
    EXPECT_EQ(LastReport(), "tilemap_get_at_pixel() - could not find tileset for this map");
    ForgetErrors();
    Call("tilemap_set_at_pixel", {R(map), R(1), R(100), R(0)});
    EXPECT_EQ(LastReport(), "tilemap_set_at_pixel() - could not find tileset for this map\n");
}

TEST_F(Tilemaps, MapsWithoutCellsAndBadSizes)
{
    const double lid = layer->id;
    const double empty = Real("layer_tilemap_create", {lid, 0, 0, 1.0 * tileset, 0, 3});
    ASSERT_GE(empty, 0.0);
    EXPECT_EQ(Call("tilemap_set", {R(empty), R(1), R(0), R(0)}).real, 0.0);
    EXPECT_EQ(Log(), "tilemap_set() - tilemap is 0 by 0, not setting anything\n");
    EXPECT_EQ(Real("tilemap_get", {empty, 0, 0}), -1.0);
    EXPECT_EQ(LastReport(), "tilemap_get() - tilemap element corrupted");
    for (const char* name : {"tilemap_clear", "draw_tilemap"}) {
        ForgetErrors();
        std::vector<ScriptValue> args = {R(empty), R(0)};
        if (std::string(name) == "draw_tilemap") args.push_back(R(0));
        Call(name, args);
        EXPECT_EQ(LastReport(), std::string(name) + "() - tilemap element corrupted");
    }
    ForgetErrors();
    Real("tilemap_get_cell_x_at_pixel", {empty, 0, 0});
    EXPECT_EQ(LastReport(), "tilemap_get_cell_x_at_pixel() - tilemap element corrupted");

    const int32_t before = layer->count;
    const struct {
        double width, height;
    } bad[] = {{-1, 5}, {5, -1}, {70000, 70000}, {2147483647, 2}};
    for (const auto& b : bad) {
        ForgetErrors();
        EXPECT_EQ(Real("layer_tilemap_create", {lid, 0, 0, 0, b.width, b.height}), -1.0);
        EXPECT_NE(LastReport().find("layer_tilemap_create() - invalid tilemap size"), std::string::npos);
    }
    EXPECT_EQ(layer->count, before);
}

TEST_F(Tilemaps, MissingMapsAndOtherKinds)
{
    const double sprite = Real("layer_sprite_create", {1.0 * layer->id, 0, 0, 0});
    EXPECT_EQ(Real("tilemap_get_mask", {sprite}), -1.0);
    EXPECT_EQ(Real("tilemap_get_width", {sprite}), -1.0);
    EXPECT_EQ(Real("tilemap_x", {sprite, 5}), -1.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("tilemap_get_frame", {sprite}), -1.0);
    EXPECT_EQ(Real("tilemap_get", {9999, 0, 0}), -1.0);
    EXPECT_EQ(Call("tilemap_set", {R(sprite), R(1), R(0), R(0)}).real, 0.0);
    EXPECT_EQ(Real("tilemap_set_mask", {9999, 1}), -1.0);
    EXPECT_EQ(Real("tilemap_get_cell_y_at_pixel", {sprite, 0, 0}), -1.0);
    EXPECT_EQ(Real("layer_tilemap_exists", {999, map}), 0.0);
    EXPECT_EQ(Real("layer_tilemap_get_id", {999}), -1.0);
    EXPECT_EQ(Real("layer_tilemap_create", {999, 0, 0, 0, 1, 1}), -1.0);
    EXPECT_EQ(Log(), "tilemap_get_frame() - couldn't find specified tilemap\n"
                     "tilemap_get() - couldn't find specified tilemap\n"
                     "tilemap_set() - couldn't find specified tilemap\n"
                     "tilemap_set_mask() - couldn't find specified tilemap\n"
                     "tilemap_get_cell_y_at_pixel() - couldn't find specified tilemap\n"
                     "layer_tilemap_exists() - specified tilemap not found\n"
                     "layer_tilemap_get_id() - specified tilemap not found\n"
                     "layer_tilemap_create() - could not find specified layer in current room\n");
    EXPECT_EQ(Real("layer_tilemap_destroy", {sprite}), -1.0);  // removes whatever kind it names
    EXPECT_EQ(Layer_FindElement(&room, static_cast<int32_t>(sprite), nullptr), nullptr);
    ForgetErrors();
    Call("tilemap_set", {R(map)});
    EXPECT_EQ(LastReport(), "tilemap_set() - wrong number of arguments\n");
}

TEST_F(Tilemaps, DrawingOnDemandChecksItsArguments)
{
    EXPECT_EQ(Real("draw_tilemap", {map, 0, 0}), -1.0);
    EXPECT_EQ(Real("draw_tile", {1.0 * tileset, 3, 0, 0, 0}), -1.0);
    EXPECT_EQ(Log(), "");
    Real("draw_tilemap", {9999, 0, 0});
    Real("draw_tile", {99, 3, 0, 0, 0});
    Real("draw_tile", {1.0 * tileset, 20 + 0x10000000, 0, 0, 0});
    EXPECT_EQ(Log(), "draw_tilemap() - couldn't find specified tilemap\n"
                     "draw_tile() - couldn't find specified tilemap\n"
                     "draw_tile() - tile index outside tile set count\n");
}

// ---------------------------------------------------------------- rooms from the game data

using gamedata::RoomEntry;
using gamedata::RoomLayerEntry;

struct TilemapsFromGameData : LayerFunctions {
    std::vector<uint8_t> game;
    CGameRoom* live = nullptr;

    void SetUp() override
    {
        LayerFunctions::SetUp();
        Run_Room = nullptr;
        RoomLayerEntry tiles;
        tiles.name = "Tiles";
        tiles.id = 4;
        tiles.type = gamedata::LAYER_TYPE_TILEMAP;
        tiles.depth = 50;
        tiles.tileset = 0;
        tiles.tilemapWidth = 3;
        tiles.tilemapHeight = 1;
        tiles.cells = {1, 2, 0x10000003u};
        RoomLayerEntry empty;
        empty.name = "Empty";
        empty.id = 5;
        empty.type = gamedata::LAYER_TYPE_INSTANCES;
        empty.depth = 60;
        RoomEntry r;
        r.name = "rm_tiles";
        r.flags = 0x00020000u;  // the record carries a layer list
        r.layers = {tiles, empty};
        gamedata::FormWriter w;
        gamedata::GeneralHeader h;
        h.roomOrder = {0, 1};
        w.Gen8(h);
        w.Room({r, r});
        game = w.Finish();
        ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
        ASSERT_TRUE(LayerMode);
        Background_DeleteAll();
        TestBackground_SetTileset(TestBackground_Add(64, 16), 16, 16, 4);
        CodeFunction_FreeAll();
        InitLayerFunctions();
        live = new CGameRoom();
        Room_CopyDefinition(live, Room_Get(0), true);
        Run_Room = live;
        Layer_StartRoom(live);
        log.emplace();  // only what the built-ins write
    }
    void TearDown() override
    {
        Run_Room = nullptr;
        Layer_UnresolveAll(live);
        delete live;
        testgames::Unload();  // the image is ours
        LayerFunctions::TearDown();
    }
};

TEST_F(TilemapsFromGameData, TheMapOfATilemapLayerIsFoundByTheLayer)
{
    const double map = Call("layer_tilemap_get_id", {Text("tiles")}).real;
    ASSERT_GE(map, 0.0);
    EXPECT_EQ(Real("layer_tilemap_get_id", {4}), map);
    EXPECT_EQ(Row(Call("layer_get_all_elements", {R(4)})), (std::vector<double>{map}));
    EXPECT_EQ(Row(Call("layer_get_all_elements", {Text("Empty")})), std::vector<double>{});
    EXPECT_EQ(Real("layer_tilemap_get_id", {5}), -1.0);
    EXPECT_EQ(Real("tilemap_get", {map, 2, 0}), 268435459.0);
    EXPECT_EQ(Real("tilemap_get_width", {map}), 3.0);
    EXPECT_EQ(Log(), "");
}

TEST_F(TilemapsFromGameData, CellsOfARoomThatHasNotRunAreCopiedBeforeTheyChange)
{
    Call("layer_set_target_room", {R(1)});
    CGameRoom* target = Room_Get(1);
    const double map = Real("layer_tilemap_get_id", {4});
    ASSERT_GE(map, 0.0);
    auto* element = static_cast<LayerElement_Tilemap*>(Layer_FindElement(target, static_cast<int32_t>(map), nullptr));
    ASSERT_TRUE(GameData_Contains(element->cells));
    const std::vector<uint8_t> before(GameData, GameData + GameDataSize);
    EXPECT_EQ(Call("tilemap_set", {R(map), R(3), R(0), R(0)}).real, 1.0);
    EXPECT_FALSE(GameData_Contains(element->cells));
    EXPECT_EQ(Real("tilemap_get", {map, 0, 0}), 3.0);
    EXPECT_EQ(Real("tilemap_get", {map, 1, 0}), 2.0);
    EXPECT_EQ(std::memcmp(before.data(), GameData, GameDataSize), 0);  // the image is never written

    // The running room's own map is another one.
    Call("layer_reset_target_room", {});
    const double own = Real("layer_tilemap_get_id", {4});
    EXPECT_EQ(Real("tilemap_get", {own, 0, 0}), 1.0);
}

}  // namespace
