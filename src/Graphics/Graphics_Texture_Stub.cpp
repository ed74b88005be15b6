// Stand-in for the game texture table: a fixed table of texture records made
// from pixels. The full table (texture pages, image chunks) replaces it.
#include "Graphics/Graphics_Texture.h"

#include "Graphics/TexturesM.h"

namespace {
constexpr int kMaxTextures = 64;
D3DTexture* g_Textures[kMaxTextures];
}  // namespace

void GR_Texture_Init()
{
    for (D3DTexture*& texture : g_Textures) {
        GR_D3D_FreeTexture(texture);
        texture = nullptr;
    }
}

int GR_Texture_CreateFromPixels(const uint32_t* pixels, int width, int height)
{
    for (int i = 0; i < kMaxTextures; ++i) {
        if (g_Textures[i]) continue;
        g_Textures[i] = GR_D3D_CreateTexture(width, height, 0, 0, 6);
        GR_D3D_UpdateTexture(g_Textures[i], 0, width, height, pixels);
        return i;
    }
    return -1;
}

D3DTexture* GR_Texture_GetD3DTexture(int index)
{
    return (index >= 0 && index < kMaxTextures) ? g_Textures[index] : nullptr;
}

void GR_Texture_Free(int index)
{
    if (index < 0 || index >= kMaxTextures) return;
    GR_D3D_FreeTexture(g_Textures[index]);
    g_Textures[index] = nullptr;
}

void GR_Texture_ReleaseAllGPU()
{
    for (D3DTexture* texture : g_Textures) GR_D3D_ReleaseTextureGPU(texture);
}
