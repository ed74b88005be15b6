#include "Graphics/TexturePages.h"

#include <algorithm>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "GameData/GameData.h"

namespace {
struct PlacedEntry {
    uint32_t offset;
    STexturePageEntry entry;
};

PlacedEntry* s_entries = nullptr;
uint32_t s_entryCount = 0;
int* s_textureIds = nullptr;
D3DTexture** s_textures = nullptr;  // what each id held when made, so a reused id is left alone
uint32_t s_textureCount = 0;

STexturePageEntry DecodeEntry(const uint8_t* p)
{
    STexturePageEntry e;
    e.x = GameData_U16(p);
    e.y = GameData_U16(p + 2);
    e.width = GameData_U16(p + 4);
    e.height = GameData_U16(p + 6);
    e.xOffset = static_cast<int16_t>(GameData_U16(p + 8));
    e.yOffset = static_cast<int16_t>(GameData_U16(p + 10));
    e.cropWidth = GameData_U16(p + 12);
    e.cropHeight = GameData_U16(p + 14);
    e.fullWidth = GameData_U16(p + 16);
    e.fullHeight = GameData_U16(p + 18);
    e.texture = static_cast<int16_t>(GameData_U16(p + 20));
    return e;
}

void FreeEntries()
{
    for (uint32_t i = 0; i < s_entryCount; ++i) TPE_ForgetEntry(&s_entries[i].entry);
    if (s_entries) QS_FREE(s_entries);
    s_entries = nullptr;
    s_entryCount = 0;
}

// The page textures read their images from the game data, so they go with it.
void FreeTextures()
{
    for (uint32_t i = 0; i < s_textureCount; ++i)
        if (GR_Texture_Exists(s_textureIds[i]) && GR_Texture_GetD3D(s_textureIds[i]) == s_textures[i])
            GR_Texture_Free(s_textureIds[i]);
    if (s_textureIds) QS_FREE(s_textureIds);
    if (s_textures) QS_FREE(s_textures);
    s_textures = nullptr;
    s_textureIds = nullptr;
    s_textureCount = 0;
}
}  // namespace

bool TPAG_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    FreeEntries();
    uint32_t count = 0;
    if (!GameData_CheckList("TPAG", payload, length, &count)) return false;
    PlacedEntry* entries =
        count ? static_cast<PlacedEntry*>(QS_ALLOC(sizeof(PlacedEntry) * count, false)) : nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (!GameData_CheckRecord("TPAG", payload, length, offset, kTexturePageEntrySize, "entry", i)) {
            if (entries) QS_FREE(entries);
            return false;
        }
        entries[i] = {offset, DecodeEntry(GameData + offset)};
    }
    std::stable_sort(entries, entries + count,
                     [](const PlacedEntry& a, const PlacedEntry& b) { return a.offset < b.offset; });
    s_entries = entries;
    s_entryCount = count;
    return true;
}

bool TXTR_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    FreeTextures();
    uint32_t count = 0;
    if (!GameData_CheckList("TXTR", payload, length, &count)) return false;
    int* ids = count ? static_cast<int*>(QS_ALLOC(sizeof(int) * count, false)) : nullptr;
    D3DTexture** textures = count ? static_cast<D3DTexture**>(QS_ALLOC(sizeof(D3DTexture*) * count, false)) : nullptr;
    const uint32_t chunkStart = static_cast<uint32_t>(payload - GameData);
    const uint32_t chunkEnd = chunkStart + length;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t record = GameData_U32(payload + 4 + 4 * i);
        if (!GameData_CheckRecord("TXTR", payload, length, record, 8, "texture record", i)) {
            if (ids) QS_FREE(ids);
            if (textures) QS_FREE(textures);
            return false;
        }
        const uint32_t flags = GameData_U32(GameData + record);
        const uint32_t imageAt = GameData_U32(GameData + record + 4);
        if (imageAt != 0 && (imageAt < 8 || imageAt >= GameDataSize)) {
            if (ids) QS_FREE(ids);
            if (textures) QS_FREE(textures);
            return GameData_Fail("TXTR", "image of texture %u at offset %u lies outside the file", i, imageAt);
        }
        // The image's own length is not stored: it may use the rest of the chunk
        // it lies in, or of the file when it lies elsewhere.
        const uint32_t end = (imageAt >= chunkStart && imageAt < chunkEnd) ? chunkEnd : GameDataSize;
        const uint8_t* image = imageAt ? GameData + imageAt : nullptr;
        ids[i] = GR_Texture_CreateFromImage(image, imageAt ? static_cast<int>(end - imageAt) : 0, (flags & 1u) != 0);
        textures[i] = GR_Texture_GetD3D(ids[i]);
    }
    s_textureIds = ids;
    s_textures = textures;
    s_textureCount = count;
    for (uint32_t i = 0; i < s_entryCount; ++i) {
        STexturePageEntry& e = s_entries[i].entry;
        if (e.texture < 0 || static_cast<uint32_t>(e.texture) >= count) {
            LogConsole->Output("what!!!!\n");
            continue;
        }
        e.texture = static_cast<int16_t>(ids[e.texture] & 0xFFFF);
    }
    return true;
}

const STexturePageEntry* TPAG_FindEntry(uint32_t offset)
{
    const PlacedEntry* begin = s_entries;
    const PlacedEntry* end = s_entries + s_entryCount;
    const PlacedEntry* it = std::lower_bound(begin, end, offset,
                                             [](const PlacedEntry& e, uint32_t o) { return e.offset < o; });
    return (it != end && it->offset == offset) ? &it->entry : nullptr;
}

uint32_t TPAG_EntryCount()
{
    return s_entryCount;
}

uint32_t TXTR_TextureCount()
{
    return s_textureCount;
}

int TXTR_TextureId(uint32_t index)
{
    return index < s_textureCount ? s_textureIds[index] : -1;
}

void TexturePages_Free()
{
    GR_Texture_FreeEmbedded();
    FreeEntries();
    FreeTextures();
}
