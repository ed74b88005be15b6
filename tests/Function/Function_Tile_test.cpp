// The legacy tile built-ins called by name through the built-in table on the
// current room: ids, fields, tile layers and the reports for unknown ids.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Function/Function_Tile.h"
#include "Function/LayerFunctionFixture.h"

namespace {
struct TileFunctions : LayerFunctions {
    int32_t background = -1;
    void SetUp() override
    {
        LayerFunctions::SetUp();
        InitTileFunctions();
        Background_DeleteAll();
        background = TestBackground_Add(64, 64);
    }
    void TearDown() override
    {
        Background_DeleteAll();
        LayerFunctions::TearDown();
    }
    double Add(double x, double y, double depth)
    {
        return Real("tile_add", {1.0 * background, 1, 2, 16, 8, x, y, depth});
    }
    // The message of the last error report, its frame stripped ("" for none); forgotten after.
    std::string Report()
    {
        const std::string text = LastReport();
        ForgetErrors();
        for (const char* message : {"Tile does not exist.", "Background does not exist.", "Incorrect argument count"})
            if (text.find(std::string("\n") + message + "\n") != std::string::npos) return message;
        return text;
    }
};
}  // namespace

TEST_F(TileFunctions, AddedTilesGetFreshIdsAndTheirFields)
{
    EXPECT_EQ(Real("tile_get_count", {}), 0.0);
    EXPECT_EQ(Real("tile_get_id", {0}), -1.0);
    const int32_t last = Room_LastTileId;
    const double first = Add(10, 20, 100);
    const double second = Add(30, 40, 50);
    EXPECT_EQ(first, last + 1.0);
    EXPECT_EQ(second, last + 2.0);
    EXPECT_EQ(Real("tile_get_count", {}), 2.0);
    EXPECT_EQ(Real("tile_get_id", {1}), second);
    EXPECT_EQ(Real("tile_get_id", {2}), -1.0);
    EXPECT_EQ(Real("tile_get_id", {-1}), -1.0);

    const struct {
        const char* name;
        double value;
    } fields[] = {
        {"tile_get_x", 10},     {"tile_get_y", 20},      {"tile_get_left", 1},       {"tile_get_top", 2},
        {"tile_get_width", 16}, {"tile_get_height", 8},  {"tile_get_background", 0}, {"tile_get_depth", 100},
        {"tile_get_xscale", 1}, {"tile_get_yscale", 1},  {"tile_get_blend", 0xFFFFFF}, {"tile_get_alpha", 1},
        {"tile_get_visible", 1}, {"tile_exists", 1},
    };
    for (const auto& f : fields) EXPECT_EQ(Real(f.name, {first}), f.value) << f.name;
    EXPECT_EQ(Report(), "");

    // Setters write in place and leave the result undefined.
    const struct {
        const char* setter;
        std::vector<double> values;
        const char* getter;
        double read;
    } setters[] = {
        {"tile_set_position", {5, 6}, "tile_get_y", 6},
        {"tile_set_region", {3, 4, 7, 9}, "tile_get_height", 9},
        {"tile_set_background", {42}, "tile_get_background", 42},  // stored without a test
        {"tile_set_depth", {-3}, "tile_get_depth", -3},
        {"tile_set_scale", {2, 0.5}, "tile_get_yscale", 0.5},
        {"tile_set_blend", {0x123456}, "tile_get_blend", 0x123456},
        {"tile_set_alpha", {0.25}, "tile_get_alpha", 0.25},
        {"tile_set_visible", {0}, "tile_get_visible", 0},
    };
    for (const auto& s : setters) {
        std::vector<ScriptValue> args{R(first)};
        for (double v : s.values) args.push_back(R(v));
        EXPECT_EQ(Call(s.setter, args).Kind(), VALUE_UNDEFINED) << s.setter;
        EXPECT_EQ(Real(s.getter, {first}), s.read) << s.setter;
    }
    EXPECT_EQ(Real("tile_get_x", {second}), 30.0);  // the other tile is untouched
    EXPECT_EQ(Report(), "");
}

TEST_F(TileFunctions, UnknownIdsAndBackgroundsAreReported)
{
    const double id = Add(0, 0, 0);
    EXPECT_EQ(Real("tile_add", {7, 0, 0, 8, 8, 0, 0, 0}), -1.0);
    EXPECT_EQ(Report(), "Background does not exist.");
    EXPECT_EQ(Real("tile_get_count", {}), 1.0);

    const double missing = id + 100;
    for (const char* getter : {"tile_get_x", "tile_get_alpha", "tile_get_visible", "tile_get_blend"}) {
        EXPECT_EQ(Real(getter, {missing}), 0.0) << getter;
        EXPECT_EQ(Report(), "Tile does not exist.") << getter;
    }
    const struct {
        const char* name;
        int argc;
    } setters[] = {{"tile_set_position", 3}, {"tile_set_alpha", 2}, {"tile_set_visible", 2}, {"tile_delete", 1}};
    for (const auto& s : setters) {
        std::vector<ScriptValue> args{R(missing)};
        for (int i = 1; i < s.argc; ++i) args.push_back(R(0));
        EXPECT_EQ(Call(s.name, args).Kind(), VALUE_UNDEFINED) << s.name;
        EXPECT_EQ(Report(), "Tile does not exist.") << s.name;
    }
    EXPECT_EQ(Real("tile_exists", {missing}), 0.0);
    EXPECT_EQ(Report(), "");
    EXPECT_EQ(Real("tile_get_x", {id}), 0.0);
    EXPECT_EQ(Real("tile_get_count", {}), 1.0);

    Call("tile_delete", {R(id)});
    EXPECT_EQ(Report(), "");
    EXPECT_EQ(Real("tile_exists", {id}), 0.0);
    EXPECT_EQ(Real("tile_get_count", {}), 0.0);
}

TEST_F(TileFunctions, IdListsAndTileLayers)
{
    // No tiles: both lists leave the result undefined.
    EXPECT_EQ(Call("tile_get_ids", {}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("tile_get_ids_at_depth", {R(0)}).Kind(), VALUE_UNDEFINED);

    const double a = Add(0, 0, 1000), b = Add(100, 0, 500), c = Add(20, 0, 1000);
    EXPECT_EQ(Row(Call("tile_get_ids", {})), (std::vector<double>{a, b, c}));
    EXPECT_EQ(Call("tile_get_ids", {R(1)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Report(), "Incorrect argument count");
    EXPECT_EQ(Row(Call("tile_get_ids_at_depth", {R(1000)})), (std::vector<double>{a, c}));
    EXPECT_EQ(Row(Call("tile_get_ids_at_depth", {R(7)})), std::vector<double>{0});

    // Tiles are 16 x 8: the point (22, 4) lies in c (20..36) only.
    EXPECT_EQ(Real("tile_layer_find", {1000, 22, 4}), c);
    EXPECT_EQ(Real("tile_layer_find", {1000, 50, 4}), -1.0);
    EXPECT_EQ(Real("tile_layer_find", {500, 22, 4}), -1.0);

    Call("tile_layer_hide", {R(1000)});
    EXPECT_EQ(Real("tile_get_visible", {a}), 0.0);
    EXPECT_EQ(Real("tile_get_visible", {b}), 1.0);
    Call("tile_layer_show", {R(1000)});
    EXPECT_EQ(Real("tile_get_visible", {c}), 1.0);
    Call("tile_layer_shift", {R(1000), R(5), R(-2)});
    EXPECT_EQ(Real("tile_get_x", {c}), 25.0);
    EXPECT_EQ(Real("tile_get_y", {a}), -2.0);
    EXPECT_EQ(Real("tile_get_x", {b}), 100.0);

    Call("tile_layer_depth", {R(1000), R(500)});
    EXPECT_EQ(Row(Call("tile_get_ids_at_depth", {R(1000)})), std::vector<double>{0});
    EXPECT_EQ(Row(Call("tile_get_ids_at_depth", {R(500)})), (std::vector<double>{a, b, c}));

    Call("tile_layer_delete_at", {R(500), R(104), R(2)});
    EXPECT_EQ(Real("tile_exists", {b}), 0.0);
    Call("tile_layer_delete", {R(500)});
    EXPECT_EQ(Real("tile_get_count", {}), 0.0);
    EXPECT_EQ(Report(), "");
}
