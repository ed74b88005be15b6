#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Function/LayerFunctionFixture.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Main.h"

namespace {

using LayerProperties = LayerFunctions;

TEST_F(LayerProperties, AllAreRegisteredInOrderWithFlagOne)
{
    ASSERT_EQ(CodeFunction_Count(), 148);
    const struct {
        int32_t index;
        const char* name;
        int32_t count;
    } spots[] = {
        {0, "layer_get_id", 1},         {3, "layer_create", 2},          {38, "layer_background_get_id", 1},
        {64, "layer_sprite_create", 4}, {86, "instance_activate_layer", 1}, {90, "layer_tilemap_create", 6},
        {110, "draw_tile", 5},          {127, "layer_tile_create", 8},   {147, "layer_instance_get_instance", 1},
    };
    for (const auto& s : spots) {
        const char* name = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = -2;
        uint8_t flag = 0;
        CodeFunction_GetInfo(s.index, &name, &routine, &count, &flag);
        EXPECT_STREQ(name, s.name);
        EXPECT_EQ(count, s.count) << s.name;
    }
    for (int32_t i = 0; i < CodeFunction_Count(); ++i) {
        const char* name = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = -2;
        uint8_t flag = 0;
        CodeFunction_GetInfo(i, &name, &routine, &count, &flag);
        EXPECT_EQ(flag, 1) << name;
        EXPECT_NE(routine, nullptr) << name;
    }
}

TEST_F(LayerProperties, LayersAreFoundByNameIgnoringCaseOrById)
{
    RoomLayer* background = Layer_Create(&room, 300, "background");
    RoomLayer* seven = Layer_Create(&room, 10, "7");
    EXPECT_EQ(Call("layer_get_id", {Text("Background")}).real, background->id);
    EXPECT_EQ(Call("layer_get_id", {Text("nothing")}).real, -1.0);
    // A string is a name even when it spells a number.
    EXPECT_EQ(Call("layer_exists", {Text("7")}).real, 1.0);
    EXPECT_EQ(Call("layer_get_depth", {Text("7")}).real, 10.0);
    EXPECT_EQ(Real("layer_get_depth", {static_cast<double>(seven->id)}), 10.0);
    EXPECT_EQ(Call("layer_exists", {Text(std::to_string(background->id).c_str())}).real, 0.0);
    EXPECT_EQ(Real("layer_exists", {static_cast<double>(background->id)}), 1.0);
    EXPECT_EQ(Real("layer_exists", {999}), 0.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("layer_get_depth", {999}), -1.0);
    EXPECT_EQ(Log(), "layer_get_depth() - layer not found in current room\n");
}

TEST_F(LayerProperties, ListsOfLayersAreArraysInListOrder)
{
    RoomLayer* a = Layer_Create(&room, 100, "a");
    RoomLayer* b = Layer_Create(&room, 100, "b");
    RoomLayer* c = Layer_Create(&room, 50, "c");
    Layer_CreateDynamic(&room, 75);
    EXPECT_EQ(Row(Call("layer_get_id_at_depth", {R(100)})), (std::vector<double>{1.0 * a->id, 1.0 * b->id}));
    EXPECT_EQ(Row(Call("layer_get_id_at_depth", {R(80)})), (std::vector<double>{-1}));
    EXPECT_EQ(Row(Call("layer_get_all", {})), (std::vector<double>{1.0 * c->id, 1.0 * a->id, 1.0 * b->id}));
    EXPECT_EQ(Row(Call("layer_get_id_at_depth", {R(100), R(1)})), (std::vector<double>{-1}));
    EXPECT_EQ(LastReport(), "layer_get_id_at_depth() - takes a single argument");

    CGameRoom onlyDynamic;
    Run_Room = &onlyDynamic;
    Layer_CreateDynamic(&onlyDynamic, 0);
    EXPECT_EQ(Row(Call("layer_get_all", {})), std::vector<double>{});
    Run_Room = nullptr;
    EXPECT_EQ(Real("layer_get_all", {}), -1.0);
    EXPECT_EQ(Row(Call("layer_get_id_at_depth", {R(100)})), (std::vector<double>{-1}));
    Run_Room = &room;
}

TEST_F(LayerProperties, NamesReadBackAsStrings)
{
    const double named = Call("layer_create", {R(5), Text("Trees")}).real;
    const double plain = Real("layer_create", {6});
    const double third = Call("layer_create", {R(7), Text("x"), R(99)}).real;  // a third argument is ignored
    EXPECT_GT(plain, named);
    ScriptValue name = Call("layer_get_name", {R(named)});
    ASSERT_EQ(name.Kind(), VALUE_STRING);
    EXPECT_STREQ(ScriptValue_StringText(&name), "Trees");
    ScriptValue_SetUndefined(&name);
    name = Call("layer_get_name", {R(plain)});
    EXPECT_STREQ(ScriptValue_StringText(&name), "");
    ScriptValue_SetUndefined(&name);
    EXPECT_EQ(Real("layer_get_depth", {third}), 7.0);
    EXPECT_EQ(Real("layer_get_name", {999}), -1.0);
    EXPECT_EQ(Real("layer_get_name", {}), -1.0);
    EXPECT_EQ(LastReport(), "layer_get_name() - takes a layer name or ID");
    EXPECT_FALSE(Layer_FindByID(&room, static_cast<int32_t>(plain))->dynamic);
}

TEST_F(LayerProperties, SettersReturnMinusOneAndGettersReadBack)
{
    const double id = Real("layer_create", {0});
    const struct {
        const char* setter;
        const char* getter;
        double value;
    } cases[] = {
        {"layer_x", "layer_get_x", 12.5},         {"layer_y", "layer_get_y", -3},
        {"layer_hspeed", "layer_get_hspeed", 2},  {"layer_vspeed", "layer_get_vspeed", -0.25},
        {"layer_script_begin", "layer_get_script_begin", 4},
        {"layer_script_end", "layer_get_script_end", 99},  // not a script: stored anyway
        {"layer_shader", "layer_get_shader", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setter);
        EXPECT_EQ(Real(c.setter, {id, c.value}), -1.0);
        EXPECT_EQ(Real(c.getter, {id}), c.value);
    }
    EXPECT_EQ(Real("layer_get_visible", {id}), 1.0);
    EXPECT_EQ(Real("layer_set_visible", {id, 0.5}), -1.0);  // not above 0.5
    EXPECT_EQ(Real("layer_get_visible", {id}), 0.0);
    EXPECT_EQ(Log(), "");

    // A missing layer: the defaults, silent except for the visibility pair.
    for (const char* getter : {"layer_get_x", "layer_get_y", "layer_get_hspeed", "layer_get_vspeed"})
        EXPECT_EQ(Real(getter, {999}), 0.0) << getter;
    for (const char* getter : {"layer_get_script_begin", "layer_get_script_end", "layer_get_shader"})
        EXPECT_EQ(Real(getter, {999}), -1.0) << getter;
    EXPECT_EQ(Real("layer_x", {999, 1}), -1.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("layer_set_visible", {999, 1}), -1.0);
    EXPECT_EQ(Real("layer_get_visible", {999}), 0.0);
    EXPECT_EQ(Log(), "layer_set_visible() - could not find specified layer in current room\n"
                     "layer_get_visible() - could not find specified layer in current room\n");
}

TEST_F(LayerProperties, WrongCountsShowTheirMessageAndChangeNothing)
{
    RoomLayer* layer = Layer_Create(&room, 0, "l");
    const double id = layer->id;
    const struct {
        const char* name;
        std::vector<double> args;
        const char* message;
        double result;
    } cases[] = {
        {"layer_get_depth", {}, "layer_get_depth() - wrong number of arguments", -1},
        {"layer_x", {id}, "layer_x() - wrong number of arguments", -1},
        {"layer_exists", {id, 1}, "layer_exists() - wrong number of arguments", 0},
        {"layer_get_visible", {}, "layer_get_visible() - wrong number of arguments", 0},
        {"layer_get_all", {1}, "layer_get_all() - doesn't take any arguments", -1},
        {"layer_create", {}, "layer_create() - must have at least 1 argument", -1},
        {"layer_destroy", {id, 1}, "layer_destroy() - wrong number of arguments", -1},
        {"layer_depth", {id}, "layer_depth() - wrong number of parameters", -1},
        {"layer_get_all_elements", {}, "layer_get_all_elements() - takes one argument", -1},
        {"layer_get_element_layer", {}, "layer_get_element_layer() - takes a single parameter", -1},
        {"layer_get_element_type", {1, 2}, "layer_get_element_type() - takes a single parameter", -1},
        {"layer_element_move", {1}, "layer_element_move() - takes two parameters", -1},
        {"layer_destroy_instances", {}, "layer_destroy_instances() - takes one argument", -1},
        {"layer_add_instance", {id}, "layer_add_instance() - wrong number of arguments", -1},
        {"instance_deactivate_layer", {}, "instance_deactivate_layer() - wrong number of arguments", 0},
        {"layer_instance_get_instance", {}, "layer_instance_get_instance() - wrong number of arguments", -4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetErrors();
        std::vector<ScriptValue> args;
        for (double v : c.args) args.push_back(R(v));
        const ScriptValue result = Call(c.name, args);
        EXPECT_EQ(result.real, c.result);
        EXPECT_EQ(LastReport(), c.message);
        EXPECT_FALSE(FatalErrorShown);
    }
    EXPECT_EQ(Layer_FindByID(&room, layer->id), layer);
    EXPECT_EQ(room.layers.count, 1);
    // The force built-in leaves its result undefined, also after its message.
    ForgetErrors();
    EXPECT_EQ(Call("layer_force_draw_depth", {R(1)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(LastReport(), "layer_force_draw_depth() - takes two parameters");
    EXPECT_FALSE(LayerForceDrawDepth);
}

TEST_F(LayerProperties, WrongArgumentKindsAreReportedByTheGetters)
{
    const double id = Real("layer_create", {0});
    Call("layer_x", {R(id), Text("far")});
    EXPECT_NE(LastReport().find("layer_x argument 2 incorrect type"), std::string::npos) << LastReport();
    ForgetErrors();
    Call("layer_get_id", {R(id)});  // a name only
    EXPECT_NE(LastReport().find("layer_get_id argument 1 incorrect type"), std::string::npos) << LastReport();
    ForgetErrors();
    ScriptValue none = ScriptValue_Undefined();
    Call("layer_depth", {R(id), none});
    EXPECT_NE(LastReport().find("layer_depth argument 2 incorrect type"), std::string::npos) << LastReport();
}

TEST_F(LayerProperties, DepthMovesTheLayerAndItsInstances)
{
    RoomLayer* layer = Layer_Create(&room, 100, "things");
    RoomLayer* other = Layer_Create(&room, 50, "other");
    CInstance* a = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    CInstance* b = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    DepthChangeQueue.count = 0;
    EXPECT_EQ(Real("layer_depth", {1.0 * layer->id, 100}), -1.0);  // unchanged: nothing happens
    EXPECT_EQ(DepthChangeQueue.count, 0);
    EXPECT_EQ(Real("layer_depth", {1.0 * layer->id, 10}), -1.0);
    EXPECT_EQ(room.layers.first, layer);
    EXPECT_EQ(room.layers.last, other);
    EXPECT_FLOAT_EQ(a->depth, 10.0f);
    EXPECT_FLOAT_EQ(b->depth, 10.0f);
    EXPECT_EQ(DepthChangeQueue.count, 2);
    Real("layer_depth", {1.0 * layer->id, 20});
    EXPECT_EQ(DepthChangeQueue.count, 2);  // each instance queued once
    DepthChangeQueue.count = 0;
    EXPECT_EQ(Real("layer_depth", {999, 1}), -1.0);
    EXPECT_EQ(Log(), "layer_depth() - can't find specified layer\n");
}

TEST_F(LayerProperties, DestroyRemovesTheLayerAndItsInstances)
{
    RoomLayer* layer = Layer_Create(&room, 100, "things");
    CInstance* a = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    const int32_t id = layer->id;
    EXPECT_EQ(Call("layer_destroy", {Text("THINGS")}).real, -1.0);
    EXPECT_EQ(Layer_FindByID(&room, id), nullptr);
    EXPECT_TRUE(a->m_marked);
    EXPECT_EQ(Real("layer_destroy", {1.0 * id}), -1.0);
    EXPECT_EQ(Log(), "layer_destroy() - layer not found in current room\n");
}

TEST_F(LayerProperties, ForcedDepthAndTargetRoomAreProcessState)
{
    EXPECT_EQ(Call("layer_force_draw_depth", {R(1), R(0)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Real("layer_is_draw_depth_forced", {}), 1.0);
    EXPECT_EQ(Real("layer_get_forced_depth", {}), 0.0);
    Call("layer_force_draw_depth", {R(0), R(-7)});
    EXPECT_EQ(Real("layer_is_draw_depth_forced", {}), 0.0);
    EXPECT_EQ(Real("layer_get_forced_depth", {}), -7.0);

    // A target index that names no room: the built-ins keep to the current room.
    const double id = Real("layer_create", {3});
    EXPECT_EQ(Call("layer_set_target_room", {R(99)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Real("layer_get_target_room", {}), 99.0);
    EXPECT_EQ(Real("layer_get_depth", {id}), 3.0);
    EXPECT_EQ(Call("layer_set_target_room", {}).Kind(), VALUE_UNDEFINED);  // nothing to store
    EXPECT_EQ(Real("layer_get_target_room", {}), 99.0);
    EXPECT_EQ(Call("layer_reset_target_room", {}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Real("layer_get_target_room", {}), -1.0);
    EXPECT_FALSE(error_occurred);
}

TEST_F(LayerProperties, WithoutARoomNothingChangesButCreateHandsOutAnId)
{
    Run_Room = nullptr;
    const int32_t before = Layer_LastCreatedId;
    EXPECT_EQ(Real("layer_create", {0}), before + 1.0);
    EXPECT_EQ(Real("layer_create", {0}), before + 2.0);
    EXPECT_EQ(Real("layer_get_depth", {1}), -1.0);
    EXPECT_EQ(Real("layer_exists", {1}), 0.0);
    EXPECT_EQ(Real("layer_x", {1, 2}), -1.0);
    EXPECT_EQ(Real("layer_destroy", {1}), -1.0);
    EXPECT_EQ(Log(), "");
    Run_Room = &room;
}

}  // namespace
