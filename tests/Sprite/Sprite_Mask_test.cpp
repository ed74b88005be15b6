// Collision masks: a 5 x 5 ring (solid border, free inside but for a faint
// centre pixel) tested against points, rectangles, ellipses and lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Sprite/Sprite_Class.h"
#include "support/RecordingConsole.h"

namespace {
// 0xAARRGGBB words: the border opaque, the centre alpha 0x40, the rest clear.
std::vector<uint32_t> RingPixels()
{
    std::vector<uint32_t> pixels(25, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (x == 0 || y == 0 || x == 4 || y == 4) pixels[size_t(y * 5 + x)] = 0xFFFF0000u;
            if (x == 2 && y == 2) pixels[size_t(y * 5 + x)] = 0x40FF0000u;
        }
    return pixels;
}

struct MaskTest : ::testing::Test {
    CSprite ring;
    void SetUp() override
    {
        const std::vector<uint32_t> pixels = RingPixels();
        ASSERT_TRUE(ring.LoadFromPixels(pixels.data(), 5, 5, 1, true, true, false, 0, 0, true));
        ASSERT_TRUE(ring.MasksBuilt());
    }
    // The ring at (10, 10), covering 10..14 both ways.
    static SpritePose At10(float scale = 1, float angle = 0) { return {0, {10, 10, 14, 14}, 10, 10, scale, scale, angle}; }
};

TEST_F(MaskTest, ShapesAgainstARingWithAHole)
{
    enum Kind { Point, Rect, Ellipse, Line };
    struct Case {
        const char* what;
        Kind kind;
        SpriteRect r;  // a point is (left, top), a line runs from (left, top) to (right, bottom)
        bool hit;
    } cases[] = {
        {"border point", Point, {10, 10, 0, 0}, true},
        {"point in the hole", Point, {11, 11, 0, 0}, false},
        {"faint centre counts for an alpha mask", Point, {12, 12, 0, 0}, true},
        {"point past the right edge", Point, {15, 10, 0, 0}, false},
        {"rectangle inside the hole", Rect, {11, 11, 11, 13}, false},
        {"rectangle reaching the centre", Rect, {11, 11, 12, 12}, true},
        {"rectangle over the border", Rect, {0, 0, 10, 10}, true},
        {"ellipse around the centre", Ellipse, {11, 11, 13, 13}, true},
        {"ellipse whose corners reach the border only", Ellipse, {9, 9, 15, 15}, true},
        {"zero-wide ellipse in a hole column", Ellipse, {11, 11, 11, 13}, false},
        {"zero-wide ellipse through the centre", Ellipse, {12, 11, 12, 13}, true},
        {"ellipse of half sizes 0", Ellipse, {11, 12, 12, 12}, false},
        {"horizontal line in the hole", Line, {11, 11, 13, 11}, false},
        {"the same line right to left", Line, {13, 11, 11, 11}, false},
        {"horizontal line across the border", Line, {14, 11, 8, 11}, true},
        {"diagonal through the centre", Line, {11, 13, 13, 11}, true},
        {"steep line in the hole", Line, {11, 11, 12, 13}, false},
    };
    for (const Case& c : cases) {
        bool hit = false;
        switch (c.kind) {
            case Point: hit = ring.CollidePoint(At10(), c.r.left, c.r.top); break;
            case Rect: hit = ring.CollideRectangle(At10(), c.r); break;
            case Ellipse: hit = ring.CollideEllipse(At10(), c.r); break;
            case Line: hit = ring.CollideLine(At10(), c.r.left, c.r.top, c.r.right, c.r.bottom); break;
        }
        EXPECT_EQ(hit, c.hit) << c.what;
    }
}

TEST_F(MaskTest, ScaledAndTurnedInstancesMapPointsBackIntoTheFrame)
{
    // Scale 2: offset 3 is frame pixel 1 (in the hole), offset 1 is pixel 0.
    EXPECT_FALSE(ring.CollidePoint(At10(2), 13, 13));
    EXPECT_TRUE(ring.CollidePoint(At10(2), 11, 11));
    EXPECT_TRUE(ring.CollidePoint(At10(2), 14, 14));  // the centre
    // A quarter turn counter-clockwise at scale 2 puts the frame above and to the right.
    EXPECT_TRUE(ring.CollidePoint(At10(2, 90), 11, 9));
    EXPECT_FALSE(ring.CollidePoint(At10(2, 90), 13, 7));
    EXPECT_TRUE(ring.CollidePoint(At10(2, 90), 15, 5));  // the centre (pixel edges blur under a turn)
    EXPECT_FALSE(ring.CollidePoint(At10(2, 90), 11, 11));  // below the origin: outside
}

TEST_F(MaskTest, SpritesCollideOnlyWhereBothHaveSolidPixels)
{
    CSprite dot;
    const uint32_t opaque = 0xFF000000u;
    ASSERT_TRUE(dot.LoadFromPixels(&opaque, 1, 1, 1, true, true, false, 0, 0, true));
    EXPECT_FALSE(ring.CollideSprite(At10(), &dot, {0, {11, 11, 11, 11}, 11, 11, 1, 1, 0}));
    EXPECT_TRUE(ring.CollideSprite(At10(), &dot, {0, {14, 11, 14, 11}, 14, 11, 1, 1, 0}));
    // Scaled by 2 the dot covers 12..13: (12, 12) is the ring's centre.
    EXPECT_TRUE(ring.CollideSprite(At10(), &dot, {0, {12, 12, 13, 13}, 12, 12, 2, 2, 0}));
    // A sprite without masks is solid over its frame.
    dot.SetPrecise(false);
    EXPECT_FALSE(dot.MasksBuilt());
    EXPECT_TRUE(ring.CollideSprite(At10(), &dot, {0, {14, 11, 14, 11}, 14, 11, 1, 1, 0}));
}

TEST_F(MaskTest, GeneratedMasksFollowToleranceBoxAndShape)
{
    // The tolerance is compared with the alpha bits in place: every tolerance
    // of 0..255 still takes each pixel whose alpha is not 0.
    ring.CreateCollisionMask(true, MASK_BOX_AUTOMATIC, {}, MASK_SHAPE_PRECISE, 255);
    EXPECT_TRUE(ring.CollidePoint(At10(), 12, 12)) << "alpha 0x40 counts under tolerance 255";
    EXPECT_EQ(ring.bboxRight, 4);
    ring.CreateCollisionMask(true, MASK_BOX_AUTOMATIC, {}, MASK_SHAPE_PRECISE, 0x40000000);
    EXPECT_FALSE(ring.CollidePoint(At10(), 12, 12)) << "alpha 0x40 is not above 0x40 in place";
    ring.CreateCollisionMask(true, MASK_BOX_AUTOMATIC, {}, MASK_SHAPE_PRECISE, -1);
    EXPECT_EQ(ring.bboxRight, 0) << "nothing is above the largest unsigned tolerance: an empty box";
    EXPECT_FALSE(ring.CollidePoint(At10(), 10, 10));

    ring.CreateCollisionMask(true, MASK_BOX_MANUAL, {-5, -5, 1000, 1000}, MASK_SHAPE_ELLIPSE, 0);
    EXPECT_EQ(ring.bboxLeft, 0);
    EXPECT_EQ(ring.bboxRight, 4);
    EXPECT_EQ(ring.bboxBottom, 4);
    EXPECT_TRUE(ring.CollidePoint(At10(), 11, 11));   // inside the ellipse, though clear
    EXPECT_FALSE(ring.CollidePoint(At10(), 10, 10));  // the corner is outside it

    ring.CreateCollisionMask(true, MASK_BOX_MANUAL, {2, 2, 2, 2}, MASK_SHAPE_RECTANGLE, 0);
    EXPECT_TRUE(ring.CollidePoint(At10(), 12, 12));
    EXPECT_FALSE(ring.CollidePoint(At10(), 10, 10));
}

TEST_F(MaskTest, WithoutSeparateMasksLaterFramesAddFrameZero)
{
    // Frame 0: the left column; frame 1: the right column.
    const uint32_t strip[4] = {0xFF000000u, 0, 0, 0xFF000000u};
    CSprite two;
    ASSERT_TRUE(two.LoadFromPixels(strip, 4, 1, 2, true, true, false, 0, 0, true));
    two.CreateCollisionMask(false, MASK_BOX_FULL, {}, MASK_SHAPE_PRECISE, 0);
    const SpritePose f0{0, {0, 0, 1, 0}, 0, 0, 1, 1, 0}, f1{1, {0, 0, 1, 0}, 0, 0, 1, 1, 0};
    EXPECT_TRUE(two.CollidePoint(f0, 0, 0));
    EXPECT_FALSE(two.CollidePoint(f0, 1, 0));
    EXPECT_TRUE(two.CollidePoint(f1, 0, 0));
    EXPECT_TRUE(two.CollidePoint(f1, 1, 0));
}

TEST_F(MaskTest, RunLengthMasksMustCoverTheFrameExactly)
{
    RecordingConsole log;
    tagIConsole* saved = LogConsole;
    LogConsole = &log;
    const uint8_t whole[] = {0x80 | 9, 0x04, 0x80 | 9};  // 10 solid, 5 free, 10 solid
    const uint8_t* bytes[] = {whole};
    uint32_t counts[] = {3};
    EXPECT_TRUE(ring.DecodeRLEMasks(bytes, counts, 1));
    EXPECT_TRUE(ring.CollidePoint(At10(), 14, 11));
    EXPECT_FALSE(ring.CollidePoint(At10(), 10, 12));
    counts[0] = 2;
    EXPECT_FALSE(ring.DecodeRLEMasks(bytes, counts, 1));
    EXPECT_FALSE(ring.MasksBuilt());
    EXPECT_NE(log.text.find("covers 15 pixels of 5 x 5"), std::string::npos) << log.text;
    const uint8_t tooLong[] = {0xFF};  // 128 pixels
    bytes[0] = tooLong;
    counts[0] = 1;
    EXPECT_FALSE(ring.DecodeRLEMasks(bytes, counts, 1));
    EXPECT_NE(log.text.find("beyond 5 x 5"), std::string::npos) << log.text;
    LogConsole = saved;
}
}  // namespace
