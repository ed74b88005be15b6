#pragma once
// Backgrounds made for tests: an empty run-time index of the real background
// table given the sizes and tileset fields a test needs, without an image.
#include <cstdint>

#include "Background/Background_Main.h"

// Appends a background of that size; its index.
int32_t TestBackground_Add(int32_t width, int32_t height);
void TestBackground_SetTileAnimation(int32_t index, int64_t frameTime, int32_t frameCount);
void TestBackground_SetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount);
