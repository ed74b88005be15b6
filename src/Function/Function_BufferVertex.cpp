// Buffers made from, and filled from, the vertex bytes of vertex buffers.
// The bytes are copied as they are (the platform is little-endian).
#include "Function/Function_BufferVertex.h"

#include <string>

#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"

namespace {
// The vertices of a vertex buffer that a built-in may copy.
struct VertexSource {
    const uint8_t* data;
    int32_t vertexSize;
    int32_t vertexCount;
};

// Reports "<prefix><message>" and gives false.
bool Fail(const std::string& prefix, const char* message)
{
    ReportRuntimeError((prefix + message).c_str(), false);
    return false;
}

// The first checks the three built-ins share, in their order: the buffer
// exists, is not frozen, and holds vertices in a format.
const VertexBuffer* Usable(int id, const std::string& prefix, const char* missing, const char* frozenText,
                           const char* emptyText)
{
    const VertexBuffer* vb = VertexBuffer_Get(id);
    const char* problem = !vb                                     ? missing
                          : vb->frozen || !vb->data               ? frozenText
                          : vb->vertexCount <= 0 || vb->format < 0 ? emptyText
                                                                   : nullptr;
    if (!problem) return vb;
    Fail(prefix, problem);
    return nullptr;
}

// The vertices in their format, which must exist and fit the bytes written.
bool Vertices(const std::string& prefix, const VertexBuffer* vb, VertexSource* out)
{
    const VertexFormat* format = VertexFormat_Get(vb->format);
    if (!format || format->size <= 0 || int64_t(format->size) * vb->vertexCount > int64_t(vb->bytesWritten))
        return Fail(prefix, "vertex format is invalid.");
    *out = VertexSource{vb->data, format->size, vb->vertexCount};
    return true;
}

// The first vertex and the count cut to the vertices after it.
bool Range(const std::string& prefix, const VertexBuffer* vb, int32_t first, int32_t* count)
{
    if (*count <= 0) return Fail(prefix, "Specified number of verts invalid.");
    if (first < 0 || first >= vb->vertexCount) return Fail(prefix, "Specified start vertex out of range.");
    if (*count > vb->vertexCount - first) *count = vb->vertexCount - first;
    return true;
}

// A new buffer holding count vertices from first; its id, or -1.
int32_t CreateFrom(const VertexSource& source, int32_t first, int32_t count, int kind, int32_t alignment)
{
    const int32_t bytes = source.vertexSize * count;
    const int id = Buffer_Create(bytes, kind, alignment);
    IBuffer* buffer = Buffer_Get(id);
    if (!buffer) {
        ReportRuntimeError("buffer_create_from_vertex_buffer: Error occurred created buffer", false);
        return -1;
    }
    IBuffer_CopyMemoryIn(buffer, source.data + int64_t(first) * source.vertexSize, bytes, 0, bytes, 0, false, false,
                         false);
    return id;
}

bool AlignmentValid(const std::string& prefix, int32_t alignment)
{
    return (alignment >= 1 && alignment <= 1024) || Fail(prefix, "Illegal alignment size");
}

void F_CreateFromVertexBuffer(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 3, "buffer_create_from_vertex_buffer")) return;
    const std::string prefix = "buffer_create_from_vertex_buffer: ";
    VertexSource source;
    const int32_t kind = Arg_Int32(args, 1);
    const int32_t alignment = Arg_Int32(args, 2);
    const VertexBuffer* vb = Usable(Arg_Int32(args, 0), prefix, "Specified vertex buffer doesn't exist.",
                                    "Can't create buffer from frozen vertex buffer.",
                                    "Can't create buffer from empty vertex buffer.");
    if (!vb || !AlignmentValid(prefix, alignment) || !Vertices(prefix, vb, &source)) return;
    ScriptValue_SetReal(result, CreateFrom(source, 0, source.vertexCount, kind, alignment));
}

void F_CreateFromVertexBufferExt(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 5, "buffer_create_from_vertex_buffer_ext")) return;
    const std::string prefix = "buffer_create_from_vertex_buffer_ext: ";
    VertexSource source;
    const int32_t kind = Arg_Int32(args, 1);
    const int32_t alignment = Arg_Int32(args, 2);
    const int32_t first = Arg_Int32(args, 3);
    int32_t count = Arg_Int32(args, 4);
    const VertexBuffer* vb = Usable(Arg_Int32(args, 0), prefix, "Specified vertex buffer doesn't exist.",
                                    "Can't create buffer from frozen vertex buffer.",
                                    "Can't create buffer from empty vertex buffer.");
    if (!vb || !AlignmentValid(prefix, alignment) || !Range(prefix, vb, first, &count) ||
        !Vertices(prefix, vb, &source))
        return;
    ScriptValue_SetReal(result, CreateFrom(source, first, count, kind, alignment));
}

void F_CopyFromVertexBuffer(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 5, "buffer_copy_from_vertex_buffer")) return;
    const std::string prefix = "buffer_copy_from_vertex_buffer: ";
    VertexSource source;
    const int32_t first = Arg_Int32(args, 1);
    int32_t count = Arg_Int32(args, 2);
    const VertexBuffer* vb = Usable(Arg_Int32(args, 0), prefix, "Illegal Vertex Buffer Index",
                                    "Can't copy from frozen vertex buffer.", "Can't copy from empty vertex buffer.");
    if (!vb || !Range(prefix, vb, first, &count) || !Vertices(prefix, vb, &source)) return;
    IBuffer* destination = Buffer_Get(Arg_Int32(args, 3));
    if (!destination) {
        Fail(prefix, "Illegal Destination Buffer Index");
        return;
    }
    const bool grow = destination->Kind() == eBuffer_Grow || destination->Size() == 0;
    IBuffer_CopyMemoryIn(destination, source.data, source.vertexSize * source.vertexCount, first * source.vertexSize,
                         count * source.vertexSize, Arg_Int32(args, 4), grow, destination->Kind() == eBuffer_Wrap,
                         false);
}
}  // namespace

void InitBufferVertexFunctions()
{
    CodeFunction_Register("buffer_create_from_vertex_buffer", F_CreateFromVertexBuffer, 3, 0);
    CodeFunction_Register("buffer_create_from_vertex_buffer_ext", F_CreateFromVertexBufferExt, 5, 0);
    CodeFunction_Register("buffer_copy_from_vertex_buffer", F_CopyFromVertexBuffer, 5, 0);
}
