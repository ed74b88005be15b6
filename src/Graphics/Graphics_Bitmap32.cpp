#include "Graphics/Graphics_Bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"
#include "Graphics/TBitmap.h"

namespace {
constexpr bool Transparent(uint32_t pixel) { return pixel < 0x01000000u; }
constexpr bool SomeOpacity(uint32_t pixel) { return pixel > 0x00FFFFFFu; }

// 0x00BBGGRR to an opaque 0xAARRGGBB pixel.
constexpr uint32_t OpaquePixel(uint32_t colour)
{
    return 0xFF000000u + ((colour & 0xFF) << 16) + (colour & 0xFF00) + ((colour >> 16) & 0xFF);
}

double GradientT(int32_t kind, int32_t x, int32_t y, int32_t w, int32_t h)
{
    switch (kind) {
    case 0: return double(x) / w;
    case 1: return double(y) / h;
    case 2: return std::min({x, w - 1 - x, y, h - 1 - y}) / (std::min(w, h) / 2.0);
    case 4: return std::min(x, w - 1 - x) / (w / 2.0);
    default: return std::min(y, h - 1 - y) / (h / 2.0);
    }
}
}  // namespace

uint32_t GradientMix(uint32_t colour1, uint32_t colour2, double t)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double a = (colour1 >> shift) & 0xFF, b = (colour2 >> shift) & 0xFF;
        const double v = std::nearbyint(a * (1.0 - t) + b * t);
        // Bounded before the conversion: t comes from image sizes and stays in 0..1.
        result |= static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)) << shift;
    }
    return result;
}

bool CBitmap32::Allocate(int32_t width, int32_t height)
{
    QS_FREE(m_pixels);
    m_pixels = nullptr;
    m_valid = false;
    m_width = m_height = m_byteSize = 0;
    if (!Image_SizeAllowed(width, height)) return false;
    m_pixels = static_cast<uint32_t*>(QS_ALLOC(size_t(width) * size_t(height) * 4, true));
    if (!m_pixels) return false;
    m_valid = true;
    m_width = width;
    m_height = height;
    m_byteSize = width * height * 4;
    return true;
}

CBitmap32::CBitmap32(int32_t width, int32_t height, uint32_t colour)
{
    if (!Allocate(std::max(width, 1), std::max(height, 1))) return;
    std::fill(m_pixels, m_pixels + size_t(m_width) * m_height, OpaquePixel(colour));
}

CBitmap32::CBitmap32(int32_t width, int32_t height, uint32_t colour1, uint32_t colour2, int32_t kind)
{
    const int32_t w = std::max(width, 1), h = std::max(height, 1);
    if (!Allocate(w, h)) return;
    // Kinds the gradient does not know leave the image black, as a fresh bitmap is.
    std::fill(m_pixels, m_pixels + size_t(w) * h, 0xFF000000u);
    if (kind == 3) {
        std::fill(m_pixels, m_pixels + size_t(w) * h, OpaquePixel(colour1));
        const double g = std::min(w, h) / 2.0;
        for (int32_t k = 0; k < g; ++k) {
            const uint32_t pixel = OpaquePixel(GradientMix(colour1, colour2, k / g));
            const double rx = (w - 2.0 * k) / 2.0, ry = (h - 2.0 * k) / 2.0;
            for (int32_t y = k; y <= h - 1 - k; ++y)
                for (int32_t x = k; x <= w - 1 - k; ++x) {
                    const double dx = x - w / 2.0, dy = y - h / 2.0;
                    if (dx * dx / (rx * rx) + dy * dy / (ry * ry) <= 1.0) m_pixels[size_t(y) * w + x] = pixel;
                }
        }
        return;
    }
    if (kind < 0 || kind > 5) return;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            m_pixels[size_t(y) * w + x] = OpaquePixel(GradientMix(colour1, colour2, GradientT(kind, x, y, w, h)));
}

CBitmap32::CBitmap32(const TBitmap* bitmap, bool removeBack, bool smooth)
{
    FromTBitmap(bitmap, removeBack, smooth, false);
}

CBitmap32::CBitmap32(const TBitmap* bitmap, bool removeBack, bool smooth, bool keepAlpha)
{
    FromTBitmap(bitmap, removeBack, smooth, keepAlpha);
}

void CBitmap32::FromTBitmap(const TBitmap* bitmap, bool removeBack, bool smooth, bool keepAlpha)
{
    if (!bitmap) return;
    const int32_t format = bitmap->GetPixelFormat();
    // Only 24- and 32-bit rows convert; keeping alpha needs 32-bit ones.
    if (format != TBitmapFormat_32 && (keepAlpha || format != TBitmapFormat_24)) return;
    // The scan line call only reads here: a bitmap without pixels gets a zeroed block.
    auto* source = const_cast<TBitmap*>(bitmap);
    int32_t stride = 0;
    const uint8_t* rows = source->GetScanLine(0, nullptr, &stride);
    if (!rows || !Allocate(bitmap->GetWidth(), bitmap->GetHeight())) return;
    const int32_t step = format == TBitmapFormat_32 ? 4 : 3;
    for (int32_t y = 0; y < m_height; ++y) {
        const uint8_t* row = rows + int64_t(y) * stride;
        uint32_t* out = m_pixels + size_t(y) * m_width;
        for (int32_t x = 0; x < m_width; ++x) {
            const uint8_t* p = row + x * step;
            const uint32_t alpha = keepAlpha ? p[3] : 0xFF;
            out[x] = alpha << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        }
    }
    if (removeBack) {
        RemoveBackground();
        if (smooth) SmoothEdges();
    }
}

CBitmap32::CBitmap32(const CBitmap32& other)
{
    if (!other.m_valid || !Allocate(other.m_width, other.m_height)) return;
    std::memcpy(m_pixels, other.m_pixels, size_t(m_byteSize));
}

CBitmap32::CBitmap32(const CBitmap32& other, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!other.m_valid || x < 0 || y < 0 || width < 1 || height < 1 || int64_t{x} + width > other.m_width ||
        int64_t{y} + height > other.m_height || !Allocate(width, height))
        return;
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(m_pixels + size_t(row) * width, other.m_pixels + size_t(y + row) * other.m_width + x,
                    size_t(width) * 4);
}

CBitmap32::~CBitmap32()
{
    QS_FREE(m_pixels);
}

void CBitmap32::Assign(const CBitmap32& other)
{
    if (&other == this) return;
    if (!other.m_valid || !Allocate(other.m_width, other.m_height)) {
        Allocate(0, 0);
        return;
    }
    std::memcpy(m_pixels, other.m_pixels, size_t(m_byteSize));
}

TBitmap* CBitmap32::ToTBitmap() const
{
    if (!m_valid) return nullptr;
    TBitmap* bitmap = TBitmap::Create();
    if (!bitmap) return nullptr;
    bitmap->SetPixelFormat(TBitmapFormat_32);
    bitmap->SetWidth(m_width);
    bitmap->SetHeight(m_height);
    uint8_t* rows = bitmap->GetScanLine(0, nullptr, nullptr);
    if (!rows) {
        delete bitmap;
        return nullptr;
    }
    std::memcpy(rows, m_pixels, size_t(m_byteSize));
    return bitmap;
}

void CBitmap32::GetOpaqueBounds(int32_t bounds[4]) const
{
    bounds[0] = bounds[1] = bounds[2] = bounds[3] = 0;
    if (!m_valid) return;
    bounds[0] = m_width - 1;
    bounds[1] = m_height - 1;
    for (int32_t y = 0; y < m_height; ++y)
        for (int32_t x = 0; x < m_width; ++x)
            if (SomeOpacity(m_pixels[size_t(y) * m_width + x])) {
                bounds[0] = std::min(bounds[0], x);
                bounds[1] = std::min(bounds[1], y);
                bounds[2] = std::max(bounds[2], x);
                bounds[3] = std::max(bounds[3], y);
            }
}

void CBitmap32::RemoveBackground()
{
    if (!m_valid) return;
    const uint32_t key = m_pixels[size_t(m_height - 1) * m_width] & 0xFFFFFFu;
    const size_t count = size_t(m_width) * m_height;
    for (size_t i = 0; i < count; ++i)
        if ((m_pixels[i] & 0xFFFFFFu) == key) m_pixels[i] &= 0xFFFFFFu;
    BleedEdges();
}

void CBitmap32::BleedEdges()
{
    if (!m_valid) return;
    auto at = [this](int32_t x, int32_t y) { return m_pixels[size_t(y) * m_width + x]; };
    for (int32_t y = 0; y < m_height; ++y)
        for (int32_t x = 0; x < m_width; ++x) {
            uint32_t& pixel = m_pixels[size_t(y) * m_width + x];
            if (!Transparent(pixel)) continue;
            const bool has[4] = {x > 0, x + 1 < m_width, y > 0, y + 1 < m_height};
            const int32_t nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
            for (int i = 0; i < 4; ++i)
                if (has[i] && SomeOpacity(at(nx[i], ny[i]))) {
                    pixel = at(nx[i], ny[i]) & 0xFFFFFFu;
                    break;
                }
        }
}

void CBitmap32::SmoothEdges()
{
    if (!m_valid) return;
    for (int32_t y = 0; y < m_height; ++y)
        for (int32_t x = 0; x < m_width; ++x) {
            if (!Transparent(m_pixels[size_t(y) * m_width + x])) continue;
            for (int32_t ny = std::max(y - 1, 0); ny <= std::min(y + 1, m_height - 1); ++ny)
                for (int32_t nx = std::max(x - 1, 0); nx <= std::min(x + 1, m_width - 1); ++nx) {
                    uint32_t& p = m_pixels[size_t(ny) * m_width + nx];
                    if ((p >> 24) >= 32) p -= 32u << 24;
                }
        }
}

void CBitmap32::SetAlphaFrom(const CBitmap32* other)
{
    if (!m_valid || !other || !other->m_valid) return;
    const int32_t w = std::min(m_width, other->m_width), h = std::min(m_height, other->m_height);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t& p = m_pixels[size_t(y) * m_width + x];
            const uint32_t o = other->m_pixels[size_t(y) * other->m_width + x];
            const uint32_t grey = (((o >> 16) & 0xFF) + ((o >> 8) & 0xFF) + (o & 0xFF)) / 3;
            p = std::min(p >> 24, grey) << 24 | (p & 0xFFFFFFu);
        }
}

void CBitmap32::Resize(int32_t width, int32_t height)
{
    if (!m_valid || (width == m_width && height == m_height) || !Image_SizeAllowed(width, height)) return;
    auto* pixels = static_cast<uint32_t*>(QS_ALLOC(size_t(width) * size_t(height) * 4, true));
    if (!pixels) return;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] =
                m_pixels[size_t(int64_t{y} * m_height / height) * m_width + size_t(int64_t{x} * m_width / width)];
    QS_FREE(m_pixels);
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_byteSize = width * height * 4;
}
