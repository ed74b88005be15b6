// Room and game requests through the pending room code, and sleep.
#include <chrono>

#include "World/Room_Main.h"
#include "World/Run_CommandRoom.h"
#include "World/WorldFixture.h"

namespace {
struct RoomCommands : WorldFixture {
    int32_t& index = ::room;
    int32_t savedIndex = ::room;

    void SetUp() override
    {
        WorldFixture::SetUp();
        const int32_t first = Room_Add(), second = Room_Add();
        const uint32_t order[] = {static_cast<uint32_t>(first), static_cast<uint32_t>(second)};
        Room_LoadOrder(reinterpret_cast<const uint8_t*>(order), 2);
        index = first;
        PendingRoomCode = -1;
    }
    void TearDown() override
    {
        PendingRoomCode = -1;
        ::room = savedIndex;
        Room_FreeAll();
        WorldFixture::TearDown();
    }
};

TEST_F(RoomCommands, RequestsWaitInThePendingCodeAndMissingRoomsQuit)
{
    Room_GotoNext();
    EXPECT_EQ(PendingRoomCode, Room_Last());
    Room_Goto(Room_First());  // the later request wins
    EXPECT_EQ(PendingRoomCode, Room_First());
    ForgetErrors();
    Room_GotoPrevious();
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_NE(LastReport().find("Moving to previous room before the first room."), std::string::npos);
    ForgetErrors();
    Room_Goto(5555);
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_NE(LastReport().find("Unexisting room number: 5555"), std::string::npos);
    index = Room_Last();
    ForgetErrors();
    Room_GotoNext();
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_NE(LastReport().find("Moving to next room after the last room."), std::string::npos);
    Room_Restart();
    EXPECT_EQ(PendingRoomCode, Room_Last());
    Game_Restart();
    EXPECT_EQ(PendingRoomCode, ROOMCODE_RESTART);
    Game_End();
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
    EXPECT_EQ(Room_NextOf(Room_First()), Room_Last());
    EXPECT_EQ(Room_NextOf(Room_Last()), -1);
    EXPECT_EQ(Room_NextOf(5555), -1);
    EXPECT_EQ(Room_PreviousOf(Room_First()), -1);
}

TEST_F(RoomCommands, ALongSleepIsCutToThreeSecondsNotWrappedToNothing)
{
    const auto start = std::chrono::steady_clock::now();
    Game_Sleep(-5);
    Game_Sleep(0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    Game_Sleep(2147484);  // times 1000 passes the 32-bit range
    const auto slept = std::chrono::steady_clock::now() - start;
    EXPECT_GE(slept, std::chrono::milliseconds(2900));
    EXPECT_LT(slept, std::chrono::seconds(10));  // cut, not 35 minutes; a loaded machine may wake late
}
}  // namespace
