#include <gtest/gtest.h>

#include <string>

#include "Code/Code_Variable.h"
#include "GameData/GameHeader.h"

namespace {
bool GetZero(CInstance*, int32_t, ScriptValue*) { return true; }
bool SetAny(CInstance*, int32_t, ScriptValue*) { return true; }

struct VariableNamesTest : ::testing::Test {
    void SetUp() override
    {
        Variable_BuiltIn_Add("x", GetZero, SetAny);
        Variable_BuiltIn_Add("fps", GetZero, nullptr);
    }
};

TEST_F(VariableNamesTest, FindOrAddNameGivesBuiltInOrFlatIds)
{
    EXPECT_EQ(Variable_FindOrAddName("x"), 0);
    EXPECT_EQ(Variable_FindId("speed"), -1);
    EXPECT_EQ(Variable_FindOrAddName("speed"), 100000);
    EXPECT_EQ(Variable_FindOrAddName("hp"), 100001);
    EXPECT_EQ(Variable_FindOrAddName("speed"), 100000);
    EXPECT_EQ(Variable_FindId("hp"), 100001);
    EXPECT_STREQ(Variable_GetName("", -1, 100001), "hp");          // older format: the flat list
    EXPECT_STREQ(Variable_GetName("", -1, 100002), "<unknown variable>");
    EXPECT_STREQ(Variable_GetName("", -1, 1), "fps");
    EXPECT_STREQ(Variable_GetName("", -1, 7), "<unknown built-in variable>");
}

TEST_F(VariableNamesTest, BuiltInTableIsFixedAt500)
{
    EXPECT_TRUE(Variable_BuiltIn_At(0)->canSet);
    EXPECT_FALSE(Variable_BuiltIn_At(1)->canSet);
    EXPECT_EQ(Variable_BuiltIn_At(2), nullptr);
    for (int i = Variable_BuiltIn_Count(); i < BUILTIN_VARIABLE_CAPACITY; ++i)
        Variable_BuiltIn_Add(("v" + std::to_string(i)).c_str(), GetZero, nullptr);
    ::testing::internal::CaptureStderr();
    Variable_BuiltIn_Add("one_too_many", GetZero, nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("INTERNAL ERROR: Adding too many variables"),
              std::string::npos);
    EXPECT_EQ(Variable_BuiltIn_Count(), BUILTIN_VARIABLE_CAPACITY);
    EXPECT_EQ(Variable_BuiltIn_Find("one_too_many"), -1);
}

TEST_F(VariableNamesTest, DefinedNamesAndScopes)
{
    NewCodeFormat = true;
    Variable_SetTableSizes(3, 3, 0);
    EXPECT_EQ(Variable_DefineName("score", -5, 2), 100002);
    EXPECT_EQ(Variable_DefineName("speed", -1, 2), 100002);
    EXPECT_EQ(Variable_DefineName("tmp", -7, 9), 100009);  // other kinds name nothing
    EXPECT_EQ(Variable_DefineName("fps", -6, -6), 1);
    EXPECT_LT(Variable_DefineName("nothing", -6, -6), 0);
    EXPECT_STREQ(Variable_GetName("", -5, 100002), "score");
    EXPECT_STREQ(Variable_GetName("", -1, 100002), "speed");
    EXPECT_STREQ(Variable_GetName("", 100001, 100002), "speed");  // an instance id as scope
    EXPECT_STREQ(Variable_GetName("", -3, 100002), "<unknown variable>");
    EXPECT_EQ(Variable_FindGlobal("tmp"), -1);
    EXPECT_EQ(Variable_FindInstance("speed"), 2);
    // A slot beyond the table grows it.
    EXPECT_EQ(Variable_DefineName("late", -1, 7), 100007);
    EXPECT_EQ(Variable_FindInstance("late"), 7);
}

TEST_F(VariableNamesTest, GlobalNameFlagsAndGlobalBuiltIns)
{
    Variable_InitGlobalFlags();
    Variable_GlobalFlags.bytes[5] = 1;
    EXPECT_EQ(Variable_IsGlobalName(100005), 1);
    EXPECT_EQ(Variable_IsGlobalName(99999), 0);
    EXPECT_EQ(Variable_IsGlobalName(100000 + 10000), 0);
    EXPECT_EQ(Variable_IsGlobalName(INT32_MIN), 0);
    EXPECT_TRUE(Variable_IsGlobalBuiltInName("room_speed"));
    EXPECT_TRUE(Variable_IsGlobalBuiltInName("view_camera"));
    EXPECT_FALSE(Variable_IsGlobalBuiltInName("x"));
    EXPECT_FALSE(Variable_IsGlobalBuiltInName("Room_speed"));
}
}  // namespace
