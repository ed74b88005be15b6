// Collision masks of a sprite: one byte per frame pixel, 1 solid. They come
// from the game data's 1-bit masks, from the alpha of run-time frames, from
// sprite_collision_mask's shapes, or from the run-length bytes of vector data.
#include <algorithm>
#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Sprite/Sprite_Class.h"

namespace {
// A pixel is solid when its alpha bits, in place, are above the tolerance as
// unsigned numbers. Masks of existing games were made this way, so a tolerance
// of 0..255 takes every pixel whose alpha is not 0.
uint32_t AlphaThreshold(int32_t tolerance)
{
    return static_cast<uint32_t>(tolerance);
}
}  // namespace

bool CSprite::AllocateMasks(int32_t count)
{
    FreeMasks();
    m_masks = static_cast<SpriteMask*>(QS_ALLOC(sizeof(SpriteMask) * size_t(std::max(count, 1)), true));
    if (!m_masks) return false;
    // Built from here on, so FreeMasks releases a partly allocated set.
    m_masksBuilt = true;
    m_maskCount = count;
    const int32_t size = width * height;
    for (int32_t i = 0; i < count; ++i) {
        m_masks[i].bytes = static_cast<uint8_t*>(QS_ALLOC(size_t(size), true));
        if (!m_masks[i].bytes) {
            FreeMasks();
            return false;
        }
        m_masks[i].size = size;
    }
    return true;
}

const uint8_t* CSprite::GetMask(int32_t frame) const
{
    if (!m_masksBuilt || m_maskCount <= 0) return nullptr;
    int32_t m = frame % m_maskCount;
    if (m < 0) m += m_maskCount;
    return m_masks[m].bytes;
}

void CSprite::DecodeMasks()
{
    if (m_masksBuilt || m_storedMaskCount <= 0 || !m_storedMasks) return;
    oneMaskPerFrame = m_storedMaskCount == frameCount;
    if (!AllocateMasks(m_storedMaskCount)) return;
    // The reader checked that every stored mask lies inside its record.
    const size_t stride = size_t(width + 7) / 8;
    const uint8_t* row = m_storedMasks;
    for (int32_t m = 0; m < m_storedMaskCount; ++m) {
        uint8_t* out = m_masks[m].bytes;
        for (int32_t y = 0; y < height; ++y, row += stride)
            for (int32_t x = 0; x < width; ++x) *out++ = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
    }
}

void CSprite::BuildAlphaMasks()
{
    FreeMasks();
    const bool runtimeFrames = !m_pageEntries || m_ownsPageEntries;
    if (!precise || !transparent || frameCount <= 0 || kind != SPRITE_KIND_BITMAP || !runtimeFrames) return;
    if (!AllocateMasks(frameCount)) return;
    for (int32_t i = 0; i < frameCount; ++i) BuildFrameMask(nullptr, m_masks[i].bytes, GetFrameBitmap(i),
                                                            MASK_SHAPE_PRECISE, 0);
}

void CSprite::CreateCollisionMask(bool separate, int32_t boxKind, SpriteRect manual, int32_t shape, int32_t tolerance)
{
    if (kind != SPRITE_KIND_BITMAP) return;
    FreeMasks();
    // Data-file frames keep their stored masks, decoded again on the next test.
    if ((m_pageEntries && !m_ownsPageEntries) || frameCount <= 0) return;
    if (!AllocateMasks(frameCount)) return;
    const uint32_t threshold = AlphaThreshold(tolerance);
    const auto SetBoxEdges = [this](int32_t l, int32_t t, int32_t r, int32_t b) {
        bboxLeft = l;
        bboxTop = t;
        bboxRight = r;
        bboxBottom = b;
    };
    if (boxKind == MASK_BOX_FULL) {
        SetBoxEdges(0, 0, width - 1, height - 1);
    } else if (boxKind == MASK_BOX_MANUAL) {
        SetBoxEdges(std::clamp(manual.left, 0, width - 1), std::clamp(manual.top, 0, height - 1),
                    std::clamp(manual.right, 0, width - 1), std::clamp(manual.bottom, 0, height - 1));
    } else if (boxKind == MASK_BOX_AUTOMATIC) {
        SpriteRect found{width, height, -1, -1};
        for (int32_t i = 0; i < m_bitmapCount; ++i) {
            const CBitmap32* b = m_bitmaps[i];
            if (!b || !b->IsValid()) continue;
            const uint32_t* pixels = b->GetPixels();
            const int32_t w = std::min(width, b->GetWidth()), h = std::min(height, b->GetHeight());
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    if ((pixels[size_t(y) * size_t(b->GetWidth()) + size_t(x)] & 0xFF000000u) <= threshold) continue;
                    found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x),
                             std::max(found.bottom, y)};
                }
        }
        if (found.right < 0) found = {0, 0, 0, 0};
        SetBoxEdges(found.left, found.top, found.right, found.bottom);
    }
    for (int32_t i = 0; i < frameCount; ++i)
        BuildFrameMask(separate || i == 0 ? nullptr : m_masks[0].bytes, m_masks[i].bytes, GetFrameBitmap(i), shape,
                       threshold);
}

void CSprite::BuildFrameMask(const uint8_t* merge, uint8_t* target, const CBitmap32* frame, int32_t shape,
                             uint32_t threshold) const
{
    const size_t size = size_t(width) * size_t(height);
    std::memset(target, 0, size);
    // A box from the game data may lie anywhere: only its part inside the frame is filled.
    const int32_t left = std::max(bboxLeft, 0), top = std::max(bboxTop, 0);
    const int32_t right = std::min(bboxRight, width - 1), bottom = std::min(bboxBottom, height - 1);
    const auto box = [&](auto inside) {
        for (int32_t y = top; y <= bottom; ++y)
            for (int32_t x = left; x <= right; ++x)
                if (inside(static_cast<float>(x), static_cast<float>(y))) target[size_t(y) * width + x] = 1;
    };
    const float cx = static_cast<float>((int64_t{bboxLeft} + bboxRight) / 2);
    const float cy = static_cast<float>((int64_t{bboxTop} + bboxBottom) / 2);
    const float rx = cx - static_cast<float>(bboxLeft) + 0.5f, ry = cy - static_cast<float>(bboxTop) + 0.5f;
    if (shape == MASK_SHAPE_PRECISE) {
        if (frame && frame->IsValid()) {
            const uint32_t* pixels = frame->GetPixels();
            const int32_t w = std::min(width, frame->GetWidth()), h = std::min(height, frame->GetHeight());
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    target[size_t(y) * width + x] =
                        (pixels[size_t(y) * size_t(frame->GetWidth()) + size_t(x)] & 0xFF000000u) > threshold;
        }
    } else if (shape == MASK_SHAPE_RECTANGLE) {
        box([](float, float) { return true; });
    } else if (shape == MASK_SHAPE_ELLIPSE && rx > 0 && ry > 0) {
        box([&](float x, float y) {
            const float u = (x - cx) / rx, v = (y - cy) / ry;
            return u * u + v * v < 1.0f;
        });
    } else if (shape == MASK_SHAPE_DIAMOND && rx > 0 && ry > 0) {
        box([&](float x, float y) { return std::abs((x - cx) / rx) + std::abs((y - cy) / ry) < 1.0f; });
    }
    if (merge)
        for (size_t i = 0; i < size; ++i)
            if (merge[i]) target[i] = 1;
}

bool CSprite::DecodeRLEMasks(const uint8_t* const* bytes, const uint32_t* counts, int32_t count)
{
    FreeMasks();
    if (!precise || count <= 0) return true;
    if (!bytes || !counts || !AllocateMasks(count)) return false;
    const int64_t size = int64_t{width} * height;
    for (int32_t m = 0; m < count; ++m) {
        int64_t filled = 0;
        for (uint32_t i = 0; i < counts[m] && filled <= size; ++i) {
            const int32_t run = (bytes[m][i] & 0x7F) + 1;
            if (filled + run <= size) std::memset(m_masks[m].bytes + filled, bytes[m][i] >> 7, size_t(run));
            filled += run;
        }
        if (filled != size) {
            LogConsole->Output("Sprite %s: collision mask %d covers %lld pixels %s %d x %d\n", name ? name : "?", m,
                               static_cast<long long>(filled), filled < size ? "of" : "beyond", width, height);
            FreeMasks();
            return false;
        }
    }
    return true;
}
