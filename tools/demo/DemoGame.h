#pragma once
// The demo game's data image: general header, options, the pictures on one
// texture page, sprites and tile sets, the objects object_Game and
// object_Player bound to the linked module's three code entries, and one room
// with one instance of each on its instance layer, in front of a ground tile
// map ("Collisions"), tile layers of trees, mountains and clouds, and the sky.
#include <cstdint>
#include <vector>

namespace demo {

constexpr int kRoomWidth = 1024;
constexpr int kRoomHeight = 576;

// Empty when a picture cannot be packed or encoded.
std::vector<uint8_t> BuildDemoGame();

}  // namespace demo
