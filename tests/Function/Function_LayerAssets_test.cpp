// Background, sprite and single-tile elements through their built-ins.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Function/LayerFunctionFixture.h"

namespace {

struct LayerAssets : LayerFunctions {
    RoomLayer* layer = nullptr;
    double lid = 0;
    void SetUp() override
    {
        LayerFunctions::SetUp();
        layer = Layer_Create(&room, 0, "assets");
        lid = layer->id;
    }
};

struct Field {
    const char* setter;
    double value;
    double readBack;
};

// Each setter against its getter: layer_sprite_x reads back with layer_sprite_get_x,
// a change of sprite with ..._get_sprite.
void ExpectFields(LayerAssets& t, double element, const std::vector<Field>& fields)
{
    for (const Field& f : fields) {
        SCOPED_TRACE(f.setter);
        const std::string setter = f.setter;
        const size_t cut = setter.rfind('_') + 1;
        const std::string property = setter.substr(cut);
        const std::string getter = setter.substr(0, cut) + "get_" + (property == "change" ? "sprite" : property);
        EXPECT_EQ(t.Real(f.setter, {element, f.value}), -1.0);
        EXPECT_EQ(t.Real(getter.c_str(), {element}), f.readBack);
    }
}

TEST_F(LayerAssets, BackgroundElements)
{
    const double e = Real("layer_background_create", {lid, 7});
    const struct {
        const char* getter;
        double fresh;
    } initial[] = {
        {"layer_background_get_visible", 1}, {"layer_background_get_sprite", 7}, {"layer_background_get_htiled", 0},
        {"layer_background_get_vtiled", 0},  {"layer_background_get_xscale", 1}, {"layer_background_get_yscale", 1},
        {"layer_background_get_blend", -1},  {"layer_background_get_alpha", 1},  {"layer_background_get_index", 0},
        {"layer_background_get_speed", 1},
    };
    for (const auto& i : initial) EXPECT_EQ(Real(i.getter, {e}), i.fresh) << i.getter;
    ExpectFields(*this, e,
                 {{"layer_background_visible", 0.2, 0},  // not above 0.5: hidden
                  {"layer_background_change", 3, 3},
                  {"layer_background_htiled", 1, 1},
                  {"layer_background_vtiled", 1, 1},
                  {"layer_background_xscale", -2, -2},
                  {"layer_background_yscale", 0.5, 0.5},
                  {"layer_background_blend", 0xFFFFFF, 16777215},
                  {"layer_background_alpha", 3, 3},
                  {"layer_background_index", 2.5, 2.5},
                  {"layer_background_speed", -1, -1}});
    EXPECT_EQ(Real("layer_background_exists", {lid, e}), 1.0);
    EXPECT_EQ(Real("layer_background_exists", {999, e}), 0.0);

    // Missing elements and elements of other kinds: the defaults, silently.
    const double sprite = Real("layer_sprite_create", {lid, 0, 0, 0});
    for (double other : {sprite, 9999.0}) {
        for (const auto& [getter, value] : std::vector<std::pair<const char*, double>>{
                 {"layer_background_get_visible", 1}, {"layer_background_get_sprite", -1},
                 {"layer_background_get_htiled", 0}, {"layer_background_get_xscale", 1},
                 {"layer_background_get_blend", 0}, {"layer_background_get_alpha", 0},
                 {"layer_background_get_index", -1}, {"layer_background_get_speed", 0}})
            EXPECT_EQ(Real(getter, {other}), value) << getter;
        EXPECT_EQ(Real("layer_background_xscale", {other, 9}), -1.0);
    }
    EXPECT_EQ(Layer_FindElement(&room, static_cast<int32_t>(sprite), nullptr)->kind, LAYER_ELEMENT_SPRITE);
    EXPECT_EQ(Real("layer_background_exists", {lid, sprite}), 0.0);
    EXPECT_EQ(Log(), "");

    EXPECT_EQ(Real("layer_background_create", {999, 0}), -1.0);
    EXPECT_EQ(Log(), "layer_background_create() - could not find specified layer in current room");
    ForgetErrors();
    EXPECT_EQ(Real("layer_background_get_alpha", {}), -1.0);
    EXPECT_EQ(LastReport(), "layer_background_get_alpha() - wrong number of arguments");
}

TEST_F(LayerAssets, BackgroundIdIsTheElementNamedLikeItsLayer)
{
    Real("layer_background_create", {lid, 0});
    EXPECT_EQ(Real("layer_background_get_id", {lid}), -1.0);  // made by code: no name
    LayerElement_Background* named = Layer_NewBackgroundElement();
    named->name = layer->name;
    Layer_AddElement(&room, layer, named, true);
    EXPECT_EQ(Call("layer_background_get_id", {Text("ASSETS")}).real, named->id);
}

TEST_F(LayerAssets, DestroyingTheLastElementOfADynamicLayerRemovesIt)
{
    RoomLayer* dynamic = Layer_CreateDynamic(&room, 70);
    const int32_t dynamicId = dynamic->id;
    const double a = Real("layer_background_create", {1.0 * dynamicId, 0});
    const double b = Real("layer_sprite_create", {1.0 * dynamicId, 0, 0, 0});
    const double c = Real("layer_tile_create", {lid, 0, 0, 0, 0, 0, 1, 1});
    EXPECT_EQ(Real("layer_tile_destroy", {b}), -1.0);  // any kind goes
    EXPECT_NE(Layer_FindByID(&room, dynamicId), nullptr);
    EXPECT_EQ(Real("layer_background_destroy", {a}), -1.0);
    EXPECT_EQ(Layer_FindByID(&room, dynamicId), nullptr);
    EXPECT_EQ(Real("layer_sprite_destroy", {c}), -1.0);
    EXPECT_EQ(Layer_FindByID(&room, layer->id), layer);  // a layer made by code stays
    EXPECT_EQ(layer->count, 0);
    EXPECT_EQ(Real("layer_tilemap_destroy", {c}), -1.0);
}

TEST_F(LayerAssets, SpriteElements)
{
    const double e = Real("layer_sprite_create", {lid, 10, 20, 4});
    EXPECT_EQ(Real("layer_sprite_get_sprite", {e}), 4.0);
    EXPECT_EQ(Real("layer_sprite_get_x", {e}), 10.0);
    EXPECT_EQ(Real("layer_sprite_get_y", {e}), 20.0);
    EXPECT_EQ(Real("layer_sprite_get_blend", {e}), 4294967295.0);
    EXPECT_EQ(Real("layer_sprite_get_speed", {e}), 1.0);
    ExpectFields(*this, e,
                 {{"layer_sprite_change", 2, 2},
                  {"layer_sprite_index", 1.5, 1.5},
                  {"layer_sprite_speed", 0.25, 0.25},
                  {"layer_sprite_xscale", 2, 2},
                  {"layer_sprite_yscale", -1, -1},
                  {"layer_sprite_angle", 45, 45},
                  {"layer_sprite_blend", 255, 255},
                  {"layer_sprite_alpha", 0.5, 0.5},
                  {"layer_sprite_x", -8, -8},
                  {"layer_sprite_y", 3, 3}});
    EXPECT_EQ(Real("layer_sprite_exists", {lid, e}), 1.0);
    EXPECT_EQ(Real("layer_sprite_get_xscale", {9999}), 1.0);
    EXPECT_EQ(Real("layer_sprite_get_index", {9999}), -1.0);
    EXPECT_EQ(Real("layer_sprite_get_alpha", {9999}), 0.0);
    const double background = Real("layer_background_create", {lid, 0});
    EXPECT_EQ(Real("layer_sprite_angle", {background, 90}), -1.0);
    EXPECT_EQ(Real("layer_sprite_get_angle", {background}), 0.0);
    EXPECT_EQ(Real("layer_sprite_exists", {lid, background}), 0.0);

    LayerElement_Sprite* tree = Layer_NewSpriteElement();
    tree->name = "Tree";
    Layer_AddElement(&room, layer, tree, true);
    EXPECT_EQ(Call("layer_sprite_get_id", {R(lid), Text("tree")}).real, tree->id);
    EXPECT_EQ(Call("layer_sprite_get_id", {R(999), Text("tree")}).real, -1.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("layer_sprite_create", {999, 0, 0, 0}), -1.0);
    EXPECT_EQ(Log(), "layer_sprite_create() - could not find specified layer in current room\n");
}

TEST_F(LayerAssets, SingleTileElements)
{
    const double e = Real("layer_tile_create", {lid, 5, 6, 2, 16, 32, 8, 8});
    EXPECT_EQ(Row(Call("layer_tile_get_region", {R(e)})), (std::vector<double>{16, 32, 8, 8}));
    EXPECT_EQ(Real("layer_tile_get_blend", {e}), 4294967295.0);
    EXPECT_EQ(Real("layer_tile_get_visible", {e}), 1.0);
    EXPECT_EQ(Real("layer_tile_get_sprite", {e}), 2.0);
    ExpectFields(*this, e,
                 {{"layer_tile_visible", 0, 0},
                  {"layer_tile_visible", 0.2, 1},  // any non-zero value shows it
                  {"layer_tile_change", 9, 9},
                  {"layer_tile_xscale", 2, 2},
                  {"layer_tile_yscale", 3, 3},
                  {"layer_tile_blend", 255, 255},
                  {"layer_tile_alpha", 0.25, 0.25},
                  {"layer_tile_x", 1, 1},
                  {"layer_tile_y", -1, -1}});
    EXPECT_EQ(Real("layer_tile_region", {e, 1, 2, 3, 4}), -1.0);
    EXPECT_EQ(Row(Call("layer_tile_get_region", {R(e)})), (std::vector<double>{1, 2, 3, 4}));

    const double sprite = Real("layer_sprite_create", {lid, 0, 0, 0});
    EXPECT_EQ(Real("layer_tile_exists", {sprite}), 1.0);  // one argument: any element
    EXPECT_EQ(Real("layer_tile_exists", {lid, sprite}), 0.0);
    EXPECT_EQ(Real("layer_tile_exists", {lid, e}), 1.0);
    EXPECT_EQ(Real("layer_tile_get_xscale", {sprite}), 1.0);
    EXPECT_EQ(Real("layer_tile_get_sprite", {sprite}), -1.0);
    EXPECT_EQ(Real("layer_tile_get_region", {sprite}), -1.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("layer_tile_create", {999, 0, 0, 0, 0, 0, 1, 1}), -1.0);
    EXPECT_EQ(Log(), "layer_tile_create() - could not find specified layer in current room\n");

    const struct {
        const char* name;
        std::vector<double> args;
        const char* message;
    } counts[] = {
        {"layer_tile_exists", {lid, e, 1}, "layer_tile_exists() - takes one or two parameters"},
        {"layer_tile_x", {e}, "\"layer_tile_x\"() - wrong number of arguments"},
        {"layer_tile_get_visible", {}, "\"layer_tile_get_visible\"() - wrong number of arguments"},
        {"layer_tile_region", {e}, "layer_tile_region() - wrong number of arguments"},
        {"layer_tile_create", {lid}, "layer_tile_create() - wrong number of arguments"},
    };
    for (const auto& c : counts) {
        ForgetErrors();
        std::vector<ScriptValue> args;
        for (double v : c.args) args.push_back(R(v));
        const ScriptValue result = Call(c.name, args);
        EXPECT_EQ(result.real, std::string(c.name) == "layer_tile_exists" ? 0.0 : -1.0) << c.name;
        EXPECT_EQ(LastReport(), c.message);
    }
}

TEST_F(LayerAssets, WrongArgumentKindsAreReportedByTheGetters)
{
    const double background = Real("layer_background_create", {lid, 0});
    const double sprite = Real("layer_sprite_create", {lid, 0, 0, 0});
    const double tile = Real("layer_tile_create", {lid, 0, 0, 0, 0, 0, 1, 1});
    const double map = Real("layer_tilemap_create", {lid, 0, 0, 0, 1, 1});
    const struct {
        const char* name;
        double element;
        bool text;  // a string where a number is read as a float, else undefined
        const char* message;
    } cases[] = {
        {"layer_background_change", background, false, "layer_background_change argument 2 incorrect type"},
        {"layer_background_alpha", background, true, "layer_background_alpha argument 2 incorrect type"},
        {"layer_sprite_x", sprite, true, "layer_sprite_x argument 2 incorrect type"},
        {"layer_sprite_blend", sprite, false, "layer_sprite_blend argument 2 incorrect type"},
        {"layer_tile_alpha", tile, true, "layer_tile_alpha argument 2 incorrect type"},
        {"tilemap_x", map, true, "tilemap_x argument 2 incorrect type"},
        {"tilemap_clear", map, false, "tilemap_clear argument 2 incorrect type"},
        {"tile_get_index", 0, false, "tile_get_index argument 1 incorrect type"},
    };
    for (const auto& c : cases) {
        ForgetErrors();
        ScriptValue bad = c.text ? Text("x") : ScriptValue_Undefined();
        if (std::string(c.name) == "tile_get_index")
            Call(c.name, {bad});
        else
            Call(c.name, {R(c.element), bad});
        EXPECT_NE(LastReport().find(c.message), std::string::npos) << c.name << ": " << LastReport();
    }
}

TEST_F(LayerAssets, TileBlendIsReadAsAFloat)
{
    const double e = Real("layer_tile_create", {lid, 0, 0, 0, 0, 0, 1, 1});
    Real("layer_tile_blend", {e, 16777217});  // 2^24 + 1 has no float: it rounds down
    EXPECT_EQ(Real("layer_tile_get_blend", {e}), 16777216.0);
    Real("layer_tile_blend", {e, 1e30});  // far out of range: a defined value, no fault
    Real("layer_tile_visible", {e, NAN});
    EXPECT_EQ(Real("layer_tile_get_visible", {e}), 1.0);
}

}  // namespace
