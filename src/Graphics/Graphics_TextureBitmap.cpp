// Game textures made from 32-bit bitmaps.
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Texture.h"

int GR_Texture_CreateFromBitmap(const CBitmap32* bitmap)
{
    if (!bitmap || !bitmap->IsValid()) return -1;
    // Bitmap words are 0xAARRGGBB; textures take the bytes red, green, blue, alpha.
    const size_t count = size_t(bitmap->GetWidth()) * size_t(bitmap->GetHeight());
    auto* pixels = static_cast<uint32_t*>(QS_ALLOC(count * 4, false));
    if (!pixels) return -1;
    const uint32_t* source = bitmap->GetPixels();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = source[i];
        pixels[i] = (p & 0xFF00FF00u) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
    }
    const int index = GR_Texture_Create(bitmap->GetWidth(), bitmap->GetHeight(), pixels, bitmap->GetByteSize());
    QS_FREE(pixels);
    return index;
}
