#include <gtest/gtest.h>

#include "Base/Timing.h"

TEST(Timing, NothingToWaitReturnsZero)
{
    EXPECT_EQ(Timing_SleepMicroseconds(0), 0u);
    EXPECT_EQ(Timing_SleepMicroseconds(-5), 0u);
}

TEST(Timing, SleepReturnsAReadingAtOrPastTheDeadline)
{
    Timing_Init();
    const uint64_t before = Timing_Microseconds();
    const uint64_t end = Timing_SleepMicroseconds(1500);
    EXPECT_GE(end, before + 1500);
    EXPECT_LE(end, Timing_Microseconds());
}

TEST(Timing, TheTimerWaitLeavesTheMarginToSpin)
{
    struct Case {
        int64_t duration;
        int32_t margin;
        int64_t timerMs;
    };
    const Case cases[] = {
        {12000, 10, 2},      // 2 ms timer, 10 ms spin
        {8000, 10, 0},       // all spin
        {10999, 10, 0},      // whole milliseconds only
        {5000000, 10, 2990}, // longer sleeps are cut to 3 s
        {12000, 0, 12},
        {12000, -50, 12},    // a negative margin never extends the timer past the deadline
    };
    for (const Case& c : cases)
        EXPECT_EQ(Timing_CoarseWaitMilliseconds(c.duration, c.margin), c.timerMs) << c.duration << " " << c.margin;
}

TEST(FrameTimer, WithATargetRateStepsAreFixed)
{
    FrameTimer timer;
    timer.SetFPS(60);
    const int64_t start = timer.lastTimestamp;
    for (int i = 0; i < 3; ++i) timer.Tick();
    EXPECT_EQ(timer.lastTimestamp, start + 3 * 16666);
    EXPECT_EQ(timer.lastDelta, 16666);
    EXPECT_EQ(timer.accumulated, 3 * 16666);
    EXPECT_EQ(timer.GetFPS(), 60.0);

    timer.paused = true;
    timer.Tick();
    EXPECT_EQ(timer.accumulated, 3 * 16666) << "paused time is not accumulated";
    EXPECT_EQ(timer.lastTimestamp, start + 4 * 16666);

    timer.SetFPS(30);
    EXPECT_FALSE(timer.paused);
    EXPECT_EQ(timer.accumulated, 0);
    timer.Tick();
    EXPECT_EQ(timer.lastDelta, 33333);

    timer.SetFPS(1e-300);  // a vanishing rate steps one day, not past the integer range
    timer.Tick();
    EXPECT_EQ(timer.lastDelta, 86400LL * 1000000);
}

TEST(FrameTimer, WithoutARateItFollowsTheClock)
{
    FrameTimer timer;
    EXPECT_EQ(timer.GetFPS(), 30.0) << "a fresh timer";
    timer.SetFPS(0);
    EXPECT_EQ(timer.lastTimestamp, 0);
    const uint64_t before = Timing_Microseconds();
    timer.Tick();
    const uint64_t after = Timing_Microseconds();
    EXPECT_GE(timer.lastTimestamp, static_cast<int64_t>(before));
    EXPECT_LE(timer.lastTimestamp, static_cast<int64_t>(after));
    const int64_t previous = timer.lastTimestamp;
    timer.Reset();
    EXPECT_EQ(timer.accumulated, 0);
    EXPECT_EQ(timer.lastTimestamp, 0);
    timer.Tick();
    EXPECT_GE(timer.lastTimestamp, previous);
}

TEST(FrameTimer, TheGameTimerStartsWithoutARate)
{
    EXPECT_EQ(GameFrameTimer.targetRate, 0.0);
    EXPECT_EQ(GameFrameTimer.GetFPS(), 30.0);
}
