#pragma once
// STAND-IN for the background table until the assets subsystem exists:
// backgrounds are added by hand (tests) until then.
#include <cstdint>

// The background's size; false when there is no background at index.
bool Background_GetSize(int32_t index, int32_t* width, int32_t* height);
// Appends a background of that size; its index.
int32_t Background_StubAdd(int32_t width, int32_t height);
void Background_StubClear();
// The tileset animation of a background: frame time (microseconds) and frame
// count; false when there is no background at index.
bool Background_GetTileAnimation(int32_t index, uint64_t* frameTime, int32_t* frameCount);
void Background_StubSetTileAnimation(int32_t index, uint64_t frameTime, int32_t frameCount);
