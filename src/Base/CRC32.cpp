#include "Base/CRC32.h"

#include <array>

namespace {
// Built at compile time, so no hash is ever taken with an empty table.
constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        table[i] = r;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kTable = MakeTable();
}  // namespace

uint32_t CRC32_Calc(const void* bytes, size_t length)
{
    uint32_t r = 0xFFFFFFFFu;
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < length; ++i) r = (r >> 8) ^ kTable[(r ^ p[i]) & 0xFF];
    return r;
}

uint32_t CRC32_String(const char* text)
{
    uint32_t r = 0xFFFFFFFFu;
    if (!text) return r;
    for (const auto* p = reinterpret_cast<const uint8_t*>(text); *p; ++p) r = (r >> 8) ^ kTable[(r ^ *p) & 0xFF];
    return r;
}
