#include <gtest/gtest.h>

#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "GameData/Language.h"
#include "Graphics/TexturePages.h"
#include "support/GameFiles.h"
#include "Runner/GameHeader_Load.h"

namespace {
using testgames::CapturedLog;

struct GameChunksTest : ::testing::Test {
    void TearDown() override { testgames::Unload(); }
};

TEST_F(GameChunksTest, ChunkPassHandsEveryChunkOverInFileOrderWithItsLogLines)
{
    const std::vector<uint8_t> bytes = testgames::SmallGame();
    ASSERT_TRUE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size())));
    CapturedLog log;
    ASSERT_TRUE(LoadGameChunks(bytes.data(), static_cast<uint32_t>(bytes.size()))) << GameData_LastError();
    const std::string text = log.Text();
    const char* expected[] = {"initialise everything!\n", "Process Chunk: GEN8   ", "Process Chunk: OPTN   ",
                              "Process Chunk: LANG   ",   "Process Chunk: TPAG   ", "Process Chunk: TXTR   ",
                              "Process Chunk: GLOB   ",   "Process Chunk: SPRT   4\n",
                              "Process Chunk: SHDR   4\n",
                              "Process Chunk: STRG   "};
    size_t at = 0;
    for (const char* line : expected) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " in\n" << text;
        at = found;
    }
    EXPECT_EQ(GameTables.globCount, 1u);
    EXPECT_EQ(GameData_U32(GameTables.globList), 0u);
    EXPECT_EQ(GameGeneral.gameSpeed, 30.0);
    EXPECT_EQ(Languages.current, 0);
    EXPECT_STREQ(Languages.languages[0].texts[0], "Hello");
}

TEST_F(GameChunksTest, UnknownChunkIsLoggedAndFailsThePassButTheWalkGoesOn)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Add("ABCD").U32(1);
    w.Glob({4, 5});
    const std::vector<uint8_t> bytes = w.Finish();
    CapturedLog log;
    ASSERT_TRUE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_FALSE(LoadGameChunks(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_NE(log.Text().find("unknown Chunk ABCD:1145258561\n"), std::string::npos) << log.Text();
    EXPECT_EQ(GameTables.globCount, 2u);
}

TEST_F(GameChunksTest, TexturesReplacePageIndicesInTheEntryCopiesOnly)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::TexturePageEntry a, b, bad;
    a.x = 5;
    a.xOffset = -3;
    a.texture = 1;
    b.texture = 0;
    bad.texture = 7;
    w.Tpag({a, b, bad});
    gamedata::Texture t0, t1;
    t0.image = {1, 2, 3};
    t1.flags = 1;
    w.Txtr({t0, t1});
    const std::vector<uint8_t> bytes = w.Finish();
    const std::vector<uint8_t> before = bytes;
    CapturedLog log;
    ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
    EXPECT_EQ(log.Text().find("what!!!!\n") != std::string::npos, true);
    ASSERT_EQ(TPAG_EntryCount(), 3u);
    ASSERT_EQ(TXTR_TextureCount(), 2u);
    const STexturePageEntry* ea = TPAG_FindEntry(w.TpagEntryOffset(0));
    const STexturePageEntry* eb = TPAG_FindEntry(w.TpagEntryOffset(1));
    const STexturePageEntry* ebad = TPAG_FindEntry(w.TpagEntryOffset(2));
    ASSERT_TRUE(ea && eb && ebad);
    EXPECT_EQ(ea->x, 5);
    EXPECT_EQ(ea->xOffset, -3);
    EXPECT_EQ(ea->texture, TXTR_TextureId(1));
    EXPECT_EQ(eb->texture, TXTR_TextureId(0));
    EXPECT_EQ(ebad->texture, 7);  // a bad page index keeps its raw value
    EXPECT_EQ(TPAG_FindEntry(w.TpagEntryOffset(0) + 1), nullptr);
    EXPECT_EQ(bytes, before);
}

TEST_F(GameChunksTest, OptionsOfAnotherLayoutVersionKeepDefaultsAndTheLoadGoesOn)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::Options o;
    o.layoutVersion = 3;
    o.flags = 1u << 2;
    o.constants = {{"Lives", "3"}};
    w.Optn(o);
    const std::vector<uint8_t> bytes = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
    EXPECT_FALSE(GameOptions.newAudioEngine);
    EXPECT_TRUE(GameOptions.showCursor);
    EXPECT_EQ(GameOptions.constantCount, 0u);
}

TEST_F(GameChunksTest, LanguagesWithoutEntriesLeaveEmptyTables)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::Languages l;
    l.languages = {{"English", "GB", {}}};
    w.Lang(l);
    ASSERT_TRUE(testgames::LoadBoth(w.Finish())) << GameData_LastError();
    EXPECT_EQ(Languages.current, -1);
    EXPECT_EQ(Languages.languageCount, 0u);
    EXPECT_EQ(Languages.entryCount, 0u);
}
}  // namespace
