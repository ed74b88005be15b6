// The room, background and view variables on the current room.
#include <gtest/gtest.h>

#include "Background/Background_Main.h"
#include "Base/Timing.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "GameData/GameHeader.h"
#include "Variable/Code_VariableValue.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Room_Main.h"
#include "World/Run_CommandRoom.h"
#include "World/WorldFixture.h"
#include "support/StandIns.h"
#include "support/TestBackgrounds.h"

namespace {
struct RoomVariables : WorldFixture {
    void SetUp() override
    {
        WorldFixture::SetUp();
        Variable_BuiltIn_Init();
        PendingRoomCode = -1;
    }
    void TearDown() override
    {
        LayerMode = false;
        PendingRoomCode = -1;
        WorldFixture::TearDown();
    }
    static bool Set(const char* name, ScriptValue value, int32_t index = ARRAY_INDEX_NONE)
    {
        const bool stored = Variable_SetValue(nullptr, Variable_BuiltIn_Find(name), index, &value);
        ScriptValue_SetUndefined(&value);
        return stored;
    }
    static bool Set(const char* name, double value, int32_t index = ARRAY_INDEX_NONE)
    {
        return Set(name, ScriptValue_Real(value), index);
    }
    static ScriptValue Get(const char* name, int32_t index = ARRAY_INDEX_NONE)
    {
        ScriptValue out = ScriptValue_Undefined();
        EXPECT_TRUE(Variable_GetValue(nullptr, Variable_BuiltIn_Find(name), index, &out)) << name;
        return out;
    }
    static double Real(const char* name, int32_t index = ARRAY_INDEX_NONE) { return Get(name, index).real; }
    static ScriptValue Text(const char* text)
    {
        ScriptValue value = ScriptValue_Undefined();
        ScriptValue_SetString(&value, text);
        return value;
    }
};

TEST_F(RoomVariables, RoomSpeedRefusesLessThanOneAndNeverStoresZero)
{
    room.speed = 30;
    for (double bad : {0.0, 0.4, -3.0}) {
        ForgetErrors();
        EXPECT_FALSE(Set("room_speed", bad)) << bad;
        EXPECT_NE(LastReport().find("Trying to set the room speed to a value <= 0."), std::string::npos);
    }
    EXPECT_EQ(room.speed, 30);
    EXPECT_TRUE(Set("room_speed", 30.7));
    EXPECT_EQ(Real("room_speed"), 30.0);
    EXPECT_TRUE(Set("room_speed", 0.7));  // rounds to 1: passes, and is kept positive
    EXPECT_EQ(room.speed, 1);
    // With the layer system the game speed is set and read, not the room's.
    LayerMode = true;
    EXPECT_TRUE(Set("room_speed", 45.5));
    EXPECT_EQ(room.speed, 1);
    EXPECT_EQ(GameFrameTimer.GetFPS(), 45.5);
    EXPECT_EQ(Real("room_speed"), 45.5);
}

TEST_F(RoomVariables, TransitionsCaptionsAndSlotsReadBackAsTheRoomHoldsThem)
{
    EXPECT_TRUE(Set("transition_kind", 5));
    EXPECT_EQ(Real("transition_kind"), 0.0);
    EXPECT_TRUE(Set("transition_steps", 9));
    EXPECT_EQ(Real("transition_steps"), 0.0);
    EXPECT_TRUE(Set("room_caption", Text("Level")));
    EXPECT_STREQ(room.caption, "Level");
    EXPECT_TRUE(Set("room_caption", 12));
    EXPECT_EQ(room.caption, nullptr);
    ScriptValue caption = Get("room_caption");
    EXPECT_STREQ(ScriptValue_StringText(&caption), "");
    ScriptValue_SetUndefined(&caption);

    room.backgrounds[2].index = -1;
    EXPECT_EQ(Real("background_width", 2), 0.0);
    room.backgrounds[2].index = TestBackground_Add(64, 32);
    EXPECT_EQ(Real("background_width", 2), 64.0);
    EXPECT_EQ(Real("background_height", 2), 32.0);
    Set("background_colour", 0x123456);
    EXPECT_EQ(Real("background_color"), static_cast<double>(0x123456));
    Set("view_xport", 10.5, 3);
    EXPECT_EQ(room.views[3].portX, 10);
    Set("view_xport", 11.5, 3);
    EXPECT_EQ(room.views[3].portX, 12);
    Set("view_xview", 7.25, 9);  // outside 0..7: slot 0
    EXPECT_EQ(room.views[0].viewX, 7.25f);
    Set("background_visible", 0.6, 1);
    EXPECT_TRUE(room.backgrounds[1].visible);
}

TEST_F(RoomVariables, InstanceIdWalksTheActiveListInDepthOrder)
{
    const int32_t object = NewObject();
    CInstance* deep = room.CreateInstanceAtDepth(0, 0, 10, object);
    CInstance* shallow = room.CreateInstanceAtDepth(0, 0, -10, object);
    room.CreateInstanceAtDepth(0, 0, 0, object);
    EXPECT_EQ(Real("instance_count"), 3.0);
    EXPECT_EQ(Real("instance_id", 0), shallow->id);
    EXPECT_EQ(Real("instance_id", 2), deep->id);
    EXPECT_EQ(Real("instance_id", 3), -4.0);
    EXPECT_EQ(Real("instance_id", -1), -4.0);
}

TEST_F(RoomVariables, RoomTakesOnlyNumbers)
{
    EXPECT_FALSE(Set("room", Text("0")));
    EXPECT_EQ(PendingRoomCode, -1);
    ForgetErrors();
    EXPECT_TRUE(Set("room", 4321));
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_NE(LastReport().find("Unexisting room number: 4321"), std::string::npos);
}
}  // namespace
