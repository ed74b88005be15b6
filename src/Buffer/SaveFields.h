#pragma once
// Field-by-field writing and checked reading of saved-game sections: 4-byte
// numbers, f64 and strings at the buffer's cursor under its alignment rule.
// A reader fails softly: after the first element that cannot be read, ok
// stays false and every further read gives 0 (or no text).
#include <cstddef>
#include <cstdint>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"

struct SaveWriter {
    IBuffer* buffer;

    void Integer(int type, int64_t v)
    {
        BufferElement e;
        e.integer = v;
        e.real = static_cast<double>(v);
        buffer->WriteElement(type, e);
    }
    void Real(int type, double v)
    {
        BufferElement e;
        e.real = v;
        buffer->WriteElement(type, e);
    }
    void I32(int32_t v) { Integer(eBuffer_S32, v); }
    void U32(uint32_t v) { Integer(eBuffer_U32, v); }
    void F32(float v) { Real(eBuffer_F32, v); }
    void F64(double v) { Real(eBuffer_F64, v); }
    void Flag(bool v) { I32(v ? 1 : 0); }
    void String(const char* text) { buffer->WriteString(text ? text : ""); }
};

struct SaveReader {
    IBuffer* buffer;
    bool ok = true;

    double Number(int type)
    {
        BufferElement e;
        if (!ok || buffer->ReadElement(type, &e) != 0) {
            ok = false;
            return 0;
        }
        return e.real;
    }
    int32_t I32() { return static_cast<int32_t>(Number(eBuffer_S32)); }
    uint32_t U32() { return static_cast<uint32_t>(Number(eBuffer_U32)); }
    float F32() { return static_cast<float>(Number(eBuffer_F32)); }
    double F64() { return Number(eBuffer_F64); }
    bool Flag() { return I32() != 0; }
    // A new memory-manager copy, null when the data ends first.
    char* String()
    {
        if (!ok) return nullptr;
        char* text = buffer->ReadString();
        if (!text) ok = false;
        return text;
    }
    void Skip(int32_t elements)
    {
        for (int32_t i = 0; i < elements && ok; ++i) Number(eBuffer_S32);
    }
    // A count of items that each take at least `each` bytes and still fit
    // what is left; 0 with ok cleared otherwise.
    int32_t Count(size_t each)
    {
        const int32_t n = I32();
        if (ok && (n < 0 || static_cast<size_t>(n) > buffer->Remaining() / each)) ok = false;
        return ok ? n : 0;
    }
};
