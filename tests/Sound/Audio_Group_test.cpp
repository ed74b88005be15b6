// The sounds of one audio group on the loopback device: a group's own audio
// chunk binds and prepares them, and they are stopped, faded and released
// together. Group 0 plays on the left channel, group 2 on the right.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <string>
#include <vector>

#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Base/Timing.h"
#include "Sound/Audio_GroupSounds.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Voice.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

namespace {
using audiotest::kRate;
using audiotest::kSilent;
using audiotest::Render;
using audiotest::Settled;
using audiotest::SoundInGroup;

constexpr int kSoundFrames = kRate / 10;  // 0.1 s
constexpr int32_t kMusic = 2;             // the group the tests load


std::vector<uint8_t> Left()
{
    return audiotest::Wav16(audiotest::Square(kSoundFrames, {1, 0}), 2);
}

std::vector<uint8_t> Right()
{
    return audiotest::Wav16(audiotest::Square(kSoundFrames, {0, 1}), 2);
}

// A group file: the container header, then the group's audio chunk at byte 8,
// its entry offsets counted from the start of the file.
std::vector<uint8_t> GroupFile(const std::vector<std::optional<std::vector<uint8_t>>>& audio)
{
    gamedata::FormWriter w;
    w.Audo(audio);
    return w.Finish();
}

struct AudioGroupTest : audiotest::LoopbackTest {
    std::vector<uint8_t> game;
    std::vector<uint8_t> groupFile;
    testgames::CapturedLog log;

    // Sounds: 0 "main" (group 0, left), 1 "tune" and 2 "chorus" (group 2,
    // right, from the group file), 3 "speech" (group 1, never loaded).
    void LoadGame()
    {
        gamedata::FormWriter w;
        w.Gen8({});
        gamedata::Options o;
        o.flags |= 0x4;
        w.Optn(o);
        w.Agrp({"audiogroup_default", "speech", "music"});
        w.Sond({SoundInGroup("main", 0, 0), SoundInGroup("tune", kMusic, 0), SoundInGroup("chorus", kMusic, 1),
                SoundInGroup("speech", 1, 0)});
        w.Audo({Left()});
        w.Strg();
        game = w.Finish();
        ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
        Audio_PrepareSounds();
    }
    // Binds the group's audio chunk as the group loader does: the payload at byte 16.
    bool BindGroup(std::vector<uint8_t> file)
    {
        groupFile = std::move(file);
        return Audio_WAVs(groupFile.data() + 16, GameData_U32(groupFile.data() + 12), groupFile.data(), kMusic);
    }
    // Loads group 2 whole: bound, prepared, Loaded.
    void LoadMusic()
    {
        LoadGame();
        ASSERT_TRUE(BindGroup(GroupFile({Right(), Right()})));
        ASSERT_EQ(Audio_PrepareGroup(kMusic), 2);
        AudioGroup_SetState(kMusic, kAudioGroupLoaded);
    }
};
}  // namespace

TEST_F(AudioGroupTest, AGroupsOwnAudioChunkBindsAndPreparesOnlyItsSounds)
{
    LoadGame();
    // After the main audio chunk only group 0 has its data.
    EXPECT_GT(Audio_GetAsset(0)->alBuffer, 0);
    for (int32_t s : {1, 2, 3}) {
        EXPECT_EQ(Audio_GetAsset(s)->audioData, nullptr) << s;
        EXPECT_EQ(Audio_GetAsset(s)->alBuffer, 0) << s;
    }
    EXPECT_EQ(Audio_PlaySimple(1, 1.0, 0), -1);
    EXPECT_NE(log.Text().find("tune: Audio Group 2 is not loaded"), std::string::npos) << log.Text();

    ASSERT_TRUE(BindGroup(GroupFile({Right(), Right()})));
    ASSERT_NE(Audio_GetAsset(1)->audioData, nullptr);
    EXPECT_EQ(Audio_GetAsset(1)->audioData, groupFile.data() + GameData_U32(groupFile.data() + 20));
    EXPECT_EQ(Audio_GetAsset(3)->audioData, nullptr);  // group 1 is left alone
    int steps = 0;
    EXPECT_EQ(Audio_PrepareGroup(kMusic, [](void* user) { ++*static_cast<int*>(user); }, &steps), 2);
    EXPECT_EQ(steps, 2);
    const int32_t tuneBuffer = Audio_GetAsset(1)->alBuffer;
    EXPECT_GT(tuneBuffer, 0);
    EXPECT_GT(Audio_GetAsset(2)->alBuffer, 0);
    EXPECT_EQ(Audio_GetAsset(3)->alBuffer, 0);
    // Prepared again, a sound keeps the buffer it has.
    Audio_PrepareGroup(kMusic);
    EXPECT_EQ(Audio_GetAsset(1)->alBuffer, tuneBuffer);

    // Prepared is not yet loaded: the group plays once its state says Loaded.
    EXPECT_FALSE(AudioGroup_IsLoaded(kMusic));
    EXPECT_EQ(Audio_PlaySimple(1, 1.0, 0), -1);
    AudioGroup_SetState(kMusic, kAudioGroupLoaded);
    EXPECT_NE(log.Text().find("Audio group 2 -> Loaded"), std::string::npos) << log.Text();
    EXPECT_TRUE(AudioGroup_IsLoaded(kMusic));
    const int32_t voice = Audio_PlaySimple(1, 1.0, 0);
    EXPECT_TRUE(Audio_IsPlaying(voice));
    const audiotest::Levels levels = Render(kSoundFrames / 2);
    EXPECT_GT(levels.right, 5000);
    EXPECT_LT(levels.left, kSilent);
}

TEST_F(AudioGroupTest, GroupStatesAndTheirLoadedTest)
{
    // Group 0 is loaded even with no groups at all.
    EXPECT_EQ(AudioGroup_Count(), 0);
    EXPECT_TRUE(AudioGroup_IsLoaded(0));
    EXPECT_FALSE(AudioGroup_IsLoaded(1));
    LoadGame();
    AudioGroup_SetState(0, kAudioGroupUnloaded);
    EXPECT_TRUE(AudioGroup_IsLoaded(0));
    for (int32_t g : {-1, 1, 2, 3, 1 << 30}) EXPECT_FALSE(AudioGroup_IsLoaded(g)) << g;
    const struct {
        int32_t state;
        bool loaded;
        const char* line;
    } states[] = {{kAudioGroupLoading, false, "Audio group 1 -> Loading...\n"},
                  {kAudioGroupLoaded, true, "Audio group 1 -> Loaded\n"},
                  {kAudioGroupUnloading, false, "Audio group 1 -> Unloading...\n"},
                  {kAudioGroupUnloaded, false, "Audio group 1 -> Unloaded\n"}};
    for (const auto& s : states) {
        testgames::CapturedLog lines;
        AudioGroup_SetState(1, s.state);
        AudioGroup_SetState(1, s.state);  // unchanged: no second line
        EXPECT_EQ(lines.Text(), s.line);
        EXPECT_EQ(AudioGroup_State(1), s.state);
        EXPECT_EQ(AudioGroup_IsLoaded(1), s.loaded);
    }
    // No state for groups that do not exist, nor values that are no state.
    testgames::CapturedLog quiet;
    AudioGroup_SetState(3, kAudioGroupLoaded);
    AudioGroup_SetState(-1, kAudioGroupLoaded);
    AudioGroup_SetState(1, 7);
    EXPECT_EQ(quiet.Text(), "");
    EXPECT_EQ(AudioGroup_State(1), kAudioGroupUnloaded);
    EXPECT_EQ(AudioGroup_State(3), kAudioGroupUnloaded);
}

TEST_F(AudioGroupTest, ABrokenGroupChunkIsRefusedWithAMessage)
{
    LoadGame();
    std::vector<uint8_t> file = GroupFile({Right()});
    // The entry's offset counts from the group file: its end is outside the chunk.
    const uint32_t end = static_cast<uint32_t>(file.size());
    for (int i = 0; i < 4; ++i) file[20 + i] = static_cast<uint8_t>(end >> (8 * i));
    EXPECT_FALSE(BindGroup(file));
    EXPECT_NE(std::string(GameData_LastError()).find("AUDO"), std::string::npos) << GameData_LastError();
    EXPECT_EQ(Audio_GetAsset(1)->audioData, nullptr);
}

TEST_F(AudioGroupTest, StoppingAGroupStopsOnlyItsVoices)
{
    LoadMusic();
    const int32_t main = Audio_PlaySimple(0, 1.0, 1);
    const int32_t tune = Audio_PlaySimple(1, 1.0, 1);
    const int32_t chorus = Audio_PlaySimple(2, 1.0, 1);
    audiotest::Levels both = Render(1024);
    EXPECT_GT(both.left, 5000);
    EXPECT_GT(both.right, 5000);
    EXPECT_FALSE(Audio_GroupHasNoVoices(kMusic));
    EXPECT_FALSE(Audio_GroupHasNoVoices(0));
    EXPECT_TRUE(Audio_GroupHasNoVoices(1));

    Audio_StopGroup(kMusic);
    EXPECT_FALSE(Audio_IsPlaying(tune));
    EXPECT_FALSE(Audio_IsPlaying(chorus));
    EXPECT_TRUE(Audio_IsPlaying(main));
    const audiotest::Levels left = Settled();
    EXPECT_GT(left.left, 5000);
    EXPECT_LT(left.right, kSilent);
    // A soft stop still holds the group until the second tick frees its voices.
    EXPECT_FALSE(Audio_GroupHasNoVoices(kMusic));
    EXPECT_FALSE(Audio_ReleaseGroup(kMusic));
    EXPECT_GT(Audio_GetAsset(1)->alBuffer, 0);
    Audio_Tick();
    Audio_Tick();
    EXPECT_TRUE(Audio_GroupHasNoVoices(kMusic));
    EXPECT_TRUE(Audio_IsPlaying(main));
}

TEST_F(AudioGroupTest, AGroupsGainFadesEachOfItsSounds)
{
    LoadMusic();
    LayerMode = true;
    GameFrameTimer.SetFPS(60.0);
    Audio_PlaySimple(0, 1.0, 1);
    Audio_PlaySimple(1, 1.0, 1);
    const audiotest::Levels full = Settled();
    // 100 ms at 60 frames per second: 6 frames of 16 ms.
    Audio_SetGroupGain(kMusic, 0.5, 100);
    for (int i = 0; i < 6; ++i) Audio_Tick();
    for (int32_t s : {1, 2}) EXPECT_NEAR(Audio_GetGain(s), 0.5, 1e-5) << s;
    EXPECT_EQ(Audio_GetGain(0), 1.0);
    const audiotest::Levels half = Settled();
    EXPECT_NEAR(half.right, full.right / 2, full.right / 20);
    EXPECT_NEAR(half.left, full.left, full.left / 20);
    // A time of 0 sets it at once; a group without sounds changes nothing.
    Audio_SetGroupGain(kMusic, 0.0, 0);
    Audio_SetGroupGain(7, 0.0, 0);
    EXPECT_EQ(Audio_GetGain(0), 1.0);
    EXPECT_EQ(Audio_GetGain(3), 1.0);
    const audiotest::Levels muted = Settled();
    EXPECT_LT(muted.right, kSilent);
    EXPECT_GT(muted.left, 5000);
}

TEST_F(AudioGroupTest, AnEndedVoiceLetsTheGroupGoAndReleasingFreesItsBuffers)
{
    LoadMusic();
    const int32_t voice = Audio_PlaySimple(1, 1.0, 0);
    const AudioVoice* v = nullptr;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i)
        if (Audio_VoiceAt(i)->voiceId == voice) v = Audio_VoiceAt(i);
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(Audio_ReleaseGroup(kMusic));
    Render(kSoundFrames * 2);
    // The sound has ended; its voice is still marked active until reclaimed.
    EXPECT_FALSE(Audio_IsPlaying(voice));
    EXPECT_TRUE(v->active);
    EXPECT_TRUE(Audio_GroupHasNoVoices(kMusic));
    EXPECT_FALSE(v->active);
    ALint attached = -1;
    alGetSourcei(Audio_VoiceSource(v), AL_BUFFER, &attached);
    EXPECT_EQ(attached, 0);

    const ALuint tune = static_cast<ALuint>(Audio_GetAsset(1)->alBuffer);
    const int32_t mainBuffer = Audio_GetAsset(0)->alBuffer;
    ASSERT_TRUE(Audio_ReleaseGroup(kMusic));
    EXPECT_FALSE(alIsBuffer(tune));
    for (int32_t s : {1, 2}) {
        EXPECT_EQ(Audio_GetAsset(s)->alBuffer, -1) << s;
        EXPECT_EQ(Audio_GetAsset(s)->audioData, nullptr) << s;
    }
    EXPECT_EQ(Audio_GetAsset(0)->alBuffer, mainBuffer);
    Audio_Tick();
    EXPECT_EQ(log.Text().find("OpenAL error"), std::string::npos) << log.Text();

    // Bound and prepared again, the group plays again.
    ASSERT_TRUE(BindGroup(GroupFile({Right(), Right()})));
    EXPECT_EQ(Audio_PrepareGroup(kMusic), 2);
    EXPECT_GT(Audio_GetAsset(1)->alBuffer, 0);
    Audio_PlaySimple(1, 1.0, 0);
    EXPECT_GT(Render(kSoundFrames / 2).right, 5000);
}

TEST_F(AudioGroupTest, WithTheEngineOffGroupOperationsDoNothing)
{
    LoadMusic();
    const int32_t tune = Audio_PlaySimple(1, 1.0, 1);
    const int32_t buffer = Audio_GetAsset(1)->alBuffer;
    // The game's options leave the engine unused.
    GameOptions.newAudioEngine = false;
    ASSERT_FALSE(Audio_IsOn());
    EXPECT_TRUE(Audio_GroupHasNoVoices(kMusic));
    EXPECT_EQ(Audio_PrepareGroup(kMusic), 0);
    Audio_StopGroup(kMusic);
    Audio_SetGroupGain(kMusic, 0.5, 0);
    GameOptions.newAudioEngine = true;
    EXPECT_TRUE(Audio_IsPlaying(tune));
    EXPECT_EQ(Audio_GetGain(1), 1.0);
    EXPECT_EQ(Audio_GetAsset(1)->alBuffer, buffer);
}
