#pragma once
// Shared between the parts of the built-in image module; not for other modules.
#include <cstdint>

// Draws the glyphs, white and opaque, into a cleared 256 × 128 RGBA image.
void BuiltinImages_DrawFont(uint8_t* rgba, int width);
// Coverage 0..1 of particle shape 0..13 at (x, y) of a 64 × 64 image.
float BuiltinImages_ShapeCoverage(int shape, float x, float y);
