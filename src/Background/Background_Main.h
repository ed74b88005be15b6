#pragma once
// The background table: sizes, tile sets and their animation, the look-up
// by name, textures and release. Until backgrounds load (Background_Stub.cpp)
// the table holds what tests add.
#include <cstdint>

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
