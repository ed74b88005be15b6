#pragma once
// MurmurHash3, x86 32-bit variant, as published.
#include <cstddef>
#include <cstdint>

uint32_t MurmurHash3_x86_32(const void* bytes, size_t length, uint32_t seed);
// The text without its terminator, seed 0; a null text hashes as empty.
uint32_t MurmurHash3_String(const char* text);
