// The engine on the loopback device: time advances only as the test mixes.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <string>
#include <vector>

#include "Base/Timing.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Host/Host_Audio.h"
#include "Sound/Audio_Decompress.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Voice.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

namespace {
using audiotest::kRate;
using audiotest::kSilent;
using audiotest::Render;

constexpr int kSoundFrames = kRate / 10;  // 0.1 s
int SettledLevel()
{
    return audiotest::Settled().Max();
}

gamedata::SoundEntry Sound(const char* name, int32_t kind, int32_t audioIndex)
{
    gamedata::SoundEntry e;
    e.name = name;
    e.fileName = name;
    e.kind = kind;
    e.audioIndex = audioIndex;
    return e;
}

struct AudioEngineTest : audiotest::LoopbackTest {
    std::vector<uint8_t> bytes;
    testgames::CapturedLog log;

    // Reads the game's sound chunks through the chunk pass and prepares them.
    void LoadSounds(const std::vector<std::optional<gamedata::SoundEntry>>& sounds,
                    const std::vector<std::optional<std::vector<uint8_t>>>& audio,
                    const std::vector<std::optional<std::string>>& groups = {})
    {
        gamedata::FormWriter w;
        w.Gen8({});
        gamedata::Options o;
        o.flags |= 0x4;
        w.Optn(o);
        if (!groups.empty()) w.Agrp(groups);
        w.Sond(sounds);
        w.Audo(audio);
        w.Strg();
        bytes = w.Finish();
        ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
        Audio_PrepareSounds();
    }
    // Sound 0: a 0.1 s mono square wave.
    void LoadSquare() { LoadSounds({Sound("square", 101, 0)}, {audiotest::Wav16(audiotest::Square(kSoundFrames, {1}), 1)}); }
    const AudioVoice* VoiceOf(int32_t voiceId)
    {
        for (int32_t i = 0; i < Audio_VoiceCount(); ++i)
            if (Audio_VoiceAt(i)->voiceId == voiceId) return Audio_VoiceAt(i);
        return nullptr;
    }
};
}  // namespace

TEST_F(AudioEngineTest, APlayedSoundIsHeardAndReportsStoppedWhenItEnds)
{
    LoadSquare();
    EXPECT_NEAR(Audio_GetLength(0), 0.1, 1e-6);
    const int32_t voice = Audio_PlaySimple(0, 1.0, 0);
    ASSERT_GT(voice, kAudioVoiceIdBase);
    EXPECT_TRUE(Audio_IsPlaying(voice));
    EXPECT_TRUE(Audio_IsPlaying(0));
    EXPECT_GT(Render(kSoundFrames / 2).Max(), 5000);
    EXPECT_GT(Audio_GetTrackPos(voice), 0.0);
    Render(kSoundFrames);
    EXPECT_FALSE(Audio_IsPlaying(voice));
    EXPECT_FALSE(Audio_SoundExists(voice));
    EXPECT_LT(Render(kSoundFrames).Max(), kSilent);
    // The stopped voice is taken again by the next play, under a new id.
    const int32_t next = Audio_PlaySimple(0, 1.0, 0);
    EXPECT_GT(next, voice);
    EXPECT_EQ(Audio_VoiceCount(), 1);
    EXPECT_GT(Render(kSoundFrames / 2).Max(), 5000);
}

TEST_F(AudioEngineTest, ALoopingVoicePlaysOnPastItsLengthUntilStopped)
{
    LoadSquare();
    const int32_t voice = Audio_PlaySimple(0, 1.0, 1);
    Render(kSoundFrames * 3);
    EXPECT_TRUE(Audio_IsPlaying(voice));
    EXPECT_GT(Render(kSoundFrames).Max(), 5000);
    // A soft stop mutes at once, hides the voice, and frees it on the second tick.
    Audio_StopSound(voice);
    EXPECT_FALSE(Audio_IsPlaying(voice));
    EXPECT_LT(SettledLevel(), kSilent);
    const AudioVoice* v = VoiceOf(voice);
    ASSERT_NE(v, nullptr);
    Audio_Tick();
    EXPECT_TRUE(v->active);
    Audio_Tick();
    EXPECT_FALSE(v->active);
}

TEST_F(AudioEngineTest, AFadeReachesItsGainFrameByFrameAndGainsMultiply)
{
    LoadSquare();
    LayerMode = true;
    GameFrameTimer.SetFPS(60.0);
    const int32_t voice = Audio_PlaySimple(0, 1.0, 1);
    const int full = Render(1024).Max();
    // 100 ms at 60 frames per second: 16 ms a frame, 6 frames.
    Audio_SetGain(voice, 0.0, 100);
    for (int i = 0; i < 3; ++i) Audio_Tick();
    EXPECT_NEAR(Audio_GetGain(voice), 0.5, 1e-5);
    const int half = SettledLevel();
    EXPECT_NEAR(half, full / 2, full / 20);
    for (int i = 0; i < 3; ++i) Audio_Tick();
    EXPECT_EQ(Audio_GetGain(voice), 0.0);
    Audio_Tick();  // the fade is over: it stays at 0
    EXPECT_EQ(Audio_GetGain(voice), 0.0);
    EXPECT_LT(SettledLevel(), kSilent);

    // The sound's gain multiplies the voice's, at once with a time of 0.
    Audio_SetGain(voice, 1.0, 0);
    Audio_SetGain(0, 0.25, 0);
    EXPECT_EQ(Audio_GetGain(0), 0.25);
    EXPECT_NEAR(SettledLevel(), full / 4, full / 20);
}

TEST_F(AudioEngineTest, FadeLengthFollowsTheFrameRateAndNeverDividesByZero)
{
    const struct {
        bool layerMode;
        double fps;       // the game-speed timer's rate with the layer system
        int32_t roomSpeed;
        int32_t timeMs;
        int32_t frames;
    } cases[] = {
        {true, 60.0, 0, 1000, 62},   // 16 ms a frame
        {true, 60.0, 0, 1, 1},       // at least one frame
        {true, 0.5, 0, 1000, 1},     // a frame longer than a second counts as 1 per second
        {false, 0.0, 30, 1000, 30},  // the room speed without the layer system
        {false, 0.0, 0, 1000, 1},    // a room speed of 0
        {false, 0.0, 2000, 1000, 1000},  // 1 ms a frame at least
    };
    static int32_t roomSpeed;
    const AudioRoomSpeed saved = Audio_SetRoomSpeedHook([] { return roomSpeed; });
    for (const auto& c : cases) {
        roomSpeed = c.roomSpeed;
        LayerMode = c.layerMode;
        GameFrameTimer.SetFPS(c.fps);
        EXPECT_EQ(Audio_FadeFrames(c.timeMs), c.frames) << c.fps << " " << c.roomSpeed << " " << c.timeMs;
    }
    Audio_SetRoomSpeedHook(saved);
}

TEST_F(AudioEngineTest, WithEveryVoiceBusyAHigherPriorityStealsTheEarliestLowest)
{
    LoadSquare();
    Audio_SetChannelCount(4);
    ASSERT_EQ(Audio_GetSourceCount(), 4);
    const double priorities[] = {5, 1, 1, 3};
    int32_t voices[4];
    for (int i = 0; i < 4; ++i) voices[i] = Audio_PlaySimple(0, priorities[i], 1);
    const int32_t thief = Audio_PlaySimple(0, 2, 1);
    ASSERT_GT(thief, voices[3]);
    EXPECT_FALSE(Audio_IsPlaying(voices[1]));
    for (int32_t kept : {voices[0], voices[2], voices[3], thief}) EXPECT_TRUE(Audio_IsPlaying(kept));
    EXPECT_EQ(Audio_VoiceCount(), 4);
    // Nothing lower than 0.5 plays: the request fails.
    EXPECT_EQ(Audio_PlaySimple(0, 0.5, 1), -1);
    // A voice whose sound ended is reused before anything is stolen.
    Audio_StopVoice(const_cast<AudioVoice*>(VoiceOf(voices[0])), true);
    EXPECT_GT(Audio_PlaySimple(0, 0.5, 1), thief);
    EXPECT_TRUE(Audio_IsPlaying(voices[2]));
}

TEST_F(AudioEngineTest, ChannelCountsComeInFoursWithinWhatTheDeviceOffers)
{
    const struct {
        int32_t asked, sources;
    } cases[] = {{1, 4}, {5, 8}, {8, 8}, {-3, 4}};
    for (const auto& c : cases) {
        Audio_SetChannelCount(c.asked);
        EXPECT_EQ(Audio_GetSourceCount(), c.sources) << c.asked;
    }
    Audio_SetChannelCount(1 << 30);
    EXPECT_GT(Audio_GetSourceCount(), 8);
    EXPECT_LE(Audio_GetSourceCount(), HAudio_MaxSources());
    EXPECT_EQ(Audio_GetSourceCount() % 4, 0);
}

TEST_F(AudioEngineTest, PitchIsClampedAndMissingSoundsAreNamed)
{
    LoadSquare();
    Audio_SetPitch(0, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(Audio_GetPitch(0)), 0.0039f);
    Audio_SetPitch(0, 1000.0);
    EXPECT_EQ(Audio_GetPitch(0), 256.0);
    const int32_t voice = Audio_PlaySimple(0, 1.0, 1);
    Audio_SetPitch(voice, 2.0);
    EXPECT_EQ(Audio_GetPitch(voice), 2.0);
    ALfloat pitch = 0;
    alGetSourcef(Audio_VoiceSource(VoiceOf(voice)), AL_PITCH, &pitch);
    EXPECT_EQ(pitch, 2.0f);

    EXPECT_EQ(Audio_PlaySimple(57, 1.0, 0), 0);
    EXPECT_NE(log.Text().find("Error: no sound exists for soundid 57"), std::string::npos) << log.Text();
    EXPECT_STREQ(Audio_GetSoundName(voice), "square");
    EXPECT_STREQ(Audio_GetSoundName(57), "<undefined>");
    EXPECT_EQ(Audio_GetLength(57), -1.0);
}

TEST_F(AudioEngineTest, PausedVoicesAreSilentAndTrackPositionsMove)
{
    LoadSquare();
    const int32_t voice = Audio_PlaySimple(0, 1.0, 1);
    Render(1024);
    Audio_PauseSound(0);
    EXPECT_TRUE(Audio_IsPaused(voice));
    EXPECT_TRUE(Audio_IsPlaying(voice));  // a paused voice still counts as playing
    EXPECT_LT(SettledLevel(), kSilent);
    const double pausedAt = Audio_GetTrackPos(voice);
    Render(2048);
    EXPECT_EQ(Audio_GetTrackPos(voice), pausedAt);
    Audio_ResumeAll();
    EXPECT_FALSE(Audio_IsPaused(voice));
    EXPECT_GT(Render(1024).Max(), 5000);

    Audio_SetTrackPos(voice, 0.05);
    EXPECT_NEAR(Audio_GetTrackPos(voice), 0.05, 1e-3);
    // A sound's position is where later voices start, and only inside the sound.
    Audio_SetTrackPos(0, 0.5);
    EXPECT_EQ(Audio_GetTrackPos(0), 0.0);
    Audio_SetTrackPos(0, 0.06);
    EXPECT_NEAR(Audio_GetTrackPos(0), 0.06, 1e-6);
    const int32_t later = Audio_PlaySimple(0, 1.0, 0);
    EXPECT_NEAR(Audio_GetTrackPos(later), 0.06, 1e-3);
    EXPECT_EQ(Audio_GetType(0), 0);
    EXPECT_EQ(Audio_GetType(1), -1);
}

TEST_F(AudioEngineTest, SoundsOfAGroupNotLoadedDoNotPlay)
{
    gamedata::SoundEntry music = Sound("music", 101, 0);
    music.group = 1;
    LoadSounds({music}, {audiotest::Wav16(audiotest::Square(100, {1}), 1)}, {"audiogroup_default", "music"});
    EXPECT_EQ(Audio_PlaySimple(0, 1.0, 0), -1);
    EXPECT_NE(log.Text().find("music: Audio Group 1 is not loaded"), std::string::npos) << log.Text();
}

TEST_F(AudioEngineTest, BrokenAudioDataLeavesTheSoundSilentWithAMessage)
{
    const std::vector<uint8_t> junk = {'O', 'g', 'g', 'S', 1, 2, 3, 4, 5, 6, 7, 8};
    LoadSounds({Sound("bad_ogg", 103, 0), Sound("bad_wav", 101, 0)}, {junk});
    EXPECT_EQ(Audio_GetAsset(0)->alBuffer, 0);
    EXPECT_EQ(Audio_GetAsset(1)->alBuffer, 0);
    EXPECT_NE(log.Text().find("opening ogg stream for bad_ogg"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("Error reading WAV data of sound bad_wav"), std::string::npos) << log.Text();
    const int32_t voice = Audio_PlaySimple(0, 1.0, 0);
    EXPECT_FALSE(Audio_IsPlaying(voice));
    EXPECT_LT(Render(1024).Max(), kSilent);
}

TEST_F(AudioEngineTest, OggDecodedWholeOnLoadPlaysAndMoreChannelsMixDownToStereo)
{
    const int frames = kRate / 5;
    const auto mono = audiotest::EncodeOgg(audiotest::Square(frames, {1}), 1);
    // Left, centre and right in the Ogg Vorbis order: only the left channel sounds.
    const auto three = audiotest::EncodeOgg(audiotest::Square(frames, {1, 0, 0}), 3);
    if (!mono || !three) GTEST_SKIP() << "oggenc is not installed";
    LoadSounds({Sound("mono", 103, 0), Sound("three", 103, 1)}, {*mono, *three});
    EXPECT_NE(log.Text().find("Decoding ogg three ..."), std::string::npos) << log.Text();
    for (int32_t sound : {0, 1}) EXPECT_NEAR(Audio_GetLength(sound), 0.2, 1e-6) << sound;
    ALint channels = 0;
    alGetBufferi(static_cast<ALuint>(Audio_GetAsset(1)->alBuffer), AL_CHANNELS, &channels);
    EXPECT_EQ(channels, 2);

    Audio_PlaySimple(0, 1.0, 0);
    EXPECT_GT(Render(frames / 2).Max(), 3000);
    Render(frames);
    Audio_PlaySimple(1, 1.0, 0);
    const audiotest::Levels levels = Render(frames / 2);
    EXPECT_GT(levels.left, 2000);
    EXPECT_LT(levels.right, levels.left / 4);
}

TEST(AudioMixDown, ChannelsAverageOntoTheirSide)
{
    // 3 channels: left, centre, right; 4: front and rear pairs; 9: no known order, heard on both sides.
    std::vector<int16_t> three = {300, 600, 900, -300, -600, -900};
    Ogg_MixDownToStereo(three.data(), 2, 3);
    EXPECT_EQ((std::vector<int16_t>(three.begin(), three.begin() + 4)), (std::vector<int16_t>{450, 750, -450, -750}));
    std::vector<int16_t> four = {100, 200, 300, 400};
    Ogg_MixDownToStereo(four.data(), 1, 4);
    EXPECT_EQ(four[0], 200);
    EXPECT_EQ(four[1], 300);
    std::vector<int16_t> nine(9, 32767);
    Ogg_MixDownToStereo(nine.data(), 1, 9);
    EXPECT_EQ(nine[0], 32767);
    EXPECT_EQ(nine[1], 32767);
}


