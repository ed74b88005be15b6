#include "Base/MurmurHash3.h"

#include <cstring>

namespace {
uint32_t Rotl(uint32_t x, int r) { return (x << r) | (x >> (32 - r)); }
}  // namespace

uint32_t MurmurHash3_x86_32(const void* bytes, size_t length, uint32_t seed)
{
    constexpr uint32_t c1 = 0xcc9e2d51, c2 = 0x1b873593;
    const auto* data = static_cast<const uint8_t*>(bytes);
    size_t blocks = length / 4;
    uint32_t h = seed;
    for (size_t i = 0; i < blocks; ++i) {
        uint32_t k;
        std::memcpy(&k, data + i * 4, 4);  // little-endian block, any alignment
        k *= c1;
        k = Rotl(k, 15);
        k *= c2;
        h ^= k;
        h = Rotl(h, 13);
        h = h * 5 + 0xe6546b64;
    }
    const uint8_t* tail = data + blocks * 4;
    uint32_t k = 0;
    switch (length & 3) {
    case 3:
        k ^= static_cast<uint32_t>(tail[2]) << 16;
        [[fallthrough]];
    case 2:
        k ^= static_cast<uint32_t>(tail[1]) << 8;
        [[fallthrough]];
    case 1:
        k ^= tail[0];
        k *= c1;
        k = Rotl(k, 15);
        k *= c2;
        h ^= k;
    }
    h ^= static_cast<uint32_t>(length);
    h ^= h >> 16;
    h *= 0x85ebca6b;
    h ^= h >> 13;
    h *= 0xc2b2ae35;
    h ^= h >> 16;
    return h;
}

uint32_t MurmurHash3_String(const char* text)
{
    if (!text) return MurmurHash3_x86_32("", 0, 0);
    return MurmurHash3_x86_32(text, std::strlen(text), 0);
}
