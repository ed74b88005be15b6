// The sampler stages, the render-target stack and the two special textures
// of the texture layer.
#include <cstring>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/TexturesM_Internal.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

namespace {

constexpr int kStageCount = 8;
constexpr int kLevelCount = 9;

struct TargetLevel {
    D3DTexture* colour[4];
    D3DTexture* depth;
};

TargetLevel g_Levels[kLevelCount];
int g_Level = 0;
// What each stage holds; a stage not known holds whatever the device has.
D3DTexture* g_Stages[kStageCount];
bool g_StageKnown[kStageCount];
D3DTexture* g_WhiteTexture = nullptr;
D3DTexture* g_BackBufferTarget = nullptr;

void BindWhite(int stage)
{
    HGPU_SetTexture(stage, GR_D3D_GetTextureView(g_WhiteTexture));
}

bool IsTargetOf(const TargetLevel& level, const D3DTexture* texture)
{
    if (level.depth == texture) return true;
    for (const D3DTexture* colour : level.colour)
        if (colour == texture) return true;
    return false;
}

void ForgetFromLevel(TargetLevel& level, const D3DTexture* texture)
{
    for (D3DTexture*& colour : level.colour)
        if (colour == texture) colour = nullptr;
    if (level.depth == texture) level.depth = nullptr;
}

}  // namespace

void Textures_ForgetStageBinding(D3DTexture* texture)
{
    for (int stage = 0; stage < kStageCount; ++stage)
        if (g_Stages[stage] == texture) g_StageKnown[stage] = false;
}

void Textures_UnbindFromStages(D3DTexture* texture)
{
    for (int stage = 0; stage < kStageCount; ++stage) {
        if (g_Stages[stage] != texture) continue;
        // Forgotten even without a device, so a later texture at the same
        // address is never taken for this one.
        g_Stages[stage] = nullptr;
        g_StageKnown[stage] = false;
        GR_D3D_BindTexture(stage, nullptr, true);
    }
}

bool Textures_IsActiveColourTarget(D3DTexture* texture)
{
    for (int level = 0; level <= g_Level; ++level)
        for (const D3DTexture* colour : g_Levels[level].colour)
            if (colour == texture) return true;
    return false;
}

bool Textures_IsCurrentColourTarget(const D3DTexture* texture)
{
    for (const D3DTexture* colour : g_Levels[g_Level].colour)
        if (colour == texture) return true;
    return false;
}

void Textures_RemoveFromAllLevels(D3DTexture* texture)
{
    for (TargetLevel& level : g_Levels) ForgetFromLevel(level, texture);
}

void GR_D3D_SetTexture(int stage, D3DTexture* texture) { GR_D3D_BindTexture(stage, texture, false); }

void GR_D3D_BindTexture(int stage, D3DTexture* texture, bool forced)
{
    if (stage < 0 || stage >= kStageCount) return;
    if (!forced) {
        if (g_StageKnown[stage] && g_Stages[stage] == texture) return;
        // A texture cannot be sampled while it is drawn into.
        if (texture && g_Level > 0 && IsTargetOf(g_Levels[g_Level], texture)) return;
    }
    if (!HGPU_HasDevice()) return;
    g_Stages[stage] = texture;
    g_StageKnown[stage] = true;
    if (!texture) {
        BindWhite(stage);
        return;
    }
    HGPU_Texture* view = GR_D3D_GetTextureView(texture);
    ++GR_D3D_TextureSwitchCount;
    if (view) {
        HGPU_SetTexture(stage, view);
        return;
    }
    BindWhite(stage);
    g_Stages[stage] = nullptr;
}

void GR_D3D_ResetSamplerStages()
{
    if (!HGPU_HasDevice()) return;
    for (int stage = 0; stage < kStageCount; ++stage) {
        g_Stages[stage] = nullptr;
        g_StageKnown[stage] = true;
        BindWhite(stage);
    }
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

void GR_D3D_UnbindRenderTarget(D3DTexture* texture)
{
    for (int level = 0; level <= g_Level; ++level) ForgetFromLevel(g_Levels[level], texture);
}

void GR_D3D_ApplyRenderTargets()
{
    if (!HGPU_HasDevice()) return;
    const TargetLevel& level = g_Levels[g_Level];
    HGPU_Texture* colour[4] = {};
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        D3DTexture* target = level.colour[i];
        if (!target) continue;
        colour[i] = GR_D3D_GetTargetView(target);
        if (target->gpu && (target->gpu->flags & TEXTURE_GPU_MULTISAMPLED))
            target->gpu->flags |= TEXTURE_GPU_RESOLVE_PENDING;
        any = any || colour[i];
        for (int stage = 0; stage < kStageCount; ++stage)
            if (g_Stages[stage] == target) GR_D3D_BindTexture(stage, nullptr, true);
    }
    HGPU_Texture* depth = GR_D3D_GetDepthView(level.depth);
    if (!any && !depth) {
        HGPU_Texture* back = HGPU_GetBackBuffer();
        HGPU_SetRenderTargets(&back, 1, nullptr);
        return;
    }
    HGPU_SetRenderTargets(colour, 4, depth);
}

D3DTexture* GR_D3D_GetRenderTarget(int index)
{
    return (index >= 0 && index < 4) ? g_Levels[g_Level].colour[index] : nullptr;
}

D3DTexture* GR_D3D_GetDepthTarget() { return g_Levels[g_Level].depth; }

int GR_D3D_GetRenderTargetLevel() { return g_Level; }

D3DTexture* GR_D3D_CreateWhiteTexture()
{
    D3DTexture* texture = GR_D3D_CreateTexture(16, 16, 1, 0, TEXTURE_FORMAT_RGBA8);
    uint32_t white[16 * 16];
    std::memset(white, 0xFF, sizeof white);
    GR_D3D_UpdateTexture(texture, 0, 16, 16, white);
    return texture;
}

void GR_D3D_InitTextures()
{
    GR_D3D_FreeSpecialTextures();
    g_WhiteTexture = GR_D3D_CreateWhiteTexture();
    GR_D3D_RecreateBackBufferTarget();
}

void GR_D3D_FreeSpecialTextures()
{
    // Stages that showed the white texture show nothing once it is gone.
    for (bool& known : g_StageKnown) known = false;
    D3DTexture* white = g_WhiteTexture;
    g_WhiteTexture = nullptr;
    GR_D3D_FreeTexture(white);
    // Freed while still known as the back-buffer target: it may be target 0.
    GR_D3D_FreeTexture(g_BackBufferTarget);
    g_BackBufferTarget = nullptr;
}

void GR_D3D_RecreateBackBufferTarget()
{
    GR_D3D_FreeTexture(g_BackBufferTarget);
    g_BackBufferTarget = GR_D3D_CreateTexture(GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight, 0,
                                              TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    GR_D3D_EnsureTextureGPU(g_BackBufferTarget, true);
}

D3DTexture* GR_D3D_GetBackBufferTarget() { return g_BackBufferTarget; }

D3DTexture* GR_D3D_GetWhiteTexture() { return g_WhiteTexture; }
