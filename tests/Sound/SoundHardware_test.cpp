#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameData/GameData.h"
#include "GameData/GameOptions.h"
#include "Host/Host_Audio.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Main.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

namespace {
size_t Lines(const std::string& text)
{
    size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}
}  // namespace

TEST(SoundHardware, NoAudioRunsSilentAfterOneLogLine)
{
    GameOptions.newAudioEngine = true;
    NoAudio = true;
    testgames::CapturedLog log;
    SoundHardware_Create();
    EXPECT_EQ(log.Text(), "Audio: sound is off (-noaudio)\n");
    EXPECT_FALSE(HAudio_IsOpen());
    EXPECT_FALSE(GameOptions.newAudioEngine);  // the game falls back on the legacy layer
    EXPECT_EQ(Audio_PlaySimple(0, 1.0, 0), -1);
    EXPECT_EQ(Audio_GetLength(0), -1.0);
    SoundHardware_Update();
    SoundHardware_Destroy();
    NoAudio = false;
}

TEST(SoundHardware, TheDeviceStartsAfterTheChunkPassAndPlaysTheGamesSounds)
{
    // As at start-up: the chunks are read, then the device opens and the sounds are prepared.
    gamedata::FormWriter w;
    w.Gen8({});
    gamedata::Options o;
    o.flags |= 0x4;
    w.Optn(o);
    gamedata::SoundEntry sound;
    sound.name = "beep";
    w.Sond({sound});
    w.Audo({audiotest::Wav16(audiotest::Square(audiotest::kRate, {1}), 1)});
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    testgames::CapturedLog log;
    // The tests run with the library's silent output driver.
    SoundHardware_Create();
    SoundHardware_Create();  // a second start replaces the first device
    ASSERT_TRUE(HAudio_IsOpen());
    EXPECT_TRUE(Audio_IsOn());
    EXPECT_EQ(Audio_GetSourceCount(), kAudioDefaultSources);
    EXPECT_EQ(Lines(log.Text()), 2u) << log.Text();
    EXPECT_NE(log.Text().find("Audio: playing on \""), std::string::npos) << log.Text();
    Audio_PrepareSounds();
    const int32_t voice = Audio_PlaySimple(Audio_FindSound("beep"), 1.0, 0);
    EXPECT_GT(voice, kAudioVoiceIdBase);
    EXPECT_TRUE(Audio_IsPlaying(voice));
    SoundHardware_Update();
    SoundHardware_Destroy();
    EXPECT_FALSE(HAudio_IsOpen());
    EXPECT_FALSE(Audio_IsOn());
    EXPECT_EQ(Audio_GetAssetCount(), 0);
    testgames::Unload();
}
