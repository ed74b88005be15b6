// The background table: the "BGND" reader (records written with the
// game-data writer, broken ones refused) and the run-time backgrounds made
// from files, colours and gradients, copied, duplicated and deleted.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "Background/Background_Main.h"
#include "Base/Console.h"
#include "GameData/GameData.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "IO/LoadSave.h"
#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {
uint32_t U32At(const std::vector<uint8_t>& b, size_t at)
{
    return GameData_U32(b.data() + at);
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    std::memcpy(b.data() + at, &v, 4);
}

size_t PayloadOf(const std::vector<uint8_t>& b, const char* tag)
{
    for (size_t at = 8; at + 8 <= b.size(); at += 8 + U32At(b, at + 4))
        if (std::memcmp(b.data() + at, tag, 4) == 0) return at + 8;
    return 0;
}

gamedata::BackgroundEntry Tiles(const char* name)
{
    gamedata::BackgroundEntry b;
    b.name = name;
    b.transparent = 1;
    b.smooth = 0;
    b.preload = 1;
    b.entry = 0;
    gamedata::Tileset t;
    t.tileWidth = 8;
    t.tileHeight = 4;
    t.borderX = 2;
    t.borderY = 1;
    t.columns = 2;
    t.framesPerTile = 2;
    t.frameTime = 100000;
    t.tileIds = {0, 0, 1, 3, 2, 2};
    b.tileset = t;
    return b;
}

// A game of the given backgrounds ahead of one 16 x 8 page entry on a page
// whose left half is red and right half green.
std::vector<uint8_t> GameOf(const std::vector<std::optional<gamedata::BackgroundEntry>>& backgrounds,
                            uint32_t major = 2)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.major = major;
    w.Gen8(h);
    w.Bgnd(backgrounds);
    gamedata::TexturePageEntry e;
    e.width = e.cropWidth = e.fullWidth = 16;
    e.height = e.cropHeight = e.fullHeight = 8;
    w.Tpag({e});
    ImageFixtures::Bytes rgba;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t px[4] = {uint8_t(x < 8 ? 255 : 0), uint8_t(x < 8 ? 0 : 255), 0, 255};
            rgba.insert(rgba.end(), px, px + 4);
        }
    gamedata::Texture t;
    t.image = ImageFixtures::EncodeRgbaPng(16, 8, rgba);
    w.Txtr({t});
    w.Strg();
    return w.Finish();
}

struct BackgroundChunkTest : ::testing::Test {
    void TearDown() override { testgames::Unload(); }
};
}  // namespace

TEST_F(BackgroundChunkTest, ReadsRecordsWithTheirTilesetsAndEntries)
{
    gamedata::BackgroundEntry plain;
    plain.name = "bg_plain";
    plain.tileset = gamedata::Tileset{};
    plain.tileset->version = 1;  // a block below version 2 is not read
    plain.tileset->tileIds = {7};
    const std::vector<uint8_t> game = GameOf({Tiles("ts_ground"), std::nullopt, plain});
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();

    ASSERT_EQ(Background_Count(), 3);
    EXPECT_FALSE(Background_Exists(1));
    EXPECT_FALSE(Background_Exists(3));
    EXPECT_FALSE(Background_Exists(-1));
    EXPECT_STREQ(Background_Name(1), "<undefined>");
    EXPECT_STREQ(Background_Name(2), "bg_plain");
    EXPECT_EQ(Background_Find("ts_ground"), 0);
    EXPECT_EQ(Background_Find("TS_ground"), -1);
    const BackgroundResource* b = Background_Get(0);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->GetWidth(), 16);  // the entry's original size
    EXPECT_EQ(b->GetHeight(), 8);
    EXPECT_TRUE(b->GetTransparent());
    EXPECT_FALSE(b->GetSmooth());
    EXPECT_TRUE(b->GetPreload());
    EXPECT_EQ(b->tileWidth, 8);
    EXPECT_EQ(b->tileHeight, 4);
    EXPECT_EQ(b->borderX, 2);
    EXPECT_EQ(b->borderY, 1);
    EXPECT_EQ(b->tileColumns, 2);
    EXPECT_EQ(b->tileCount, 3);
    EXPECT_EQ(b->GetTileId(3), 3u);
    EXPECT_EQ(b->GetTileId(6), 0u);
    // Game code sees a data-file image as a page-entry handle.
    EXPECT_EQ(b->GetEntry(), TPAG_FindEntry(U32At(game, PayloadOf(game, "TPAG") + 4)));
    EXPECT_EQ(TPE_FromHandle(b->GetTexture()), b->GetEntry());
    EXPECT_EQ(b->GetOwnTexture(), -1);
    EXPECT_FALSE(b->OwnsEntry());

    uint64_t frameTime = 0;
    int32_t frames = 0, tw = 0, th = 0, tiles = 0;
    ASSERT_TRUE(Background_GetTileAnimation(0, &frameTime, &frames));
    EXPECT_EQ(frameTime, 100000u);
    EXPECT_EQ(frames, 2);
    ASSERT_TRUE(Background_GetTileset(0, &tw, &th, &tiles));
    EXPECT_EQ(std::vector<int32_t>({tw, th, tiles}), std::vector<int32_t>({8, 4, 3}));
    EXPECT_FALSE(Background_GetTileset(1, &tw, &th, &tiles));

    // No entry: nothing to draw and no size; the low-version block is skipped.
    const BackgroundResource* bare = Background_Get(2);
    EXPECT_EQ(bare->GetWidth(), 0);
    EXPECT_EQ(bare->GetEntry(), nullptr);
    EXPECT_EQ(bare->GetTexture(), -1);
    EXPECT_EQ(bare->tileCount, 0);
    EXPECT_FALSE(Background_GetTileset(2, &tw, &th, &tiles));
}

TEST_F(BackgroundChunkTest, OlderGamesHaveShortRecordsWithoutTilesets)
{
    gamedata::BackgroundEntry old;
    old.name = "bg_old";
    old.entry = 0;
    ASSERT_TRUE(testgames::LoadBoth(GameOf({old, old}, 1))) << GameData_LastError();
    ASSERT_EQ(Background_Count(), 2);
    EXPECT_EQ(Background_Get(1)->GetWidth(), 16);
    EXPECT_EQ(Background_Get(1)->tileCount, 0);
    // Without a tileset block a background is one tile of its own size.
    int32_t tw = 0, th = 0, tiles = 0;
    ASSERT_TRUE(Background_GetTileset(1, &tw, &th, &tiles));
    EXPECT_EQ(std::vector<int32_t>({tw, th, tiles}), std::vector<int32_t>({16, 8, 1}));
}

TEST_F(BackgroundChunkTest, RecordsThatDoNotFitTheChunkAreRefusedWithAMessage)
{
    const auto record = [](std::vector<uint8_t>& b) { return U32At(b, PayloadOf(b, "BGND") + 4); };
    struct Case {
        const char* what;
        std::function<void(gamedata::BackgroundEntry&)> edit;
        std::function<void(std::vector<uint8_t>&)> garble;
        const char* message;
    } cases[] = {
        {"record offset outside the chunk", nullptr,
         [](auto& b) { PutU32(b, PayloadOf(b, "BGND") + 4, static_cast<uint32_t>(b.size() - 8)); },
         "chunk BGND: background 0 at offset"},
        {"page entry outside the data", nullptr,
         [&](auto& b) { PutU32(b, record(b) + 16, static_cast<uint32_t>(b.size() - 4)); }, "page entry offset"},
        {"newer record without its version word", [](auto& e) { e.tileset.reset(); }, nullptr,
         "chunk BGND: background 0 at offset"},
        {"tile count past the chunk", nullptr, [&](auto& b) { PutU32(b, record(b) + 48, 0x10000000u); },
         "268435456 tiles of 2 frames do not fit the chunk"},
        {"negative tile count", nullptr, [&](auto& b) { PutU32(b, record(b) + 48, 0xFFFFFFFFu); },
         "-1 tiles of 2 frames"},
        {"negative frames per tile", nullptr, [&](auto& b) { PutU32(b, record(b) + 44, 0xFFFFFFFEu); },
         "3 tiles of -2 frames"},
        {"tiles without a tile width", [](auto& e) { e.tileset->tileWidth = 0; }, nullptr,
         "tiles of 0 x 4 in 2 columns"},
        {"tiles without columns", [](auto& e) { e.tileset->columns = 0; }, nullptr, "tiles of 8 x 4 in 0 columns"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gamedata::BackgroundEntry e = Tiles("ts");
        if (c.edit) c.edit(e);
        std::vector<uint8_t> game = GameOf({e});
        if (c.garble) c.garble(game);
        EXPECT_FALSE(testgames::LoadBoth(game));
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos) << GameData_LastError();
        EXPECT_EQ(Background_Count(), 0);
        testgames::Unload();
    }
}

namespace {
// Image files in a save area of their own; the log recorded.
struct BackgroundFileTest : ::testing::Test {
    TempFolder root;
    std::string save;
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        save = root / "save/";
        std::filesystem::create_directories(save);
        Runner_SetSavePrefix(save.c_str());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        Background_DeleteAll();
        Runner_SetSavePrefix("");
    }
    void WriteFile(const std::string& name, const ImageFixtures::Bytes& bytes)
    {
        std::ofstream(save + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    // A width x height PNG: blue, with a red first pixel and a clear last one.
    void WritePng(const std::string& name, int width, int height)
    {
        ImageFixtures::Bytes rgba;
        for (int i = 0; i < width * height; ++i) {
            const bool red = i == 0, clear = i == width * height - 1;
            const uint8_t px[4] = {uint8_t(red ? 255 : 0), 0, uint8_t(red ? 0 : 255), uint8_t(clear ? 0 : 255)};
            rgba.insert(rgba.end(), px, px + 4);
        }
        WriteFile(name, ImageFixtures::EncodeRgbaPng(width, height, rgba));
    }
};
}  // namespace

TEST_F(BackgroundFileTest, AddDecodesByContentAndKeepsTheIndexOfAnUndecodableFile)
{
    WritePng("named_like.jpg", 5, 3);
    EXPECT_EQ(Background_Add("missing.png", false, false, true), -1);
    EXPECT_EQ(Background_Add(nullptr, false, false, true), -1);
    EXPECT_EQ(Background_Count(), 0);

    const int32_t index = Background_Add("named_like.jpg", false, false, true);
    ASSERT_EQ(index, 0);
    EXPECT_STREQ(Background_Name(index), "__newbackground0");
    EXPECT_EQ(Background_Find("__newbackground0"), 0);
    const BackgroundResource* b = Background_Get(index);
    EXPECT_EQ(b->GetWidth(), 5);
    EXPECT_EQ(b->GetHeight(), 3);
    ASSERT_TRUE(b->GetBitmap());
    // Not removing the back keeps the file's alpha.
    EXPECT_EQ(b->GetBitmap()->GetPixels()[0], 0xFFFF0000u);
    EXPECT_EQ(b->GetBitmap()->GetPixels()[14] >> 24, 0u);
    // A run-time background draws through an entry of its own over its own texture.
    ASSERT_TRUE(b->OwnsEntry());
    EXPECT_EQ(b->GetEntry()->cropWidth, 5);
    EXPECT_EQ(b->GetEntry()->fullHeight, 3);
    EXPECT_EQ(b->GetEntry()->texture, b->GetOwnTexture());
    EXPECT_EQ(TPE_FromHandle(b->GetTexture()), b->GetEntry());

    WriteFile("junk.png", {'n', 'o', 'p', 'e'});
    const int32_t junk = Background_Add("junk.png", false, false, true);
    EXPECT_EQ(junk, 1);
    EXPECT_TRUE(Background_Exists(junk));
    EXPECT_EQ(Background_Get(junk)->GetWidth(), 0);
    EXPECT_NE(log.text.find("Failed to decode background data in " + save + "junk.png\n"), std::string::npos)
        << log.text;
}

TEST_F(BackgroundFileTest, RemovingTheBackKeysOutTheCornerColour)
{
    WritePng("keyed.png", 4, 2);  // the bottom-left pixel is blue: every blue pixel goes
    const int32_t index = Background_Add("keyed.png", true, false, true);
    ASSERT_GE(index, 0);
    const CBitmap32* bitmap = Background_Get(index)->GetBitmap();
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(Background_Get(index)->GetTransparent());
    EXPECT_EQ(bitmap->GetPixels()[0], 0xFFFF0000u);
    EXPECT_EQ(bitmap->GetPixels()[1] >> 24, 0u);
}

TEST_F(BackgroundFileTest, ImagesBeyondTheTextureLimitBecomeRed)
{
    WritePng("wide.png", 3000, 100);
    const int32_t index = Background_Add("wide.png", false, false, true);
    ASSERT_GE(index, 0);
    const BackgroundResource* b = Background_Get(index);
    EXPECT_EQ(b->GetWidth(), 2048);
    EXPECT_EQ(b->GetHeight(), 100);
    ASSERT_TRUE(b->GetBitmap());
    EXPECT_EQ(b->GetBitmap()->GetWidth(), 2048);
    EXPECT_EQ(b->GetBitmap()->GetPixels()[2047 + 99 * 2048], 0xFFFF0000u);
    const std::string line = "Error creating background: image width or height exceeds maximum texture size of 2048\n";
    EXPECT_EQ(log.text, line);
}

TEST_F(BackgroundFileTest, ReplaceAssignDeleteAndIndicesThatStay)
{
    WritePng("a.png", 4, 4);
    WritePng("b.png", 6, 2);
    const int32_t a = Background_Add("a.png", false, false, true);
    const int32_t empty = Background_AddEmpty();
    EXPECT_STREQ(Background_Name(empty), "__newbackground1");
    EXPECT_EQ(Background_Get(empty)->GetTexture(), -1);

    EXPECT_FALSE(Background_Replace(9, "b.png", false, false, true));
    EXPECT_FALSE(Background_Replace(a, "missing.png", false, false, true));
    EXPECT_FALSE(Background_Replace(a, nullptr, false, false, true));
    ASSERT_TRUE(Background_Replace(a, "b.png", false, false, true));
    EXPECT_EQ(Background_Get(a)->GetWidth(), 6);

    EXPECT_FALSE(Background_Assign(empty, 7));
    EXPECT_FALSE(Background_Assign(5, a));
    ASSERT_TRUE(Background_Assign(empty, a));
    const BackgroundResource* copy = Background_Get(empty);
    EXPECT_EQ(copy->GetWidth(), 6);
    ASSERT_TRUE(copy->GetBitmap());
    EXPECT_NE(copy->GetBitmap(), Background_Get(a)->GetBitmap());
    EXPECT_NE(copy->GetEntry(), Background_Get(a)->GetEntry());

    // Deleting empties the index; the others keep theirs, new ones go to the end.
    ASSERT_TRUE(Background_Delete(a));
    EXPECT_FALSE(Background_Delete(a));
    EXPECT_FALSE(Background_Exists(a));
    EXPECT_STREQ(Background_Name(a), "<undefined>");
    EXPECT_EQ(Background_Find("__newbackground0"), -1);
    EXPECT_TRUE(Background_Exists(empty));
    EXPECT_EQ(Background_AddEmpty(), 2);
    EXPECT_EQ(Background_Duplicate(a), -1);
    // Assigning into an emptied index inside the table brings it back.
    ASSERT_TRUE(Background_Assign(a, empty));
    EXPECT_EQ(Background_Get(a)->GetWidth(), 6);
}

TEST(BackgroundColours, ColourAndGradientImages)
{
    const int32_t flat = Background_AddEmpty();
    Background_Get(flat)->CreateColour(0, 3, 0x0000FF, true);
    const BackgroundResource* b = Background_Get(flat);
    EXPECT_EQ(b->GetWidth(), 0);  // the record keeps the size given; the bitmap is at least 1
    ASSERT_TRUE(b->GetBitmap());
    EXPECT_EQ(b->GetBitmap()->GetWidth(), 1);
    EXPECT_EQ(b->GetBitmap()->GetPixels()[0], 0xFFFF0000u);
    EXPECT_FALSE(b->GetTransparent());
    EXPECT_TRUE(b->GetPreload());

    const int32_t ramp = Background_AddEmpty();
    Background_Get(ramp)->CreateGradient(4, 1, 0x000000, 0xFFFFFF, 0, false);
    const uint32_t* p = Background_Get(ramp)->GetBitmap()->GetPixels();
    EXPECT_EQ(p[0], 0xFF000000u);
    EXPECT_EQ(p[2], 0xFF808080u);
    Background_DeleteAll();
    EXPECT_EQ(Background_Count(), 0);
}

// Copies of data-file backgrounds are read back from their page and drawn at the source's size.
TEST_F(BackgroundChunkTest, DuplicateOfADataFileBackgroundReadsItsPageBack)
{
    GpuTestFrame frame{32, 16};
    ASSERT_TRUE(frame.ok);
    const std::vector<uint8_t> game = GameOf({Tiles("ts")});  // textures decode from it when first used
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    Background_InitTextures();
    const int32_t copy = Background_Duplicate(0);
    ASSERT_EQ(copy, 1);
    const BackgroundResource* b = Background_Get(copy);
    ASSERT_TRUE(b->GetBitmap());
    EXPECT_TRUE(b->OwnsEntry());
    EXPECT_GE(b->GetOwnTexture(), 0);
    EXPECT_EQ(b->GetWidth(), 16);
    EXPECT_EQ(b->GetEntry()->fullWidth, 16);
    EXPECT_EQ(b->GetBitmap()->GetPixels()[0], 0xFFFF0000u);
    EXPECT_EQ(b->GetBitmap()->GetPixels()[15 + 7 * 16], 0xFF00FF00u);
    // The tileset block is not copied; the source keeps its shared entry.
    EXPECT_EQ(b->tileCount, 0);
    EXPECT_FALSE(Background_Get(0)->OwnsEntry());
    EXPECT_EQ(Background_Get(0)->GetBitmap(), nullptr);
}
