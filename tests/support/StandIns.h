#pragma once
// What the tests hand to, or read from, the stand-ins of subsystems not built
// yet (defined beside each stand-in). Production code never calls these.
#include <cstdint>

#include "Background/Background_Main.h"

// Background_Main.h
// Appends a background of that size; its index.
int32_t Background_StubAdd(int32_t width, int32_t height);
void Background_StubClear();
void Background_StubSetTileAnimation(int32_t index, uint64_t frameTime, int32_t frameCount);
void Background_StubSetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount);
