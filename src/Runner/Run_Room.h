#pragma once
// Room switching and game start and end: the pending room request, the
// first room of a game, the end of a room and the start of the next with the
// persistent instances carried across, persistent rooms kept dormant, restart
// and the end of the game.
#include <cstdint>

#include "World/Room_Main.h"
#include "World/Run_CommandRoom.h"

class CGameRoom;
class CInstance;


// Starts (or restarts) the game in the first room of the play order.
void Run_StartGame();
// Ends the room and the game; every run-time room is destroyed.
void Run_EndGame();
// Ends the current room and starts the room of that index.
void SwitchRoom(int32_t index);
// Makes the room of that index current and runs its start.
void Run_StartRoom(int32_t index, bool gameStart);
void Run_EndRoom(bool gameEnd);
void Run_SetCurrentRoom(CGameRoom* room);
// Shutdown: deletes the persistent instances waiting for the next room.
void PersistentInstances_DeleteAll();
// Every live room and persistent instance deleted without any event: what a
// run left behind is gone. The current room must not be one of them.
void Run_FreeRooms();
// Persistent instances waiting between the end of a room and the next start.
int32_t PersistentInstances_Count();
// The live copy kept for the room index (persistent rooms), or null.
CGameRoom* Run_RuntimeRoom(int32_t index);
int32_t Run_RuntimeRoomCount();
// A loaded game's rooms: the old slots are deleted, the array takes the count
// rooms given (nulls for empty slots) and the slot `current` becomes the
// current room.
void Run_ReplaceRuntimeRooms(CGameRoom** rooms, int32_t count, int32_t current);
// Every instance the rooms hold (active and deactivated, of every live room)
// and the persistent instances waiting for the next room.
void Run_ForEachLiveInstance(void (*visit)(CInstance*));
