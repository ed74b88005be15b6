// The primitive drawer: what each shape puts into the vertex batch, and what
// reaches the pixels on the software device.
#include "Graphics/Graphics_Primitive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "World/Room_Main.h"
#include "Runner/Runner_Entry.h"
#include "support/GpuTestFrame.h"

namespace {

struct Vertex {
    float x, y;
    uint32_t colour;
    float u, v;
};

// The open batch as positions and colours, whatever its vertex size.
struct Batch {
    int kind = -1;
    int size = 0;
    D3DTexture* texture = nullptr;
    std::vector<Vertex> v;
};

Batch OpenBatch()
{
    const OpenVertexBatch b = GR_VertexBuilder_GetOpenBatch();
    Batch out;
    out.kind = b.kind;
    out.size = b.vertexSize;
    out.texture = b.texture;
    for (int i = 0; b.kind >= 0 && i < b.count; ++i) {
        const uint8_t* p = b.vertices + static_cast<size_t>(i) * b.vertexSize;
        Vertex v{};
        if (b.vertexSize == 16) {
            std::memcpy(&v.x, p, 4);
            std::memcpy(&v.y, p + 4, 4);
            std::memcpy(&v.colour, p + 12, 4);
        } else {
            std::memcpy(&v.u, p, 4);
            std::memcpy(&v.v, p + 4, 4);
            std::memcpy(&v.colour, p + 8, 4);
            std::memcpy(&v.x, p + 12, 4);
            std::memcpy(&v.y, p + 16, 4);
        }
        out.v.push_back(v);
    }
    return out;
}

class PrimitiveTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        GR_InitCircleTable();
        DrawAlpha = 255;
        DrawColour = 0xFFFFFFFFu;
        DrawDepth = 0;
        GR_D3D_SetView(0, 0, 64, 64, 0);
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
        GR_VertexBuilder_Flush();
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        DrawColour = 0xFF000000u;
        DrawAlpha = 255;
    }
    // The batch a drawing leaves open, starting from none.
    template <typename Work>
    static Batch Drawn(Work work)
    {
        GR_VertexBuilder_Flush();
        work();
        return OpenBatch();
    }
    bool Lit(int x, int y) const { return frame.Pixel(x, y) != Rgba(0, 0, 0, 255); }
};

TEST_F(PrimitiveTest, CirclePrecisionIsAMultipleOfFourFrom4To64)
{
    const int cases[][2] = {{3, 4}, {65, 64}, {30, 28}, {24, 24}, {-5, 4}, {4, 4}};
    for (const auto& c : cases) {
        GR_SetCirclePrecision(c[0]);
        EXPECT_EQ(GR_GetCirclePrecision(), c[1]) << c[0];
    }
}

TEST_F(PrimitiveTest, CircleIsATriangleListOrAClosedStripFromTheTable)
{
    Batch b = Drawn([] { GR_Draw_Circle(20, 20, 10, false); });
    EXPECT_EQ(b.kind, 4);
    ASSERT_EQ(b.v.size(), 72u);
    EXPECT_FLOAT_EQ(b.v[0].x, 21.0f) << "centre, offset by one";
    EXPECT_FLOAT_EQ(b.v[1].x, 31.0f);
    b = Drawn([] { GR_Draw_Circle(20, 20, 10, true); });
    EXPECT_EQ(b.kind, 3);
    ASSERT_EQ(b.v.size(), 25u);
    EXPECT_NEAR(b.v[0].x, b.v[24].x, 1e-4);
    EXPECT_NEAR(b.v[0].y, b.v[24].y, 1e-4);
    // A colour circle: centre and edge colours with the draw alpha.
    DrawAlpha = 0x80;
    b = Drawn([] { GR_Draw_CircleColour(20, 20, 10, 0x0000FF, 0xFF0000, false); });
    EXPECT_EQ(b.v[0].colour, 0x800000FFu);
    EXPECT_EQ(b.v[1].colour, 0x80FF0000u);
}

TEST_F(PrimitiveTest, FilledRectangleSortsCornersAndOffsetsOnlyRightAndBottom)
{
    const Batch b = Drawn([] { GR_Draw_Rectangle(10, 10, 0, 0, false); });
    EXPECT_EQ(b.kind, 4);
    ASSERT_EQ(b.v.size(), 6u);
    EXPECT_FLOAT_EQ(b.v[0].x, 0);
    EXPECT_FLOAT_EQ(b.v[0].y, 0);
    EXPECT_FLOAT_EQ(b.v[2].x, 11);
    EXPECT_FLOAT_EQ(b.v[2].y, 11);
    GR_VertexBuilder_Flush();
    EXPECT_TRUE(Lit(0, 0));
    EXPECT_TRUE(Lit(10, 10));
    EXPECT_FALSE(Lit(11, 5));
    EXPECT_FALSE(Lit(5, 11));
}

TEST_F(PrimitiveTest, OutlinedRectangleLightsItsFourCorners)
{
    GR_Draw_Rectangle(10, 10, 30, 20, true);
    const std::vector<uint32_t> pixels = frame.Read();
    // Edges lie on pixel corners: each corner lights one of the four pixels around it.
    auto litAround = [&](int x, int y) {
        for (int dy = -1; dy <= 0; ++dy)
            for (int dx = -1; dx <= 0; ++dx)
                if (pixels[static_cast<size_t>(y + dy) * 64 + x + dx] != Rgba(0, 0, 0, 255)) return true;
        return false;
    };
    for (auto [x, y] : {std::pair{11, 11}, {31, 11}, {31, 21}, {11, 21}}) EXPECT_TRUE(litAround(x, y)) << x << "," << y;
    EXPECT_FALSE(Lit(20, 15)) << "inside stays empty";
}

TEST_F(PrimitiveTest, ColourRectangleNudgesIntegralEdgesAndInterpolates)
{
    const Batch b = Drawn([] { GR_Draw_RectangleColour(0, 0, 10, 10, 0xFF, 0xFF, 0xFF, 0xFF, false); });
    EXPECT_EQ(b.kind, 6);
    ASSERT_EQ(b.v.size(), 5u);
    EXPECT_FLOAT_EQ(b.v[2].x, 11.01f);
    EXPECT_FLOAT_EQ(b.v[2].y, 11.01f);
    EXPECT_FLOAT_EQ(b.v[0].x, 0.0f);
    GR_VertexBuilder_Flush();
    GR_Draw_Clear(0xFF000000u);
    // Red on the left, blue on the right: the middle is a mix.
    GR_Draw_RectangleColour(0, 0, 63, 63, 0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF, false);
    EXPECT_TRUE(Near(frame.Pixel(0, 30), Rgba(255, 0, 0, 255), 8));
    EXPECT_TRUE(Near(frame.Pixel(63, 30), Rgba(0, 0, 255, 255), 8));
    EXPECT_TRUE(Near(frame.Pixel(31, 30), Rgba(128, 0, 128, 255), 8));
}

TEST_F(PrimitiveTest, WideLineCoversItsWidthAndZeroLengthDrawsNothing)
{
    GR_Draw_LineWidth(10, 20, 50, 20, 4);
    EXPECT_TRUE(Lit(30, 19));
    EXPECT_TRUE(Lit(30, 22));
    EXPECT_FALSE(Lit(30, 23));
    EXPECT_FALSE(Lit(30, 18));
    const Batch b = Drawn([] {
        GR_Draw_LineWidth(5, 5, 5, 5, 4);
        GR_Draw_Arrow(5, 5, 5, 5, 10);
    });
    EXPECT_EQ(b.kind, -1);
}

TEST_F(PrimitiveTest, ArrowHeadIsSizeLongAndTwoThirdsWide)
{
    GR_Draw_Arrow(0, 30, 40, 30, 12);
    const Batch b = OpenBatch();
    ASSERT_EQ(b.kind, 4);
    ASSERT_EQ(b.v.size(), 3u);
    EXPECT_FLOAT_EQ(b.v[0].x, 41 - 12);
    EXPECT_FLOAT_EQ(b.v[0].y, 31 + 4);
    EXPECT_FLOAT_EQ(b.v[1].x, 41);
    EXPECT_FLOAT_EQ(b.v[2].y, 31 - 4);
    EXPECT_TRUE(Lit(20, 30) || Lit(20, 31)) << "the shaft";
    EXPECT_TRUE(Lit(36, 31)) << "the head";
}

TEST_F(PrimitiveTest, RoundRectLimitsItsCornersToTheBox)
{
    const Batch b = Drawn([] { GR_Draw_RoundRect(10, 10, 30, 20, 100, 100, false); });
    EXPECT_EQ(b.kind, 6);
    ASSERT_EQ(b.v.size(), 30u);
    // Corner ellipse of the box's own size: a plain ellipse through the box's edge midpoints.
    EXPECT_NEAR(b.v[1].x, 31.01f, 1e-3);
    EXPECT_NEAR(b.v[1].y, 16.005f, 1e-3);
    EXPECT_EQ(b.v[29].x, b.v[1].x);
    const Batch outline = Drawn([] { GR_Draw_RoundRect(10, 10, 30, 20, 4, 4, true); });
    EXPECT_EQ(outline.kind, 3);
    EXPECT_EQ(outline.v[0].x, outline.v[1].x) << "the strip runs along the edge only";
}

TEST_F(PrimitiveTest, HealthbarColoursFollowTheAmount)
{
    struct Case {
        float amount;
        uint32_t barColour;
        int rectangles;
    };
    // min red, mid green, max blue; back grey; border on.
    const Case cases[] = {{50, 0xFF00FF00u, 4}, {0, 0, 2}, {150, 0xFFFF0000u, 4}, {75, 0xFF808000u, 4}};
    for (const Case& c : cases) {
        GR_VertexBuilder_Flush();
        GR_Draw_Clear(0xFF000000u);
        GR_Draw_Healthbar(0, 0, 40, 10, c.amount, 0x404040, 0x0000FF, 0x00FF00, 0xFF0000, 0, true, true);
        const uint32_t inside = frame.Pixel(20, 5);
        if (c.rectangles == 2) EXPECT_EQ(inside, Rgba(0x40, 0x40, 0x40, 255)) << "only the back";
        else EXPECT_EQ(inside, c.barColour) << c.amount;
    }
    // Direction 1 shrinks from the right: at 25 only the right quarter is the bar.
    GR_Draw_Clear(0xFF000000u);
    GR_Draw_Healthbar(0, 0, 40, 10, 25, 0x404040, 0x0000FF, 0x00FF00, 0xFF0000, 1, true, false);
    EXPECT_EQ(frame.Pixel(10, 5), Rgba(0x40, 0x40, 0x40, 255));
    EXPECT_EQ(frame.Pixel(35, 5), Rgba(128, 128, 0, 255));
}

TEST_F(PrimitiveTest, BuiltPrimitivesCountPrimitivesByKindAndKeepAtMost1001Vertices)
{
    Batch b = Drawn([] {
        GR_Draw_PrimitiveBegin(3, -1);
        GR_Draw_Vertex(1, 1);
        GR_Draw_PrimitiveEnd();
    });
    EXPECT_EQ(b.kind, -1) << "a strip of one vertex is no line";
    b = Drawn([] {
        GR_Draw_PrimitiveBegin(2, -1);
        for (int i = 0; i < 3; ++i) GR_Draw_Vertex(static_cast<float>(i), 0);
        GR_Draw_PrimitiveEnd();
    });
    EXPECT_EQ(b.kind, 2);
    EXPECT_EQ(b.v.size(), 3u);
    EXPECT_EQ(b.size, 24);
    b = Drawn([] {
        GR_Draw_PrimitiveBegin(1, -1);
        for (int i = 0; i < 1002; ++i) GR_Draw_Vertex(static_cast<float>(i), 0);
        GR_Draw_PrimitiveEnd();
    });
    ASSERT_EQ(b.v.size(), 1001u);
    EXPECT_FLOAT_EQ(b.v[1000].x, 1000.0f);
    b = Drawn([] {
        GR_Draw_PrimitiveBegin(9, -1);
        GR_Draw_Vertex(0, 0);
        GR_Draw_PrimitiveEnd();
    });
    EXPECT_EQ(b.kind, -1) << "an unknown kind draws nothing";
}

TEST_F(PrimitiveTest, BuiltTriangleFanDrawsInItsVertexColours)
{
    GR_Draw_PrimitiveBegin(6, -1);
    GR_Draw_VertexColour(0, 0, 0x0000FF, 1);
    GR_Draw_VertexColour(64, 0, 0x0000FF, 1);
    GR_Draw_VertexColour(64, 64, 0x0000FF, 1);
    GR_Draw_VertexColour(0, 64, 0x0000FF, 0.5f);
    GR_Draw_PrimitiveEnd();
    EXPECT_EQ(frame.Pixel(40, 20), Rgba(255, 0, 0, 255));
    GR_Draw_PrimitiveBegin(4, -1);
    GR_Draw_VertexColour(0, 0, 0x00FF00, 0.5f);
    GR_Draw_PrimitiveEnd();
    const Batch b = OpenBatch();
    EXPECT_EQ(b.kind, -1);
}

TEST_F(PrimitiveTest, TexturePageEntryHandleMapsUnitUVsToTheEntry)
{
    const std::vector<uint32_t> pixels(64 * 32, 0xFFFFFFFFu);
    const int texture = GR_Texture_Create(64, 32, pixels.data(), 64 * 32 * 4);
    STexturePageEntry entry{};
    entry.x = 16;
    entry.y = 8;
    entry.width = entry.cropWidth = 32;
    entry.height = entry.cropHeight = 16;
    entry.texture = static_cast<int16_t>(texture);
    const int handle = TPE_GetHandle(&entry);
    EXPECT_GT(handle, 16384);
    GR_Draw_PrimitiveBegin(5, handle);
    GR_Draw_VertexTexture(0, 0, 0, 0);
    GR_Draw_VertexTexture(10, 0, 1, 0);
    GR_Draw_VertexTexture(0, 10, 0, 1);
    GR_Draw_VertexTexture(10, 10, 1, 1);
    GR_Draw_PrimitiveEnd();
    const Batch b = OpenBatch();
    ASSERT_EQ(b.v.size(), 4u);
    EXPECT_EQ(b.texture, GR_Texture_GetD3D(texture));
    EXPECT_FLOAT_EQ(b.v[0].u, 16.0f / 64);
    EXPECT_FLOAT_EQ(b.v[0].v, 8.0f / 32);
    EXPECT_FLOAT_EQ(b.v[3].u, 48.0f / 64);
    EXPECT_FLOAT_EQ(b.v[3].v, 24.0f / 32);
    GR_VertexBuilder_Flush();
    TPE_ForgetEntry(&entry);
    GR_Texture_Free(texture);
}

TEST_F(PrimitiveTest, IllegalTextureIsRefusedAndNeverFollowed)
{
    Console_SetStdoutSuppressed(true);
    ShowErrorDialogs = false;
    HeadlessMode.noDialogs = true;
    for (int bad : {5000, 16384, 99999, -7}) {
        FatalErrorShown = false;
        ErrorLast_Set(nullptr);
        GR_Draw_PrimitiveBegin(4, bad);
        ASSERT_NE(ErrorLast_Get(), nullptr) << bad;
        EXPECT_NE(std::string(ErrorLast_Get()).find("Illegal texture supplied."), std::string::npos);
        GR_Draw_Vertex(0, 0);
        GR_Draw_Vertex(10, 0);
        GR_Draw_Vertex(0, 10);
        const Batch b = Drawn([] { GR_Draw_PrimitiveEnd(); });
        EXPECT_EQ(b.texture, nullptr) << "drawn without texture";
        EXPECT_EQ(b.v.size(), 3u);
    }
    FatalErrorShown = false;
    PendingRoomCode = -1;
    Runner_DiscardMessages();
    ErrorLast_Set(nullptr);
    ShowErrorDialogs = true;
    HeadlessMode = HeadlessModeFlags{};
    Console_Reset();
}

TEST_F(PrimitiveTest, ColourAndAlphaStateShareTheTopByte)
{
    GR_Draw_SetAlpha(0.5f);
    EXPECT_EQ(DrawAlpha, 127);
    GR_Draw_SetColour(0x123456);
    EXPECT_EQ(GR_Draw_GetColour(), 0x7F123456u);
    GR_Draw_SetAlpha(2.0f);
    EXPECT_EQ(GR_Draw_GetColour(), 0xFF123456u);
    GR_Draw_SetAlpha(-1.0f);
    EXPECT_EQ(GR_Draw_GetColour(), 0x00123456u);
    EXPECT_FLOAT_EQ(GR_Draw_GetAlpha(), 0.0f);
    EXPECT_EQ(Colour_AlphaToByte(0.999f), 254);
    EXPECT_EQ(Colour_LerpRGB(0x0000FF, 0x00FF00, 0.5f), 0x008080u);
    // draw_clear_alpha: the colour with the alpha byte, straight into the target.
    GR_Draw_ClearAlpha(0x00FF00, 0.5f);
    EXPECT_EQ(frame.Pixel(3, 3), Rgba(0, 255, 0, 127));
}

}  // namespace
