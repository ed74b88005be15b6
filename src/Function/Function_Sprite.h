#pragma once
// The sprite resource built-ins (part of the "Resource.." group): queries,
// settings, creation from files, the screen and surfaces, copies, saving as
// PNG, and texture prefetch and flush.
#include <cstdint>

void InitSpriteFunctions();

// Every instance of the current room showing the sprite gets its bounding
// box recomputed and its place in the collision index renewed.
void Sprite_RefreshInstances(int32_t sprite);

// Writes 0xAARRGGBB pixels (rows top-down) as an RGBA PNG in the save area.
bool Function_WritePixelsPng(const char* fileName, const uint32_t* pixels, int32_t width, int32_t height);
