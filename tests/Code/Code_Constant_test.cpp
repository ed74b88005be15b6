#include <gtest/gtest.h>

#include <string>

#include "Code/Code_Constant.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Options/Runner_Options.h"
#include "ValueTestSupport.h"
#include "Host/Host_Dialog.h"

namespace {
// Points the options' constant list at test texts (not owned: reset before freeing).
void SetGameConstants(uint32_t count, char** names, char** values)
{
    GameOptions.constantCount = count;
    GameOptions.constantNames = names;
    GameOptions.constantValues = values;
}

char* Text(const char* text)
{
    return const_cast<char*>(text);
}

class Constants : public ::testing::Test {
protected:
    // The options only borrow a test's texts: taken back before anything frees them.
    void TearDown() override { SetGameConstants(0, nullptr, nullptr); }

    static double Value(const char* name)
    {
        HeldValue out;
        EXPECT_TRUE(Code_Constant_Lookup(name, &out.v)) << name;
        return out.v.real;
    }
};
// The platform's constants follow the core's 441; os_psp only outside layer mode.
constexpr int32_t kPlatformConstants = 93;
}  // namespace

TEST_F(Constants, BuiltinTableHolds441InLayerModeWithExternalCalls)
{
    LayerMode = true;
    Code_Constant_Init();
    EXPECT_EQ(Code_Constant_Count(), 441 + kPlatformConstants - 1);
    struct Case {
        const char* name;
        double value;
    };
    const Case cases[] = {
        {"self", -1},           // first
        {"local", -7},
        {"pi", 3.1415927410125732},
        {"c_silver", 12632256},
        {"c_orange", 4235519},
        {"bm_inv_dest_colour", 10},
        {"bm_src_alpha_sat", 11},
        {"vk_f12", 123},
        {"vk_numpad9", 105},
        {"vk_ralt", 165},
        {"gp_face1", 32769},
        {"gp_axisrv", 32788},
        {"ev_cleanup", 12},
        {"ev_joystick1_button8", 28},
        {"ev_joystick2_left", 31},
        {"ev_joystick2_button1", 36},
        {"ev_global_middle_release", 58},
        {"ev_user15", 25},
        {"ev_close_button", 30},
        {"ev_gesture_flick", 5},
        {"ev_global_gesture_tap", 64},
        {"ev_system_event", 75},
        {"dll_stdcall", 1},
        {"cr_beam", -4},
        {"cr_size_nesw", -6},
        {"cr_size_all", -22},
        {"pt_shape_snow", 13},
        {"phy_joint_angle", 8},
        {"phy_joint_motor_speed", 7},
        {"audio_3d", 2},
        {"ugc_query_RankedByTextSearch", 11},
        {"ugc_sortorder_ForModeration", 6},
        {"ugc_list_Followed", 8},
        {"ugc_match_ControllerBindings", 11},
        {"timezone_utc", 1},    // last
    };
    for (const Case& c : cases) EXPECT_EQ(Value(c.name), c.value) << c.name;
    HeldValue out;
    EXPECT_FALSE(Code_Constant_Lookup("bm_inv_dest_color", &out.v));
    EXPECT_FALSE(Code_Constant_Lookup("cr_size_none", &out.v));
}

TEST_F(Constants, FirstStartLeavesOutLayerAndCallingConventionConstantsByCondition)
{
    Code_Constant_Init();
    EXPECT_EQ(Code_Constant_Count(), 441 - 14 + kPlatformConstants);
    HeldValue out;
    EXPECT_FALSE(Code_Constant_Lookup("ev_cleanup", &out.v));
    EXPECT_FALSE(Code_Constant_Lookup("ev_gesture_tap", &out.v));
    EXPECT_EQ(Value("ev_clean_up"), 12);
    EXPECT_EQ(Value("dll_cdecl"), 0);

    Code_Constant_Free();
    NoExternalCalls = true;
    Code_Constant_Init();
    EXPECT_EQ(Code_Constant_Count(), 441 - 16 + kPlatformConstants);
    EXPECT_FALSE(Code_Constant_Lookup("dll_cdecl", &out.v));
    EXPECT_EQ(Value("timezone_utc"), 1);
}

TEST_F(Constants, LookupMissesAndCaseRules)
{
    Code_Constant_Init();
    HeldValue out("old");
    EXPECT_FALSE(Code_Constant_Lookup("no_such_thing", &out.v));
    EXPECT_EQ(out.v.kind, VALUE_REAL);
    EXPECT_EQ(out.v.real, -1.0);
    EXPECT_FALSE(Code_Constant_Lookup("VK_LEFT", &out.v));
    ScriptValue* got = Code_Constant_Get("VK_LEFT");
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->real, 37.0);
    EXPECT_EQ(Code_Constant_Get("vk_nowhere"), nullptr);
}

TEST_F(Constants, LaterDefinitionsWinAndStringsAreShared)
{
    Code_Constant_Init();
    HeldValue text("a constant text");
    Code_Constant_Add("c_red", &text.v);
    EXPECT_EQ(text.v.str->count, 2);
    HeldValue out;
    ASSERT_TRUE(Code_Constant_Lookup("c_red", &out.v));
    EXPECT_STREQ(ScriptValue_StringText(&out.v), "a constant text");
    EXPECT_EQ(text.v.str->count, 3);
    EXPECT_EQ(Code_Constant_Get("C_RED")->Kind(), VALUE_STRING);
    ScriptValue_SetUndefined(&out.v);
    Code_Constant_Free();
    EXPECT_EQ(text.v.str->count, 1);

    Code_Constant_Init();  // the table is built again from empty
    EXPECT_EQ(Code_Constant_Count(), 441 - 14 + kPlatformConstants);
    EXPECT_EQ(Value("c_red"), 255);
}

TEST_F(Constants, NameValidity)
{
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {{"abc", true}, {"_a1", true}, {"A_Z9", true}, {"", false},
                          {"1abc", false}, {"a-b", false}, {"a b", false}, {"\xC3\xA9t\xC3\xA9", false}};
    for (const Case& c : cases) EXPECT_EQ(Code_Constant_IsValidName(c.text), c.valid) << c.text;
}

TEST_F(Constants, DefineTrimsTheNameAndReportsInvalidOnes)
{
    EXPECT_TRUE(Code_Constant_Define("  \tMY_CONST \r\n", "123"));
    EXPECT_EQ(Value("MY_CONST"), 0.0);  // the value text is not read
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Code_Constant_Define(" 9lives ", "1"));
    testing::internal::GetCapturedStderr();
    // Shown in a message box (standard error when nobody can be asked).
    EXPECT_EQ(Host_HeadlessDialog().LastText(), "Constant name 9lives  is not valid.");
    EXPECT_EQ(Code_Constant_Count(), 1);
}

TEST_F(Constants, PrepareDefinesTheGameConstantsAndStopsAtTheFirstBadName)
{
    char* names[] = {Text("VersionMajor"), Text("game_flag"), Text("bad name"), Text("never")};
    char* values[] = {Text("2"), Text("1"), Text("0"), Text("0")};
    SetGameConstants(2, names, values);
    EXPECT_TRUE(Code_Constant_Prepare());
    EXPECT_EQ(Code_Constant_Count(), 2);
    EXPECT_EQ(Value("game_flag"), 0.0);

    Code_Constant_Free();
    SetGameConstants(4, names, values);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Code_Constant_Prepare());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Code_Constant_Count(), 2);
    HeldValue out;
    EXPECT_FALSE(Code_Constant_Lookup("never", &out.v));
}
