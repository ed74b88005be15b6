// The vertex buffer built-ins with the checked writers: every call is
// validated and every element is put in its place in the vertex, whatever
// order the elements come in.
#include "Function/Function_Vertex.h"

#include <cstdint>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Function/Function_VertexWriters.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"

using namespace vertex_writers;

namespace {

using Args = ScriptValue*;

constexpr uint32_t kDefaultSize = 32768;
constexpr uint32_t kMinimumSize = 256;

void Report(const char* message) { ReportRuntimeError(message, true); }

// The common check of the writers; the buffer with room for the vertex
// being written, null (reported) when nothing may be written.
VertexBuffer* CheckWrite(ScriptValue* r, int argc, Args a, int count)
{
    ScriptValue_SetReal(r, 0);
    if (argc != count) {
        Report("VERTEX BUILDER: Illegal argument count");
        return nullptr;
    }
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer || buffer->frozen) {
        Report("VERTEX BUILDER: Illegal vertex buffer specified.");
        return nullptr;
    }
    if (buffer->buildingFormat == -1) {
        Report("VERTEX BUILDER: Must use vertex_begin() before writing to buffer");
        return nullptr;
    }
    if (buffer->writtenMask == 0 && !VertexBuffer_ReserveVertex(buffer, 0)) return nullptr;
    return buffer;
}

// The place of an element of that usage (-1: any) and type in the vertex being written.
uint8_t* Place(ScriptValue* r, int argc, Args a, int count, int usage, int type)
{
    VertexBuffer* buffer = CheckWrite(r, argc, a, count);
    return buffer ? VertexBuffer_ElementPointer(buffer, usage, type) : nullptr;
}

void F_Position(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 3, VERTEX_USE_POSITION, VERTEX_TYPE_FLOAT2)) StoreFloats(p, a, 1, 2);
}
void F_Position3D(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 4, VERTEX_USE_POSITION, VERTEX_TYPE_FLOAT3)) StoreFloats(p, a, 1, 3);
}
void F_Colour(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 3, VERTEX_USE_COLOUR, VERTEX_TYPE_COLOUR))
        StoreWord(p, ColourWord(Arg_UInt32(a, 1), Arg_Float(a, 2)));
}
void F_Argb(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 2, VERTEX_USE_COLOUR, VERTEX_TYPE_COLOUR)) StoreWord(p, Arg_UInt32(a, 1));
}
void F_Texcoord(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 3, VERTEX_USE_TEXCOORD, VERTEX_TYPE_FLOAT2)) StoreFloats(p, a, 1, 2);
}
void F_Normal(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 4, VERTEX_USE_NORMAL, VERTEX_TYPE_FLOAT3)) StoreFloats(p, a, 1, 3);
}
template <int N>
void F_Float(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, N + 1, -1, N)) StoreFloats(p, a, 1, N);
}
void F_UByte4(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (uint8_t* p = Place(r, argc, a, 5, -1, VERTEX_TYPE_UBYTE4)) StoreUByte4(p, a);
}

void F_Submit(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 3) {
        Report("vertex_submit: Illegal argument count");
        return;
    }
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer) {
        Report("vertex_submit: Illegal vertex buffer specified.");
        return;
    }
    if (buffer->format == -1) {
        Report("vertex_submit: Must finish with vertex_end() before submitting.");
        return;
    }
    const int kind = Arg_Int32(a, 1);
    if (kind < PR_POINTLIST || kind > (buffer->frozen ? PR_TRIANGLESTRIP : PR_TRIANGLEFAN)) {
        Report("vertex_submit: Primitive type error.");
        return;
    }
    VertexBuffer_Submit(buffer, kind, TextureArgument(a, 2));
}

void F_Freeze(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Report("vertex_freeze: Illegal argument count");
        return;
    }
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer || buffer->frozen) {
        Report("vertex_freeze: Illegal vertex buffer specified.");
        return;
    }
    if (buffer->buildingFormat != -1) {
        Report("vertex_freeze: must end the vertex builder first");
        return;
    }
    VertexBuffer_Freeze(buffer);
}

void F_CreateBuffer(ScriptValue* r, CInstance*, CInstance*, int argc, Args)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 0) {
        Report("vertex_create_buffer: Illegal argument count");
        return;
    }
    ScriptValue_SetReal(r, VertexBuffer_Create(kDefaultSize));
}

void F_CreateBufferExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (!Arg_Need(argc, 1, "vertex_create_buffer_ext")) return;
    const uint32_t size = Arg_UInt32(a, 0);
    ScriptValue_SetReal(r, VertexBuffer_Create(size < kMinimumSize ? kMinimumSize : size));
}

void F_DeleteBuffer(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 1) {
        Report("vertex_delete_buffer: Illegal argument count");
        return;
    }
    const uint32_t index = Arg_UInt32(a, 0);
    if (index > INT32_MAX || !VertexBuffer_Get(static_cast<int>(index))) {
        Report("vertex_delete_buffer: Invalid vertex buffer specified");
        return;
    }
    VertexBuffer_Delete(static_cast<int>(index));
}

void F_Begin(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, 0);
    if (argc != 2) {
        Report("vertex_begin: Illegal argument count");
        return;
    }
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer || buffer->frozen) {
        Report("vertex_begin: Illegal vertex buffer specified.");
        return;
    }
    const VertexFormat* format = VertexFormat_Get(Arg_Int32(a, 1));
    if (!format) {
        Report("vertex_create_buffer: Illegal vertex format specified");
        return;
    }
    VertexBuffer_Begin(buffer, format);
}

void F_End(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, 0);
    if (argc != 1) {
        Report("vertex_end: Illegal argument count");
        return;
    }
    VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer || buffer->frozen) {
        Report("vertex_end: Illegal vertex buffer specified.");
        return;
    }
    if (buffer->writtenMask != 0) {
        Report("vertex_end: Must finish writing vertex before end.");
        return;
    }
    buffer->format = buffer->buildingFormat;
    buffer->buildingFormat = -1;
}

void F_GetNumber(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, 0);
    if (argc != 1) {
        Report("vertex_get_number: Illegal argument count");
        return;
    }
    const VertexBuffer* buffer = VertexBuffer_Get(Arg_Int32(a, 0));
    if (!buffer) {
        Report("vertex_get_number: specified vertex buffer doesn't exists");
        return;
    }
    ScriptValue_SetReal(r, buffer->vertexCount);
}

void F_GetBufferSize(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    const VertexBuffer* buffer = argc >= 1 ? VertexBuffer_Get(Arg_Int32(a, 0)) : nullptr;
    if (!buffer) {
        FatalRuntimeError("Vertex Buffer index is out of range");
        return;
    }
    ScriptValue_SetReal(r, buffer->capacity);
}

// The byte buffer and format of the two vertex_create_buffer_from_buffer
// forms, reported in the name of the form.
bool FromBufferSources(Args a, const char* name, IBuffer** bytes, const VertexFormat** format)
{
    char text[160];
    *bytes = Buffer_Get(Arg_Int32(a, 0));
    if (!*bytes) {
        std::snprintf(text, sizeof text, "%s: specified buffer doesn't exists", name);
        Report(text);
        return false;
    }
    *format = VertexFormat_Get(Arg_Int32(a, 1));
    if (!*format) {
        std::snprintf(text, sizeof text, "%s: specified vertex format doesn't exist", name);
        Report(text);
        return false;
    }
    return true;
}

void F_CreateFromBuffer(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 2) {
        Report("vertex_create_buffer_from_buffer: Illegal argument count");
        return;
    }
    IBuffer* bytes;
    const VertexFormat* format;
    if (!FromBufferSources(a, "vertex_create_buffer_from_buffer", &bytes, &format)) return;
    int32_t used = bytes->UsedSize() < bytes->Size() ? bytes->UsedSize() : bytes->Size();
    if (used < 0) used = 0;
    const uint32_t size = static_cast<uint32_t>(used);
    const int index = VertexBuffer_Create(size < kMinimumSize ? kMinimumSize : size);
    VertexBuffer* buffer = VertexBuffer_Get(index);
    if (!buffer) {
        Report("vertex_create_buffer_from_buffer: could not create vertex buffer");
        return;
    }
    if (size > 0) std::memcpy(buffer->data, bytes->Data(), size);
    const int32_t count = format->size > 0 ? static_cast<int32_t>(size / static_cast<uint32_t>(format->size)) : 0;
    VertexBuffer_SetContents(buffer, size, count, format);
    ScriptValue_SetReal(r, index);
}

void F_CreateFromBufferExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc != 4) {
        Report("vertex_create_buffer_from_buffer_ext: Illegal argument count");
        return;
    }
    IBuffer* bytes;
    const VertexFormat* format;
    if (!FromBufferSources(a, "vertex_create_buffer_from_buffer_ext", &bytes, &format)) return;
    const int32_t offset = Arg_Int32(a, 2), count = Arg_Int32(a, 3);
    const int64_t size = static_cast<int64_t>(format->size) * count;
    // A negative count or one beyond any buffer's size makes no buffer.
    const int index = count >= 0 && size <= INT32_MAX ? VertexBuffer_Create(static_cast<uint32_t>(size)) : -1;
    VertexBuffer* buffer = VertexBuffer_Get(index);
    if (!buffer) {
        Report("vertex_create_buffer_from_buffer_ext: could not create vertex buffer");
        return;
    }
    if (size > 0)
        IBuffer_CopyMemoryWrap(buffer->data, static_cast<int32_t>(size), bytes->Data(), bytes->Size(), offset,
                               static_cast<int32_t>(size), 0, false, bytes->Kind() == eBuffer_Wrap);
    VertexBuffer_SetContents(buffer, static_cast<uint32_t>(size), count, format);
    ScriptValue_SetReal(r, index);
}

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kFunctions[] = {
    {"vertex_create_buffer", F_CreateBuffer, 0},
    {"vertex_create_buffer_ext", F_CreateBufferExt, 1},
    {"vertex_delete_buffer", F_DeleteBuffer, 1},
    {"vertex_begin", F_Begin, 2},
    {"vertex_end", F_End, 1},
    {"vertex_position", F_Position, 3},
    {"vertex_position_3d", F_Position3D, 4},
    {"vertex_colour", F_Colour, 3},
    {"vertex_color", F_Colour, 3},
    {"vertex_argb", F_Argb, 2},
    {"vertex_texcoord", F_Texcoord, 3},
    {"vertex_normal", F_Normal, 4},
    {"vertex_float1", F_Float<1>, 2},
    {"vertex_float2", F_Float<2>, 3},
    {"vertex_float3", F_Float<3>, 4},
    {"vertex_float4", F_Float<4>, 5},
    {"vertex_ubyte4", F_UByte4, 5},
    {"vertex_submit", F_Submit, 3},
    {"vertex_freeze", F_Freeze, 1},
    {"vertex_get_number", F_GetNumber, 1},
    {"vertex_get_buffer_size", F_GetBufferSize, 1},
    {"vertex_create_buffer_from_buffer", F_CreateFromBuffer, 2},
    {"vertex_create_buffer_from_buffer_ext", F_CreateFromBufferExt, 4},
};

// The routines the release-mode switch swaps, by name, in the checked set.
const VertexWriterRoutine kCheckedRoutines[kVertexWriterCount] = {
    {"vertex_position", F_Position},   {"vertex_position_3d", F_Position3D}, {"vertex_colour", F_Colour},
    {"vertex_color", F_Colour},        {"vertex_argb", F_Argb},              {"vertex_texcoord", F_Texcoord},
    {"vertex_normal", F_Normal},       {"vertex_float1", F_Float<1>},        {"vertex_float2", F_Float<2>},
    {"vertex_float3", F_Float<3>},     {"vertex_float4", F_Float<4>},        {"vertex_ubyte4", F_UByte4},
    {"vertex_submit", F_Submit},       {"vertex_freeze", F_Freeze},
};

}  // namespace

void InitVertexFunctions()
{
    for (const Registration& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}

void SetVertexBuilderMode(bool checks)
{
    const VertexWriterRoutine* set = checks ? kCheckedRoutines : FastVertexRoutines;
    for (int i = 0; i < kVertexWriterCount; ++i) CodeFunction_ReplaceRoutine(set[i].name, set[i].routine);
}
