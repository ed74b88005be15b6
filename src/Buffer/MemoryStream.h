#pragma once
// The growable in-memory byte stream of the data loaders and text formats:
// little-endian numbers, strings as an int32 byte count and the bytes, hex
// text, whole files and zlib payloads. Writers treat the position as the end
// of the data (the block grows ahead of it); readers read up to the size and
// give 0, 0 bytes or null past it. Sizes stay below 2 GB.
#include <cstdint>

class MemoryStream {
public:
    explicit MemoryStream(int64_t initialSize);
    ~MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    static void Free(MemoryStream* stream) { delete stream; }

    uint8_t* GetBuffer() const { return m_data; }
    int64_t GetPosition() const { return m_position; }
    int64_t GetSize() const { return m_size; }
    void SetPosition(int64_t position) { m_position = position; }
    // Origin 0 start, 1 here, 2 the size; other origins leave the position.
    int64_t Seek(int64_t offset, int origin);

    // Appends at the position, growing the block; the count written (0 when
    // nothing could be).
    int64_t WriteBytes(const void* source, int64_t count);
    void WriteInt32(int32_t value);
    void WriteInt64(int64_t value);
    void WriteDouble(double value);
    // Byte count (0 for null) and the bytes, no terminator.
    void WriteString(const char* text);

    // Copies min(count, size - position) bytes and advances; the count copied.
    int64_t ReadBytes(void* destination, int64_t count);
    int64_t ReadChars(void* destination, int64_t count) { return ReadBytes(destination, count); }
    int32_t ReadInt32();
    int64_t ReadInt64();
    double ReadDouble();
    // A new memory-manager text of the stored bytes (cut to what remains), or
    // null for a length of 0 or less.
    char* ReadString();

    // Takes n bytes of source from its position (n = 0: all of source from its
    // start): as a view of them when borrow is set (n is cut to what remains),
    // else appended. The bytes taken.
    int64_t CopyFrom(MemoryStream* source, int64_t n, bool borrow);

    // Replaces the contents with the bytes of a hex text (pairs of digits).
    void FromHexString(const char* text);
    // The bytes before the position as upper-case hex in a new memory-manager
    // text; null when there are none.
    char* ToHexString() const;
    // Replaces the contents with a file from the save area, else the bundle,
    // without its first skip bytes; empty when there is no such file.
    void LoadFile(const char* name, int64_t skip);
    // Replaces each byte of [start, start + count) with its entry in the
    // substitution table of the seed (MemoryStream_DescrambleTable). A count
    // of 0 or less means up to the size; the range is cut to the contents.
    void Descramble(int32_t seed, int64_t start, int64_t count);

private:
    bool Reserve(int64_t n);
    void FreeData();

    bool m_borrowed = false;
    int64_t m_size = 0;
    int64_t m_position = 0;
    uint8_t* m_data = nullptr;
};

// A new stream with the inflated bytes of a payload at source's position: an
// int32 length and that many bytes of zlib data (length 0: all of source).
// Null when the length claims more than source holds or the data is not a
// whole zlib stream.
MemoryStream* ZDecompressStream(MemoryStream* source);
// Inflates source's remaining bytes onto target: 0, or a zlib error code.
int InflateStreamToStream(MemoryStream* source, MemoryStream* target);

// The 256-entry substitution that Descramble applies for a seed: a
// permutation, so scrambled text is made with its inverse.
void MemoryStream_DescrambleTable(int32_t seed, uint8_t table[256]);

