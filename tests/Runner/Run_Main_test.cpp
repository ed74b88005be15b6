#include <gtest/gtest.h>

#include <vector>

#include "Base/Timing.h"
#include "Host/Host_GPU.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Main.h"
#include "Runner/Runner_Entry.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"
#include "support/GpuTestFrame.h"

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

namespace {
// Frames of a small world on the software device: one instance whose step
// event runs code 0, in a room of a chosen speed.
struct RunFrameTest : WorldFixture {
    GpuTestFrame frame{32, 32};
    const bool pacing = FramePacing;

    void SetUp() override
    {
        WorldFixture::SetUp();
        ASSERT_TRUE(frame.ok);
        const int32_t object = NewObject();
        eventmodule::SetHandler(Object_Get(object), EVENT_STEP, 0, 0);
        Object_BuildEventLists();
        room.CreateInstance(0, 0, object);
        FramePacing = true;
        MainLoopRunning = 1;
        Run_EnterMainLoop();
    }
    void TearDown() override
    {
        FramePacing = pacing;
        DebuggerPause = false;
        MainLoopRunning = 0;
        Object_FreeEventLists();
        WorldFixture::TearDown();
    }
};
}  // namespace

TEST_F(RunFrameTest, FrameRateIsCountedOncePerClockSecond)
{
    room.speed = 50;
    const uint64_t start = Timing_Microseconds() / 1000000;
    std::vector<int32_t> shown{fps};  // each new value of fps
    std::vector<int32_t> framesInSecond(5, 0);
    int32_t countedBeforeChange = -1;  // the frames run in the second before the last change
    while (Timing_Microseconds() / 1000000 < start + 3) {
        Run_Frame();  // paces first, then counts the frame in the second it steps in
        const uint64_t second = Timing_Microseconds() / 1000000 - start;
        if (second >= framesInSecond.size()) break;
        ++framesInSecond[second];
        if (fps != shown.back()) {
            shown.push_back(fps);
            countedBeforeChange = second > 0 ? framesInSecond[second - 1] : -1;
        }
    }
    // Three clock seconds began: at most three new values, paced at the room speed.
    EXPECT_LE(shown.size(), 4u);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_LE(shown.back(), 51);
    // The value shown is the count of the frames of the second before (a frame
    // may straddle the boundary between our clock reading and the runner's).
    if (countedBeforeChange >= 0) {
        EXPECT_NEAR(shown.back(), countedBeforeChange, 1);
    }
}

TEST_F(RunFrameTest, FramesWithoutDrawingAreNotPresentedAndAnEndRequestStopsTheLoop)
{
    FramePacing = false;
    Run_Frame();
    EXPECT_GT(HGPU_PresentCount(), 0u);
    ASSERT_EQ(eventmodule::Trace.size(), 1u);
    DrawEventsEnabled = false;
    uint64_t presented = HGPU_PresentCount();
    Run_Frame();
    DrawEventsEnabled = true;
    EXPECT_EQ(HGPU_PresentCount(), presented);
    EXPECT_EQ(eventmodule::Trace.size(), 2u);
    eventmodule::Hooks[0] = [](CInstance*, CInstance*) { PendingRoomCode = ROOMCODE_END; };
    Run_Frame();
    EXPECT_EQ(eventmodule::Trace.size(), 3u);
    EXPECT_EQ(MainLoopRunning, 0);
    presented = HGPU_PresentCount();
    Run_Frame();  // the loop has ended: nothing more is stepped or presented
    EXPECT_EQ(eventmodule::Trace.size(), 3u);
    EXPECT_EQ(HGPU_PresentCount(), presented);
}

TEST_F(RunFrameTest, ADebuggerPauseKeepsThePaceButRunsNoStep)
{
    room.speed = 100;  // 10 ms a frame
    DebuggerPause = true;
    const uint64_t presented = HGPU_PresentCount();
    const uint64_t begin = Timing_Microseconds();
    for (int i = 0; i < 4; ++i) Run_Frame();
    EXPECT_GE(Timing_Microseconds() - begin, 30000u);
    EXPECT_TRUE(eventmodule::Trace.empty());
    EXPECT_EQ(HGPU_PresentCount(), presented);
    EXPECT_EQ(MainLoopRunning, 1);
    DebuggerPause = false;
    Run_Frame();
    EXPECT_EQ(eventmodule::Trace.size(), 1u);
}
