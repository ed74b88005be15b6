#pragma once
// Backgrounds made for tests: an empty run-time index of the real background
// table given the sizes and tileset fields a test needs, without an image.
#include <cstdint>
#include <vector>

#include "Background/Background_Main.h"

// Appends a background of that size; its index.
int32_t TestBackground_Add(int32_t width, int32_t height);
void TestBackground_SetTileAnimation(int32_t index, int64_t frameTime, int32_t frameCount);
void TestBackground_SetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount);

// The whole tileset block with its tile ids (tileCount x framesPerTile of
// them, fewer lower the tile count). The ids are kept as game data keeps
// them: little-endian words, here deliberately off 4-byte alignment.
struct TestTileLayout {
    int32_t tileWidth, tileHeight;
    int32_t borderX, borderY;
    int32_t columns;
    int32_t framesPerTile;
    int32_t tileCount;
};
void TestBackground_SetTileLayout(int32_t index, const TestTileLayout& layout, const std::vector<uint32_t>& ids);
// What the background draws from: a page entry the test owns (null for
// none; drawn from when given) and a game texture the background takes over
// and frees (-1 for none).
void TestBackground_SetTexture(int32_t index, const STexturePageEntry* entry, int32_t texture);

// Defined beside the background table: each room draw (Background_DrawPart
// 'p', Background_DrawGeneral 'g', Background_DrawTiled 't') of an existing
// background is reported with the position it was given; null stops it.
void Background_ObserveDrawsForTest(void (*observer)(char kind, int32_t index, float x, float y));
