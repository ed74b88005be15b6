#include <gtest/gtest.h>

#include <cmath>

#include "Code/Code_Value.h"
#include "World/Instance.h"
#include "Function/Instance_MotionFunctions.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"

namespace {
struct Motion : ::testing::Test {
    CInstance self{0, 0, 100000, -1, false};


    static int32_t NewPath(std::initializer_list<PathPoint> points, int32_t kind = PATH_KIND_STRAIGHT, bool closed = false)
    {
        const int32_t index = Path_Add();
        CGamePath* path = Path_Get(index);
        path->SetKind(kind);
        path->SetClosed(closed);
        for (const PathPoint& p : points) path->AddPoint(p.x, p.y, p.speed);
        return index;
    }
    // An open straight path from (0, 0) to (100, 0) at full speed.
    static int32_t Line() { return NewPath({{0, 0, 100}, {100, 0, 100}}); }

    void Call(void (*routine)(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*), std::initializer_list<double> values)
    {
        ScriptValue args[4];
        int n = 0;
        for (double v : values) args[n++] = ScriptValue_Real(v);
        ScriptValue result = ScriptValue_Undefined();
        routine(&result, &self, &self, n, args);
        EXPECT_EQ(result.kind, VALUE_UNDEFINED);
    }
};

TEST_F(Motion, DirectionAndSpeedFollowTheComponents)
{
    struct Case {
        float h, v, direction, speed;
    } cases[] = {
        {1, 0, 0, 1}, {0, 0, 0, 0}, {0, 2, 270, 2}, {0, -2, 90, 2}, {-3, 0, 180, 3}, {3, -4, 53.130104f, 5}, {-1, 1, 225, 1.4142135f},
    };
    for (const Case& c : cases) {
        self.hspeed = c.h;
        self.vspeed = c.v;
        self.ComputeDirectionSpeed();
        EXPECT_NEAR(self.direction, c.direction, 1e-4) << c.h << "," << c.v;
        EXPECT_FALSE(std::signbit(self.direction)) << c.h << "," << c.v;
        EXPECT_NEAR(self.speed, c.speed, 1e-5) << c.h << "," << c.v;
    }
}

TEST_F(Motion, MotionSetSnapsNearIntegersOnly)
{
    Call(F_MotionSet, {90, 3});
    EXPECT_EQ(self.hspeed, 0.0f);
    EXPECT_FALSE(std::signbit(self.hspeed));
    EXPECT_EQ(self.vspeed, -3.0f);
    Call(F_MotionSet, {45, 2});
    EXPECT_NEAR(self.hspeed, 1.41421f, 1e-5);
    EXPECT_NEAR(self.vspeed, -1.41421f, 1e-5);
    EXPECT_NE(self.hspeed, 1.0f);
    Call(F_MotionSet, {-90, 1});
    EXPECT_EQ(self.direction, 270.0f);
    EXPECT_EQ(self.vspeed, 1.0f);
}

TEST_F(Motion, MotionAddAddsAVector)
{
    Call(F_MotionSet, {0, 2});
    Call(F_MotionAdd, {90, 2});
    EXPECT_NEAR(self.hspeed, 2.0f, 1e-6);
    EXPECT_EQ(self.vspeed, -2.0f);
    EXPECT_EQ(self.direction, 45.0f);
    EXPECT_NEAR(self.speed, 2.8284271f, 1e-6);
}

TEST_F(Motion, FrictionStopsAtZeroAndNeverReverses)
{
    struct Case {
        float speed, friction, after;
    } cases[] = {{3, 5, 0}, {-3, 1, -2}, {3, 1, 2}, {2, -1, 3}, {0, 1, 0}, {-1, 4, 0}};
    for (const Case& c : cases) {
        self.direction = 0;
        self.speed = self.hspeed = c.speed;
        self.friction = c.friction;
        self.ApplyFrictionGravity();
        EXPECT_EQ(self.speed, c.after) << c.speed << " - " << c.friction;
        EXPECT_EQ(self.hspeed, c.after) << c.speed << " - " << c.friction;
    }
}

TEST_F(Motion, GravityPullsAlongItsDirection)
{
    self.gravity = 0.5f;
    self.ApplyFrictionGravity();  // the default direction is down
    EXPECT_EQ(self.vspeed, 0.5f);
    EXPECT_EQ(self.direction, 270.0f);
    EXPECT_EQ(self.speed, 0.5f);

    CInstance other(0, 0, 100001, -1, false);
    other.gravity = 1;
    other.gravity_direction = 0;
    other.ApplyFrictionGravity();
    other.ApplyFrictionGravity();
    EXPECT_EQ(other.hspeed, 2.0f);
    EXPECT_EQ(other.direction, 0.0f);
}

TEST_F(Motion, ANegativeSpeedLastsUntilTheComponentsAreConverted)
{
    self.SetSpeed(-2);
    EXPECT_EQ(self.speed, -2.0f);
    EXPECT_EQ(self.hspeed, -2.0f);
    self.AddMotion(0, 0);
    EXPECT_EQ(self.speed, 2.0f);
    EXPECT_EQ(self.direction, 180.0f);
}

TEST_F(Motion, PathStartPlacesTheInstanceByDirectionAndMode)
{
    const int32_t line = Line();
    self.x = 7;
    self.y = 9;
    Call(F_PathStart, {static_cast<double>(line), -5, 0, 1});  // absolute, backwards
    EXPECT_EQ(self.path_index, line);
    EXPECT_EQ(self.path_position, 1.0f);
    EXPECT_EQ(self.x, 100.0f);
    EXPECT_EQ(self.path_xorigin, 0.0f);

    self.x = 7;
    self.y = 9;
    Call(F_PathStart, {static_cast<double>(line), 5, 1, 0});  // relative
    EXPECT_EQ(self.path_position, 0.0f);
    EXPECT_EQ(self.x, 7.0f);
    EXPECT_EQ(self.path_xorigin, 7.0f);
    EXPECT_EQ(self.path_yorigin, 9.0f);
    EXPECT_EQ(self.path_endaction, 1);

    Call(F_PathStart, {99, 5, 0, 1});  // no such path
    EXPECT_EQ(self.path_index, -1);
}

TEST_F(Motion, PathEndOnlyForgetsThePath)
{
    Call(F_PathStart, {static_cast<double>(Line()), 10, 0, 1});
    self.AdvancePath();
    const float position = self.path_position;
    self.hspeed = 4;
    Call(F_PathEnd, {});
    EXPECT_EQ(self.path_index, -1);
    EXPECT_EQ(self.path_position, position);
    EXPECT_EQ(self.path_speed, 10.0f);
    EXPECT_EQ(self.hspeed, 4.0f);
}

TEST_F(Motion, FollowingAPathMovesByItsSpeedAndLeavesNoVelocity)
{
    Call(F_PathStart, {static_cast<double>(Line()), 10, 0, 1});
    for (int step = 1; step <= 9; ++step) {
        EXPECT_FALSE(self.AdvancePath());
        EXPECT_NEAR(self.x, 10.0f * step, 1e-3);
    }
    EXPECT_EQ(self.direction, 0.0f);
    EXPECT_EQ(self.speed, 0.0f);
    EXPECT_EQ(self.hspeed, 0.0f);
    EXPECT_TRUE(self.AdvancePath());
    EXPECT_EQ(self.path_index, -1);
    EXPECT_EQ(self.x, 100.0f);
}

TEST_F(Motion, EachEndActionAtEitherEnd)
{
    struct Case {
        float position, speed;
        int32_t action;
        bool keepsPath;
        float afterPosition, afterSpeed, afterX, afterOrigin;
    } cases[] = {
        {0.9f, 30, 0, false, 1.0f, 30, 100, 0},     // stop at the far end
        {0.1f, -30, 0, false, 1.0f, -30, 100, 0},   // stop at the start: placed on the last point
        {0.9f, 30, 1, true, 0.2f, 30, 20, 0},       // restart
        {0.1f, -30, 1, true, 0.8f, -30, 80, 0},     // restart backwards
        {0.9f, 30, 2, true, 0.2f, 30, 120, 100},    // continue: laid end to end
        {0.1f, -30, 2, true, 0.8f, -30, -20, -100}, // continue backwards
        {0.9f, 30, 3, true, 0.8f, -30, 80, 0},      // reverse at the far end
        {0.1f, -30, 3, true, 0.2f, 30, 20, 0},      // reverse at the start
        {0.9f, 30, 7, false, 1.0f, 30, 100, 0},     // unknown action stops
    };
    const int32_t line = Line();
    for (const Case& c : cases) {
        self.SetPath(line, c.speed, 1, 0, false, c.action);
        self.path_position = c.position;
        EXPECT_TRUE(self.AdvancePath()) << c.action;
        EXPECT_EQ(self.path_index, c.keepsPath ? line : -1) << c.action;
        EXPECT_NEAR(self.path_position, c.afterPosition, 1e-5) << c.action;
        EXPECT_EQ(self.path_speed, c.afterSpeed) << c.action;
        EXPECT_NEAR(self.x, c.afterX, 1e-3) << c.action;
        EXPECT_NEAR(self.path_xorigin, c.afterOrigin, 1e-5) << c.action;
    }
}

TEST_F(Motion, ContinueMovesOnWithoutAJump)
{
    self.SetPath(Line(), 30, 1, 0, false, 2);
    float previous = self.x;
    for (int step = 0; step < 12; ++step) {
        self.AdvancePath();
        EXPECT_NEAR(self.x - previous, 30.0f, 1e-3) << step;
        previous = self.x;
    }
}

TEST_F(Motion, AtSpeedZeroTheEndActionRunsWithoutAnEvent)
{
    const int32_t line = Line();
    // restart: the position alternates between -1 and 0
    self.SetPath(line, 0, 1, 0, false, 1);
    EXPECT_FALSE(self.AdvancePath());
    EXPECT_EQ(self.path_position, -1.0f);
    EXPECT_FALSE(self.AdvancePath());
    EXPECT_EQ(self.path_position, 0.0f);
    // reverse: between 2 (the last point) and 0 (the first)
    self.SetPath(line, 0, 1, 0, false, 3);
    EXPECT_FALSE(self.AdvancePath());
    EXPECT_EQ(self.path_position, 2.0f);
    EXPECT_EQ(self.x, 100.0f);
    EXPECT_FALSE(self.AdvancePath());
    EXPECT_EQ(self.path_position, 0.0f);
    EXPECT_EQ(self.x, 0.0f);
    // stop: nothing changes
    self.SetPath(line, 0, 1, 0, false, 0);
    EXPECT_FALSE(self.AdvancePath());
    EXPECT_EQ(self.path_index, line);
    EXPECT_EQ(self.path_position, 0.0f);
}

TEST_F(Motion, ScaleAndOrientationMapThePathIntoTheRoom)
{
    self.x = 50;
    self.y = 50;
    self.SetPath(Line(), 25, 2, 90, true, 0);  // 200 pixels long, pointing up
    self.AdvancePath();
    EXPECT_NEAR(self.path_position, 0.125f, 1e-6);
    EXPECT_NEAR(self.x, 50.0f, 1e-3);
    EXPECT_NEAR(self.y, 25.0f, 1e-3);
    EXPECT_EQ(self.direction, 90.0f);
}

TEST_F(Motion, ANegativeScaleIsRefusedAndAZeroScaleHoldsTheInstanceOnTheOrigin)
{
    const int32_t line = Line();
    self.SetPath(line, 10, -1, 0, false, 0);
    EXPECT_EQ(self.path_index, -1);

    self.x = 40;
    self.y = 60;
    self.SetPath(line, 10, 0, 0, true, 1);
    for (int step = 0; step < 3; ++step) {
        EXPECT_FALSE(self.AdvancePath());
        EXPECT_EQ(self.path_position, 0.0f);
        EXPECT_EQ(self.x, 40.0f);
        EXPECT_EQ(self.y, 60.0f);
    }
}

TEST_F(Motion, ClosedAndSmoothPathsAlongMotion)
{
    // A closed square: 400 long; a quarter is one side.
    self.SetPath(NewPath({{0, 0, 100}, {100, 0, 100}, {100, 100, 100}, {0, 100, 100}}, PATH_KIND_STRAIGHT, true), 100,
                 1, 0, false, 1);
    const float square[][2] = {{100, 0}, {100, 100}, {0, 100}, {0, 0}, {100, 0}};
    for (const auto& corner : square) {
        self.AdvancePath();
        EXPECT_NEAR(self.x, corner[0], 1e-2);
        EXPECT_NEAR(self.y, corner[1], 1e-2);
    }

    // A smooth path through collinear points stays on their line, halfway at the middle point.
    self.SetPath(NewPath({{0, 0, 100}, {100, 0, 100}, {200, 0, 100}}, PATH_KIND_SMOOTH), 0, 1, 0, false, 0);
    self.path_position = 0.5f;
    self.path_speed = 1e-9f;
    self.AdvancePath();
    EXPECT_NEAR(self.x, 100.0f, 1e-2);
    EXPECT_NEAR(self.y, 0.0f, 1e-4);
}

TEST_F(Motion, PointSpeedsScaleTheAdvance)
{
    self.SetPath(NewPath({{0, 0, 50}, {100, 0, 50}}), 10, 1, 0, false, 0);
    self.AdvancePath();
    EXPECT_NEAR(self.x, 5.0f, 1e-4);
}
}  // namespace
