// Ogg-played sounds on the loopback device. Most cases run the decoder
// cycles by hand (threadless), so that time advances only as the test mixes
// and refills; a few run the real threads with bounded waits.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Base/Thread.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Debug.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_OggAudio.h"
#include "Sound/Audio_OggSync.h"
#include "Sound/Audio_OggThread.h"
#include "Sound/Audio_Voice.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

namespace {
using audiotest::kRate;
using audiotest::kSilent;
using audiotest::Render;

constexpr int kToneFrames = kRate / 2;  // 0.5 s
constexpr int kLoud = 4000;

using Samples = std::vector<int16_t>;
using Bytes = std::vector<uint8_t>;

// Ogg images are encoded once per run, by what they hold.
const Bytes* Ogg(const std::string& key, const std::function<Samples()>& make, int channels = 1)
{
    static std::map<std::string, std::optional<Bytes>> cache;
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, audiotest::EncodeOgg(make(), channels)).first;
    return it->second ? &*it->second : nullptr;
}

const Bytes* Tone()
{
    return Ogg("tone", [] { return audiotest::Square(kToneFrames, {1}); });
}

// Silent for its first half, loud for its second.
const Bytes* SilentThenLoud()
{
    return Ogg("half", [] {
        Samples s = audiotest::Square(kToneFrames, {1});
        std::fill(s.begin(), s.begin() + kToneFrames / 2, 0);
        return s;
    });
}

const Bytes* Empty()
{
    return Ogg("empty", [] { return Samples{}; });
}

// A burst of 200 loud frames every period frames, on the channels whose level is 1.
Samples Bursts(int frames, int period, const std::vector<int>& levels)
{
    Samples s = audiotest::Square(frames, levels);
    for (int f = 0; f < frames; ++f)
        if (f % period >= 200)
            for (size_t c = 0; c < levels.size(); ++c) s[f * levels.size() + c] = 0;
    return s;
}

ALint SourceState(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

AudioVoice* VoiceOf(int32_t voiceId)
{
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i)
        if (Audio_VoiceAt(i)->voiceId == voiceId) return Audio_VoiceAt(i);
    return nullptr;
}

// Waits up to 5 s, polling each millisecond, for done.
bool WaitFor(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Thread_Sleep(1);
    }
    return true;
}

struct OggTest : audiotest::LoopbackTest {
    TempFolder bundle;
    testgames::CapturedLog log;

    void SetUp() override
    {
        audiotest::LoopbackTest::SetUp();
        OggAudio.threadless = true;
        InitProgramDirectory((bundle / "game.win").c_str());
    }
    void TearDown() override
    {
        audiotest::LoopbackTest::TearDown();
        OggAudio.threadless = false;
        InitProgramDirectory(nullptr);
    }
    // A stream of the image, written into the bundle as name.
    int32_t Stream(const Bytes& ogg, const std::string& name = "tone.ogg")
    {
        bundle.Write(name, std::string(ogg.begin(), ogg.end()));
        return Audio_CreateStream(name.c_str());
    }
    // Asset sound 0..n-1: the images kept compressed in memory.
    void Compressed(const std::vector<const Bytes*>& images)
    {
        ASSERT_TRUE(Audio_SetAssetCount(static_cast<int32_t>(images.size())));
        for (size_t i = 0; i < images.size(); ++i) {
            auto* sound = new AudioSound;
            sound->compressed = true;
            sound->oggData = images[i]->data();
            sound->oggLength = static_cast<uint32_t>(images[i]->size());
            Audio_SetAsset(static_cast<int32_t>(i), sound, ("track" + std::to_string(i)).c_str());
        }
    }
    // Mixes frames in pieces, refilling between them; the quietest piece's level.
    int PlayFor(int frames, int piece = 512)
    {
        int quietest = 1 << 30;
        for (int done = 0; done < frames; done += piece) {
            quietest = std::min(quietest, Render(piece).Max());
            OggAudio_RunCycles();
        }
        return quietest;
    }
    // The mix has settled after gain and state changes; its level now.
    int Settled()
    {
        PlayFor(4096);
        return Render(1024).Max();
    }
};
}  // namespace

TEST_F(OggTest, AStreamPlaysLoopsWithoutAGapAndStops)
{
    const Bytes* tone = Tone();
    if (!tone) GTEST_SKIP() << "oggenc is not installed";
    const int32_t stream = Stream(*tone);
    ASSERT_EQ(stream, kAudioStreamIdBase);
    EXPECT_EQ(Audio_GetType(stream), 1);
    EXPECT_NEAR(Audio_GetLength(stream), 0.5, 1e-6);

    const int32_t voice = Audio_PlaySimple(stream, 1.0, 1);
    ASSERT_GT(voice, kAudioVoiceIdBase);
    OggAudio_RunCycles();
    // Three times round: no piece of the mix is quiet, so the loop point has no gap.
    EXPECT_GT(PlayFor(3 * kToneFrames), kLoud);
    EXPECT_TRUE(Audio_IsPlaying(voice));
    const double position = Audio_GetTrackPos(voice);
    EXPECT_GT(position, 0.0);
    EXPECT_LT(position, 0.5);  // wrapped at the sound's length

    // A soft stop hands the voice to its channel, which stops it; the voice is then free.
    Audio_StopSound(voice);
    Audio_Tick();
    Audio_Tick();
    OggAudio_RunCycles();
    Audio_Tick();
    EXPECT_FALSE(VoiceOf(voice)->active);
    EXPECT_LT(Settled(), kSilent);
}

TEST_F(OggTest, ASeekMovesTheVoiceAndAPausedVoiceStaysPaused)
{
    const Bytes* half = SilentThenLoud();
    if (!half) GTEST_SKIP() << "oggenc is not installed";
    Compressed({half});
    const int32_t voice = Audio_PlaySimple(0, 1.0, 0);
    OggAudio_RunCycles();
    EXPECT_LT(PlayFor(2048), kSilent);
    Audio_SetTrackPos(voice, 0.3);
    OggAudio_RunCycles();
    EXPECT_NEAR(Audio_GetTrackPos(voice), 0.3, 0.01);
    EXPECT_GT(PlayFor(2048), kLoud);

    Audio_PauseSound(voice);
    EXPECT_TRUE(Audio_IsPaused(voice));
    Audio_SetTrackPos(voice, 0.4);
    OggAudio_RunCycles();
    EXPECT_TRUE(Audio_IsPaused(voice));
    EXPECT_LT(Settled(), kSilent);
    EXPECT_NEAR(Audio_GetTrackPos(voice), 0.4, 0.01);
    Audio_ResumeSound(voice);
    EXPECT_GT(PlayFor(1024), kLoud);
}

TEST_F(OggTest, CommandsBeforeTheThreadTookThePlay)
{
    const Bytes* tone = Tone();
    if (!tone) GTEST_SKIP() << "oggenc is not installed";
    Compressed({tone});
    // A stop replaces the pending play: the channel ends idle without ever playing.
    const int32_t stopped = Audio_PlaySimple(0, 1.0, 1);
    AudioVoice* v = VoiceOf(stopped);
    Audio_StopVoice(v, true);
    OggAudio_RunCycles();
    const SOggChannel* channel = OggAudio.FindChannel(v->sourceIndex, -1);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->state, 0);
    EXPECT_FALSE(channel->busy);
    EXPECT_NE(SourceState(Audio_VoiceSource(v)), AL_PLAYING);
    Audio_Tick();
    EXPECT_FALSE(v->active);
    EXPECT_LT(Render(1024).Max(), kSilent);

    // A voice paused before its thread started it starts paused, and resumes.
    const int32_t paused = Audio_PlaySimple(0, 1.0, 1);
    Audio_PauseSound(paused);
    OggAudio_RunCycles();
    EXPECT_TRUE(Audio_IsPaused(paused));
    EXPECT_LT(Settled(), kSilent);
    Audio_ResumeSound(paused);
    EXPECT_GT(PlayFor(1024), kLoud);
}

TEST_F(OggTest, ADestroyedStreamStopsItsVoicesAndGoesOnceItsChannelLetsGo)
{
    const Bytes* tone = Tone();
    if (!tone) GTEST_SKIP() << "oggenc is not installed";
    const int32_t stream = Stream(*tone);
    const int32_t voice = Audio_PlaySimple(stream, 1.0, 1);
    OggAudio_RunCycles();
    EXPECT_GT(PlayFor(1024), kLoud);

    EXPECT_EQ(Audio_DestroyStream(stream), 1);
    EXPECT_EQ(Audio_GetSound(stream), nullptr);
    Audio_Tick();  // the channel is still busy with it: the record stays
    EXPECT_NE(Audio_TableSound(AudioTable::Stream, 0), nullptr);
    OggAudio_RunCycles();
    Audio_Tick();
    EXPECT_EQ(Audio_TableSound(AudioTable::Stream, 0), nullptr);
    EXPECT_FALSE(Audio_IsPlaying(voice));
    EXPECT_LT(Settled(), kSilent);

    EXPECT_EQ(Audio_DestroyStream(stream), -1);
    EXPECT_EQ(Audio_DestroyStream(400001), -1);
    EXPECT_NE(log.Text().find("audio_destroy_stream : Invalid stream id: 400001"), std::string::npos);
    EXPECT_EQ(Audio_CreateStream("missing.ogg"), -1);
    EXPECT_NE(log.Text().find("could not file file 'missing.ogg'"), std::string::npos);
    // The freed slot is taken again.
    EXPECT_EQ(Stream(*tone), stream);
}

TEST_F(OggTest, BrokenAndEmptyOggsEndTheirChannelInsteadOfSpinning)
{
    const Bytes* empty = Empty();
    if (!empty) GTEST_SKIP() << "oggenc is not installed";
    const Bytes junk = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
    Compressed({empty, &junk});
    for (int32_t sound : {0, 1}) {
        const int32_t voice = Audio_PlaySimple(sound, 1.0, 1);  // looping: a read of 0 must not rewind forever
        OggAudio_RunCycles();
        Audio_Tick();
        EXPECT_FALSE(VoiceOf(voice)->active) << sound;
    }
    Audio_Tick();
    EXPECT_NE(log.Text().find("ov_open_callbacks error"), std::string::npos) << log.Text();
    EXPECT_LT(Render(1024).Max(), kSilent);
}

TEST_F(OggTest, SourcesMapOntoThreadsAndChannelsInFours)
{
    ASSERT_EQ(Audio_GetSourceCount(), 128);
    const struct {
        int32_t source, thread, channel;
    } cases[] = {{0, 0, 0}, {5, 1, 1}, {127, 3, 31}, {64, 0, 16}};
    for (const auto& c : cases) {
        int32_t channel = -1;
        const SOggThread* t = OggAudio.ThreadOf(c.source, &channel);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t - OggAudio.threads, c.thread) << c.source;
        EXPECT_EQ(channel, c.channel) << c.source;
        EXPECT_EQ(t->channels[channel].sourceIndex, c.source);
        EXPECT_EQ(t->channels[channel].source, Audio_SourceAt(c.source));
    }
    int32_t channel = 0;
    EXPECT_EQ(OggAudio.ThreadOf(128, &channel), nullptr);
}

TEST_F(OggTest, OnRealThreadsAVoicePlaysAndItsEndFreesIt)
{
    const Bytes* tone = Tone();
    if (!tone) GTEST_SKIP() << "oggenc is not installed";
    OggAudio.threadless = false;
    Compressed({tone});
    const int32_t voice = Audio_PlaySimple(0, 1.0, 0);
    const ALuint source = Audio_VoiceSource(VoiceOf(voice));
    ASSERT_TRUE(WaitFor([&] { return SourceState(source) == AL_PLAYING; }));
    EXPECT_GT(Render(2048).Max(), kLoud);
    // The whole sound, each piece mixed once the thread has refilled behind it.
    for (int done = 2048; done < kToneFrames + 4096; done += 2048) {
        ASSERT_TRUE(WaitFor([&] {
            ALint processed = 0;
            alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
            return processed == 0;
        }));
        Render(2048);
    }
    ASSERT_TRUE(WaitFor([&] {
        Audio_Tick();
        return !VoiceOf(voice)->active;
    }));
    EXPECT_LT(Render(1024).Max(), kSilent);
}

TEST(OggSyncMix, SumsClipAndGainsRampAcrossTheBlock)
{
    const struct {
        int16_t dest, sample;
        float g0, g1;
        int32_t first, total;
        int16_t result;
    } cases[] = {
        {30000, 30000, 1, 1, 0, 1, 32767},
        {-30000, -30000, 1, 1, 0, 1, -32767},  // not -32768
        {-32767, -32767, 1, 1, 0, 1, -32767},
        {100, 1000, 0, 1, 0, 4, 100},           // the ramp starts at g0...
        {100, 1000, 0, 1, 2, 4, 600},           // ...is halfway in the block's middle...
        {0, 1000, 0, 1, 3, 4, 750},             // ...and stops one step short of g1
        {0, 1001, 0.5f, 0.5f, 0, 1, 500},       // truncated toward zero
        {0, -1001, 0.5f, 0.5f, 0, 1, -500},
    };
    for (const auto& c : cases) {
        int16_t dest = c.dest;
        OggSync_Mix(&dest, &c.sample, 1, c.g0, c.g1, c.first, c.total);
        EXPECT_EQ(dest, c.result) << c.dest << " + " << c.sample << " at " << c.first << "/" << c.total;
    }
    // One call over a block ramps sample by sample.
    int16_t block[4] = {};
    const int16_t ones[4] = {1000, 1000, 1000, 1000};
    OggSync_Mix(block, ones, 4, 0.0f, 1.0f, 0, 4);
    EXPECT_EQ((std::vector<int16_t>(block, block + 4)), (std::vector<int16_t>{0, 250, 500, 750}));
}

TEST_F(OggTest, TracksOfAGroupStayAlignedAndTheShorterWraps)
{
    // Stereo: the long track bursts on the left every 5000 frames, the short
    // one (3000 frames long) on the right at its start.
    const Bytes* longer = Ogg("long", [] { return Bursts(20000, 5000, {1, 0}); }, 2);
    const Bytes* shorter = Ogg("short", [] { return Bursts(3000, 3000, {0, 1}); }, 2);
    if (!longer || !shorter) GTEST_SKIP() << "oggenc is not installed";
    Compressed({longer, shorter});
    const int32_t group = Audio_CreateSyncGroup(true);
    ASSERT_GE(group, 0);
    EXPECT_EQ(Audio_PlayInSyncGroup(group, 0), 0);
    EXPECT_EQ(Audio_PlayInSyncGroup(group, 1), 1);
    Audio_StartSyncGroup(group);
    EXPECT_TRUE(Audio_SyncGroupIsPlaying(group));
    OggAudio_RunCycles();

    // The first two blocks are mixed: 8192 stereo frames.
    const SOggSyncGroup* g = OggAudio.SyncGroup(group);
    ASSERT_EQ(g->blockFrames, 4096);
    auto level = [&](int side, int from, int to) {
        int peak = 0;
        for (int f = from; f < std::min(to, 2 * 4096); ++f) {
            const int16_t* block = g->mix[f / 4096];
            peak = std::max(peak, std::abs(static_cast<int>(block[(f % 4096) * 2 + side])));
        }
        return peak;
    };
    for (int burst : {0, 5000}) {
        EXPECT_GT(level(0, burst + 30, burst + 170), kLoud) << burst;
        EXPECT_LT(level(0, burst + 600, burst + 3000), kLoud / 4) << burst;
    }
    for (int burst : {0, 3000, 6000}) {
        EXPECT_GT(level(1, burst + 30, burst + 170), kLoud) << burst;
        EXPECT_LT(level(1, burst + 600, burst + 2400), kLoud / 4) << burst;
    }

    // The overlay's panel: two blocks queued, the short track 8192 % 3000 frames in.
    Audio_SetSyncGroupDebug(group);
    EXPECT_EQ(DebugFlags, 32u);
    AudioSyncGroupState panel;
    ASSERT_TRUE(Audio_SyncGroupDebugState(&panel));
    EXPECT_EQ(panel.count, 2);
    EXPECT_EQ(panel.queued, 2);
    EXPECT_EQ(panel.sourceState, AudioSyncGroupState::kPlaying);
    AudioSyncTrackState track;
    ASSERT_TRUE(Audio_SyncGroupDebugTrack(1, &track));
    EXPECT_EQ(track.totalSamples, 3000);
    EXPECT_EQ(track.position, 8192 % 3000);
    EXPECT_EQ(track.rate, kRate);
    EXPECT_FALSE(Audio_SyncGroupDebugTrack(2, &track));
    Audio_SetSyncGroupDebug(-1);
    EXPECT_EQ(DebugFlags, 0u);
    EXPECT_FALSE(Audio_SyncGroupDebugState(&panel));

    // The position counts what the source has played, not what is queued ahead.
    EXPECT_EQ(Audio_GetSyncGroupTrackPos(group), 0.0);
    PlayFor(5120);
    EXPECT_NEAR(Audio_GetSyncGroupTrackPos(group), 5120.0 / kRate, 600.0 / kRate);
    EXPECT_GT(Render(512).Max(), 0);

    Audio_StopSyncGroup(group);
    OggAudio_RunCycles();
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(group));
    EXPECT_LT(Settled(), kSilent);
}

TEST_F(OggTest, GroupsRefuseWhatTheyCannotPlay)
{
    const Bytes* tone = Tone();
    const Bytes* empty = Empty();
    if (!tone || !empty) GTEST_SKIP() << "oggenc is not installed";
    Compressed({tone, empty});
    const int32_t group = Audio_CreateSyncGroup(true);
    for (int32_t i = 0; i < 32; ++i) ASSERT_EQ(Audio_PlayInSyncGroup(group, i == 5 ? 1 : 0), i);
    // A full group's answer must not look like a channel.
    EXPECT_EQ(Audio_PlayInSyncGroup(group, 0), -1);
    EXPECT_NE(log.Text().find("Too many sounds added to sync group, not adding this one."), std::string::npos);

    EXPECT_EQ(Audio_GetSyncGroupTrackPos(group + 1), -1.0);
    EXPECT_EQ(Audio_PlayInSyncGroup(group + 1, 0), -1);
    EXPECT_EQ(Audio_PlayInSyncGroup(group, 7), -1);
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(group + 1));

    // The empty track (0 samples) neither divides by zero nor spins; the others play.
    Audio_StartSyncGroup(group);
    OggAudio_RunCycles();
    EXPECT_FALSE(OggAudio.SyncGroup(group)->channels[5].busy);
    EXPECT_GT(PlayFor(4096), kLoud);

    const ALuint source = OggAudio.SyncGroup(group)->source;
    Audio_DestroySyncGroup(group);
    EXPECT_EQ(OggAudio.SyncGroup(group), nullptr);
    EXPECT_FALSE(alIsSource(source));  // the group's source goes with it
    EXPECT_LT(Settled(), kSilent);
}

TEST_F(OggTest, OnItsRealThreadAGroupPlaysAndIsJoinedWhenDestroyed)
{
    const Bytes* tone = Tone();
    if (!tone) GTEST_SKIP() << "oggenc is not installed";
    OggAudio.threadless = false;
    const int32_t stream = Stream(*tone);
    const int32_t group = Audio_CreateSyncGroup(false);
    EXPECT_EQ(Audio_PlayInSyncGroup(group, stream), 0);
    Audio_StartSyncGroup(group);
    const ALuint source = OggAudio.SyncGroup(group)->source;
    ASSERT_TRUE(WaitFor([&] { return SourceState(source) == AL_PLAYING; }));
    EXPECT_GT(Render(4096).Max(), kLoud);
    EXPECT_NEAR(Audio_GetSyncGroupTrackPos(group), 4096.0 / kRate, 1e-3);
    Audio_DestroySyncGroup(group);
    EXPECT_EQ(OggAudio.SyncGroup(group), nullptr);
    EXPECT_LT(Settled(), kSilent);
}

TEST_F(OggTest, QueueIdsFindTheirVoiceBySound)
{
    // A queue whose voice gets one block of a tone queued on its source by hand.
    const int32_t queue = Audio_AddTableSound(AudioTable::Queue, new AudioSound);
    ASSERT_EQ(queue, kAudioQueueIdBase);
    const int32_t first = Audio_PlaySimple(queue, 1.0, 0);
    AudioVoice* v = VoiceOf(first);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(Audio_FindVoiceBySound(queue), v);
    const Samples tone = audiotest::Square(kRate, {1});
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, tone.data(), static_cast<ALsizei>(tone.size() * 2), kRate);
    alSourceQueueBuffers(Audio_VoiceSource(v), 1, &buffer);
    // Its source is stopped, but it holds buffers: another sound gets a voice of its own.
    const int32_t other = Audio_AddTableSound(AudioTable::Queue, new AudioSound);
    EXPECT_NE(VoiceOf(Audio_PlaySimple(other, 1.0, 0)), v);

    // Playing the queue again starts the same voice; while it plays, a play is refused.
    const int32_t second = Audio_PlaySimple(queue, 1.0, 0);
    EXPECT_EQ(VoiceOf(second), v);
    EXPECT_EQ(Audio_PlaySimple(queue, 1.0, 0), -1);
    EXPECT_GT(Render(2048).Max(), kLoud);
    EXPECT_NEAR(Audio_GetTrackPos(queue), 2048.0 / kRate, 1e-3);
    Audio_SetTrackPos(queue, 0.0);
    EXPECT_NE(log.Text().find("audio_sound_set_track_position not supported on sound queues"), std::string::npos);

    Audio_SetDebug(true);
    EXPECT_EQ(DebugFlags, 16u);
    Audio_SetDebug(false);
    EXPECT_EQ(DebugFlags, 0u);
    Audio_StopAll(1);
    alDeleteBuffers(1, &buffer);
}
