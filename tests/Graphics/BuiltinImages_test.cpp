// The program's built-in images: the table's layout, the PNG entry decoding
// through the PNG reader, shapes and glyphs where they should be.
#include "Graphics/BuiltinImages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Graphics/ReadPNG.h"
#include "Graphics/TexturesM.h"

namespace {

struct Entry {
    const uint8_t* data;
    uint32_t size;
};

Entry EntryOf(const uint8_t* table, int index)
{
    int32_t size, offset;
    std::memcpy(&size, table + 4 + 8 * index, 4);
    std::memcpy(&offset, table + 8 + 8 * index, 4);
    return {table + offset, static_cast<uint32_t>(size)};
}

// Alpha of a texel of a 32-bit "RAW " entry.
uint8_t RawAlpha(const Entry& e, int x, int y)
{
    uint32_t width;
    std::memcpy(&width, e.data + 4, 4);
    return e.data[16 + (static_cast<size_t>(y) * width + x) * 4 + 3];
}

int g_SourceCalls = 0;
const uint8_t* CountedSource(uint32_t* size)
{
    ++g_SourceCalls;
    return BuiltinImages_Table(size);
}

TEST(BuiltinImagesTest, TableHoldsSeventeenImagesTheTextureLayerAccepts)
{
    // Start-up only names the source; the table is made at the first use.
    GR_D3D_SetBuiltinTextureSource(CountedSource);
    EXPECT_FALSE(GR_D3D_IsBuiltinTextureData(BuiltinImages_Table(nullptr)));
    EXPECT_EQ(g_SourceCalls, 0);
    ASSERT_EQ(GR_D3D_BuiltinTextureCount(), BUILTIN_IMAGE_COUNT);
    EXPECT_EQ(g_SourceCalls, 1);
    const uint8_t* table = BuiltinImages_Table(nullptr);
    for (int i = 0; i < BUILTIN_IMAGE_COUNT; ++i) {
        D3DTexture* texture = GR_D3D_CreateBuiltinTexture(i);
        ASSERT_NE(texture, nullptr) << i;
        EXPECT_EQ(texture->width, i == BUILTIN_IMAGE_FONT ? 256 : 64) << i;
        EXPECT_EQ(texture->height, i == BUILTIN_IMAGE_FONT ? 128 : 64) << i;
        EXPECT_TRUE(GR_D3D_IsBuiltinTextureData(texture->source));
        GR_D3D_FreeTexture(texture);
    }
    EXPECT_EQ(g_SourceCalls, 1);
    EXPECT_EQ(BuiltinImages_Table(nullptr), table);  // made once
}

TEST(BuiltinImagesTest, EmblemIsAPngTheReaderDecodes)
{
    const Entry png = EntryOf(BuiltinImages_Table(nullptr), 16);
    int width = 0, height = 0;
    const uint8_t* pixels = ReadPNG_GetPixels(png.data, static_cast<int>(png.size), &width, &height, false);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 64);
    const uint8_t* centre = pixels + (32 * 64 + 32) * 4;
    EXPECT_EQ(centre[3], 255);
    EXPECT_EQ(centre[0], 255);  // the white stroke crosses the middle
    EXPECT_EQ(pixels[3], 0);    // outside the disc
    ReadPNG_Free();
}

TEST(BuiltinImagesTest, ShapesAndGlyphsCoverWhereTheyShould)
{
    const uint8_t* table = BuiltinImages_Table(nullptr);
    const Entry disk = EntryOf(table, 2), ring = EntryOf(table, 7), square = EntryOf(table, 3);
    EXPECT_EQ(RawAlpha(disk, 32, 32), 255);
    EXPECT_EQ(RawAlpha(disk, 0, 0), 0);
    EXPECT_LT(RawAlpha(ring, 32, 32), 8);   // the ring is empty in the middle
    EXPECT_GT(RawAlpha(ring, 32, 10), 200);
    EXPECT_EQ(RawAlpha(square, 10, 54), 255);
    // "A": the top of its bar at glyph row 0 (columns 1-3) and both legs at the bottom.
    const auto& a = BuiltinFontGlyphs['A' - BUILTIN_FONT_FIRST];
    EXPECT_EQ(a[2], 12);
    EXPECT_EQ(a[3], 16);
    const Entry font = EntryOf(table, BUILTIN_IMAGE_FONT);
    EXPECT_EQ(RawAlpha(font, a[0] + 1 + 4, a[1] + 1), 255);
    EXPECT_EQ(RawAlpha(font, a[0] + 1, a[1] + 1), 0);
    EXPECT_EQ(RawAlpha(font, a[0] + 1, a[1] + 13), 255);
    EXPECT_EQ(RawAlpha(font, a[0] + 9, a[1] + 13), 255);
    // A space is empty.
    const auto& space = BuiltinFontGlyphs[0];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(RawAlpha(font, space[0] + x, space[1] + y), 0);
}

}  // namespace
