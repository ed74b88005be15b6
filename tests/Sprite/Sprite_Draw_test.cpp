// Sprite drawing read back from the software device: frame choice, origin,
// scale, rotation, blend colour and alpha, culling and the other forms.
#include <gtest/gtest.h>

#include <vector>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "support/GpuTestFrame.h"

namespace {
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

struct SpriteDrawTest : ::testing::Test {
    GpuTestFrame frame{64, 64};
    CSprite* sprite = nullptr;

    // Four 8 x 8 frames: red, green, blue, white.
    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        std::vector<uint32_t> strip(32 * 8);
        const uint32_t colours[4] = {kRed, kGreen, kBlue, kWhite};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x) strip[size_t(y) * 32 + x] = colours[x / 8];
        sprite = Sprite_Get(Sprite_AddEmpty());
        ASSERT_TRUE(sprite->LoadFromPixels(strip.data(), 32, 8, 4, false, false, false, 0, 0, true));
        GR_D3D_SetView(0, 0, 64, 64, 0);
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    }
    void TearDown() override { Sprite_Init(); }
    bool At(int x, int y, uint32_t rgba) const { return Near(frame.Pixel(x, y), rgba, 3); }
};
}  // namespace

TEST_F(SpriteDrawTest, FrameIndicesWrapBothWays)
{
    EXPECT_EQ(sprite->extent, 12);
    sprite->Draw(-1, 0, 0);   // frame 3
    sprite->Draw(9, 16, 0);   // frame 1
    sprite->Draw(-8, 32, 0);  // frame 0
    sprite->DrawExt(6, 48, 0, 1, 1, 0, 0xFFFFFF, 1);  // frame 2
    EXPECT_TRUE(At(4, 4, Rgba(255, 255, 255, 255)));
    EXPECT_TRUE(At(20, 4, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(36, 4, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(52, 4, Rgba(0, 0, 255, 255)));
}

TEST_F(SpriteDrawTest, OriginScaleRotationBlendAndAlpha)
{
    sprite->xorigin = sprite->yorigin = 4;
    sprite->Draw(0, 12, 12);  // covers 8..15
    EXPECT_TRUE(At(8, 8, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(15, 15, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(7, 7, Rgba(0, 0, 0, 255)));
    // Scale 2 about the origin: 24..39; the white frame tinted by the blend colour (0x00BBGGRR).
    sprite->DrawExt(3, 32, 32, 2, 2, 0, 0xFF0000, 1);
    EXPECT_TRUE(At(24, 24, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(39, 39, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(40, 40, Rgba(0, 0, 0, 255)));
    // Half alpha over black.
    sprite->DrawExt(3, 52, 52, 1, 1, 0, 0xFFFFFF, 0.5f);
    EXPECT_TRUE(Near(frame.Pixel(52, 52) & 0xFFFFFF, Rgba(128, 128, 128, 0), 4)) << std::hex << frame.Pixel(52, 52);
    // 90 degrees turns counter-clockwise: a strip 32 wide from (0, 60) now runs upward from there.
    sprite->xorigin = sprite->yorigin = 0;
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    sprite->DrawExt(1, 0, 60, 4, 1, 90, 0xFFFFFF, 1);
    EXPECT_TRUE(At(4, 40, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(20, 58, Rgba(0, 0, 0, 255)));
}

TEST_F(SpriteDrawTest, CullingUsesTheExtentAgainstTheViewBounds)
{
    // A view bound 32 pixels wide inside a 64-pixel target: what is culled would still be on screen.
    GR_ViewBounds = {0, 0, 32, 32};
    GR_InvalidateCullRect();
    sprite->Draw(0, 44, 0);  // extent 12: 32 + 12 is still drawn
    sprite->Draw(1, 45, 16);  // one more and it is skipped
    sprite->DrawExt(2, 32 + 24, 40, 2, 2, 0, 0xFFFFFF, 1);  // scaled extent 24 reaches back
    EXPECT_TRUE(At(46, 2, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(47, 18, Rgba(0, 0, 0, 255)));
    EXPECT_TRUE(At(60, 44, Rgba(0, 0, 255, 255)));
    // Without culling everything goes through.
    NoSpriteCulling = true;
    sprite->Draw(1, 45, 16);
    NoSpriteCulling = false;
    EXPECT_TRUE(At(47, 18, Rgba(0, 255, 0, 255)));
}

TEST_F(SpriteDrawTest, StretchedPartAndCornerForms)
{
    sprite->xorigin = sprite->yorigin = 4;
    sprite->DrawStretched(1, 0, 0, 16, 8, 0xFFFFFF, 1);  // the origin is ignored
    EXPECT_TRUE(At(0, 0, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(15, 7, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(16, 8, Rgba(0, 0, 0, 255)));
    sprite->DrawPart(0, 0, 0, 4, 4, 40, 0, 1, 1, 0xFFFFFF, 1);
    EXPECT_TRUE(At(43, 3, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(44, 4, Rgba(0, 0, 0, 255)));
    sprite->DrawPos(2, 20, 20, 40, 20, 40, 30, 20, 30, 0xFFFFFF, 1);  // run-time frames use their own entries
    EXPECT_TRUE(At(30, 25, Rgba(0, 0, 255, 255)));
    sprite->DrawTiled(3, 0, 48, 1, 1, true, false, 0, 0, 64, 64, 0xFFFFFF, 1);  // one row across, from y = 44
    EXPECT_TRUE(At(60, 44, Rgba(255, 255, 255, 255)));
    EXPECT_TRUE(At(2, 51, Rgba(255, 255, 255, 255)));
    EXPECT_TRUE(At(60, 52, Rgba(0, 0, 0, 255)));
    EXPECT_TRUE(At(60, 43, Rgba(0, 0, 0, 255)));
}
