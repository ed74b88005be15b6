// Frozen vertex buffers: vertex data kept on the device and drawn through the
// batcher's draw path without staging.
#include <cstdint>

#include "Graphics/VertexBuilderM.h"

bool GR_D3D_CreateVertexBuffer(FrozenVertexBuffer* record, int format, int vertexCount, uint32_t flags)
{
    const int size = GR_VertexBuilder_VertexSize(format);
    const int64_t bytes = static_cast<int64_t>(vertexCount > 0 ? vertexCount : 0) * size;
    record->format = format;
    record->vertexSize = size;
    record->capacity = vertexCount > 0 ? vertexCount : 0;
    record->flags = flags;
    record->buffer = nullptr;
    if (bytes > 0 && bytes <= UINT32_MAX) {
        record->buffer = HGPU_CreateBuffer(HGPU_BufferKind::Vertex, static_cast<uint32_t>(bytes), false, nullptr);
        if (!record->buffer) GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateBuffer", __LINE__, __FILE__);
    }
    return true;
}

void GR_D3D_UploadVertexBuffer(FrozenVertexBuffer* record, const void* data, int n)
{
    if (!record || !record->buffer || !data || n <= 0) return;
    const int count = n < record->capacity ? n : record->capacity;
    HGPU_UpdateBuffer(record->buffer, data, static_cast<uint32_t>(count) * static_cast<uint32_t>(record->vertexSize));
}

void GR_D3D_DrawVertexBuffer(int kind, int vertexCount, uint32_t byteOffset, int format, D3DTexture* texture,
                             FrozenVertexBuffer* record)
{
    if (!record) return;
    GR_VertexBuilder_Flush();
    GR_VertexBuilder_BindBatchTexture(texture);
    GR_D3D_DrawPrimitive(kind, vertexCount, byteOffset, format, record->buffer);
    ++GR_D3D_DrawCallCount;
}

void GR_D3D_ReleaseVertexBuffer(FrozenVertexBuffer* record)
{
    if (!record) return;
    HGPU_ReleaseBuffer(record->buffer);
    record->buffer = nullptr;
}

bool GR_D3D_CanFreezePrimitive(int kind) { return kind != PR_TRIANGLEFAN; }

bool GR_D3D_VertexBufferIsCurrent(const FrozenVertexBuffer*) { return true; }
