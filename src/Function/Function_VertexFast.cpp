// The fast vertex writers of release mode: each element goes after the last
// one written, in the order the calls come, with no check of types or
// usages. They still never write outside a buffer: a call on a buffer that
// is missing, frozen or not being filled, or with too few arguments, does
// nothing.
#include "Function/Function_Vertex.h"
#include "Function/Function_VertexWriters.h"
#include "Graphics/VertexBuffer.h"

using namespace vertex_writers;

namespace {

using Args = ScriptValue*;

// Room for size more bytes; the place to write them, the counters advanced.
uint8_t* Next(int argc, Args a, int count, uint32_t size)
{
    if (argc < count) return nullptr;
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer || buffer->frozen || buffer->buildingFormat == -1) return nullptr;
    if (!VertexBuffer_ReserveVertex(buffer, size)) return nullptr;
    uint8_t* place = buffer->data + buffer->bytesWritten;
    buffer->bytesWritten += size;
    if (++buffer->elementCounter >= buffer->elementsPerVertex) {
        ++buffer->vertexCount;
        buffer->elementCounter = 0;
    }
    return place;
}

void F_Position(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 3, 8)) StoreFloats(p, a, 1, 2);
}
void F_Position3D(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 4, 12)) StoreFloats(p, a, 1, 3);
}
void F_Colour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 3, 4)) StoreWord(p, ColourWord(Arg_UInt32(a, 1), Arg_Float(a, 2)));
}
void F_Argb(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 2, 4)) StoreWord(p, Arg_UInt32(a, 1));
}
void F_Texcoord(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 3, 8)) StoreFloats(p, a, 1, 2);
}
void F_Normal(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 4, 12)) StoreFloats(p, a, 1, 3);
}
template <int N>
void F_Float(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, N + 1, 4 * N)) StoreFloats(p, a, 1, N);
}
void F_UByte4(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Next(argc, a, 5, 4)) StoreUByte4(p, a);
}

void F_Submit(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (argc < 3) return;
    if (VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0)))
        VertexBuffer_Submit(buffer, Arg_Int32(a, 1), TextureArgument(a, 2));
}

void F_Freeze(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (argc >= 1) VertexBuffer_Freeze(VertexBuffer_Get(Arg_Int32(a, 0)));
}

}  // namespace

const VertexWriterRoutine FastVertexRoutines[kVertexWriterCount] = {
    {"vertex_position", F_Position},   {"vertex_position_3d", F_Position3D}, {"vertex_colour", F_Colour},
    {"vertex_color", F_Colour},        {"vertex_argb", F_Argb},              {"vertex_texcoord", F_Texcoord},
    {"vertex_normal", F_Normal},       {"vertex_float1", F_Float<1>},        {"vertex_float2", F_Float<2>},
    {"vertex_float3", F_Float<3>},     {"vertex_float4", F_Float<4>},        {"vertex_ubyte4", F_UByte4},
    {"vertex_submit", F_Submit},       {"vertex_freeze", F_Freeze},
};
