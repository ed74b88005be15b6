#include "Base/Md5.h"

#include <cstring>

namespace {
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr int kShift[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    5, 9,  14, 20, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 6, 10, 15, 21, 6, 10, 15, 21,
    6, 10, 15, 21, 6, 10, 15, 21,
};

uint32_t Rotl(uint32_t x, int r) { return (x << r) | (x >> (32 - r)); }

void Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = block[i * 4] | static_cast<uint32_t>(block[i * 4 + 1]) << 8 | static_cast<uint32_t>(block[i * 4 + 2]) << 16 |
               static_cast<uint32_t>(block[i * 4 + 3]) << 24;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (b & d) | (c & ~d);
            g = (5 * i + 1) & 15;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) & 15;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) & 15;
        }
        uint32_t next = b + Rotl(a + f + kSine[i] + x[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
}  // namespace

void Md5_Init(Md5Context* c)
{
    std::memset(c, 0, sizeof(*c));
    c->state[0] = 0x67452301;
    c->state[1] = 0xefcdab89;
    c->state[2] = 0x98badcfe;
    c->state[3] = 0x10325476;
}

void Md5_Update(Md5Context* c, const void* bytes, size_t length)
{
    if (!bytes || length == 0) return;
    const auto* p = static_cast<const uint8_t*>(bytes);
    size_t used = (c->countLow >> 3) & 63;
    uint64_t bits = (static_cast<uint64_t>(c->countHigh) << 32 | c->countLow) + static_cast<uint64_t>(length) * 8;
    c->countLow = static_cast<uint32_t>(bits);
    c->countHigh = static_cast<uint32_t>(bits >> 32);
    size_t i = 0;
    if (used + length >= 64) {
        size_t fill = 64 - used;
        std::memcpy(c->block + used, p, fill);
        Transform(c->state, c->block);
        for (i = fill; i + 63 < length; i += 64) Transform(c->state, p + i);
        used = 0;
    }
    std::memcpy(c->block + used, p + i, length - i);
}

void Md5_Final(Md5Context* c)
{
    uint8_t bits[8];
    for (int i = 0; i < 4; ++i) {
        bits[i] = static_cast<uint8_t>(c->countLow >> (8 * i));
        bits[4 + i] = static_cast<uint8_t>(c->countHigh >> (8 * i));
    }
    size_t used = (c->countLow >> 3) & 63;
    size_t padLength = used < 56 ? 56 - used : 120 - used;
    static constexpr uint8_t kPadding[64] = {0x80};
    Md5_Update(c, kPadding, padLength);
    Md5_Update(c, bits, 8);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) c->digest[i * 4 + k] = static_cast<uint8_t>(c->state[i] >> (8 * k));
    }
}
