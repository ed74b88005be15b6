// Textured quads: corner placement, trimming, rotation, corner ids, tiling,
// and what reaches the pixels on the software device.
#include "Graphics/Graphics_TextureDraw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "support/GpuTestFrame.h"

namespace {

struct Vertex {
    float u, v;
    uint32_t colour;
    float x, y, z;
};

std::vector<Vertex> OpenVertices()
{
    const OpenVertexBatch b = GR_VertexBuilder_GetOpenBatch();
    std::vector<Vertex> out(b.kind >= 0 ? static_cast<size_t>(b.count) : 0);
    if (!out.empty()) std::memcpy(out.data(), b.vertices, out.size() * sizeof(Vertex));
    return out;
}

class QuadTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};
    int texture = -1;
    STexturePageEntry entry{};
    const uint32_t kBlack = Rgba(0, 0, 0, 255);

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        // 32 × 32: left half red, right half green, bottom row blue.
        std::vector<uint32_t> pixels(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                pixels[static_cast<size_t>(y) * 32 + x] =
                    y == 31 ? Rgba(0, 0, 255, 255) : x < 16 ? Rgba(255, 0, 0, 255) : Rgba(0, 255, 0, 255);
        texture = GR_Texture_Create(32, 32, pixels.data(), 32 * 32 * 4);
        entry = {};
        entry.width = entry.cropWidth = entry.fullWidth = 32;
        entry.height = entry.cropHeight = entry.fullHeight = 32;
        entry.texture = static_cast<int16_t>(texture);
        GR_D3D_SetView(0, 0, 64, 64, 0);
        StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
        GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
        DrawAlpha = 255;
        GR_VertexBuilder_Flush();
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        GR_CornerIdEnabled = false;
        GR_Texture_Free(texture);
    }
    template <typename Work>
    static std::vector<Vertex> Drawn(Work work)
    {
        GR_VertexBuilder_Flush();
        work();
        return OpenVertices();
    }
};

TEST_F(QuadTest, ExtPlacesTheCropAroundTheOriginWithScale)
{
    entry.xOffset = entry.yOffset = 2;
    entry.cropWidth = 10;
    entry.cropHeight = 12;
    const auto v = Drawn([&] { EXPECT_TRUE(GR_TPE_DrawExt(&entry, 8, 8, 100, 100, 2, 2, 0, 0xFFFFFF, 1)); });
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 88);
    EXPECT_FLOAT_EQ(v[0].y, 88);
    EXPECT_FLOAT_EQ(v[2].x, 108);
    EXPECT_FLOAT_EQ(v[2].y, 112);
    EXPECT_FLOAT_EQ(v[2].u, 1.0f) << "the source size on the page";
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
}

TEST_F(QuadTest, ThresholdsOfRotationDifferBetweenExtAndGeneral)
{
    auto ext = Drawn([&] { GR_TPE_DrawExt(&entry, 0, 0, 10, 10, 1, 1, 0.0005f, 0xFFFFFF, 1); });
    EXPECT_FLOAT_EQ(ext[1].y, 10.0f) << "unrotated below 0.001";
    auto general = Drawn([&] {
        GR_TPE_DrawGeneral(&entry, 0, 0, 32, 32, 10, 10, 1, 1, 0.0005f, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1);
    });
    ASSERT_EQ(general.size(), 6u);
    EXPECT_LT(general[1].y, 10.0f) << "turned counter-clockwise from 0.0001";
}

TEST_F(QuadTest, PartTrimsTheMarginsOfTheStoredImage)
{
    entry.xOffset = 3;
    entry.cropWidth = 20;
    auto v = Drawn([&] { EXPECT_TRUE(GR_TPE_DrawPart(&entry, 0, 0, 10, 10, 50, 50, 1, 1, 0, 0xFFFFFF, 1)); });
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 53) << "shifted right by the trimmed 3";
    EXPECT_FLOAT_EQ(v[1].x, 60) << "and narrowed by 3";
    // Order TL, TR, BL, TR, BR, BL.
    EXPECT_FLOAT_EQ(v[2].y, 60);
    EXPECT_FLOAT_EQ(v[4].x, 60);
    v = Drawn([&] { EXPECT_TRUE(GR_TPE_DrawPart(&entry, 0, 0, 2, 10, 50, 50, 1, 1, 0, 0xFFFFFF, 1)); });
    EXPECT_TRUE(v.empty()) << "a part inside the trimmed margin draws nothing";
    STexturePageEntry missing = entry;
    missing.texture = 999;
    EXPECT_FALSE(GR_TPE_DrawPart(&missing, 0, 0, 10, 10, 0, 0, 1, 1, 0, 0xFFFFFF, 1));
    EXPECT_FALSE(GR_TPE_DrawPart(nullptr, 0, 0, 10, 10, 0, 0, 1, 1, 0, 0xFFFFFF, 1));
    missing = entry;
    missing.cropWidth = 0;
    EXPECT_TRUE(GR_TPE_DrawPart(&missing, 3, 0, 1, 10, 0, 0, 1, 1, 0, 0xFFFFFF, 1)) << "no division by an empty crop";
}

TEST_F(QuadTest, CornerIdsMarkEachCornerInBothTriangles)
{
    GR_CornerIdEnabled = true;
    const uint32_t ids[6] = {0, 1, 2, 2, 3, 0};  // TL, TR, BR, BR, BL, TL
    auto id = [](uint32_t c) { return (c & 1u) | ((c >> 15) & 2u); };
    auto v = Drawn([&] { GR_TPE_DrawExt(&entry, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1); });
    ASSERT_EQ(v.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(id(v[static_cast<size_t>(i)].colour), ids[i]) << i;
    v = Drawn([&] { GR_TPE_DrawPart(&entry, 0, 0, 8, 8, 0, 0, 1, 1, 0, 0xFFFFFF, 1); });
    const uint32_t partIds[6] = {0, 1, 3, 1, 2, 3};  // TL, TR, BL, TR, BR, BL
    for (int i = 0; i < 6; ++i) EXPECT_EQ(id(v[static_cast<size_t>(i)].colour), partIds[i]) << i;
    v = Drawn([&] { GR_Texture_DrawExt(texture, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1); });
    EXPECT_EQ(v[1].colour, 0xFFFFFFFFu) << "the texture-index drawer has none";
}

TEST_F(QuadTest, EmptyCropIsDrawnOnePixelWide)
{
    entry.cropWidth = 0;
    const auto v = Drawn([&] { EXPECT_TRUE(GR_TPE_Draw(&entry, 10, 10)); });
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[1].x - v[0].x, 1.0f);
}

TEST_F(QuadTest, ImagesTurnedBy90DegreesReachThePixels)
{
    // Unturned at (16, 16): red on the left, green on the right.
    GR_TPE_DrawExt(&entry, 0, 0, 16, 16, 1, 1, 0, 0xFFFFFF, 1);
    EXPECT_EQ(frame.Pixel(20, 20), Rgba(255, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(44, 20), Rgba(0, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(20, 47), Rgba(0, 0, 255, 255));
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    // Turned a quarter counter-clockwise about (16, 48): the image's left half is now at the bottom.
    GR_TPE_DrawExt(&entry, 0, 0, 16, 48, 1, 1, 1.5707964f, 0xFFFFFF, 1);
    EXPECT_EQ(frame.Pixel(30, 44), Rgba(255, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(30, 20), Rgba(0, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(47, 30), Rgba(0, 0, 255, 255)) << "the bottom row turned to the right edge";
    // A tint multiplies, and the alpha goes into the vertices.
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    EXPECT_TRUE(GR_Texture_DrawExt(texture, 0, 0, 0, 0, 1, 1, 0, 0x00FF00, 1));
    EXPECT_EQ(frame.Pixel(20, 5), Rgba(0, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(5, 5), kBlack);
    EXPECT_FALSE(GR_Texture_DrawExt(-1, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1));
}

TEST_F(QuadTest, TextureTilingAnchorsColumnsBeforeTheRegion)
{
    GR_VertexBuilder_Flush();
    const int before = GR_D3D_DrawCallCount;
    // Each tile is a fan of its own; read each before the next flushes it.
    EXPECT_TRUE(GR_Texture_DrawTiled(texture, 0, 0, 40, 0, 1, 1, true, false, 0, 0, 100, 32, 0x0000FF, 1));
    GR_VertexBuilder_Flush();
    EXPECT_EQ(GR_D3D_DrawCallCount - before, 4) << "columns at -24, 8, 40 and 72";
    EXPECT_EQ(frame.Pixel(2, 5), kBlack) << "red tint on green is black";
    EXPECT_EQ(frame.Pixel(10, 5), Rgba(255, 0, 0, 255)) << "column at 8 starts red";
    EXPECT_FALSE(GR_Texture_DrawTiled(texture, 0, 0, 0, 0, 0.01f, 1, true, false, 0, 0, 100, 32, 0xFFFFFF, 1))
        << "a step below one pixel";
    // Without repeat: one tile, only when its anchor lies before the region's end.
    const int single = GR_D3D_DrawCallCount;
    GR_Texture_DrawTiled(texture, 0, 0, 200, 0, 1, 1, false, false, 0, 0, 100, 32, 0xFFFFFF, 1);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(GR_D3D_DrawCallCount, single);
}

TEST_F(QuadTest, PageEntryTilingCoversTheViewFromTheAnchor)
{
    entry.fullWidth = entry.fullHeight = 32;
    GR_D3D_SetView(0, 0, 64, 64, 0);
    const auto v = Drawn([&] { GR_TPE_DrawTiled(&entry, 4, 0, 14, 0, 1, 1, true, true, 0xFFFFFF, 1); });
    // View bounds 0..64: columns every 32 from fmod(10 - 0, 32) + 0 - 32 = -22.
    ASSERT_FALSE(v.empty());
    EXPECT_FLOAT_EQ(v[1].x, -22.0f) << "second vertex is the first tile's top-left";
    EXPECT_EQ(v.size() % 6, 0u);
    const size_t tiles = v.size() / 6;
    EXPECT_EQ(tiles, 16u) << "4 columns by 4 rows";
    EXPECT_FALSE(GR_TPE_DrawTiled(&entry, 0, 0, 0, 0, 0.00001f, 1, true, true, 0xFFFFFF, 1));
}

}  // namespace
