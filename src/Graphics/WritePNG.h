#pragma once
// Writes 8-bit RGBA pixels (rows top-down, width x 4 bytes each) as a PNG
// file in the save area. False when the file cannot be made or libpng fails.
#include <cstdint>

bool write_png_file(const char* fileName, const uint8_t* pixels, int width, int height);
