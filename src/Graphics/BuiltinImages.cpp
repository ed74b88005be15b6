#include "Graphics/BuiltinImages.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Base/CRC32.h"
#include "Base/MemoryManager.h"
#include "Graphics/BuiltinImages_Internal.h"

namespace {

constexpr int kShapeSide = 64;
constexpr int kFontWidth = 256, kFontHeight = 128;

using Bytes = std::vector<uint8_t>;

void PutLE32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBE32(Bytes& out, uint32_t v)
{
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Raw(int width, int height, const Bytes& rgba)
{
    Bytes out = {'R', 'A', 'W', ' '};
    PutLE32(out, static_cast<uint32_t>(width));
    PutLE32(out, static_cast<uint32_t>(height));
    PutLE32(out, 0);  // 32-bit pixels
    out.insert(out.end(), rgba.begin(), rgba.end());
    return out;
}

// White with the shape's coverage as alpha, 2 × 2 samples per texel (the
// shapes' own edges are soft already).
Bytes Shape(int shape)
{
    Bytes rgba(kShapeSide * kShapeSide * 4, 0xFF);
    for (int y = 0; y < kShapeSide; ++y)
        for (int x = 0; x < kShapeSide; ++x) {
            float sum = 0.0f;
            for (int s = 0; s < 4; ++s)
                sum += BuiltinImages_ShapeCoverage(shape, static_cast<float>(x) + static_cast<float>(s % 2) * 0.5f - 0.25f,
                                                   static_cast<float>(y) + static_cast<float>(s / 2) * 0.5f - 0.25f);
            rgba[(static_cast<size_t>(y) * kShapeSide + x) * 4 + 3] = static_cast<uint8_t>(sum / 4 * 255.0f + 0.5f);
        }
    return rgba;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutBE32(out, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBE32(out, ~CRC32_Calc(typed.data(), typed.size()));  // the engine's CRC leaves the complement to us
}

// An RGBA PNG with its image data in stored (uncompressed) deflate blocks.
Bytes Png(int width, int height, const Bytes& rgba)
{
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        const uint8_t* row = rgba.data() + static_cast<size_t>(y) * width * 4;
        raw.insert(raw.end(), row, row + static_cast<size_t>(width) * 4);
    }
    Bytes zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size();) {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        zlib.push_back(at + n == raw.size() ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(n));
        zlib.push_back(static_cast<uint8_t>(n >> 8));
        zlib.push_back(static_cast<uint8_t>(~n));
        zlib.push_back(static_cast<uint8_t>(~n >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(zlib, b << 16 | a);

    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    PutBE32(header, static_cast<uint32_t>(width));
    PutBE32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, not interlaced
    PngChunk(out, "IHDR", header);
    PngChunk(out, "IDAT", zlib);
    PngChunk(out, "IEND", {});
    return out;
}

// The start-up emblem: a white stroke across a blue disc.
Bytes Emblem()
{
    Bytes rgba(kShapeSide * kShapeSide * 4, 0);
    for (int y = 0; y < kShapeSide; ++y)
        for (int x = 0; x < kShapeSide; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * kShapeSide + x) * 4];
            const float disc = BuiltinImages_ShapeCoverage(1, static_cast<float>(x), static_cast<float>(y));
            const float stroke = (x + y > 40 && x + y < 88 && std::abs(x - y) < 4) ? 1.0f : 0.0f;
            p[0] = static_cast<uint8_t>(40 + 215 * stroke);
            p[1] = static_cast<uint8_t>(70 + 185 * stroke);
            p[2] = static_cast<uint8_t>(160 + 95 * stroke);
            p[3] = static_cast<uint8_t>(255 * disc);
        }
    return rgba;
}

Bytes BuildTable()
{
    std::vector<Bytes> entries;
    entries.push_back(Raw(kShapeSide, kShapeSide, Bytes(kShapeSide * kShapeSide * 4, 0xFF)));
    for (int shape = 0; shape < 14; ++shape) entries.push_back(Raw(kShapeSide, kShapeSide, Shape(shape)));
    Bytes font(kFontWidth * kFontHeight * 4, 0);
    BuiltinImages_DrawFont(font.data(), kFontWidth);
    entries.push_back(Raw(kFontWidth, kFontHeight, font));
    entries.push_back(Png(kShapeSide, kShapeSide, Emblem()));

    Bytes table;
    PutLE32(table, static_cast<uint32_t>(entries.size()));
    uint32_t offset = 4 + 8 * static_cast<uint32_t>(entries.size());
    for (const Bytes& entry : entries) {
        PutLE32(table, static_cast<uint32_t>(entry.size()));
        PutLE32(table, offset);
        offset += static_cast<uint32_t>(entry.size());
    }
    for (const Bytes& entry : entries) table.insert(table.end(), entry.begin(), entry.end());
    return table;
}

uint8_t* g_Table = nullptr;
uint32_t g_TableSize = 0;

}  // namespace

const uint8_t* BuiltinImages_Table(uint32_t* size)
{
    if (!g_Table) {
        const Bytes table = BuildTable();
        g_Table = static_cast<uint8_t*>(QS_ALLOC(table.size(), false));
        std::memcpy(g_Table, table.data(), table.size());
        g_TableSize = static_cast<uint32_t>(table.size());
    }
    if (size) *size = g_TableSize;
    return g_Table;
}

const uint8_t* BuiltinImages_Emblem(int* width, int* height)
{
    static const Bytes emblem = Emblem();
    *width = *height = kShapeSide;
    return emblem.data();
}
