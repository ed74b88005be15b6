#include "Function/Function_Buffer.h"

#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_BufferAsync.h"
#include "Function/Function_BufferSurface.h"
#include "Function/Function_BufferVertex.h"

namespace {
void SetReal(ScriptValue* result, double value)
{
    ScriptValue_SetReal(result, value);
}

// The buffer of argument n, null (reported) when the id names none.
IBuffer* Checked(ScriptValue* args, int n = 0)
{
    IBuffer* buffer = Buffer_Get(Arg_Int32(args, n));
    if (!buffer) ReportRuntimeError("Illegal Buffer Index", false);
    return buffer;
}

// The buffer an argument names when it is a number or a string; no message.
IBuffer* Named(ScriptValue* value)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_INT32:
    case VALUE_INT64:
    case VALUE_BOOL:
    case VALUE_STRING: {
        const double id = ScriptValue_ToReal(value);
        return id >= 0 && id < Buffer_Capacity() ? Buffer_Get(int(id)) : nullptr;
    }
    default:
        return nullptr;
    }
}

void SetNewText(ScriptValue* result, char* text)
{
    ScriptValue_SetString(result, text ? text : "");
    if (text) QS_FREE(text);
}

void F_Create(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, -1);
    if (!Arg_Need(argc, 3, "buffer_create")) return;
    const int32_t size = Arg_Int32(args, 0);
    const int32_t kind = Arg_Int32(args, 1);
    const int32_t alignment = Arg_Int32(args, 2);
    if (size <= 0) {
        ReportRuntimeError("buffer_create: Illegal size", false);
        return;
    }
    if (alignment <= 0 || alignment > 1024) {
        ReportRuntimeError("buffer_create: Illegal alignment size", false);
        return;
    }
    SetReal(result, Buffer_Create(size, kind, alignment));
}

void F_Delete(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_delete")) return;
    const int32_t id = Arg_Int32(args, 0);
    IBuffer* buffer = Buffer_Get(id);
    if (!buffer) return;
    if (buffer->inUse > 0) {
        ReportRuntimeError("Cannot delete buffer, it's in use", false);
        return;
    }
    Buffer_Delete(id);
}

void F_Write(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_write")) return;
    SetReal(result, Buffer_Write(Arg_Int32(args, 0), Arg_Int32(args, 1), &args[2]));
}

void F_Read(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, 0);
    if (!Arg_Need(argc, 2, "buffer_read")) return;
    IBuffer* buffer = Checked(args);
    if (!buffer) return;
    if (buffer->Read(Arg_Int32(args, 1), result) != 0 && result->Kind() == VALUE_REAL && result->real == -3) {
        ReportRuntimeError("Attempting to read from outside the buffer, returning 0", false);
        SetReal(result, 0);
    }
}

void F_Poke(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 4, "buffer_poke")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Poke(Arg_Int32(args, 1), Arg_Int32(args, 2), &args[3]);
}

void F_Peek(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_peek")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Peek(Arg_Int32(args, 1), Arg_Int32(args, 2), result);
}

void F_Seek(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, -1);
    if (!Arg_Need(argc, 3, "buffer_seek")) return;
    if (IBuffer* buffer = Checked(args)) SetReal(result, buffer->Seek(Arg_Int32(args, 1), Arg_Int32(args, 2)));
}

void F_Tell(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, -1);
    if (!Arg_Need(argc, 1, "buffer_tell")) return;
    if (IBuffer* buffer = Checked(args)) SetReal(result, buffer->Position());
}

void F_GetSize(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, -1);
    if (!Arg_Need(argc, 1, "buffer_get_size")) return;
    if (IBuffer* buffer = Checked(args)) SetReal(result, buffer->Size());
}

void F_Exists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const bool exists = argc >= 1 && Named(&args[0]);
    SetReal(result, exists ? 1 : 0);
    result->kind = VALUE_BOOL;
}

void F_GetType(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const IBuffer* buffer = argc >= 1 ? Named(&args[0]) : nullptr;
    SetReal(result, buffer ? buffer->Kind() : -1);
}

void F_GetAlignment(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const IBuffer* buffer = argc >= 1 ? Named(&args[0]) : nullptr;
    SetReal(result, buffer ? buffer->Alignment() : -1);
}

void F_Sizeof(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_sizeof")) return;
    SetReal(result, IBuffer_TypeSize(Arg_Int32(args, 0)));
}

void F_Resize(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "buffer_resize")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Resize(Arg_Int32(args, 1));
}

void F_Fill(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 5, "buffer_fill")) return;
    if (IBuffer* buffer = Checked(args))
        buffer->Fill(Arg_Int32(args, 1), Arg_Int32(args, 4), Arg_Int32(args, 2), &args[3], -1, true);
}

void F_Copy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, 0);
    if (!Arg_Need(argc, 5, "buffer_copy")) return;
    const int32_t source = Arg_Int32(args, 0);
    const int32_t destination = Arg_Int32(args, 3);
    IBuffer* from = Buffer_Get(source);
    IBuffer* to = Buffer_Get(destination);
    if (!from || !to) {
        ReportRuntimeError("Illegal Source Buffer Index", false);
        return;
    }
    if (source == destination) {
        ReportRuntimeError("Source and Destination buffers can't be the same", false);
        return;
    }
    from->Copy(Arg_Int32(args, 1), Arg_Int32(args, 2), to, Arg_Int32(args, 4));
}

void F_Save(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetReal(result, 0);
    if (!Arg_Need(argc, 2, "buffer_save")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Save(Arg_String(args, 1), 0, -1);
}

void F_SaveExt(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 4, "buffer_save_ext")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Save(Arg_String(args, 1), Arg_Int32(args, 2), Arg_Int32(args, 3));
}

// A new grow buffer that fill gives its contents; its id, or -1 (reported,
// the buffer gone) when fill fails.
template <typename Fill>
void CreateFilled(ScriptValue* result, Fill fill)
{
    SetReal(result, -1);
    const int id = Buffer_Create(0, eBuffer_Grow, 1);
    IBuffer* buffer = Buffer_Get(id);
    if (buffer && fill(buffer)) {
        SetReal(result, id);
        return;
    }
    Buffer_Delete(id);
    ReportRuntimeError("Cannot load buffer file", false);
}

void F_Load(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_load")) return;
    const char* name = Arg_String(args, 0);
    CreateFilled(result, [name](IBuffer* buffer) { return buffer->Load(name, 0, -1, 0) != 0; });
}

void F_LoadExt(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_load_ext")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Load(Arg_String(args, 1), 0, -1, Arg_Int32(args, 2));
}

void F_LoadPartial(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 5, "buffer_load_partial")) return;
    if (IBuffer* buffer = Checked(args))
        buffer->Load(Arg_String(args, 1), Arg_Int32(args, 2), Arg_Int32(args, 3), Arg_Int32(args, 4));
}

void F_Md5(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_md5")) return;
    IBuffer* buffer = Checked(args);
    if (!buffer) return;
    char digest[33];
    buffer->MD5(digest, Arg_Int32(args, 1), Arg_Int32(args, 2));
    ScriptValue_SetString(result, digest);
}

void F_Sha1(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_sha1")) return;
    IBuffer* buffer = Checked(args);
    if (!buffer) return;
    char digest[41];
    buffer->SHA1(digest, Arg_Int32(args, 1), Arg_Int32(args, 2));
    ScriptValue_SetString(result, digest);
}

void F_Base64Encode(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_base64_encode")) return;
    if (IBuffer* buffer = Checked(args)) SetNewText(result, buffer->Base64Encode(Arg_Int32(args, 1), Arg_Int32(args, 2)));
}

void F_Base64Decode(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_base64_decode")) return;
    const char* text = Arg_String(args, 0);
    CreateFilled(result, [text](IBuffer* buffer) { return buffer->Base64Decode(text, 0, -1) != 0; });
}

void F_Base64DecodeExt(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 3, "buffer_base64_decode_ext")) return;
    if (IBuffer* buffer = Checked(args)) buffer->Base64Decode(Arg_String(args, 1), Arg_Int32(args, 2), -1);
}

void F_GetAddress(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "buffer_get_address")) return;
    IBuffer* buffer = Buffer_Get(Arg_Int32(args, 0));
    if (!buffer) {
        ReportRuntimeError("buffer_get_address: Illegal Buffer Index", false);
        return;
    }
    ScriptValue_SetUndefined(result);
    result->ptr = buffer->Data();
    result->kind = VALUE_PTR;
}
}  // namespace

void InitBufferFunctions()
{
    struct Entry {
        const char* name;
        BuiltinRoutine routine;
        int32_t argumentCount;
    };
    static const Entry kFunctions[] = {
        {"buffer_create", F_Create, 3},
        {"buffer_delete", F_Delete, 1},
        {"buffer_write", F_Write, 3},
        {"buffer_read", F_Read, 2},
        {"buffer_poke", F_Poke, 4},
        {"buffer_peek", F_Peek, 3},
        {"buffer_seek", F_Seek, 3},
        {"buffer_tell", F_Tell, 1},
        {"buffer_get_size", F_GetSize, 1},
        {"buffer_exists", F_Exists, 1},
        {"buffer_get_type", F_GetType, 1},
        {"buffer_get_alignment", F_GetAlignment, 1},
        {"buffer_sizeof", F_Sizeof, 1},
        {"buffer_resize", F_Resize, 2},
        {"buffer_fill", F_Fill, 5},
        {"buffer_copy", F_Copy, 5},
        {"buffer_save", F_Save, 2},
        {"buffer_save_ext", F_SaveExt, 4},
        {"buffer_load", F_Load, 1},
        {"buffer_load_ext", F_LoadExt, 3},
        {"buffer_load_partial", F_LoadPartial, 5},
        {"buffer_md5", F_Md5, 3},
        {"buffer_sha1", F_Sha1, 3},
        {"buffer_base64_encode", F_Base64Encode, 3},
        {"buffer_base64_decode", F_Base64Decode, 1},
        {"buffer_base64_decode_ext", F_Base64DecodeExt, 3},
        {"buffer_get_address", F_GetAddress, 1},
    };
    for (const Entry& entry : kFunctions) CodeFunction_Register(entry.name, entry.routine, entry.argumentCount, 0);
    InitBufferSurfaceFunctions();
    InitBufferVertexFunctions();
    InitBufferAsyncFunctions();
}
