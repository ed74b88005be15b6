#include "Buffer/MemoryStream.h"

void MemoryStream_DescrambleTable(int32_t seed, uint8_t table[256])
{
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
    // A shuffle driven by its own generator, so the game's random sequence
    // is never touched and every seed gives the same table on every run.
    uint32_t state = static_cast<uint32_t>(seed) * 2654435761u + 0x9E3779B9u;
    for (int i = 255; i > 0; --i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int j = static_cast<int>(state % static_cast<uint32_t>(i + 1));
        const uint8_t swap = table[i];
        table[i] = table[j];
        table[j] = swap;
    }
}

void MemoryStream::Descramble(int32_t seed, int64_t start, int64_t count)
{
    if (start < 0) start = 0;
    if (start >= m_size) return;
    if (count <= 0 || count > m_size - start) count = m_size - start;
    uint8_t table[256];
    MemoryStream_DescrambleTable(seed, table);
    for (int64_t i = start; i < start + count; ++i) m_data[i] = table[m_data[i]];
}
