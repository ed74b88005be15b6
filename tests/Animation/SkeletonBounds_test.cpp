#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "Animation/SkeletonBounds.h"
#include "Animation/SkeletonTestSupport.h"
#include "Animation/VertexAttachment.h"

using namespace skeleton_test;

namespace {

// Winding number of a closed polygon around a point: an independent test
// for containment (nonzero and even-odd agree on simple polygons).
int WindingNumber(const std::vector<float>& v, float x, float y)
{
    int winding = 0;
    const size_t n = v.size();
    for (size_t i = 0; i < n; i += 2) {
        const double x1 = v[i], y1 = v[i + 1], x2 = v[(i + 2) % n], y2 = v[(i + 3) % n];
        const double side = (x2 - x1) * (y - y1) - (x - x1) * (y2 - y1);
        if (y1 <= y && y2 > y && side > 0) ++winding;
        if (y1 > y && y2 <= y && side < 0) --winding;
    }
    return winding;
}

double Orientation(double ax, double ay, double bx, double by, double cx, double cy)
{
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool SegmentsCross(const std::vector<float>& v, float x1, float y1, float x2, float y2)
{
    const size_t n = v.size();
    for (size_t i = 0; i < n; i += 2) {
        const double x3 = v[i], y3 = v[i + 1], x4 = v[(i + 2) % n], y4 = v[(i + 3) % n];
        const double d1 = Orientation(x1, y1, x2, y2, x3, y3), d2 = Orientation(x1, y1, x2, y2, x4, y4);
        const double d3 = Orientation(x3, y3, x4, y4, x1, y1), d4 = Orientation(x3, y3, x4, y4, x2, y2);
        if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    }
    return false;
}

// Two bounding boxes on two slots: a star (not convex) around (20, 0) and a
// square on a bone turned 45 degrees at (-20, 0); the skeleton at (3, 4).
struct Boxes {
    SkeletonData data;
    BoundingBoxAttachment *star, *square;
    Boxes()
    {
        BoneData* root = AddBone(data, "root", nullptr);
        BoneData* turned = AddBone(data, "turned", root, -20, 0, 45);
        SlotData_SetAttachmentName(SkeletonData_AddSlot(&data, "a", root), "star");
        SlotData_SetAttachmentName(SkeletonData_AddSlot(&data, "b", turned), "square");
        SkeletonData_AddSlot(&data, "empty", root);
        Skin* skin = SkeletonData_AddSkin(&data, "default");
        star = AddAttachment<BoundingBoxAttachment>(skin, 0, "star");
        std::vector<float> points;
        for (int i = 0; i < 10; ++i) {
            const float r = i % 2 ? 4.0f : 10.0f, angle = static_cast<float>(i) * 0.62831855f;
            points.push_back(20 + r * std::cos(angle));
            points.push_back(r * std::sin(angle));
        }
        Read(star, points);
        square = AddAttachment<BoundingBoxAttachment>(skin, 1, "square");
        Read(square, {-5, -5, 5, -5, 5, 5, -5, 5});
    }
    static void Read(BoundingBoxAttachment* box, const std::vector<float>& values)
    {
        std::string error;
        ASSERT_TRUE(VertexAttachment_ReadVertices(box, values.data(), values.size(), static_cast<int32_t>(values.size()), 1, &error));
    }
};

} // namespace

TEST(SkeletonBoundsTests, PointAndSegmentTestsAgreeWithABruteForceOverRandomPoints)
{
    Boxes boxes;
    SkeletonPtr skeleton = MakeSkeleton(boxes.data);
    skeleton->x = 3, skeleton->y = 4;
    Skeleton_ComputeWorldTransforms(skeleton.get());
    SkeletonBounds* bounds = SkeletonBounds_Create();
    SkeletonBounds_Update(bounds, skeleton.get(), true);
    ASSERT_EQ(bounds->count, 2);
    EXPECT_EQ(bounds->boundingBoxes[0], boxes.star);

    std::vector<std::vector<float>> polygons;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int i = 0; i < 2; ++i) {
        const Polygon& polygon = bounds->polygons[static_cast<size_t>(i)];
        polygons.emplace_back(polygon.vertices.begin(), polygon.vertices.begin() + polygon.count);
        for (int k = 0; k < polygon.count; k += 2) {
            minX = std::min(minX, polygon.vertices[static_cast<size_t>(k)]);
            maxX = std::max(maxX, polygon.vertices[static_cast<size_t>(k)]);
            minY = std::min(minY, polygon.vertices[static_cast<size_t>(k + 1)]);
            maxY = std::max(maxY, polygon.vertices[static_cast<size_t>(k + 1)]);
        }
    }
    EXPECT_EQ(bounds->minX, minX);
    EXPECT_EQ(bounds->maxY, maxY);
    // The square turned on its bone reaches 5·√2 from its centre at (-17, 4).
    EXPECT_NEAR(bounds->minX, -17 - 5 * std::sqrt(2.0f), 1e-4f);

    std::mt19937 random(64);
    std::uniform_real_distribution<float> px(-35, 38), py(-14, 18);
    int inside = 0, crossing = 0;
    for (int i = 0; i < 4000; ++i) {
        const float x = px(random), y = py(random);
        const BoundingBoxAttachment* expected = nullptr;
        for (int k = 1; k >= 0; --k)
            if (WindingNumber(polygons[static_cast<size_t>(k)], x, y) != 0) expected = bounds->boundingBoxes[static_cast<size_t>(k)];
        EXPECT_EQ(SkeletonBounds_ContainsPoint(bounds, x, y), expected) << x << ", " << y;
        inside += expected != nullptr;

        const float x2 = px(random), y2 = py(random);
        expected = nullptr;
        for (int k = 1; k >= 0; --k)
            if (SegmentsCross(polygons[static_cast<size_t>(k)], x, y, x2, y2)) expected = bounds->boundingBoxes[static_cast<size_t>(k)];
        EXPECT_EQ(SkeletonBounds_IntersectsSegment(bounds, x, y, x2, y2), expected) << x << ", " << y << " to " << x2 << ", " << y2;
        crossing += expected != nullptr;
    }
    // The sample reaches both outcomes of both tests.
    EXPECT_GT(inside, 100);
    EXPECT_GT(crossing, 100);
    EXPECT_LT(crossing, 3900);

    // Entirely inside the square: no edge crossed.
    EXPECT_EQ(SkeletonBounds_IntersectsSegment(bounds, -18, 4, -16, 5), nullptr);
    EXPECT_EQ(SkeletonBounds_ContainsPoint(bounds, -17, 4), boxes.square);
    SkeletonBounds_Destroy(bounds);
}

TEST(SkeletonBoundsTests, ASkeletonShowingNoBoxHasNoPolygonsAndTheEmptyExtent)
{
    Boxes boxes;
    SkeletonPtr skeleton = MakeSkeleton(boxes.data);
    Skeleton_ComputeWorldTransforms(skeleton.get());
    SkeletonBounds bounds;
    SkeletonBounds_Update(&bounds, skeleton.get(), true);
    ASSERT_EQ(bounds.count, 2);
    const float* starPolygon = bounds.polygons[0].vertices.data();

    for (const auto& slot : skeleton->slots) Slot_SetAttachment(slot.get(), nullptr);
    SkeletonBounds_Update(&bounds, skeleton.get(), true);
    EXPECT_EQ(bounds.count, 0);
    EXPECT_EQ(bounds.minX, 2147483648.0f);
    EXPECT_EQ(bounds.maxY, -2147483648.0f);
    EXPECT_EQ(SkeletonBounds_ContainsPoint(&bounds, 20, 0), nullptr);

    // Shown again, the star reuses its polygon.
    Skeleton_ResetSlots(skeleton.get());
    SkeletonBounds_Update(&bounds, skeleton.get(), false);
    EXPECT_EQ(bounds.count, 2);
    EXPECT_EQ(bounds.polygons[0].vertices.data(), starPolygon);
    EXPECT_EQ(bounds.minX, 2147483648.0f);
}
