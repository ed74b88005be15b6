#pragma once
// Room and game control. Game code never switches rooms itself: these write
// the pending room code, which the main loop acts on at the end of the frame.
#include <cstdint>

// Index of the current room in the room table (the built-in `room`).
extern int32_t room;
// The transition of the next room change (the built-in `transition_kind`).
extern int32_t transition_kind;

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
