#pragma once
// The growable byte stream. Until the full stream exists
// (MemoryStream_Stub.cpp) it has the operations the bitmap reader uses.
#include <cstdint>

class MemoryStream {
public:
    explicit MemoryStream(int64_t initialSize);
    ~MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    uint8_t* GetBuffer() const { return m_data; }
    int64_t GetPosition() const { return m_position; }
    int64_t GetSize() const { return m_size; }
    void SetPosition(int64_t position) { m_position = position; }
    // Appends at the position, growing the block; returns the count written.
    int64_t WriteBytes(const void* source, int64_t count);
    // Copies min(count, size - position) bytes and advances; returns the count.
    int64_t ReadChars(void* destination, int64_t count);

private:
    int64_t m_size = 0;
    int64_t m_position = 0;
    uint8_t* m_data = nullptr;
};
