// Buffer reads and writes of script values: the buffer works on plain
// elements, and this is where values become elements and back.
#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"

namespace {
BufferElement ElementOf(int type, const ScriptValue* value)
{
    auto* v = const_cast<ScriptValue*>(value);
    BufferElement e;
    switch (type) {
    case eBuffer_U8:
    case eBuffer_S8:
    case eBuffer_U16:
    case eBuffer_S16:
    case eBuffer_S32: e.integer = Arg_Int32(v, 0); break;
    case eBuffer_U32: e.integer = Arg_UInt32(v, 0); break;
    case eBuffer_U64: e.integer = Arg_Int64(v, 0); break;
    case eBuffer_Bool: e.integer = Arg_Bool(v, 0) ? 1 : 0; break;
    case eBuffer_F32: e.real = Arg_Float(v, 0); break;
    case eBuffer_F64: e.real = Arg_Real(v, 0); break;
    case eBuffer_String:
    case eBuffer_Text: e.text = Arg_String(v, 0); break;
    default: break;
    }
    return e;
}
}  // namespace

int IBuffer::Write(int type, const ScriptValue* value)
{
    if (type == eBuffer_F16 || (IBuffer_TypeSize(type) == 0 && type != eBuffer_String && type != eBuffer_Text))
        return -1;
    return WriteElement(type, ElementOf(type, value));
}

int IBuffer::Read(int type, ScriptValue* out)
{
    BufferElement e;
    const int result = ReadElement(type, &e);
    if (e.isText) {
        auto* text = static_cast<char*>(QS_ALLOC(size_t(e.length) + 1, false));
        std::memcpy(text, e.text, size_t(e.length));
        text[e.length] = '\0';
        ScriptValue_SetUndefined(out);
        ScriptValue_AdoptString(out, text, e.length);
    } else if (e.isInt64) {
        ScriptValue_SetUndefined(out);
        out->i64 = e.integer;
        out->kind = VALUE_INT64;
    } else {
        ScriptValue_SetReal(out, e.real);
    }
    return result;
}

void IBuffer::Peek(int32_t offset, int type, ScriptValue* out) const
{
    BufferElement e;
    PeekElement(offset, type, &e);
    ScriptValue_SetReal(out, e.real);
}

bool IBuffer::Poke(int32_t offset, int type, const ScriptValue* value)
{
    return PokeElement(offset, type, ElementOf(type, value));
}

void IBuffer::Fill(int32_t offset, int32_t size, int type, const ScriptValue* value, int32_t stride, bool zeroPadding)
{
    Fill(offset, size, type, ElementOf(type, value), stride, zeroPadding);
}

int Buffer_Write(int id, int type, const ScriptValue* value)
{
    IBuffer* buffer = Buffer_Get(id);
    if (!buffer) {
        ReportRuntimeError("Illegal Buffer Index", false);
        return -1;
    }
    return buffer->Write(type, value);
}
