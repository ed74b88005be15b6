// The vertex format table: formats under construction, closed formats by id
// with a one-entry cache of the last one found, and the element arithmetic.
#include "Graphics/VertexFormat.h"

#include "Base/Hash.h"
#include "Graphics/VertexBuilderM.h"

namespace {

constexpr int32_t kBuckets = 128;

Hash<VertexFormat>* g_Table = nullptr;
VertexFormat* g_LastFound = nullptr;
VertexFormat* g_Building = nullptr;
uint32_t g_NextBit = 0;
// Serial numbers are never reused, not even across games.
uint32_t g_Serial = 0;

Hash<VertexFormat>& Table()
{
    if (!g_Table) g_Table = new Hash<VertexFormat>(kBuckets);
    return *g_Table;
}

void DeleteFormat(VertexFormat* format)
{
    GR_D3D_FreeVertexFormatLayout(format);
    if (g_LastFound == format) g_LastFound = nullptr;
    delete format;
}

// Reverses the 4 bytes of a component whose bytes lie at (at + i) mod size.
void SwapWrapped(uint8_t* data, int64_t at, int64_t size)
{
    uint8_t* b[4];
    for (int i = 0; i < 4; ++i) b[i] = data + (at + i) % size;
    uint8_t t = *b[0];
    *b[0] = *b[3];
    *b[3] = t;
    t = *b[1];
    *b[1] = *b[2];
    *b[2] = t;
}

void Swap(uint8_t* p)
{
    uint8_t t = p[0];
    p[0] = p[3];
    p[3] = t;
    t = p[1];
    p[1] = p[2];
    p[2] = t;
}

}  // namespace

int32_t VertexType_Size(int type)
{
    switch (type) {
    case VERTEX_TYPE_FLOAT1: return 4;
    case VERTEX_TYPE_FLOAT2: return 8;
    case VERTEX_TYPE_FLOAT3: return 12;
    case VERTEX_TYPE_FLOAT4: return 16;
    case VERTEX_TYPE_COLOUR:
    case VERTEX_TYPE_UBYTE4: return 4;
    default: return 0;
    }
}

int32_t VertexType_Components(int type)
{
    return type >= VERTEX_TYPE_FLOAT1 && type <= VERTEX_TYPE_FLOAT4 ? type : (VertexType_Size(type) ? 1 : 0);
}

HGPU_ElementFormat VertexType_ElementFormat(int type)
{
    switch (type) {
    case VERTEX_TYPE_FLOAT1: return HGPU_ElementFormat::Float1;
    case VERTEX_TYPE_FLOAT2: return HGPU_ElementFormat::Float2;
    case VERTEX_TYPE_FLOAT3: return HGPU_ElementFormat::Float3;
    case VERTEX_TYPE_COLOUR: return HGPU_ElementFormat::UByte4Norm;
    case VERTEX_TYPE_UBYTE4: return HGPU_ElementFormat::UByte4;
    default: return HGPU_ElementFormat::Float4;
    }
}

const char* VertexUsage_SemanticName(int usage)
{
    static const char* const kNames[] = {"INVALID",  "POSITION",   "COLOR",    "NORMAL",    "TEXCOORD",
                                         "BLENDWEIGHT", "BLENDINDICES", "PSIZE", "TANGENT", "BINORMAL",
                                         "TESSFACTOR", "POSITIONT", "FOG",      "DEPTH",     "SAMPLE"};
    return usage >= 0 && usage <= VERTEX_USE_SAMPLE ? kNames[usage] : nullptr;
}

void VertexFormat::AddElement(int type, int usage, uint32_t bit)
{
    VertexFormatElement element{};
    element.offset = size;
    element.type = type;
    element.usage = usage;
    element.bit = bit;
    for (const VertexFormatElement& earlier : elements)
        if (earlier.usage == usage) ++element.semanticIndex;
    elements.push_back(element);
    elementMask |= bit;
    size = element.offset + VertexType_Size(type);
    usageMask |= VertexUsageBit(usage);
}

void VertexFormat::ByteSwapVertices(uint8_t* data, int32_t n, int32_t offset, int32_t dataSize, bool wrap) const
{
    if (!data || n <= 0 || size <= 0 || (dataSize < 0 && wrap)) return;
    const int64_t stride = size;
    int64_t count = n;
    int64_t start = offset;
    bool wrapped = false;
    if (dataSize >= 0) {
        if (dataSize == 0) return;
        if (!wrap) {
            // Offsets outside the data leave nothing to swap.
            if (start < 0 || start > dataSize) return;
            if (start + count * stride > dataSize) count = (dataSize - start) / stride;
        } else {
            if (count * stride > dataSize) count = dataSize / stride;
            if (start < 0 || start + count * stride > dataSize) {
                wrapped = true;
                start = ((start % dataSize) + dataSize) % dataSize;
            }
        }
    }
    for (int64_t v = 0; v < count; ++v) {
        for (const VertexFormatElement& element : elements) {
            const int32_t components = VertexType_Components(element.type);
            for (int32_t c = 0; c < components; ++c) {
                const int64_t at = start + element.offset + c * 4;
                if (wrapped)
                    SwapWrapped(data, at, dataSize);
                else
                    Swap(data + at);
            }
        }
        start = wrapped ? (start + stride) % dataSize : start + stride;
    }
}

VertexFormat* VertexFormat_Get(int id)
{
    if (g_LastFound && g_LastFound->id == id) return g_LastFound;
    if (!g_Table) return nullptr;
    g_LastFound = g_Table->Find(id);
    return g_LastFound;
}

VertexFormat* VertexFormat_Building() { return g_Building; }

bool VertexFormat_Begin()
{
    if (g_Building) return false;
    g_Building = new VertexFormat{};
    g_NextBit = 1;
    return true;
}

int VertexFormat_Add(int type, int usage)
{
    if (!g_Building) return 1;
    if (g_NextBit == 0) return 2;
    g_Building->AddElement(type, usage, g_NextBit);
    g_NextBit <<= 1;
    return 0;
}

int VertexFormat_End()
{
    if (!g_Building) return -1;
    VertexFormat* format = g_Building;
    g_Building = nullptr;
    g_NextBit = 0;
    format->id = static_cast<int32_t>((g_Serial++ & 0xFFFFFFu) | VERTEX_FORMAT_USER);
    Table().Insert(format->id, format);
    GR_D3D_BuildVertexFormatLayout(format);
    return format->id;
}

void VertexFormat_Delete(int id)
{
    GR_VertexBuilder_Flush();
    if (!g_Table) return;
    VertexFormat* format = g_Table->Find(id);
    if (!format) return;
    g_Table->Delete(id, HASH_KEEP_VALUE);
    DeleteFormat(format);
}

void VertexFormat_Shutdown()
{
    GR_VertexBuilder_Flush();
    if (g_Table) {
        for (int32_t i = 0; i <= g_Table->mask; ++i)
            for (auto* node = g_Table->buckets[i].first; node; node = node->next) DeleteFormat(node->value);
        g_Table->Clear(HASH_KEEP_VALUE);
    }
    g_LastFound = nullptr;
    delete g_Building;
    g_Building = nullptr;
    g_NextBit = 0;
}

void VertexFormat_FreeList()
{
    VertexFormat_Shutdown();
    delete g_Table;
    g_Table = nullptr;
}

void VertexFormat_ReleaseLayouts()
{
    if (!g_Table) return;
    for (int32_t i = 0; i <= g_Table->mask; ++i)
        for (auto* node = g_Table->buckets[i].first; node; node = node->next) {
            HGPU_ReleaseInputLayout(node->value->layout);
            node->value->layout = nullptr;
        }
}
