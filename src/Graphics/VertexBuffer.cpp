// The vertex-buffer table, filling, freezing and drawing vertex buffers.
#include "Graphics/VertexBuffer.h"

#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/ShaderM.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexFormat.h"

namespace {

VertexBuffer** g_Buffers = nullptr;
int g_Slots = 0;

// Vertex data is limited to what a 32-bit byte count can hold with room to spare.
constexpr uint64_t kMaxCapacity = 0x7FFFFFFF;

void Report(const char* message) { ReportRuntimeError(message, true); }

// -1 means no texture; so does any other number up to the table's slot count
// that names no game texture; a larger number is a texture-page entry handle,
// followed only when it is live.
D3DTexture* ResolveTexture(int texture)
{
    if (GR_Texture_Exists(texture)) return GR_Texture_GetD3D(texture);
    if (texture >= -1 && texture <= GR_Texture_Count()) return nullptr;
    const STexturePageEntry* entry = TPE_FromHandle(texture);
    return entry ? GR_Texture_GetD3D(entry->texture) : nullptr;
}

// Whole vertices of size bytes that the bytes written hold, at most count.
int32_t HeldVertices(const VertexBuffer* buffer, int32_t count, int32_t size)
{
    if (size <= 0 || count <= 0) return 0;
    const uint32_t held = buffer->bytesWritten / static_cast<uint32_t>(size);
    return held < static_cast<uint32_t>(count) ? static_cast<int32_t>(held) : count;
}

// The device copy of a frozen buffer, made again from the kept bytes after
// the device was lost.
void MakeHardware(VertexBuffer* buffer)
{
    FrozenVertexBuffer* record = buffer->hardware;
    if (!record || record->buffer || !HGPU_HasDevice()) return;
    GR_D3D_CreateVertexBuffer(record, buffer->format, buffer->vertexCount, 0);
    GR_D3D_UploadVertexBuffer(record, buffer->frozenBytes, HeldVertices(buffer, buffer->vertexCount, record->vertexSize));
}

void CopyInto(int kind, D3DTexture* texture, int format, const uint8_t* source, int32_t count, int32_t size)
{
    void* out = GR_VertexBuilder_AllocVerts(kind, texture, format, count);
    if (out) std::memcpy(out, source, static_cast<size_t>(count) * static_cast<size_t>(size));
}

}  // namespace

int VertexBuffer_Create(uint32_t size)
{
    int index = 0;
    while (index < g_Slots && g_Buffers[index]) ++index;
    if (index == g_Slots) {
        const int grown = g_Slots == 0 ? 32 : g_Slots * 2;
        auto** table = static_cast<VertexBuffer**>(QS_REALLOC(g_Buffers, sizeof(VertexBuffer*) * grown));
        if (!table) return -1;
        for (int i = g_Slots; i < grown; ++i) table[i] = nullptr;
        g_Buffers = table;
        g_Slots = grown;
    }
    uint8_t* data = nullptr;
    if (size > 0) {
        if (size > kMaxCapacity) return -1;
        data = static_cast<uint8_t*>(QS_ALLOC(size, true));
        if (!data) return -1;
    }
    auto* buffer = new VertexBuffer{};
    buffer->data = data;
    buffer->capacity = size;
    g_Buffers[index] = buffer;
    return index;
}

VertexBuffer* VertexBuffer_Get(int index) { return index >= 0 && index < g_Slots ? g_Buffers[index] : nullptr; }

void VertexBuffer_Delete(int index)
{
    VertexBuffer* buffer = VertexBuffer_Get(index);
    if (!buffer) return;
    if (buffer->hardware) {
        // The batch may still draw from it.
        GR_VertexBuilder_Flush();
        GR_D3D_ReleaseVertexBuffer(buffer->hardware);
        delete buffer->hardware;
    }
    QS_FREE(buffer->data);
    QS_FREE(buffer->frozenBytes);
    delete buffer;
    g_Buffers[index] = nullptr;
}

void VertexBuffer_FreeAll()
{
    for (int i = 0; i < g_Slots; ++i) VertexBuffer_Delete(i);
    QS_FREE(g_Buffers);
    g_Buffers = nullptr;
    g_Slots = 0;
}

void VertexBuffer_Begin(VertexBuffer* buffer, const VertexFormat* format)
{
    buffer->writtenMask = 0;
    buffer->buildingFormat = format->id;
    buffer->bytesWritten = 0;
    buffer->vertexCount = 0;
    buffer->elementCounter = 0;
    buffer->elementsPerVertex = static_cast<int32_t>(format->elements.size());
    buffer->vertexSize = format->size;
}

bool VertexBuffer_ReserveVertex(VertexBuffer* buffer, uint32_t size)
{
    const uint64_t vertex = static_cast<uint64_t>(buffer->vertexSize > 0 ? buffer->vertexSize : 0);
    const uint64_t need = static_cast<uint64_t>(buffer->bytesWritten) + (vertex > size ? vertex : size);
    if (buffer->data && buffer->capacity >= need) return true;
    uint64_t capacity = static_cast<uint64_t>(buffer->capacity) + buffer->capacity / 2 + vertex;
    if (capacity < need) capacity = need;
    if (capacity > kMaxCapacity) return false;
    auto* data = static_cast<uint8_t*>(QS_REALLOC(buffer->data, static_cast<size_t>(capacity)));
    if (!data) return false;
    buffer->data = data;
    buffer->capacity = static_cast<uint32_t>(capacity);
    return true;
}

uint8_t* VertexBuffer_ElementPointer(VertexBuffer* buffer, int usage, int type)
{
    const VertexFormat* format = VertexFormat_Get(buffer->buildingFormat);
    if (!format) {
        Report("VERTEX BUILDER: vertex format invalid\n\n");
        return nullptr;
    }
    bool passedOver = false;
    for (const VertexFormatElement& element : format->elements) {
        if (element.type != type || (usage >= 0 && element.usage != usage)) continue;
        if (buffer->writtenMask & element.bit) {
            passedOver = true;
            continue;
        }
        uint8_t* place = buffer->data + buffer->bytesWritten + element.offset;
        buffer->writtenMask |= element.bit;
        if (buffer->writtenMask == format->elementMask) {
            buffer->writtenMask = 0;
            ++buffer->vertexCount;
            buffer->bytesWritten += static_cast<uint32_t>(format->size);
        }
        return place;
    }
    Report(passedOver ? "VERTEX BUILDER: element already written, must write the whole vertex first\n\n"
                      : "VERTEX BUILDER: Vertex format does not contain selected type.\n\n");
    return nullptr;
}

void VertexBuffer_Freeze(VertexBuffer* buffer)
{
    if (!buffer || buffer->frozen) return;
    auto* record = new FrozenVertexBuffer{};
    buffer->hardware = record;
    GR_D3D_CreateVertexBuffer(record, buffer->format, buffer->vertexCount, 0);
    GR_D3D_UploadVertexBuffer(record, buffer->data, HeldVertices(buffer, buffer->vertexCount, record->vertexSize));
    buffer->frozen = 1;
    buffer->frozenBytes = buffer->data;
    buffer->data = nullptr;
}

void VertexBuffer_Submit(VertexBuffer* buffer, int kind, int texture)
{
    D3DTexture* d3d = ResolveTexture(texture);
    if (buffer->frozen && GR_D3D_CanFreezePrimitive(kind)) {
        MakeHardware(buffer);
        GR_D3D_DrawVertexBuffer(kind, buffer->vertexCount, 0, buffer->format, d3d, buffer->hardware);
        return;
    }
    const VertexFormat* format = VertexFormat_Get(buffer->format);
    if (!format) {
        Report("vertex_submit: vertex format invalid");
        return;
    }
    if (Shader_GetCurrent() < 0 && !GR_D3D_FormatHasPositionColour(format->usageMask)) {
        Report("vertex_submit: vertex format not supported by fixed function emulation (at a minimum you need "
               "position and colour)");
        return;
    }
    // A frozen buffer keeps its bytes aside; fans are drawn from them through the batch.
    const uint8_t* source = buffer->frozen ? buffer->frozenBytes : buffer->data;
    const int32_t size = format->size;
    int32_t remaining = HeldVertices(buffer, buffer->vertexCount, size);
    if (!source || remaining <= 0) return;
    const int maxVerts = GR_VertexBuilder_GetMaxVerts();
    const int64_t maxBytes = GR_VertexBuilder_GetMaxBytes();
    if (static_cast<int64_t>(size) * remaining < maxBytes && remaining < maxVerts) {
        CopyInto(kind, d3d, buffer->format, source, remaining, size);
        return;
    }
    // Only lists can be cut into batches.
    const int step = kind == PR_POINTLIST ? 1 : kind == PR_LINELIST ? 2 : kind == PR_TRIANGLELIST ? 3 : 0;
    if (step == 0) return;
    int32_t chunk = static_cast<int32_t>(maxBytes / size);
    if (chunk > maxVerts) chunk = maxVerts;
    chunk -= chunk % step;
    if (chunk <= 0) return;
    while (remaining > 0) {
        const int32_t count = remaining < chunk ? remaining : chunk;
        CopyInto(kind, d3d, buffer->format, source, count, size);
        source += static_cast<size_t>(count) * static_cast<size_t>(size);
        remaining -= count;
    }
}

void VertexBuffer_FreeHardwareBuffers()
{
    for (int i = 0; i < g_Slots; ++i)
        if (g_Buffers[i] && g_Buffers[i]->hardware) GR_D3D_ReleaseVertexBuffer(g_Buffers[i]->hardware);
}

void VertexBuffer_SetContents(VertexBuffer* buffer, uint32_t bytes, int32_t vertexCount, const VertexFormat* format)
{
    buffer->bytesWritten = bytes;
    buffer->vertexCount = vertexCount;
    buffer->format = format->id;
    buffer->buildingFormat = -1;
    buffer->elementsPerVertex = static_cast<int32_t>(format->elements.size());
    buffer->vertexSize = format->size;
    buffer->elementCounter = 0;
    buffer->writtenMask = 0;
}
