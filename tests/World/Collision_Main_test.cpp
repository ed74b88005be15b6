// The per-step collision events through the spatial index and through the
// object pair table, the solid push-back, and the index kept free of
// destroyed instances and of positions that are not finite.
#include <cmath>

#include "GameData/GameOptions.h"
#include "World/Collision.h"
#include "World/Instance_Destroy.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
struct CollisionStep : WorldFixture, ::testing::WithParamInterface<bool> {
    int32_t sprite = -1;

    void SetUp() override
    {
        WorldFixture::SetUp();
        GameOptions.collisionMode = GetParam();
        sprite = TestSprite_Add({1, 16, 16, 0, nullptr});
    }
    void TearDown() override
    {
        WorldFixture::TearDown();
        Object_FreeEventLists();
        GameOptions.collisionMode = false;
    }
    int32_t Object(bool solid)
    {
        const int32_t index = NewObject();
        Object_Get(index)->sprite = sprite;
        Object_Get(index)->flags = solid ? 0x13u : 0x12u;
        return index;
    }
    // What the frame step does around the collision pass: remember, move, collide.
    void Step()
    {
        for (CInstance* i = room.activeInstances.first; i; i = i->m_next) {
            i->xprevious = i->x;
            i->yprevious = i->y;
        }
        for (CInstance* i = room.activeInstances.first; i; i = i->m_next) i->SetPosition(i->x + i->hspeed, i->y + i->vspeed);
        Collision_Step();
    }
    static std::vector<std::vector<int32_t>> Calls()
    {
        std::vector<std::vector<int32_t>> calls;
        for (const auto& c : eventmodule::Trace) calls.push_back({c.code, c.self, c.other, c.kind, c.number});
        eventmodule::Trace.clear();
        return calls;
    }
};

TEST_P(CollisionStep, ASolidMoverGoesBackAndBothEventsRunOnce)
{
    const int32_t mover = Object(true), wall = Object(false);
    eventmodule::SetHandler(Object_Get(mover), EVENT_COLLISION, wall, 0);
    eventmodule::SetHandler(Object_Get(wall), EVENT_COLLISION, mover, 1);
    Object_BuildEventLists();
    CInstance* a = room.CreateInstance(0, 0, mover);
    CInstance* b = room.CreateInstance(20, 0, wall);
    a->SetHSpeed(10);
    Step();  // 10..25 against 20..35
    EXPECT_EQ(a->x, 0.0f);
    EXPECT_EQ(Calls(), (std::vector<std::vector<int32_t>>{{0, a->id, b->id, EVENT_COLLISION, wall},
                                                          {1, b->id, a->id, EVENT_COLLISION, mover}}));
    // An event that turns the mover away lets the second move stand.
    eventmodule::Hooks[0] = [](CInstance* self, CInstance*) { self->SetHSpeed(-5); };
    Step();
    EXPECT_EQ(a->x, -5.0f);
    EXPECT_EQ(Calls().size(), 2u);
    Step();
    EXPECT_TRUE(Calls().empty());
}

TEST_P(CollisionStep, EventsThatEndSolidityStillLeaveBothWhereTheyWere)
{
    const int32_t mover = Object(true);
    eventmodule::SetHandler(Object_Get(mover), EVENT_COLLISION, mover, 0);
    eventmodule::Hooks[0] = [](CInstance* self, CInstance*) { self->solid = false; };
    Object_BuildEventLists();
    CInstance* a = room.CreateInstance(0, 0, mover);
    CInstance* b = room.CreateInstance(40, 0, mover);
    a->SetHSpeed(10);
    b->SetHSpeed(-10);
    Step();  // 10..25 against 30..45: apart
    EXPECT_TRUE(Calls().empty());
    Step();  // 20..35 against 20..35
    EXPECT_EQ(a->x, 10.0f);
    EXPECT_EQ(b->x, 30.0f);
    EXPECT_FALSE(a->solid || b->solid);
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_P(CollisionStep, AnInstanceDestroyedInACollisionEventTouchesNothingAndLeavesTheIndex)
{
    const int32_t object = Object(false), other = Object(false);
    eventmodule::SetHandler(Object_Get(object), EVENT_COLLISION, other, 0);
    eventmodule::Hooks[0] = [](CInstance* self, CInstance*) { Instance_Destroy(self); };
    Object_BuildEventLists();
    CInstance* a = room.CreateInstance(0, 0, object);
    room.CreateInstance(8, 0, other);
    room.CreateInstance(0, 8, other);
    Step();
    // The first event destroys a: its second collision runs no event.
    EXPECT_EQ(Calls().size(), 1u);
    room.RemoveMarkedInstances();
    EXPECT_EQ(room.activeInstances.count, 2);
    if (InstanceTree* tree = Collision_Tree()) {
        int32_t found = 0;
        tree->Search(RTreeRect{-1000, -1000, 1000, 1000}, nullptr, nullptr, &found);
        EXPECT_EQ(found, 2);
    }
    Step();
    EXPECT_TRUE(Calls().empty());
    (void)a;
}

TEST_P(CollisionStep, MotionlessOverlappingInstancesCollideEveryStep)
{
    const int32_t object = Object(false);
    eventmodule::SetHandler(Object_Get(object), EVENT_COLLISION, object, 0);
    Object_BuildEventLists();
    CInstance* a = room.CreateInstance(0, 0, object);
    CInstance* b = room.CreateInstance(4, 4, object);
    std::vector<int32_t> first;
    for (int step = 0; step < 4; ++step) {
        Step();
        const auto calls = Calls();
        // The index takes turns asking; the pair table visits both orders of one object.
        ASSERT_EQ(calls.size(), GetParam() ? 2u : 4u) << step;
        first.push_back(calls[0][1]);
    }
    if (GetParam())
        EXPECT_EQ(first, (std::vector<int32_t>{b->id, a->id, b->id, a->id}));
    else
        EXPECT_EQ(first, (std::vector<int32_t>{a->id, a->id, a->id, a->id}));
}

INSTANTIATE_TEST_SUITE_P(IndexOnAndOff, CollisionStep, ::testing::Bool());

struct CollisionIndex : CollisionStep {};

TEST_P(CollisionIndex, PositionsThatAreNotFiniteNeverEnterTheIndex)
{
    const int32_t object = Object(false);
    eventmodule::SetHandler(Object_Get(object), EVENT_COLLISION, object, 0);
    Object_BuildEventLists();
    room.CreateInstance(0, 0, object);
    CInstance* lost = room.CreateInstance(4, 0, object);
    lost->SetPosition(std::nanf(""), 0);
    Collision_FlushMoved();
    int32_t found = 0;
    Collision_Tree()->Search(RTreeRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, nullptr, nullptr, &found);
    EXPECT_EQ(found, 1);
    Step();
    EXPECT_TRUE(Calls().empty());
    lost->SetPosition(INFINITY, 0);
    Step();
    EXPECT_TRUE(Calls().empty());
    lost->SetPosition(2, 0);  // back in the room: back in the index
    Step();
    EXPECT_EQ(Calls().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(IndexOn, CollisionIndex, ::testing::Values(true));
}  // namespace
