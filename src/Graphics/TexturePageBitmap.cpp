#include "Graphics/TexturePageBitmap.h"

#include <algorithm>

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturePages.h"

int32_t TexturePage_EntryScale(const STexturePageEntry* e)
{
    if (!e || !e->width) return 1;
    return std::max(1, static_cast<int32_t>(float(e->cropWidth) / float(e->width)));
}

TBitmap* TexturePage_ReadEntryBitmap(const STexturePageEntry* e)
{
    if (!e || !GR_Texture_Exists(e->texture)) return nullptr;
    uint32_t* pixels = GR_D3D_ReadTextureRegion(GR_Texture_GetD3D(e->texture), e->x, e->y, e->width, e->height);
    if (!pixels) return nullptr;
    const int32_t scale = TexturePage_EntryScale(e);
    TBitmap* frame = TBitmap::Create();
    frame->SetWidth(std::max(1, e->fullWidth / scale));
    frame->SetHeight(std::max(1, e->fullHeight / scale));
    int32_t stride = 0;
    uint8_t* rows = frame->GetScanLine(0, nullptr, &stride);
    const int32_t ox = e->xOffset / scale, oy = e->yOffset / scale;
    // Read-back words are bytes red, green, blue, alpha; the bitmap wants blue first.
    for (int32_t y = 0; rows && y < e->height; ++y)
        for (int32_t x = 0; x < e->width; ++x) {
            const int32_t tx = ox + x, ty = oy + y;
            if (tx < 0 || ty < 0 || tx >= frame->GetWidth() || ty >= frame->GetHeight()) continue;
            const uint32_t p = pixels[size_t(y) * e->width + x];
            reinterpret_cast<uint32_t*>(rows + int64_t(ty) * stride)[tx] =
                (p & 0xFF00FF00u) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
        }
    QS_FREE(pixels);
    return frame;
}
