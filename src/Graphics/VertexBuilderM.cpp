#include "Graphics/VertexBuilderM.h"

#include <cstring>

#include "Base/Console.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"

HGPU_Shader* BuiltinVS16;
HGPU_Shader* BuiltinVS24;
HGPU_Shader* BuiltinVS36;
HGPU_Shader* BuiltinVS36Lit;
HGPU_Shader* BuiltinPSColour;
HGPU_Shader* BuiltinPSTextured[3];

namespace {
HGPU_Shader* g_PSColourNoTest;
HGPU_Shader* g_PSTexturedNoTest;
HGPU_Shader* g_PSColourPlain;
HGPU_Shader* g_PSTexturedPlain;

float g_Matrices[5][16] = {
    {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
};

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

HGPU_Shader** const kShaderSlots[BUILTIN_SHADER_COUNT] = {
    &BuiltinVS16, &BuiltinVS24, &BuiltinVS36, &BuiltinVS36Lit,
    &BuiltinPSColour, &BuiltinPSTextured[0], &BuiltinPSTextured[1], &BuiltinPSTextured[2],
    &g_PSColourNoTest, &g_PSTexturedNoTest, &g_PSColourPlain, &g_PSTexturedPlain,
};

HGPU_InputLayout* g_Layouts[3];

const HGPU_InputElement kLayout16[] = {
    {"POSITION", 0, HGPU_ElementFormat::Float3, 0}, {"COLOR", 0, HGPU_ElementFormat::UByte4Norm, 12}};
const HGPU_InputElement kLayout24[] = {{"TEXCOORD", 0, HGPU_ElementFormat::Float2, 0},
                                       {"COLOR", 0, HGPU_ElementFormat::UByte4Norm, 8},
                                       {"POSITION", 0, HGPU_ElementFormat::Float3, 12}};
const HGPU_InputElement kLayout36[] = {{"POSITION", 0, HGPU_ElementFormat::Float3, 0},
                                       {"NORMAL", 0, HGPU_ElementFormat::Float3, 12},
                                       {"COLOR", 0, HGPU_ElementFormat::UByte4Norm, 24},
                                       {"TEXCOORD", 0, HGPU_ElementFormat::Float2, 28}};

void Multiply(const float* a, const float* b, float* out)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[r * 4 + k] * b[k * 4 + c];
            out[r * 4 + c] = sum;
        }
}

struct Vertex16 {
    float x, y, z;
    uint32_t colour;
};

// Covers the viewport with a quad of the given depth and colour, once per
// colour target of the current level.
void ClearWithQuad(uint32_t colour, float depth, uint32_t flags, int targetCount)
{
    float kept[3][16];
    for (int slot = 0; slot < 3; ++slot) {
        GR_D3D_GetMatrix(slot, kept[slot]);
        GR_D3D_SetMatrix(slot, kIdentity);
        GR_InvalidateCullRect();
    }
    StateManagerM::SaveStates();
    StateManagerM::SetRenderState(RS_CULLMODE, 0);
    StateManagerM::SetRenderState(RS_ALPHATESTENABLE, 0);
    StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
    StateManagerM::SetRenderState(RS_COLORWRITEENABLE, (flags & CLEAR_COLOUR) ? 15 : 0);
    if (flags & CLEAR_DEPTH) {
        StateManagerM::SetRenderState(RS_ZTESTENABLE, 1);
        StateManagerM::SetRenderState(RS_ZFUNC, 8);
        StateManagerM::SetRenderState(RS_ZWRITEENABLE, 1);
    } else {
        StateManagerM::SetRenderState(RS_ZTESTENABLE, 0);
    }
    const bool pushed = targetCount > 1 && GR_D3D_PushRenderTargets();
    const int keptShader = Shader_GetPending();
    Shader_SetPending(-1);
    Shader_Apply();
    D3DTexture* targets[4] = {};
    for (int i = 0; i < 4; ++i) targets[i] = GR_D3D_GetRenderTarget(i);
    const int passes = targetCount > 0 ? targetCount : 1;
    for (int i = 0; i < passes; ++i) {
        if (targetCount > 1) {
            if (!targets[i]) continue;
            GR_D3D_SetRenderTarget(0, targets[i]);
        }
        auto* v = static_cast<Vertex16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 16, 4));
        if (!v) break;
        v[0] = {-1, -1, depth, colour};
        v[1] = {-1, 1, depth, colour};
        v[2] = {1, -1, depth, colour};
        v[3] = {1, 1, depth, colour};
        GR_VertexBuilder_Flush();
    }
    if (pushed) GR_D3D_PopRenderTargets();
    for (int slot = 0; slot < 3; ++slot) {
        GR_D3D_SetMatrix(slot, kept[slot]);
        GR_InvalidateCullRect();
    }
    StateManagerM::RestoreStates();
    Shader_SetPending(keptShader);
    Shader_Apply();
}

}  // namespace

void GR_D3D_SetMatrix(int slot, const float* matrix)
{
    if (!HGPU_HasDevice() || slot < 0 || slot > 2 || !matrix) return;
    GR_VertexBuilder_Flush();
    std::memcpy(g_Matrices[slot], matrix, sizeof g_Matrices[slot]);
    Multiply(g_Matrices[MATRIX_WORLD], g_Matrices[MATRIX_VIEW], g_Matrices[MATRIX_WORLD_VIEW]);
    Multiply(g_Matrices[MATRIX_WORLD_VIEW], g_Matrices[MATRIX_PROJECTION], g_Matrices[MATRIX_WORLD_VIEW_PROJECTION]);
    Shader_UploadMatrices(&g_Matrices[0][0]);
    StateManagerM::MarkGroups(STATE_GROUP_MATRICES);
}

void GR_D3D_GetMatrix(int slot, float* out)
{
    if (slot < 0 || slot > 4 || !out) return;
    std::memcpy(out, g_Matrices[slot], sizeof g_Matrices[slot]);
}

void GR_D3D_Clear(uint32_t colour, float depth, float, uint32_t flags)
{
    if (!HGPU_HasDevice() || (flags & (CLEAR_COLOUR | CLEAR_DEPTH)) == 0) return;
    D3DTexture* colourTargets[4] = {};
    int targetCount = 0;
    for (int i = 0; i < 4; ++i) {
        colourTargets[i] = GR_D3D_GetRenderTarget(i);
        if (colourTargets[i]) {
            GR_D3D_EnsureTextureGPU(colourTargets[i], false);
            targetCount = i + 1;
        }
    }
    // Without a colour target the back buffer is the target; it has no depth buffer.
    HGPU_Texture* depthTarget = nullptr;
    int width = GR_D3D_BackBufferWidth, height = GR_D3D_BackBufferHeight;
    if (targetCount > 0) {
        D3DTexture* first = colourTargets[0] ? colourTargets[0] : colourTargets[targetCount - 1];
        width = first->width;
        height = first->height;
        depthTarget = GR_D3D_GetDepthView(GR_D3D_GetDepthTarget());
    }
    int vx, vy, vw, vh;
    GR_D3D_GetViewport(&vx, &vy, &vw, &vh);
    if (vx == 0 && vy == 0 && vw == width && vh == height) {
        GR_VertexBuilder_Flush();
        if (flags & CLEAR_COLOUR) {
            const float rgba[4] = {(colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                                   ((colour >> 16) & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f};
            if (targetCount == 0) HGPU_ClearRenderTarget(HGPU_GetBackBuffer(), rgba);
            for (int i = 0; i < targetCount; ++i)
                if (colourTargets[i]) HGPU_ClearRenderTarget(GR_D3D_GetTargetView(colourTargets[i]), rgba);
        }
        if ((flags & CLEAR_DEPTH) && depthTarget) HGPU_ClearDepthStencil(depthTarget, true, 1.0f, true, 0);
        return;
    }
    ClearWithQuad(colour, depth, flags, targetCount);
}

bool VertexBuilder_CreateBuiltinShaders()
{
    VertexBuilder_ReleaseBuiltinShaders();
    bool ok = true;
    for (int i = 0; i < BUILTIN_SHADER_COUNT; ++i) {
        const BuiltinShaderSource& source = BuiltinShaderSources[i];
        char* error = nullptr;
        *kShaderSlots[i] = HGPU_CreateShader(source.stage, source.source, source.bindings, &error);
        if (!*kShaderSlots[i]) {
            LogConsole->Output("Failed to create built-in shader %s: %s\n", source.name, error ? error : "");
            ok = false;
        }
        delete[] error;
    }
    g_Layouts[0] = HGPU_CreateInputLayout(kLayout16, 2);
    g_Layouts[1] = HGPU_CreateInputLayout(kLayout24, 3);
    g_Layouts[2] = HGPU_CreateInputLayout(kLayout36, 4);
    return ok;
}

void VertexBuilder_ReleaseBuiltinShaders()
{
    for (HGPU_Shader** slot : kShaderSlots) {
        HGPU_ReleaseShader(*slot);
        *slot = nullptr;
    }
    for (HGPU_InputLayout*& layout : g_Layouts) {
        HGPU_ReleaseInputLayout(layout);
        layout = nullptr;
    }
}

HGPU_Shader* VertexBuilder_PixelProgram(HGPU_Shader* pixel, bool alphaTest, bool fog)
{
    if (alphaTest || !pixel) return pixel;
    HGPU_Shader* noTest = g_PSColourNoTest;
    HGPU_Shader* plain = g_PSColourPlain;
    if (pixel != BuiltinPSColour) {
        bool textured = false;
        for (HGPU_Shader* candidate : BuiltinPSTextured) textured = textured || pixel == candidate;
        if (!textured) return pixel;
        noTest = g_PSTexturedNoTest;
        plain = g_PSTexturedPlain;
    }
    if (!fog && plain) return plain;
    return noTest ? noTest : pixel;
}

HGPU_InputLayout* VertexBuilder_GetBuiltinLayout(int vertexSize)
{
    switch (vertexSize) {
    case 16: return g_Layouts[0];
    case 24: return g_Layouts[1];
    case 36: return g_Layouts[2];
    default: return nullptr;
    }
}
