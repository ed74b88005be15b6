// The vertex batcher: staging memory that drawers write into, a ring of four
// dynamic vertex buffers the batches are copied into (fans expanded to
// lists on the way), and the single draw path that picks layout and
// programs. Also the common check of device results.
#include <cstdio>
#include <cstring>

#include "Base/Console.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"
#include "IO/IO_Dialog.h"

int32_t GR_D3D_DrawCallCount = 0;

namespace {

constexpr int kMaxVerts = 16384;
constexpr int kMaxBytes = kMaxVerts * 36;  // 589,824
constexpr int kRingSize = 4;
// Capacities in 36-byte vertices: the first buffer holds the largest batch
// of fan vertices after expansion.
constexpr uint32_t kRingCapacity[kRingSize] = {49152, 1024, 1024, 1024};
// A software rasteriser starts shading only what it has been handed: after
// this many vertices the work so far goes to its threads, which then shade
// while the rest of the frame is built instead of after it.
constexpr int kSubmitVertices = kMaxVerts;

struct VertexBatch {
    int kind = -1;  // -1: no batch open
    D3DTexture* texture = nullptr;
    int format = 0;
    int vertexSize = 0;
    int count = 0;
};

VertexBatch g_Batch;
alignas(16) uint8_t g_Staging[kMaxBytes];
HGPU_Buffer* g_Ring[kRingSize];
int g_RingIndex = 0;
uint32_t g_RingOffset = 0;
int g_TextureStage = 0;
int g_VerticesSinceSubmit = 0;

bool Joinable(int kind) { return kind != PR_LINESTRIP && kind != PR_TRIANGLESTRIP && kind != PR_TRIANGLEFAN; }

uint32_t RingBytes(int index) { return kRingCapacity[index] * 36; }

// Finds room for the bytes in the ring: after the last write in the current
// buffer, else at the start of the next buffer (in ring order) that holds them.
bool PlaceInRing(uint32_t bytes, uint32_t vertexSize)
{
    g_RingOffset = (g_RingOffset + vertexSize - 1) / vertexSize * vertexSize;
    if (g_RingOffset + bytes <= RingBytes(g_RingIndex)) return true;
    g_RingOffset = 0;
    for (int step = 1; step <= kRingSize; ++step) {
        const int index = (g_RingIndex + step) % kRingSize;
        if (g_Ring[index] && bytes <= RingBytes(index)) {
            g_RingIndex = index;
            return true;
        }
    }
    return false;
}

void CopyBatch(uint8_t* out, int count, int vertexSize, bool fan)
{
    const size_t size = static_cast<size_t>(vertexSize);
    if (!fan) {
        std::memcpy(out, g_Staging, size * count);
        return;
    }
    // Fan (v0, v1, v2, v3, ...) becomes the list (v0, v1, v2), (v0, v2, v3), ...
    for (int k = 1; k + 1 < count; ++k) {
        std::memcpy(out, g_Staging, size);
        std::memcpy(out + size, g_Staging + size * k, size * 2);
        out += size * 3;
    }
}

}  // namespace

int GR_VertexBuilder_VertexSize(int format)
{
    if (format == 16 || format == 24 || format == 36) return format;
    if (const VertexFormat* user = (format & VERTEX_FORMAT_USER) ? VertexFormat_Get(format) : nullptr)
        return user->size;
    LogConsole->Output("Invalid vertex format: 0x%x\n", static_cast<unsigned>(format));
    return 1;
}

int GR_VertexBuilder_GetMaxVerts() { return kMaxVerts; }

int GR_VertexBuilder_GetMaxBytes() { return kMaxBytes; }

void GR_VertexBuilder_SetTextureStage(int stage) { g_TextureStage = stage; }

void GR_VertexBuilder_BindBatchTexture(D3DTexture* texture) { GR_D3D_SetTexture(g_TextureStage, texture); }

void GR_VertexBuilder_Init()
{
    GR_VertexBuilder_Free();
    if (!HGPU_HasDevice()) return;
    for (int i = 0; i < kRingSize; ++i) {
        g_Ring[i] = HGPU_CreateBuffer(HGPU_BufferKind::Vertex, RingBytes(i), true, nullptr);
        if (!g_Ring[i]) GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateBuffer", __LINE__, __FILE__);
    }
    VertexBuilder_CreateBuiltinShaders();
}

void GR_VertexBuilder_Free()
{
    for (HGPU_Buffer*& buffer : g_Ring) {
        HGPU_ReleaseBuffer(buffer);
        buffer = nullptr;
    }
    g_RingIndex = 0;
    g_RingOffset = 0;
    VertexBuilder_ReleaseBuiltinShaders();
    VertexFormat_ReleaseLayouts();
    VertexBuffer_FreeHardwareBuffers();
    g_Batch = VertexBatch{};
}

void* GR_VertexBuilder_AllocVerts(int kind, D3DTexture* texture, int format, int n)
{
    if (n < 0) n = 0;
    const VertexBatch& b = g_Batch;
    const RenderStateCache& cache = g_RenderStateCache;
    if (b.kind == kind && b.texture == texture && b.format == format && Joinable(kind) && b.count + n <= kMaxVerts &&
        static_cast<int64_t>(b.count + n) * b.vertexSize <= kMaxBytes && cache.renderDirty == 0 &&
        cache.samplerDirty == 0) {
        uint8_t* out = g_Staging + static_cast<size_t>(b.count) * b.vertexSize;
        g_Batch.count += n;
        return out;
    }
    GR_VertexBuilder_Flush();
    const int vertexSize = GR_VertexBuilder_VertexSize(format);
    if (static_cast<int64_t>(n) * vertexSize > kMaxBytes) {
        LogConsole->Output("Vertex batch: %d vertices of %d bytes do not fit one batch\n", n, vertexSize);
        return nullptr;
    }
    g_Batch = VertexBatch{kind, texture, format, vertexSize, n};
    return g_Staging;
}

void GR_VertexBuilder_ReturnVerts(int n)
{
    if (n <= 0 || g_Batch.kind < 0) return;
    g_Batch.count = n < g_Batch.count ? g_Batch.count - n : 0;
}

void GR_VertexBuilder_Flush()
{
    VertexBatch& b = g_Batch;
    if (b.kind < 0) {
        g_RenderStateCache.Flush();
        return;
    }
    const bool fan = b.kind == PR_TRIANGLEFAN;
    const int vertices = fan ? (b.count >= 3 ? (b.count - 2) * 3 : 0) : b.count;
    const int topology = fan ? PR_TRIANGLELIST : b.kind;
    const uint32_t bytes = static_cast<uint32_t>(vertices) * static_cast<uint32_t>(b.vertexSize);
    if (bytes == 0) {
        // Nothing to draw: no vertices, or a format without any elements.
        b = VertexBatch{};
        g_RenderStateCache.Flush();
        return;
    }
    if (g_Ring[g_RingIndex]) {
        if (!PlaceInRing(bytes, static_cast<uint32_t>(b.vertexSize))) {
            // Only a batch larger than the staging memory could miss every
            // buffer; it is dropped rather than kept open forever.
            b = VertexBatch{};
            g_RenderStateCache.Flush();
            return;
        }
        HGPU_Buffer* buffer = g_Ring[g_RingIndex];
        void* out = HGPU_MapBuffer(buffer, g_RingOffset == 0 ? HGPU_Map::Discard : HGPU_Map::NoOverwrite,
                                   g_RingOffset, bytes);
        if (out) {
            CopyBatch(static_cast<uint8_t*>(out), b.count, b.vertexSize, fan);
            HGPU_UnmapBuffer(buffer);
        }
    }
    GR_VertexBuilder_BindBatchTexture(b.texture);
    GR_D3D_DrawPrimitive(topology, vertices, g_RingOffset, b.format, g_Ring[g_RingIndex]);
    b = VertexBatch{};
    g_RingOffset += bytes;
    ++GR_D3D_DrawCallCount;
    g_VerticesSinceSubmit += vertices;
    if (g_VerticesSinceSubmit >= kSubmitVertices) {
        HGPU_Submit();
        g_VerticesSinceSubmit = 0;
    }
    g_RenderStateCache.Flush();
}

void GR_VertexBuilder_Reset() { g_Batch = VertexBatch{}; }

void GR_VertexBuilder_ForgetTexture(D3DTexture* texture)
{
    if (texture && g_Batch.kind >= 0 && g_Batch.texture == texture) GR_VertexBuilder_Flush();
}

void GR_D3D_DrawPrimitive(int kind, int vertexCount, uint32_t byteOffset, int format, HGPU_Buffer* buffer)
{
    if (!HGPU_HasDevice()) return;
    const int stride = GR_VertexBuilder_VertexSize(format);
    // Without vertex data there is nothing the device could read.
    if (!buffer || stride < 1 || vertexCount <= 0) return;
    const bool lit = StateManagerM::GetLighting();
    HGPU_InputLayout* layout = nullptr;
    HGPU_Shader* vertex = BuiltinVS16;
    HGPU_Shader* pixel = BuiltinPSColour;
    bool fullApply = true;
    auto textured36 = [&] {
        vertex = lit ? BuiltinVS36Lit : BuiltinVS36;
        pixel = BuiltinPSTextured[lit ? 2 : 1];
    };
    if (const ShaderResource* shader = Shader_GetCurrentRecord()) {
        // A game shader brings its own programs and constants; the engine's
        // constant buffers are uploaded again once it is gone.
        fullApply = false;
        if (shader->backend >= 0) {
            vertex = Shader_GetVertexShader(shader->backend);
            pixel = Shader_GetPixelShader(shader->backend);
            Shader_BindConstantBuffers(shader->backend);
            layout = Shader_GetInputLayout(shader->backend, format);
            StateManagerM::MarkGroups(STATE_GROUP_MATRICES | STATE_GROUP_PIXEL | STATE_GROUP_FOG | STATE_GROUP_LIGHTS);
        } else {
            layout = VertexBuilder_GetBuiltinLayout(36);
        }
    } else if (format == 16) {
        layout = VertexBuilder_GetBuiltinLayout(16);
    } else if (format == 24) {
        layout = VertexBuilder_GetBuiltinLayout(24);
        vertex = BuiltinVS24;
        pixel = BuiltinPSTextured[0];
    } else if (format == 36) {
        layout = VertexBuilder_GetBuiltinLayout(36);
        textured36();
    } else if (VertexFormat* user = (format & VERTEX_FORMAT_USER) ? VertexFormat_Get(format) : nullptr) {
        // Programs by the usages present; the format's own layout feeds them
        // either way, so no program reads past the elements the vertex has.
        const uint32_t positionColour = VertexUsageBit(VERTEX_USE_POSITION) | VertexUsageBit(VERTEX_USE_COLOUR);
        const uint32_t textured = positionColour | VertexUsageBit(VERTEX_USE_TEXCOORD);
        layout = GR_D3D_GetVertexFormatLayout(user);
        if (user->usageMask == textured) {
            vertex = BuiltinVS24;
            pixel = BuiltinPSTextured[0];
        } else if (user->usageMask == (textured | VertexUsageBit(VERTEX_USE_NORMAL))) {
            textured36();
        }
    }
    // An unknown format has a one-byte stride that no layout can be read with.
    if (!layout) {
        LogConsole->Output("Draw failed due to invalid input layout\n");
        return;
    }
    HGPU_SetVertexBuffer(buffer, static_cast<uint32_t>(stride), byteOffset);
    const HGPU_Topology topology =
        (kind >= PR_POINTLIST && kind <= PR_TRIANGLESTRIP) ? static_cast<HGPU_Topology>(kind) : HGPU_Topology::PointList;
    HGPU_SetInputLayout(layout);
    HGPU_SetShaders(vertex, VertexBuilder_PixelProgram(pixel, StateManagerM::GetAlphaTest(), StateManagerM::GetFog()));
    StateManagerM::Apply(fullApply);
    HGPU_Draw(topology, static_cast<uint32_t>(vertexCount), 0);
}

bool GR_D3D_CheckHResult(HGPU_Result result, const char* call, int line, const char* file)
{
    if (result >= 0) return true;
    const char* name = file ? file : "";
    if (const char* slash = std::strrchr(name, '/')) name = slash;
    char text[1024];
    std::snprintf(text, sizeof text, "Win32 function failed: HRESULT: 0x%x\n\nCall: %s at line %d in file %s",
                  static_cast<unsigned>(result), call ? call : "", line, name);
    ShowMessageBox(text);
    return false;
}

OpenVertexBatch GR_VertexBuilder_GetOpenBatch()
{
    return {g_Batch.kind, g_Batch.texture, g_Batch.format, g_Batch.vertexSize, g_Batch.count, g_Staging};
}
