#pragma once
// User vertex formats: game code opens a format, adds elements one by one
// and closes it, which enters the format in a table under an id (serial
// number | VERTEX_FORMAT_USER). Vertex buffers are written and drawn in a
// format; the batcher takes a format id wherever it takes a built-in vertex
// size; game shaders match their vertex inputs against the elements.
//
// Elements follow one another without gaps, in the order they were added.
#include <cstdint>
#include <vector>

#include "Host/Host_GPU.h"

// Element types: bytes and 4-byte components.
enum VertexElementType : int32_t {
    VERTEX_TYPE_FLOAT1 = 1,  // 4 bytes, 1 component
    VERTEX_TYPE_FLOAT2 = 2,  // 8 bytes, 2 components
    VERTEX_TYPE_FLOAT3 = 3,  // 12 bytes, 3 components
    VERTEX_TYPE_FLOAT4 = 4,  // 16 bytes, 4 components
    VERTEX_TYPE_COLOUR = 5,  // 4 bytes: a 0xAABBGGRR word, read as 4 normalised bytes
    VERTEX_TYPE_UBYTE4 = 6,  // 4 bytes: 4 unsigned bytes, read as integers
};

// Element usages; each binds to the shader input semantic of the same name.
// 13 and 14 are accepted by vertex_format_add_custom, but no shader input
// maps to them.
enum VertexUsage : int32_t {
    VERTEX_USE_POSITION = 1,
    VERTEX_USE_COLOUR = 2,     // "COLOR"
    VERTEX_USE_NORMAL = 3,
    VERTEX_USE_TEXCOORD = 4,
    VERTEX_USE_BLENDWEIGHT = 5,
    VERTEX_USE_BLENDINDICES = 6,
    VERTEX_USE_PSIZE = 7,
    VERTEX_USE_TANGENT = 8,
    VERTEX_USE_BINORMAL = 9,
    VERTEX_USE_TESSFACTOR = 10,
    VERTEX_USE_POSITIONT = 11,
    VERTEX_USE_FOG = 12,
    VERTEX_USE_DEPTH = 13,
    VERTEX_USE_SAMPLE = 14,
};

// Bit of a usage in a format's usage mask.
constexpr uint32_t VertexUsageBit(int usage) { return 1u << (static_cast<uint32_t>(usage) & 31u); }

// Bytes of an element type; 0 for a type outside 1..6.
int32_t VertexType_Size(int type);
// 4-byte components of an element type (the unit a byte swap reverses).
int32_t VertexType_Components(int type);
// The device element format of a type; a type outside 1..6 reads as four floats.
HGPU_ElementFormat VertexType_ElementFormat(int type);
// The shader input semantic of a usage code ("POSITION", "COLOR", ...;
// 0 "INVALID", 13 "DEPTH", 14 "SAMPLE"); null outside 0..14.
const char* VertexUsage_SemanticName(int usage);

struct VertexFormatElement {
    int32_t offset;         // bytes from the start of the vertex
    int32_t type;           // VertexElementType
    int32_t usage;          // VertexUsage
    uint32_t bit;           // 1 << n for the n-th element added (n from 0)
    int32_t semanticIndex;  // how many earlier elements have the same usage
};

struct VertexFormat {
    int32_t id;  // VERTEX_FORMAT_USER | serial number; 0 while under construction
    std::vector<VertexFormatElement> elements;  // in the order they were added
    // One device input element per element, in element order (semantic from
    // the usage, its index, format from the type, offset), built when the
    // format is closed (GR_D3D_BuildVertexFormatLayout).
    std::vector<HGPU_InputElement> inputElements;
    uint32_t elementMask = 0;  // OR of the element bits: a vertex is complete when all are written
    int32_t size = 0;          // bytes of one vertex
    uint32_t usageMask = 0;    // VertexUsageBit of every element's usage
    // The input layout the built-in programs read the format with, made on
    // first draw (the device matches attributes by semantic at draw time, so
    // one layout serves every program) and released with the device.
    HGPU_InputLayout* layout = nullptr;

    // Appends an element of that type, usage and bit after the last one.
    void AddElement(int type, int usage, uint32_t bit);
    // Reverses the bytes of every 4-byte component of n vertices in place,
    // from data + offset. size >= 0 bounds the walk to size bytes (n is cut to
    // the vertices that fit; with wrap, positions past the end continue at
    // the start); size < 0 without wrap walks n vertices unbounded; size < 0
    // with wrap does nothing.
    void ByteSwapVertices(uint8_t* data, int32_t n, int32_t offset, int32_t size, bool wrap) const;
};

// The closed format of an id, null when there is none.
VertexFormat* VertexFormat_Get(int id);

// The format under construction (at most one) and its building steps; the
// built-ins of vertex_format_* report their own errors around these.
VertexFormat* VertexFormat_Building();
bool VertexFormat_Begin();                   // false while another format is open
// Adds to the open format with the next element bit: 0 done, 1 no format
// open, 2 all 32 element bits used.
int VertexFormat_Add(int type, int usage);
int VertexFormat_End();                      // the new id; -1 when no format is open
// Flushes the batch, then deletes the format of that id, if any.
void VertexFormat_Delete(int id);

// Game end: flushes the batch and frees every format.
void VertexFormat_Shutdown();
// Program end: also frees the table itself.
void VertexFormat_FreeList();
// Releases the input layouts of every format (the device is going away).
void VertexFormat_ReleaseLayouts();
