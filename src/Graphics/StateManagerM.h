#pragma once
// The state manager: a shadow of every device state, grouped by the device
// object or constant buffer that carries it, applied lazily before each draw.
#include <cstdint>

enum StateGroup : uint32_t {
    STATE_GROUP_MATRICES = 0x01,
    STATE_GROUP_BLEND = 0x02,
    STATE_GROUP_DEPTH_STENCIL = 0x04,
    STATE_GROUP_RASTERISER = 0x08,
    STATE_GROUP_SAMPLERS = 0x10,
    STATE_GROUP_PIXEL = 0x20,
    STATE_GROUP_FOG = 0x40,
    STATE_GROUP_LIGHTS = 0x80,
    STATE_GROUP_ALL = 0xFFFFFFFFu,
};

// Render-state indices understood by SetRenderState.
enum RenderStateIndex {
    RS_ZTESTENABLE = 1, RS_FILLMODE = 2, RS_ZWRITEENABLE = 4, RS_ALPHATESTENABLE = 5, RS_SRCBLEND = 6,
    RS_DESTBLEND = 7, RS_CULLMODE = 8, RS_ZFUNC = 9, RS_ALPHAREF = 10, RS_BLENDENABLE = 12, RS_FOGENABLE = 13,
    RS_FOGCOLOR = 15, RS_FOGSTART = 17, RS_FOGEND = 18, RS_LIGHTING = 21, RS_COLORWRITEENABLE = 24,
    RS_STENCILENABLE = 25, RS_STENCILFAIL = 26, RS_STENCILZFAIL = 27, RS_STENCILPASS = 28, RS_STENCILFUNC = 29,
    RS_STENCILREF = 30, RS_STENCILREADMASK = 31, RS_STENCILWRITEMASK = 32, RS_SRCBLENDALPHA = 34,
    RS_DESTBLENDALPHA = 35,
};

struct LightSlot {
    int32_t kind;  // 0 directional, 1 point
    bool enabled;
    float posdir[3];
    float range;
    float colour[4];
};

namespace StateManagerM {
void SetRenderState(int index, uint32_t value);
void SetSamplerState(int stage, int type, int value);
void MarkGroups(uint32_t groups);
void Apply(bool full);
void ResetStates();
void SaveStates();
void RestoreStates();
void Release();
void SetLight(int index, const LightSlot& light);
void SetAmbient(const float rgba[4]);
// The light built-ins' view of the slots: colours are words (red in the low
// byte) whose alpha is taken as 1.0; an index outside 0..7 changes nothing.
void SetDirectionalLight(int index, float x, float y, float z, uint32_t colour);
void SetPointLight(int index, float x, float y, float z, float range, uint32_t colour);
void EnableLight(int index, bool on);
void SetAmbientColour(uint32_t colour);
// The light of slot 0..7 and the ambient colour (red, green, blue, alpha).
const LightSlot& GetLight(int index);
const float* GetAmbient();
// Whether the shadow has lighting on (the batcher picks the lit program).
bool GetLighting();
// Whether the shadow has the alpha test on, and fog (the batcher picks a
// program without them when they are off).
bool GetAlphaTest();
bool GetFog();
// The colour write mask (bits 0-3: red, green, blue, alpha).
int32_t GetColourWriteMask();
}  // namespace StateManagerM
