#include "Buffer/Buffer_Main.h"

int Buffer_Fast::WriteElementGeneral(int type, const BufferElement& element)
{
    if (type != eBuffer_U8) return -4;
    if (m_position >= m_size) return -2;
    m_data[m_position++] = uint8_t(element.integer);
    return 0;
}

int Buffer_Fast::ReadElementGeneral(int type, BufferElement* out)
{
    *out = BufferElement{};
    if (type != eBuffer_U8) return -4;
    if (m_position >= m_size) return -2;
    out->real = m_data[m_position++];
    return 0;
}

bool Buffer_Fast::PeekElement(int32_t offset, int type, BufferElement* out) const
{
    *out = BufferElement{};
    if (type != eBuffer_U8 || offset < 0 || offset >= m_size) return false;
    out->real = m_data[offset];
    return true;
}

bool Buffer_Fast::PokeElement(int32_t offset, int type, const BufferElement& element)
{
    if (type != eBuffer_U8 || offset < 0 || offset >= m_size) return false;
    m_data[offset] = uint8_t(element.integer);
    return true;
}
