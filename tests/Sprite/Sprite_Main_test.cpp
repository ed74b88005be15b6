// The sprite table: the "SPRT" reader (records written with the game-data
// writer, broken ones refused), the name map, and the run-time operations.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "Base/MurmurHash3.h"
#include "GameData/GameData.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "IO/LoadSave.h"
#include "Sprite/Sprite_Main.h"
#include "Sprite/Sprite_NameMap.h"
#include "support/FileWorld.h"
#include "support/GameFiles.h"
#include "support/ImageFixtures.h"

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

gamedata::SpriteEntry Entry(const char* name, int32_t width, int32_t height)
{
    gamedata::SpriteEntry s;
    s.name = name;
    s.width = width;
    s.height = height;
    return s;
}

// A game of the given sprites ahead of three 16 x 16 page entries.
std::vector<uint8_t> GameOf(const std::vector<std::optional<gamedata::SpriteEntry>>& sprites, uint32_t major = 2)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.major = major;
    w.Gen8(h);
    w.Sprt(sprites, major);
    gamedata::TexturePageEntry e;
    e.width = e.height = e.cropWidth = e.cropHeight = e.fullWidth = e.fullHeight = 16;
    std::vector<gamedata::TexturePageEntry> entries(3, e);
    entries[2].xOffset = 3;
    w.Tpag(entries);
    w.Strg();
    return w.Finish();
}

struct SpriteChunkTest : ::testing::Test {
    void TearDown() override
    {
        Sprite_Init();
        testgames::Unload();
    }
};
}  // namespace

TEST_F(SpriteChunkTest, ReadsPlainAndExtendedRecordsWithTheirFramesAndMasks)
{
    gamedata::SpriteEntry walk = Entry("spr_walk", 9, 2);
    walk.bboxLeft = 1;
    walk.bboxRight = 7;
    walk.bboxBottom = 1;
    walk.bboxTop = 0;
    walk.xOrigin = 4;
    walk.yOrigin = 1;
    walk.precise = 1;
    walk.speed = 12.5f;
    walk.speedType = 1;
    walk.frames = {2, std::nullopt, 0};
    walk.masks = {{0xFF, 0x80, 0x01, 0x00}};
    gamedata::SpriteEntry still = Entry("spr_still", 1, 1);
    still.plainForm = true;
    still.frames = {1};
    still.masks = {{0x80}};
    const std::vector<uint8_t> game = GameOf({walk, std::nullopt, still});
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();

    ASSERT_EQ(Sprite_Count(), 3);
    EXPECT_FALSE(Sprite_Exists(1));
    EXPECT_STREQ(Sprite_GetName(1), "<undefined>");
    EXPECT_EQ(Sprite_Find("spr_walk"), 0);
    EXPECT_EQ(Sprite_Find("spr_still"), 2);
    EXPECT_EQ(Sprite_Find("spr_none"), -1);
    CSprite* s = Sprite_Get(0);
    ASSERT_TRUE(s);
    EXPECT_STREQ(s->name, "spr_walk");
    EXPECT_EQ(s->frameCount, 3);
    EXPECT_EQ(s->width, 9);
    // The record's box (written left, right, bottom, top) is taken as it stands.
    EXPECT_EQ(s->bboxLeft, 1);
    EXPECT_EQ(s->bboxRight, 7);
    EXPECT_EQ(s->bboxBottom, 1);
    EXPECT_EQ(s->bboxTop, 0);
    EXPECT_EQ(s->xorigin, 4);
    EXPECT_FLOAT_EQ(s->playbackSpeed, 12.5f);
    EXPECT_EQ(s->playbackSpeedType, 1);
    EXPECT_EQ(s->extent, 6);  // corner (9, 2) from (4, 1): sqrt(26) rounded up
    // Frames point at the page entries named by their offsets; frame 1 has none; indices wrap.
    EXPECT_EQ(s->GetPageEntry(0), TPAG_FindEntry(U32At(game, PayloadOf(game, "TPAG") + 12)));
    EXPECT_EQ(s->GetPageEntry(0)->xOffset, 3);
    EXPECT_EQ(s->GetPageEntry(1), nullptr);
    EXPECT_EQ(s->GetPageEntry(-1), s->GetPageEntry(2));
    EXPECT_EQ(s->GetPageEntry(5), s->GetPageEntry(2));
    // Game code sees a data-file frame as a page-entry handle, never as a pointer.
    EXPECT_EQ(TPE_FromHandle(s->GetTexture(2)), s->GetPageEntry(2));
    // One stored mask for three frames: every frame tests against it.
    EXPECT_EQ(s->GetStoredMaskCount(), 1);
    EXPECT_FALSE(s->oneMaskPerFrame);
    ASSERT_TRUE(s->GetStoredMasks());
    EXPECT_EQ(std::memcmp(s->GetStoredMasks(), "\xFF\x80\x01\x00", 4), 0);
    int32_t bounds[4];
    s->GetFrameBounds(2, bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t>{0, 0, 16, 16}));

    CSprite* plain = Sprite_Get(2);
    EXPECT_EQ(plain->frameCount, 1);
    EXPECT_TRUE(plain->oneMaskPerFrame);
    EXPECT_EQ(plain->extent, 2);  // a 1 x 1 frame from (0, 0): sqrt(2) rounded up
    EXPECT_FLOAT_EQ(plain->playbackSpeed, 30.0f);
}

TEST_F(SpriteChunkTest, OlderHeaderReadsNoSpeedAndNoFramesInTheExtendedForm)
{
    gamedata::SpriteEntry old = Entry("spr_old", 4, 4);
    old.frames = {0};
    ASSERT_TRUE(testgames::LoadBoth(GameOf({old}, 1))) << GameData_LastError();
    ASSERT_TRUE(Sprite_Exists(0));
    EXPECT_EQ(Sprite_Get(0)->frameCount, 0);
    EXPECT_FLOAT_EQ(Sprite_Get(0)->playbackSpeed, 30.0f);
}

TEST_F(SpriteChunkTest, RecordsThatDoNotFitTheChunkAreRefusedWithAMessage)
{
    gamedata::SpriteEntry good = Entry("spr_good", 8, 8);
    good.frames = {0};
    struct Case {
        const char* what;
        std::function<void(gamedata::SpriteEntry&)> edit;
        std::function<void(std::vector<uint8_t>&)> garble;
        const char* message;
    } cases[] = {
        {"frame count past the chunk", [](auto& s) { s.frameCountOverride = 0x40000000u; }, nullptr,
         "1073741824 frames do not fit the chunk"},
        {"mask count past the chunk", [](auto& s) { s.maskCountOverride = 1000u; }, nullptr,
         "1000 masks of 8 x 8 do not fit the chunk"},
        {"negative frame count", [](auto& s) { s.frameCountOverride = 0xFFFFFFF0u; }, nullptr, "frames do not fit"},
        {"record offset outside the chunk", nullptr,
         [](auto& b) { PutU32(b, PayloadOf(b, "SPRT") + 4, static_cast<uint32_t>(b.size() - 8)); },
         "chunk SPRT: sprite 0 at offset"},
        {"page entry outside the data", nullptr,
         [](auto& b) {
             const uint32_t record = U32At(b, PayloadOf(b, "SPRT") + 4);
             PutU32(b, record + 80, static_cast<uint32_t>(b.size() - 4));
         },
         "page entry offset"},
        {"no frame size", nullptr,
         [](auto& b) { PutU32(b, U32At(b, PayloadOf(b, "SPRT") + 4) + 4, 0); }, "frame size of 0 x 8"},
        {"unknown kind", nullptr,
         [](auto& b) { PutU32(b, U32At(b, PayloadOf(b, "SPRT") + 4) + 64, 7); }, "unknown kind 7"},
        {"skeleton lengths", nullptr,
         [](auto& b) {
             const uint32_t record = U32At(b, PayloadOf(b, "SPRT") + 4);
             PutU32(b, record + 64, 2);
             PutU32(b, record + 80, 0x7FFFFFFF);
         },
         "skeleton data does not fit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gamedata::SpriteEntry s = good;
        if (c.edit) c.edit(s);
        std::vector<uint8_t> game = GameOf({s});
        if (c.garble) c.garble(game);
        EXPECT_FALSE(testgames::LoadBoth(game));
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos) << GameData_LastError();
        EXPECT_EQ(Sprite_Count(), 0);
        testgames::Unload();
    }
}

TEST(SpriteNameMap, NamesSharingAHashStayTwoKeys)
{
    // These two names have the same 31-bit hash.
    ASSERT_EQ(MurmurHash3_String("spr_64232") & 0x7FFFFFFF, MurmurHash3_String("spr_73307") & 0x7FFFFFFF);
    SpriteNameMap map;
    const std::string a = "spr_64232", b = "spr_73307";
    map.Insert(a.c_str(), 1);
    EXPECT_EQ(map.Find("spr_73307"), -1);
    map.Insert(b.c_str(), 2);
    EXPECT_EQ(map.Find("spr_64232"), 1);
    EXPECT_EQ(map.Find("spr_73307"), 2);
    map.Remove("spr_64232");
    EXPECT_EQ(map.Find("spr_64232"), -1);
    EXPECT_EQ(map.Find("spr_73307"), 2);
    // The same name again, in another string, replaces its entry.
    const std::string again = "spr_73307";
    map.Insert(again.c_str(), 3);
    EXPECT_EQ(map.Find("spr_73307"), 3);
    EXPECT_EQ(map.Count(), 1);
}

TEST(SpriteNameMap, GrowsAndRemovesAcrossManyNames)
{
    SpriteNameMap map;
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i) names.push_back("sprite" + std::to_string(i));
    for (int i = 0; i < 1000; ++i) map.Insert(names[i].c_str(), i);
    EXPECT_GT(map.Capacity(), 1000);
    for (int i = 0; i < 1000; i += 2) map.Remove(names[i].c_str());
    EXPECT_EQ(map.Count(), 500);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(map.Find(names[i].c_str()), i % 2 ? i : -1) << names[i];
}

namespace {
// Image files in a save area of their own.
struct SpriteFileTest : ::testing::Test, FileWorld {
    const std::string save = root / "save/";

    void SetUp() override { ASSERT_TRUE(Enter()); }
    void TearDown() override
    {
        Sprite_Init();
        EXPECT_TRUE(Leave());
    }
    // A width x height PNG: red, with a blue column at x = 0 and a transparent pixel at (width - 1, 0).
    void WritePng(const std::string& name, int width, int height)
    {
        ImageFixtures::Bytes rgba;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool blue = x == 0, clear = x == width - 1 && y == 0;
                const uint8_t px[4] = {uint8_t(blue ? 0 : 255), 0, uint8_t(blue ? 255 : 0), uint8_t(clear ? 0 : 255)};
                rgba.insert(rgba.end(), px, px + 4);
            }
        const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(width, height, rgba);
        std::ofstream(save + name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    }
};
}  // namespace

TEST_F(SpriteFileTest, AddCutsAStripAndFailedAddsGiveTheirIndexBack)
{
    WritePng("strip.png", 100, 4);
    EXPECT_EQ(Sprite_Add("missing.png", 1, false, false, false, true, 0, 0), -1);
    EXPECT_EQ(Sprite_Add(nullptr, 1, false, false, false, true, 0, 0), -1);
    std::ofstream(save + "junk.png") << "not an image";
    EXPECT_EQ(Sprite_Add("junk.png", 1, false, false, false, true, 0, 0), -1);
    EXPECT_EQ(Sprite_Find("__newsprite0"), -1);  // the dropped slot left no name behind

    const int32_t index = Sprite_Add("strip.png", 3, true, false, false, true, 5, 2);
    ASSERT_EQ(index, 0);
    CSprite* s = Sprite_Get(index);
    EXPECT_STREQ(Sprite_GetName(index), "__newsprite0");
    EXPECT_EQ(Sprite_Find("__newsprite0"), 0);
    EXPECT_EQ(s->frameCount, 3);
    EXPECT_EQ(s->width, 33);  // 100 / 3; the last column is dropped
    EXPECT_EQ(s->height, 4);
    EXPECT_EQ(s->xorigin, 5);
    EXPECT_TRUE(s->OwnsPageEntries());
    ASSERT_TRUE(s->GetPageEntry(1));
    EXPECT_EQ(s->GetPageEntry(1)->cropWidth, 33);
    EXPECT_GE(s->GetFrameTexture(2), 0);
    EXPECT_EQ(s->GetTexture(-1), s->GetFrameTexture(2));
    // Frame 0 starts with the blue column; the pixels keep their alpha (not transparent: keep alpha).
    const CBitmap32* first = s->GetFrameBitmap(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetPixels()[0], 0xFF0000FFu);
    EXPECT_EQ(first->GetPixels()[1], 0xFFFF0000u);
    // Not transparent: the box is the full frame.
    EXPECT_EQ(s->bboxRight, 32);
    EXPECT_EQ(s->bboxBottom, 3);
}

TEST_F(SpriteFileTest, TransparentLoadsKeyOutTheBackgroundAndBoxThePixels)
{
    WritePng("keyed.png", 6, 3);  // bottom-left pixel blue: the blue column goes
    const int32_t index = Sprite_Add("keyed.png", 1, true, true, false, true, 0, 0);
    ASSERT_GE(index, 0);
    const CSprite* s = Sprite_Get(index);
    EXPECT_EQ(s->GetFrameBitmap(0)->GetPixels()[0] >> 24, 0u);
    EXPECT_EQ(s->bboxLeft, 1);
    EXPECT_EQ(s->bboxRight, 5);
    EXPECT_EQ(s->bboxTop, 0);
    EXPECT_EQ(s->bboxBottom, 2);
    CSprite* changed = Sprite_Get(index);
    changed->SetBoundingBoxMode(1);
    EXPECT_EQ(changed->bboxLeft, 0);
    EXPECT_EQ(changed->bboxRight, 5);
}

TEST_F(SpriteFileTest, ReplaceAssignDuplicateMergeAndDelete)
{
    WritePng("a.png", 4, 4);
    WritePng("b.png", 8, 2);
    const int32_t a = Sprite_Add("a.png", 1, false, false, false, true, 0, 0);
    const int32_t b = Sprite_Add("b.png", 2, false, false, false, true, 0, 0);
    ASSERT_EQ(b, a + 1);
    EXPECT_FALSE(Sprite_Replace(7, "b.png", 1, false, false, false, true, 0, 0));
    EXPECT_FALSE(Sprite_Replace(a, "missing.png", 1, false, false, false, true, 0, 0));
    ASSERT_TRUE(Sprite_Replace(a, "b.png", 1, false, false, false, true, 1, 1));
    EXPECT_EQ(Sprite_Get(a)->width, 8);
    EXPECT_EQ(Sprite_Find("__newsprite0"), a);

    const int32_t copy = Sprite_Duplicate(b);
    ASSERT_EQ(copy, b + 1);
    EXPECT_EQ(Sprite_Get(copy)->frameCount, 2);
    EXPECT_NE(Sprite_Get(copy)->GetFrameTexture(0), Sprite_Get(b)->GetFrameTexture(0));
    Sprite_Get(copy)->Merge(Sprite_Get(copy));  // into itself: every frame once more
    EXPECT_EQ(Sprite_Get(copy)->frameCount, 4);
    EXPECT_EQ(Sprite_Get(copy)->GetFrameBitmap(3)->GetWidth(), 4);

    EXPECT_FALSE(Sprite_Assign(a, 99));
    ASSERT_TRUE(Sprite_Assign(a, copy));
    EXPECT_EQ(Sprite_Get(a)->frameCount, 4);
    EXPECT_STREQ(Sprite_Get(a)->name, "__newsprite0");

    EXPECT_TRUE(Sprite_Delete(b));
    EXPECT_FALSE(Sprite_Delete(b));
    EXPECT_EQ(Sprite_Get(b), nullptr);
    EXPECT_STREQ(Sprite_GetName(b), "<undefined>");
    EXPECT_EQ(Sprite_Find("__newsprite1"), -1);
    EXPECT_EQ(Sprite_AddEmpty(), copy + 1);  // a deleted slot is never reused
    EXPECT_EQ(Sprite_Duplicate(b), -1);
    EXPECT_EQ(Sprite_Get(Sprite_Count()), nullptr);
}
