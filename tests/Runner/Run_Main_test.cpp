#include <gtest/gtest.h>

#include "Base/Timing.h"
#include "Object/Room_Class.h"
#include "Runner/GameHeader.h"
#include "Runner/Run_Main.h"

TEST(FramePacing, WaitIsTheFrameShareLessTheTimeSpentClampedToOneSecond)
{
    struct Case {
        double rate;
        int64_t elapsed;
        int64_t wait;
    };
    const Case cases[] = {
        {30, 10000, 23333},     // room speed 30, a 10 ms step
        {60, 0, 16666},
        {60, 50000, 0},         // a long frame waits nothing
        {0.5, 0, 1000000},      // never more than a second
        {0, 0, 0},              // unpaced
        {-5, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Run_FrameWait(c.rate, c.elapsed), c.wait) << c.rate << " " << c.elapsed;
}

TEST(FramePacing, TargetRateComesFromTheRoomOrTheGameSpeed)
{
    CGameRoom room;
    Run_Room = &room;
    LayerMode = false;
    room.speed = 0;
    EXPECT_EQ(Run_TargetRate(), 1);  // repaired in the room record
    EXPECT_EQ(room.speed, 1);
    room.speed = 30;
    EXPECT_EQ(Run_TargetRate(), 30);
    Run_Room = nullptr;
    EXPECT_EQ(Run_TargetRate(), 60);

    LayerMode = true;
    GameFrameTimer.SetFPS(0);
    EXPECT_EQ(Run_TargetRate(), 0);
    EXPECT_EQ(Run_FrameWait(Run_TargetRate(), 0), 0);
    GameFrameTimer.SetFPS(59.9);
    EXPECT_EQ(Run_TargetRate(), 59);
    // A game speed between 0 and 1 paces at the longest wait, without dividing by zero.
    GameFrameTimer.SetFPS(0.5);
    EXPECT_EQ(Run_FrameWait(Run_TargetRate(), 0), 1000000);
}
