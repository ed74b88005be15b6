// The game texture table: slots, logical and texel sizes, coverage textures,
// render-target kinds, and the texture pages of the game data.
#include "Graphics/Graphics_Texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Graphics/TexturesM.h"
#include "Graphics/Graphics_DisplayM.h"
#include "GameData/GameData.h"
#include "Options/Runner_Options.h"
#include "Graphics/TexturePages.h"
#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"

namespace {

class TextureTableTest : public ::testing::Test {
protected:
    void TearDown() override { testgames::Unload(); }
};

TEST_F(TextureTableTest, FreedIndicesAreHandedOutAgain)
{
    const uint32_t pixel = 0xFFFFFFFFu;
    const int a = GR_Texture_Create(1, 1, &pixel, 4);
    const int b = GR_Texture_Create(1, 1, &pixel, 4);
    const int c = GR_Texture_Create(1, 1, &pixel, 4);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{0, 1, 2}));
    GR_Texture_Free(b);
    EXPECT_FALSE(GR_Texture_Exists(b));
    EXPECT_EQ(GR_Texture_GetD3D(b), nullptr);
    EXPECT_EQ(GR_Texture_Create(1, 1, &pixel, 4), b);
    EXPECT_EQ(GR_Texture_Count(), 3);
    // Bad indices are tolerated everywhere.
    for (const int bad : {-1, 3, 1000}) {
        EXPECT_FALSE(GR_Texture_Exists(bad));
        EXPECT_EQ(GR_Texture_GetD3D(bad), nullptr);
        EXPECT_EQ(GR_Texture_GetWidth(bad), 1.0f);
        GR_Texture_Free(bad);
    }
    EXPECT_EQ(GR_Texture_Preload(-1), nullptr);
}

TEST_F(TextureTableTest, SizesGiveTheUsedPartOfTheDeviceTexture)
{
    std::vector<uint32_t> pixels(100 * 60, 0xFF00FF00u);
    const int index = GR_Texture_Create(100, 60, pixels.data(), 100 * 60 * 4);
    EXPECT_FLOAT_EQ(GR_Texture_GetWidth(index), 0.78125f);
    EXPECT_FLOAT_EQ(GR_Texture_GetHeight(index), 60.0f / 64.0f);
    EXPECT_EQ(GR_Texture_GetD3D(index)->width, 128);
    // Unknown image data: a slot in use without a texture.
    const uint8_t junk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const int none = GR_Texture_CreateFromImage(junk, sizeof junk, false);
    EXPECT_TRUE(GR_Texture_Exists(none));
    EXPECT_EQ(GR_Texture_GetD3D(none), nullptr);
    EXPECT_EQ(GR_Texture_Preload(none)->texelWidth, 1.0f);
}

TEST_F(TextureTableTest, CoverageBecomesWhiteWithAlpha)
{
    const uint8_t coverage[3] = {0x80, 0x00, 0xFF};
    const int index = GR_Texture_CreateAlpha8(3, 1, coverage);
    D3DTexture* texture = GR_Texture_GetD3D(index);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->pixels[0], 0x80FFFFFFu);
    EXPECT_EQ(texture->pixels[1], 0x00FFFFFFu);
    EXPECT_EQ(texture->pixels[2], 0xFFFFFFFFu);
    EXPECT_EQ(GR_Texture_CreateAlpha8(0, 1, coverage), -1);
}

TEST_F(TextureTableTest, RenderTargetsOfEachKind)
{
    const struct { bool target, depth; int kind, format, width; } cases[] = {
        {true, false, 0, TEXTURE_FORMAT_RGBA8, 100},
        {true, true, 1, TEXTURE_FORMAT_TARGET_R16F, 100},
        {true, false, 2, TEXTURE_FORMAT_TARGET_R32F, 100},
        {false, false, 7, TEXTURE_FORMAT_RGBA8, 128},  // not a target: a texture with a CPU copy
    };
    for (const auto& c : cases) {
        const int index = GR_Texture_CreateRenderTarget(100, 60, c.target, c.depth, c.kind);
        D3DTexture* texture = GR_Texture_GetD3D(index);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->format, c.format) << c.kind;
        EXPECT_EQ(texture->width, c.width) << c.kind;
        EXPECT_EQ(texture->pixels != nullptr, !c.target) << c.kind;
    }
}

TEST_F(TextureTableTest, TargetInUseKeepsItsSlot)
{
    ShowErrorDialogs = false;
    const int target = GR_Texture_CreateRenderTarget(8, 8, true, false, 0);
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, GR_Texture_GetD3D(target));
    GR_Texture_Free(target);
    // Still alive and still its own: no other texture may take the index.
    EXPECT_TRUE(GR_Texture_Exists(target));
    const uint32_t pixel = 0;
    EXPECT_NE(GR_Texture_Create(1, 1, &pixel, 4), target);
    GR_D3D_SetRenderTarget(0, nullptr);
    GR_D3D_PopRenderTargets();
    GR_Texture_Free(target);
    EXPECT_FALSE(GR_Texture_Exists(target));
}

TEST_F(TextureTableTest, ColourWithAlpha)
{
    const struct { float alpha; uint32_t expected; } cases[] = {
        {1.5f, 0xFF0000FFu}, {-0.2f, 0x000000FFu}, {0.5f, 0x7F0000FFu}, {1.0f, 0xFF0000FFu}, {1e30f, 0xFF0000FFu},
        {-1e30f, 0x000000FFu}, {__builtin_nanf(""), 0x000000FFu},
    };
    for (const auto& c : cases) EXPECT_EQ(GR_ColourAlpha(0xAA0000FFu, c.alpha), c.expected) << c.alpha;
}

TEST_F(TextureTableTest, TexturePagesOfTheGameDataBecomeTextures)
{
    // A 2 × 1 RAW page and a page without an image.
    std::vector<uint8_t> raw(16 + 8);
    const uint32_t header[4] = {0x20574152u, 2, 1, 0};  // "RAW "
    std::memcpy(raw.data(), header, 16);
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::TexturePageEntry entry;
    entry.texture = 0;
    w.Tpag({entry});
    gamedata::Texture page, empty;
    page.image = raw;
    w.Txtr({page, empty});
    const std::vector<uint8_t> bytes = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(bytes));
    ASSERT_EQ(TXTR_TextureCount(), 2u);
    D3DTexture* texture = GR_Texture_GetD3D(TXTR_TextureId(0));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 2);
    EXPECT_EQ(texture->height, 1);
    EXPECT_EQ(GR_Texture_GetWidth(TXTR_TextureId(0)), 1.0f);
    EXPECT_TRUE(GR_Texture_Exists(TXTR_TextureId(1)));
    EXPECT_EQ(GR_Texture_GetD3D(TXTR_TextureId(1)), nullptr);
    EXPECT_EQ(TPAG_FindEntry(w.TpagEntryOffset(0))->texture, TXTR_TextureId(0));
    // The pages go with the game data they read from.
    const int id = TXTR_TextureId(0);
    testgames::Unload();
    EXPECT_FALSE(GR_Texture_Exists(id));
}

}  // namespace

namespace {

// An "EMBI" chunk of (name, entry offset) records; the offsets are patched
// into the finished file, where the TPAG entries' places are known.
struct EmbeddedGame {
    std::vector<uint8_t> bytes;
    uint32_t entryOffset = 0;
};

EmbeddedGame MakeEmbeddedGame(uint32_t version, const std::vector<std::string>& names)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::Chunk& embi = w.Add("EMBI");
    embi.U32(version).U32(static_cast<uint32_t>(names.size()));
    for (const std::string& name : names) embi.String(name).U32(0xEEEEEEEEu);
    gamedata::TexturePageEntry entry;
    entry.width = 7;
    w.Tpag({entry});
    EmbeddedGame game{w.Finish(), w.TpagEntryOffset(0)};
    const uint8_t marker[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    for (size_t at = 0; at + 4 <= game.bytes.size(); ++at)
        if (std::memcmp(&game.bytes[at], marker, 4) == 0) std::memcpy(&game.bytes[at], &game.entryOffset, 4);
    return game;
}

TEST_F(TextureTableTest, EmbeddedImagesAreFoundByNameOrPart)
{
    const EmbeddedGame game = MakeEmbeddedGame(1, {"my_pt_shape_spark_big", "pt_shape_spark", "logo"});
    ASSERT_TRUE(testgames::LoadBoth(game.bytes)) << GameData_LastError();
    ASSERT_EQ(GR_Texture_EmbeddedCount(), 3);
    const SEmbeddedImage* part = GR_Texture_FindEmbedded("pt_shape_spark", true);
    ASSERT_NE(part, nullptr);
    EXPECT_STREQ(part->name, "my_pt_shape_spark_big");  // table order decides
    const SEmbeddedImage* exact = GR_Texture_FindEmbedded("pt_shape_spark", false);
    ASSERT_NE(exact, nullptr);
    EXPECT_STREQ(exact->name, "pt_shape_spark");
    EXPECT_EQ(GR_Texture_FindEmbedded("pt_shape", false), nullptr);
    EXPECT_EQ(GR_Texture_FindEmbedded(nullptr, true), nullptr);
    ASSERT_NE(GR_Texture_EmbeddedEntry(exact), nullptr);
    EXPECT_EQ(GR_Texture_EmbeddedEntry(exact)->width, 7);
    testgames::Unload();
    EXPECT_EQ(GR_Texture_EmbeddedCount(), 0);
}

TEST_F(TextureTableTest, EmbeddedChunkOfAnotherVersionIsRefused)
{
    const EmbeddedGame game = MakeEmbeddedGame(2, {"logo"});
    testgames::CapturedLog log;
    EXPECT_FALSE(testgames::LoadBoth(game.bytes));
    EXPECT_EQ(GR_Texture_EmbeddedCount(), 0);
    EXPECT_NE(std::string(GameData_LastError()).find("version 2"), std::string::npos) << GameData_LastError();
}

}  // namespace
