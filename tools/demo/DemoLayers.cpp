#include "demo/DemoLayers.h"

#include <cstddef>

namespace demo {

namespace {
constexpr uint32_t kTileGrass = 1;
constexpr uint32_t kTileSoil = 2;
constexpr int kGroundRows = 3;

bool TileHasPixels(const Image& picture, int column, int row)
{
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x)
            if (picture.Get(column * kTileSize + x, row * kTileSize + y) & 0xFF) return true;
    return false;
}
}  // namespace

std::vector<uint32_t> GroundCells(int columns, int rows)
{
    std::vector<uint32_t> cells(static_cast<size_t>(columns) * rows, 0);
    for (int row = rows - kGroundRows; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            cells[static_cast<size_t>(row) * columns + column] = row == rows - kGroundRows ? kTileGrass : kTileSoil;
    return cells;
}

std::vector<PlacedTile> PlacePicture(const Image& picture, const std::vector<Cell>& origins)
{
    const int columns = picture.width / kTileSize, rows = picture.height / kTileSize;
    std::vector<PlacedTile> placed;
    for (const Cell& origin : origins)
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                if (TileHasPixels(picture, column, row))
                    placed.push_back({{origin.column + column, origin.row + row},
                                      static_cast<uint32_t>(row * columns + column)});
    return placed;
}

}  // namespace demo
