#include "Runner/Run_Movement.h"

#include <gtest/gtest.h>

#include <vector>

#include "World/Event_Drivers.h"
#include "Physics/PhysicsWorld.h"
#include "World/WorldFixture.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexFormat.h"
#include "Sprite/Sprite_Main.h"
#include "World/Collision.h"

namespace {
// Instances of one object whose end-of-path event runs code 0.
struct MovementPhase : WorldFixture {
    int32_t object = -1;

    CInstance& Add(float x, float y) { return *room.CreateInstance(x, y, object); }
    void SetUp() override
    {
        WorldFixture::SetUp();
        object = Object_CreateEmpty();
        eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, EVENT_OTHER_END_OF_PATH, 0);
    }
};

TEST_F(MovementPhase, EveryActiveInstanceMovesByItsVelocity)
{
    CInstance& a = Add(10, 10);
    CInstance& b = Add(0, 0);
    a.SetHSpeed(3);
    b.SetDirection(270);
    b.SetSpeed(2);
    for (int step = 0; step < 3; ++step) EXPECT_FALSE(HandleInstanceMovement(false));
    EXPECT_EQ(a.x, 19.0f);
    EXPECT_EQ(a.y, 10.0f);
    EXPECT_EQ(b.x, 0.0f);
    EXPECT_EQ(b.y, 6.0f);
}

TEST_F(MovementPhase, FrictionAndGravityComeBeforeTheMove)
{
    CInstance& a = Add(0, 0);
    a.SetHSpeed(2);
    a.friction = 0.5f;
    a.gravity = 1;
    HandleInstanceMovement(false);
    EXPECT_EQ(a.x, 1.5f);
    EXPECT_EQ(a.y, 1.0f);
}

TEST_F(MovementPhase, APathEndRunsTheEndOfPathEventOnceForInstancesOlderThanThePass)
{
    const int32_t index = Path_Add();
    CGamePath* path = Path_Get(index);
    path->SetClosed(false);
    path->AddPoint(0, 0, 100);
    path->AddPoint(10, 0, 100);

    CInstance& a = Add(0, 0);
    CInstance& young = Add(0, 0);
    a.SetPath(index, 5, 1, 0, false, 0);
    young.SetPath(index, 5, 1, 0, false, 0);
    young.m_creationStep = EventPassCounter + 2;  // as if made during the second pass

    HandleInstanceMovement(true);
    EXPECT_TRUE(eventmodule::Trace.empty());
    EXPECT_EQ(a.x, 5.0f);
    HandleInstanceMovement(true);
    ASSERT_EQ(eventmodule::Trace.size(), 1u);
    EXPECT_EQ(eventmodule::Trace[0].self, a.id);
    EXPECT_EQ(eventmodule::Trace[0].kind, 7);
    EXPECT_EQ(eventmodule::Trace[0].number, 8);
    EXPECT_EQ(a.x, 10.0f);
    EXPECT_EQ(a.path_index, -1);
    EXPECT_EQ(young.path_index, -1);
    HandleInstanceMovement(true);
    EXPECT_EQ(eventmodule::Trace.size(), 1u);
    EXPECT_EQ(a.x, 10.0f);  // the path left no velocity behind
}

TEST_F(MovementPhase, APhysicsWorldMovesTheInstancesInstead)
{
    PhysicsWorld world{0.1f, 30};
    room.physics = &world;
    CInstance& a = Add(0, 0);
    a.SetHSpeed(3);
    EXPECT_TRUE(HandleInstanceMovement(false));
    EXPECT_EQ(a.x, 0.0f);  // no body: nothing moves it
    room.physics = nullptr;  // the test's own world
}
}  // namespace
