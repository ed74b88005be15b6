#include <gtest/gtest.h>

#include <cmath>

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "World/InstanceFixture.h"
#include "World/Room_Layers.h"
#include "Variable/Variable_BuiltIn.h"
#include "support/StandIns.h"
#include "support/TestSprites.h"

namespace {
struct InstanceVariables : InstanceWorld {
    CInstance* self = nullptr;

    void SetUp() override
    {
        InstanceWorld::SetUp();
        Variable_BuiltIn_Init();
        self = new CInstance(10, 20, 100001, -1, false);
    }
    void TearDown() override
    {
        Layer_RemoveInstance(&room, self);
        delete self;
        InstanceWorld::TearDown();
    }

    bool Set(const char* name, double value, int32_t index = ARRAY_INDEX_NONE)
    {
        ScriptValue v = ScriptValue_Real(value);
        return Variable_SetValue(self, Variable_BuiltIn_Find(name), index, &v);
    }
    double Get(const char* name, int32_t index = ARRAY_INDEX_NONE)
    {
        ScriptValue out = ScriptValue_Undefined();
        EXPECT_TRUE(Variable_GetValue(self, Variable_BuiltIn_Find(name), index, &out)) << name;
        EXPECT_EQ(out.kind, VALUE_REAL) << name;
        return out.real;
    }
};

TEST_F(InstanceVariables, DirectionIsWrappedIntoAFullTurn)
{
    struct Case {
        double in;
        float stored;
    } cases[] = {{-90, 270}, {720, 0}, {360, 0}, {359.5, 359.5f}, {-720.25, 359.75f}, {1e30, 0}, {INFINITY, 0}, {NAN, 0}, {-0.0, 0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(Set("direction", c.in));
        EXPECT_GE(self->direction, 0.0f) << c.in;
        EXPECT_LT(self->direction, 360.0f) << c.in;
        EXPECT_FALSE(std::signbit(self->direction)) << c.in;
        if (c.in != 1e30) {
            EXPECT_EQ(self->direction, c.stored) << c.in;
        }
    }
}

TEST_F(InstanceVariables, VelocityWritesKeepBothFormsInStep)
{
    Set("direction", 90);
    Set("speed", 4);
    EXPECT_EQ(self->hspeed, 0.0f);
    EXPECT_EQ(self->vspeed, -4.0f);
    Set("hspeed", 3);
    EXPECT_NEAR(Get("direction"), 53.130102, 1e-4);
    EXPECT_EQ(Get("speed"), 5.0);
    Set("vspeed", 0);
    EXPECT_EQ(Get("direction"), 0.0);
    EXPECT_EQ(Get("speed"), 3.0);
    // friction, gravity and their direction are only stored
    Set("gravity", 2);
    Set("friction", 1);
    Set("gravity_direction", 90);
    EXPECT_EQ(self->vspeed, 0.0f);
    EXPECT_EQ(Get("gravity_direction"), 90.0);
}

TEST_F(InstanceVariables, PositionWritesMarkTheBoxOnlyWhenTheyMove)
{
    self->m_bboxDirty = false;
    Set("x", 10);
    EXPECT_FALSE(self->m_bboxDirty);
    Set("x", 15.5);
    EXPECT_TRUE(self->m_bboxDirty);
    EXPECT_EQ(Get("bbox_left"), 15.0);  // recomputed before it is read: no sprite, the position truncated
    EXPECT_FALSE(self->m_bboxDirty);
    Set("y", 3);
    EXPECT_EQ(Get("bbox_top"), 3.0);
    Set("xstart", 1);
    Set("yprevious", 2);
    EXPECT_EQ(self->xstart, 1.0f);
    EXPECT_EQ(self->yprevious, 2.0f);
    EXPECT_FALSE(self->m_bboxDirty);
}

TEST_F(InstanceVariables, ImageSingleSwitchesBetweenAnimationAndAFixedFrame)
{
    self->image_index = 2;
    EXPECT_EQ(Get("image_single"), -1.0);
    Set("image_single", 3);
    EXPECT_EQ(self->image_index, 3.0f);
    EXPECT_EQ(self->image_speed, 0.0f);
    EXPECT_EQ(Get("image_single"), 3.0);
    Set("image_single", -1);
    EXPECT_EQ(self->image_speed, 1.0f);
    EXPECT_EQ(self->image_index, 3.0f);
}

TEST_F(InstanceVariables, SpriteWritesResetAFrameBeyondTheSprite)
{
    const int32_t sprite = TestSprite_Add({4, 32, 16, 0, nullptr, 8, 4});
    self->image_index = 5.5f;
    Set("sprite_index", sprite);
    EXPECT_EQ(self->image_index, 0.0f);
    self->image_index = 3.9f;
    Set("sprite_index", sprite);
    EXPECT_EQ(self->image_index, 3.9f);
    EXPECT_EQ(Get("image_number"), 4.0);

    Set("image_xscale", -2);
    EXPECT_EQ(Get("sprite_width"), -64.0);
    EXPECT_EQ(Get("sprite_height"), 16.0);
    EXPECT_EQ(Get("sprite_xoffset"), -16.0);
    EXPECT_EQ(Get("sprite_yoffset"), 4.0);

    Set("sprite_index", 40);  // no sprite there: stored, the measures read 0
    EXPECT_EQ(Get("sprite_index"), 40.0);
    EXPECT_EQ(Get("sprite_width"), 0.0);
    EXPECT_EQ(Get("image_number"), 0.0);
    EXPECT_EQ(self->image_index, 0.0f);
}

TEST_F(InstanceVariables, ClampsRoundingAndFlags)
{
    Set("path_position", 1.5);
    EXPECT_EQ(self->path_position, 1.0f);
    Set("path_positionprevious", -0.2);
    EXPECT_EQ(self->path_positionprevious, 0.0f);
    Set("alarm", 2.5, 3);
    EXPECT_EQ(self->alarm[3], 2);
    Set("alarm", 3.5, 3);
    EXPECT_EQ(self->alarm[3], 4);
    Set("solid", 0.4);
    EXPECT_FALSE(self->solid);
    Set("solid", -0.6);
    EXPECT_TRUE(self->solid);
    Set("visible", -1);
    EXPECT_TRUE(self->visible);
    Set("timeline_running", 0.5);
    EXPECT_FALSE(self->timeline_running);
    Set("timeline_loop", 0.6);
    EXPECT_TRUE(self->timeline_loop);
    Set("image_blend", 255.5);
    EXPECT_EQ(self->image_blend, 256u);
    Set("mask_index", 2.5);
    EXPECT_EQ(self->mask_index, 2);
    Set("path_endaction", 9);  // stored unchecked
    EXPECT_EQ(Get("path_endaction"), 9.0);
}

TEST_F(InstanceVariables, AlarmIndicesOutsideTheTwelveAddressAlarmZero)
{
    self->alarm[0] = 7;
    self->alarm[11] = 9;
    EXPECT_EQ(Get("alarm"), 7.0);
    EXPECT_EQ(Get("alarm", 12), 7.0);
    EXPECT_EQ(Get("alarm", -1), 7.0);
    EXPECT_EQ(Get("alarm", 11), 9.0);
    Set("alarm", 4, 40);
    EXPECT_EQ(self->alarm[0], 4);
}

TEST_F(InstanceVariables, DepthWritesQueueTheInstanceOnceForReSorting)
{
    self->depth = 5;
    Set("depth", 5);
    EXPECT_EQ(DepthChangeQueue.count, 0);
    Set("depth", -3);
    Set("depth", -4);
    EXPECT_EQ(DepthChangeQueue.count, 1);
    EXPECT_EQ(self->depth, -4.0f);
}

TEST_F(InstanceVariables, LayerReadsMinusOneOnADepthLayer)
{
    const int32_t depthLayer = Layer_CreateDynamic(&room, 100)->id;
    const int32_t named = Layer_Create(&room, 250, "named")->id;
    Set("layer", depthLayer);
    EXPECT_EQ(self->layer, depthLayer);
    EXPECT_EQ(Get("layer"), -1.0);
    Set("layer", named + 0.9);
    EXPECT_EQ(Get("layer"), named);
    EXPECT_EQ(Get("depth"), 250.0);
    EXPECT_EQ(Layer_FindByID(&room, depthLayer), nullptr);  // left empty, the depth layer went
    Set("layer", named + 1000);  // no such layer: off every layer
    EXPECT_EQ(self->layer, named + 1000);
    EXPECT_FALSE(self->m_onLayer);
    EXPECT_EQ(Get("layer"), -1.0);
}

TEST_F(InstanceVariables, WithoutAnInstanceNothingIsReadOrWritten)
{
    ScriptValue v = ScriptValue_Real(1);
    EXPECT_FALSE(Variable_SetValue(nullptr, Variable_BuiltIn_Find("x"), ARRAY_INDEX_NONE, &v));
    EXPECT_FALSE(Variable_GetValue(nullptr, Variable_BuiltIn_Find("bbox_left"), ARRAY_INDEX_NONE, &v));
}
}  // namespace
