// Stand-in for the render-state cache: no cache, the default states are sent
// straight to the state manager. The full cache and state stack replace it.
#include "Graphics/RenderStateCache.h"

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

RenderStateCache g_RenderStateCache;

void RenderStateCache::Reset() {}

void GR_D3D_RestoreStates()
{
    if (!HGPU_HasDevice()) return;
    StateManagerM::ResetStates();
    // The cache's defaults: index and value.
    static const int kDefaults[][2] = {
        {RS_ZTESTENABLE, 0}, {RS_FILLMODE, 3}, {RS_ZWRITEENABLE, 1}, {RS_ALPHATESTENABLE, 0}, {RS_SRCBLEND, 5},
        {RS_DESTBLEND, 6}, {RS_CULLMODE, 0}, {RS_ZFUNC, 4}, {RS_ALPHAREF, 0}, {RS_BLENDENABLE, 1},
        {RS_FOGENABLE, 0}, {RS_FOGCOLOR, 0}, {RS_FOGSTART, 0}, {RS_FOGEND, 0x3F800000}, {RS_LIGHTING, 0},
        {RS_COLORWRITEENABLE, 15}, {RS_STENCILENABLE, 0}, {RS_STENCILFAIL, 1}, {RS_STENCILZFAIL, 1},
        {RS_STENCILPASS, 1}, {RS_STENCILFUNC, 8}, {RS_STENCILREF, 0}, {RS_STENCILREADMASK, 0xFF},
        {RS_STENCILWRITEMASK, 0xFF}, {RS_SRCBLENDALPHA, 5}, {RS_DESTBLENDALPHA, 6},
    };
    for (const auto& state : kDefaults) StateManagerM::SetRenderState(state[0], static_cast<uint32_t>(state[1]));
    const int point = GR_D3D_InterpolatePixels ? 0 : 1;
    for (int stage = 0; stage < 8; ++stage) {
        StateManagerM::SetSamplerState(stage, 0, point);
        StateManagerM::SetSamplerState(stage, 1, point);
    }
    GR_D3D_SetTexture(0, nullptr);
    GR_VertexBuilder_Flush();
}
