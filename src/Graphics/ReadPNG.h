#pragma once
// PNG decoding to 8-bit RGBA (bytes red, green, blue, alpha; rows top-down).
// One decoder context is kept between ReadPNG_GetPixels and ReadPNG_Free:
// the pixels it returns belong to it. Main thread only.
#include <cstdint>

// Global texture scale (a power of two, 1 at start): PNG images decoded for
// textures are halved until it is used up.
extern int TextureGlobalScale;

// Decodes the bytes into the kept context (replacing any kept one) and
// returns its pixels, halved for the texture scale when asked. Null, with
// both sizes -1, when the bytes are not a PNG or do not decode.
uint8_t* ReadPNG_GetPixels(const uint8_t* bytes, int byteCount, int* width, int* height, bool applyTextureScale);
// Reads only the header: the size ReadPNG_GetPixels would report. Leaves
// the kept context alone. False, with both sizes -1, on failure.
bool ReadPNG_GetSize(const uint8_t* bytes, int byteCount, int* width, int* height, bool applyTextureScale);
// Destroys the kept context and its pixels.
void ReadPNG_Free();
