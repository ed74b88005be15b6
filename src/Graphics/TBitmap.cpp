#include "Graphics/TBitmap.h"

#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"
#include "Buffer/MemoryStream.h"

namespace {
constexpr int kFileHeaderSize = 14;  // "BM" and the rest of the file header
constexpr int kMinInfoSize = 40;

int32_t Read32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

int32_t Read16(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8);
}

void Write32(uint8_t* p, int32_t value)
{
    const uint32_t v = uint32_t(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void Write16(uint8_t* p, int32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

int32_t FormatOfBits(int32_t bits)
{
    switch (bits) {
    case 1: return TBitmapFormat_1;
    case 4: return TBitmapFormat_4;
    case 8: return TBitmapFormat_8;
    case 15: return TBitmapFormat_15;
    case 16: return TBitmapFormat_16;
    case 24: return TBitmapFormat_24;
    case 32: return TBitmapFormat_32;
    default: return 0;
    }
}

int32_t BitsOfFormat(int32_t format)
{
    static const int32_t kBits[] = {32, 1, 4, 8, 15, 16, 24, 32};
    return (format >= 1 && format <= 7) ? kBits[format] : 32;
}

void WriteHeader(uint8_t* block, int32_t width, int32_t height, int32_t bits)
{
    Write32(block + TBitmap_OffPixelOffset, TBitmap_HeaderSize);
    Write32(block + TBitmap_OffInfoSize, kMinInfoSize);
    Write32(block + TBitmap_OffWidth, width);
    Write32(block + TBitmap_OffHeight, height);
    Write16(block + TBitmap_OffPlanes, 1);
    Write16(block + TBitmap_OffBitsPerPixel, bits);
    Write32(block + TBitmap_OffCompression, 0);
}
}  // namespace

TBitmap* TBitmap_FromDevicePixels(const uint32_t* pixels, int32_t width, int32_t height)
{
    TBitmap* bitmap = TBitmap::Create();
    bitmap->SetPixelFormat(TBitmapFormat_32);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* line = nullptr;
        int32_t stride = 0;
        bitmap->GetScanLine(row, &line, &stride);
        if (!line) continue;
        const uint32_t* words = pixels + static_cast<size_t>(row) * width;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = words[x];
            const uint8_t bgra[4] = {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                     static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)};
            std::memcpy(line + 4 * x, bgra, 4);
        }
    }
    return bitmap;
}

int32_t TBitmap_StrideOf(int32_t format, int32_t width)
{
    switch (format) {
    case TBitmapFormat_1: return width / 8;
    case TBitmapFormat_4: return width / 2;
    case TBitmapFormat_8: return width;
    case TBitmapFormat_15:
    case TBitmapFormat_16: return width * 2;
    case TBitmapFormat_24: return width * 3;
    default: return width * 4;
    }
}

TBitmap* TBitmap::Create()
{
    return new (std::nothrow) TBitmap();
}

TBitmap::~TBitmap()
{
    QS_FREE(m_block);
}

void TBitmap::UpdateStride()
{
    m_stride = TBitmap_StrideOf(m_format, m_width);
}

void TBitmap::SetWidth(int32_t width)
{
    m_width = width;
    ++m_changeCounter;
    UpdateStride();
}

void TBitmap::SetHeight(int32_t height)
{
    m_height = height;
    ++m_changeCounter;
    UpdateStride();
}

void TBitmap::SetPixelFormat(int32_t format)
{
    m_format = format;
    ++m_changeCounter;
    UpdateStride();
}

void TBitmap::FreePixels()
{
    QS_FREE(m_block);
    m_block = nullptr;
    m_pixels = nullptr;
    m_blockSize = 0;
    ++m_changeCounter;
}

void TBitmap::TakeBlock(uint8_t* block, int32_t blockSize)
{
    m_block = block;
    m_blockSize = blockSize;
    m_pixels = block + Read32(block + TBitmap_OffPixelOffset);
    m_width = Read32(block + TBitmap_OffWidth);
    m_height = Read32(block + TBitmap_OffHeight);
    m_format = FormatOfBits(Read16(block + TBitmap_OffBitsPerPixel));
    UpdateStride();
}

uint8_t* TBitmap::GetScanLine(int32_t row, uint8_t** rowOut, int32_t* strideOut)
{
    if (rowOut) *rowOut = nullptr;
    if (strideOut) *strideOut = m_stride;
    if (!Image_SizeAllowed(m_width, m_height) || m_stride < 0) return nullptr;
    const int64_t rowsBytes = int64_t(m_stride) * m_height;
    // A block made for another size or format would be read past its end.
    if (m_block && (m_pixels - m_block) + rowsBytes > m_blockSize) {
        QS_FREE(m_block);
        m_block = m_pixels = nullptr;
        m_blockSize = 0;
    }
    if (!m_block) {
        const int64_t size = TBitmap_HeaderSize + rowsBytes;
        m_block = static_cast<uint8_t*>(QS_ALLOC(size_t(size), true));
        if (!m_block) return nullptr;
        WriteHeader(m_block, m_width, m_height, BitsOfFormat(m_format));
        m_blockSize = int32_t(size);
        m_pixels = m_block + TBitmap_HeaderSize;
    }
    if (rowOut && row >= 0 && row < m_height) *rowOut = m_pixels + int64_t(row) * m_stride;
    return m_pixels;
}

void TBitmap::CopyFrom(const IBitmap* other)
{
    if (!other || other == this) return;
    FreePixels();
    m_width = other->GetWidth();
    m_height = other->GetHeight();
    const auto* source = dynamic_cast<const TBitmap*>(other);
    if (source && source->m_block) {
        m_block = static_cast<uint8_t*>(QS_ALLOC(size_t(source->m_blockSize), false));
        if (m_block) {
            std::memcpy(m_block, source->m_block, size_t(source->m_blockSize));
            m_blockSize = source->m_blockSize;
            m_pixels = m_block + (source->m_pixels - source->m_block);
            m_format = source->m_format;
        }
    }
    UpdateStride();
    ++m_changeCounter;
}

bool TBitmap::AdoptBuffer(uint8_t* block, int32_t size)
{
    QS_FREE(m_block);
    m_block = m_pixels = nullptr;
    m_blockSize = 0;
    if (!block) return false;
    bool fits = size >= TBitmap_HeaderSize;
    if (fits) {
        const int64_t offset = Read32(block + TBitmap_OffPixelOffset);
        const int32_t width = Read32(block + TBitmap_OffWidth);
        const int32_t height = Read32(block + TBitmap_OffHeight);
        fits = offset >= TBitmap_HeaderSize && Image_SizeAllowed(width, height) &&
               offset + int64_t(width) * height * 4 <= size;
    }
    if (!fits) {
        QS_FREE(block);
        return false;
    }
    Write16(block + TBitmap_OffBitsPerPixel, 32);
    TakeBlock(block, size);
    return true;
}

bool TBitmap::LoadFromStream(MemoryStream* stream)
{
    FreePixels();
    if (!stream) return false;
    const int64_t size = stream->GetSize();
    if (stream->GetPosition() >= size) return false;
    uint8_t signature[2];
    if (stream->ReadChars(signature, 2) != 2 || signature[0] != 'B' || signature[1] != 'M') return false;
    if (size < kFileHeaderSize + kMinInfoSize || size > INT32_MAX) return false;

    uint8_t* file = static_cast<uint8_t*>(QS_ALLOC(size_t(size), false));
    if (!file) return false;
    stream->SetPosition(0);
    bool ok = stream->ReadChars(file, size) == size;

    // Header fields, offsets as in the file.
    const int64_t pixelOffset = uint32_t(Read32(file + 10));
    const int64_t infoSize = uint32_t(Read32(file + 14));
    const int32_t width = Read32(file + 18);
    const int32_t fileHeight = Read32(file + 22);
    const int32_t bits = Read16(file + 28);
    const int32_t compression = Read32(file + 30);
    const bool bottomUp = fileHeight > 0;
    const int64_t height = fileHeight < 0 ? -int64_t(fileHeight) : fileHeight;
    const int32_t format = FormatOfBits(bits);
    // Run-length data is not laid out in rows; only plain and bit-field rows are.
    ok = ok && format != 0 && (compression == 0 || (compression == 3 && (bits == 16 || bits == 32)));
    ok = ok && infoSize >= kMinInfoSize && kFileHeaderSize + infoSize <= pixelOffset &&
         Image_SizeAllowed(width, height);
    // Files pad each row to 4 bytes; the bitmap keeps rows unpadded.
    const int64_t fileStride = (int64_t(bits) * width + 31) / 32 * 4;
    ok = ok && pixelOffset + fileStride * height <= size;
    if (!ok) {
        QS_FREE(file);
        return false;
    }

    const bool palettised = format == TBitmapFormat_8;
    const int32_t outFormat = palettised ? int32_t(TBitmapFormat_32) : format;
    const int32_t stride = TBitmap_StrideOf(outFormat, width);
    const int64_t blockSize = TBitmap_HeaderSize + int64_t(stride) * height;
    uint8_t* block = static_cast<uint8_t*>(QS_ALLOC(size_t(blockSize), false));
    if (!block) {
        QS_FREE(file);
        return false;
    }
    std::memcpy(block, file + 2, TBitmap_HeaderSize);
    WriteHeader(block, width, int32_t(height), palettised ? 32 : bits);
    Write32(block + TBitmap_OffCompression, compression);

    const uint8_t* palette = file + kFileHeaderSize + infoSize;
    const int64_t paletteCount = (pixelOffset - kFileHeaderSize - infoSize) / 4;
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* src = file + pixelOffset + (bottomUp ? height - 1 - y : y) * fileStride;
        uint8_t* dst = block + TBitmap_HeaderSize + y * stride;
        if (!palettised) {
            std::memcpy(dst, src, size_t(stride));
            continue;
        }
        for (int32_t x = 0; x < width; ++x, dst += 4) {
            const int64_t index = src[x];
            if (index < paletteCount) {
                dst[0] = palette[index * 4];
                dst[1] = palette[index * 4 + 1];
                dst[2] = palette[index * 4 + 2];
            } else {
                dst[0] = dst[1] = dst[2] = 0;  // an index past the palette reads black
            }
            dst[3] = 0xFF;
        }
    }
    QS_FREE(file);
    TakeBlock(block, int32_t(blockSize));
    return true;
}
