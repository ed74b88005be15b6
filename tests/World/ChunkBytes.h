#pragma once
// Reading and patching words of a finished game image, to garble what the
// writer made.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace chunkbytes {

inline uint32_t U32At(const std::vector<uint8_t>& bytes, uint32_t at)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

inline void PutU32(std::vector<uint8_t>& bytes, uint32_t at, uint32_t v)
{
    std::memcpy(bytes.data() + at, &v, 4);
}

// File offset of the payload of the chunk with that tag; 0 when absent.
inline uint32_t Payload(const std::vector<uint8_t>& bytes, const char* tag)
{
    for (uint32_t at = 8; at + 8 <= bytes.size(); at += 8 + U32At(bytes, at + 4)) {
        if (std::memcmp(bytes.data() + at, tag, 4) == 0) return at + 8;
    }
    return 0;
}

// Payload end of that chunk.
inline uint32_t PayloadEnd(const std::vector<uint8_t>& bytes, const char* tag)
{
    const uint32_t payload = Payload(bytes, tag);
    return payload + U32At(bytes, payload - 4);
}

// File offset of record i of a "count, offsets" chunk.
inline uint32_t Record(const std::vector<uint8_t>& bytes, const char* tag, uint32_t i)
{
    return U32At(bytes, Payload(bytes, tag) + 4 + 4 * i);
}

}  // namespace chunkbytes
