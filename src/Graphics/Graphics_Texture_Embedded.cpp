// The embedded-image chunk "EMBI": version 1, a count, then count records of
// {name string reference, texture-page entry offset}.
#include <cstring>

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Texture.h"
#include "GameData/GameData.h"
#include "Graphics/TexturePages.h"

namespace {
SEmbeddedImage* g_Images = nullptr;
int g_Count = 0;
}  // namespace

void GR_Texture_FreeEmbedded()
{
    QS_FREE(g_Images);
    g_Images = nullptr;
    g_Count = 0;
}

bool GR_Texture_LoadEmbedded(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    GR_Texture_FreeEmbedded();
    if (length < 8) return GameData_Fail("EMBI", "chunk of %u bytes has no header", length);
    const uint32_t version = GameData_U32(payload);
    if (version != 1) return GameData_Fail("EMBI", "version %u is not 1", version);
    const uint32_t count = GameData_U32(payload + 4);
    if (count > (length - 8) / 8) return GameData_Fail("EMBI", "%u records do not fit %u bytes", count, length);
    auto* images = count ? static_cast<SEmbeddedImage*>(QS_ALLOC(sizeof(SEmbeddedImage) * count, true)) : nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* record = payload + 8 + 8 * i;
        const uint32_t entry = GameData_U32(record + 4);
        if (!GameData_String("EMBI", GameData_U32(record), &images[i].name)) {
            QS_FREE(images);
            return false;  // the message names the bad reference
        }
        if (entry != 0 && (entry > GameDataSize || GameDataSize - entry < kTexturePageEntrySize)) {
            QS_FREE(images);
            return GameData_Fail("EMBI", "entry of image %u at offset %u lies outside the file", i, entry);
        }
        images[i].entryOffset = entry;
    }
    g_Images = images;
    g_Count = static_cast<int>(count);
    return true;
}

const SEmbeddedImage* GR_Texture_FindEmbedded(const char* name, bool substring)
{
    if (!name) return nullptr;
    for (int i = 0; i < g_Count; ++i) {
        const char* candidate = g_Images[i].name;
        if (!candidate) continue;
        if (substring ? std::strstr(candidate, name) != nullptr : std::strcmp(candidate, name) == 0) return &g_Images[i];
    }
    return nullptr;
}

const STexturePageEntry* GR_Texture_EmbeddedEntry(const SEmbeddedImage* image)
{
    return (image && image->entryOffset) ? TPAG_FindEntry(image->entryOffset) : nullptr;
}

int GR_Texture_EmbeddedCount() { return g_Count; }
