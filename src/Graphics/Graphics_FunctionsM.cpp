#include "Graphics/Graphics_FunctionsM.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

int g_Viewport[4];

// The part of (x, y, w, h) on a texture of tw × th: where it starts on the
// texture, where in the rectangle, and its size; false when empty.
struct Clip {
    int x, y, column, row, width, height;
};

bool ClipToTexture(int tw, int th, int x, int y, int w, int h, Clip* clip)
{
    *clip = {x, y, 0, 0, w, h};
    if (clip->x < 0) {
        clip->column = -clip->x;
        clip->width += clip->x;
        clip->x = 0;
    }
    if (clip->y < 0) {
        clip->row = -clip->y;
        clip->height += clip->y;
        clip->y = 0;
    }
    if (clip->x + clip->width > tw) clip->width = tw - clip->x;
    if (clip->y + clip->height > th) clip->height = th - clip->y;
    return clip->width > 0 && clip->height > 0;
}

HGPU_Texture* SampledTexture(D3DTexture* texture)
{
    GR_D3D_EnsureTextureGPU(texture, true);
    return texture->gpu ? texture->gpu->texture : nullptr;
}

}  // namespace

void GR_D3D_ApplyViewport(int x, int y, int width, int height)
{
    g_Viewport[0] = x;
    g_Viewport[1] = y;
    g_Viewport[2] = width;
    g_Viewport[3] = height;
    HGPU_SetViewport(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                     static_cast<float>(height), 0.0f, 1.0f);
    HGPU_SetScissor(x, y, x + width, y + height);
}

void GR_D3D_GetDeviceViewport(int* x, int* y, int* width, int* height)
{
    *x = g_Viewport[0];
    *y = g_Viewport[1];
    *width = g_Viewport[2];
    *height = g_Viewport[3];
}

uint32_t* GR_D3D_ReadTexturePixels(D3DTexture* texture, int x, int y, int width, int height)
{
    if (!texture || width <= 0 || height <= 0 || !HGPU_HasDevice()) return nullptr;
    GR_VertexBuilder_Flush();
    Clip clip;
    if (!ClipToTexture(texture->width, texture->height, x, y, width, height, &clip)) return nullptr;
    HGPU_Texture* gpu = SampledTexture(texture);
    if (!gpu) return nullptr;
    auto* pixels = static_cast<uint32_t*>(QS_ALLOC(static_cast<size_t>(width) * height * 4, true));
    uint32_t* start = pixels + static_cast<size_t>(clip.row) * width + clip.column;
    if (!HGPU_ReadTexture(gpu, clip.x, clip.y, clip.width, clip.height, start, width * 4)) {
        MemoryManager::Free(pixels);
        return nullptr;
    }
    return pixels;
}

uint32_t* GR_D3D_ReadTextureRegion(D3DTexture* texture, int x, int y, int width, int height)
{
    return GR_D3D_ReadTexturePixels(texture, x, y, width, height);
}

void GR_D3D_WriteTexturePixels(const uint32_t* pixels, D3DTexture* texture, int x, int y, int width, int height)
{
    if (!pixels || !texture || width <= 0 || height <= 0) return;
    GR_VertexBuilder_Flush();
    Clip clip;
    if (!ClipToTexture(texture->width, texture->height, x, y, width, height, &clip)) return;
    const uint32_t* start = pixels + static_cast<size_t>(clip.row) * width + clip.column;
    // The CPU copy is the texture's source of truth: it is rebuilt from it.
    if (texture->pixels) {
        for (int i = 0; i < clip.height; ++i)
            std::memcpy(texture->pixels + static_cast<size_t>(clip.y + i) * texture->width + clip.x,
                        start + static_cast<size_t>(i) * width, static_cast<size_t>(clip.width) * 4);
    }
    if (!HGPU_HasDevice()) return;
    HGPU_Texture* gpu = SampledTexture(texture);
    if (gpu) HGPU_UpdateTexture(gpu, clip.x, clip.y, clip.width, clip.height, start, width * 4);
}

void GR_D3D_CopySurfacePart(D3DTexture* destination, int x, int y, D3DTexture* source, int sx, int sy, int width,
                            int height)
{
    if (!destination || !source || !HGPU_HasDevice() || source->width <= 0 || source->height <= 0) return;
    GR_VertexBuilder_Flush();
    float kept[3][16];
    for (int slot = 0; slot < 3; ++slot) GR_D3D_GetMatrix(slot, kept[slot]);
    const bool noCulling = NoSpriteCulling;
    // The copy sets its own viewport; the caller's comes back afterwards.
    int viewport[4];
    std::memcpy(viewport, g_Viewport, sizeof viewport);
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, destination);
    GR_D3D_ApplyViewport(0, 0, destination->width, destination->height);
    GR_3D_SetProjectionOrtho(0, 0, static_cast<float>(destination->width), static_cast<float>(destination->height), 0);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GR_D3D_SetMatrix(MATRIX_WORLD, identity);
    StateManagerM::SaveStates();
    StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
    const float sw = static_cast<float>(source->width), sh = static_cast<float>(source->height);
    const uint32_t white = 0xFFFFFFFFu;
    const uint32_t colours[4] = {white, white, white, white};
    const float corners[8] = {fx, fy, fx + fw, fy, fx + fw, fy + fh, fx, fy + fh};
    GR_D3D_DrawTexturedQuad(source, corners, sx / sw, sy / sh, (sx + fw) / sw, (sy + fh) / sh, colours);
    GR_VertexBuilder_Flush();
    StateManagerM::RestoreStates();
    GR_D3D_PopRenderTargets();
    for (int slot = 0; slot < 3; ++slot) GR_D3D_SetMatrix(slot, kept[slot]);
    NoSpriteCulling = noCulling;
    GR_InvalidateCullRect();
    GR_D3D_ApplyViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

uint32_t* GR_D3D_ReadScreenPixels(int limitWidth, int limitHeight, int x, int y, int width, int height,
                                  int* outWidth, int* outHeight)
{
    GR_VertexBuilder_Flush();
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x + width > limitWidth) width = limitWidth - x;
    if (y + height > limitHeight) height = limitHeight - y;
    if (outWidth) *outWidth = width;
    if (outHeight) *outHeight = height;
    return GR_D3D_ReadTexturePixels(GR_D3D_GetBackBufferTarget(), x, y, width, height);
}
