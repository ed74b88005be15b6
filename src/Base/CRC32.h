#pragma once
// CRC-32 (reflected polynomial 0xEDB88320) as the engine uses it: the register
// starts at 0xFFFFFFFF and is returned without the usual final complement.
// Variable-name hashing, map keys and the reliable network layer rely on this.
#include <cstddef>
#include <cstdint>

uint32_t CRC32_Calc(const void* bytes, size_t length);
// The bytes up to the terminator; 0xFFFFFFFF for a null text.
uint32_t CRC32_String(const char* text);
