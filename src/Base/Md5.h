#pragma once
// MD5 (RFC 1321). Final leaves the 16-byte digest in the context; callers
// print its bytes as "%02x" pairs.
#include <cstddef>
#include <cstdint>

struct Md5Context {
    uint32_t countLow;   // message length in bits
    uint32_t countHigh;
    uint32_t state[4];
    uint8_t block[64];
    uint8_t digest[16];
};

void Md5_Init(Md5Context* context);
void Md5_Update(Md5Context* context, const void* bytes, size_t length);
void Md5_Final(Md5Context* context);
