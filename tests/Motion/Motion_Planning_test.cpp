// The linear and potential-field planners against walls in a room: which
// way they step, where they stop, the paths they record and when they give up.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "Motion/Motion_Planning.h"
#include "Path/Path_Class.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
using Points = std::vector<std::pair<float, float>>;

struct Planning : WorldFixture {
    int32_t wall = -1, ghost = -1, mover = -1;
    CGamePath* path = CGamePath::New();

    void SetUp() override
    {
        WorldFixture::SetUp();
        const int32_t square = TestSprite_Add({1, 16, 16, 0, nullptr});  // origin top left
        const int32_t dot = TestSprite_Add({1, 1, 1, 0, nullptr});
        wall = Object(square, true);
        ghost = Object(square, false);
        mover = Object(dot, false);
    }
    void TearDown() override
    {
        path->Delete();
        WorldFixture::TearDown();
    }
    int32_t Object(int32_t sprite, bool solid)
    {
        const int32_t index = NewObject();
        Object_Get(index)->sprite = sprite;
        Object_Get(index)->flags = solid ? 0x13u : 0x12u;
        return index;
    }
    CInstance* Wall(float x, float y) { return room.CreateInstance(x, y, wall); }
    CInstance* Mover(float x, float y, float direction = 0)
    {
        CInstance* i = room.CreateInstance(x, y, mover);
        i->SetDirection(direction);
        return i;
    }
    Points PathPoints() const
    {
        Points out;
        for (int32_t i = 0; i < path->GetPointCount(); ++i) out.emplace_back(path->GetPoint(i).x, path->GetPoint(i).y);
        return out;
    }
    // Walls 30 units right of (100, 100) covering every direction within 30
    // degrees of 0 at that distance (y 84..115), but not 40 degrees.
    void WallAhead()
    {
        Wall(122, 84);
        Wall(122, 100);
    }
};

TEST(PointDirection, AxesAndOrigin)
{
    const float cases[][3] = {{10, 0, 0}, {0, 10, 270}, {0, -10, 90}, {-10, 0, 180}, {0, 0, 0}, {10, -10, 45}, {10, 10, 315}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(MP_PointDirection(0, 0, c[0], c[1]), c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(std::signbit(MP_PointDirection(0, 0, 10, 0)), false);
}

TEST_F(Planning, LinearStepWithinOneStepCountsAsReachedEvenWhenBlocked)
{
    CInstance* m = Mover(100, 100, 90);
    EXPECT_TRUE(MP_LinearStep(m, 103, 100, 5, -3, false));
    EXPECT_EQ(m->x, 103.0f);
    EXPECT_EQ(m->direction, 0.0f);
    EXPECT_TRUE(MP_LinearStep(m, 103, 100, 5, -3, false));  // on the goal: nothing

    CInstance* blocked = Mover(100, 200, 90);
    Wall(103, 192);
    EXPECT_TRUE(MP_LinearStep(blocked, 103, 200, 5, -3, false));
    EXPECT_EQ(blocked->x, 100.0f);
    EXPECT_EQ(blocked->direction, 90.0f);
    // Far from the goal the step moves by the step size and is not done.
    EXPECT_FALSE(MP_LinearStep(blocked, 100, 300, 4, -3, false));
    EXPECT_EQ(blocked->y, 204.0f);
    EXPECT_EQ(blocked->direction, 270.0f);
}

TEST_F(Planning, TargetsChooseWhatBlocks)
{
    CInstance* m = Mover(100, 100);
    room.CreateInstance(110, 92, ghost);  // not solid
    EXPECT_TRUE(MP_PlaceFree(m, 112, 100, -3, false));
    EXPECT_FALSE(MP_PlaceFree(m, 112, 100, -3, true));
    EXPECT_FALSE(MP_PlaceFree(m, 112, 100, ghost, true));
    EXPECT_TRUE(MP_PlaceFree(m, 112, 100, wall, true));
    EXPECT_EQ(m->x, 100.0f);  // tested in place only
}

TEST_F(Planning, LinearPathRecordsEachStepAndPutsTheInstanceBack)
{
    CInstance* m = Mover(100, 100, 123);
    EXPECT_TRUE(MP_LinearPath(m, path, 110, 100, 4, -3, false));
    EXPECT_EQ(PathPoints(), (Points{{100, 100}, {104, 100}, {108, 100}, {110, 100}}));
    EXPECT_EQ(path->GetKind(), PATH_KIND_STRAIGHT);
    EXPECT_FALSE(path->GetClosed());
    EXPECT_EQ(m->x, 100.0f);
    EXPECT_EQ(m->direction, 123.0f);

    Wall(104, 92);  // the first step's position
    EXPECT_FALSE(MP_LinearPath(m, path, 110, 100, 4, -3, false));
    EXPECT_EQ(PathPoints(), (Points{{100, 100}}));
    EXPECT_EQ(m->x, 100.0f);
    EXPECT_EQ(m->direction, 123.0f);
}

TEST_F(Planning, PathFormsRefuseWhatCouldNeverFinish)
{
    CInstance* m = Mover(100, 100);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    path->AddPoint(1, 2, 3);
    EXPECT_FALSE(MP_LinearPath(m, nullptr, 110, 100, 4, -3, false));
    for (float step : {0.0f, -1.0f, nan}) {
        EXPECT_FALSE(MP_LinearPath(m, path, 110, 100, step, -3, false)) << step;
        EXPECT_FALSE(MP_PotentialPath(m, path, 110, 100, step, 2, -3, false)) << step;
    }
    EXPECT_FALSE(MP_LinearPath(m, path, nan, 100, 4, -3, false));
    EXPECT_FALSE(MP_PotentialPath(m, path, inf, 100, 4, 2, -3, false));
    for (float factor : {0.5f, nan, inf}) EXPECT_FALSE(MP_PotentialPath(m, path, 110, 100, 4, factor, -3, false)) << factor;
    EXPECT_EQ(PathPoints(), (Points{{1, 2}}));
    EXPECT_EQ(m->x, 100.0f);
}

TEST_F(Planning, PotentialStepTurnsBothWaysWithinTheMaximumRotation)
{
    // Straight ahead blocked: -10 degrees (down the screen) is tried first.
    CInstance* down = Mover(100, 100);
    Wall(122, 88);
    EXPECT_FALSE(MP_PotentialStep(down, 200, 100, 10, -3, false));
    EXPECT_EQ(down->direction, 350.0f);
    EXPECT_NEAR(down->y, 100 + 10 * std::sin(10 * 3.1415927f / 180), 1e-4);

    // -10 blocked as well: +10.
    CInstance* up = Mover(100, 300);
    Wall(122, 297);
    EXPECT_FALSE(MP_PotentialStep(up, 200, 300, 10, -3, false));
    EXPECT_EQ(up->direction, 10.0f);
    EXPECT_LT(up->y, 300.0f);
}

TEST_F(Planning, PotentialStepNeverTurnsPastTheMaximumAndTurnsOnTheSpotInstead)
{
    CInstance* m = Mover(100, 100);
    WallAhead();
    // Free at 40 degrees, but that is more than 30 away from the current 0.
    EXPECT_FALSE(MP_PotentialStep(m, 200, 100, 10, -3, false));
    EXPECT_EQ(m->x, 100.0f);
    EXPECT_EQ(m->direction, 30.0f);
    // Facing 30, 40 is within reach.
    EXPECT_FALSE(MP_PotentialStep(m, 200, 100, 10, -3, false));
    EXPECT_EQ(m->direction, 40.0f);
    EXPECT_NEAR(m->x, 100 + 10 * std::cos(40 * 3.1415927f / 180), 1e-4);

    // Within one step the goal is reached, moved onto when free.
    CInstance* near = Mover(300, 300);
    EXPECT_TRUE(MP_PotentialStep(near, 303, 300, 5, -3, false));
    EXPECT_EQ(near->x, 303.0f);
    Wall(306, 292);
    EXPECT_TRUE(MP_PotentialStep(near, 306, 300, 5, -3, false));
    EXPECT_EQ(near->x, 303.0f);
}

TEST_F(Planning, PotentialSettingsBelowOneBecomeOne)
{
    MP_PotentialSettings(0.5f, -2, 0, false);
    // Rotation step 1: the search ends. No rotation on the spot.
    CInstance* m = Mover(100, 100);
    Wall(108, 92);  // one step ahead
    EXPECT_FALSE(MP_PotentialStep(m, 200, 100, 10, -3, false));
    EXPECT_EQ(m->x, 100.0f);
    EXPECT_EQ(m->direction, 0.0f);
    // Look-ahead 1: a walker standing in a wall still probes one step out, not where it stands.
    CInstance* stuck = Mover(100, 300);
    Wall(92, 292);
    EXPECT_FALSE(MP_PotentialStep(stuck, 200, 300, 10, -3, false));
    EXPECT_EQ(stuck->x, 110.0f);
    // Maximum rotation 1.
    MP_PotentialSettings(0.5f, 10, 3, true);
    EXPECT_FALSE(MP_PotentialStep(m, 200, 100, 10, -3, false));
    EXPECT_EQ(m->direction, 1.0f);
}

TEST_F(Planning, TryDirectionEndsForDirectionsTooLargeToStepBy360)
{
    CInstance* m = Mover(100, 100);
    for (float direction : {1.0e30f, -1.0e30f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()}) {
        MP_TryDirection(direction, m, 1, -3, false);
        EXPECT_TRUE(std::isfinite(m->x) && std::isfinite(m->y)) << direction;
    }
}

TEST_F(Planning, PotentialPathGivesUpAfterMoreThan100StepsWithoutProgress)
{
    // A walker boxed in on every side.
    CInstance* m = Mover(100, 100, 45);
    Wall(101, 92);
    Wall(84, 92);
    Wall(92, 84);
    Wall(92, 101);
    EXPECT_FALSE(MP_PotentialPath(m, path, 200, 100, 4, 2, -3, false));
    EXPECT_EQ(path->GetPointCount(), 102);  // the start and one point per step
    EXPECT_EQ(path->GetLength(), 0.0f);
    EXPECT_EQ(m->x, 100.0f);
    EXPECT_EQ(m->y, 100.0f);
    EXPECT_EQ(m->direction, 45.0f);
}

TEST_F(Planning, PotentialPathWalksAroundABlockOrStopsAtItsLengthLimit)
{
    CInstance* m = Mover(100, 100);
    Wall(140, 84);
    Wall(140, 100);
    ASSERT_TRUE(MP_PotentialPath(m, path, 200, 100, 4, 4, -3, false));
    const Points points = PathPoints();
    EXPECT_EQ(points.front(), std::make_pair(100.0f, 100.0f));
    EXPECT_EQ(points.back(), std::make_pair(200.0f, 100.0f));
    for (const auto& [x, y] : points) EXPECT_TRUE(MP_PlaceFree(m, x, y, -3, false)) << x << "," << y;
    EXPECT_GT(path->GetLength(), 100.0f);
    EXPECT_EQ(m->x, 100.0f);
    // With no detour allowed the same walk ends once the path outgrows the straight distance.
    EXPECT_FALSE(MP_PotentialPath(m, path, 200, 100, 4, 1, -3, false));
    EXPECT_GT(path->GetLength(), 100.0f);
    EXPECT_LE(path->GetLength(), 104.0f);
}
}  // namespace
