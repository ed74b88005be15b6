#pragma once
// The background table: sizes, tile sets and their animation, the look-up
// by name, textures and release. Until backgrounds load (Background_Stub.cpp)
// the table holds what tests add.
#include <cstdint>

struct STexturePageEntry;

// The background's size; false when there is no background at index.
bool Background_GetSize(int32_t index, int32_t* width, int32_t* height);
// The tileset animation of a background: frame time (microseconds) and frame
// count; false when there is no background at index.
bool Background_GetTileAnimation(int32_t index, uint64_t* frameTime, int32_t* frameCount);
// The tileset fields of a background: tile width and height in pixels and the
// tile count (valid tile indices are below it); false when there is no
// background at index. A fresh background is one tile of its own size.
bool Background_GetTileset(int32_t index, int32_t* tileWidth, int32_t* tileHeight, int32_t* tileCount);

void Background_InitTextures();
void Background_Shutdown();
// The game data's backgrounds are forgotten before another game is read.
void Background_DeleteAll();
// Index of the background of that name, -1 when there is none.
int Background_Find(const char* name);

bool Background_Exists(int32_t index);

// The tileset block the tile map drawer cuts tiles by: tile size, the border
// around each tile on the image, tiles per row, animation frames per tile and
// the tile ids (tileCount x framesPerTile entries, frame-major per tile).
struct BackgroundTileLayout {
    int32_t tileWidth, tileHeight;
    int32_t borderX, borderY;
    int32_t columns;
    int32_t framesPerTile;
    int32_t tileCount;
    const uint32_t* tileIds;
};
// False when there is no background at index.
bool Background_GetTileLayout(int32_t index, BackgroundTileLayout* layout);
// What the background draws from: its texture-page entry when it has one
// (else null), and its game texture index (-1 for none). False when there is
// no background at index.
bool Background_GetTexture(int32_t index, const STexturePageEntry** entry, int32_t* texture);

// Draw back ends; a missing background draws nothing. Angles in degrees.
void Background_DrawPart(int32_t index, float left, float top, float width, float height, float x, float y,
                         float xscale, float yscale, uint32_t colour, float alpha);
void Background_DrawGeneral(int32_t index, float left, float top, float width, float height, float x, float y,
                            float xscale, float yscale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha);
// Tiled over the region (left, top, width, height) in the directions asked.
void Background_DrawTiled(int32_t index, float x, float y, float xscale, float yscale, bool tileX, bool tileY,
                          float left, float top, float width, float height, uint32_t colour, float alpha);
