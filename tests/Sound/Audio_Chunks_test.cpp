#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "GameData/GameData.h"
#include "GameData/GameOptions.h"
#include "Sound/Audio_Main.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

namespace {
using gamedata::SoundEntry;

SoundEntry Sound(const char* name, int32_t kind, int32_t audioIndex, int32_t group = 0, float volume = 1.0f)
{
    SoundEntry e;
    e.name = name;
    e.fileName = std::string(name) + ".wav";
    e.kind = kind;
    e.audioIndex = audioIndex;
    e.group = group;
    e.volume = volume;
    return e;
}

// A game using the audio engine (options bit 2) with the given sound chunks.
std::vector<uint8_t> Game(const std::vector<std::optional<SoundEntry>>& sounds,
                          const std::vector<std::optional<std::vector<uint8_t>>>& audio,
                          const std::optional<std::vector<std::optional<std::string>>>& groups = std::nullopt)
{
    gamedata::FormWriter w;
    w.Gen8({});
    gamedata::Options o;
    o.flags |= 0x4;
    w.Optn(o);
    if (groups) w.Agrp(*groups);
    w.Sond(sounds);
    w.Audo(audio);
    w.Strg();
    return w.Finish();
}

// Payload offset of the chunk with that tag.
uint32_t PayloadOf(const std::vector<uint8_t>& bytes, const char* tag)
{
    for (uint32_t pos = 8; pos + 8 <= bytes.size();) {
        const uint32_t length = GameData_U32(bytes.data() + pos + 4);
        if (std::memcmp(bytes.data() + pos, tag, 4) == 0) return pos + 8;
        pos += 8 + length;
    }
    return 0;
}

void Patch(std::vector<uint8_t>& bytes, uint32_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct AudioChunksTest : ::testing::Test {
    std::vector<uint8_t> bytes;
    void TearDown() override
    {
        Audio_Quit();
        testgames::Unload();
    }
    bool Load(std::vector<uint8_t> game)
    {
        bytes = std::move(game);
        return testgames::LoadBoth(bytes);
    }
};
}  // namespace

TEST_F(AudioChunksTest, SoundsKeepTheirNamesKindsAndVolumeAndFindTheirAudio)
{
    const std::vector<uint8_t> wav = audiotest::Wav16({1, 2, 3, 4}, 1);
    ASSERT_TRUE(Load(Game({Sound("old_plain", 0, 0), Sound("old_streamed", 5, 0), Sound("streamed", 100, 0),
                           Sound("wav", 101, 0, 0, 0.5f), Sound("ogg", 102, 1), Sound("ogg_whole", 103, 0),
                           Sound("later", 104, 0), Sound("negative", -3, 0), std::nullopt, Sound("wav", 101, 7)},
                          {wav, std::nullopt})))
        << GameData_LastError();
    ASSERT_EQ(Audio_GetAssetCount(), 10);
    const struct {
        int index;
        bool streamed, compressed, decompressOnLoad;
    } kinds[] = {{0, false, false, false}, {1, true, true, false},  {2, true, true, false},
                 {3, false, false, false}, {4, false, true, false}, {5, false, false, true},
                 {6, false, false, false}, {7, false, false, false}};
    for (const auto& k : kinds) {
        const AudioSound* s = Audio_GetAsset(k.index);
        ASSERT_NE(s, nullptr) << k.index;
        EXPECT_EQ(s->streamed, k.streamed) << k.index;
        EXPECT_EQ(s->compressed, k.compressed) << k.index;
        EXPECT_EQ(s->decompressOnLoad, k.decompressOnLoad) << k.index;
    }
    EXPECT_EQ(Audio_GetAsset(8), nullptr);
    EXPECT_EQ(Audio_GetAssetName(8), nullptr);
    EXPECT_STREQ(Audio_GetAsset(3)->fileName, "wav.wav");
    EXPECT_EQ(Audio_GetAsset(3)->gain, 0.5f);
    EXPECT_EQ(Audio_FindSound("wav"), 9);  // the last of equal names
    EXPECT_EQ(Audio_FindSound("missing"), -1);
    // Audio entry 0 is bound with its length word; entry 1 is empty and entry 7 does not exist.
    ASSERT_NE(Audio_GetAsset(3)->audioData, nullptr);
    EXPECT_EQ(GameData_U32(Audio_GetAsset(3)->audioData), wav.size());
    EXPECT_EQ(std::memcmp(Audio_GetAsset(3)->audioData + 4, wav.data(), wav.size()), 0);
    EXPECT_EQ(Audio_GetAsset(4)->audioData, nullptr);
    EXPECT_EQ(Audio_GetAsset(9)->audioData, nullptr);
}

TEST_F(AudioChunksTest, OnlyGroupZeroSoundsGetTheGameDataAudioAndNoGroupsMeansGroupZero)
{
    const std::vector<uint8_t> wav = audiotest::Wav16({1, 2}, 1);
    ASSERT_TRUE(Load(Game({Sound("main", 101, 0, 0), Sound("music", 101, 0, 3)}, {wav},
                          std::vector<std::optional<std::string>>{"audiogroup_default", std::nullopt, "music"})))
        << GameData_LastError();
    EXPECT_EQ(AudioGroup_Count(), 3);
    EXPECT_STREQ(AudioGroup_Name(2), "music");
    EXPECT_EQ(AudioGroup_Name(1), nullptr);
    EXPECT_NE(Audio_GetAsset(0)->audioData, nullptr);
    EXPECT_EQ(Audio_GetAsset(1)->audioData, nullptr);
    EXPECT_EQ(Audio_GetAsset(1)->group, 3);

    Audio_Quit();
    ASSERT_TRUE(Load(Game({Sound("main", 101, 0, 0), Sound("music", 101, 0, 3)}, {wav})));
    EXPECT_EQ(Audio_GetAsset(1)->group, 0);
    EXPECT_NE(Audio_GetAsset(1)->audioData, nullptr);
}

TEST_F(AudioChunksTest, BrokenRecordsAreRefusedWithAMessage)
{
    const std::vector<uint8_t> wav = audiotest::Wav16({1, 2}, 1);
    const std::vector<uint8_t> good = Game({Sound("s", 101, 0)}, {wav}, std::vector<std::optional<std::string>>{"g"});
    const struct {
        const char* what;
        const char* chunk;
        std::function<void(std::vector<uint8_t>&)> breakIt;
    } cases[] = {
        {"sound count beyond the payload", "SOND", [&](auto& b) { Patch(b, PayloadOf(b, "SOND"), 1000); }},
        {"sound entry outside the chunk", "SOND", [&](auto& b) { Patch(b, PayloadOf(b, "SOND") + 4, 8); }},
        {"sound entry cut by the chunk end", "SOND",
         [&](auto& b) { Patch(b, PayloadOf(b, "SOND") + 4, PayloadOf(b, "SOND") + 12); }},
        {"sound name outside the file", "SOND", [&](auto& b) { Patch(b, PayloadOf(b, "SOND") + 8, 0xFFFFFF00u); }},
        {"sound file name outside the file", "SOND",
         [&](auto& b) { Patch(b, PayloadOf(b, "SOND") + 8 + 12, 0xFFFFFF00u); }},
        {"audio count beyond the payload", "AUDO", [&](auto& b) { Patch(b, PayloadOf(b, "AUDO"), 0x40000000u); }},
        {"audio entry outside the chunk", "AUDO", [&](auto& b) { Patch(b, PayloadOf(b, "AUDO") + 4, 12); }},
        {"audio length past the chunk end", "AUDO",
         [&](auto& b) { Patch(b, PayloadOf(b, "AUDO") + 8, static_cast<uint32_t>(wav.size() + 1)); }},
        {"audio length that wraps", "AUDO", [&](auto& b) { Patch(b, PayloadOf(b, "AUDO") + 8, 0xFFFFFFFEu); }},
        {"group entry outside the chunk", "AGRP", [&](auto& b) { Patch(b, PayloadOf(b, "AGRP") + 4, 0xFFFFFFF0u); }},
        {"group name outside the file", "AGRP", [&](auto& b) { Patch(b, PayloadOf(b, "AGRP") + 8, 0xFFFFFF00u); }},
    };
    ASSERT_TRUE(Load(good)) << GameData_LastError();
    for (const auto& c : cases) {
        Audio_Quit();
        testgames::Unload();
        std::vector<uint8_t> broken = good;
        c.breakIt(broken);
        EXPECT_FALSE(Load(broken)) << c.what;
        EXPECT_NE(std::string(GameData_LastError()).find(c.chunk), std::string::npos)
            << c.what << ": " << GameData_LastError();
    }
}
