#include <gif_lib.h>

#include <cstdint>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"
#include "Graphics/JPEG_Main.h"

namespace {
struct GifSource {
    const uint8_t* bytes;
    int count;
    int position;
};

int GifRead(GifFileType* gif, GifByteType* out, int wanted)
{
    auto* src = static_cast<GifSource*>(gif->UserData);
    int n = src->count - src->position;
    if (wanted < n) n = wanted;
    if (n <= 0) return 0;
    std::memcpy(out, src->bytes + src->position, size_t(n));
    src->position += n;
    return n;
}

// A logical screen much larger than its image would cost its size in memory
// and time for what is mostly transparent: beyond a screen of 2048 x 2048 it
// may be at most this many times the image.
constexpr int64_t kScreenPixelsAllowed = int64_t(1) << 22;
constexpr int64_t kScreenPerImagePixel = 4;

// The image's colour indices, rows in the order the file holds them. Rows are
// taken one at a time, so a decode whose data ends early stops before it has
// taken the memory of the whole image.
GifPixelType* ReadIndices(GifFileType* gif, int width, int height)
{
    const size_t total = size_t(width) * size_t(height);
    GifPixelType* indices = nullptr;
    size_t capacity = 0;
    for (int r = 0; r < height; ++r) {
        const size_t end = size_t(r + 1) * size_t(width);
        if (end > capacity) {
            capacity = end * 2 < total ? end * 2 : total;
            auto* grown = static_cast<GifPixelType*>(QS_REALLOC(indices, capacity));
            if (!grown) break;
            indices = grown;
        }
        if (DGifGetLine(gif, indices + end - size_t(width), width) == GIF_ERROR) break;
        if (end == total) return indices;
    }
    QS_FREE(indices);
    return nullptr;
}

// Decodes the image whose descriptor comes next onto the logical screen.
// Only the first image is read, so later frames cost nothing.
uint8_t* DecodeFirstImage(GifFileType* gif, int transparent, int* width, int* height)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR) return nullptr;
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    int screenWidth = gif->SWidth, screenHeight = gif->SHeight;
    int left = desc.Left, top = desc.Top;
    if (screenWidth <= 0 || screenHeight <= 0) {
        screenWidth = desc.Width;
        screenHeight = desc.Height;
        left = top = 0;
    }
    if (!map || !Image_SizeAllowed(screenWidth, screenHeight) || !Image_SizeAllowed(desc.Width, desc.Height))
        return nullptr;
    const int64_t screenPixels = int64_t(screenWidth) * screenHeight;
    if (screenPixels > kScreenPixelsAllowed && screenPixels > kScreenPerImagePixel * desc.Width * desc.Height)
        return nullptr;

    GifPixelType* indices = ReadIndices(gif, desc.Width, desc.Height);
    if (!indices) return nullptr;
    // Outside the image the screen stays transparent.
    auto* pixels = static_cast<uint8_t*>(QS_ALLOC(size_t(screenWidth) * size_t(screenHeight) * 4, true));
    static const int kPassStart[] = {0, 4, 2, 1};
    static const int kPassStep[] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    const GifPixelType* line = indices;
    for (int pass = 0; pixels && pass < passes; ++pass) {
        const int start = desc.Interlace ? kPassStart[pass] : 0;
        const int step = desc.Interlace ? kPassStep[pass] : 1;
        for (int r = start; r < desc.Height; r += step, line += desc.Width) {
            const int y = top + r;
            if (y < 0 || y >= screenHeight) continue;
            for (int x = 0; x < desc.Width; ++x) {
                const int sx = left + x;
                const int index = line[x];
                if (sx < 0 || sx >= screenWidth || index >= map->ColorCount) continue;
                uint8_t* out = pixels + (size_t(y) * size_t(screenWidth) + size_t(sx)) * 4;
                const GifColorType& c = map->Colors[index];
                out[0] = c.Red;
                out[1] = c.Green;
                out[2] = c.Blue;
                out[3] = index == transparent ? 0 : 0xFF;
            }
        }
    }
    QS_FREE(indices);
    if (!pixels) return nullptr;
    *width = screenWidth;
    *height = screenHeight;
    return pixels;
}
}  // namespace

uint8_t* ReadGIF(const uint8_t* bytes, int byteCount, int* width, int* height)
{
    int w = 0, h = 0;
    if (width) *width = 0;
    if (height) *height = 0;
    if (!bytes || byteCount <= 0) return nullptr;
    GifSource source{bytes, byteCount, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, GifRead, &error);
    if (!gif) return nullptr;

    uint8_t* pixels = nullptr;
    int transparent = -1;
    bool done = false;
    while (!done) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) break;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            pixels = DecodeFirstImage(gif, transparent, &w, &h);
            done = true;
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) break;
            // A graphics-control block: length 4, flags, delay (2), transparent index.
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4 && (block[1] & 1)) transparent = block[4];
            while (block && !done)
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) done = true;
        } else {
            done = true;  // the end of the file without an image
        }
    }
    DGifCloseFile(gif, &error);
    if (pixels) {
        if (width) *width = w;
        if (height) *height = h;
    }
    return pixels;
}
