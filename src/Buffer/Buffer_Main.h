#pragma once
// The byte buffer: a block with a size, an alignment, a kind that decides
// what happens at its end (fixed, grow, wrap), a cursor for sequential typed
// reads and writes, and operations at explicit offsets that leave the cursor
// alone. Numbers are stored little-endian without padding inside an element.
//
// The buffer works on plain elements (BufferElement); the forms that take and
// give script values are defined with the values (Code/Code_ValueBuffer.cpp),
// so this layer needs nothing of the value record.
#include <cstddef>
#include <cstdint>
#include <cstring>

struct ScriptValue;

enum BufferKind {
    eBuffer_Fixed = 0,
    eBuffer_Grow = 1,
    eBuffer_Wrap = 2,
    eBuffer_Fast = 3,
    eBuffer_VBuffer = 4,
};

enum BufferElementType {
    eBuffer_U8 = 1,
    eBuffer_S8 = 2,
    eBuffer_U16 = 3,
    eBuffer_S16 = 4,
    eBuffer_U32 = 5,
    eBuffer_S32 = 6,
    eBuffer_F16 = 7,  // has a size, but every read and write refuses it
    eBuffer_F32 = 8,
    eBuffer_F64 = 9,
    eBuffer_Bool = 10,
    eBuffer_String = 11,  // UTF-8 bytes and a NUL
    eBuffer_U64 = 12,
    eBuffer_Text = 13,  // UTF-8 bytes without a NUL
};

enum BufferSeekBase {
    eBuffer_SeekStart = 0,
    eBuffer_SeekRelative = 1,
    eBuffer_SeekEnd = 2,
};

// One element on its way in or out. Writers fill the field the type takes:
// integer and bool types integer, f32/f64 real, string/text text (null: no
// text). Readers give a number in real, a u64 in integer (isInt64 set), and a
// string or text as text/length pointing into the buffer (not NUL-ended).
struct BufferElement {
    double real = 0;
    int64_t integer = 0;
    const char* text = nullptr;
    int32_t length = 0;
    bool isInt64 = false;
    bool isText = false;
};

// Bytes of an element type; 0 for strings, text and unknown codes.
int IBuffer_TypeSize(int type);

class IBuffer {
public:
    // An empty grow buffer.
    IBuffer();
    // size bytes cleared; alignment becomes the smallest power of two not
    // below (alignment mod 512), at least 1.
    IBuffer(int32_t size, int kind, int alignment);
    // Over the caller's memory, no copy; freed with the buffer when owns.
    IBuffer(uint8_t* memory, int32_t size, int kind, int alignment, bool owns);
    virtual ~IBuffer();
    IBuffer(const IBuffer&) = delete;
    IBuffer& operator=(const IBuffer&) = delete;

    // At the cursor, after moving it up to the alignment grid. Write: 0, -1
    // for a refused type or a missing text, -2 when a buffer that neither
    // grows nor wraps has no room (nothing written). Read: 0, or -1 with
    // real -3 when nothing could be read, or -1 with real 0 for a refused type.
    // A number that fits where the cursor already stands on the grid of a
    // buffer that neither wraps nor is fast is moved here, inline; anything
    // else takes the general path.
    int WriteElement(int type, const BufferElement& element);
    int ReadElement(int type, BufferElement* out);
    // At an offset; the cursor stays. False when nothing was read or written.
    virtual bool PeekElement(int32_t offset, int type, BufferElement* out) const;
    virtual bool PokeElement(int32_t offset, int type, const BufferElement& element);

    // The value forms (Code/Code_ValueBuffer.cpp). A peek gives a number,
    // 0 when nothing was read.
    int Write(int type, const ScriptValue* value);
    int Read(int type, ScriptValue* out);
    void Peek(int32_t offset, int type, ScriptValue* out) const;
    bool Poke(int32_t offset, int type, const ScriptValue* value);
    void Fill(int32_t offset, int32_t size, int type, const ScriptValue* value, int32_t stride, bool zeroPadding);

    // A type-11 string; null writes the one-character text "\x04".
    int WriteString(const char* text);
    // The next string in a new memory-manager copy; null (cursor kept) when
    // no NUL ends it before the end of the data.
    char* ReadString();
    // fwrite/fread-like runs of bytes at the cursor; the count moved.
    int32_t WriteBytes(const void* source, int32_t elementSize, int32_t count);
    int32_t ReadBytes(void* destination, int32_t elementSize, int32_t count);

    // The new position. Start and end clear the wrap phase.
    int32_t Seek(int base, int32_t offset);
    // New size (>= 0): contents kept up to it, the rest cleared; the buffer
    // owns its memory afterwards. False when the block cannot be had.
    bool Resize(int32_t newSize);
    // Elements over [offset, offset+size) (size < 0: the buffer's size): on
    // the alignment grid (stride <= 0) or every stride bytes, gaps zeroed
    // when zeroPadding is set.
    void Fill(int32_t offset, int32_t size, int type, const BufferElement& element, int32_t stride, bool zeroPadding);
    // size bytes from offset into destination at destOffset, under the
    // destination's kind (grows, wraps or is cut).
    void Copy(int32_t offset, int32_t size, IBuffer* destination, int32_t destOffset);
    // Copies bytes in under the buffer's kind: 1, or 0 for null data.
    int LoadFromMemory(const void* data, int32_t length, int32_t sourceOffset, int32_t size, int32_t destOffset);

    // The range [offset, offset+size) for the operations below: offset
    // clamped into the buffer, size < 0 meaning the buffer's size, cut at
    // the end.
    bool Save(const char* fileName, int32_t offset, int32_t size) const;
    // A new memory-manager copy of a range (wrapping past the end when wrap
    // is set and the buffer wraps); false for an empty buffer.
    bool ExtractRange(uint8_t** data, int32_t* length, int32_t offset, int32_t size, bool wrap) const;
    // Reads a file from the save area, else the bundle, into the buffer at
    // destOffset. 0 when there is no such file or the name is a web address.
    int Load(const char* fileName, int32_t sourceOffset, int32_t size, int32_t destOffset);
    // Base64 text of a range in a new memory-manager copy.
    char* Base64Encode(int32_t offset, int32_t size) const;
    // Decodes text into the buffer at destOffset (size >= 0: that many of the
    // decoded bytes); 0 for a null text.
    int Base64Decode(const char* text, int32_t destOffset, int32_t size);
    // Lower-case hex digests of a range (a wrap buffer's range continues at
    // its start); false and "" for an empty buffer.
    bool MD5(char out[33], int32_t offset, int32_t size) const;
    bool SHA1(char out[41], int32_t offset, int32_t size) const;

    // A surface's pixels (4 bytes each, red, green, blue, alpha) to and from
    // the buffer, row r at offset + r × (width × 4 + modulo). Nothing moves
    // unless the surface exists and every row fits in the buffer. mode has
    // no effect. Surfaces live in the renderer, above the buffers: these are
    // defined with the buffer built-ins (Function/IBuffer_Surface.cpp).
    bool GetSurface(int32_t surface, int32_t mode, int32_t offset, int32_t modulo);
    bool SetSurface(int32_t surface, int32_t offset, int32_t modulo);

    uint8_t* Data() const { return m_data; }
    int32_t Size() const { return m_size; }
    int32_t UsedSize() const { return m_usedSize; }
    int32_t Position() const { return m_position; }
    int32_t Alignment() const { return m_alignment; }
    int32_t Phase() const { return m_phase; }
    int Kind() const { return m_kind; }
    // Bytes of data after the cursor.
    size_t Remaining() const { return m_position < m_usedSize ? size_t(m_usedSize - m_position) : 0; }

    int32_t inUse = 0;  // while above 0 the buffer may not be deleted by game code

protected:
    virtual int WriteElementGeneral(int type, const BufferElement& element);
    virtual int ReadElementGeneral(int type, BufferElement* out);
    // Bytes of the number element at the cursor when it lies within the
    // buffer on the grid of a buffer that neither wraps nor is fast; else 0.
    int32_t InlineRoom(int type) const;

    friend int32_t IBuffer_CopyMemoryIn(IBuffer*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, bool, bool, bool);
    void AlignPosition();
    // Moves the cursor n bytes on, wrapping (and carrying the phase) in a wrap buffer.
    void Advance(int64_t n);
    // Copies n bytes to or from an offset, wrapping byte by byte in a wrap buffer.
    void PutBytes(int64_t offset, const uint8_t* bytes, int64_t n);
    void GetBytes(int64_t offset, uint8_t* bytes, int64_t n) const;
    void RaiseUsed(int64_t end);
    // Grows to hold end bytes by doubling; false when that cannot be.
    bool GrowFor(int64_t end);
    // A range under the non-wrapping rules; false for an empty buffer.
    bool ClampRange(int32_t* offset, int32_t* size) const;

    uint8_t* m_raw = nullptr;
    int32_t m_rawSize = 0;
    uint8_t* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_alignment = 1;
    int m_kind = eBuffer_Grow;
    int32_t m_position = 0;
    int32_t m_usedSize = 0;
    int32_t m_phase = 0;
    bool m_owns = true;
    // The raw block was made by Resize rather than handed in, so growing may
    // extend it where it is.
    bool m_allocatedHere = false;
};

// Byte streams only: u8 and nothing else, fixed size, no alignment.
class Buffer_Fast : public IBuffer {
public:
    Buffer_Fast(int32_t size, int alignment) : IBuffer(size, eBuffer_Fast, alignment) {}
    bool PeekElement(int32_t offset, int type, BufferElement* out) const override;
    bool PokeElement(int32_t offset, int type, const BufferElement& element) override;

protected:
    int WriteElementGeneral(int type, const BufferElement& element) override;  // -4 for any type but u8
    int ReadElementGeneral(int type, BufferElement* out) override;
};

// Copies count bytes (size < 0: the whole source) from source at sourceOffset
// into buffer at destOffset: grown first when grow is set, wrapping on a side
// whose flag is set, cut otherwise. The destination offset after the copy, or
// -1 when nothing could be copied.
int32_t IBuffer_CopyMemoryIn(IBuffer* buffer, const uint8_t* source, int32_t length, int32_t sourceOffset,
                             int32_t size, int32_t destOffset, bool grow, bool wrapDest, bool wrapSource);
// The same between two plain blocks (no growing).
int32_t IBuffer_CopyMemoryWrap(uint8_t* dest, int32_t destSize, const uint8_t* source, int32_t length,
                               int32_t sourceOffset, int32_t size, int32_t destOffset, bool wrapDest,
                               bool wrapSource);

// Bytes of the number types every read and write accepts; 0 for f16, strings,
// text and unknown codes.
inline int IBuffer_NumberSize(int type)
{
    static constexpr int8_t kSizes[] = {0, 1, 1, 2, 2, 4, 4, 0, 4, 8, 1, 0, 8, 0};
    return unsigned(type) <= unsigned(eBuffer_Text) ? kSizes[type] : 0;
}

// A number element's little-endian bytes; to holds IBuffer_NumberSize(type).
inline void IBuffer_EncodeNumber(int type, const BufferElement& e, uint8_t* to)
{
    switch (type) {
    case eBuffer_U8:
    case eBuffer_S8: *to = uint8_t(e.integer); break;
    case eBuffer_Bool: *to = e.integer != 0; break;
    case eBuffer_U16:
    case eBuffer_S16: { const uint16_t v = uint16_t(e.integer); std::memcpy(to, &v, 2); break; }
    case eBuffer_U32:
    case eBuffer_S32: { const uint32_t v = uint32_t(e.integer); std::memcpy(to, &v, 4); break; }
    case eBuffer_U64: std::memcpy(to, &e.integer, 8); break;
    case eBuffer_F32: { const float v = float(e.real); std::memcpy(to, &v, 4); break; }
    case eBuffer_F64: std::memcpy(to, &e.real, 8); break;
    default: break;
    }
}

// The number a read gives: real, or integer with isInt64 for a u64.
inline void IBuffer_DecodeNumber(int type, const uint8_t* b, BufferElement* out)
{
    switch (type) {
    case eBuffer_U8:
    case eBuffer_Bool: out->real = b[0]; break;
    case eBuffer_S8: out->real = int8_t(b[0]); break;
    case eBuffer_U16: { uint16_t v; std::memcpy(&v, b, 2); out->real = v; break; }
    case eBuffer_S16: { int16_t v; std::memcpy(&v, b, 2); out->real = v; break; }
    case eBuffer_U32: { uint32_t v; std::memcpy(&v, b, 4); out->real = v; break; }
    case eBuffer_S32: { int32_t v; std::memcpy(&v, b, 4); out->real = v; break; }
    case eBuffer_F32: { float v; std::memcpy(&v, b, 4); out->real = v; break; }
    case eBuffer_F64: std::memcpy(&out->real, b, 8); break;
    case eBuffer_U64:
        std::memcpy(&out->integer, b, 8);
        out->isInt64 = true;
        break;
    default: break;
    }
}

inline int32_t IBuffer::InlineRoom(int type) const
{
    const int32_t n = IBuffer_NumberSize(type);
    // The cursor is never negative, and it sits on the grid when it needs no aligning.
    const bool fits = uint32_t(m_position) + uint32_t(n) <= uint32_t(m_size) &&
                      ((uint32_t(m_position) + uint32_t(m_phase)) & uint32_t(m_alignment - 1)) == 0;
    return fits && m_kind != eBuffer_Wrap && m_kind != eBuffer_Fast ? n : 0;
}

inline int IBuffer::WriteElement(int type, const BufferElement& element)
{
    const int32_t n = InlineRoom(type);
    if (n == 0) return WriteElementGeneral(type, element);
    if (type == eBuffer_U8) m_data[m_position] = uint8_t(element.integer);
    else IBuffer_EncodeNumber(type, element, m_data + m_position);
    m_position += n;
    if (m_position > m_usedSize) m_usedSize = m_position;
    return 0;
}

inline int IBuffer::ReadElement(int type, BufferElement* out)
{
    *out = BufferElement{};
    const int32_t n = InlineRoom(type);
    if (n == 0) return ReadElementGeneral(type, out);
    if (type == eBuffer_U8) out->real = m_data[m_position];
    else IBuffer_DecodeNumber(type, m_data + m_position, out);
    m_position += n;
    return 0;
}
