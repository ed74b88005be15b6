// The font built-ins as game code calls them: queries of live, missing and
// deleted fonts, the existence checks of the sprite forms, and a sprite font
// made with font_add_sprite drawn and read back from the software device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Font/Font_Main.h"
#include "Font/Graphics_Text.h"
#include "Function/Function_Font.h"
#include "Function/ResourceFunctionFixture.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "support/GpuTestFrame.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

struct FontFunctions : ResourceFunctions {
    void SetUp() override
    {
        SetUpWith({InitFontFunctions});
        Font_Reset();
        Text_Reset();
    }
    void TearDown() override
    {
        Text_Reset();
        Font_Reset();
        Sprite_Init();
        ResourceFunctions::TearDown();
    }
    // A sprite of three 4 x 4 frames: frame 0 lit in column 0, frame 1 in all
    // four columns, frame 2 in column 3.
    static int32_t GlyphSprite()
    {
        std::vector<uint32_t> strip(12 * 4, 0);
        for (int y = 0; y < 4; ++y) {
            strip[size_t(y) * 12 + 0] = kWhite;
            for (int x = 4; x < 8; ++x) strip[size_t(y) * 12 + x] = kWhite;
            strip[size_t(y) * 12 + 11] = kWhite;
        }
        const int32_t index = Sprite_AddEmpty();
        EXPECT_TRUE(Sprite_Get(index)->LoadFromPixels(strip.data(), 12, 4, 3, false, false, false, 0, 0, true));
        return index;
    }
};

TEST_F(FontFunctions, QueriesOfLiveMissingAndDeletedFonts)
{
    const double added = Num("font_add", {S("missing.ttf"), R(14), R(1), R(0), R(32), R(90)});
    ASSERT_EQ(added, 0) << "a file that cannot be used still gives a font";
    const double gone = Num("font_add", {S("other.ttf"), R(10), R(0), R(1), R(40), R(50)});
    EXPECT_EQ(Num("font_delete", {R(gone)}), 1);
    EXPECT_EQ(Num("font_delete", {R(gone)}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing font.");

    const struct {
        const char* name;
        double live, missing;
    } cases[] = {
        {"font_exists", 1, 0},  {"font_get_size", 14, 0},  {"font_get_bold", 1, 0},
        {"font_get_italic", 0, 0}, {"font_get_first", 32, -1}, {"font_get_last", 90, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Num(c.name, {R(added)}), c.live);
        EXPECT_EQ(Num(c.name, {R(gone)}), c.missing);
        EXPECT_EQ(Num(c.name, {R(-1)}), c.missing);
    }
    EXPECT_EQ(Str("font_get_name", {R(added)}), "__newfont0");
    EXPECT_EQ(Str("font_name", {R(gone)}), "<undefined>");
    EXPECT_EQ(Str("font_get_fontname", {R(added)}), "missing.ttf");
    EXPECT_EQ(Str("font_get_fontname", {R(gone)}), "");
    EXPECT_EQ(Num("font_set_cache_size", {R(added), R(5)}), 0);

    EXPECT_EQ(Num("font_replace", {R(gone), S("x.ttf"), R(9), R(0), R(0), R(32), R(127)}), 0);
    EXPECT_EQ(TakeError(), "Trying to replace non-existing font.");
    EXPECT_EQ(Num("font_replace", {R(added), S("x.ttf"), R(9), R(0), R(0), R(32), R(127)}), 1);
    EXPECT_EQ(Num("font_get_size", {R(added)}), 9);
    EXPECT_EQ(Str("font_get_name", {R(added)}), "__newfont0") << "the index keeps its name";

    EXPECT_TRUE(NoResult("font_add", {S("x.ttf"), R(9)}));
    EXPECT_EQ(TakeError(), "font_add: 2 arguments given, 6 needed");
    Num("font_get_size", {Array({})});
    EXPECT_NE(TakeError().find("font_get_size argument 1 incorrect type"), std::string::npos);
}

TEST_F(FontFunctions, SpriteFormsNeedTheSprite)
{
    const int32_t sprite = GlyphSprite();
    const int32_t font = static_cast<int32_t>(Num("font_add_sprite", {R(sprite), R('A'), R(1), R(1)}));
    ASSERT_GE(font, 0);
    const struct {
        const char* name;
        std::vector<ScriptValue> args;
        double result;
        const char* error;
    } cases[] = {
        {"font_add_sprite", {R(sprite + 1), R(65), R(1), R(0)}, -1, "Trying to create font from non-existing sprite."},
        {"font_add_sprite_ext", {R(-1), S("abc"), R(1), R(0)}, -1, "Trying to create font from non-existing sprite."},
        {"font_replace_sprite", {R(font), R(sprite + 1), R(65), R(1), R(0)}, 0,
         "Trying to replace font from non-existing sprite."},
        // A missing font is reported, then the table answers for the index.
        {"font_replace_sprite", {R(font + 5), R(sprite), R(65), R(1), R(0)}, 0, "Trying to replace non-existing font."},
        {"font_replace_sprite_ext", {R(font), R(sprite), S("xyz"), R(0), R(2)}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Num(c.name, c.args), c.result);
        EXPECT_EQ(TakeError(), c.error);
    }
    EXPECT_EQ(Num("font_exists", {R(font + 1)}), 0) << "the refused calls added no font";
    const int32_t ext = static_cast<int32_t>(Num("font_add_sprite_ext", {R(sprite), S("xyz"), R(1), R(0)}));
    EXPECT_EQ(ext, font + 1);
    EXPECT_EQ(Str("font_get_name", {R(ext)}), "__newfont1");
}

TEST_F(FontFunctions, SpriteFontDrawsItsFramesForItsCharacters)
{
    GpuTestFrame frame{32, 8};
    ASSERT_TRUE(frame.ok);
    GR_D3D_SetView(0, 0, 32, 8, 0);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    const int32_t sprite = GlyphSprite();
    // Proportional with separation 1: 'A' is one column wide, 'B' four, 'C' one.
    const int32_t font = static_cast<int32_t>(Num("font_add_sprite", {R(sprite), R('A'), R(1), R(1)}));
    ASSERT_GE(font, 0);
    Text_SetFont(font);
    GR_Draw_SetColour(0xFFFFFF);
    Text_Draw(0, 0, "ACB", -1, -1);
    GR_VertexBuilder_Flush();
    const std::vector<uint32_t> pixels = frame.Read();
    std::string row;
    for (int x = 0; x < 12; ++x) row += (pixels[size_t(2) * 32 + x] & 0xFFFFFFu) ? '#' : '.';
    EXPECT_EQ(row, "#.#.####....");
    EXPECT_EQ(pixels[size_t(3) * 32 + 4] & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(pixels[size_t(4) * 32 + 4] & 0xFFFFFFu, 0u) << "the glyphs are four rows high";
}

}  // namespace
