#include "Buffer/Buffer_Main.h"

#include <cstring>

#include "Base/MemoryManager.h"

IBuffer::~IBuffer() { QS_FREE(m_data); }

void IBuffer::Truncate(size_t n)
{
    if (n < m_size) m_size = n;
    if (m_position > m_size) m_position = m_size;
}

bool IBuffer::Put(const void* bytes, size_t n)
{
    if (m_position + n > m_capacity) {
        size_t capacity = m_capacity ? m_capacity * 2 : 64;
        while (capacity < m_position + n) capacity *= 2;
        auto* data = static_cast<uint8_t*>(QS_REALLOC(m_data, capacity));
        if (!data) return false;
        m_data = data;
        m_capacity = capacity;
    }
    std::memcpy(m_data + m_position, bytes, n);
    m_position += n;
    if (m_position > m_size) m_size = m_position;
    return true;
}

bool IBuffer::Take(void* bytes, size_t n)
{
    if (n > Remaining()) return false;
    std::memcpy(bytes, m_data + m_position, n);
    m_position += n;
    return true;
}

int IBuffer::WriteString(const char* text)
{
    static const char kMissing[] = {4, 0};
    if (!text) text = kMissing;
    return Put(text, std::strlen(text) + 1) ? 0 : -2;
}

char* IBuffer::ReadString()
{
    const void* nul = m_position < m_size ? std::memchr(m_data + m_position, 0, Remaining()) : nullptr;
    if (!nul) return nullptr;
    size_t n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - (m_data + m_position));
    auto* text = static_cast<char*>(QS_ALLOC(n + 1, false));
    if (!text) return nullptr;
    std::memcpy(text, m_data + m_position, n + 1);
    m_position += n + 1;
    return text;
}
