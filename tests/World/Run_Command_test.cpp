// The collision queries, free-place tests and movement commands, with the
// spatial index on and off.
#include <cmath>
#include <random>

#include "Code/Code_Value.h"
#include "Function/Function_Game.h"
#include "GameData/GameOptions.h"
#include "World/Collision.h"
#include "World/Run_Command.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
struct Commands : WorldFixture, ::testing::WithParamInterface<bool> {
    int32_t sprite = -1;
    int32_t solid = -1, ghost = -1;

    void SetUp() override
    {
        WorldFixture::SetUp();
        GameOptions.collisionMode = GetParam();
        sprite = TestSprite_Add({1, 16, 16, 0, nullptr});  // origin top left
        solid = Object(true);
        ghost = Object(false);
    }
    void TearDown() override
    {
        WorldFixture::TearDown();
        GameOptions.collisionMode = false;
    }
    int32_t Object(bool isSolid)
    {
        const int32_t index = NewObject();
        Object_Get(index)->sprite = sprite;
        Object_Get(index)->flags = isSolid ? 0x13u : 0x12u;
        return index;
    }
    CInstance* At(float x, float y, int32_t object) { return room.CreateInstance(x, y, object); }
};

TEST_P(Commands, QueriesAgreeWithABruteForceScan)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> place(0, 600);
    std::vector<CInstance*> all;
    for (int i = 0; i < 150; ++i) all.push_back(At(place(random), place(random), i % 2 ? solid : ghost));
    for (int i = 0; i < 40; ++i) all[i]->SetPosition(place(random), place(random));  // moved since they joined
    CInstance* probe = At(0, 0, ghost);
    for (int q = 0; q < 200; ++q) {
        const float x1 = place(random), y1 = place(random), x2 = x1 + place(random) / 8, y2 = y1 + place(random) / 8;
        // Boxes made stale behind the setters' back are recomputed while the
        // index is walked; the walk must not be disturbed by it.
        for (int k = 0; k < 10; ++k) {
            CInstance* i = all[static_cast<size_t>(q * 10 + k) % all.size()];
            i->x = place(random);
            i->m_bboxDirty = true;
        }
        // What the index finds then is still a true hit.
        if (CInstance* stale = Collision_FindInRectangle(nullptr, x1, y1, x2, y2, solid, true, false)) {
            EXPECT_TRUE(stale->CollisionRectangle(x1, y1, x2, y2, false)) << q;
        }
        bool rect = false, line = false, meet = false;
        for (CInstance* i : all) {  // the scan brings every box and entry up to date
            if (i->object_index != solid) continue;
            rect = rect || i->CollisionRectangle(x1, y1, x2, y2, true);
            line = line || i->CollisionLine(x1, y1, x2, y2, true);
        }
        CInstance* found = Collision_FindInRectangle(nullptr, x1, y1, x2, y2, solid, true, false);
        EXPECT_EQ(found != nullptr, rect) << q;
        if (found) {
            EXPECT_EQ(found->object_index, solid);
        }
        EXPECT_EQ(Collision_FindOnLine(nullptr, x1, y1, x2, y2, solid, true, false) != nullptr, line) << q;
        const float sx = probe->x, sy = probe->y;
        for (CInstance* i : all) {
            probe->x = x1;
            probe->y = y1;
            probe->m_bboxDirty = true;
            meet = meet || i->CollisionInstance(probe, true);
        }
        probe->x = sx;
        probe->y = sy;
        probe->m_bboxDirty = true;
        EXPECT_EQ(Instance_Place(probe, x1, y1, -3) != nullptr, meet) << q;
        EXPECT_EQ(probe->x, sx);  // put back exactly
    }
}

TEST_P(Commands, PlaceTestsLeaveTheCallerWhereItWasAndNeverMeetItself)
{
    CInstance* self = At(0, 0, ghost);
    CInstance* wall = At(30, 0, solid);
    CInstance* cloud = At(0, 30, ghost);
    EXPECT_EQ(Instance_Place(self, 20, 0, -3), wall);
    EXPECT_EQ(self->x, 0.0f);
    EXPECT_EQ(self->bbox_left, 0);
    EXPECT_FALSE(Place_Free(self, 20, 0));
    EXPECT_TRUE(Place_Free(self, 0, 20));  // only the non-solid cloud there
    EXPECT_FALSE(Place_Empty(self, 0, 20));
    // The index still knows where self is.
    EXPECT_EQ(Collision_FindAtPoint(nullptr, 5, 5, -3, true, false), self);
    EXPECT_EQ(Collision_FindInRectangle(nullptr, 4, 4, 6, 6, -3, true, false), self);
    EXPECT_EQ(Collision_FindInRectangle(self, 4, 4, 6, 6, self->id, true, true), nullptr);

    ScriptValue args[3]{}, result{};
    ScriptValue_SetReal(&args[0], 0);
    ScriptValue_SetReal(&args[1], 0);
    ScriptValue_SetReal(&args[2], -1);
    F_PlaceMeeting(&result, self, nullptr, 3, args);
    EXPECT_EQ(result.real, 0.0);  // self never meets self
    ScriptValue_SetReal(&args[2], cloud->id);
    ScriptValue_SetReal(&args[1], 20);
    F_PlaceMeeting(&result, self, nullptr, 3, args);
    EXPECT_EQ(result.real, 1.0);
}

TEST_P(Commands, NearestAndFurthestKeepTheFirstOfEqualDistances)
{
    CInstance* a = At(10, 0, ghost);
    CInstance* b = At(-10, 0, ghost);
    CInstance* c = At(50, 0, solid);
    EXPECT_EQ(Instance_Nearest(0, 0, ghost), a);
    EXPECT_EQ(Instance_Nearest(10, 0, -3), a);  // the caller itself may be nearest
    EXPECT_EQ(Instance_Furthest(0, 0, -3), c);
    EXPECT_EQ(Instance_Nearest(0, 0, a->id), nullptr);
    a->m_marked = true;
    EXPECT_EQ(Instance_Nearest(0, 0, ghost), b);
    EXPECT_EQ(Distance_ToObject(c, solid), 1000000.0);  // only self
    EXPECT_EQ(Distance_ToObject(c, ghost), 45.0);  // b (a is gone) ends at 5, c starts at 50
}

TEST_P(Commands, ContactAndOutsideMovesStepOnePixelUpToTheirLimit)
{
    CInstance* self = At(0, 0, ghost);
    At(100, 0, solid);
    Move_Contact(self, 0, 5, false);
    EXPECT_EQ(self->x, 5.0f);
    Move_Contact(self, 0, 0, false);  // no maximum: up to 1000 steps, stops against the wall
    EXPECT_EQ(self->x, 84.0f);
    self->SetPosition(95, 0);  // inside the wall
    ScriptValue direction{}, result{};
    ScriptValue_SetReal(&direction, 180);
    F_MoveContact(&result, self, nullptr, 1, &direction);  // not free here: moves out instead
    EXPECT_EQ(self->x, 84.0f);
    Move_Outside(self, 0, 3, true);
    EXPECT_EQ(self->x, 84.0f);  // already outside
}

TEST_P(Commands, SimpleBounceTurnsBackOnTheAxisThatIsBlocked)
{
    At(32, 0, solid);
    CInstance* self = At(0, 0, ghost);
    self->SetHSpeed(20);
    self->SetVSpeed(20);
    Move_Bounce(self, false, false);
    EXPECT_EQ(self->hspeed, -20.0f);
    EXPECT_EQ(self->vspeed, 20.0f);
    // Only the diagonal is blocked: a corner turns both.
    self->SetPosition(0, 100);
    At(20, 120, solid);
    self->SetHSpeed(10);
    self->SetVSpeed(10);
    Move_Bounce(self, false, false);
    EXPECT_EQ(self->hspeed, -10.0f);
    EXPECT_EQ(self->vspeed, -10.0f);
}

TEST_P(Commands, WrapSnapAndRandomPlacesStayInTheRoom)
{
    room.width = 200;
    room.height = 100;
    CInstance* self = At(-1, 10, ghost);
    Move_Wrap(self, true, false, 0);
    EXPECT_EQ(self->x, 199.0f);
    self->SetPosition(200.5f, 10);
    Move_Wrap(self, true, false, 0);
    EXPECT_EQ(self->x, 0.5f);
    Move_Snap(self, 16, 16);
    EXPECT_EQ(self->x, 0.0f);
    EXPECT_EQ(self->y, 16.0f);
    for (int i = 0; i < 20; ++i) {
        Move_Random(self, 4, 0);
        EXPECT_GE(self->x, 0.0f);
        EXPECT_LE(self->x, 184.0f);
        EXPECT_EQ(std::fmod(self->x, 4.0f), 0.0f);
    }
    // A box as wide as the room leaves a range of no width: no division by it.
    self->image_xscale = 20;
    self->m_bboxDirty = true;
    Move_Random(self, 0, 0);
    EXPECT_EQ(self->x, 0.0f);
}

TEST_P(Commands, PositionMeetingReadsTheIntegerPointOnlyWithTheIndex)
{
    At(-26, 0, ghost);  // box -26..-11, covering up to -10
    // The walk tests -10.7 (inside); the index tests -10 (outside).
    EXPECT_EQ(Instance_PositionMeeting(-10.7f, 5.2f, ghost), !GetParam());
    EXPECT_TRUE(Instance_PositionMeeting(-11, 5, -3));
    EXPECT_FALSE(Instance_PositionMeeting(-11, 5, 999));  // no such object
}

INSTANTIATE_TEST_SUITE_P(IndexOnAndOff, Commands, ::testing::Bool());
}  // namespace
