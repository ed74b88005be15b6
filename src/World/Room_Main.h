#pragma once
// The room table: one room definition and one name per room index, read from
// the "ROOM" chunk or added at run time, and the play order.
#include <cstdint>

class CGameRoom;

void Room_Init();
bool Room_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Takes the play order as a checked list of count u32 room indices.
void Room_LoadOrder(const uint8_t* indices, uint32_t count);
void Room_SetLastInstanceId(uint32_t id);
void Room_SetLastTileId(uint32_t id);
bool Room_Prepare();
// The highest id among the instances the rooms' definitions place (0 for none).
int32_t Room_HighestDefinedInstanceId();
CGameRoom* Room_Get(int32_t index);
int32_t Room_Count();
bool Room_Exists(int32_t index);
int Room_Find(const char* name);
// "<undefined>" when the index has no room.
const char* Room_Name(int32_t index);
int32_t Room_OrderCount();
int32_t Room_OrderAt(int32_t position);
// First and last entries of the play order; -1 when it is empty.
int32_t Room_First();
int32_t Room_Last();
int32_t Room_Next(int32_t room);
int32_t Room_Previous(int32_t room);
int32_t Room_Add();
int32_t Room_Duplicate(int32_t index);
bool Room_Assign(int32_t destination, int32_t source);
void Room_FreeAll();

constexpr int32_t ROOMCODE_END = -100;
constexpr int32_t ROOMCODE_RESTART = -200;
constexpr int32_t ROOMCODE_QUIT = -400;

// -1 nothing pending, 0 or more a room index, or one of the codes above.
// Acted upon by the main loop after the frame.
extern int32_t PendingRoomCode;
// The game ends after this frame.
void RequestGameEnd();
