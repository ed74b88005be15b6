#pragma once
// The byte buffer: a growable little-endian buffer with typed reads and
// writes and byte alignment (the value-typed operations are defined with the
// values, Code_ValueBuffer.cpp). Until the buffer kinds and table exist
// (Buffer_Stub.cpp) there is this one kind.
#include <cstddef>
#include <cstdint>

struct ScriptValue;

enum BufferElementType {
    eBuffer_U32 = 5,
    eBuffer_S32 = 6,
    eBuffer_F32 = 8,
    eBuffer_F64 = 9,
    eBuffer_String = 11,
    eBuffer_U64 = 12,
};

class IBuffer {
public:
    IBuffer() = default;
    IBuffer(const IBuffer&) = delete;
    IBuffer& operator=(const IBuffer&) = delete;
    ~IBuffer();

    // 0 on success, -1 for an unknown type.
    int Write(int type, const ScriptValue* value);
    // 0 on success, -1 for an unknown type or when the element runs past the end.
    int Read(int type, ScriptValue* out);
    int WriteString(const char* text);
    // A new memory-manager copy of the next string element, null when none is complete.
    char* ReadString();

    size_t Remaining() const { return m_size - m_position; }
    void Seek(size_t position) { m_position = position < m_size ? position : m_size; }
    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    // Cuts the contents to the first n bytes (used to make truncated input).
    void Truncate(size_t n);

private:
    bool Put(const void* bytes, size_t n);
    bool Take(void* bytes, size_t n);

    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    size_t m_position = 0;
};
