#pragma once
// Largest image the decoders and bitmaps accept. Declared sizes come from
// untrusted files; anything beyond these is refused before memory is taken.
#include <cstdint>

constexpr int Image_MaxSide = 16384;
constexpr int64_t Image_MaxPixels = int64_t(1) << 26;  // 64M pixels, 256 MB at 32 bits

inline bool Image_SizeAllowed(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= Image_MaxSide && height <= Image_MaxSide &&
           width * height <= Image_MaxPixels;
}
