#pragma once
// JPEG and GIF decoding to 32-bit pixels: bytes red, green, blue, alpha, rows
// top-down, no padding, in a block the caller frees with MemoryManager::Free.
// Null for data that does not decode, including data that ends early.
#include <cstdint>

uint8_t* ReadJPEG(const uint8_t* bytes, int byteCount, int* width, int* height);
// The first image of a GIF on its logical screen; the transparent index of
// its graphics-control block gets alpha 0, so does the screen outside it.
uint8_t* ReadGIF(const uint8_t* bytes, int byteCount, int* width, int* height);
