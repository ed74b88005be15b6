// Buffer sounds and play queues on the loopback device: time advances only as
// the test mixes, and the playback events are collected from the request list.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Network/Async_Requests.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Voice.h"
#include "support/AsyncEvents.h"
#include "support/AudioFixtures.h"

namespace {
using audiotest::kRate;

struct AudioBufferSoundTest : audiotest::LoopbackTest {
    std::vector<int> buffers;

    void SetUp() override
    {
        audiotest::LoopbackTest::SetUp();
        // Results an earlier test left on the list are not this test's.
        Async_FreeRequests();
        asyncevents::Events.clear();
    }
    void TearDown() override
    {
        audiotest::LoopbackTest::TearDown();
        for (int b : buffers) Buffer_Delete(b);
        Async_FreeRequests();
        asyncevents::Events.clear();
    }
    // A buffer of bytes bytes of a loud square wave (unsigned 8-bit, or
    // signed 16-bit when the byte count is taken two at a time).
    int MakeBuffer(int32_t bytes, bool s16 = false)
    {
        const int b = Buffer_Create(bytes, eBuffer_Fixed, 1);
        std::vector<uint8_t> data(static_cast<size_t>(bytes));
        for (int32_t i = 0; i < bytes; ++i) {
            const bool high = (i / (s16 ? 50 : 25)) % 2 != 0;
            data[static_cast<size_t>(i)] = s16 ? (i % 2 ? (high ? 0x30 : 0xD0) : 0) : (high ? 228 : 28);
        }
        Buffer_Get(b)->LoadFromMemory(data.data(), bytes, 0, bytes, 0);
        buffers.push_back(b);
        return b;
    }
    // Output frames mixed until the voice stops (in steps of 50), at most limit.
    static int FramesUntilStopped(int32_t voiceId, int limit)
    {
        int frames = 0;
        while (Audio_IsPlaying(voiceId) && frames < limit) {
            audiotest::Render(50);
            frames += 50;
        }
        return frames;
    }
    // One frame of the game: the engine's tick, then the request list's walk.
    static void Frame()
    {
        Audio_Tick();
        Async_ProcessRequestList(asyncevents::Fire);
    }
    static std::string Playback(const AsyncEventRecord& e)
    {
        EXPECT_EQ(e.subKind, kAudioPlaybackEvent);
        return e.fields.at("queue_id") + " " + e.fields.at("buffer_id") + " " + e.fields.at("queue_shutdown");
    }
};
}  // namespace

TEST_F(AudioBufferSoundTest, RatesAreClampedAndPlayForTheirLength)
{
    struct Case {
        int32_t rate;
        int32_t bytes;  // 0.1 s at the clamped rate, mono 8-bit
    };
    for (const Case c : {Case{500, 100}, Case{96000, 4800}, Case{8000, 800}}) {
        const int32_t id = Audio_CreateBufferSound(MakeBuffer(c.bytes), kAudioFormatU8, c.rate, 0, 0, 0);
        ASSERT_GE(id, kAudioBufferSoundIdBase) << c.rate;
        EXPECT_NEAR(Audio_GetLength(id), 0.1, 1e-6) << c.rate;
        const int32_t voice = Audio_PlaySimple(id, 1.0, 0);
        EXPECT_GT(audiotest::Render(200).Max(), audiotest::kSilent) << c.rate;
        const int frames = 200 + FramesUntilStopped(voice, kRate);
        EXPECT_NEAR(frames, kRate / 10, 100) << "rate " << c.rate;
        EXPECT_EQ(Audio_FreeBufferSound(id), 1);
    }
}

TEST_F(AudioBufferSoundTest, RangesOfTheBufferAndTheirRefusals)
{
    const int b = MakeBuffer(1000);
    struct Case {
        int32_t format, offset, length, mode;
        double seconds;  // -1: refused
    };
    const Case cases[] = {
        {kAudioFormatU8, 100, 0, 0, 0.9},      // the rest of the buffer
        {kAudioFormatU8, 100, 1000, 0, -1},    // past the end
        {kAudioFormatU8, -5, 0, 0, 1.0},       // a negative offset counts as 0
        {kAudioFormatU8, 0, -1, 0, -1},        // a negative length
        {kAudioFormatU8, 1001, 0, 0, -1},      // the offset past the end
        {kAudioFormatU8, 0, 1000, 1, 0.5},     // stereo: two bytes a frame
        {kAudioFormatS16, 0, 999, 0, 0.499},   // an odd 16-bit length is cut to whole samples
        {kAudioFormatS16, 0, 999, 1, 0.249},   // and stereo to whole frames
        {kAudioFormatU8, 0, 0, 3, -1},         // no such channel mode
        {2, 0, 0, 0, -1},                      // no such format
    };
    for (const Case& c : cases) {
        const int32_t id = Audio_CreateBufferSound(b, c.format, 1000, c.offset, c.length, c.mode);
        if (c.seconds < 0) {
            EXPECT_EQ(id, -1) << c.offset << " " << c.length;
            continue;
        }
        ASSERT_GE(id, kAudioBufferSoundIdBase) << c.offset << " " << c.length;
        EXPECT_NEAR(Audio_GetLength(id), c.seconds, 1e-6) << c.offset << " " << c.length;
        Audio_FreeBufferSound(id);
    }
    EXPECT_NE(std::string(ErrorLast_Get() ? ErrorLast_Get() : ""), "") << "the bad format is reported";
    EXPECT_EQ(Audio_CreateBufferSound(b + 100, kAudioFormatU8, 1000, 0, 0, 0), -1) << "no such buffer";
    const int empty = Buffer_Create(0, eBuffer_Grow, 1);
    buffers.push_back(empty);
    EXPECT_EQ(Audio_CreateBufferSound(empty, kAudioFormatU8, 1000, 0, 0, 0), -1) << "holds no data";
}

TEST_F(AudioBufferSoundTest, ABufferStaysInUseWhileItsSoundsLive)
{
    const int b = MakeBuffer(176400, true);
    const int32_t id = Audio_CreateBufferSound(b, kAudioFormatS16, 44100, 0, 0, 1);
    EXPECT_NEAR(Audio_GetLength(id), 1.0, 1e-6);
    const int32_t second = Audio_CreateBufferSound(b, kAudioFormatS16, 44100, 0, 4, 1);
    EXPECT_EQ(Buffer_Get(b)->inUse, 2);
    const int32_t voice = Audio_PlaySimple(id, 1.0, 1);
    ASSERT_TRUE(Audio_IsPlaying(voice));
    EXPECT_EQ(Audio_FreeBufferSound(id), 1);
    EXPECT_FALSE(Audio_IsPlaying(voice)) << "its voices stop at once";
    EXPECT_EQ(Audio_FreeBufferSound(id), 0);
    EXPECT_EQ(Buffer_Get(b)->inUse, 1);
    EXPECT_EQ(Audio_CreateBufferSound(b, kAudioFormatU8, 1000, 0, 0, 0), id) << "the slot is reused";
    Audio_FreeBufferSound(id);
    Audio_FreeBufferSound(second);
    EXPECT_EQ(Buffer_Get(b)->inUse, 0);
}

TEST_F(AudioBufferSoundTest, AQueuePlaysItsPiecesInOrderAndReportsEach)
{
    const int32_t queue = Audio_CreatePlayQueue(kAudioFormatU8, 11025, 0);
    ASSERT_GE(queue, 200000);
    std::vector<int> pieces;
    int32_t voice = -1;
    for (int i = 0; i < 3; ++i) {
        pieces.push_back(MakeBuffer(551));  // 0.05 s each
        voice = Audio_QueueSound(queue, pieces.back(), 0, 0);
        ASSERT_GT(voice, kAudioVoiceIdBase);
    }
    EXPECT_FALSE(Audio_IsPlaying(voice)) << "queuing does not play";
    EXPECT_EQ(Audio_PlaySimple(queue, 1.0, 0), voice + 1);
    EXPECT_EQ(Audio_PlaySimple(queue, 1.0, 0), -1) << "already playing";
    for (int frame = 0; frame < 40 && asyncevents::Events.size() < 3; ++frame) {
        audiotest::Render(kRate / 60);
        Frame();
    }
    ASSERT_EQ(asyncevents::Events.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Playback(asyncevents::Events[i]),
                  std::to_string(queue) + " " + std::to_string(pieces[i]) + " 0");
        EXPECT_EQ(Buffer_Get(pieces[i])->inUse, 0) << "a played piece is freed";
    }
    EXPECT_EQ(Audio_FreePlayQueue(queue), 1);
    EXPECT_EQ(Audio_FreePlayQueue(queue), 0);
}

TEST_F(AudioBufferSoundTest, FreeingAQueueReportsItsUnplayedPieces)
{
    const int32_t queue = Audio_CreatePlayQueue(kAudioFormatS16, 22050, 1);
    const int a = MakeBuffer(4000, true);
    const int b = MakeBuffer(4000, true);
    Audio_QueueSound(queue, a, 0, 0);
    Audio_QueueSound(queue, b, 0, 0);
    EXPECT_EQ(Audio_FreePlayQueue(queue), 1);
    Frame();
    ASSERT_EQ(asyncevents::Events.size(), 2u);
    EXPECT_EQ(Playback(asyncevents::Events[0]), std::to_string(queue) + " " + std::to_string(a) + " 1");
    EXPECT_EQ(Playback(asyncevents::Events[1]), std::to_string(queue) + " " + std::to_string(b) + " 1");
    EXPECT_EQ(Buffer_Get(a)->inUse + Buffer_Get(b)->inUse, 0);
    EXPECT_EQ(Audio_QueueSound(queue, a, 0, 0), -1) << "the queue is gone";
    EXPECT_EQ(Buffer_Get(a)->inUse, 0);
}

TEST_F(AudioBufferSoundTest, AQueueWithEveryVoiceBusyQueuesNothing)
{
    Audio_SetChannelCount(4);
    const int looped = MakeBuffer(1000);
    const int32_t sound = Audio_CreateBufferSound(looped, kAudioFormatU8, 8000, 0, 0, 0);
    for (int i = 0; i < 4; ++i) ASSERT_GT(Audio_PlaySimple(sound, 10.0, 1), kAudioVoiceIdBase);
    const int32_t queue = Audio_CreatePlayQueue(kAudioFormatU8, 8000, 0);
    const int piece = MakeBuffer(100);
    EXPECT_EQ(Audio_QueueSound(queue, piece, 0, 0), -1);
    EXPECT_EQ(Buffer_Get(piece)->inUse, 0) << "the piece is not kept";
    // A lower priority leaves a voice to take.
    Audio_StopAll(1);
    for (int i = 0; i < 4; ++i) Audio_PlaySimple(sound, 5.0, 1);
    EXPECT_GT(Audio_QueueSound(queue, piece, 0, 0), kAudioVoiceIdBase);
    EXPECT_EQ(Buffer_Get(piece)->inUse, 1);
    Audio_FreePlayQueue(queue);
    Audio_FreeBufferSound(sound);
}
