#pragma once
// Where the demo room's tiles go: the ground of the "Collisions" tile map and
// the tiles of the mountains, trees and clouds, in 16 x 16 cells of the room.
#include <cstdint>
#include <vector>

#include "demo/DemoArt.h"

namespace demo {

struct Cell {
    int column, row;
};

struct PlacedTile {
    Cell cell;       // of the room
    uint32_t tile;   // index in its tile set
};

// Cell words of the ground tile map, row by row (columns x rows of the room).
std::vector<uint32_t> GroundCells(int columns, int rows);

// Every tile of picture that has a visible pixel, with the picture's top-left
// tile at each of the given cells.
std::vector<PlacedTile> PlacePicture(const Image& picture, const std::vector<Cell>& origins);

}  // namespace demo
