#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"
#include "Graphics/TBitmap.h"

namespace {
void Put32(uint8_t* p, int32_t value)
{
    const uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
}  // namespace

BitmapLoader* BitmapLoader::Create(const uint8_t* pixels, int32_t width, int32_t height)
{
    if (!pixels || !Image_SizeAllowed(width, height)) return nullptr;
    const int64_t pixelBytes = int64_t(width) * height * 4;
    const int64_t size = TBitmap_HeaderSize + pixelBytes;
    auto* block = static_cast<uint8_t*>(QS_ALLOC(size_t(size), true));
    if (!block) return nullptr;
    auto* loader = new (std::nothrow) BitmapLoader();
    if (!loader) {
        QS_FREE(block);
        return nullptr;
    }
    Put32(block + TBitmap_OffPixelOffset, TBitmap_HeaderSize);
    Put32(block + TBitmap_OffInfoSize, 40);
    Put32(block + TBitmap_OffWidth, width);
    Put32(block + TBitmap_OffHeight, height);
    block[TBitmap_OffPlanes] = 1;
    block[TBitmap_OffBitsPerPixel] = 32;
    std::memcpy(block + TBitmap_HeaderSize, pixels, size_t(pixelBytes));
    loader->m_block = block;
    loader->m_blockSize = int32_t(size);
    return loader;
}

BitmapLoader::~BitmapLoader()
{
    QS_FREE(m_block);
}

TBitmap* BitmapLoader::CreateTBitmap(int32_t frame) const
{
    if (frame < 0 || frame >= m_frameCount || !m_block) return nullptr;
    auto* copy = static_cast<uint8_t*>(QS_ALLOC(size_t(m_blockSize), false));
    if (!copy) return nullptr;
    std::memcpy(copy, m_block, size_t(m_blockSize));
    TBitmap* bitmap = TBitmap::Create();
    if (!bitmap) {
        QS_FREE(copy);
        return nullptr;
    }
    bitmap->AdoptBuffer(copy, m_blockSize);
    return bitmap;
}
