// Room and game control commands: requests written to the pending room code.
#include <string>

#include "Base/ErrorReport.h"
#include "Base/Timing.h"
#include "World/Room_Main.h"
#include "World/Run_CommandRoom.h"

int32_t room = 0;
int32_t transition_kind = 0;

namespace {
void Quit(const std::string& message)
{
    ReportRuntimeError(message.c_str(), true);
    PendingRoomCode = ROOMCODE_QUIT;
}
}  // namespace

int32_t Room_CurrentIndex() { return room; }

void Room_Goto(int32_t index)
{
    PendingRoomCode = index;
    transition_kind = 0;
    if (!Room_Exists(index)) Quit("Unexisting room number: " + std::to_string(index));
}

void Room_GotoNext()
{
    const int32_t current = Room_CurrentIndex();
    if (current == Room_Last()) {
        Quit("Moving to next room after the last room.");
        return;
    }
    Room_Goto(Room_Next(current));
}

void Room_GotoPrevious()
{
    const int32_t current = Room_CurrentIndex();
    if (current == Room_First()) {
        Quit("Moving to previous room before the first room.");
        return;
    }
    Room_Goto(Room_Previous(current));
}

void Room_Restart() { Room_Goto(Room_CurrentIndex()); }

void Game_End() { PendingRoomCode = ROOMCODE_END; }

void Game_Restart() { PendingRoomCode = ROOMCODE_RESTART; }

int32_t Room_NextOf(int32_t index) { return Room_Exists(index) && index != Room_Last() ? Room_Next(index) : -1; }

int32_t Room_PreviousOf(int32_t index) { return Room_Exists(index) && index != Room_First() ? Room_Previous(index) : -1; }

void Game_Sleep(int32_t milliseconds)
{
    // Widened before the product: a long request must not wrap to a short or negative one.
    if (milliseconds <= 0) return;
    const int64_t micro = static_cast<int64_t>(milliseconds) * 1000;
    Timing_SleepMicroseconds(micro < kTimingMaxSleepMicroseconds ? micro : kTimingMaxSleepMicroseconds);
}
