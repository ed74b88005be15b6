// Stand-in for the texture objects: plain 32-bit textures, render targets
// with their own depth buffers, the render-target stack and the two special
// textures; enough for the frame protocol and the clear. The full texture
// layer (formats, image sources, resolve, texture lists) replaces it.
#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

struct TargetLevel {
    D3DTexture* colour[4];
    D3DTexture* depth;
};

TargetLevel g_Levels[9];
int g_Level = 0;
D3DTexture* g_Stages[8];
D3DTexture* g_WhiteTexture = nullptr;
D3DTexture* g_BackBufferTarget = nullptr;

}  // namespace

D3DTexture* GR_D3D_CreateTexture(int width, int height, int creationFlag, int options, int format)
{
    auto* texture = static_cast<D3DTexture*>(QS_ALLOC(sizeof(D3DTexture), true));
    texture->format = format;
    texture->creationFlag = creationFlag;
    if (width <= 0 || height <= 0) return texture;
    texture->width = width;
    texture->height = height;
    texture->renderTarget = (options & TEXTURE_OPTION_RENDER_TARGET) != 0;
    if (!texture->renderTarget)
        texture->pixels = static_cast<uint32_t*>(QS_ALLOC(static_cast<size_t>(width) * height * 4, true));
    return texture;
}

bool GR_D3D_UpdateTexture(D3DTexture* texture, int, int width, int height, const uint32_t* pixels)
{
    if (!texture || !texture->pixels || width <= 0 || height <= 0 || !pixels) return true;
    const int rows = height < texture->height ? height : texture->height;
    const int columns = width < texture->width ? width : texture->width;
    for (int y = 0; y < rows; ++y)
        std::memcpy(texture->pixels + static_cast<size_t>(y) * texture->width, pixels + static_cast<size_t>(y) * width,
                    static_cast<size_t>(columns) * 4);
    GR_D3D_EnsureTextureGPU(texture, false);
    HGPU_UpdateTexture(texture->colour, 0, 0, texture->width, texture->height, texture->pixels, texture->width * 4);
    return true;
}

void GR_D3D_EnsureTextureGPU(D3DTexture* texture, bool)
{
    if (!texture || texture->colour || !HGPU_HasDevice() || texture->width <= 0) return;
    const uint32_t bind = HGPU_BIND_SHADER_RESOURCE | (texture->renderTarget ? uint32_t{HGPU_BIND_RENDER_TARGET} : 0u);
    texture->colour =
        HGPU_CreateTexture(texture->width, texture->height, HGPU_Format::R8G8B8A8, bind, 1, texture->pixels);
    if (texture->renderTarget)
        texture->depth = HGPU_CreateTexture(texture->width, texture->height, HGPU_Format::D24S8,
                                            HGPU_BIND_DEPTH_STENCIL, 1, nullptr);
}

void GR_D3D_ReleaseTextureGPU(D3DTexture* texture)
{
    if (!texture) return;
    HGPU_ReleaseTexture(texture->colour);
    HGPU_ReleaseTexture(texture->depth);
    texture->colour = texture->depth = nullptr;
}

void GR_D3D_FreeTexture(D3DTexture* texture)
{
    if (!texture) return;
    for (TargetLevel& level : g_Levels) {
        for (D3DTexture*& colour : level.colour)
            if (colour == texture) colour = nullptr;
        if (level.depth == texture) level.depth = nullptr;
    }
    for (D3DTexture*& stage : g_Stages)
        if (stage == texture) stage = nullptr;
    GR_D3D_ReleaseTextureGPU(texture);
    QS_FREE(texture->pixels);
    QS_FREE(texture);
}

void GR_D3D_SetTexture(int stage, D3DTexture* texture)
{
    if (stage < 0 || stage > 7 || !HGPU_HasDevice()) return;
    g_Stages[stage] = texture;
    D3DTexture* bound = texture ? texture : g_WhiteTexture;
    GR_D3D_EnsureTextureGPU(bound, true);
    HGPU_SetTexture(stage, bound ? bound->colour : nullptr);
}

bool GR_D3D_PushRenderTargets()
{
    if (g_Level > 7) return false;
    g_Levels[g_Level + 1] = g_Levels[g_Level];
    ++g_Level;
    return true;
}

void GR_D3D_PopRenderTargets()
{
    GR_VertexBuilder_Flush();
    if (g_Level > 0) --g_Level;
    GR_D3D_ApplyRenderTargets();
}

bool GR_D3D_SetRenderTarget(int index, D3DTexture* texture)
{
    GR_VertexBuilder_Flush();
    if (index < 0 || index > 3) return false;
    g_Levels[g_Level].colour[index] = texture;
    if (index == 0) g_Levels[g_Level].depth = texture;
    GR_D3D_ApplyRenderTargets();
    return true;
}

void GR_D3D_ApplyRenderTargets()
{
    if (!HGPU_HasDevice()) return;
    const TargetLevel& level = g_Levels[g_Level];
    HGPU_Texture* colour[4] = {};
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        if (!level.colour[i]) continue;
        GR_D3D_EnsureTextureGPU(level.colour[i], false);
        colour[i] = level.colour[i]->colour;
        count = i + 1;
        // A texture cannot be sampled while it is drawn into.
        for (int stage = 0; stage < 8; ++stage)
            if (g_Stages[stage] == level.colour[i]) GR_D3D_SetTexture(stage, nullptr);
    }
    HGPU_Texture* depth = nullptr;
    if (level.depth) {
        GR_D3D_EnsureTextureGPU(level.depth, false);
        depth = level.depth->depth;
    }
    if (count == 0 && !depth) {
        HGPU_Texture* back = HGPU_GetBackBuffer();
        HGPU_SetRenderTargets(&back, 1, nullptr);
        return;
    }
    HGPU_SetRenderTargets(colour, count, depth);
}

D3DTexture* GR_D3D_GetRenderTarget(int index)
{
    return (index >= 0 && index < 4) ? g_Levels[g_Level].colour[index] : nullptr;
}

void GR_D3D_InitTextures()
{
    if (!g_WhiteTexture) {
        g_WhiteTexture = GR_D3D_CreateTexture(16, 16, 1, 0, 6);
        uint32_t white[16 * 16];
        std::memset(white, 0xFF, sizeof white);
        GR_D3D_UpdateTexture(g_WhiteTexture, 0, 16, 16, white);
    }
    GR_D3D_RecreateBackBufferTarget();
}

void GR_D3D_FreeSpecialTextures()
{
    GR_D3D_FreeTexture(g_WhiteTexture);
    GR_D3D_FreeTexture(g_BackBufferTarget);
    g_WhiteTexture = g_BackBufferTarget = nullptr;
    for (TargetLevel& level : g_Levels) level = TargetLevel{};
    g_Level = 0;
}

void GR_D3D_RecreateBackBufferTarget()
{
    GR_D3D_FreeTexture(g_BackBufferTarget);
    g_BackBufferTarget = GR_D3D_CreateTexture(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, 0,
                                              TEXTURE_OPTION_RENDER_TARGET, 6);
}

D3DTexture* GR_D3D_GetBackBufferTarget() { return g_BackBufferTarget; }

D3DTexture* GR_D3D_GetWhiteTexture() { return g_WhiteTexture; }
