#include "Graphics/StateManagerM.h"

#include <cstring>

#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "GameData/GameHeader.h"

namespace {

struct Shadow {
    int32_t srcBlend = HGPU_BLEND_ONE, destBlend = HGPU_BLEND_ZERO;
    int32_t srcBlendAlpha = HGPU_BLEND_ONE, destBlendAlpha = HGPU_BLEND_ZERO;
    int32_t colourWriteMask = 15;
    bool blendEnable = false;
    bool depthEnable = false, depthWrite = false;
    int32_t depthFunc = HGPU_CMP_LESS_EQUAL;
    bool stencilEnable = false;
    int32_t stencilRef = 0, stencilReadMask = 0xFF, stencilWriteMask = 0xFF;
    int32_t stencilFunc = HGPU_CMP_ALWAYS;
    int32_t stencilFail = 1, stencilDepthFail = 1, stencilPass = 1;
    int32_t cullMode = 0, fillMode = 3;
    int32_t magFilter[8] = {}, minFilter[8] = {}, addressU[8] = {}, addressV[8] = {};
    bool alphaTest = false;
    int32_t alphaRef = 0;
    bool fogEnable = false;
    uint32_t fogColour = 0;
    bool lighting = false;
    float fogStart = 0.0f, fogEnd = 0.0f;
};

struct PixelConstants {
    int32_t fogenable;
    float fogcol[3];
    int32_t alphatestenable;
    float alpharef;
    float pad[2];
};
static_assert(sizeof(PixelConstants) == 32);

struct FogConstants {
    int32_t lightingenable, fogenable;
    float fogstart, rcpfogrange;
};
static_assert(sizeof(FogConstants) == 16);

struct LightEntry {
    float posdir[3];
    float range;
    float diffusecol[4];
};
struct LightConstants {
    float ambientcol[4];
    LightEntry dirlights[8];
    LightEntry pointlights[8];
};
static_assert(sizeof(LightConstants) == 528);

Shadow g_Shadow, g_Saved;
uint32_t g_Groups = STATE_GROUP_ALL;
LightSlot g_Lights[8];
float g_Ambient[4] = {0, 0, 0, 1};
HGPU_Buffer* g_Buffers[4];
HGPU_BlendState* g_Blend;
HGPU_DepthStencilState* g_DepthStencil;
HGPU_RasterizerState* g_Rasteriser;
HGPU_SamplerState* g_Samplers[16];

// A failed creation is reported once per attempt; the object stays empty and
// the device's default for its group applies.
template <typename T>
T* Checked(T* object, const char* call, int line)
{
    if (!object) GR_D3D_CheckHResult(HGPU_E_FAIL, call, line, __FILE__);
    return object;
}

void Upload(int index, HGPU_Stage stage, int slot, const void* data, uint32_t size)
{
    if (!g_Buffers[index])
        g_Buffers[index] = Checked(HGPU_CreateBuffer(HGPU_BufferKind::Constant, size, false, data),
                                   "GR_D3D_Device->CreateBuffer", __LINE__);
    else HGPU_UpdateBuffer(g_Buffers[index], data, size);
    HGPU_SetConstantBuffer(stage, slot, g_Buffers[index]);
}

int32_t ConvertColourFactor(int32_t f)
{
    return ((f >= 2 && f <= 11) || f == HGPU_BLEND_BLEND_FACTOR || f == HGPU_BLEND_INV_BLEND_FACTOR) ? f
                                                                                                   : HGPU_BLEND_ZERO;
}

int32_t ConvertAlphaFactor(int32_t f)
{
    switch (f) {
    case 3: case 5: return HGPU_BLEND_SRC_ALPHA;
    case 4: case 6: return HGPU_BLEND_INV_SRC_ALPHA;
    case 7: case 9: return HGPU_BLEND_DEST_ALPHA;
    case 8: case 10: return HGPU_BLEND_INV_DEST_ALPHA;
    case 2: case 11: case HGPU_BLEND_BLEND_FACTOR: case HGPU_BLEND_INV_BLEND_FACTOR: return f;
    default: return HGPU_BLEND_ZERO;
    }
}

int32_t ConvertStencilOp(int32_t op) { return (op >= 2 && op <= 8) ? op : HGPU_STENCIL_KEEP; }

LightEntry Neutral() { return LightEntry{{0, 1, 0}, 1.0f, {0, 0, 0, 0}}; }

void ApplyConstants()
{
    const Shadow& s = g_Shadow;
    if (g_Groups & STATE_GROUP_MATRICES) {
        float matrices[48];
        GR_D3D_GetMatrix(MATRIX_WORLD, matrices);
        GR_D3D_GetMatrix(MATRIX_WORLD_VIEW, matrices + 16);
        GR_D3D_GetMatrix(MATRIX_WORLD_VIEW_PROJECTION, matrices + 32);
        Upload(0, HGPU_Stage::Vertex, 0, matrices, sizeof matrices);
    }
    if (g_Groups & STATE_GROUP_FOG) {
        const float range = s.fogEnd - s.fogStart;
        FogConstants fog{s.lighting ? 1 : 0, s.fogEnable ? 1 : 0, s.fogStart, range > 0 ? 1.0f / range : 1.0f};
        Upload(1, HGPU_Stage::Vertex, 1, &fog, sizeof fog);
    }
    if (g_Groups & STATE_GROUP_LIGHTS) {
        LightConstants lights{};
        std::memcpy(lights.ambientcol, g_Ambient, sizeof g_Ambient);
        for (int i = 0; i < 8; ++i) {
            const LightSlot& light = g_Lights[i];
            LightEntry entry{{light.posdir[0], light.posdir[1], light.posdir[2]}, light.range,
                             {light.colour[0], light.colour[1], light.colour[2], light.colour[3]}};
            // Only the lowest bit of the kind counts: 0 directional, 1 point.
            const bool on = light.enabled, point = (light.kind & 1) != 0;
            lights.dirlights[i] = on && !point ? entry : Neutral();
            lights.pointlights[i] = on && point ? entry : Neutral();
        }
        Upload(2, HGPU_Stage::Vertex, 2, &lights, sizeof lights);
    }
    if (g_Groups & STATE_GROUP_PIXEL) {
        PixelConstants pixel{s.fogEnable ? 1 : 0,
                             {(s.fogColour & 0xFF) / 255.0f, ((s.fogColour >> 8) & 0xFF) / 255.0f,
                              ((s.fogColour >> 16) & 0xFF) / 255.0f},
                             s.alphaTest ? 1 : 0, static_cast<float>(s.alphaRef) / 255.0f, {0, 0}};
        Upload(3, HGPU_Stage::Pixel, 0, &pixel, sizeof pixel);
    }
}

void ColourToFloats(uint32_t colour, float out[4])
{
    out[0] = (colour & 0xFF) / 255.0f;
    out[1] = ((colour >> 8) & 0xFF) / 255.0f;
    out[2] = ((colour >> 16) & 0xFF) / 255.0f;
    out[3] = 1.0f;
}

void DefineLight(int index, int32_t kind, float x, float y, float z, const float* range, uint32_t colour)
{
    if (index < 0 || index > 7) return;
    LightSlot& light = g_Lights[index];
    ColourToFloats(colour, light.colour);
    light.kind = kind;
    light.posdir[0] = x;
    light.posdir[1] = y;
    light.posdir[2] = z;
    if (range) light.range = *range;
    g_Groups |= STATE_GROUP_LIGHTS;
}

}  // namespace

namespace StateManagerM {

void SetRenderState(int index, uint32_t value)
{
    Shadow& s = g_Shadow;
    const int32_t v = static_cast<int32_t>(value);
    switch (index) {
    case RS_ZTESTENABLE:
        // Games of the older format also switch depth writing with the test.
        s.depthEnable = v != 0;
        if (!LayerMode) s.depthWrite = s.depthEnable;
        g_Groups |= STATE_GROUP_DEPTH_STENCIL;
        break;
    case RS_FILLMODE: s.fillMode = v; g_Groups |= STATE_GROUP_RASTERISER; break;
    case RS_ZWRITEENABLE: s.depthWrite = v != 0; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_ALPHATESTENABLE: s.alphaTest = v != 0; g_Groups |= STATE_GROUP_PIXEL; break;
    case RS_SRCBLEND: s.srcBlend = v; g_Groups |= STATE_GROUP_BLEND; break;
    case RS_DESTBLEND: s.destBlend = v; g_Groups |= STATE_GROUP_BLEND; break;
    case RS_CULLMODE: s.cullMode = v; g_Groups |= STATE_GROUP_RASTERISER; break;
    case RS_ZFUNC: s.depthFunc = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_ALPHAREF: s.alphaRef = v; g_Groups |= STATE_GROUP_PIXEL; break;
    case RS_BLENDENABLE: s.blendEnable = v != 0; g_Groups |= STATE_GROUP_BLEND; break;
    case RS_FOGENABLE: s.fogEnable = v != 0; g_Groups |= STATE_GROUP_PIXEL | STATE_GROUP_FOG; break;
    case RS_FOGCOLOR: s.fogColour = value; g_Groups |= STATE_GROUP_PIXEL; break;
    case RS_FOGSTART: std::memcpy(&s.fogStart, &value, 4); g_Groups |= STATE_GROUP_FOG; break;
    case RS_FOGEND: std::memcpy(&s.fogEnd, &value, 4); g_Groups |= STATE_GROUP_FOG; break;
    case RS_LIGHTING: s.lighting = v != 0; g_Groups |= STATE_GROUP_FOG; break;
    case RS_COLORWRITEENABLE: s.colourWriteMask = v; g_Groups |= STATE_GROUP_BLEND; break;
    case RS_STENCILENABLE: s.stencilEnable = v != 0; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILFAIL: s.stencilFail = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILZFAIL: s.stencilDepthFail = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILPASS: s.stencilPass = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILFUNC: s.stencilFunc = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILREF: s.stencilRef = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILREADMASK: s.stencilReadMask = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_STENCILWRITEMASK: s.stencilWriteMask = v; g_Groups |= STATE_GROUP_DEPTH_STENCIL; break;
    case RS_SRCBLENDALPHA: s.srcBlendAlpha = v; g_Groups |= STATE_GROUP_BLEND; break;
    case RS_DESTBLENDALPHA: s.destBlendAlpha = v; g_Groups |= STATE_GROUP_BLEND; break;
    default: break;
    }
}

void SetSamplerState(int stage, int type, int value)
{
    if (stage < 0 || stage > 7) return;
    int32_t* tables[] = {g_Shadow.magFilter, g_Shadow.minFilter, g_Shadow.addressU, g_Shadow.addressV};
    if (type < 0 || type > 3) return;
    tables[type][stage] = value & 1;
    g_Groups |= STATE_GROUP_SAMPLERS;
}

void MarkGroups(uint32_t groups) { g_Groups |= groups; }

void Apply(bool full)
{
    if (g_Groups == 0 || !HGPU_HasDevice()) return;
    const Shadow& s = g_Shadow;
    if (full) ApplyConstants();
    if (g_Groups & STATE_GROUP_BLEND) {
        HGPU_ReleaseBlendState(g_Blend);
        HGPU_BlendDesc desc;
        desc.enable = s.blendEnable;
        desc.srcBlend = ConvertColourFactor(s.srcBlend);
        desc.destBlend = ConvertColourFactor(s.destBlend);
        desc.srcBlendAlpha = ConvertAlphaFactor(s.srcBlendAlpha);
        desc.destBlendAlpha = ConvertAlphaFactor(s.destBlendAlpha);
        desc.writeMask = static_cast<uint8_t>(s.colourWriteMask & 15);
        g_Blend = Checked(HGPU_CreateBlendState(desc), "GR_D3D_Device->CreateBlendState", __LINE__);
        HGPU_SetBlendState(g_Blend);
    }
    if (g_Groups & STATE_GROUP_DEPTH_STENCIL) {
        HGPU_ReleaseDepthStencilState(g_DepthStencil);
        HGPU_DepthStencilDesc desc;
        desc.depthEnable = s.depthEnable;
        desc.depthWrite = s.depthWrite;
        desc.depthFunc = (s.depthFunc >= 1 && s.depthFunc <= 7) ? s.depthFunc : HGPU_CMP_ALWAYS;
        desc.stencilEnable = s.stencilEnable;
        desc.stencilReadMask = static_cast<uint8_t>(s.stencilReadMask);
        desc.stencilWriteMask = static_cast<uint8_t>(s.stencilWriteMask);
        desc.stencilFunc = (s.stencilFunc >= 1 && s.stencilFunc <= 7) ? s.stencilFunc : HGPU_CMP_ALWAYS;
        desc.stencilFail = ConvertStencilOp(s.stencilFail);
        desc.stencilDepthFail = ConvertStencilOp(s.stencilDepthFail);
        desc.stencilPass = ConvertStencilOp(s.stencilPass);
        g_DepthStencil =
            Checked(HGPU_CreateDepthStencilState(desc), "GR_D3D_Device->CreateDepthStencilState", __LINE__);
        HGPU_SetDepthStencilState(g_DepthStencil, static_cast<uint8_t>(s.stencilRef));
    }
    if (g_Groups & STATE_GROUP_RASTERISER) {
        HGPU_ReleaseRasterizerState(g_Rasteriser);
        HGPU_RasterizerDesc desc;
        desc.fill = (s.fillMode == 1 || s.fillMode == 2) ? HGPU_FILL_WIREFRAME : HGPU_FILL_SOLID;
        desc.cull = s.cullMode == 1 ? HGPU_CULL_FRONT : s.cullMode == 2 ? HGPU_CULL_BACK : HGPU_CULL_NONE;
        g_Rasteriser = Checked(HGPU_CreateRasterizerState(desc), "GR_D3D_Device->CreateRasterizerState", __LINE__);
        HGPU_SetRasterizerState(g_Rasteriser);
    }
    if (g_Groups & STATE_GROUP_SAMPLERS) {
        for (int stage = 0; stage < 8; ++stage) {
            const int n = s.addressV[stage] * 8 + s.addressU[stage] * 4 + s.minFilter[stage] * 2 + s.magFilter[stage];
            if (!g_Samplers[n]) {
                HGPU_SamplerDesc desc;
                desc.magPoint = desc.mipPoint = (n & 1) != 0;
                desc.minPoint = (n & 2) != 0;
                desc.addressU = (n & 4) ? HGPU_ADDRESS_CLAMP : HGPU_ADDRESS_WRAP;
                desc.addressV = (n & 8) ? HGPU_ADDRESS_CLAMP : HGPU_ADDRESS_WRAP;
                g_Samplers[n] = Checked(HGPU_CreateSamplerState(desc), "GR_D3D_Device->CreateSamplerState", __LINE__);
            }
            HGPU_SetSampler(stage, g_Samplers[n]);
        }
    }
    g_Groups = full ? 0 : (g_Groups & (STATE_GROUP_MATRICES | STATE_GROUP_PIXEL | STATE_GROUP_FOG | STATE_GROUP_LIGHTS));
}

void ResetStates()
{
    Shadow& s = g_Shadow;
    s.blendEnable = false;
    s.srcBlend = s.srcBlendAlpha = 2;
    s.destBlend = s.destBlendAlpha = 1;
    s.depthEnable = true;
    s.lighting = true;
    s.cullMode = 0;
    s.fillMode = 3;
    g_Groups |= 0x7E;
}

void SaveStates() { g_Saved = g_Shadow; }

void RestoreStates()
{
    g_Shadow = g_Saved;
    g_Groups |= 0x7E;
}

void Release()
{
    for (HGPU_Buffer*& buffer : g_Buffers) {
        HGPU_ReleaseBuffer(buffer);
        buffer = nullptr;
    }
    HGPU_ReleaseBlendState(g_Blend);
    HGPU_ReleaseDepthStencilState(g_DepthStencil);
    HGPU_ReleaseRasterizerState(g_Rasteriser);
    g_Blend = nullptr;
    g_DepthStencil = nullptr;
    g_Rasteriser = nullptr;
    for (HGPU_SamplerState*& sampler : g_Samplers) {
        HGPU_ReleaseSamplerState(sampler);
        sampler = nullptr;
    }
    g_Groups = STATE_GROUP_ALL;
}

void SetLight(int index, const LightSlot& light)
{
    if (index < 0 || index > 7) return;
    g_Lights[index] = light;
    g_Groups |= STATE_GROUP_LIGHTS;
}

bool GetLighting() { return g_Shadow.lighting; }

bool GetAlphaTest() { return g_Shadow.alphaTest; }

bool GetFog() { return g_Shadow.fogEnable; }

int32_t GetColourWriteMask() { return g_Shadow.colourWriteMask; }

const LightSlot& GetLight(int index) { return g_Lights[index < 0 || index > 7 ? 0 : index]; }

const float* GetAmbient() { return g_Ambient; }

void SetAmbient(const float rgba[4])
{
    std::memcpy(g_Ambient, rgba, sizeof g_Ambient);
    g_Groups |= STATE_GROUP_LIGHTS;
}

void SetDirectionalLight(int index, float x, float y, float z, uint32_t colour)
{
    DefineLight(index, 0, x, y, z, nullptr, colour);
}

void SetPointLight(int index, float x, float y, float z, float range, uint32_t colour)
{
    DefineLight(index, 1, x, y, z, &range, colour);
}

void EnableLight(int index, bool on)
{
    if (index < 0 || index > 7) return;
    g_Lights[index].enabled = on;
    g_Groups |= STATE_GROUP_LIGHTS;
}

void SetAmbientColour(uint32_t colour)
{
    ColourToFloats(colour, g_Ambient);
    g_Groups |= STATE_GROUP_LIGHTS;
}

}  // namespace StateManagerM
