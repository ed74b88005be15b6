#pragma once
// Drawing a tile map element and a single tile. Until room drawing exists
// (Draw_Tilemap_Stub.cpp) both draw nothing.
#include <cstdint>

struct LayerElement_Tilemap;
struct RoomLayer;

// With a layer the map sits at its x, y plus the layer's; without one at (x, y).
void DrawTilemap(const LayerElement_Tilemap* tilemap, const RoomLayer* layer, float x, float y, float depth);
// One tile of the tileset (a background index) with its mirror, flip and rotate bits.
void DrawTile(int32_t tileset, uint32_t data, int32_t frame, float x, float y, float depth);
