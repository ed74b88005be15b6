// Stand-in for the vertex batcher: one staging block and one dynamic vertex
// buffer, list batches extended while kind, texture and vertex size match,
// fans expanded on flush. The full batcher (ring of buffers, game shaders,
// draw counters) replaces it; the built-in programs it draws with are real.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "Base/MemoryManager.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/Dialog_Stub.h"

namespace {

constexpr uint32_t kStagingBytes = 589824;

uint8_t* g_Staging;
uint8_t* g_FanScratch;
HGPU_Buffer* g_VertexBuffer;
int g_Kind, g_VertexSize, g_Count;
D3DTexture* g_Texture;

bool Extendable(int kind) { return kind == PR_POINTLIST || kind == PR_LINELIST || kind == PR_TRIANGLELIST; }

}  // namespace

void GR_VertexBuilder_Init()
{
    if (!HGPU_HasDevice()) return;
    VertexBuilder_CreateBuiltinShaders();
    if (!g_Staging) g_Staging = static_cast<uint8_t*>(QS_ALLOC(kStagingBytes, true));
    if (!g_FanScratch) g_FanScratch = static_cast<uint8_t*>(QS_ALLOC(kStagingBytes * 3, true));
    g_VertexBuffer = HGPU_CreateBuffer(HGPU_BufferKind::Vertex, kStagingBytes * 3, true, nullptr);
    g_Count = 0;
}

void GR_VertexBuilder_Free()
{
    VertexBuilder_ReleaseBuiltinShaders();
    HGPU_ReleaseBuffer(g_VertexBuffer);
    g_VertexBuffer = nullptr;
    QS_FREE(g_Staging);
    QS_FREE(g_FanScratch);
    g_Staging = g_FanScratch = nullptr;
    g_Count = 0;
}

void* GR_VertexBuilder_AllocVerts(int kind, D3DTexture* texture, int vertexSize, int count)
{
    if (!HGPU_HasDevice() || !g_Staging || count <= 0 || kind < PR_POINTLIST || kind > PR_TRIANGLEFAN ||
        !VertexBuilder_GetBuiltinLayout(vertexSize) || static_cast<uint32_t>(count) * vertexSize > kStagingBytes)
        return nullptr;
    const bool fits = static_cast<uint32_t>(g_Count + count) * vertexSize <= kStagingBytes;
    if (g_Count > 0 && !(Extendable(kind) && kind == g_Kind && texture == g_Texture && vertexSize == g_VertexSize && fits))
        GR_VertexBuilder_Flush();
    g_Kind = kind;
    g_Texture = texture;
    g_VertexSize = vertexSize;
    void* out = g_Staging + static_cast<size_t>(g_Count) * vertexSize;
    g_Count += count;
    return out;
}

void GR_VertexBuilder_Flush()
{
    if (g_Count == 0 || !HGPU_HasDevice()) {
        g_Count = 0;
        return;
    }
    const int count = g_Count;
    g_Count = 0;
    const uint8_t* data = g_Staging;
    uint32_t drawCount = static_cast<uint32_t>(count);
    HGPU_Topology topology = static_cast<HGPU_Topology>(g_Kind);
    if (g_Kind == PR_TRIANGLEFAN) {
        // A fan v0, v1, v2, ... becomes the list (v0, v1, v2), (v0, v2, v3), ...
        drawCount = 0;
        for (int i = 1; i + 1 < count; ++i)
            for (int corner : {0, i, i + 1})
                std::memcpy(g_FanScratch + static_cast<size_t>(drawCount++) * g_VertexSize,
                            g_Staging + static_cast<size_t>(corner) * g_VertexSize, static_cast<size_t>(g_VertexSize));
        data = g_FanScratch;
        topology = HGPU_Topology::TriangleList;
    }
    if (drawCount == 0) return;
    HGPU_Shader* vertex = BuiltinVS16;
    HGPU_Shader* pixel = BuiltinPSColour;
    if (g_VertexSize == 24) {
        vertex = BuiltinVS24;
        pixel = BuiltinPSTextured[0];
    } else if (g_VertexSize == 36) {
        const bool lit = StateManagerM::GetLighting();
        vertex = lit ? BuiltinVS36Lit : BuiltinVS36;
        pixel = BuiltinPSTextured[lit ? 2 : 1];
    }
    StateManagerM::Apply(true);
    const uint32_t bytes = drawCount * static_cast<uint32_t>(g_VertexSize);
    void* mapped = HGPU_MapBuffer(g_VertexBuffer, HGPU_Map::Discard, 0, bytes);
    if (!mapped) return;
    std::memcpy(mapped, data, bytes);
    HGPU_UnmapBuffer(g_VertexBuffer);
    GR_D3D_SetTexture(0, g_VertexSize == 16 ? nullptr : g_Texture);
    HGPU_SetShaders(vertex, pixel);
    HGPU_SetInputLayout(VertexBuilder_GetBuiltinLayout(g_VertexSize));
    HGPU_SetVertexBuffer(g_VertexBuffer, static_cast<uint32_t>(g_VertexSize), 0);
    HGPU_Draw(topology, drawCount, 0);
}

void GR_VertexBuilder_DropBatch() { g_Count = 0; }

bool GR_D3D_CheckHResult(HGPU_Result result, const char* call, int line, const char* file)
{
    if (result >= 0) return true;
    char text[1024];
    std::snprintf(text, sizeof text, "Win32 function failed: HRESULT: 0x%x\n\nCall: %s at line %d in file %s",
                  static_cast<unsigned>(result), call ? call : "", line, file ? file : "");
    ShowMessageBox(text);
    return false;
}
