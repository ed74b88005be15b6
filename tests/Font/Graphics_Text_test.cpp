// Text layout: line splitting (breaks, legacy '#', wrapping), the measures,
// and text drawn with a game font read back from the software device.
#include "Font/Graphics_Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Font/FontGame.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_GraphicsShapes.h"
#include "Function/Function_GraphicsText.h"
#include "Function/Function_Interaction.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/Run_Score.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"
#include "support/LoadedGame.h"

namespace {

std::string Narrow(const uint32_t* text, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i) out += text[i] < 128 ? static_cast<char>(text[i]) : '?';
    return out;
}

std::vector<std::string> Split(const char* text, int width)
{
    TextLines lines;
    Text_SplitLines(text, width, &lines);
    std::vector<std::string> out;
    for (int i = 0; i < lines.Count(); ++i) out.push_back(Narrow(lines.At(i), lines.Length(i)));
    return out;
}

using Lines = std::vector<std::string>;

struct TextLayout : LoadedGameTest {
    void SetUp() override
    {
        GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
        ASSERT_TRUE(Load(fontgame::Make({fontgame::MonoFont("mono")})));
        Text_SetFont(0);
        ASSERT_EQ(Text_GetFont(), 0);
    }
};

TEST_F(TextLayout, BreaksWithoutWrapping)
{
    const struct {
        const char* text;
        Lines lines;
    } cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\n", {"a"}},
        {"\na", {"", "a"}},
        {"", {}},
        {"a#b", {"a#b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.text, -1), c.lines) << c.text;
}

TEST_F(TextLayout, LegacyGamesBreakAtHash)
{
    LayerMode = false;
    EXPECT_EQ(Split("a#b", -1), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\\#b", -1), (Lines{"a#b"}));
    EXPECT_EQ(Split("a#b", 100), (Lines{"a", "b"})) << "the hash becomes CR, which also ends a wrapped line";
}

TEST_F(TextLayout, WrapsAtSpacesAndCutsLongWords)
{
    // Every character advances 10.
    const struct {
        const char* text;
        int width;
        Lines lines;
    } cases[] = {
        {"aaa bbb", 35, {"aaa", "bbb"}},
        {"aaa bbb", 30, {"aaa", "bbb"}},       // exactly the width keeps the last character
        {"aaaaaa", 35, {"aaa", "aaa"}},        // a word wider than the width is cut
        {"aa  bbbb", 55, {"aa", " bbbb"}},     // the second line keeps one of the two spaces
        {"a\nb", 100, {"a\nb"}},               // LF does not break a wrapped line
        {"ab\rcd", 100, {"ab", "cd"}},
        {"abc", 5, {}},                        // not one character fits
        {"ab", 0, {}},
        {"\xF0\x9F\x98\x80 a", 100, {"? a"}},  // a four-byte character is one code point
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.text, c.width), c.lines) << c.text << " / " << c.width;
}

TEST_F(TextLayout, MeasuresTheWidestLineAndTheBlockHeight)
{
    const struct {
        const char* text;
        int separation, width;
        int w, h;
    } cases[] = {
        {"", -1, -1, 0, 0},
        {"aaa\na", -1, -1, 30, 16},
        {"a\nb", 20, -1, 10, 28},
        {"aaa bbb", -1, 35, 30, 16},
        {"abc", -1, 5, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text_GetWidth(c.text, c.separation, c.width), c.w) << c.text;
        EXPECT_EQ(Text_GetHeight(c.text, c.separation, c.width), c.h) << c.text;
    }
}

TEST_F(TextLayout, MissingFontsSelectTheDebugFont)
{
    Text_SetFont(7);
    EXPECT_EQ(Text_GetFont(), -1);
    CFontQS* font = Text_CurrentFont();
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->GetName(), "debug");
    const int a = BuiltinFontGlyphs['A' - BUILTIN_FONT_FIRST][2];
    EXPECT_EQ(Text_GetWidth("AA", -1, -1), 2 * a);
    Text_SetHAlign(5);
    EXPECT_EQ(Text_GetHAlign(), 0);
    Text_SetVAlign(2);
    EXPECT_EQ(Text_GetVAlign(), 2);
}

TEST(FormatValue, TextOfEveryKindAndLongStrings)
{
    auto text = [](ScriptValue v) {
        char* out = nullptr;
        FormatValueToString(&v, 1024, &out);
        std::string s = out ? out : "<null>";
        Code_FreeMemory(out);
        ScriptValue_SetUndefined(&v);
        return s;
    };
    EXPECT_EQ(text(ScriptValue_Real(12)), "12");
    EXPECT_EQ(text(ScriptValue_Real(0.5)), "0.50");
    EXPECT_EQ(text(ScriptValue_Undefined()), "undefined");
    const std::string longText(3000, 'x');
    ScriptValue s = ScriptValue_Undefined();
    ScriptValue_InitString(&s, longText.c_str());
    EXPECT_EQ(text(s), longText);
}

// Text drawn with the block font on a 64 × 40 frame, white on black.
class TextDrawing : public LoadedGameTest, public BuiltinCalls {
protected:
    GpuTestFrame frame{64, 40};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
        ASSERT_TRUE(Load(fontgame::Make({fontgame::BlockFont("blocks", true)})));
        CodeFunction_FreeAll();
        InitGraphicShapeFunctions();
        InitGraphicTextFunctions();
        InitHighScoreFunctions();
        ShowErrorDialogs = false;
        ChildGame = true;
        GR_D3D_SetView(0, 0, 64, 40, 0);
        Call("draw_clear", {R(0)});
        Call("draw_set_font", {R(0)});
        Call("draw_set_colour", {R(0xFFFFFF)});
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ForgetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
        LoadedGameTest::TearDown();
    }
    // Columns lit on one row, as a string of '#' and '.'.
    std::string Row(int y, int from, int to) const
    {
        const std::vector<uint32_t> pixels = frame.Read();
        std::string out;
        for (int x = from; x < to; ++x) out += (pixels[static_cast<size_t>(y) * 64 + x] & 0xFFFFFFu) ? '#' : '.';
        return out;
    }
};

TEST_F(TextDrawing, GlyphsSitAtThePenPlusTheirOffset)
{
    Call("draw_text", {R(10), R(4), S("AB")});
    // A: 4 wide at 10; B: 2 wide at 10 + 5 + 1.
    EXPECT_EQ(Row(5, 8, 20), "..####..##..");
    EXPECT_EQ(Row(11, 8, 20), "..####..##..");
    EXPECT_EQ(Row(12, 8, 20), "............") << "8 rows high";
    EXPECT_EQ(Row(3, 8, 20), "............");
}

TEST_F(TextDrawing, HorizontalAndVerticalAlignment)
{
    Call("draw_set_halign", {R(1)});
    Call("draw_text", {R(20), R(0), S("AB")});  // width 8: starts at 16
    EXPECT_EQ(Row(2, 14, 26), "..####..##..");
    Call("draw_clear", {R(0)});
    Call("draw_set_halign", {R(2)});
    Call("draw_text", {R(20), R(0), S("AB")});  // starts at 12
    EXPECT_EQ(Row(2, 10, 22), "..####..##..");

    Call("draw_clear", {R(0)});
    Call("draw_set_halign", {R(0)});
    Call("draw_set_valign", {R(2)});
    Call("draw_text_ext", {R(0), R(30), S("A\nA"), R(10), R(-1)});  // two lines of 10 end at 30
    const std::vector<uint32_t> pixels = frame.Read();
    std::string column;
    for (int y = 8; y < 32; ++y) column += (pixels[static_cast<size_t>(y) * 64 + 1] & 0xFFFFFFu) ? '#' : '.';
    EXPECT_EQ(column, "..########..########....");
}

TEST_F(TextDrawing, WrappedTextDrawsLineByLine)
{
    Call("draw_text_ext", {R(0), R(0), S("AB AB"), R(-1), R(10)});
    EXPECT_EQ(Row(4, 0, 10), "####..##..");
    EXPECT_EQ(Row(12, 0, 10), "####..##..");
    EXPECT_EQ(Row(17, 0, 10), "..........");
}

TEST_F(TextDrawing, ScaledAndRotatedText)
{
    Call("draw_text_transformed", {R(20), R(10), S("A"), R(2), R(2), R(0)});
    EXPECT_EQ(Row(12, 18, 30), "..########..");
    EXPECT_EQ(Row(25, 18, 30), "..########..") << "16 rows high";
    Call("draw_clear", {R(0)});
    // Turned a quarter counter-clockwise: the glyph's width runs up the screen.
    Call("draw_text_transformed", {R(20), R(30), S("A"), R(1), R(1), R(90)});
    EXPECT_EQ(Row(28, 18, 30), "..########..");
    EXPECT_EQ(Row(24, 18, 30), "............");
    EXPECT_EQ(Row(31, 18, 30), "............");
}

TEST_F(TextDrawing, EachLineGetsTheWholeGradient)
{
    Call("draw_text_colour", {R(0), R(0), S("AA\nAA"), R(0x0000FF), R(0xFF0000), R(0xFF0000), R(0x0000FF), R(1)});
    const std::vector<uint32_t> pixels = frame.Read();
    for (int y : {4, 12}) {
        const uint32_t left = pixels[static_cast<size_t>(y) * 64], right = pixels[static_cast<size_t>(y) * 64 + 8];
        EXPECT_GT(left & 0xFF, 0xC0u) << "red at the left of line at " << y;
        EXPECT_LT((left >> 16) & 0xFF, 0x40u);
        EXPECT_GT((right >> 16) & 0xFF, 0xC0u) << "blue at the right of line at " << y;
        EXPECT_LT(right & 0xFF, 0x40u);
    }
}

TEST_F(TextDrawing, QuadCornersCarryTheirIdsAndTheClampedAlpha)
{
    Call("shader_enable_corner_id", {R(1)});
    GR_VertexBuilder_Flush();
    Call("draw_text_transformed", {R(0), R(0), S("A"), R(1), R(1), R(0)});
    const OpenVertexBatch batch = GR_VertexBuilder_GetOpenBatch();
    ASSERT_EQ(batch.count, 6);
    ASSERT_EQ(batch.vertexSize, 24);
    auto colour = [&](int i) {
        uint32_t c;
        std::memcpy(&c, batch.vertices + 24 * i + 8, 4);
        return c;
    };
    // TL, TR, BR, BR, BL, TL: ids 0, red bit, blue bit, both.
    EXPECT_EQ(colour(0), 0xFFFEFFFEu);
    EXPECT_EQ(colour(1), 0xFFFEFFFFu);
    EXPECT_EQ(colour(2), 0xFFFFFFFEu);
    EXPECT_EQ(colour(4), 0xFFFFFFFFu);
    Call("shader_enable_corner_id", {R(0)});
    GR_VertexBuilder_Flush();
    Call("draw_text_colour", {R(0), R(0), S("A"), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(1.5)});
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().vertices[8 + 3], 255) << "alpha 1.5 gives 255";
    GR_VertexBuilder_Flush();
    Call("draw_text_colour", {R(0), R(0), S("A"), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(-0.2)});
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().vertices[8 + 3], 0) << "alpha -0.2 gives 0";
}

TEST_F(TextDrawing, MeasuresTakeStringsOnly)
{
    EXPECT_EQ(Call("string_width", {S("AB")}).real, 8);
    EXPECT_EQ(Call("string_width", {S("")}).real, 0);
    EXPECT_EQ(Call("string_height", {S("A\nB")}).real, 16);
    EXPECT_EQ(Call("string_height_ext", {S("A\nB"), R(20), R(-1)}).real, 28);
    ForgetErrors();
    Call("string_width", {R(12)});
    ASSERT_NE(ErrorLast_Get(), nullptr);
    EXPECT_NE(std::string(ErrorLast_Get()).find("expecting a String"), std::string::npos);
}

TEST_F(TextDrawing, HighScoreRowsStepDownWithValuesEndingAtTheRight)
{
    Score_SetEmptyName("");
    Score_Init();
    Score_Add("AB", 5);
    Score_Add("B", 3);
    // Rows 10 apart; digits have no glyph here and draw as the 3-wide box, advancing 4.
    Call("draw_highscore", {R(0), R(0), R(40), R(100)});
    EXPECT_EQ(Row(4, 0, 10), "####..##..");
    EXPECT_EQ(Row(4, 34, 40), "..###.") << "the value ends at x2";
    EXPECT_EQ(Row(8, 0, 40), std::string(40, '.')) << "glyphs are 8 high, rows 10 apart";
    EXPECT_EQ(Row(14, 0, 10), ".##.......");
    EXPECT_EQ(Row(14, 34, 40), "..###.");
    EXPECT_EQ(Row(24, 0, 10), "..........") << "an empty name draws nothing";
    EXPECT_EQ(Row(24, 34, 40), "..###.");
    Score_SetEmptyName("<nobody>");
    Score_Init();
}

}  // namespace

TEST_F(TextDrawing, PlainAndTransformedTextOpenATimingMarkerTheColourVariantsDoNot)
{
    Timing_Reset();
    Call("draw_text", {R(0), R(0), S("A")});
    Call("draw_text_colour", {R(0), R(0), S("A"), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(1)});
    Call("draw_text_transformed", {R(0), R(0), S("A"), R(1), R(1), R(0)});
    Call("draw_text_transformed_colour",
         {R(0), R(0), S("A"), R(1), R(1), R(0), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(0xFFFFFF), R(1)});
    ASSERT_EQ(Timing_MarkerCount(), 3);
    for (int i : {1, 2}) {
        const TimingMarker& m = Timing_Markers()[i];
        EXPECT_STREQ(m.name, "Text");
        EXPECT_EQ(m.colour, 0x00FFFF00u);
        EXPECT_GE(m.end, m.start);
    }
    // Both closed: the next pop closes the frame's own marker.
    const uint64_t textEnd = Timing_Markers()[2].end;
    Timing_Pop();
    EXPECT_GE(Timing_Markers()[0].end, textEnd);
    EXPECT_EQ(Timing_Markers()[2].end, textEnd);
}
