#pragma once
// The plain 32-bit image made and edited on the CPU: sprite frames and
// backgrounds loaded at run time, copies, colour and gradient images, alpha
// transfers. Pixels are 0xAARRGGBB words (in memory blue, green, red,
// alpha), rows from the top, no padding. An invalid bitmap holds no pixels
// and every operation on it does nothing.
#include <cstdint>

class TBitmap;

class CBitmap32 {
public:
    // Every pixel the colour (0x00BBGGRR), opaque; sizes below 1 become 1.
    CBitmap32(int32_t width, int32_t height, uint32_t colour);
    // A gradient from colour1 to colour2: kind 0 horizontal, 1 vertical, 2
    // rectangle, 3 ellipse, 4 double horizontal, 5 double vertical.
    CBitmap32(int32_t width, int32_t height, uint32_t colour1, uint32_t colour2, int32_t kind);
    // Opaque conversion (24- and 32-bit sources), then the edge steps:
    // removeBack takes out the background colour, smooth then softens edges.
    CBitmap32(const TBitmap* bitmap, bool removeBack, bool smooth);
    // keepAlpha: the source's alpha kept (32-bit sources only, else invalid).
    CBitmap32(const TBitmap* bitmap, bool removeBack, bool smooth, bool keepAlpha);
    CBitmap32(const CBitmap32& other);
    // A copy of a rectangle; invalid unless it lies wholly inside a valid source.
    CBitmap32(const CBitmap32& other, int32_t x, int32_t y, int32_t width, int32_t height);
    virtual ~CBitmap32();
    CBitmap32& operator=(const CBitmap32&) = delete;

    void Assign(const CBitmap32& other);
    bool IsValid() const { return m_valid; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetByteSize() const { return m_byteSize; }
    uint32_t* GetPixels() { return m_pixels; }
    const uint32_t* GetPixels() const { return m_pixels; }
    // A new 32-bit bitmap with the same pixels (the caller owns it); null when invalid.
    TBitmap* ToTBitmap() const;
    // {left, top, right, bottom} of the pixels with some opacity, inclusive:
    // {width - 1, height - 1, 0, 0} when there is none, all 0 when invalid.
    void GetOpaqueBounds(int32_t bounds[4]) const;
    void RemoveBackground();
    void BleedEdges();
    void SmoothEdges();
    void SetAlphaFrom(const CBitmap32* other);
    void Resize(int32_t width, int32_t height);

private:
    bool Allocate(int32_t width, int32_t height);
    void FromTBitmap(const TBitmap* bitmap, bool removeBack, bool smooth, bool keepAlpha);

    bool m_valid = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_byteSize = 0;
    uint32_t* m_pixels = nullptr;
};

// Each of red, green and blue mixed in double precision, rounded to even; 0x00BBGGRR.
uint32_t GradientMix(uint32_t colour1, uint32_t colour2, double t);
