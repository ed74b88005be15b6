#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "Path/Path_Class.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"

namespace {

// What the drawer put into the open vertex batch: a path is one primitive of
// 24-byte vertices.
struct DrawnPrimitive {
    int kind = -1;
    bool textured = false;
    int32_t vertexCount = 0;
    std::vector<float> x, y;
};

DrawnPrimitive LastPrimitive()
{
    const OpenVertexBatch batch = GR_VertexBuilder_GetOpenBatch();
    DrawnPrimitive r;
    if (batch.kind < 0) return r;
    r.kind = batch.kind;
    r.textured = batch.texture != nullptr;
    r.vertexCount = batch.count;
    for (int i = 0; i < batch.count; ++i) {
        float xy[2];
        std::memcpy(xy, batch.vertices + static_cast<size_t>(i) * batch.vertexSize + 12, sizeof xy);
        r.x.push_back(xy[0]);
        r.y.push_back(xy[1]);
    }
    return r;
}
struct Sample {
    float x, y, speed;
};

// A path made of points; deleted with the fixture.
struct PathTest : ::testing::Test {
    std::vector<CGamePath*> made;
    CGamePath* Make(std::vector<PathPoint> points, int32_t kind, bool closed, int32_t precision = 4)
    {
        CGamePath* p = CGamePath::New();
        made.push_back(p);
        p->SetKind(static_cast<uint32_t>(kind));
        p->SetClosed(closed);
        p->SetPrecision(precision);
        for (const PathPoint& q : points) p->AddPoint(q.x, q.y, q.speed);
        return p;
    }
    void TearDown() override
    {
        for (CGamePath* p : made) p->Delete();
    }
};

void ExpectDerived(const CGamePath* p, const std::vector<Sample>& expected)
{
    ASSERT_EQ(p->GetDerivedCount(), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const PathDerivedPoint& d = p->GetDerivedPoint(static_cast<int32_t>(i));
        EXPECT_FLOAT_EQ(d.x, expected[i].x) << "sample " << i;
        EXPECT_FLOAT_EQ(d.y, expected[i].y) << "sample " << i;
        EXPECT_FLOAT_EQ(d.speed, expected[i].speed) << "sample " << i;
    }
}

void ExpectPoints(const CGamePath* p, const std::vector<PathPoint>& expected)
{
    ASSERT_EQ(p->GetPointCount(), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const PathPoint& q = p->GetPoint(static_cast<int32_t>(i));
        EXPECT_NEAR(q.x, expected[i].x, 1e-3) << "point " << i;
        EXPECT_NEAR(q.y, expected[i].y, 1e-3) << "point " << i;
        EXPECT_FLOAT_EQ(q.speed, expected[i].speed) << "point " << i;
    }
}

void ExpectAt(const CGamePath* p, float fraction, Sample expected)
{
    float x, y, speed;
    p->GetPosition(fraction, &x, &y, &speed);
    EXPECT_FLOAT_EQ(x, expected.x) << "fraction " << fraction;
    EXPECT_FLOAT_EQ(y, expected.y) << "fraction " << fraction;
    EXPECT_FLOAT_EQ(speed, expected.speed) << "fraction " << fraction;
    EXPECT_FLOAT_EQ(p->GetXAt(fraction), expected.x);
    EXPECT_FLOAT_EQ(p->GetYAt(fraction), expected.y);
    EXPECT_FLOAT_EQ(p->GetSpeedAt(fraction), expected.speed);
}
}  // namespace

TEST_F(PathTest, NewPathIsEmptyStraightClosedAndAnswersTheOrigin)
{
    CGamePath* p = Make({}, 0, true);
    EXPECT_EQ(p->GetKind(), 0);
    EXPECT_TRUE(p->GetClosed());
    EXPECT_EQ(p->GetPrecision(), 4);
    EXPECT_EQ(p->GetPointCount(), 0);
    EXPECT_EQ(p->GetDerivedCount(), 0);
    EXPECT_EQ(p->GetLength(), 0.0f);
    EXPECT_EQ(p->GetTime(), 0.0f);
    for (float f : {-1.0f, 0.0f, 0.5f, 1.0f, 2.0f}) ExpectAt(p, f, {0, 0, 100});
    GR_VertexBuilder_Reset();
    p->Draw(10, 10, true);
    EXPECT_EQ(LastPrimitive().vertexCount, 0);
    EXPECT_EQ(LastPrimitive().kind, -1) << "nothing reaches the batch";
}

TEST_F(PathTest, StraightOpenPathInterpolatesPositionAndSpeedAlongItsLength)
{
    CGamePath* p = Make({{0, 0, 100}, {100, 0, 50}, {100, 100, 100}}, 0, false);
    ExpectDerived(p, {{0, 0, 100}, {100, 0, 50}, {100, 100, 100}});
    EXPECT_FLOAT_EQ(p->GetDerivedPoint(2).length, 200.0f);
    EXPECT_FLOAT_EQ(p->GetLength(), 200.0f);
    EXPECT_FLOAT_EQ(p->GetTime(), 2 * 100.0f / 0.75f);
    ExpectAt(p, 0.25f, {50, 0, 75});
    ExpectAt(p, 0.5f, {100, 0, 50});
    ExpectAt(p, 0.75f, {100, 50, 75});
    ExpectAt(p, 1.0f, {100, 100, 100});
    // Out-of-range fractions clamp; NaN counts as 0.
    ExpectAt(p, -0.5f, {0, 0, 100});
    ExpectAt(p, 1.5f, {100, 100, 100});
    ExpectAt(p, std::numeric_limits<float>::quiet_NaN(), {0, 0, 100});
}

TEST_F(PathTest, StraightClosedPathReturnsToItsFirstPoint)
{
    CGamePath* p = Make({{0, 0, 100}, {100, 0, 100}, {100, 100, 100}, {0, 100, 100}}, 0, true);
    EXPECT_EQ(p->GetDerivedCount(), 5);
    EXPECT_FLOAT_EQ(p->GetLength(), 400.0f);
    EXPECT_FLOAT_EQ(p->GetTime(), 400.0f);  // speed 100 everywhere: time equals length
    ExpectAt(p, 0.875f, {0, 50, 100});
    ExpectAt(p, 1.0f, {0, 0, 100});

    CGamePath* one = Make({{7, 8, 100}}, 0, true);
    ExpectDerived(one, {{7, 8, 100}, {7, 8, 100}});
    EXPECT_EQ(one->GetLength(), 0.0f);
    ExpectAt(one, 0.7f, {7, 8, 100});
}

TEST_F(PathTest, SmoothDerivationMatchesHandComputedSamples)
{
    struct Case {
        const char* name;
        std::vector<PathPoint> points;
        bool closed;
        int32_t precision;
        std::vector<Sample> derived;
    };
    const std::vector<PathPoint> corner = {{0, 0, 100}, {100, 0, 0}, {100, 100, 100}};
    const Case cases[] = {
        {"open, precision 1", corner, false, 1, {{0, 0, 100}, {87.5f, 12.5f, 25}, {100, 100, 100}}},
        {"open, precision 2 (quarter points of the curve)", corner, false, 2,
         {{0, 0, 100}, {71.875f, 3.125f, 31.25f}, {87.5f, 12.5f, 25}, {96.875f, 28.125f, 31.25f}, {100, 100, 100}}},
        {"closed, precision 1: starts on the curve around the second point", corner, true, 1,
         {{87.5f, 12.5f, 25}, {87.5f, 75, 87.5f}, {25, 12.5f, 87.5f}, {87.5f, 12.5f, 25}}},
        {"open, two points", {{0, 0, 100}, {50, 50, 20}}, false, 4, {{0, 0, 100}, {50, 50, 20}}},
        {"open, precision 0", {{0, 0, 100}, {100, 0, 100}, {100, 100, 100}, {0, 100, 50}}, false, 0,
         {{0, 0, 100}, {0, 100, 50}}},
        {"closed, precision 0: no samples", corner, true, 0, {}},
        {"legs of 4 units: one sample per curve", {{0, 0, 100}, {8, 0, 100}, {8, 8, 100}}, false, 8,
         {{0, 0, 100}, {7, 1, 100}, {8, 8, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectDerived(Make(c.points, 1, c.closed, c.precision), c.derived);
    }
    // Legs long enough for every level: 2^precision - 1 samples per curve;
    // shorter legs stop early (legs of 50 are 3.125 after four halvings).
    EXPECT_EQ(Make(corner, 1, false, 4)->GetDerivedCount(), 15 + 2);
    EXPECT_EQ(Make(corner, 1, false, 8)->GetDerivedCount(), 31 + 2);
    EXPECT_EQ(Make({{0, 0, 100}, {2000, 0, 100}, {2000, 2000, 100}}, 1, false, 8)->GetDerivedCount(), 255 + 2);
}

TEST_F(PathTest, SmoothPathLengthIsTheSampledPolyline)
{
    CGamePath* p = Make({{0, 0, 100}, {100, 0, 100}, {100, 100, 100}}, 1, false, 1);
    const float leg = std::sqrt(87.5f * 87.5f + 12.5f * 12.5f);
    EXPECT_FLOAT_EQ(p->GetLength(), 2 * leg);
    EXPECT_FLOAT_EQ(p->GetTime(), 2 * leg);
    ExpectAt(p, 0.5f, {87.5f, 12.5f, 100});

    // A closed smooth path of precision 0 has nothing to follow.
    CGamePath* empty = Make({{0, 0, 100}, {100, 0, 100}, {100, 100, 100}}, 1, true, 0);
    EXPECT_EQ(empty->GetLength(), 0.0f);
    EXPECT_EQ(empty->GetTime(), 0.0f);
    ExpectAt(empty, 0.5f, {0, 0, 100});
}

TEST_F(PathTest, ZeroSpeedsGiveNoNaN)
{
    // Speeds averaging 0 over a real segment: it is never crossed.
    CGamePath* stalled = Make({{0, 0, 0}, {100, 0, 0}}, 0, false);
    EXPECT_FLOAT_EQ(stalled->GetLength(), 100.0f);
    EXPECT_TRUE(std::isinf(stalled->GetTime()) && stalled->GetTime() > 0);
    ExpectAt(stalled, 0.5f, {50, 0, 0});
    // A segment of no length takes no time whatever its speed.
    CGamePath* still = Make({{3, 3, 0}}, 0, true);
    EXPECT_EQ(still->GetTime(), 0.0f);
    CGamePath* mixed = Make({{0, 0, 0}, {0, 0, 0}, {10, 0, 100}}, 0, false);
    EXPECT_FLOAT_EQ(mixed->GetTime(), 20.0f);
}

TEST_F(PathTest, PointEditsHonourTheirIndexRanges)
{
    CGamePath* p = Make({{0, 0, 100}, {10, 0, 100}}, 0, false);
    p->InsertPoint(3, 99, 99, 1);  // count + 1: nothing
    p->ChangePoint(2, 99, 99, 1);  // count: nothing
    p->DeletePoint(2);
    p->DeletePoint(-1);
    ExpectPoints(p, {{0, 0, 100}, {10, 0, 100}});
    p->InsertPoint(2, 10, 10, 50);  // count: appends
    p->InsertPoint(0, -10, 0, 25);
    ExpectPoints(p, {{-10, 0, 25}, {0, 0, 100}, {10, 0, 100}, {10, 10, 50}});
    EXPECT_FLOAT_EQ(p->GetLength(), 30.0f);
    p->ChangePoint(1, 0, 5, 75);
    p->DeletePoint(2);
    ExpectPoints(p, {{-10, 0, 25}, {0, 5, 75}, {10, 10, 50}});
    EXPECT_EQ(p->AddPoint(1, 2, 3), 3);
    const PathPoint& outside = p->GetPoint(-1);
    EXPECT_EQ(outside.x, 0.0f);
    EXPECT_EQ(outside.y, 0.0f);
    EXPECT_EQ(outside.speed, 1.0f);
    EXPECT_EQ(p->GetPoint(4).speed, 1.0f);
}

TEST_F(PathTest, PointsAddedOneByOneGiveWhatARebuildGives)
{
    // Appending to an open straight path extends its samples in place; a
    // copy rebuilds them whole. Both must agree bit for bit, zero-length and
    // zero-speed segments included.
    std::vector<PathPoint> points;
    for (int i = 0; i < 300; ++i)
        points.push_back({static_cast<float>(i % 7) * 3.3f, static_cast<float>(i) * 0.7f, i % 5 ? 100.0f : 0.0f});
    points[40] = points[39];
    CGamePath* built = Make(points, 0, false);
    CGamePath* copy = Make({}, 0, false);
    copy->Assign(built);
    ASSERT_EQ(built->GetDerivedCount(), 300);
    ASSERT_EQ(copy->GetDerivedCount(), 300);
    EXPECT_EQ(built->GetLength(), copy->GetLength());
    EXPECT_EQ(built->GetTime(), copy->GetTime());
    for (int32_t i = 0; i < 300; ++i) EXPECT_EQ(built->GetDerivedPoint(i).length, copy->GetDerivedPoint(i).length) << i;
    // A closed or smooth path still rebuilds: the closing sample follows the new last point.
    CGamePath* closed = Make({{0, 0, 100}, {10, 0, 100}}, 0, true);
    closed->AddPoint(10, 10, 100);
    ExpectDerived(closed, {{0, 0, 100}, {10, 0, 100}, {10, 10, 100}, {0, 0, 100}});
}

TEST_F(PathTest, SettersClampAndRecompute)
{
    CGamePath* p = Make({{0, 0, 100}, {100, 0, 100}, {100, 100, 100}}, 0, false);
    EXPECT_EQ(p->GetDerivedCount(), 3);
    p->SetPrecision(9);
    EXPECT_EQ(p->GetPrecision(), 8);
    p->SetPrecision(-1);
    EXPECT_EQ(p->GetPrecision(), 0);
    p->SetKind(2);
    EXPECT_EQ(p->GetKind(), 0);
    p->SetKind(static_cast<uint32_t>(-1));
    EXPECT_EQ(p->GetKind(), 0);
    p->SetPrecision(1);
    p->SetKind(1);
    EXPECT_EQ(p->GetKind(), 1);
    ExpectDerived(p, {{0, 0, 100}, {87.5f, 12.5f, 100}, {100, 100, 100}});
    p->SetClosed(true);
    EXPECT_EQ(p->GetDerivedCount(), 4);
    p->Clear();
    EXPECT_EQ(p->GetPointCount(), 0);
    EXPECT_EQ(p->GetDerivedCount(), 0);
    EXPECT_EQ(p->GetLength(), 0.0f);
    EXPECT_EQ(p->GetKind(), 1);
    EXPECT_TRUE(p->GetClosed());
    EXPECT_EQ(p->GetPrecision(), 1);
    // The storage a clear keeps shows nothing of the old points to a refill.
    p->SetKind(0);
    p->SetClosed(false);
    p->AddPoint(0, 0, 100);
    p->AddPoint(30, 40, 50);
    ExpectDerived(p, {{0, 0, 100}, {30, 40, 50}});
    EXPECT_EQ(p->GetLength(), 50.0f);
    EXPECT_EQ(p->GetTime(), 50.0f / 0.75f);
}

TEST_F(PathTest, AppendAssignAndReverseCopyPoints)
{
    CGamePath* p = Make({{0, 0, 100}, {10, 0, 50}}, 0, false);
    p->Append(p);
    ExpectPoints(p, {{0, 0, 100}, {10, 0, 50}, {0, 0, 100}, {10, 0, 50}});
    EXPECT_FLOAT_EQ(p->GetLength(), 30.0f);
    p->Append(nullptr);
    p->Append(Make({}, 0, false));
    EXPECT_EQ(p->GetPointCount(), 4);

    CGamePath* q = Make({{5, 5, 5}}, 0, true);
    q->Assign(Make({{1, 1, 100}, {2, 2, 100}, {3, 3, 100}}, 1, false, 2));
    EXPECT_EQ(q->GetKind(), 1);
    EXPECT_FALSE(q->GetClosed());
    EXPECT_EQ(q->GetPrecision(), 2);
    ExpectPoints(q, {{1, 1, 100}, {2, 2, 100}, {3, 3, 100}});
    q->Assign(q);
    EXPECT_EQ(q->GetPointCount(), 3);

    q->Reverse();
    ExpectPoints(q, {{3, 3, 100}, {2, 2, 100}, {1, 1, 100}});
    CGamePath* single = Make({{4, 4, 100}}, 0, false);
    single->Reverse();
    ExpectPoints(single, {{4, 4, 100}});
}

TEST_F(PathTest, TransformsWorkAboutTheCentreAndKeepSpeeds)
{
    // Centre of the base path: (50, 25).
    const std::vector<PathPoint> base = {{0, 0, 100}, {100, 0, 50}, {100, 50, 25}};
    struct Case {
        const char* name;
        void (*apply)(CGamePath*);
        std::vector<PathPoint> expected;
        float length;
    };
    const Case cases[] = {
        {"shift", [](CGamePath* p) { p->Shift(10, -5); }, {{10, -5, 100}, {110, -5, 50}, {110, 45, 25}}, 150},
        {"mirror", [](CGamePath* p) { p->Mirror(); }, {{100, 0, 100}, {0, 0, 50}, {0, 50, 25}}, 150},
        {"flip", [](CGamePath* p) { p->Flip(); }, {{0, 50, 100}, {100, 50, 50}, {100, 0, 25}}, 150},
        {"rotate 90", [](CGamePath* p) { p->Rotate(90); }, {{25, 75, 100}, {25, -25, 50}, {75, -25, 25}}, 150},
        {"rotate 180", [](CGamePath* p) { p->Rotate(180); }, {{100, 50, 100}, {0, 50, 50}, {0, 0, 25}}, 150},
        {"rescale", [](CGamePath* p) { p->Rescale(2, 0.5f); }, {{-50, 12.5f, 100}, {150, 12.5f, 50}, {150, 37.5f, 25}},
         225},
        {"rescale x by 0", [](CGamePath* p) { p->Rescale(0, 1); }, {{50, 0, 100}, {50, 0, 50}, {50, 50, 25}}, 50},
        {"rescale by 0", [](CGamePath* p) { p->Rescale(0, 0); }, {{50, 25, 100}, {50, 25, 50}, {50, 25, 25}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGamePath* p = Make(base, 0, false);
        c.apply(p);
        ExpectPoints(p, c.expected);
        EXPECT_NEAR(p->GetLength(), c.length, 1e-3);
    }
    // Collapsed onto its centre: every fraction gives the centre, and no time passes.
    CGamePath* collapsed = Make(base, 0, false);
    collapsed->Rescale(0, 0);
    ExpectAt(collapsed, 0.5f, {50, 25, 100});
    EXPECT_EQ(collapsed->GetTime(), 0.0f);

    CGamePath* two = Make({{0, 0, 100}, {100, 0, 100}}, 0, false);
    two->Rotate(90);
    ExpectPoints(two, {{50, 50, 100}, {50, -50, 100}});
    // Without points the centre is the origin and nothing happens.
    CGamePath* none = Make({}, 0, false);
    none->Rotate(45);
    none->Rescale(0, 0);
    EXPECT_EQ(none->GetPointCount(), 0);
}

TEST_F(PathTest, DrawEmitsAVertexEveryFourUnits)
{
    CGamePath* p = Make({{10, 20, 100}, {50, 20, 100}}, 0, false);
    GR_VertexBuilder_Reset();
    p->Draw(5, 5, true);
    DrawnPrimitive r = LastPrimitive();
    EXPECT_EQ(r.kind, 3);
    EXPECT_FALSE(r.textured);
    ASSERT_EQ(r.vertexCount, 11);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_FLOAT_EQ(r.x[i], 15.0f + 4.0f * i);
        EXPECT_FLOAT_EQ(r.y[i], 25.0f);
    }
    // Not absolute: moved to start at (x, y).
    p->Draw(200, 100, false);
    r = LastPrimitive();
    EXPECT_FLOAT_EQ(r.x[0], 200.0f);
    EXPECT_FLOAT_EQ(r.y[0], 100.0f);
    EXPECT_FLOAT_EQ(r.x[10], 240.0f);

    // Segment counts round ties to even: 10 / 4 = 2.5 gives 2, 14 / 4 = 3.5 gives 4.
    Make({{0, 0, 100}, {10, 0, 100}}, 0, false)->Draw(0, 0, true);
    r = LastPrimitive();
    EXPECT_EQ(r.vertexCount, 3);
    Make({{0, 0, 100}, {14, 0, 100}}, 0, false)->Draw(0, 0, true);
    r = LastPrimitive();
    EXPECT_EQ(r.vertexCount, 5);
    GR_VertexBuilder_Reset();
    Make({{0, 0, 100}, {1, 0, 100}}, 0, false)->Draw(0, 0, true);
    r = LastPrimitive();
    EXPECT_EQ(r.vertexCount, 0);
}

TEST_F(PathTest, DrawOfHugeOrBrokenPathsStopsAtTheBuilderLimit)
{
    // 2000 segments: the builder keeps 1001 vertices, the last halfway along.
    Make({{0, 0, 100}, {8000, 0, 100}}, 0, false)->Draw(0, 0, true);
    DrawnPrimitive r = LastPrimitive();
    ASSERT_EQ(r.vertexCount, 1001);
    EXPECT_FLOAT_EQ(r.x[1000], 4000.0f);
    // An infinite length ends promptly too; a NaN length draws nothing.
    const float inf = std::numeric_limits<float>::infinity();
    Make({{0, 0, 100}, {inf, 0, 100}}, 1, false, 8)->Draw(0, 0, true);
    r = LastPrimitive();
    EXPECT_EQ(r.vertexCount, 1001);
    GR_VertexBuilder_Reset();
    Make({{0, 0, 100}, {std::nanf(""), 0, 100}}, 0, false)->Draw(0, 0, true);
    r = LastPrimitive();
    EXPECT_EQ(r.vertexCount, 0);
}
