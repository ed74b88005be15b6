#include "Buffer/Buffer_Main.h"

#include <climits>
#include <cstring>

#include "Base/MemoryManager.h"

namespace {
int32_t AlignmentOf(int alignment)
{
    const int wanted = alignment > 0 ? alignment % 512 : 0;
    int32_t a = 1;
    while (a < wanted) a *= 2;
    return a;
}

int64_t Modulo(int64_t a, int64_t n)
{
    const int64_t r = a % n;
    return r < 0 ? r + n : r;
}

// The bytes of an element to write; length -1 when the type is refused.
struct Encoded {
    uint8_t bytes[8];
    const uint8_t* data = bytes;
    int64_t length = -1;
};

Encoded Encode(int type, const BufferElement& e)
{
    Encoded out;
    if (type == eBuffer_String || type == eBuffer_Text) {
        if (e.text) {
            out.data = reinterpret_cast<const uint8_t*>(e.text);
            out.length = int64_t(std::strlen(e.text)) + (type == eBuffer_String ? 1 : 0);
        }
    } else if (IBuffer_NumberSize(type) > 0) {
        IBuffer_EncodeNumber(type, e, out.bytes);
        out.length = IBuffer_NumberSize(type);
    }
    return out;
}
}  // namespace

int IBuffer_TypeSize(int type)
{
    static const int kSizes[] = {0, 1, 1, 2, 2, 4, 4, 2, 4, 8, 1, 0, 8, 0};
    return type >= 0 && type <= eBuffer_Text ? kSizes[type] : 0;
}

IBuffer::IBuffer() = default;

IBuffer::IBuffer(int32_t size, int kind, int alignment) : m_alignment(AlignmentOf(alignment)), m_kind(kind)
{
    if (size < 0) size = 0;
    if (!Resize(size)) return;
    m_usedSize = m_size;
}

IBuffer::IBuffer(uint8_t* memory, int32_t size, int kind, int alignment, bool owns)
    : m_raw(memory), m_data(memory), m_size(memory && size > 0 ? size : 0), m_alignment(AlignmentOf(alignment)),
      m_kind(kind), m_usedSize(m_size), m_owns(owns)
{
    m_rawSize = m_size + m_alignment;
}

IBuffer::~IBuffer()
{
    if (m_owns) QS_FREE(m_raw);
}

bool IBuffer::Resize(int32_t newSize)
{
    if (newSize < 0 || int64_t(newSize) + m_alignment > INT32_MAX) return false;
    const size_t rawSize = size_t(newSize) + size_t(m_alignment);
    const uintptr_t mask = uintptr_t(m_alignment) - 1;
    auto alignUp = [mask](uint8_t* p) {
        return reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + mask) & ~mask);
    };
    uint8_t* raw;
    uint8_t* data;
    if (m_allocatedHere && newSize > m_size) {
        // The memory manager extends a large block without copying it. Nothing
        // is ever written past the size, so with the manager's cleared growth
        // every new byte reads 0.
        const size_t offset = size_t(m_data - m_raw);
        raw = static_cast<uint8_t*>(QS_REALLOC(m_raw, rawSize));
        if (!raw) return false;
        data = alignUp(raw);
        if (data != raw + offset) {
            // A block that moved may meet the grid at another offset.
            std::memmove(data, raw + offset, size_t(m_size));
            std::memset(data + m_size, 0, size_t(newSize - m_size));
        }
    } else {
        raw = static_cast<uint8_t*>(QS_ALLOC(rawSize, true));
        if (!raw) return false;
        data = alignUp(raw);
        if (m_data) std::memcpy(data, m_data, size_t(newSize < m_size ? newSize : m_size));
        if (m_owns) QS_FREE(m_raw);
    }
    m_raw = raw;
    m_rawSize = newSize + m_alignment;
    m_data = data;
    m_size = newSize;
    m_owns = true;
    m_allocatedHere = true;
    if (m_position >= m_size) {
        m_position = 0;
        m_phase = 0;
    }
    const int32_t used = m_position > m_usedSize ? m_position : m_usedSize;
    m_usedSize = used < m_size ? used : m_size;
    return true;
}

bool IBuffer::GrowFor(int64_t end)
{
    if (end <= m_size) return true;
    // Doubling starts from one byte, so an empty buffer grows too.
    int64_t size = m_size > 0 ? m_size : 1;
    while (size < end) size *= 2;
    if (size > INT32_MAX - 512) size = end;
    return end <= INT32_MAX - 512 && Resize(int32_t(size));
}

void IBuffer::AlignPosition()
{
    if (m_alignment <= 1) return;
    const int64_t p = (int64_t(m_position) + m_phase + m_alignment - 1) / m_alignment * m_alignment - m_phase;
    m_position = p > INT32_MAX ? INT32_MAX : int32_t(p);
}

void IBuffer::Advance(int64_t n)
{
    int64_t p = int64_t(m_position) + n;
    if (m_kind == eBuffer_Wrap && m_size > 0 && p >= m_size) {
        const int64_t turns = p / m_size;
        p -= turns * m_size;
        m_phase = int32_t(Modulo(m_phase + turns * (m_size % m_alignment), m_alignment));
    }
    m_position = p > INT32_MAX ? INT32_MAX : int32_t(p);
}

void IBuffer::RaiseUsed(int64_t end)
{
    if (end > m_size) end = m_size;
    if (end > m_usedSize) m_usedSize = int32_t(end);
}

void IBuffer::PutBytes(int64_t offset, const uint8_t* bytes, int64_t n)
{
    if (m_kind != eBuffer_Wrap) {
        std::memcpy(m_data + offset, bytes, size_t(n));
        RaiseUsed(offset + n);
        return;
    }
    for (int64_t i = 0; i < n; ++i) {
        const int64_t at = Modulo(offset + i, m_size);
        m_data[at] = bytes[i];
        RaiseUsed(at + 1);
    }
}

void IBuffer::GetBytes(int64_t offset, uint8_t* bytes, int64_t n) const
{
    if (m_kind != eBuffer_Wrap) {
        std::memcpy(bytes, m_data + offset, size_t(n));
        return;
    }
    for (int64_t i = 0; i < n; ++i) bytes[i] = m_data[Modulo(offset + i, m_size)];
}

int IBuffer::WriteElementGeneral(int type, const BufferElement& element)
{
    AlignPosition();
    if (m_position >= m_size && m_kind != eBuffer_Grow) return -2;
    const Encoded e = Encode(type, element);
    if (e.length < 0 || type == eBuffer_F16) return -1;
    const int64_t end = int64_t(m_position) + e.length;
    if (end > m_size) {
        if (m_kind == eBuffer_Grow) {
            if (!GrowFor(end)) return -2;
        } else if (m_kind != eBuffer_Wrap) {
            return -2;
        }
    }
    PutBytes(m_position, e.data, e.length);
    Advance(e.length);
    return 0;
}

int IBuffer::ReadElementGeneral(int type, BufferElement* out)
{
    *out = BufferElement{};
    AlignPosition();
    if (m_position < m_size) {
        if (type == eBuffer_String || type == eBuffer_Text) {
            const int32_t limit = m_usedSize > m_position ? m_usedSize : m_position;
            const void* nul = std::memchr(m_data + m_position, 0, size_t(limit - m_position));
            const int32_t length = nul ? int32_t(static_cast<const uint8_t*>(nul) - (m_data + m_position))
                                       : limit - m_position;
            out->text = reinterpret_cast<const char*>(m_data + m_position);
            out->length = length;
            out->isText = true;
            Advance(int64_t(length) + 1);
            return 0;
        }
        const int n = IBuffer_TypeSize(type);
        if (int64_t(m_position) + n <= m_size || m_kind == eBuffer_Wrap) {
            uint8_t bytes[8] = {};
            GetBytes(m_position, bytes, n);
            Advance(n);
            if (IBuffer_NumberSize(type) == 0) return -1;
            IBuffer_DecodeNumber(type, bytes, out);
            return 0;
        }
    }
    out->real = -3;
    return -1;
}

bool IBuffer::PeekElement(int32_t offset, int type, BufferElement* out) const
{
    *out = BufferElement{};
    const int n = IBuffer_TypeSize(type);
    if (offset < 0 || type == eBuffer_U64 || IBuffer_NumberSize(type) == 0 || m_size == 0) return false;
    int64_t at = offset;
    if (m_kind == eBuffer_Wrap) at = Modulo(at, m_size);
    else if (at > int64_t(m_size) - n) return false;
    uint8_t bytes[8] = {};
    GetBytes(at, bytes, n);
    IBuffer_DecodeNumber(type, bytes, out);
    return true;
}

bool IBuffer::PokeElement(int32_t offset, int type, const BufferElement& element)
{
    if (offset < 0 || type == eBuffer_U64 || type == eBuffer_F16 || m_size == 0) return false;
    const Encoded e = Encode(type, element);
    if (e.length <= 0) return false;
    int64_t at = offset;
    if (m_kind == eBuffer_Wrap) at = Modulo(at, m_size);
    else if (at > int64_t(m_size) - e.length) return false;
    PutBytes(at, e.data, e.length);
    return true;
}

int IBuffer::WriteString(const char* text)
{
    static const char kMissing[] = {4, 0};
    BufferElement e;
    e.text = text ? text : kMissing;
    return WriteElement(eBuffer_String, e);
}

char* IBuffer::ReadString()
{
    AlignPosition();
    if (m_position >= m_usedSize) return nullptr;
    const void* nul = std::memchr(m_data + m_position, 0, size_t(m_usedSize - m_position));
    if (!nul) return nullptr;
    const size_t n = size_t(static_cast<const uint8_t*>(nul) - (m_data + m_position));
    auto* text = static_cast<char*>(QS_ALLOC(n + 1, false));
    std::memcpy(text, m_data + m_position, n + 1);
    Advance(int64_t(n) + 1);
    return text;
}

int32_t IBuffer::WriteBytes(const void* source, int32_t elementSize, int32_t count)
{
    const int64_t total = int64_t(elementSize) * count;
    if (!source || elementSize <= 0 || count <= 0 || total > INT32_MAX) return 0;
    int64_t n = total;
    if (m_kind == eBuffer_Grow) {
        if (!GrowFor(int64_t(m_position) + n)) return 0;
    } else if (m_kind == eBuffer_Wrap) {
        if (m_size == 0) return 0;
        if (m_position >= m_size) Advance(0);
    } else {
        if (m_position >= m_size) return 0;
        if (n > m_size - m_position) n = m_size - m_position;
    }
    PutBytes(m_position, static_cast<const uint8_t*>(source), n);
    Advance(n);
    return int32_t(n);
}

int32_t IBuffer::ReadBytes(void* destination, int32_t elementSize, int32_t count)
{
    const int64_t total = int64_t(elementSize) * count;
    if (!destination || elementSize <= 0 || count <= 0 || total > INT32_MAX || m_size == 0) return 0;
    int64_t n = total;
    if (m_kind != eBuffer_Wrap) {
        if (m_position >= m_size) return 0;
        if (n > m_size - m_position) n = m_size - m_position;
    }
    GetBytes(m_position, static_cast<uint8_t*>(destination), n);
    Advance(n);
    return int32_t(n);
}

int32_t IBuffer::Seek(int base, int32_t offset)
{
    switch (base) {
    case eBuffer_SeekStart:
        m_position = offset > 0 ? offset : 0;
        m_phase = 0;
        break;
    case eBuffer_SeekRelative: {
        int64_t p = int64_t(m_position) + offset;
        if (m_kind == eBuffer_Wrap && m_size > 0) {
            // Whole turns round the buffer, forwards or back, each moving the grid.
            const int64_t turns = p >= 0 ? p / m_size : -((-p + m_size - 1) / m_size);
            p -= turns * m_size;
            m_phase = int32_t(Modulo(m_phase + turns * (m_size % m_alignment), m_alignment));
        } else if (p < 0) {
            p = 0;
        }
        m_position = p > INT32_MAX ? INT32_MAX : int32_t(p);
        break;
    }
    case eBuffer_SeekEnd:
        m_position = m_size - (offset <= 0 ? 0 : offset < m_size ? offset : m_size);
        m_phase = 0;
        break;
    default:
        break;
    }
    return m_position;
}
