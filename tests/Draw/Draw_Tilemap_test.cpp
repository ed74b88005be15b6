// Tile maps and single tiles on the software device: cells read back with
// their index, animation frame, mirror, flip and rotate; culling to the view
// and the vertex reservation; trimmed tilesets through the background's
// general draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Draw/Draw_Frame.h"
#include "Draw/Draw_Tilemap.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "World/Room_Layers.h"
#include "World/TileData.h"
#include "support/GpuTestFrame.h"
#include "support/TestBackgrounds.h"

namespace {
// Texels and read-back pixels alike are 0xAABBGGRR words.
constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u, kWhite = 0xFFFFFFFFu,
                   kYellow = 0xFF00FFFFu;

struct TilemapDrawTest : ::testing::Test {
    GpuTestFrame frame{64, 48};
    int32_t tileset = -1;
    int32_t texture = -1;
    LayerElement_Tilemap map;
    std::vector<uint32_t> cells;

    // A 12 x 4 image of three 4 x 4 tiles: 0 unused (black), 1 four
    // quadrants (red, green / blue, white), 2 yellow.
    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        std::vector<uint32_t> pixels(12 * 4, 0xFF000000u);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                pixels[y * 12 + 4 + x] = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kWhite);
                pixels[y * 12 + 8 + x] = kYellow;
            }
        }
        texture = GR_Texture_Create(12, 4, pixels.data(), 12 * 4 * 4);
        ASSERT_GE(texture, 0);
        Background_DeleteAll();
        tileset = TestBackground_Add(12, 4);
        TestBackground_SetTexture(tileset, nullptr, texture);
        SetLayout(1, {0, 1, 2});
        GR_D3D_SetView(0, 0, 64, 48, 0);
        GR_ViewBounds = {0, 0, 64, 48};
        TilemapGlobalMask = TILE_DEFAULT_MASK;
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        Background_ObserveDrawsForTest(nullptr);
        Background_DeleteAll();  // frees the texture with the tileset
        TilemapGlobalMask = TILE_DEFAULT_MASK;
    }
    void SetLayout(int32_t frames, const std::vector<uint32_t>& ids, int32_t tileSize = 4, int32_t columns = 3)
    {
        TestBackground_SetTileLayout(tileset, {tileSize, tileSize, 0, 0, columns, frames, 3}, ids);
    }
    void Map(int32_t width, int32_t height, std::vector<uint32_t> data)
    {
        cells = std::move(data);
        map.tileset = tileset;
        map.width = width;
        map.height = height;
        map.cells = cells.data();
    }
    std::vector<uint32_t> Draw()
    {
        DrawTilemap(&map, nullptr, 0, 0, 0);
        GR_VertexBuilder_Flush();
        return frame.Read();
    }
    // The four quadrant colours of the tile at cell column c of row 0.
    std::vector<uint32_t> Quadrants(const std::vector<uint32_t>& image, int c) const
    {
        std::vector<uint32_t> out;
        for (int y : {0, 2})
            for (int x : {0, 2}) out.push_back(image[static_cast<size_t>(y * 64 + c * 4 + x)]);
        return out;
    }
};
}  // namespace

TEST_F(TilemapDrawTest, CellsShowTheirTileMirroredFlippedAndTurnedClockwise)
{
    Map(7, 1, {1, 1 | TILE_MIRROR, 1 | TILE_FLIP, 1 | TILE_ROTATE, 1 | TILE_MIRROR | TILE_ROTATE, 2, 0});
    frame.Read();
    const std::vector<uint32_t> image = Draw();
    const struct {
        int column;
        std::vector<uint32_t> quadrants;  // top-left, top-right, bottom-left, bottom-right
    } cases[] = {
        {0, {kRed, kGreen, kBlue, kWhite}},
        {1, {kGreen, kRed, kWhite, kBlue}},
        {2, {kBlue, kWhite, kRed, kGreen}},
        {3, {kBlue, kRed, kWhite, kGreen}},  // a quarter turn clockwise
        {4, {kWhite, kGreen, kBlue, kRed}},  // mirrored, then turned
        {5, {kYellow, kYellow, kYellow, kYellow}},
    };
    for (const auto& c : cases) EXPECT_EQ(Quadrants(image, c.column), c.quadrants) << "cell " << c.column;
    EXPECT_EQ(Quadrants(image, 6), Quadrants(frame.Read(), 6));  // the empty cell leaves the target alone
}

TEST_F(TilemapDrawTest, AnimationFramesPickTileIdsAndMasksHideBits)
{
    // Two frames per tile: tile 1 shows 1 then 2, tile 2 shows 2 then nothing.
    SetLayout(2, {0, 0, 1, 2, 2, 0});
    Map(3, 1, {1, 2, 1 | TILE_MIRROR});
    map.frame = 1.7f;  // frame 1
    std::vector<uint32_t> before = frame.Read();
    std::vector<uint32_t> image = Draw();
    EXPECT_EQ(Quadrants(image, 0), std::vector<uint32_t>(4, kYellow));
    EXPECT_EQ(Quadrants(image, 1), Quadrants(before, 1));
    map.frame = 2;  // wraps to frame 0
    map.mask = ~TILE_MIRROR;
    image = Draw();
    EXPECT_EQ(Quadrants(image, 1), std::vector<uint32_t>(4, kYellow));
    EXPECT_EQ(Quadrants(image, 2), (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite}));
}

TEST_F(TilemapDrawTest, MapsAreCulledToTheViewAndUnusedReservationsGoBack)
{
    SetLayout(1, {0, 1, 2}, 16, 1);
    Map(1000, 1000, std::vector<uint32_t>(1000 * 1000, 1));
    GR_ViewBounds = {0, 0, 640, 480};
    GR_VertexBuilder_Flush();
    DrawTilemap(&map, nullptr, 0, 0, 0);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().count, 41 * 31 * 6);  // one tile past the right and bottom
    GR_VertexBuilder_Flush();

    // Every other cell shows tile 2, whose only frame entry is 0: nothing, and
    // the reservation made for it is given back.
    SetLayout(1, {0, 1, 0}, 16, 1);
    for (size_t i = 0; i < cells.size(); i += 2) cells[i] = 2;
    GR_ViewBounds = {-100, -100, 16, 16};  // reaches cells 0 and 1 each way
    DrawTilemap(&map, nullptr, 0, 0, 0);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().count, 2 * 6);
    GR_VertexBuilder_Flush();
    GR_ViewBounds = {-100, -100, -40, -40};  // wholly before the map
    DrawTilemap(&map, nullptr, 0, 0, 0);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().kind, -1);
}

TEST_F(TilemapDrawTest, SingleTilesWrapTheirFrameAndIgnoreBadTilesets)
{
    SetLayout(2, {0, 0, 1, 2, 2, 0});
    frame.Read();
    DrawTile(tileset, 1 | TILE_FLIP, 2, 0, 0, 0);    // frame 2 wraps to 0: tile 1 flipped
    DrawTile(tileset, 1, -1, 4, 0, 0);               // frame -1 wraps to 1: tile 2
    DrawTile(tileset, 2, 1, 8, 0, 0);                // tile id 0: nothing
    DrawTile(tileset + 1, 1, 0, 12, 0, 0);           // no such tileset
    DrawTile(tileset, 5, 0, 12, 0, 0);               // past the tile count
    GR_VertexBuilder_Flush();
    const std::vector<uint32_t> image = frame.Read();
    EXPECT_EQ(Quadrants(image, 0), (std::vector<uint32_t>{kBlue, kWhite, kRed, kGreen}));
    EXPECT_EQ(Quadrants(image, 1), std::vector<uint32_t>(4, kYellow));
    EXPECT_NE(Quadrants(image, 2)[0], kYellow);
    EXPECT_NE(Quadrants(image, 3)[0], kYellow);

    // A tile block that would divide by zero draws nothing.
    SetLayout(1, {0, 1, 2}, 4, 0);
    DrawTile(tileset, 1, 0, 0, 0, 0);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().kind, -1);
}

TEST_F(TilemapDrawTest, UVSetsFollowTheTextureOrThePageEntry)
{
    TestBackground_SetTileLayout(tileset, {4, 4, 1, 2, 3, 1, 3}, {0, 1, 2});
    TilesetUVInfo uv;
    ASSERT_TRUE(Tileset_GetUVInfo(tileset, &uv));
    const STexture* t = GR_Texture_Preload(texture);
    EXPECT_TRUE(uv.fast);
    EXPECT_FLOAT_EQ(uv.uTile, 4 * t->texelWidth);
    EXPECT_FLOAT_EQ(uv.uOffset, 1 * t->texelWidth);
    EXPECT_FLOAT_EQ(uv.vOffset, 2 * t->texelHeight);
    EXPECT_FLOAT_EQ(uv.uStride, 6 * t->texelWidth);
    EXPECT_FLOAT_EQ(uv.vStride, 8 * t->texelHeight);

    // An entry at (2, 1) of the page, kept at half size.
    STexturePageEntry entry{2, 1, 6, 2, 0, 0, 12, 4, 12, 4, static_cast<int16_t>(texture)};
    TestBackground_SetTexture(tileset, &entry, texture);
    ASSERT_TRUE(Tileset_GetUVInfo(tileset, &uv));
    EXPECT_TRUE(uv.fast);
    EXPECT_FLOAT_EQ(uv.xRatio, 0.5f);
    EXPECT_FLOAT_EQ(uv.uTile, 2 * t->texelWidth);
    EXPECT_FLOAT_EQ(uv.uOffset, 2.5f * t->texelWidth);
    EXPECT_FLOAT_EQ(uv.vOffset, 2 * t->texelHeight);

    entry.xOffset = 1;  // trimmed: not fast
    ASSERT_TRUE(Tileset_GetUVInfo(tileset, &uv));
    EXPECT_FALSE(uv.fast);
    entry.texture = 900;  // no live texture
    EXPECT_FALSE(Tileset_GetUVInfo(tileset, &uv));
    EXPECT_FALSE(Tileset_GetUVInfo(tileset + 1, &uv));
}

namespace {
struct GeneralDraw {
    float x, y;
};
std::vector<GeneralDraw> g_General;
}  // namespace

TEST_F(TilemapDrawTest, TrimmedTilesetsDrawEveryCellThroughTheGeneralDraw)
{
    STexturePageEntry entry{0, 0, 12, 4, 1, 0, 11, 4, 12, 4, static_cast<int16_t>(texture)};
    TestBackground_SetTexture(tileset, &entry, texture);
    g_General.clear();
    Background_ObserveDrawsForTest([](char kind, int32_t, float x, float y) {
        if (kind == 'g') g_General.push_back({x, y});
    });
    GR_ViewBounds = {0, 0, 2, 2};  // no culling on this path
    Map(3, 2, {0, 1 | TILE_MIRROR, 2, 1 | TILE_ROTATE, 0, 1 | TILE_ROTATE | TILE_FLIP | TILE_MIRROR});
    DrawTilemap(&map, nullptr, 100, 200, 0);
    ASSERT_EQ(g_General.size(), 4u);
    const float expected[4][2] = {{108, 200}, {108, 200}, {104, 204}, {108, 208}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(g_General[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(g_General[i].y, expected[i][1]) << i;
    }
}
