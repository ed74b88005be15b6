#pragma once
// The engine's in-memory image in device-independent-bitmap layout, and the
// loader interface that hands such images out frame by frame.
//
// A bitmap's block is a 52-byte header (a bitmap file header without its "BM"
// signature, then the 40-byte info header) followed by the pixel rows,
// top-down, unpadded. 32-bit pixels are the bytes blue, green, red, alpha.
#include <cstdint>

class MemoryStream;

constexpr int TBitmap_HeaderSize = 52;

// Header fields, as offsets into a block.
constexpr int TBitmap_OffPixelOffset = 8;
constexpr int TBitmap_OffInfoSize = 12;
constexpr int TBitmap_OffWidth = 16;
constexpr int TBitmap_OffHeight = 20;
constexpr int TBitmap_OffPlanes = 24;
constexpr int TBitmap_OffBitsPerPixel = 26;
constexpr int TBitmap_OffCompression = 28;

// Pixel formats.
enum TBitmapFormat : int32_t {
    TBitmapFormat_1 = 1,
    TBitmapFormat_4 = 2,
    TBitmapFormat_8 = 3,
    TBitmapFormat_15 = 4,
    TBitmapFormat_16 = 5,
    TBitmapFormat_24 = 6,
    TBitmapFormat_32 = 7,
};

class IBitmap {
public:
    virtual ~IBitmap() = default;
    virtual bool LoadFromStream(MemoryStream* stream) = 0;
    virtual void SetWidth(int32_t width) = 0;
    virtual int32_t GetWidth() const = 0;
    virtual void SetHeight(int32_t height) = 0;
    virtual int32_t GetHeight() const = 0;
    virtual void SetPixelFormat(int32_t format) = 0;
    virtual int32_t GetPixelFormat() const = 0;
    virtual uint8_t* GetScanLine(int32_t row, uint8_t** rowOut, int32_t* strideOut) = 0;
    virtual void ReleaseScanLine(uint8_t* pixels) = 0;
    virtual void CopyFrom(const IBitmap* other) = 0;
    virtual void FreePixels() = 0;
    virtual int32_t GetDataSize() const = 0;
    virtual bool AdoptBuffer(uint8_t* block, int32_t size) = 0;
};

class TBitmap final : public IBitmap {
public:
    static TBitmap* Create();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // Reads a bitmap file ("BM"): 1, 4, 8, 15/16, 24 and 32 bits per pixel,
    // uncompressed or bit-field rows. 8-bit files become 32-bit pixels through
    // their palette. False (and no pixels) for anything else or a file whose
    // sizes and offsets do not fit what it holds.
    bool LoadFromStream(MemoryStream* stream) override;
    void SetWidth(int32_t width) override;
    int32_t GetWidth() const override { return m_width; }
    void SetHeight(int32_t height) override;
    int32_t GetHeight() const override { return m_height; }
    void SetPixelFormat(int32_t format) override;
    int32_t GetPixelFormat() const override { return m_format; }
    // Gives the first row, allocating a zero-filled block for the current size
    // and format when there is none (or the one held no longer fits them).
    // The row pointer is null for a row outside the bitmap; null result when
    // the size is not allowed.
    uint8_t* GetScanLine(int32_t row, uint8_t** rowOut, int32_t* strideOut) override;
    void ReleaseScanLine(uint8_t*) override {}
    void CopyFrom(const IBitmap* other) override;
    void FreePixels() override;
    int32_t GetDataSize() const override { return m_dataSize; }
    // Takes ownership of a block laid out as described above (32-bit pixels).
    // A block whose header does not fit its size is freed and refused.
    bool AdoptBuffer(uint8_t* block, int32_t size) override;

    int32_t GetStride() const { return m_stride; }
    int32_t GetChangeCounter() const { return m_changeCounter; }
    int32_t GetBlockSize() const { return m_blockSize; }

private:
    TBitmap() = default;
    void UpdateStride();
    void TakeBlock(uint8_t* block, int32_t blockSize);

    uint8_t* m_block = nullptr;
    int32_t m_dataSize = 0;
    uint8_t* m_pixels = nullptr;
    int32_t m_blockSize = 0;
    int32_t m_format = TBitmapFormat_32;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_stride = 0;
    int32_t m_changeCounter = -1;
};

// Bytes per row of a format: rows are never padded.
int32_t TBitmap_StrideOf(int32_t format, int32_t width);
// A new 32-bit bitmap from width x height device read-back words
// (0xAABBGGRR: the bytes red, green, blue, alpha), stored as blue, green,
// red, alpha. The words stay the caller's.
TBitmap* TBitmap_FromDevicePixels(const uint32_t* pixels, int32_t width, int32_t height);

class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    virtual bool HasOwnFrames() const = 0;
    virtual int32_t GetFrameCount() const = 0;
    virtual TBitmap* CreateTBitmap(int32_t frame) const = 0;
};

// One image of decoded 32-bit pixels; the caller cuts it into frames.
class BitmapLoader final : public IBitmapLoader {
public:
    // Copies width x height 32-bit pixels (top-down rows). Null when the size
    // is not allowed or memory runs out.
    static BitmapLoader* Create(const uint8_t* pixels, int32_t width, int32_t height);
    ~BitmapLoader() override;
    BitmapLoader(const BitmapLoader&) = delete;
    BitmapLoader& operator=(const BitmapLoader&) = delete;

    bool HasOwnFrames() const override { return false; }
    int32_t GetFrameCount() const override { return m_frameCount; }
    // A new bitmap owning a copy of the image; null for a frame other than 0.
    TBitmap* CreateTBitmap(int32_t frame) const override;

private:
    BitmapLoader() = default;
    uint8_t* m_block = nullptr;
    int32_t m_blockSize = 0;
    int32_t m_frameCount = 1;
};
