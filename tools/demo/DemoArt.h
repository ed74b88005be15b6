#pragma once
// The demo game's pictures, drawn in code: sky, mountains, trees, clouds,
// ground tiles and the player figure. Every tile-set picture leaves its
// top-left 16 x 16 tile clear, because tile 0 of a tile map is the empty tile.
#include <cstdint>
#include <vector>

namespace demo {

// 8-bit RGBA pixels, rows top-down.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;

    Image(int w, int h);
    void Set(int x, int y, uint32_t rgba);  // 0xRRGGBBAA; outside the image: nothing
    uint32_t Get(int x, int y) const;
    void FillRect(int x, int y, int w, int h, uint32_t rgba);
    void FillCircle(int cx, int cy, int r, uint32_t rgba);
};

constexpr int kTileSize = 16;

Image DrawSky();        // 16 x 256 vertical gradient, stretched across the room
Image DrawMountains();  // 256 x 96: a range of snow-capped peaks (16 x 6 tiles)
Image DrawTrees();      // 128 x 96: two trees (8 x 6 tiles)
Image DrawClouds();     // 96 x 48: one cloud (6 x 3 tiles)
Image DrawGround();     // 48 x 16: empty, grass and soil tiles
Image DrawPlayer();     // 24 x 32: the player figure, facing left
Image DrawIcon();       // 32 x 32: the player figure on a sky-blue disc, the window's icon

}  // namespace demo
