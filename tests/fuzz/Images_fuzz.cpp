// libFuzzer target for the image decoders and the bitmap-file reader: every
// input goes through each of them (each checks its own signature), and every
// image that decodes is read in full so that a wrong reported size shows up.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Graphics/JPEG_Main.h"
#include "Buffer/MemoryStream.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/TBitmap.h"

namespace {
volatile uint32_t g_sink;

void ReadAll(const uint8_t* pixels, int width, int height)
{
    if (!pixels) return;
    uint32_t sum = 0;
    const size_t count = size_t(width) * size_t(height) * 4;
    for (size_t i = 0; i < count; i += 61) sum += pixels[i];
    sum += pixels[count - 1];
    g_sink = sum;
    std::unique_ptr<BitmapLoader> loader(BitmapLoader::Create(pixels, width, height));
    if (!loader) return;
    std::unique_ptr<TBitmap> bitmap(loader->CreateTBitmap(0));
    if (bitmap) g_sink = bitmap->GetScanLine(0, nullptr, nullptr)[0];
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Console_SetStdoutSuppressed(true);  // every non-PNG input logs
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(INT_MAX)) return 0;
    const int n = int(size);
    int width = 0, height = 0;

    uint8_t* pixels = ReadJPEG(data, n, &width, &height);
    ReadAll(pixels, width, height);
    QS_FREE(pixels);

    pixels = ReadGIF(data, n, &width, &height);
    ReadAll(pixels, width, height);
    QS_FREE(pixels);

    TextureGlobalScale = (size & 1) ? 2 : 1;
    int sizeWidth = 0, sizeHeight = 0;
    const bool sized = ReadPNG_GetSize(data, n, &sizeWidth, &sizeHeight, true);
    const uint8_t* png = ReadPNG_GetPixels(data, n, &width, &height, true);
    if (png && (!sized || sizeWidth != width || sizeHeight != height)) __builtin_trap();
    ReadAll(png, width, height);
    ReadPNG_Free();

    MemoryStream stream(0);
    stream.WriteBytes(data, int64_t(size));
    stream.SetPosition(0);
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    int32_t stride = 0;
    if (bitmap->LoadFromStream(&stream)) {
        const uint8_t* rows = bitmap->GetScanLine(0, nullptr, &stride);
        const size_t count = size_t(stride) * size_t(bitmap->GetHeight());
        if (count) g_sink = rows[count - 1];
    }
    return 0;
}
