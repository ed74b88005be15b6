// Surface pixels copied between a surface and a buffer, row by row.
#include <cstring>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Graphics/Graphics_Surface.h"

namespace {

// The surface's size and the byte stride between rows, when the surface
// exists and every row lies inside size bytes from offset.
bool Layout(int32_t surface, int32_t offset, int32_t modulo, int32_t size, int32_t* width, int32_t* height,
            int64_t* stride)
{
    if (!GR_Surface_Exists(surface)) return false;
    *width = GR_Surface_GetWidth(surface);
    *height = GR_Surface_GetHeight(surface);
    if (*width <= 0 || *height <= 0 || offset < 0) return false;
    const int64_t row = int64_t{*width} * 4;
    *stride = row + modulo;
    const int64_t first = offset, last = offset + (int64_t{*height} - 1) * *stride;
    return first >= 0 && last >= 0 && first + row <= size && last + row <= size;
}

}  // namespace

bool IBuffer::GetSurface(int32_t surface, int32_t, int32_t offset, int32_t modulo)
{
    int32_t width, height;
    int64_t stride;
    if (!Layout(surface, offset, modulo, m_size, &width, &height, &stride)) return false;
    auto* pixels = reinterpret_cast<uint8_t*>(GR_Surface_ReadPixels(surface, 0, 0, width, height));
    if (!pixels) return false;
    const size_t row = static_cast<size_t>(width) * 4;
    int64_t end = 0;
    for (int32_t r = 0; r < height; ++r) {
        const int64_t at = offset + r * stride;
        std::memcpy(m_data + at, pixels + r * row, row);
        if (at + static_cast<int64_t>(row) > end) end = at + static_cast<int64_t>(row);
    }
    MemoryManager::Free(pixels);
    RaiseUsed(end);
    return true;
}

bool IBuffer::SetSurface(int32_t surface, int32_t offset, int32_t modulo)
{
    int32_t width, height;
    int64_t stride;
    if (!Layout(surface, offset, modulo, m_size, &width, &height, &stride)) return false;
    // Gathered into a block of its own: the rows may be apart, and the
    // offset need not fall on a pixel boundary.
    const size_t row = static_cast<size_t>(width) * 4;
    auto* pixels = static_cast<uint8_t*>(QS_ALLOC(row * static_cast<size_t>(height), false));
    if (!pixels) return false;
    for (int32_t r = 0; r < height; ++r) std::memcpy(pixels + r * row, m_data + offset + r * stride, row);
    GR_Surface_WritePixels(surface, reinterpret_cast<const uint32_t*>(pixels), 0, 0, width, height);
    QS_FREE(pixels);
    return true;
}
