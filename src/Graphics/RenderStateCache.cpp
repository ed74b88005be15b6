#include "Graphics/RenderStateCache.h"

#include <cstring>

#include "Base/Console.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"

RenderStateCache g_RenderStateCache;
LegacyRenderSettings GR_LegacySettings;

const GpuStateKey GpuRenderStateKeys[18] = {
    {"blendenable", 12, false},    {"ztestenable", 1, false},     {"zfunc", 9, false},
    {"zwriteenable", 4, false},    {"fogenable", 13, false},      {"fogcolor", 15, false},
    {"fogstart", 17, true},        {"fogend", 18, true},          {"cullmode", 8, false},
    {"srcblend", 6, false},        {"destblend", 7, false},       {"srcblendalpha", 34, false},
    {"destblendalpha", 35, false}, {"sepalphaenable", 33, false}, {"colorwriteenable", 24, false},
    {"alphatestenable", 5, false}, {"alphatestref", 10, false},   {"alphatestfunc", 11, false},
};
const GpuStateKey GpuSamplerStateKeys[4] = {
    {"magfilter", SS_MAGFILTER, false},
    {"minfilter", SS_MINFILTER, false},
    {"addressu", SS_ADDRESSU, false},
    {"addressv", SS_ADDRESSV, false},
};

namespace {

constexpr int32_t kFloatOne = 0x3F800000;  // 1.0f

const int32_t kRenderDefaults[RENDER_STATE_COUNT] = {
    0, 0, 3, 2, 1, 0, 5, 6, 0, 4,                 // 0-9
    0, 5, 1, 0, 0, 0, 1, 0, kFloatOne, 0,         // 10-19
    0, 0, 0, 3, 15, 0, 1, 1, 1, 8,                // 20-29
    0, -1, -1, 0, 5, 6,                           // 30-35
};

int32_t FloatBits(float f)
{
    int32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

uint64_t SamplerBit(int stage, int type) { return uint64_t{1} << (stage * SAMPLER_TYPE_COUNT + type); }

}  // namespace

void RenderStateCache::Reset()
{
    std::memcpy(m_render, kRenderDefaults, sizeof m_render);
    std::memcpy(m_appliedRender, kRenderDefaults, sizeof m_appliedRender);
    std::memset(m_sampler, 0, sizeof m_sampler);
    std::memset(m_appliedSampler, 0, sizeof m_appliedSampler);
    m_depth = 0;
    renderDirty = ~uint64_t{0};
    samplerDirty = ~uint64_t{0};
    LegacyRenderSettings& legacy = GR_LegacySettings;
    std::memset(legacy.interpolation, 1, sizeof legacy.interpolation);
    std::memset(legacy.repeat, 0, sizeof legacy.repeat);
    legacy.fogEnabled = 0;
    legacy.fogColour = 0;
    legacy.fogStart = 0;
    legacy.fogEnd = 1;
    legacy.perspective = 1;
    legacy.hidden = 1;
}

void RenderStateCache::SetRenderState(int index, int32_t value)
{
    if (index < 0 || index >= RENDER_STATE_COUNT || m_render[index] == value) return;
    const uint64_t bit = uint64_t{1} << index;
    if (value == m_appliedRender[index]) renderDirty &= ~bit;
    else renderDirty |= bit;
    m_render[index] = value;
}

void RenderStateCache::SetSamplerState(int stage, int type, int32_t value)
{
    if (stage < 0 || stage >= SAMPLER_STAGE_COUNT || type < 0 || type >= SAMPLER_TYPE_COUNT) return;
    if (m_sampler[stage][type] == value) return;
    if (value == m_appliedSampler[stage][type]) samplerDirty &= ~SamplerBit(stage, type);
    else samplerDirty |= SamplerBit(stage, type);
    m_sampler[stage][type] = value;
}

int32_t RenderStateCache::GetRenderState(int index) const
{
    return (index >= 0 && index < RENDER_STATE_COUNT) ? m_render[index] : 0;
}

int32_t RenderStateCache::GetSamplerState(int stage, int type) const
{
    if (stage < 0 || stage >= SAMPLER_STAGE_COUNT || type < 0 || type >= SAMPLER_TYPE_COUNT) return 0;
    return m_sampler[stage][type];
}

void RenderStateCache::Flush()
{
    if (renderDirty) {
        for (int index = 0; index < RENDER_STATE_COUNT; ++index) {
            if (!(renderDirty & (uint64_t{1} << index))) continue;
            StateManagerM::SetRenderState(index, static_cast<uint32_t>(m_render[index]));
            m_appliedRender[index] = m_render[index];
        }
        renderDirty = 0;
    }
    if (samplerDirty) {
        for (int bit = 0; bit < SAMPLER_STAGE_COUNT * SAMPLER_TYPE_COUNT; ++bit) {
            const int stage = bit / SAMPLER_TYPE_COUNT, type = bit % SAMPLER_TYPE_COUNT;
            if (!(samplerDirty & SamplerBit(stage, type))) continue;
            StateManagerM::SetSamplerState(stage, type, m_sampler[stage][type]);
            m_appliedSampler[stage][type] = m_sampler[stage][type];
        }
        samplerDirty = 0;
    }
}

void RenderStateCache::FlushAll()
{
    renderDirty = ~uint64_t{0};
    samplerDirty = ~uint64_t{0};
    Flush();
}

void RenderStateCache::PushState()
{
    if (m_depth >= GPU_STATE_STACK_DEPTH) {
        LogConsole->Output("GPU state stack has run out of space\n");
        return;
    }
    std::memcpy(m_stack[m_depth].render, m_render, sizeof m_render);
    std::memcpy(m_stack[m_depth].sampler, m_sampler, sizeof m_sampler);
    ++m_depth;
}

void RenderStateCache::PopState()
{
    // Below the bottom the defaults come back, never all-zero states that draw
    // nothing nor what an earlier push left in the bottom entry.
    static const RenderStateSnapshot kDefaults = [] {
        RenderStateSnapshot defaults{};
        std::memcpy(defaults.render, kRenderDefaults, sizeof defaults.render);
        return defaults;
    }();
    const RenderStateSnapshot* entry = &kDefaults;
    if (m_depth > 0) entry = &m_stack[--m_depth];
    else LogConsole->Output("Attempting to drop below bottom of GPU state stack\n");
    for (int index = 0; index < RENDER_STATE_COUNT; ++index) SetRenderState(index, entry->render[index]);
    for (int stage = 0; stage < SAMPLER_STAGE_COUNT; ++stage)
        for (int type = 0; type < SAMPLER_TYPE_COUNT; ++type) SetSamplerState(stage, type, entry->sampler[stage][type]);
}

int RenderStateCache::WriteToBuffer(IBuffer* buffer) const
{
    for (int index = 1; index < RENDER_STATE_COUNT; ++index) {
        const ScriptValue word = ScriptValue_Real(m_render[index]);
        buffer->Write(eBuffer_S32, &word);
    }
    return RENDER_STATE_COUNT - 1;
}

void GR_SetAlphaTest(bool on)
{
    if (!HGPU_HasDevice()) return;
    g_RenderStateCache.SetRenderState(RS_ALPHATESTENABLE, on ? 1 : 0);
}

void GR_SetAlphaTestRef(int value) { g_RenderStateCache.SetRenderState(RS_ALPHAREF, value); }

bool GR_GetAlphaTest() { return g_RenderStateCache.GetRenderState(RS_ALPHATESTENABLE) != 0; }

int GR_GetAlphaTestRef() { return g_RenderStateCache.GetRenderState(RS_ALPHAREF); }

void GR_SetBlendModeExt(int src, int dest)
{
    g_RenderStateCache.SetRenderState(RS_SRCBLEND, src);
    g_RenderStateCache.SetRenderState(RS_DESTBLEND, dest);
    g_RenderStateCache.SetRenderState(RS_SRCBLENDALPHA, src);
    g_RenderStateCache.SetRenderState(RS_DESTBLENDALPHA, dest);
}

void GR_SetBlendMode(int mode)
{
    switch (mode) {
    case 1: GR_SetBlendModeExt(5, 2); break;  // add
    case 2: GR_SetBlendModeExt(5, 4); break;  // max
    case 3: GR_SetBlendModeExt(1, 4); break;  // subtract
    default: GR_SetBlendModeExt(5, 6); break;  // normal
    }
}

void GR_SetColourWriteEnable(bool r, bool g, bool b, bool a)
{
    g_RenderStateCache.SetRenderState(RS_COLORWRITEENABLE, (r ? 1 : 0) + (g ? 2 : 0) + (b ? 4 : 0) + (a ? 8 : 0));
}

void GR_SetCulling(bool on) { g_RenderStateCache.SetRenderState(RS_CULLMODE, on ? 2 : 0); }

void GR_SetShading(bool on) { g_RenderStateCache.SetRenderState(RS_SHADEMODE, on ? 2 : 1); }

void GR_SetLighting(bool on) { g_RenderStateCache.SetRenderState(RS_LIGHTING, on ? 1 : 0); }

void GR_SetZWriteEnable(bool on) { g_RenderStateCache.SetRenderState(RS_ZWRITEENABLE, on ? 1 : 0); }

void GR_SetHidden(bool on)
{
    GR_LegacySettings.hidden = on ? 1 : 0;
    g_RenderStateCache.SetRenderState(RS_ZTESTENABLE, (Legacy3DMode && on) ? 1 : 0);
}

void GR_SetPerspective(bool on) { GR_LegacySettings.perspective = on ? 1 : 0; }

void GR_SetFog(bool on, uint32_t colour, int32_t start, int32_t end)
{
    LegacyRenderSettings& legacy = GR_LegacySettings;
    legacy.fogEnabled = on ? 1 : 0;
    legacy.fogColour = (colour & 0xFFFFFFu) | 0xFF000000u;
    // Start and end are kept whole: distances beyond 16 bits must not wrap
    // (70000 would otherwise become 4464).
    legacy.fogStart = start;
    legacy.fogEnd = end;
    if (!on) {
        g_RenderStateCache.SetRenderState(RS_FOGENABLE, 0);
        return;
    }
    g_RenderStateCache.SetRenderState(RS_FOGENABLE, 1);
    g_RenderStateCache.SetRenderState(RS_FOGVERTEXMODE, 3);
    g_RenderStateCache.SetRenderState(RS_FOGCOLOR, static_cast<int32_t>(legacy.fogColour));
    g_RenderStateCache.SetRenderState(RS_FOGSTART, FloatBits(static_cast<float>(start)));
    g_RenderStateCache.SetRenderState(RS_FOGEND, FloatBits(static_cast<float>(end)));
}

void GR_SetTextureInterpolationExt(int stage, bool on)
{
    if (stage < 0 || stage >= SAMPLER_STAGE_COUNT) return;
    GR_LegacySettings.interpolation[stage] = on ? 1 : 0;
    g_RenderStateCache.SetSamplerState(stage, SS_MAGFILTER, on ? 0 : 1);
    g_RenderStateCache.SetSamplerState(stage, SS_MINFILTER, on ? 0 : 1);
}

void GR_SetTextureInterpolation(bool on)
{
    for (int stage = 0; stage < SAMPLER_STAGE_COUNT; ++stage) GR_SetTextureInterpolationExt(stage, on);
}

void GR_SetTextureRepeatExt(int stage, bool on)
{
    if (stage < 0 || stage >= SAMPLER_STAGE_COUNT) return;
    GR_LegacySettings.repeat[stage] = on ? 1 : 0;
    g_RenderStateCache.SetSamplerState(stage, SS_ADDRESSU, on ? 0 : 1);
    g_RenderStateCache.SetSamplerState(stage, SS_ADDRESSV, on ? 0 : 1);
}

void GR_SetTextureRepeat(bool on)
{
    for (int stage = 0; stage < SAMPLER_STAGE_COUNT; ++stage) GR_SetTextureRepeatExt(stage, on);
}

bool GR_GetTextureInterpolation() { return GR_LegacySettings.interpolation[0] != 0; }

bool GR_GetTextureRepeat() { return GR_LegacySettings.repeat[0] != 0; }

void GR_SetTextureBlending(bool) { GR_VertexBuilder_Flush(); }

void GR_D3D_RestoreStates()
{
    if (!HGPU_HasDevice()) return;
    GR_VertexBuilder_SetTextureStage(0);
    StateManagerM::ResetStates();
    RenderStateCache& cache = g_RenderStateCache;
    cache.SetRenderState(RS_BLENDENABLE, 1);
    cache.SetRenderState(RS_ZTESTENABLE, (Legacy3DMode && GR_LegacySettings.hidden) ? 1 : 0);
    const LegacyRenderSettings legacy = GR_LegacySettings;
    GR_SetFog(legacy.fogEnabled != 0, legacy.fogColour, legacy.fogStart, legacy.fogEnd);
    GR_D3D_SetTexture(0, nullptr);
    GR_SetTextureInterpolation(GR_D3D_InterpolatePixels);
    GR_VertexBuilder_Flush();
    GR_SetTextureRepeat(GR_LegacySettings.repeat[0] != 0);
    cache.FlushAll();
}
