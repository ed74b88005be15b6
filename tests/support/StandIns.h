#pragma once
// What the tests hand to, or read from, the stand-ins of subsystems not built
// yet (defined beside each stand-in). Production code never calls these.
#include <cstdint>
#include <vector>

#include "Background/Background_Main.h"

// Background_Main.h
// Appends a background of that size; its index.
int32_t Background_StubAdd(int32_t width, int32_t height);
void Background_StubClear();
void Background_StubSetTileAnimation(int32_t index, uint64_t frameTime, int32_t frameCount);
void Background_StubSetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount);
// The whole tileset block; the ids are copied (layout.tileIds is ignored).
void Background_StubSetTileLayout(int32_t index, const BackgroundTileLayout& layout, const std::vector<uint32_t>& ids);
void Background_StubSetTexture(int32_t index, const STexturePageEntry* entry, int32_t texture);
// Each draw back-end call on an existing background: 'p' part, 'g' general,
// 't' tiled, with the position it was given. Cleared by Background_StubClear.
void Background_StubObserveDraws(void (*observer)(char kind, int32_t index, float x, float y));
