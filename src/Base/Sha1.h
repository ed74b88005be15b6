#pragma once
// SHA-1 (FIPS 180), organised like the reference code of RFC 3174. The digest
// is H[0..4]; callers print it as five "%08x" groups.
#include <cstddef>
#include <cstdint>

struct Sha1Context {
    uint32_t H[5];
    uint32_t lengthLow;   // message length in bits
    uint32_t lengthHigh;
    uint8_t block[64];
    int32_t blockIndex;
    uint8_t computed;
    uint8_t corrupted;
};

void Sha1_Init(Sha1Context* context);
// Adding after Final, or beyond 2^64 bits, marks the context corrupted.
void Sha1_Update(Sha1Context* context, const void* bytes, size_t length);
// Pads once (later calls change nothing); 1, or 0 when the context is corrupted.
int Sha1_Final(Sha1Context* context);
