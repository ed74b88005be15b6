// The typed reads and writes of a buffer that carry script values; the byte
// operations are the buffer's own.
#include "Buffer/Buffer_Main.h"
#include "Code/Code_ValueConvert.h"

int IBuffer::Write(int type, const ScriptValue* value)
{
    switch (type) {
    case eBuffer_U32: {
        auto v = static_cast<uint32_t>(DoubleToInt64(value->real));
        return Put(&v, 4) ? 0 : -2;
    }
    case eBuffer_S32: {
        auto v = static_cast<int32_t>(DoubleToInt64(value->real));
        return Put(&v, 4) ? 0 : -2;
    }
    case eBuffer_F32: {
        const float v = DoubleToFloat(value->real);
        return Put(&v, 4) ? 0 : -2;
    }
    case eBuffer_F64:
        return Put(&value->real, 8) ? 0 : -2;
    case eBuffer_U64:
        return Put(&value->i64, 8) ? 0 : -2;
    case eBuffer_String:
        return WriteString(ScriptValue_StringText(value));
    default:
        return -1;
    }
}

int IBuffer::Read(int type, ScriptValue* out)
{
    switch (type) {
    case eBuffer_U32: {
        uint32_t v;
        if (!Take(&v, 4)) return -1;
        ScriptValue_SetReal(out, v);
        return 0;
    }
    case eBuffer_S32: {
        int32_t v;
        if (!Take(&v, 4)) return -1;
        ScriptValue_SetReal(out, v);
        return 0;
    }
    case eBuffer_F32: {
        float v;
        if (!Take(&v, 4)) return -1;
        ScriptValue_SetReal(out, v);
        return 0;
    }
    case eBuffer_F64: {
        double v;
        if (!Take(&v, 8)) return -1;
        ScriptValue_SetReal(out, v);
        return 0;
    }
    case eBuffer_U64: {
        int64_t v;
        if (!Take(&v, 8)) return -1;
        ScriptValue_SetUndefined(out);
        out->i64 = v;
        out->kind = VALUE_INT64;
        return 0;
    }
    default:
        return -1;
    }
}
