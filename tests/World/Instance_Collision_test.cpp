// Bounding boxes under rotation and scale, and the box tests of instances
// against points, rectangles, ellipses, lines and each other.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GameData/GameOptions.h"
#include "World/Instance.h"
#include "support/TestSprites.h"

namespace {
struct BoxCase {
    const char* what;
    float x, y, xscale, yscale, angle;
    bool index, compatibility;
    int32_t left, top, right, bottom;
};

struct BoxTest : ::testing::Test {
    int32_t sprite = -1;
    void SetUp() override { sprite = TestSprite_Add({1, 32, 32, 0, nullptr, 16, 16}); }
    void TearDown() override { GameOptions.collisionMode = GameOptions.collisionCompatibility = false; }

    CInstance* Make(float x, float y)
    {
        auto* instance = new CInstance(x, y, 100001 + static_cast<int32_t>(made.size()), -1, false);
        instance->sprite_index = sprite;
        instance->mask_index = -1;
        made.emplace_back(instance);
        return instance;
    }
    std::vector<std::unique_ptr<CInstance>> made;
};

TEST_F(BoxTest, BoxFollowsOriginScaleRotationAndTheRoundingOptions)
{
    const BoxCase cases[] = {
        {"plain", 100, 100, 1, 1, 0, false, false, 84, 84, 115, 115},
        {"mirrored keeps the box", 100, 100, -1, 1, 0, false, false, 84, 84, 115, 115},
        {"flipped keeps the box", 100, 100, 1, -1, 0, false, false, 84, 84, 115, 115},
        {"doubled", 100, 100, 2, 0.5f, 0, false, false, 68, 92, 131, 107},
        {"index truncates", 110.6f, 100, 1, 1, 0, true, false, 94, 84, 125, 115},
        {"compatibility rounds", 110.6f, 100, 1, 1, 0, true, true, 95, 84, 126, 115},
        {"no index rounds", 110.6f, 100, 1, 1, 0, false, false, 95, 84, 126, 115},
        {"quarter turn", 100, 100, 1, 1, 90, false, false, 84, 84, 115, 115},
        {"eighth turn covers the diagonal", 100, 100, 1, 1, 45, false, false, 77, 77, 122, 122},
        {"turned and stretched", 100, 100, 2, 1, 90, false, false, 84, 68, 115, 131},
    };
    for (const BoxCase& c : cases) {
        GameOptions.collisionMode = c.index;
        GameOptions.collisionCompatibility = c.compatibility;
        CInstance* i = Make(c.x, c.y);
        i->image_xscale = c.xscale;
        i->image_yscale = c.yscale;
        i->image_angle = c.angle;
        i->ComputeBoundingBox(false);
        EXPECT_EQ(i->bbox_left, c.left) << c.what;
        EXPECT_EQ(i->bbox_top, c.top) << c.what;
        EXPECT_EQ(i->bbox_right, c.right) << c.what;
        EXPECT_EQ(i->bbox_bottom, c.bottom) << c.what;
        EXPECT_FALSE(i->m_bboxDirty);
    }
}

TEST_F(BoxTest, WithoutASpriteTheBoxIsThePositionTruncatedAndNothingOverflows)
{
    CInstance* i = Make(10.7f, -3.2f);
    i->sprite_index = -1;
    i->ComputeBoundingBox(false);
    EXPECT_EQ(i->bbox_left, 10);
    EXPECT_EQ(i->bbox_top, -3);
    EXPECT_EQ(i->bbox_right, 10);
    EXPECT_EQ(i->bbox_bottom, -3);
    EXPECT_FALSE(i->CollisionPoint(10, -3, false));  // no mask: nothing to touch

    // Huge, infinite and NaN positions give clamped edges, never an overflowing conversion.
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {3e38f, -inf, std::nanf("")}) {
        CInstance* far = Make(v, v);
        far->image_xscale = 1e30f;
        far->ComputeBoundingBox(false);
        EXPECT_LE(far->bbox_left, far->bbox_right + 1);
    }
}

TEST_F(BoxTest, PointAndRectangleTestsCoverTheWholeEdgePixel)
{
    CInstance* i = Make(100, 100);  // box 84..115
    EXPECT_TRUE(i->CollisionPoint(115.5f, 100, true));
    EXPECT_FALSE(i->CollisionPoint(116, 100, true));
    EXPECT_TRUE(i->CollisionPoint(84, 84, false));
    EXPECT_FALSE(i->CollisionPoint(83.9f, 100, false));
    EXPECT_TRUE(i->CollisionRectangle(200, 200, 115, 115, true));  // corners in any order
    EXPECT_FALSE(i->CollisionRectangle(116, 0, 200, 200, true));
    EXPECT_FALSE(i->CollisionRectangle(0, 0, 83.5f, 200, true));
    i->m_marked = true;
    EXPECT_FALSE(i->CollisionPoint(100, 100, false));
    EXPECT_FALSE(i->CollisionRectangle(0, 0, 200, 200, false));
}

TEST_F(BoxTest, EllipseMissesTheCornerItsRectangleWouldTouch)
{
    CInstance* i = Make(100, 100);  // box 84..115
    // The circle's bounding square overlaps the box's corner, the circle does not.
    EXPECT_TRUE(i->CollisionRectangle(60, 60, 86, 86, false));
    EXPECT_FALSE(i->CollisionEllipse(60, 60, 86, 86, false));
    EXPECT_TRUE(i->CollisionEllipse(70, 70, 90, 90, false));
    // Centre within the box's x range: the ellipse reaches in from above.
    EXPECT_TRUE(i->CollisionEllipse(90, 60, 110, 85, false));
    // A rectangle that rounds to zero width is tested as a rectangle.
    EXPECT_TRUE(i->CollisionEllipse(84.2f, 60, 84.4f, 90, false));
    EXPECT_FALSE(i->CollisionEllipse(83.2f, 60, 83.4f, 90, false));
}

TEST_F(BoxTest, LinesAreClippedToTheBoxColumns)
{
    CInstance* i = Make(100, 100);  // box 84..115
    EXPECT_TRUE(i->CollisionLine(0, 100, 200, 100, false));
    EXPECT_TRUE(i->CollisionLine(100, 0, 100, 200, false));  // vertical: no clip, no division
    EXPECT_TRUE(i->CollisionLine(200, 100, 0, 100, false));  // either direction
    // Crosses the extent of the box at its corner but passes above it.
    EXPECT_FALSE(i->CollisionLine(60, 90, 90, 60, false));
    EXPECT_TRUE(i->CollisionLine(70, 100, 100, 70, false));
    EXPECT_FALSE(i->CollisionLine(0, 116, 200, 116, false));
}

TEST_F(BoxTest, InstancesTouchWhenTheirBoxesOverlapButNeverThemselves)
{
    CInstance* a = Make(100, 100);  // 84..115
    CInstance* b = Make(131, 100);  // 115..146: shares column 115
    CInstance* c = Make(132, 100);  // 116..147
    EXPECT_TRUE(a->CollisionInstance(b, true));
    EXPECT_TRUE(b->CollisionInstance(a, true));
    EXPECT_FALSE(a->CollisionInstance(c, true));
    EXPECT_FALSE(a->CollisionInstance(a, true));
    b->m_marked = true;
    EXPECT_FALSE(a->CollisionInstance(b, true));
    b->m_marked = false;
    b->x = std::nanf("");
    b->m_bboxDirty = true;
    EXPECT_FALSE(a->CollisionInstance(b, true));
    // Boxes brought up to date before the test.
    c->x = 120;
    c->m_bboxDirty = true;
    EXPECT_TRUE(a->CollisionInstance(c, true));
}
}  // namespace

namespace {
TEST_F(BoxTest, PreciseTestsReadTheMaskAndBoxTestsDoNot)
{
    // A 3 x 3 ring: only its centre pixel is clear.
    uint32_t pixels[9];
    for (uint32_t& p : pixels) p = 0xFF000000u;
    pixels[4] = 0;
    ASSERT_TRUE(Sprite_Get(sprite)->LoadFromPixels(pixels, 3, 3, 1, true, true, false, 0, 0, true));
    CInstance* i = Make(10, 10);  // covers 10..12
    EXPECT_FALSE(i->CollisionPoint(11, 11, true));
    EXPECT_TRUE(i->CollisionPoint(11, 11, false));
    EXPECT_TRUE(i->CollisionPoint(10, 11, true));
    EXPECT_FALSE(i->CollisionRectangle(11, 11, 11.4f, 11.4f, true));
    EXPECT_TRUE(i->CollisionRectangle(11, 11, 11.4f, 11.4f, false));
    EXPECT_TRUE(i->CollisionLine(0, 11, 20, 11, true));
}
}  // namespace
