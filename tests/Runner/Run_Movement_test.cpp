#include "Runner/Run_Movement.h"

#include <gtest/gtest.h>

#include <vector>

#include "Object/EventPass_Stub.h"
#include "Object/InstanceFixture.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "Runner/Run_Movement_Stub.h"

namespace {
struct MovementPhase : InstanceWorld {
    std::vector<CInstance*> instances;

    // A new instance at the end of the room's active list.
    CInstance& Add(float x, float y)
    {
        auto* instance = new CInstance(x, y, 100001 + static_cast<int32_t>(instances.size()), -1, false);
        instances.push_back(instance);
        room.activeInstances.Insert(instance);
        return *instance;
    }
    void SetUp() override
    {
        InstanceWorld::SetUp();
        room.physics = nullptr;
        Path_Init();
        PerformedEvents = {0, nullptr, 0, 0};
    }
    void TearDown() override
    {
        for (CInstance* instance : instances) {
            room.activeInstances.Remove(instance);
            delete instance;
        }
        Path_FreeAll();
        InstanceWorld::TearDown();
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
    EXPECT_EQ(PerformedEvents.count, 0);
    EXPECT_EQ(a.x, 5.0f);
    HandleInstanceMovement(true);
    EXPECT_EQ(PerformedEvents.count, 1);
    EXPECT_EQ(PerformedEvents.self, &a);
    EXPECT_EQ(PerformedEvents.kind, 7);
    EXPECT_EQ(PerformedEvents.subKind, 8);
    EXPECT_EQ(a.x, 10.0f);
    EXPECT_EQ(a.path_index, -1);
    EXPECT_EQ(young.path_index, -1);
    HandleInstanceMovement(true);
    EXPECT_EQ(PerformedEvents.count, 1);
    EXPECT_EQ(a.x, 10.0f);  // the path left no velocity behind
}

TEST_F(MovementPhase, APhysicsWorldMovesTheInstancesInstead)
{
    room.physics = &world;
    CInstance& a = Add(0, 0);
    a.SetHSpeed(3);
    const int32_t steps = PhysicsWorldSteps;
    EXPECT_TRUE(HandleInstanceMovement(false));
    EXPECT_EQ(PhysicsWorldSteps, steps + 1);
    EXPECT_EQ(a.x, 0.0f);
}
}  // namespace
