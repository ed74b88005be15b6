#include "Buffer/MemoryStream.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "IO/LoadSave.h"

namespace {
constexpr int64_t kMaxSize = 0x7FFFFFFF;
}

MemoryStream::MemoryStream(int64_t initialSize)
{
    if (initialSize > 0 && initialSize <= kMaxSize) {
        m_data = static_cast<uint8_t*>(QS_ALLOC(size_t(initialSize), true));
        if (m_data) m_size = initialSize;
    }
}

MemoryStream::~MemoryStream()
{
    FreeData();
}

void MemoryStream::FreeData()
{
    if (!m_borrowed) QS_FREE(m_data);
    m_data = nullptr;
    m_size = 0;
    m_borrowed = false;
}

bool MemoryStream::Reserve(int64_t n)
{
    if (m_position < 0 || n < 0 || m_position + n > kMaxSize) return false;
    if (m_size - m_position >= n) return true;
    int64_t size = 2 * m_size > m_position + n ? 2 * m_size : m_position + n;
    if (size > kMaxSize) size = kMaxSize;
    auto* data = static_cast<uint8_t*>(QS_ALLOC(size_t(size), true));
    if (!data) return false;
    if (m_data) std::memcpy(data, m_data, size_t(m_size));
    // A borrowed view becomes a copy of its own once it is written to.
    if (!m_borrowed) QS_FREE(m_data);
    m_borrowed = false;
    m_data = data;
    m_size = size;
    return true;
}

int64_t MemoryStream::Seek(int64_t offset, int origin)
{
    switch (origin) {
    case 0: m_position = offset; break;
    case 1: m_position += offset; break;
    case 2: m_position = m_size + offset; break;
    default: break;
    }
    return m_position;
}

int64_t MemoryStream::WriteBytes(const void* source, int64_t count)
{
    if (!source || count <= 0 || !Reserve(count)) return 0;
    std::memmove(m_data + m_position, source, size_t(count));
    m_position += count;
    return count;
}

void MemoryStream::WriteInt32(int32_t value)
{
    WriteBytes(&value, 4);
}

void MemoryStream::WriteInt64(int64_t value)
{
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(uint64_t(value) >> (8 * i));
    WriteBytes(bytes, 8);
}

void MemoryStream::WriteDouble(double value)
{
    WriteBytes(&value, 8);
}

void MemoryStream::WriteString(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length > size_t(kMaxSize)) return;
    WriteInt32(int32_t(length));
    WriteBytes(text, int64_t(length));
}

int64_t MemoryStream::ReadBytes(void* destination, int64_t count)
{
    if (!destination || count <= 0 || m_position < 0 || m_position >= m_size) return 0;
    const int64_t n = count < m_size - m_position ? count : m_size - m_position;
    std::memcpy(destination, m_data + m_position, size_t(n));
    m_position += n;
    return n;
}

int32_t MemoryStream::ReadInt32()
{
    int32_t v = 0;
    if (m_position >= 0 && m_size - m_position >= 4) ReadBytes(&v, 4);
    return v;
}

int64_t MemoryStream::ReadInt64()
{
    int64_t v = 0;
    if (m_position >= 0 && m_size - m_position >= 8) ReadBytes(&v, 8);
    return v;
}

double MemoryStream::ReadDouble()
{
    double v = 0;
    if (m_position >= 0 && m_size - m_position >= 8) ReadBytes(&v, 8);
    return v;
}

char* MemoryStream::ReadString()
{
    int32_t length = 0;
    // A length cut short by the end of the data counts as 0.
    if (ReadBytes(&length, 4) != 4 || length <= 0) return nullptr;
    const int64_t remaining = m_size - m_position > 0 ? m_size - m_position : 0;
    const int64_t n = length < remaining ? length : remaining;
    auto* text = static_cast<char*>(QS_ALLOC(size_t(n) + 1, true));
    ReadBytes(text, n);
    return text;
}

int64_t MemoryStream::CopyFrom(MemoryStream* source, int64_t n, bool borrow)
{
    if (!source || source == this) return 0;
    const int64_t remaining = source->m_size - source->m_position;
    if (n != 0 && borrow) {
        if (n < 0 || source->m_position < 0 || remaining <= 0) n = 0;
        else if (n > remaining) n = remaining;
        FreeData();
        m_borrowed = true;
        m_data = source->m_data + (n ? source->m_position : 0);
        m_size = n;
        m_position = n;
        source->m_position += n;
        return n;
    }
    if (n != 0) {
        if (source->m_position < 0 || remaining <= 0 || n < 0) return 0;
        if (n > remaining) n = remaining;
        n = WriteBytes(source->m_data + source->m_position, n);
        source->m_position += n;
        return n;
    }
    source->m_position = 0;
    const int64_t taken = WriteBytes(source->m_data, source->m_size);
    source->m_position = source->m_size;
    return taken;
}

namespace {
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

void MemoryStream::FromHexString(const char* text)
{
    if (!text || !text[0]) return;
    const size_t length = std::strlen(text);
    if (length / 2 > size_t(kMaxSize)) return;
    // Pairs that are not two hex digits are skipped.
    int64_t count = 0;
    for (size_t i = 0; i + 1 < length; i += 2)
        if (HexDigit(text[i]) >= 0 && HexDigit(text[i + 1]) >= 0) ++count;
    FreeData();
    m_data = static_cast<uint8_t*>(QS_ALLOC(count ? size_t(count) : 1, true));
    m_size = count;
    m_position = 0;
    int64_t k = 0;
    for (size_t i = 0; i + 1 < length && k < count; i += 2) {
        const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi >= 0 && lo >= 0) m_data[k++] = uint8_t(hi << 4 | lo);
    }
}

char* MemoryStream::ToHexString() const
{
    if (m_position <= 0) return nullptr;
    const int64_t n = m_position < m_size ? m_position : m_size;
    static const char kDigits[] = "0123456789ABCDEF";
    auto* text = static_cast<char*>(QS_ALLOC(size_t(2 * n + 1), false));
    for (int64_t i = 0; i < n; ++i) {
        text[2 * i] = kDigits[m_data[i] >> 4];
        text[2 * i + 1] = kDigits[m_data[i] & 15];
    }
    text[2 * n] = '\0';
    return text;
}

void MemoryStream::LoadFile(const char* name, int64_t skip)
{
    FreeData();
    uint32_t length = 0;
    uint8_t* bytes = nullptr;
    if (LoadSave_SaveFileExists(name)) bytes = LoadSave_ReadSaveFile(name, &length);
    else if (LoadSave_BundleFileExists(name)) bytes = LoadSave_ReadBundleFile(name, &length);
    if (!bytes) return;
    if (skip < 0 || skip > int64_t(length)) skip = length;
    const int64_t size = int64_t(length) - skip;
    m_data = static_cast<uint8_t*>(QS_ALLOC(size ? size_t(size) : 1, true));
    std::memcpy(m_data, bytes + skip, size_t(size));
    m_size = size;
    QS_FREE(bytes);
}
