#include "Physics/PhysicsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Code/ValueTestSupport.h"
#include "Physics/PhysicsWorld.h"
#include "support/ReportCapture.h"

namespace {
struct FixtureTemplates : ::testing::Test {
    void TearDown() override { Physics_Reset(); }
};

void AddAll(PhysicsFixture* f, std::initializer_list<PhysicsPoint> points)
{
    for (const PhysicsPoint& p : points) EXPECT_TRUE(f->AddPoint(p.x, p.y));
}
}  // namespace

TEST_F(FixtureTemplates, IdsStartAtOneAndAreNeverReused)
{
    PhysicsFixture* first = PhysicsFixture_Create();
    PhysicsFixture* second = PhysicsFixture_Create();
    EXPECT_EQ(first->id, 1);
    EXPECT_EQ(second->id, 2);
    EXPECT_TRUE(PhysicsFixture_Delete(1));
    EXPECT_FALSE(PhysicsFixture_Delete(1));
    EXPECT_EQ(PhysicsFixture_Find(1), nullptr);
    EXPECT_EQ(PhysicsFixture_Find(2), second);
    EXPECT_EQ(PhysicsFixture_Create()->id, 3);
    EXPECT_EQ(PhysicsFixture_Count(), 2);
}

TEST_F(FixtureTemplates, PolygonPointsMustRunClockwiseOnTheScreen)
{
    PhysicsFixture* f = PhysicsFixture_Create();
    f->SetPolygonShape();
    AddAll(f, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_TRUE(f->ApplyPoints("square"));

    PhysicsFixture* reversed = PhysicsFixture_Create();
    reversed->SetPolygonShape();
    AddAll(reversed, {{0, 1}, {1, 1}});
    bool added = true;
    EXPECT_FATAL_ERROR(added = reversed->AddPoint(1, 0),
                       "The polygon shape for fixture 2 is concave or ordered anti-clockwise");
    EXPECT_FALSE(added);
    EXPECT_EQ(reversed->pointCount, 3);  // the offending point stays

    // Collinear points pass the check; a ninth point is refused.
    PhysicsFixture* full = PhysicsFixture_Create();
    full->SetPolygonShape();
    AddAll(full, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {3, 1}, {0, 1}});
    EXPECT_FALSE(full->AddPoint(0, 0.5f));
    EXPECT_EQ(full->pointCount, 8);
}

TEST_F(FixtureTemplates, OnlyPolygonsWithPointArraysAndChainsTakePoints)
{
    PhysicsFixture* f = PhysicsFixture_Create();
    EXPECT_FALSE(f->AddPoint(0, 0));  // no shape
    f->SetCircleShape(1);
    EXPECT_FALSE(f->AddPoint(0, 0));
    f->SetBoxShape(1, 1);
    EXPECT_FALSE(f->AddPoint(0, 0));
    f->SetEdgeShape(0, 0, 1, 0);
    EXPECT_FALSE(f->AddPoint(2, 0));
    EXPECT_EQ(f->pointCount, 2);
    f->SetPolygonShape();  // after the edge: no points
    EXPECT_EQ(f->pointCount, 0);
    EXPECT_EQ(f->pointCapacity, 8);
}

TEST_F(FixtureTemplates, AChainGrowsByHalfItsCapacity)
{
    struct Case {
        int32_t points, capacity;
    };
    const Case cases[] = {{8, 8}, {9, 12}, {12, 12}, {13, 18}, {19, 27}, {28, 40}, {100, 135}};
    PhysicsFixture* f = PhysicsFixture_Create();
    f->SetChainShape(false);
    int32_t added = 0;
    for (const Case& c : cases) {
        for (; added < c.points; ++added) ASSERT_TRUE(f->AddPoint(static_cast<float>(added), 0));
        EXPECT_EQ(f->pointCapacity, c.capacity) << c.points;
        EXPECT_EQ(f->points[added - 1].x, static_cast<float>(added - 1));
    }
    EXPECT_TRUE(f->ApplyPoints("chain"));
}

TEST_F(FixtureTemplates, PointsThatMakeNoShapeAreAFatalErrorAtBinding)
{
    struct Case {
        int32_t shape;
        bool loop;
        std::vector<PhysicsPoint> points;
        const char* message;
    };
    const Case cases[] = {
        {PHYSICS_SHAPE_POLYGON, false, {{0, 0}, {1, 0}}, "Too few vertices in polygon shape fixture for thing"},
        {PHYSICS_SHAPE_POLYGON, false, {{0, 0}, {1, 0}, {2, 0}}, "Degenerate polygon shape fixture for thing"},
        {PHYSICS_SHAPE_POLYGON, false, {{0, 0}, {0.001f, 0}, {0.001f, 0.001f}}, "Degenerate polygon"},
        {PHYSICS_SHAPE_CHAIN, false, {{0, 0}}, "Too few vertices in chain shape fixture for thing"},
        {PHYSICS_SHAPE_CHAIN, true, {{0, 0}, {1, 0}}, "Too few vertices in chain shape fixture for thing"},
        {PHYSICS_SHAPE_CHAIN, false, {{0, 0}, {1, 0}, {1, 0}}, "Degenerate chain shape fixture for thing"},
        {PHYSICS_SHAPE_CHAIN, true, {{0, 0}, {1, 0}, {1, 1}, {0, 0}}, "Degenerate chain shape fixture for thing"},
    };
    for (const Case& c : cases) {
        PhysicsFixture* f = PhysicsFixture_Create();
        if (c.shape == PHYSICS_SHAPE_CHAIN)
            f->SetChainShape(c.loop);
        else
            f->SetPolygonShape();
        for (const PhysicsPoint& p : c.points) f->AddPoint(p.x, p.y);
        ReportCapture report;
        EXPECT_FALSE(f->ApplyPoints("thing")) << c.message;
        EXPECT_NE(report.console.text.find(c.message), std::string::npos) << report.console.text;
        EXPECT_TRUE(FatalErrorShown) << c.message;
    }
}
