#pragma once
// The render-state cache: every drawing setting game code can change, held
// as 36 render states and 8 sampler stages of 4 sampler states, with dirty
// marks against what the state manager last received and a 32-deep stack
// for gpu_push_state / gpu_pop_state. Nothing reaches the device on a change;
// the batcher flushes the dirty states right before it draws. Beside it live
// the legacy setting values and the setters behind the legacy built-ins.
#include <cstdint>

class IBuffer;

constexpr int RENDER_STATE_COUNT = 36;
constexpr int SAMPLER_STAGE_COUNT = 8;
constexpr int SAMPLER_TYPE_COUNT = 4;
constexpr int GPU_STATE_STACK_DEPTH = 32;

// Sampler state types.
enum SamplerStateType { SS_MAGFILTER = 0, SS_MINFILTER = 1, SS_ADDRESSU = 2, SS_ADDRESSV = 3 };

// Render-state indices without a key of the gpu_set_state table.
enum RenderStateOther { RS_SHADEMODE = 3, RS_ALPHATESTFUNC = 11, RS_FOGVERTEXMODE = 16, RS_SEPALPHAENABLE = 33 };

struct RenderStateSnapshot {
    int32_t render[RENDER_STATE_COUNT];
    int32_t sampler[SAMPLER_STAGE_COUNT][SAMPLER_TYPE_COUNT];
};

class RenderStateCache {
public:
    RenderStateCache() { Reset(); }

    void Reset();
    void SetRenderState(int index, int32_t value);
    void SetSamplerState(int stage, int type, int32_t value);
    int32_t GetRenderState(int index) const;
    int32_t GetSamplerState(int stage, int type) const;
    void Flush();
    void FlushAll();
    void PushState();
    void PopState();
    // The current values of render states 1..35 as 35 little-endian words; returns 35.
    int WriteToBuffer(IBuffer* buffer) const;

    int Depth() const { return m_depth; }

    // Read by the batcher: a batch is extended only while both are zero.
    uint64_t renderDirty;
    uint64_t samplerDirty;

private:
    int32_t m_appliedRender[RENDER_STATE_COUNT];
    int32_t m_appliedSampler[SAMPLER_STAGE_COUNT][SAMPLER_TYPE_COUNT];
    int32_t m_render[RENDER_STATE_COUNT];
    int32_t m_sampler[SAMPLER_STAGE_COUNT][SAMPLER_TYPE_COUNT];
    RenderStateSnapshot m_stack[GPU_STATE_STACK_DEPTH];
    int m_depth;
};
extern RenderStateCache g_RenderStateCache;

// One key of the gpu_set_state / gpu_get_state tables.
struct GpuStateKey {
    const char* name;
    int index;     // render-state index, or sampler type for the sampler keys
    bool isFloat;  // the value is stored as float bits
};
extern const GpuStateKey GpuRenderStateKeys[18];
extern const GpuStateKey GpuSamplerStateKeys[4];

// Legacy setting values, reset with the cache.
struct LegacyRenderSettings {
    uint8_t interpolation[SAMPLER_STAGE_COUNT];
    uint8_t repeat[SAMPLER_STAGE_COUNT];
    uint8_t fogEnabled;
    uint32_t fogColour;
    int32_t fogStart, fogEnd;  // as the game gave them: a float cannot hold every one exactly
    uint8_t perspective;
    uint8_t hidden;
};
extern LegacyRenderSettings GR_LegacySettings;

void GR_SetAlphaTest(bool on);
void GR_SetAlphaTestRef(int value);
bool GR_GetAlphaTest();
int GR_GetAlphaTestRef();
void GR_SetBlendMode(int mode);
void GR_SetBlendModeExt(int src, int dest);
void GR_SetColourWriteEnable(bool r, bool g, bool b, bool a);
void GR_SetCulling(bool on);
void GR_SetShading(bool on);
void GR_SetLighting(bool on);
void GR_SetZWriteEnable(bool on);
void GR_SetHidden(bool on);
void GR_SetPerspective(bool on);
void GR_SetFog(bool on, uint32_t colour, int32_t start, int32_t end);
void GR_SetTextureInterpolation(bool on);
void GR_SetTextureInterpolationExt(int stage, bool on);
void GR_SetTextureRepeat(bool on);
void GR_SetTextureRepeatExt(int stage, bool on);
bool GR_GetTextureInterpolation();
bool GR_GetTextureRepeat();
void GR_SetTextureBlending(bool on);

// Re-establishes every state on a new, reset or resized device.
void GR_D3D_RestoreStates();
