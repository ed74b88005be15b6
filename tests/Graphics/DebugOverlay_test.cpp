#include "Graphics/DebugOverlay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/IO_Main.h"
#include "Options/Runner_Options.h"
#include "support/GpuTestFrame.h"

namespace {
struct OverlayTest : ::testing::Test {
    void SetUp() override
    {
        DebugFrameRate = FrameRateStats{};
        DrawnFrameCount = 0;
        DebugFlags = 0;
    }
    void TearDown() override { DebugFlags = 0; }
};

constexpr TapEntry kSequence[] = {{2, 7, 1}, {4, 1, 0}, {8, 3, 1}};
}  // namespace

TEST_F(OverlayTest, AFrameKeepsTheFirst1024MarkersWithTotalFirstAndPopsOnlyOpenOnes)
{
    Timing_Reset();
    for (int i = 0; i < 1100; ++i) Timing_Push(0xFF00FF00u, "Many");
    EXPECT_EQ(Timing_MarkerCount(), TIMING_MARKER_LIMIT);
    EXPECT_STREQ(Timing_Markers()[0].name, "Total");
    EXPECT_EQ(Timing_Markers()[0].colour, 0xFF000080u);

    Timing_Reset();
    Timing_Push(1, "inner");
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Timing_Pop();
    const TimingMarker inner = Timing_Markers()[1];
    EXPECT_GE(inner.end - inner.start, 2000u);
    EXPECT_EQ(Timing_Markers()[0].end, Timing_Markers()[0].start) << "Total is still open";
    Timing_Pop();
    EXPECT_GE(Timing_Markers()[0].end, inner.end);
    Timing_Pop();  // none open: nothing changes
    EXPECT_EQ(Timing_Markers()[1].end, inner.end);
    EXPECT_EQ(Timing_MarkerCount(), 2);
}

TEST_F(OverlayTest, TheRateAddsThePresentTimeAndStatisticsStartAfterAHundredFrames)
{
    EXPECT_EQ(DebugOverlay_CountFrame(16666, 0), 60);
    EXPECT_EQ(DebugOverlay_CountFrame(16666, 1000), 56);
    EXPECT_NEAR(DebugFrameRate.real, 60.0f, 0.01f) << "the real rate leaves the present time out";
    EXPECT_GT(DebugOverlay_CountFrame(0, 0), 0) << "a frame of no measured time is counted, not divided by";
    for (int i = DrawnFrameCount; i <= 100; ++i) DebugOverlay_CountFrame(10000, 0);
    EXPECT_EQ(DebugFrameRate.minimum, 2147483647);
    EXPECT_EQ(DebugFrameRate.maximum, -2147483647 - 1);
    EXPECT_EQ(DebugFrameRate.average, 30);
    DebugOverlay_CountFrame(20000, 0);  // the 102nd frame is the first considered
    EXPECT_EQ(DebugFrameRate.minimum, 50);
    EXPECT_EQ(DebugFrameRate.maximum, 50);
    EXPECT_EQ(DebugFrameRate.average, 40);
    DebugOverlay_CountFrame(10000, 0);
    EXPECT_EQ(DebugFrameRate.minimum, 50);
    EXPECT_EQ(DebugFrameRate.maximum, 100);
    EXPECT_EQ(DebugFrameRate.average, 70);
}

TEST_F(OverlayTest, TapsFollowTheSequenceAMissRestartsAndOffGridTapsAreIgnored)
{
    // A 100 x 100 window: a cell is 10 units.
    int32_t position = 0;
    EXPECT_FALSE(DebugOverlay_Tap(&position, kSequence, 3, 25, 75, 100, 100));
    EXPECT_EQ(position, 1);
    EXPECT_FALSE(DebugOverlay_Tap(&position, kSequence, 3, 150, 15, 100, 100));
    EXPECT_EQ(position, 1) << "off the grid: neither advanced nor reset";
    EXPECT_FALSE(DebugOverlay_Tap(&position, kSequence, 3, 25, 75, 100, 100));
    EXPECT_EQ(position, 0) << "a miss resets even when it matches the first entry";
    EXPECT_FALSE(DebugOverlay_Tap(&position, kSequence, 3, 35, 65, 100, 100));  // within tolerance 1
    EXPECT_FALSE(DebugOverlay_Tap(&position, kSequence, 3, 45, 15, 100, 100));
    EXPECT_TRUE(DebugOverlay_Tap(&position, kSequence, 3, 89, 39, 100, 100));
    EXPECT_EQ(position, 0);
}

TEST_F(OverlayTest, TabsMoveThePenToTheNextMultipleOf64)
{
    EXPECT_EQ(DebugText_TabStop(70), 128);
    EXPECT_EQ(DebugText_TabStop(64), 64);
    EXPECT_EQ(DebugText_TabStop(0), 0);
    EXPECT_EQ(DebugText_Width("AB", 1), DebugText_Width("A", 10));
}

TEST_F(OverlayTest, TheBarsShowEachMarkerInItsColourOverTheEarlierOnes)
{
    GpuTestFrame frame(256, 64);
    ASSERT_TRUE(frame.ok);
    GR_Window_ClientWidth = 256;
    GR_Window_ClientHeight = 64;
    DebugFlags = 0x02;
    // The markers take the real clock: a loaded machine may oversleep past
    // the bars' width, and the frame is then timed again.
    const TimingMarker* m = nullptr;
    auto at = [&](uint64_t t) { return static_cast<int>(static_cast<float>(t - m[0].start) / TIMING_BAR_SCALE * 256); };
    int totalEnd = 0, updateStart = 0, updateEnd = 0;
    for (int attempt = 0; attempt < 20 && (updateStart <= 4 || totalEnd >= 250); ++attempt) {
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
        Timing_Reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        Timing_Push(0xFF00FF00u, "Update");
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        Timing_Pop();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        DebugOverlay_Draw();
        m = Timing_Markers();
        totalEnd = at(m[0].end), updateStart = at(m[1].start), updateEnd = at(m[1].end);
    }
    ASSERT_GT(updateStart, 4);
    ASSERT_LT(totalEnd, 250);
    const std::vector<uint32_t> pixels = frame.Read();
    auto pixel = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 256 + x]; };
    EXPECT_TRUE(Near(pixel(updateStart / 2, 18), 0xFF000080u, 2)) << std::hex << pixel(updateStart / 2, 18);
    EXPECT_TRUE(Near(pixel((updateStart + updateEnd) / 2, 18), 0xFF00FF00u, 2));
    if (totalEnd + 4 < 250 && totalEnd + 4 != 192) {
        EXPECT_TRUE(Near(pixel(totalEnd + 4, 18), 0xFF000000u, 2)) << "nothing after the frame's end";
    }
    // A tick at three quarters: the line on pixel edge 192 lights one of its two columns.
    EXPECT_TRUE(Near(pixel(191, 9), 0xFFFFFFFFu, 2) || Near(pixel(192, 9), 0xFFFFFFFFu, 2))
        << std::hex << pixel(191, 9) << " " << pixel(192, 9) << " " << pixel(192, 12) << " " << pixel(191, 12);
    EXPECT_TRUE(Near(pixel(224, 9), 0xFF000000u, 2));
    EXPECT_TRUE(Near(pixel(128, 40), 0xFF000000u, 2)) << "the bars end at 20";
    // The rate line's white glyphs above the bars, from the overlay font.
    int lit = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 60; ++x) lit += Near(pixel(x, y), 0xFFFFFFFFu, 8) ? 1 : 0;
    }
    EXPECT_GT(lit, 10);
}

TEST_F(OverlayTest, ThePanelSwitchesAnswerReleasesInsideThemAndCloseShutsThePanel)
{
    GpuTestFrame frame(320, 120);
    ASSERT_TRUE(frame.ok);
    GR_Window_ClientWidth = 320;
    GR_Window_ClientHeight = 120;
    struct Release {
        int32_t x, y;
        uint32_t flagsAfter;
    };
    const Release releases[] = {
        {11, 11, 0x0B},   // FPS on
        {10, 31, 0x0B},   // x 10 is not inside the AUDIO switch
        {11, 31, 0x1B},   // AUDIO on
        {73, 25, 0x19},   // FPS off at the switch's far corner
        {250, 85, 0x10},  // CLOSE: panel and expansion go
    };
    DebugFlags = 0x09;
    for (const Release& r : releases) {
        SCOPED_TRACE(r.x * 1000 + r.y);
        IO_Input.mouseX = r.x;
        IO_Input.mouseY = r.y;
        IO_Input.buttonReleased[0] = 1;
        GR_D3D_Clear(0xFFFFFFFFu, 1.0f, 0, CLEAR_COLOUR);
        DebugOverlay_Draw();
        EXPECT_EQ(DebugFlags, r.flagsAfter);
        // The panel darkens the window's top 100 rows to a quarter.
        const uint32_t inside = frame.Pixel(300, 60) & 0xFFFFFFu, below = frame.Pixel(300, 110) & 0xFFFFFFu;
        EXPECT_TRUE(Near(inside, (DebugFlags & 0x01) ? 0x3F3F3Fu : 0xFFFFFFu, 3)) << std::hex << inside;
        EXPECT_EQ(below, 0xFFFFFFu);
    }
    IO_Input.buttonReleased[0] = 0;
}
