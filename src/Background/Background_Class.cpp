// The background record: the "BGND" record reader, page entries, textures,
// copies and the colour and gradient images.
#include "Background/Background_Class.h"

#include <new>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"

namespace {
constexpr uint32_t kPlainRecordSize = 20;     // name, three flags, entry offset
constexpr uint32_t kVersionedRecordSize = 24;  // newer files: the tileset block's version follows
constexpr uint32_t kTilesetRecordSize = 64;    // with the tileset block, before the tile ids
constexpr uint32_t kEntryFullWidthAt = 16;     // the page entry's original width, then height
}  // namespace

BackgroundResource::BackgroundResource() = default;

BackgroundResource::~BackgroundResource()
{
    Clear();
}

void BackgroundResource::FreeEntry()
{
    if (m_entryOwned && m_entry) {
        // A handle given to game code must not outlive its entry.
        TPE_ForgetEntry(m_entry);
        QS_FREE(const_cast<STexturePageEntry*>(m_entry));
    }
    m_entry = nullptr;
    m_entryOffset = 0;
    m_entryOwned = false;
}

void BackgroundResource::FreeTexture()
{
    if (m_texture >= 0) GR_Texture_Free(m_texture);
    m_texture = -1;
}

void BackgroundResource::TakeBitmap(CBitmap32* bitmap)
{
    delete m_bitmap;
    m_bitmap = bitmap && bitmap->IsValid() ? bitmap : nullptr;
    if (!m_bitmap) delete bitmap;
}

void BackgroundResource::Clear()
{
    TakeBitmap(nullptr);
    width = height = 0;
    transparent = smooth = preload = false;
    FreeEntry();
    FreeTexture();
    tileWidth = tileHeight = borderX = borderY = tileColumns = 0;
    framesPerTile = tileCount = 0;
    frameTime = 0;
    m_tileIds = nullptr;
}

bool BackgroundResource::LoadFromChunk(const uint8_t* payload, uint32_t length, uint32_t recordOffset,
                                       uint32_t index)
{
    Clear();
    // Newer files carry the tileset block's version after the entry offset.
    const uint32_t fixed = LayerMode ? kVersionedRecordSize : kPlainRecordSize;
    if (!GameData_CheckRecord("BGND", payload, length, recordOffset, fixed, "background", index)) return false;
    const uint8_t* record = GameData + recordOffset;
    const uint32_t entryOffset = GameData_U32(record + 16);
    if (entryOffset != 0 && (entryOffset > GameDataSize || GameDataSize - entryOffset < kTexturePageEntrySize))
        return GameData_Fail("BGND", "background %u: page entry offset %u lies outside the data", index,
                             entryOffset);
    const int32_t version = LayerMode ? static_cast<int32_t>(GameData_U32(record + 20)) : 0;
    if (version >= 2) {
        if (!GameData_CheckRecord("BGND", payload, length, recordOffset, kTilesetRecordSize, "background", index))
            return false;
        const auto word = [record](uint32_t at) { return static_cast<int32_t>(GameData_U32(record + at)); };
        const int32_t tw = word(24), th = word(28), columns = word(40), frames = word(44), tiles = word(48);
        if (tiles < 0 || frames < 0)
            return GameData_Fail("BGND", "background %u: %d tiles of %d frames", index, tiles, frames);
        // Tiles are cut and animated by these sizes: a tileset with tiles needs them all.
        if (tiles > 0 && (tw <= 0 || th <= 0 || columns <= 0 || frames <= 0))
            return GameData_Fail("BGND", "background %u: tiles of %d x %d in %d columns with %d frames", index, tw,
                                 th, columns, frames);
        const uint64_t idBytes = uint64_t(uint32_t(tiles)) * uint32_t(frames) * 4;
        const uint64_t end = uint64_t(recordOffset) + kTilesetRecordSize + idBytes;
        const uint64_t payloadEnd = uint64_t(payload - GameData) + length;
        if (end > payloadEnd)
            return GameData_Fail("BGND", "background %u: %d tiles of %d frames do not fit the chunk", index, tiles,
                                 frames);
        tileWidth = tw;
        tileHeight = th;
        borderX = word(32);
        borderY = word(36);
        tileColumns = columns;
        framesPerTile = frames;
        tileCount = tiles;
        frameTime = static_cast<int64_t>(GameData_U64(record + 56));
        m_tileIds = record + kTilesetRecordSize;
    }
    transparent = GameData_U32(record + 4) != 0;
    smooth = GameData_U32(record + 8) != 0;
    preload = GameData_U32(record + 12) != 0;
    if (entryOffset != 0) {
        // The entry's own copy is made by the TPAG reader, which runs later; its size is read in place.
        width = GameData_U16(GameData + entryOffset + kEntryFullWidthAt);
        height = GameData_U16(GameData + entryOffset + kEntryFullWidthAt + 2);
        m_entryOffset = entryOffset;
    }
    return true;
}

const STexturePageEntry* BackgroundResource::GetEntry() const
{
    if (!m_entry && m_entryOffset != 0) m_entry = TPAG_FindEntry(m_entryOffset);
    return m_entry;
}

int32_t BackgroundResource::GetTexture() const
{
    if (const STexturePageEntry* entry = GetEntry()) return TPE_GetHandle(entry);
    return m_texture;
}

int32_t BackgroundResource::GetDrawTexture() const
{
    const STexturePageEntry* entry = GetEntry();
    return entry ? entry->texture : m_texture;
}

uint32_t BackgroundResource::GetTileId(int32_t i) const
{
    if (!m_tileIds || i < 0 || int64_t{i} >= int64_t{tileCount} * framesPerTile) return 0;
    return GameData_U32(m_tileIds + 4 * size_t(i));
}

void BackgroundResource::RecreateTexture()
{
    FreeTexture();
    m_texture = GR_Texture_CreateFromBitmap(m_bitmap);
    if (preload && m_texture >= 0) GR_Texture_Preload(m_texture);
}

void BackgroundResource::MakeOwnEntry()
{
    // A data-file entry stays as it is.
    if (!m_entryOwned && (m_entry || m_entryOffset != 0)) return;
    FreeEntry();
    if (!m_bitmap) return;
    auto* entry = static_cast<STexturePageEntry*>(QS_ALLOC(sizeof(STexturePageEntry), true));
    if (!entry) return;
    const auto w = static_cast<uint16_t>(m_bitmap->GetWidth()), h = static_cast<uint16_t>(m_bitmap->GetHeight());
    entry->width = entry->cropWidth = entry->fullWidth = w;
    entry->height = entry->cropHeight = entry->fullHeight = h;
    entry->texture = static_cast<int16_t>(m_texture);
    m_entry = entry;
    m_entryOwned = true;
}

void BackgroundResource::CreateColour(int32_t w, int32_t h, uint32_t colour, bool isPreload)
{
    Clear();
    preload = isPreload;
    width = w;
    height = h;
    TakeBitmap(new (std::nothrow) CBitmap32(w, h, colour));
    RecreateTexture();
    MakeOwnEntry();
}

void BackgroundResource::CreateGradient(int32_t w, int32_t h, uint32_t colour1, uint32_t colour2, int32_t kind,
                                        bool isPreload)
{
    Clear();
    preload = isPreload;
    width = w;
    height = h;
    TakeBitmap(new (std::nothrow) CBitmap32(w, h, colour1, colour2, kind));
    RecreateTexture();
    MakeOwnEntry();
}

void BackgroundResource::Assign(const BackgroundResource* source)
{
    if (!source || source == this) return;
    Clear();
    width = source->width;
    height = source->height;
    transparent = source->transparent;
    smooth = source->smooth;
    preload = source->preload;
    const bool sharesEntry = !source->m_entryOwned && (source->m_entry || source->m_entryOffset != 0);
    if (sharesEntry) {
        m_entry = source->m_entry;
        m_entryOffset = source->m_entryOffset;
    }
    if (source->m_bitmap) TakeBitmap(new (std::nothrow) CBitmap32(*source->m_bitmap));
    RecreateTexture();
    if (!sharesEntry) MakeOwnEntry();
}

void BackgroundResource::SetAlphaFrom(const BackgroundResource* source)
{
    if (!source || !m_bitmap || !source->m_bitmap) {
        LogConsole->Output("Both bitmaps need to be duplicated first\n");
        return;
    }
    m_bitmap->SetAlphaFrom(source->m_bitmap);
    RecreateTexture();
    MakeOwnEntry();
}
