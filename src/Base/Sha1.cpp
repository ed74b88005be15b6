#include "Base/Sha1.h"

#include <algorithm>
#include <cstring>

namespace {
uint32_t Rotl(uint32_t x, int r) { return (x << r) | (x >> (32 - r)); }

void ProcessBlock(Sha1Context* c)
{
    static constexpr uint32_t K[4] = {0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xCA62C1D6};
    uint32_t W[80];
    for (int t = 0; t < 16; ++t) {
        W[t] = static_cast<uint32_t>(c->block[t * 4]) << 24 | static_cast<uint32_t>(c->block[t * 4 + 1]) << 16 |
               static_cast<uint32_t>(c->block[t * 4 + 2]) << 8 | c->block[t * 4 + 3];
    }
    for (int t = 16; t < 80; ++t) W[t] = Rotl(W[t - 3] ^ W[t - 8] ^ W[t - 14] ^ W[t - 16], 1);
    uint32_t A = c->H[0], B = c->H[1], C = c->H[2], D = c->H[3], E = c->H[4];
    auto round = [&](int t, uint32_t f, uint32_t k) {
        uint32_t temp = Rotl(A, 5) + f + E + W[t] + k;
        E = D;
        D = C;
        C = Rotl(B, 30);
        B = A;
        A = temp;
    };
    for (int t = 0; t < 20; ++t) round(t, (B & C) | (~B & D), K[0]);
    for (int t = 20; t < 40; ++t) round(t, B ^ C ^ D, K[1]);
    for (int t = 40; t < 60; ++t) round(t, (B & C) | (B & D) | (C & D), K[2]);
    for (int t = 60; t < 80; ++t) round(t, B ^ C ^ D, K[3]);
    c->H[0] += A;
    c->H[1] += B;
    c->H[2] += C;
    c->H[3] += D;
    c->H[4] += E;
    c->blockIndex = 0;
}

void PadMessage(Sha1Context* c)
{
    c->block[c->blockIndex++] = 0x80;
    if (c->blockIndex > 56) {
        while (c->blockIndex < 64) c->block[c->blockIndex++] = 0;
        ProcessBlock(c);
    }
    while (c->blockIndex < 56) c->block[c->blockIndex++] = 0;
    for (int i = 0; i < 4; ++i) {
        c->block[56 + i] = static_cast<uint8_t>(c->lengthHigh >> (24 - 8 * i));
        c->block[60 + i] = static_cast<uint8_t>(c->lengthLow >> (24 - 8 * i));
    }
    ProcessBlock(c);
}
}  // namespace

void Sha1_Init(Sha1Context* c)
{
    std::memset(c, 0, sizeof(*c));
    c->H[0] = 0x67452301;
    c->H[1] = 0xEFCDAB89;
    c->H[2] = 0x98BADCFE;
    c->H[3] = 0x10325476;
    c->H[4] = 0xC3D2E1F0;
}

void Sha1_Update(Sha1Context* c, const void* bytes, size_t length)
{
    if (length == 0 || c->corrupted) return;
    if (c->computed || !bytes) {
        c->corrupted = 1;
        return;
    }
    uint64_t bits = static_cast<uint64_t>(c->lengthHigh) << 32 | c->lengthLow;
    if (length > (UINT64_MAX - bits) / 8) {
        c->corrupted = 1;  // 2^64 bits or more
        return;
    }
    bits += static_cast<uint64_t>(length) * 8;
    c->lengthLow = static_cast<uint32_t>(bits);
    c->lengthHigh = static_cast<uint32_t>(bits >> 32);
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (length > 0) {
        size_t take = std::min(length, static_cast<size_t>(64 - c->blockIndex));
        std::memcpy(c->block + c->blockIndex, p, take);
        c->blockIndex += static_cast<int32_t>(take);
        p += take;
        length -= take;
        if (c->blockIndex == 64) ProcessBlock(c);
    }
}

int Sha1_Final(Sha1Context* c)
{
    if (c->corrupted) return 0;
    if (!c->computed) {
        PadMessage(c);
        std::memset(c->block, 0, sizeof(c->block));  // no message bytes left behind
        c->lengthLow = c->lengthHigh = 0;
        c->computed = 1;
    }
    return 1;
}
