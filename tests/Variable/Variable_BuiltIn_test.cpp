#include "Variable/Variable_BuiltIn.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "Code/VariableList.h"
#include "World/Instance.h"
#include "GameData/GameHeader.h"

namespace {
struct BuiltInTable : ::testing::Test {
    void SetUp() override { Variable_BuiltIn_Init(); }
};

TEST_F(BuiltInTable, EveryVariableHasItsFixedId)
{
    struct Case {
        const char* name;
        int32_t id;
    } cases[] = {
        {"x", 0}, {"alarm", 15}, {"sprite_index", 24}, {"path_index", 39}, {"timeline_loop", 50}, {"async_load", 51},
        {"phy_rotation", 54}, {"phy_mass", 67}, {"phy_col_normal_y", 81}, {"display_aa", 82}, {"layer", 85},
        {"argument_relative", 86}, {"room", 109}, {"background_color", 132}, {"background_colour", 134},
        {"view_camera", 169}, {"mouse_x", 170}, {"fps", 185}, {"error_last", 201}, {"application_surface", 202},
        {"os_type", 203}, {"os_device", 204}, {"browser_height", 208}, {"X", -1}, {"quillstep_version", -1},
    };
    EXPECT_EQ(Variable_BuiltIn_Count(), BUILTIN_VARIABLE_TOTAL);
    for (const Case& c : cases) EXPECT_EQ(Variable_BuiltIn_Find(c.name), c.id) << c.name;
}

TEST_F(BuiltInTable, ARestartedRunRegistersTheSameIds)
{
    Variable_BuiltIn_Free();
    Variable_BuiltIn_Init();
    EXPECT_EQ(Variable_BuiltIn_Count(), BUILTIN_VARIABLE_TOTAL);
    EXPECT_EQ(Variable_BuiltIn_Find("application_surface"), 202);
    Variable_BuiltIn_Init();  // over a full table: still the same ids
    EXPECT_EQ(Variable_BuiltIn_Count(), BUILTIN_VARIABLE_TOTAL);
}

TEST_F(BuiltInTable, ExactlyTheReadOnlyVariablesHaveNoSetter)
{
    const std::set<std::string> readOnly = {
        "object_index", "id", "bbox_left", "bbox_right", "bbox_top", "bbox_bottom", "image_number", "sprite_width",
        "sprite_height", "sprite_xoffset", "sprite_yoffset", "path_index", "async_load", "event_data", "iap_data",
        "phy_mass", "phy_inertia", "phy_com_x", "phy_com_y", "phy_speed", "phy_dynamic", "phy_kinematic",
        "phy_sleeping", "phy_position_xprevious", "phy_position_yprevious", "phy_collision_points",
        "phy_collision_x", "phy_collision_y", "phy_col_normal_x", "phy_col_normal_y", "display_aa", "delta_time",
        "webgl_enabled", "argument_relative", "argument_count", "debug_mode", "pointer_invalid", "pointer_null",
        "undefined", "room_first", "room_last", "game_id", "game_guid", "game_display_name", "game_project_name",
        "game_save_id", "working_directory", "temp_directory", "program_directory", "instance_count", "instance_id",
        "background_width", "background_height", "view_current", "mouse_x", "mouse_y", "fps", "fps_real",
        "current_time", "current_year", "current_month", "current_day", "current_weekday", "current_hour",
        "current_minute", "current_second", "event_type", "event_number", "event_object", "event_action",
        "secure_mode", "application_surface", "os_type", "os_device", "os_version", "os_browser", "browser_width",
        "browser_height",
    };
    ASSERT_EQ(readOnly.size(), 78u);
    for (int32_t id = 0; id < Variable_BuiltIn_Count(); ++id) {
        const BuiltinVariable* v = Variable_BuiltIn_At(id);
        ASSERT_NE(v->getter, nullptr) << v->name;
        EXPECT_EQ(v->canSet, readOnly.count(v->name) == 0) << v->name;
        EXPECT_EQ(v->setter != nullptr, v->canSet) << v->name;
    }
}

TEST_F(BuiltInTable, AReadOnlyVariableRefusesAWrite)
{
    CInstance self(0, 0, 100007, -1, false);
    ScriptValue value = ScriptValue_Real(5);
    EXPECT_FALSE(Variable_SetValue(&self, Variable_BuiltIn_Find("object_index"), ARRAY_INDEX_NONE, &value));
    EXPECT_FALSE(Variable_SetValue(&self, Variable_BuiltIn_Find("id"), ARRAY_INDEX_NONE, &value));
    EXPECT_EQ(self.object_index, 0);
    EXPECT_EQ(self.id, 100007);
    EXPECT_TRUE(Variable_SetValue(&self, Variable_BuiltIn_Find("x"), ARRAY_INDEX_NONE, &value));
    EXPECT_EQ(self.x, 5.0f);
}

TEST_F(BuiltInTable, InObjectModeInstanceAndGlobalObjectShareTheVariablesOut)
{
    ObjectMode = true;
    CInstance self(0, 0, 100000, -1, false);
    Variable_CreateGlobalObject();
    ObjectMode = false;
    ASSERT_NE(self.m_properties, nullptr);
    EXPECT_NE(self.m_properties->Find("x"), nullptr);
    EXPECT_NE(self.m_properties->Find("event_data"), nullptr);
    EXPECT_NE(self.m_properties->Find("working_directory"), nullptr);
    EXPECT_EQ(self.m_properties->Find("room"), nullptr);
    EXPECT_EQ(self.m_properties->Find("delta_time"), nullptr);

    const KVObjectBase* global = Variable_GlobalObject();
    ASSERT_NE(global->m_properties, nullptr);
    EXPECT_NE(global->m_properties->Find("room"), nullptr);
    EXPECT_NE(global->m_properties->Find("delta_time"), nullptr);
    EXPECT_NE(global->m_properties->Find("os_type"), nullptr);
    EXPECT_EQ(global->m_properties->Find("x"), nullptr);
    EXPECT_EQ(global->m_properties->Find("game_guid"), nullptr);
    Variable_FreeGlobalObject();
}

TEST(BuiltInConversions, RoundingAndFlags)
{
    struct Case {
        double in;
        int32_t roundedSingle, truncated;
        bool roomFlag, instanceFlag;
    } cases[] = {
        {0.5, 0, 0, false, false},   {1.5, 2, 1, true, true},    {2.5, 2, 2, true, true},
        {0.6, 1, 0, true, true},     {-0.6, -1, 0, false, true}, {-1, -1, -1, false, true},
        {0.4, 0, 0, false, false},   {3.5, 4, 3, true, true},    {-2.5, -2, -2, false, true},
    };
    for (const Case& c : cases) {
        ScriptValue v = ScriptValue_Real(c.in);
        EXPECT_EQ(BuiltIn_ToRoundedSingleInt(&v), c.roundedSingle) << c.in;
        EXPECT_EQ(BuiltIn_ToTruncatedInt(&v), c.truncated) << c.in;
        EXPECT_EQ(BuiltIn_ToRoomFlag(&v), c.roomFlag) << c.in;
        EXPECT_EQ(BuiltIn_ToInstanceFlag(&v), c.instanceFlag) << c.in;
    }
    ScriptValue text;
    ScriptValue_InitString(&text, "2.25");
    EXPECT_EQ(BuiltIn_ToSingle(&text), 2.25f);
    ScriptValue_FreePayload(&text);
}
}  // namespace
