#pragma once
// Room and game control. Game code never switches rooms itself: these write
// the pending room code, which the main loop acts on at the end of the frame.
#include <cstdint>

// Where the runner keeps the running room's index, the transition kind and
// the view being drawn (the runner points these at its own globals at
// start-up; until then they point at values of their own).
struct RoomControlState {
    int32_t* roomIndex;
    int32_t* transitionKind;
    int32_t* viewCurrent;
};
extern RoomControlState RoomControl;

int32_t Room_CurrentIndex();
// A missing room is a fatal error and the game quits.
void Room_Goto(int32_t index);
void Room_GotoNext();
void Room_GotoPrevious();
void Room_Restart();
void Game_End();
void Game_Restart();
// The room after (before) index in the play order, -1 for the last (first)
// room or a missing one.
int32_t Room_NextOf(int32_t index);
int32_t Room_PreviousOf(int32_t index);
// Sleeps milliseconds (at most 3 seconds); nothing for 0 or less.
void Game_Sleep(int32_t milliseconds);
