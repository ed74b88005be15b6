// The "FONT" reader and the font table: records, empty indices, names,
// metrics and glyph look-up, and the chunks it refuses.
#include "Font/Font_Main.h"

#include <gtest/gtest.h>

#include "Font/Font_Class.h"
#include "GameData/GameData.h"
#include "Font/FontGame.h"
#include "Graphics/TexturePages.h"
#include "support/LoadedGame.h"

namespace {

using fontgame::BlockFont;

struct FontTable : LoadedGameTest {};

std::vector<uint32_t> U32(const char* text)
{
    std::vector<uint32_t> out;
    for (const char* p = text; *p; ++p) out.push_back(static_cast<unsigned char>(*p));
    return out;
}

int Width(CFontQS* font, const char* text)
{
    const std::vector<uint32_t> t = U32(text);
    return font->GetTextWidth(t.data(), static_cast<int>(t.size()));
}

TEST_F(FontTable, ReadsRecordsAndKeepsEmptyIndicesEmpty)
{
    ASSERT_TRUE(Load(fontgame::Make({BlockFont("fnt_a", true), BlockFont("fnt_b", false), std::nullopt,
                                     BlockFont("fnt_d", false)})))
        << GameData_LastError();
    EXPECT_EQ(Font_Count(), 4);
    EXPECT_FALSE(Font_Exists(2));
    EXPECT_STREQ(Font_Name(2), "<undefined>");
    EXPECT_TRUE(Font_Exists(3));
    EXPECT_STREQ(Font_Name(3), "fnt_d");
    EXPECT_EQ(Font_Find("fnt_b"), 1);
    EXPECT_EQ(Font_Find("FNT_B"), -1) << "names compare case-sensitively";
    EXPECT_FALSE(Font_Exists(4));
    EXPECT_FALSE(Font_Exists(-1));

    CFontQS* font = Font_Get(0);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->GetName(), "Blocks");
    EXPECT_EQ(font->GetSize(), 9);
    EXPECT_TRUE(font->GetBold());
    EXPECT_FALSE(font->GetItalic());
    EXPECT_EQ(font->GetFirst(), 32);
    EXPECT_EQ(font->GetLast(), 0x25AF);
    EXPECT_EQ(font->GetHeight(), 8) << "the tallest glyph";
    ASSERT_NE(font->GetEntry(), nullptr) << "the entry is found once the pages are read";
    EXPECT_EQ(font->GetEntry()->width, 16);
}

TEST_F(FontTable, MeasuresIgnoreScalesAndFallBackToTheBox)
{
    ASSERT_TRUE(Load(fontgame::Make({BlockFont("with_box", true), BlockFont("without", false)})));
    CFontQS* boxed = Font_Get(0);
    CFontQS* plain = Font_Get(1);
    const struct {
        const char* text;
        int boxed, plain;
    } cases[] = {
        {"", 0, 0}, {"A", 5, 5}, {"AB", 8, 8}, {"A B", 12, 12}, {"AZ", 9, 5}, {"ZZ", 8, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Width(boxed, c.text), c.boxed) << c.text;
        EXPECT_EQ(Width(plain, c.text), c.plain) << c.text;
    }
    ASSERT_NE(boxed->FindGlyph('Q'), nullptr);
    EXPECT_EQ(boxed->FindGlyph('Q')->character, 0x25AFu);
    EXPECT_EQ(plain->FindGlyph('Q'), nullptr);
    EXPECT_EQ(boxed->GetCharAdvance('B'), 3);
}

TEST_F(FontTable, RunTimeIndicesFollowTheDataFontsAndAreNeverReused)
{
    ASSERT_TRUE(Load(fontgame::Make({BlockFont("a", false), BlockFont("b", false), BlockFont("c", false)})));
    EXPECT_TRUE(Font_Delete(1));
    EXPECT_FALSE(Font_Delete(1));
    const int32_t added = Font_Add("missing.ttf", 12, false, false, 32, 127);
    EXPECT_EQ(added, 3);
    EXPECT_STREQ(Font_Name(3), "__newfont3");
    EXPECT_FALSE(Font_Exists(1));
    EXPECT_FALSE(Font_Replace(7, "missing.ttf", 12, false, false, 32, 127));
    EXPECT_TRUE(Font_Replace(0, "missing.ttf", 12, false, false, 32, 127));
    EXPECT_STREQ(Font_Name(0), "a") << "a replaced font keeps its name";
}

TEST_F(FontTable, RefusesRecordsThatDoNotLieInTheChunk)
{
    gamedata::FontEntry tooMany = BlockFont("f", false);
    tooMany.glyphCountOverride = 100000;
    EXPECT_FALSE(Load(fontgame::Make({tooMany})));
    EXPECT_NE(std::string(GameData_LastError()).find("FONT"), std::string::npos);

    // A glyph offset far past the chunk.
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::Chunk& c = w.Add("FONT");
    c.U32(1).Offset(8);
    c.U32(0).U32(0).I32(12).U32(0).U32(0).U32(32).I32(127).U32(0).F32(1).F32(1).U32(1).U32(0x7FFFFFF0u);
    c.Zeros(512);
    w.Strg();
    EXPECT_FALSE(Load(w.Finish()));
    EXPECT_EQ(Font_Count(), 0);
}

}  // namespace
