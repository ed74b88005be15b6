// The textures of vector data: gradient fills as a 256 x 1 (linear) or
// 64 x 64 (radial) ramp of their stops, and bitmap items decoded from JPEG
// (with the shared tables, with zlib alpha), PNG, GIF, palette or 32-bit
// pixels. Textures take bytes red, green, blue, alpha.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/ImageLimits.h"
#include "Graphics/JPEG_Main.h"
#include "Graphics/ReadPNG.h"
#include "Sprite/Sprite_Class.h"
#include "Sprite/Sprite_Vector.h"

uint32_t CSprite::GradientColourAt(const VectorFillStyle& gradient, int32_t ratio)
{
    const int32_t n = gradient.stopCount;
    const VectorGradientStop* stops = gradient.stops;
    if (n <= 0 || !stops) return 0;
    ratio = std::clamp(ratio, 0, 255);
    if (ratio < stops[0].ratio) return stops[0].colour;
    int32_t i = 1;
    while (i < n && stops[i].ratio < ratio) ++i;
    if (i >= n) return stops[n - 1].colour;
    const int64_t span = int64_t{stops[i].ratio} - stops[i - 1].ratio;
    const int64_t t = span == 0 ? 0 : (int64_t{ratio} - stops[i - 1].ratio) * 256 / span;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int64_t a = (stops[i - 1].colour >> shift) & 0xFF, b = (stops[i].colour >> shift) & 0xFF;
        const int64_t v = ((t * b) >> 8) + ((a * (256 - t)) >> 8);
        out |= static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)) << shift;
    }
    return out;
}

int32_t CSprite::CreateGradientTexture(const VectorFillStyle& gradient)
{
    // Textures take bytes red, green, blue, alpha: the gradient's colours as they are.
    const auto texel = [&](int32_t ratio) { return GradientColourAt(gradient, ratio); };
    if (gradient.kind == VECTOR_GRADIENT_LINEAR) {
        uint32_t pixels[256];
        for (int32_t i = 0; i < 256; ++i) pixels[i] = texel(i);
        return GR_Texture_Create(256, 1, pixels, sizeof pixels);
    }
    if (gradient.kind == VECTOR_GRADIENT_RADIAL) {
        uint32_t pixels[64 * 64];
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                const double d = std::sqrt(double((x - 31) * (x - 31) + (y - 31) * (y - 31)));
                pixels[y * 64 + x] = texel(static_cast<int32_t>(d / 31.0 * 255.0));
            }
        return GR_Texture_Create(64, 64, pixels, sizeof pixels);
    }
    return -1;
}

void CSprite::CreateVectorBitmap(VectorItem& item, const uint8_t* first, uint32_t firstSize, const uint8_t* second,
                                 uint32_t secondSize, const uint8_t* third, uint32_t thirdSize, const uint8_t* tables,
                                 uint32_t tableSize)
{
    item.texture = -1;
    int w = 0, h = 0;
    uint8_t* pixels = nullptr;  // red, green, blue, alpha, as textures take them
    const int kind = item.bitmapKind;
    if (kind == 0 && tables && tableSize > 0) {
        const uint64_t total = uint64_t(tableSize) + firstSize;
        auto* joined = total <= 0x7FFFFFFF ? static_cast<uint8_t*>(QS_ALLOC(size_t(total), false)) : nullptr;
        if (joined) {
            std::memcpy(joined, tables, tableSize);
            if (firstSize) std::memcpy(joined + tableSize, first, firstSize);
            pixels = ReadJPEG(joined, static_cast<int>(total), &w, &h);
            QS_FREE(joined);
        }
    } else if (kind <= 2) {
        pixels = ReadJPEG(first, static_cast<int>(firstSize), &w, &h);
    } else if (kind == 3) {
        const uint8_t* decoded = ReadPNG_GetPixels(first, static_cast<int>(firstSize), &w, &h, false);
        if (decoded && w > 0 && h > 0) {
            pixels = static_cast<uint8_t*>(QS_ALLOC(size_t(w) * size_t(h) * 4, false));
            if (pixels) std::memcpy(pixels, decoded, size_t(w) * size_t(h) * 4);
        }
        ReadPNG_Free();
    } else if (kind == 4) {
        pixels = ReadGIF(first, static_cast<int>(firstSize), &w, &h);
    } else if (kind <= 9 && Image_SizeAllowed(item.width, item.height)) {
        // Indexed (5, 8) or 32-bit (6, 7, 9) pixels stored red first.
        w = item.width;
        h = item.height;
        const size_t count = size_t(w) * size_t(h);
        pixels = static_cast<uint8_t*>(QS_ALLOC(count * 4, true));
        if (pixels && (kind == 5 || kind == 8)) {
            const size_t stride = (size_t(w) + 3) & ~size_t{3};
            const uint32_t entries = thirdSize / 4;
            for (size_t y = 0; y < size_t(h); ++y)
                for (size_t x = 0; x < size_t(w); ++x) {
                    const size_t at = y * stride + x;
                    // Pixels past the block or the palette stay clear.
                    if (at >= firstSize || first[at] >= entries) continue;
                    std::memcpy(pixels + 4 * (y * size_t(w) + x), third + 4 * size_t(first[at]), 4);
                }
        } else if (pixels) {
            std::memcpy(pixels, first, std::min(count, size_t(firstSize / 4)) * 4);
        }
    }
    if (!pixels) return;
    const int64_t count = int64_t{w} * h;
    if (kind == 2 && second && secondSize > 0) {
        // The alpha block is zlib data behind a length word.
        MemoryStream source(int64_t{secondSize} + 4);
        source.WriteInt32(static_cast<int32_t>(secondSize));
        source.WriteBytes(second, secondSize);
        source.SetPosition(0);
        if (MemoryStream* alpha = ZDecompressStream(&source)) {
            const int64_t n = std::min(count, alpha->GetSize());
            for (int64_t i = 0; i < n; ++i) pixels[4 * i + 3] = alpha->GetBuffer()[i];
            MemoryStream::Free(alpha);
        }
    }
    item.width = w;
    item.height = h;
    item.texture = GR_Texture_Create(w, h, pixels, w * h * 4);
    QS_FREE(pixels);
}
