// Run-time fonts through FreeType: the font file of a Debian font package
// (fonts-dejavu-core) copied into a bundle folder; the tests skip when the
// package is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Function/Function_GraphicsShapes.h"
#include "Function/Function_GraphicsText.h"
#include "GameData/GameHeader.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_Display.h"
#include "IO/LoadSave.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"
#include "support/TempFolder.h"

namespace {

const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::vector<uint32_t> Code(const std::string& text)
{
    return std::vector<uint32_t>(text.begin(), text.end());
}

class RunTimeFont : public ::testing::Test {
protected:
    TempFolder bundle;
    testgames::CapturedLog log;

    void SetUp() override
    {
        if (!std::filesystem::exists(kFontFile)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
        ASSERT_FALSE(bundle.Path().empty());
        std::filesystem::copy_file(kFontFile, bundle / "mono.ttf");
        std::ofstream(bundle / "broken.ttf") << "this is no font file";
        InitProgramDirectory((bundle / "game.win").c_str());
        Font_Reset();
    }
    void TearDown() override
    {
        Font_Shutdown();
        InitProgramDirectory(nullptr);
    }
    // The 1-based list of cell positions from the most recently assigned.
    static std::vector<std::pair<int, int>> Chain(GlyphCache* cache)
    {
        std::vector<std::pair<int, int>> out;
        for (GlyphCacheCell* c = cache->head; c; c = c->next) out.push_back({c->x, c->y});
        return out;
    }
};

TEST_F(RunTimeFont, EveryMappedCharacterIsMeasuredAtCreation)
{
    const int32_t index = Font_Add("mono.ttf", 12, false, true, -5, 1000);
    CFontQS* font = Font_Get(index);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(Font_Name(index), "__newfont0");
    EXPECT_EQ(font->GetFirst(), 0);
    EXPECT_EQ(font->GetLast(), 255);
    EXPECT_TRUE(font->GetItalic());
    EXPECT_GT(font->GetGlyphCount(), 1000) << "the whole map, whatever first and last say";
    const FontGlyph* beyondLatin1 = font->FindGlyph(0x100);
    ASSERT_NE(beyondLatin1, nullptr);
    EXPECT_EQ(beyondLatin1->character, 0x100u);

    GlyphCache* cache = font->GetCache();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->cellHeight, font->GetHeight());
    EXPECT_GE(cache->cellWidth, font->GetCharAdvance('M'));
    EXPECT_EQ(cache->cellCount, (1020 / (cache->cellHeight + 2)) * (1020 / (cache->cellWidth + 2)));
    const std::vector<uint32_t> mm = Code("MM");
    EXPECT_EQ(font->GetTextWidth(mm.data(), 2), 2 * font->GetCharAdvance('M')) << "a monospaced face";

    const int misses = cache->misses;
    const FontGlyph* space = font->FindGlyph(' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->x, 0);
    EXPECT_EQ(cache->misses, misses) << "the space never takes a cell";
}

TEST_F(RunTimeFont, CellsAreTakenOverInAssignmentOrder)
{
    CFontQS* font = Font_Get(Font_Add("mono.ttf", 150, false, false, 32, 127));
    ASSERT_NE(font, nullptr);
    GlyphCache* cache = font->GetCache();
    ASSERT_NE(cache, nullptr);
    const int cells = cache->cellCount;
    ASSERT_GT(cells, 2);
    ASSERT_LT(cells, 60);
    DrawnFrameCount = 1;
    const FontGlyph* a = font->FindGlyph('!');
    const std::pair<int, int> firstCell{a->x, a->y};
    const FontGlyph* b = font->FindGlyph('"');
    const std::pair<int, int> secondCell{b->x, b->y};
    for (int i = 2; i < cells; ++i) font->FindGlyph(static_cast<uint32_t>('!' + i));
    EXPECT_EQ(cache->misses, cells);
    EXPECT_EQ(a->x, firstCell.first) << "every glyph still has its cell";

    const FontGlyph* extra = font->FindGlyph(static_cast<uint32_t>('!' + cells));
    EXPECT_EQ(a->x, -1);
    EXPECT_EQ(a->y, -1);
    EXPECT_EQ((std::pair<int, int>{extra->x, extra->y}), firstCell);
    EXPECT_EQ(Chain(cache).front(), firstCell) << "the reused cell heads the chain";

    // Looked up again, the evicted glyph is rendered into the next oldest cell.
    font->FindGlyph('!');
    EXPECT_EQ(b->x, -1);
    EXPECT_EQ((std::pair<int, int>{a->x, a->y}), secondCell);
    EXPECT_EQ(cache->misses, cells + 2);
}

TEST_F(RunTimeFont, WarmLookupsCostNoMisses)
{
    CFontQS* font = Font_Get(Font_Add("mono.ttf", 12, false, false, 32, 127));
    ASSERT_NE(font, nullptr);
    GlyphCache* cache = font->GetCache();
    const std::vector<uint32_t> text = Code("The quick brown fox jumps over the lazy dog 0123456789");
    int afterFirstFrame = 0;
    for (int frame = 1; frame <= 3; ++frame) {
        DrawnFrameCount = frame;
        for (uint32_t c : text) font->FindGlyph(c);
        if (frame == 1) afterFirstFrame = cache->misses;
    }
    EXPECT_EQ(cache->misses, afterFirstFrame);
}

TEST_F(RunTimeFont, ASizeBeyondTheTextureStillHasOneCell)
{
    CFontQS* font = Font_Get(Font_Add("mono.ttf", 1500, false, false, 32, 127));
    ASSERT_NE(font, nullptr);
    GlyphCache* cache = font->GetCache();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->cellCount, 1);
    const FontGlyph* w = font->FindGlyph('W');
    ASSERT_NE(w, nullptr);
    EXPECT_LE(w->width, cache->cellWidth);
    EXPECT_LE(w->height, cache->cellHeight);
    font->FindGlyph('g');
    EXPECT_EQ(w->x, -1);
}

TEST_F(RunTimeFont, UnusableFilesGiveAnEmptyFontAndOneLogLine)
{
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"nofont.ttf", "FreeType :: unable to find font file nofont.ttf"},
        {"broken.ttf", "Unable to open font file broken.ttf"},
    };
    for (const auto& c : cases) {
        const int32_t index = Font_Add(c.file, 12, false, false, 32, 127);
        ASSERT_TRUE(Font_Exists(index)) << c.file;
        CFontQS* font = Font_Get(index);
        EXPECT_EQ(font->GetGlyphCount(), 0);
        EXPECT_EQ(font->GetCache(), nullptr);
        const std::vector<uint32_t> text = Code("abc");
        EXPECT_EQ(font->GetTextWidth(text.data(), 3), 0);
        EXPECT_NE(log.Text().find(c.message), std::string::npos) << log.Text();
    }
}

class RunTimeFontDrawing : public RunTimeFont {
protected:
    GpuTestFrame frame{256, 64};

    void SetUp() override
    {
        RunTimeFont::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(frame.ok);
        LayerMode = true;  // '#' is a character, not a line break
        CodeFunction_FreeAll();
        InitGraphicShapeFunctions();
        InitGraphicTextFunctions();
        GR_D3D_SetView(0, 0, 256, 64, 0);
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        RunTimeFont::TearDown();
    }
    static void Call(const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        ASSERT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Undefined();
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), index, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
    }
    static ScriptValue R(double d) { return ScriptValue_Real(d); }
    static ScriptValue S(const std::string& text)
    {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_InitString(&v, text.c_str());
        return v;
    }
    std::vector<uint32_t> Region(int x0, int y0, int x1, int y1) const
    {
        const std::vector<uint32_t> all = frame.Read();
        std::vector<uint32_t> out;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) out.push_back(all[static_cast<size_t>(y) * 256 + x]);
        return out;
    }
};

TEST_F(RunTimeFontDrawing, GlyphsReusedWithinAFrameAreDrawnBeforeTheirCellIsOverwritten)
{
    const int32_t index = Font_Add("mono.ttf", 150, false, false, 32, 127);
    CFontQS* font = Font_Get(index);
    ASSERT_NE(font, nullptr);
    const int cells = font->GetCache()->cellCount;
    Call("draw_set_font", {R(index)});
    Call("draw_set_colour", {R(0xFFFFFF)});
    DrawnFrameCount = 5;
    // One glyph alone, scaled down to fit the frame.
    Call("draw_clear", {R(0)});
    Call("draw_text_transformed", {R(0), R(0), S("#"), R(0.1), R(0.1), R(0)});
    const int advance = font->GetCharAdvance('#') / 10;
    const std::vector<uint32_t> alone = Region(0, 0, advance, 40);
    int lit = 0;
    for (uint32_t p : alone) lit += (p & 0xFFFFFFu) != 0;
    EXPECT_GT(lit, 10) << "the glyph is drawn";

    // The same glyph first in a line of more distinct glyphs than there are cells.
    DrawnFrameCount = 6;
    const FontGlyph* hash = font->FindGlyph('#');
    std::string line;
    for (int i = 0; i <= cells; ++i) line += static_cast<char>('#' + i);
    Call("draw_clear", {R(0)});
    Call("draw_text_transformed", {R(0), R(0), S(line), R(0.1), R(0.1), R(0)});
    EXPECT_EQ(Region(0, 0, advance, 40), alone);
    EXPECT_EQ(hash->x, -1) << "its cell went to the last glyph";
}

TEST_F(RunTimeFontDrawing, RightAlignedTextEndsAtTheAnchor)
{
    const int32_t index = Font_Add("mono.ttf", 20, false, false, 32, 127);
    Call("draw_set_font", {R(index)});
    Call("draw_set_colour", {R(0xFFFFFF)});
    Call("draw_set_halign", {R(2)});
    Call("draw_clear", {R(0)});
    Call("draw_text", {R(200), R(10), S("HH")});
    const std::vector<uint32_t> all = frame.Read();
    int left = 256, right = -1;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            if (all[static_cast<size_t>(y) * 256 + x] & 0xFFFFFFu) left = std::min(left, x), right = std::max(right, x);
    const int width = Font_Get(index)->GetCharAdvance('H') * 2;
    EXPECT_GE(left, 200 - width);
    EXPECT_LT(right, 200);
    EXPECT_GT(right, 200 - width / 2) << "both glyphs drawn";
    Call("draw_set_halign", {R(0)});
}

}  // namespace
