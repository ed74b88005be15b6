// Sprite fonts: glyphs from the frames of a sprite, their metrics as a table
// of maps, the code table of the plain form, and text drawn with them read
// back from the software device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Font/Graphics_Text.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "support/GpuTestFrame.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

std::vector<uint32_t> Codes(const std::u32string& text) { return {text.begin(), text.end()}; }

// Frames of 8 × 8 on a 64 × 24 frame: frame 0 opaque in columns 2-4, frame 1
// in all 8, frame 2 in column 5 only.
class SpriteFont : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 24};
    int32_t sprite = -1;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        Font_Reset();
        Text_Reset();
        std::vector<uint32_t> strip(24 * 8, 0);
        for (int y = 0; y < 8; ++y) {
            for (int x = 2; x <= 4; ++x) strip[size_t(y) * 24 + x] = kWhite;
            for (int x = 8; x < 16; ++x) strip[size_t(y) * 24 + x] = kWhite;
            strip[size_t(y) * 24 + 16 + 5] = kWhite;
        }
        sprite = Sprite_AddEmpty();
        ASSERT_TRUE(Sprite_Get(sprite)->LoadFromPixels(strip.data(), 24, 8, 3, false, false, false, 0, 0, true));
        GR_D3D_SetView(0, 0, 64, 24, 0);
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    }
    void TearDown() override
    {
        Text_Reset();
        Font_Reset();
        Sprite_Init();
    }
    // Columns lit on one row, as '#' and '.'.
    std::string Row(int y, int from, int to)
    {
        GR_VertexBuilder_Flush();
        const std::vector<uint32_t> pixels = frame.Read();
        std::string out;
        for (int x = from; x < to; ++x) out += (pixels[size_t(y) * 64 + x] & 0xFFFFFFu) ? '#' : '.';
        return out;
    }
    uint32_t Pixel(int x, int y)
    {
        GR_VertexBuilder_Flush();
        return frame.Pixel(x, y);
    }
};

TEST_F(SpriteFont, MetricsFollowTheMapFramesAndSeparation)
{
    const struct {
        const char* map;
        int proportional, separation;
        int glyphs;
        std::u32string text;  // measured one character at a time
        std::vector<int> advances;
    } cases[] = {
        // Frame widths 3, 8, 1; the added space takes the widest advance.
        {"abc", 1, 1, 4, U"abc ", {4, 9, 2, 9}},
        {"abc", 0, 2, 4, U"abc ", {10, 10, 10, 10}},
        {"abc", 2, 0, 4, U"abc", {8, 8, 8}},  // only exactly 1 is proportional
        // A space in the map is frame 1's glyph; no space is added.
        {"a bcd", 1, 0, 3, U"a bc", {3, 8, 1, 0}},
        // A space among the dropped characters still counts: no space glyph at all.
        {"abcd ", 1, 0, 3, U"abcd ", {3, 8, 1, 0, 0}},
        // The added space takes a frame's place (frame 2) but the widest advance.
        {"ab", 1, 0, 3, U"ab ", {3, 8, 8}},
        {"", 0, 3, 1, U" ", {11}},
        {"\xC3\xA9\xF0\x9F\x98\x80", 1, 0, 3, U"\u00E9\U0001F600", {3, 8}},
        {"ab", 1, -5, 3, U"ab ", {-2, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.map);
        CFontQS font;
        font.CreateFromSprite(sprite, c.map, c.proportional, c.separation);
        EXPECT_EQ(font.GetSprite(), sprite);
        EXPECT_EQ(font.GetGlyphCount(), c.glyphs);
        EXPECT_EQ(font.GetHeight(), 8);
        int sum = 0;
        for (size_t i = 0; i < c.text.size(); ++i) {
            EXPECT_EQ(font.GetCharAdvance(c.text[i]), c.advances[i]) << "character " << i;
            sum += c.advances[i];
        }
        const std::vector<uint32_t> text = Codes(c.text);
        EXPECT_EQ(font.GetTextWidth(text.data(), static_cast<int>(text.size())), sum);
    }
}

TEST_F(SpriteFont, FirstIsTheSmallestCharacterAndASpriteMustExist)
{
    CFontQS font;
    font.CreateFromSprite(sprite, "xyz", 1, 0);
    EXPECT_EQ(font.GetFirst(), ' ');
    EXPECT_EQ(font.GetLast(), ' ' + 4) << "first plus the glyph count";
    font.CreateFromSprite(sprite + 1, "xyz", 1, 0);
    EXPECT_EQ(font.GetSprite(), -1);
    EXPECT_EQ(font.GetGlyphCount(), 0);
    EXPECT_EQ(font.FindGlyph('x'), nullptr);
    const std::vector<uint32_t> text = Codes(U"xyz");
    EXPECT_EQ(font.GetTextWidth(text.data(), 3), 0);
    font.Draw(0, 0, text.data(), 3, 0xFFFFFF, 1);
    EXPECT_EQ(Row(4, 0, 64), std::string(64, '.'));
    // A font whose sprite was deleted later keeps its metrics and draws nothing.
    font.CreateFromSprite(sprite, "xyz", 0, 0);
    ASSERT_TRUE(Sprite_Delete(sprite));
    EXPECT_EQ(font.GetTextWidth(text.data(), 3), 24);
    font.Draw(0, 0, text.data(), 3, 0xFFFFFF, 1);
    font.DrawColour(0, 0, text.data(), 3, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1);
    EXPECT_EQ(Row(4, 0, 64), std::string(64, '.'));
}

TEST_F(SpriteFont, PlainFormsMapCodesThroughTheTableOrDirectly)
{
    const int32_t many = Sprite_AddEmpty();
    std::vector<uint32_t> pixels(20 * 2, kWhite);
    ASSERT_TRUE(Sprite_Get(many)->LoadFromPixels(pixels.data(), 20, 2, 10, false, false, false, 0, 0, true));
    const int32_t added = Font_AddSprite(many, 120, 0, 0);
    EXPECT_STREQ(Font_Name(added), ("__newfont" + std::to_string(added)).c_str());
    CFontQS* font = Font_Get(added);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetGlyphCount(), 11) << "10 frames and the added space";
    for (uint32_t c = 120; c < 128; ++c) EXPECT_NE(font->FindGlyph(c), nullptr) << c;
    EXPECT_NE(font->FindGlyph('?'), nullptr) << "codes 128 and 129 become '?'";
    EXPECT_EQ(font->FindGlyph(128), nullptr);

    ASSERT_TRUE(Font_ReplaceSprite(added, many, 120, 0, 0));
    font = Font_Get(added);
    EXPECT_NE(font->FindGlyph(128), nullptr);
    EXPECT_NE(font->FindGlyph(129), nullptr);
    EXPECT_EQ(font->FindGlyph('?'), nullptr);
    EXPECT_STREQ(Font_Name(added), ("__newfont" + std::to_string(added)).c_str()) << "the name is kept";

    // Codes past the 256-entry table map to '?' instead of reading past it.
    const int32_t high = Font_AddSprite(many, 250, 0, 0);
    EXPECT_NE(Font_Get(high)->FindGlyph('?'), nullptr);
    EXPECT_EQ(Font_Get(high)->FindGlyph(250), nullptr);

    EXPECT_FALSE(Font_ReplaceSpriteExt(Font_Count(), many, "ab", 0, 0));
    ASSERT_TRUE(Font_ReplaceSpriteExt(high, many, "ab", 0, 0));
    EXPECT_EQ(Font_Get(high)->GetGlyphCount(), 3);
}

TEST_F(SpriteFont, ProportionalAndMonospacedGlyphPositions)
{
    const int32_t proportional = Font_AddSpriteExt(sprite, "ab", 1, 1);
    const int32_t mono = Font_AddSpriteExt(sprite, "ab", 0, 0);
    GR_Draw_SetColour(0xFFFFFF);
    Text_SetFont(proportional);
    // 'a' starts its visible columns at the pen: 10-12; 'b' at 10 + 3 + 1.
    Text_Draw(10, 0, "ab", -1, -1);
    EXPECT_EQ(Row(3, 8, 26), "..###.########....");
    Text_SetFont(mono);
    // Whole frames: 'a' lit at 10 + 2, 'b' at 10 + 8.
    Text_Draw(10, 12, "a b", -1, -1);
    EXPECT_EQ(Row(15, 8, 36), "....###...........########..") << "the added space advances 8";
    EXPECT_EQ(Row(20, 8, 36), std::string(28, '.')) << "8 rows high";
}

TEST_F(SpriteFont, MissingCharactersAreSkippedOrDrawTheBox)
{
    const int32_t plain = Font_AddSpriteExt(sprite, "ab", 0, 0);
    const int32_t boxed = Font_AddSpriteExt(sprite, "ab\xE2\x96\xAF", 0, 0);  // frame 2 is U+25AF
    GR_Draw_SetColour(0xFFFFFF);
    Text_SetFont(plain);
    Text_Draw(0, 0, "azb", -1, -1);
    EXPECT_EQ(Row(3, 0, 20), "..###...########....") << "z neither drawn nor advanced";
    Text_SetFont(boxed);
    Text_Draw(0, 12, "azb", -1, -1);
    EXPECT_EQ(Row(15, 0, 26), "..###........#..########..");
}

TEST_F(SpriteFont, ColourAlphaAndGradients)
{
    const int32_t font = Font_AddSpriteExt(sprite, "ab", 0, 0);  // 'b' is the full frame 1
    Text_SetFont(font);
    GR_Draw_SetColour(0x0000FF);  // red as 0x00BBGGRR
    Text_Draw(0, 0, "b", -1, -1);
    EXPECT_TRUE(Near(Pixel(4, 4), Rgba(255, 0, 0, 255), 3)) << std::hex << Pixel(4, 4);
    GR_Draw_SetColour(0xFFFFFF);
    GR_Draw_SetAlpha(0.5f);
    Text_Draw(10, 0, "b", -1, -1);
    EXPECT_TRUE(Near(Pixel(14, 4) & 0xFFFFFF, Rgba(128, 128, 128, 0), 4)) << std::hex << Pixel(14, 4);
    GR_Draw_SetAlpha(1);
    // Red to blue across the whole line "bb"; each glyph takes its share.
    Text_DrawColour(20, 12, "bb", -1, -1, 0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF, 1);
    const uint32_t left = Pixel(20, 16), middle = Pixel(28, 16), right = Pixel(35, 16);
    EXPECT_GT(left & 0xFF, 0xE0u) << std::hex << left;
    EXPECT_LT((left >> 16) & 0xFF, 0x20u);
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), 128, 12) << std::hex << middle;
    EXPECT_NEAR(static_cast<int>((middle >> 16) & 0xFF), 128, 12);
    EXPECT_GT((right >> 16) & 0xFF, 0xE0u) << std::hex << right;
}

TEST_F(SpriteFont, ScaledAndRotatedLines)
{
    const int32_t font = Font_AddSpriteExt(sprite, "ab", 1, 0);
    GR_Draw_SetColour(0xFFFFFF);
    Text_SetFont(font);
    // Twice as wide: 'a' 6 columns, then 'b' 16 from the pen at 6.
    Text_DrawTransformed(0, 0, "ab", -1, -1, 2, 1, 0);
    EXPECT_EQ(Row(3, 0, 24), "######################..");
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    // A quarter turn counter-clockwise: "a" runs up from the pen at (40, 20).
    Text_DrawTransformedColour(40, 20, "a", -1, -1, 1, 1, 90, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1);
    std::string column;
    const std::vector<uint32_t> pixels = (GR_VertexBuilder_Flush(), frame.Read());
    for (int y = 14; y < 22; ++y) column += (pixels[size_t(y) * 64 + 44] & 0xFFFFFFu) ? '#' : '.';
    EXPECT_EQ(column, "...###..") << "rows 17-19: the visible columns start at the pen";
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    Text_DrawTransformed(40, 20, "a", -1, -1, 1, 1, 90);
    column.clear();
    const std::vector<uint32_t> again = (GR_VertexBuilder_Flush(), frame.Read());
    for (int y = 14; y < 22; ++y) column += (again[size_t(y) * 64 + 44] & 0xFFFFFFu) ? '#' : '.';
    EXPECT_EQ(column, "...###..") << "the plain form turns the same way";
}

}  // namespace
