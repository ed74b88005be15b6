#pragma once
// Drawing tile maps and single tiles cut from a tileset (a background): the
// UV set that locates tiles on the tileset's texture, tile maps culled to the
// current view bounds and written straight into the vertex batch, and the
// general image path for tilesets whose image is trimmed on its page.
#include <cstdint>

struct LayerElement_Tilemap;
struct RoomLayer;
struct STexture;

// Where tiles lie on a tileset's texture, in UV: the size of one tile, the
// first tile's top-left corner, the step from one tile column or row to the
// next, and the part of the full image the page keeps. Without a texture
// nothing is drawn; when not fast, tiles go through the background's general
// draw.
struct TilesetUVInfo {
    const STexture* texture;
    float uTile, vTile;
    float uOffset, vOffset;
    float uStride, vStride;
    float xRatio, yRatio;
    bool fast;
};
// False, with no texture, when the tileset has no live texture.
bool Tileset_GetUVInfo(int32_t tileset, TilesetUVInfo* info);

// With a layer the map sits at its x, y plus the layer's and is drawn at the
// current draw depth; without one at (x, y) and the given depth.
void DrawTilemap(const LayerElement_Tilemap* tilemap, const RoomLayer* layer, float x, float y, float depth);
// One tile of the tileset (a background index) with its mirror, flip and
// rotate bits; frame picks the tile's animation frame, wrapped.
void DrawTile(int32_t tileset, uint32_t data, int32_t frame, float x, float y, float depth);
