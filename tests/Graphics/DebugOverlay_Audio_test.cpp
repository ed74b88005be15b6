// The overlay's audio displays read back from the software device, with the
// audio engine on the loopback device (its sources advance only as the test mixes).
#include <gtest/gtest.h>

#include <AL/al.h>

#include <vector>

#include "GameData/GameOptions.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Main.h"
#include "support/AudioFixtures.h"
#include "support/GpuTestFrame.h"

namespace {
constexpr int kWidth = 640, kHeight = 160;
constexpr int kSoundFrames = 4410;  // 16-bit mono: 8820 bytes

struct AudioOverlayTest : ::testing::Test {
    GpuTestFrame frame{kWidth, kHeight};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        GR_Window_ClientWidth = kWidth;
        GR_Window_ClientHeight = kHeight;
        GameOptions.newAudioEngine = true;
        ASSERT_TRUE(SoundHardware_CreateLoopback(audiotest::kRate));
        ASSERT_TRUE(Audio_IsOn());
    }
    void TearDown() override
    {
        DebugFlags = 0;
        SoundHardware_Destroy();
        GameOptions.newAudioEngine = false;
    }
    // Asset sound 0: a looping square wave in one buffer.
    static void AddSound()
    {
        const std::vector<int16_t> samples = audiotest::Square(kSoundFrames, {1});
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, samples.data(), static_cast<ALsizei>(samples.size() * 2),
                     audiotest::kRate);
        ASSERT_EQ(alGetError(), AL_NO_ERROR);
        auto* sound = new AudioSound;
        sound->alBuffer = static_cast<int32_t>(buffer);
        ASSERT_TRUE(Audio_SetAssetCount(1));
        Audio_SetAsset(0, sound, "tone");
    }
    std::vector<uint32_t> Draw(uint32_t flags)
    {
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
        DebugFlags = flags;
        DebugOverlay_Draw();
        return frame.Read();
    }
    // Pixels near the colour in the rectangle [x0, x1) x [y0, y1).
    static int Count(const std::vector<uint32_t>& pixels, int x0, int y0, int x1, int y1, uint32_t colour)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) n += Near(pixels[static_cast<size_t>(y) * kWidth + x], colour, 8) ? 1 : 0;
        }
        return n;
    }
};
}  // namespace

TEST_F(AudioOverlayTest, APlayingSourceGetsARowWithItsBufferBoxAndPlayPoint)
{
    AddSound();
    ASSERT_GT(Audio_PlaySimple(0, 1.0, 1), kAudioVoiceIdBase);
    audiotest::Render(kSoundFrames * 4 / 5);  // 80% through the buffer

    // Glyphs advance 12: "MMMMMMMM" is 96, "MMM" 36, "MMMMM" 60; the boxes start at 430.
    const int line = DebugOverlay_LineHeight(), box = 430;
    ASSERT_EQ(line, 18);
    const std::vector<uint32_t> pixels = Draw(0x10);
    EXPECT_GT(Count(pixels, 10, 100, 96, 100 + line, 0xFFFFFFFFu), 10) << "the source's name";
    EXPECT_GT(Count(pixels, box + 40, 100, box + 60, 100 + line, 0xFF0000FFu), 5) << "buffer 0's number";
    // The box: white, 100 wide, one line high, with the red mark at 80 of its 100.
    EXPECT_TRUE(Near(pixels[static_cast<size_t>(100 + line - 1) * kWidth + box + 5], 0xFFFFFFFFu, 8));
    EXPECT_TRUE(Near(pixels[static_cast<size_t>(100 + line - 1) * kWidth + box + 95], 0xFFFFFFFFu, 8));
    EXPECT_EQ(Count(pixels, box + 100, 100, kWidth, 100 + line, 0xFFFFFFFFu), 0) << "one queued buffer, one box";
    int mark = -1;
    for (int x = box; x < box + 100; ++x) {
        if (Near(pixels[static_cast<size_t>(100 + line - 1) * kWidth + x], 0xFF0000FFu, 8)) mark = x - box;
    }
    EXPECT_NEAR(mark, 80, 1);
    EXPECT_EQ(Count(pixels, 0, 100 + line, kWidth, kHeight, 0xFFFFFFFFu), 0) << "the idle sources have no row";
    EXPECT_EQ(Count(pixels, 0, 0, kWidth, 100, 0xFFFFFFFFu), 0) << "rows start at 100";

    Audio_PauseAll();
    const std::vector<uint32_t> paused = Draw(0x10);
    EXPECT_EQ(Count(paused, 0, 0, kWidth, kHeight, 0xFFFFFFFFu), 0) << "a paused source has no row";
}

TEST_F(AudioOverlayTest, TheSyncGroupPanelShowsTheirCount)
{
    const std::vector<uint32_t> pixels = Draw(0x20);
    const int width = DebugText_Width("Audio Sync Count 0", 100);
    EXPECT_GT(Count(pixels, 10, 100, 10 + width, 100 + DebugOverlay_LineHeight(), 0xFFFFFFFFu), 50);
    EXPECT_EQ(Count(pixels, 10 + width, 0, kWidth, kHeight, 0xFFFFFFFFu), 0);
    EXPECT_EQ(Count(pixels, 0, 0, kWidth, 99, 0xFFFFFFFFu), 0);
}
