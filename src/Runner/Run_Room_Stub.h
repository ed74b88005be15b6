#pragma once
// Stand-in for the pending room request until room switching exists.
#include <cstdint>

constexpr int32_t ROOMCODE_END = -100;
constexpr int32_t ROOMCODE_RESTART = -200;
constexpr int32_t ROOMCODE_QUIT = -400;

// -1 nothing pending, 0 or more a room index, or one of the codes above.
extern int32_t PendingRoomCode;

void RequestGameEnd();
