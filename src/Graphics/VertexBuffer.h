#pragma once
// Vertex buffers: vertices that game code writes element by element in a user
// vertex format (VertexFormat.h), then draws as one primitive list, copied
// through the batcher each time or, once frozen, from a device buffer. Buffers
// are known by their index in a table; deleted slots are reused.
#include <cstdint>

#include "Graphics/VertexBuilderM.h"

struct VertexFormat;

struct VertexBuffer {
    uint8_t* data = nullptr;      // the vertex bytes (memory manager); null once frozen
    uint32_t capacity = 0;        // bytes allocated for data
    uint32_t bytesWritten = 0;    // bytes of vertex data so far
    int32_t elementCounter = 0;   // elements written into the current vertex (fast writers)
    int32_t elementsPerVertex = 0;
    uint32_t writtenMask = 0;     // element bits written into the current vertex (safe writers)
    int32_t vertexCount = 0;      // whole vertices written
    uint8_t frozen = 0;
    int32_t buildingFormat = -1;  // format id between vertex_begin and vertex_end, else -1
    int32_t format = -1;          // format id of the finished contents, -1 when none
    int32_t vertexSize = 0;       // bytes of one vertex of the building format
    FrozenVertexBuffer* hardware = nullptr;  // the device copy of a frozen buffer
    // A frozen buffer's bytes, kept so that the device copy can be made again
    // after the device was lost.
    uint8_t* frozenBytes = nullptr;
};

// Creates a buffer of size bytes (zeroed) in the first empty slot; its index.
int VertexBuffer_Create(uint32_t size);
// The buffer of an index, null for an index outside the table or an empty slot.
VertexBuffer* VertexBuffer_Get(int index);
void VertexBuffer_Delete(int index);
// Deletes every buffer (game end).
void VertexBuffer_FreeAll();

// Starts filling in a format: counters and masks cleared, writing from byte 0.
void VertexBuffer_Begin(VertexBuffer* buffer, const VertexFormat* format);
// Room for one whole vertex (and for size more bytes) after the bytes
// written; false when the memory cannot be had.
bool VertexBuffer_ReserveVertex(VertexBuffer* buffer, uint32_t size);
// Where the safe writers put an element of that usage and type (usage < 0:
// any usage) into the current vertex; null, with the error reported, when
// the building format has no such element left to write. A completed vertex
// is counted.
uint8_t* VertexBuffer_ElementPointer(VertexBuffer* buffer, int usage, int type);
// Moves the contents to a device buffer; data is freed.
void VertexBuffer_Freeze(VertexBuffer* buffer);
// Draws the contents as primitives of a kind with a texture handle (-1, a
// game texture index or a texture-page entry handle); reports a missing
// format or one the built-in programs cannot draw.
void VertexBuffer_Submit(VertexBuffer* buffer, int kind, int texture);
// Releases every device copy; frozen buffers make theirs again when drawn.
void VertexBuffer_FreeHardwareBuffers();

// Makes bytes already copied into data the finished contents of a buffer:
// that many vertices in the format, nothing being filled.
void VertexBuffer_SetContents(VertexBuffer* buffer, uint32_t bytes, int32_t vertexCount, const VertexFormat* format);
