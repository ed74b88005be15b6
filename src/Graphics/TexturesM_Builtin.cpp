// The table of images built into the program: each entry a "RAW " block or
// a PNG file, made into textures on request and never freed with them.
#include "Base/Console.h"
#include "Graphics/TexturesM.h"

namespace {

const uint8_t* g_Table = nullptr;
uint32_t g_TableSize = 0;
int g_Count = 0;
BuiltinTableSource g_Source = nullptr;

int32_t ReadS32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void EnsureTable()
{
    if (!g_Source) return;
    const BuiltinTableSource source = g_Source;
    g_Source = nullptr;
    uint32_t size = 0;
    const uint8_t* table = source(&size);
    GR_D3D_SetBuiltinTextures(table, size);
}

}  // namespace

void GR_D3D_SetBuiltinTextureSource(BuiltinTableSource source)
{
    GR_D3D_SetBuiltinTextures(nullptr, 0);
    g_Source = source;
}

bool GR_D3D_SetBuiltinTextures(const uint8_t* table, uint32_t tableSize)
{
    g_Source = nullptr;
    g_Table = nullptr;
    g_TableSize = 0;
    g_Count = 0;
    if (!table || tableSize < 4) return false;
    const int32_t count = ReadS32(table);
    if (count < 0 || static_cast<uint64_t>(count) * 8 + 4 > tableSize) {
        LogConsole->Output("Built-in images: a table of %d entries does not fit its %u bytes\n", count, tableSize);
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        const int32_t size = ReadS32(table + 4 + 8 * i), offset = ReadS32(table + 8 + 8 * i);
        if (size < 0 || offset < 0 || static_cast<uint64_t>(offset) + static_cast<uint64_t>(size) > tableSize) {
            LogConsole->Output("Built-in images: entry %d lies outside the table\n", i);
            return false;
        }
    }
    g_Table = table;
    g_TableSize = tableSize;
    g_Count = count;
    return true;
}

int GR_D3D_BuiltinTextureCount()
{
    EnsureTable();
    return g_Count;
}

D3DTexture* GR_D3D_CreateBuiltinTexture(int index)
{
    EnsureTable();
    if (!g_Table || index < 0 || index >= g_Count) return nullptr;
    const int32_t size = ReadS32(g_Table + 4 + 8 * index), offset = ReadS32(g_Table + 8 + 8 * index);
    // Built-in data is never freed with the texture.
    return GR_D3D_CreateTextureFromImage(g_Table + offset, static_cast<uint32_t>(size), nullptr);
}

bool GR_D3D_IsBuiltinTextureData(const void* pointer)
{
    // Not made yet: nothing can point into it. The whole table counts:
    // entries lie after its header, so the sum of their sizes alone would
    // leave the last ones out.
    const auto* p = static_cast<const uint8_t*>(pointer);
    return g_Table && p >= g_Table && p < g_Table + g_TableSize;
}
