#include "Buffer/MemoryStream.h"

#include <cstring>

#include "Base/MemoryManager.h"

MemoryStream::MemoryStream(int64_t initialSize)
{
    if (initialSize > 0) {
        m_data = static_cast<uint8_t*>(QS_ALLOC(size_t(initialSize), true));
        if (m_data) m_size = initialSize;
    }
}

MemoryStream::~MemoryStream()
{
    QS_FREE(m_data);
}

int64_t MemoryStream::WriteBytes(const void* source, int64_t count)
{
    if (!source || count <= 0 || m_position < 0) return 0;
    const int64_t end = m_position + count;
    if (end > m_size) {
        void* grown = QS_REALLOC(m_data, size_t(end));
        if (!grown) return 0;
        m_data = static_cast<uint8_t*>(grown);
        m_size = end;
    }
    std::memcpy(m_data + m_position, source, size_t(count));
    m_position = end;
    return count;
}

int64_t MemoryStream::ReadChars(void* destination, int64_t count)
{
    if (!destination || m_position < 0 || m_position >= m_size || count <= 0) return 0;
    const int64_t n = count < m_size - m_position ? count : m_size - m_position;
    std::memcpy(destination, m_data + m_position, size_t(n));
    m_position += n;
    return n;
}
