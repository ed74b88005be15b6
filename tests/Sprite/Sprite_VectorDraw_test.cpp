// Vector sprites drawn on the software device and read back: solid fills
// through the sprite draw forms, gradient fills, clipping masks in the
// stencil buffer and the anti-aliasing fringe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "Sprite/Sprite_Vector.h"
#include "support/GpuTestFrame.h"
#include "support/VectorSprites.h"

using namespace vectortest;

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu, kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u;

struct VectorDrawTest : ::testing::Test {
    GpuTestFrame frame{64, 64};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        GR_D3D_SetView(0, 0, 64, 64, 0);
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }
    void TearDown() override
    {
        VectorAntiAliasEnabled = false;
        VectorAntiAliasLevel = 1.0f;
        Sprite_Init();
    }
    // A run-time vector sprite of the data, origin (0, 0).
    static CSprite* Load(const gamedata::VectorData& data)
    {
        CSprite* s = Sprite_Get(Sprite_AddEmpty());
        const std::vector<uint8_t> bytes = gamedata::EncodeVector(data);
        char why[200] = "";
        EXPECT_TRUE(s->LoadVector(bytes.data(), uint32_t(bytes.size()), 0, 0, why, sizeof why)) << why;
        s->kind = SPRITE_KIND_VECTOR;
        return s;
    }
    bool At(int x, int y, uint32_t rgba, int tolerance = 3) const
    {
        const uint32_t p = frame.Pixel(x, y);
        const bool near = Near(p, rgba, tolerance);
        if (!near) ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << p;
        return near;
    }
    uint32_t Channel(int x, int y, int shift) const { return (frame.Pixel(x, y) >> shift) & 0xFF; }
};
}  // namespace

TEST_F(VectorDrawTest, SolidFillsFollowTheDrawFormsAndTheColourTransform)
{
    // Frame 0: a white 8 x 8 square; frame 1: a green one shifted to red by its colour transform.
    gamedata::VectorData d = OneFrame({Shape(Solid(kWhite), Rect(0, 0, 8, 8)), Shape(Solid(kGreen), Rect(0, 0, 8, 8))},
                                      {Place(0, 1)}, 0, 8, 0, 8);
    d.frames.push_back(d.frames[0]);
    gamedata::VectorPlacementData& tinted = d.frames[1].placements[0];
    tinted.item = 1;
    tinted.multiply[0] = 0;
    tinted.add[0] = 200;
    CSprite* s = Load(d);
    EXPECT_EQ(s->frameCount, 2);
    s->Draw(0, 8, 8);
    s->Draw(-1, 40, 8);  // frame 1
    s->DrawExt(2, 8, 40, 2, 2, 0, 0xFF0000, 1);  // frame 0, twice the size, tinted blue
    s->DrawExt(0, 44, 44, 1, 1, 0, 0xFFFFFF, 0.5f);
    At(8, 8, Rgba(254, 254, 254, 255));
    At(15, 15, Rgba(254, 254, 254, 255));
    At(7, 7, Rgba(0, 0, 0, 255));
    At(16, 16, Rgba(0, 0, 0, 255));
    At(44, 12, Rgba(200, 254, 0, 255));
    At(23, 55, Rgba(0, 0, 254, 255));
    At(24, 56, Rgba(0, 0, 0, 255));
    EXPECT_TRUE(Near(frame.Pixel(48, 48) & 0xFFFFFF, Rgba(127, 127, 127, 0), 4)) << std::hex << frame.Pixel(48, 48);

    // The origin moves the frame; the stretched form ignores it; rotation turns about the position.
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    s->xorigin = s->yorigin = 4;
    s->Draw(0, 8, 8);  // covers 4..11
    At(4, 4, Rgba(254, 254, 254, 255));
    At(3, 3, Rgba(0, 0, 0, 255));
    s->DrawStretched(0, 32, 0, 16, 4, 0xFFFFFF, 1);
    At(47, 3, Rgba(254, 254, 254, 255));
    At(47, 4, Rgba(0, 0, 0, 255));
    s->xorigin = s->yorigin = 0;
    s->DrawExt(0, 32, 40, 1, 1, 90, 0xFFFFFF, 1);  // counter-clockwise about (32, 40): now above it
    At(35, 35, Rgba(254, 254, 254, 255));
    At(35, 44, Rgba(0, 0, 0, 255));
}

TEST_F(VectorDrawTest, LinesDrawInTheirLineColour)
{
    // A sub-shape with only a line: a 2-pixel bar in the line style's colour.
    gamedata::VectorItemData item = Shape(Solid(kWhite), Rect(0, 0, 8, 8));
    item.groups[0].lineColours = {kRed, kBlue};
    gamedata::VectorSubShapeData& sub = item.groups[0].subShapes[0];
    sub.fillStyle = -1;
    sub.lineStyle = 1;
    sub.line = Rect(0, 0, 16, 2);
    sub.fill = {};
    CSprite* s = Load(OneFrame({item}, {Place(0, 1)}, 0, 16, 0, 8));
    s->Draw(0, 8, 8);
    At(8, 8, Rgba(0, 0, 254, 255));
    At(23, 9, Rgba(0, 0, 254, 255));
    At(10, 12, Rgba(0, 0, 0, 255));  // no fill
}

TEST_F(VectorDrawTest, LinearGradientsRunAcrossTheirMatrix)
{
    // Red to blue over 32 pixels: the fill matrix maps 0..640 twentieths onto the gradient's -16384..16384.
    gamedata::VectorFill gradient;
    gradient.type = 2;
    gradient.stops = {{0, kRed}, {255, kBlue}};
    gradient.matrix[0] = 32768.0f / 640.0f;
    gradient.matrix[2] = -16384.0f;
    CSprite* s = Load(OneFrame({Shape(gradient, Rect(0, 0, 32, 8))}, {Place(0, 1)}, 0, 32, 0, 8));
    GR_SetTextureRepeat(true);
    s->Draw(0, 16, 16);
    EXPECT_GT(Channel(16, 20, 0), 235u);
    EXPECT_LT(Channel(16, 20, 16), 20u);
    EXPECT_LT(Channel(47, 20, 0), 20u);
    EXPECT_GT(Channel(47, 20, 16), 235u);
    const uint32_t midRed = Channel(32, 20, 0), midBlue = Channel(32, 20, 16);
    EXPECT_TRUE(midRed > 100 && midRed < 150 && midBlue > 105 && midBlue < 160) << midRed << " " << midBlue;
    At(15, 20, Rgba(0, 0, 0, 255));
    // The gradient draws with clamped addressing, then the repeat the game set is back.
    EXPECT_EQ(g_RenderStateCache.GetSamplerState(0, SS_ADDRESSU), 0);
    GR_SetTextureRepeat(false);
}

TEST_F(VectorDrawTest, MasksClipThePlacementsUpToTheirClipDepth)
{
    // Depth 1 masks depths 2 and 3 to a 16 x 16 square; depth 4 lies past it.
    gamedata::VectorData d = OneFrame(
        {Shape(Solid(kRed), Rect(0, 0, 32, 32)), Shape(Solid(kWhite), Rect(0, 0, 16, 16)),
         Shape(Solid(kGreen), Rect(0, 0, 8, 8))},
        {Place(1, 1, 0, 0, 3), Place(0, 2), Place(2, 3, 40, 0), Place(2, 4, 40, 40)}, 0, 48, 0, 48);
    CSprite* s = Load(d);
    s->Draw(0, 0, 0);
    At(4, 4, Rgba(254, 0, 0, 255));    // red inside the mask, which itself draws nothing
    At(15, 15, Rgba(254, 0, 0, 255));
    At(20, 20, Rgba(0, 0, 0, 255));    // red clipped
    At(44, 4, Rgba(0, 0, 0, 255));     // green at depth 3 clipped
    At(44, 44, Rgba(0, 254, 0, 255));  // green at depth 4 drawn
    // The stencil is back to what it was and counts nothing: later drawing goes everywhere.
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_STENCILENABLE), 0);
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_COLORWRITEENABLE), 15);
    GR_Draw_SetColour(0xFFFFFF);
    GR_Draw_Rectangle(17, 17, 30, 30, false);
    At(20, 20, Rgba(255, 255, 255, 255));
    // A mask still open after the last placement is closed too, so the frame draws the same again.
    gamedata::VectorData open = d;
    open.frames[0].placements.pop_back();
    CSprite* t = Load(open);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    t->Draw(0, 0, 0);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);  // the stencil stays as the first draw left it
    t->Draw(0, 0, 0);
    At(4, 4, Rgba(254, 0, 0, 255));
    At(20, 20, Rgba(0, 0, 0, 255));
}

TEST_F(VectorDrawTest, AntiAliasingAddsAFringeBetweenTheFillAndTheBackground)
{
    gamedata::VectorData d = OneFrame({Shape(Solid(kWhite), Rect(0, 0, 16, 16))}, {Place(0, 1)}, 0, 16, 0, 16);
    CSprite* s = Load(d);
    s->Draw(0, 8, 8);
    At(7, 16, Rgba(0, 0, 0, 255));  // without the switch the edge is hard
    At(8, 16, Rgba(254, 254, 254, 255));

    VectorAntiAliasEnabled = true;
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    s->Draw(0, 8, 8);
    const uint32_t edge = Channel(7, 16, 0), outer = Channel(6, 16, 0);
    EXPECT_TRUE(edge > 40 && edge < 230) << edge;
    EXPECT_TRUE(outer < edge) << outer << " " << edge;
    At(8, 16, Rgba(254, 254, 254, 255));
    At(3, 16, Rgba(0, 0, 0, 255));
    // The fringe scales with the level and keeps its width on screen when the sprite is scaled.
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    s->DrawExt(0, 8, 8, 2, 2, 0, 0xFFFFFF, 1);
    EXPECT_NEAR(double(Channel(7, 24, 0)), double(edge), 12.0);
    VectorAntiAliasLevel = 0;
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    s->Draw(0, 8, 8);
    At(7, 16, Rgba(0, 0, 0, 255));

    // Data of the oldest version have no outline: no fringe.
    VectorAntiAliasLevel = 1;
    d.version = 4;
    CSprite* old = Load(d);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    old->Draw(0, 8, 8);
    At(7, 16, Rgba(0, 0, 0, 255));
    At(8, 16, Rgba(254, 254, 254, 255));
}

TEST_F(VectorDrawTest, BitmapFillsMapTheirBitmapThroughTheFillMatrix)
{
    // A 2 x 2 bitmap (red, green / blue, white) stretched over an 8 x 8 square
    // (clamped), repeated twice across a second one, and a fill of a missing bitmap.
    gamedata::VectorItemData bitmap;
    bitmap.type = 2;
    bitmap.id = 5;
    bitmap.bitmapKind = 9;
    bitmap.width = bitmap.height = 2;
    bitmap.blocks[0] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    gamedata::VectorFill clamped;
    clamped.type = 3;
    clamped.kind = 1;
    clamped.bitmapId = 5;
    clamped.matrix[0] = clamped.matrix[4] = 2.0f / 160.0f;
    gamedata::VectorFill repeated = clamped, missing = clamped;
    repeated.kind = 0;
    repeated.matrix[0] = repeated.matrix[4] = 4.0f / 160.0f;
    missing.bitmapId = 6;
    CSprite* s = Load(OneFrame({bitmap, Shape(clamped, Rect(0, 0, 8, 8)), Shape(repeated, Rect(0, 0, 8, 8)),
                                Shape(missing, Rect(0, 0, 8, 8))},
                               {Place(1, 1), Place(2, 2, 32, 0), Place(3, 3, 0, 32)}, 0, 40, 0, 40));
    s->Draw(0, 8, 8);
    At(9, 9, Rgba(255, 0, 0, 255));
    At(14, 9, Rgba(0, 255, 0, 255));
    At(9, 14, Rgba(0, 0, 255, 255));
    At(14, 14, Rgba(255, 255, 255, 255));
    // Half way across the repeated square the bitmap starts again with red.
    EXPECT_GT(Channel(44, 8, 0), Channel(44, 8, 8));
    At(12, 44, Rgba(0, 0, 0, 255));
}

TEST_F(VectorDrawTest, TiledDrawsRepeatTheFrameAcrossTheRegion)
{
    // An 8 x 8 square in a 16 x 16 frame, repeated across the region from x = 4 and drawn once down.
    CSprite* s = Load(OneFrame({Shape(Solid(kWhite), Rect(0, 0, 8, 8))}, {Place(0, 1)}, 0, 16, 0, 16));
    s->DrawTiled(0, 4, 0, 1, 1, true, false, 0, 0, 64, 64, 0xFFFFFF, 1);
    for (int x : {4, 20, 36, 52}) {
        At(x, 2, Rgba(254, 254, 254, 255));
        At(x + 8, 2, Rgba(0, 0, 0, 255));
    }
    At(2, 2, Rgba(0, 0, 0, 255));
    At(4, 16 + 2, Rgba(0, 0, 0, 255));
    // No scale, nothing drawn.
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    s->DrawTiled(0, 4, 0, 0, 1, true, true, 0, 0, 64, 64, 0xFFFFFF, 1);
    At(4, 2, Rgba(0, 0, 0, 255));
}
