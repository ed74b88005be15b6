#include "support/TestBackgrounds.h"

#include <algorithm>
#include <map>

#include "Background/Background_Class.h"

int32_t TestBackground_Add(int32_t width, int32_t height)
{
    const int32_t index = Background_AddEmpty();
    if (BackgroundResource* b = Background_Get(index)) {
        b->width = width;
        b->height = height;
    }
    return index;
}

void TestBackground_SetTileAnimation(int32_t index, int64_t frameTime, int32_t frameCount)
{
    if (BackgroundResource* b = Background_Get(index)) {
        b->frameTime = frameTime;
        b->framesPerTile = frameCount;
    }
}

void TestBackground_SetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount)
{
    if (BackgroundResource* b = Background_Get(index)) {
        b->tileWidth = tileWidth;
        b->tileHeight = tileHeight;
        b->tileCount = tileCount;
    }
}

struct BackgroundTestAccess {
    static void SetTileIds(BackgroundResource* b, const uint8_t* ids) { b->m_tileIds = ids; }
    static void SetTexture(BackgroundResource* b, const STexturePageEntry* entry, int32_t texture)
    {
        b->FreeEntry();
        if (b->m_texture != texture) b->FreeTexture();
        b->m_entry = entry;
        b->m_texture = texture;
    }
};

namespace {
// Tile-id words per background index, each block starting one byte into its buffer.
std::map<int32_t, std::vector<uint8_t>> s_tileIds;
}  // namespace

void TestBackground_SetTileLayout(int32_t index, const TestTileLayout& layout, const std::vector<uint32_t>& ids)
{
    BackgroundResource* b = Background_Get(index);
    if (!b) return;
    std::vector<uint8_t>& bytes = s_tileIds[index];
    bytes.assign(1 + 4 * ids.size(), 0);
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t k = 0; k < 4; ++k) bytes[1 + 4 * i + k] = static_cast<uint8_t>(ids[i] >> (8 * k));
    b->tileWidth = layout.tileWidth;
    b->tileHeight = layout.tileHeight;
    b->borderX = layout.borderX;
    b->borderY = layout.borderY;
    b->tileColumns = layout.columns;
    b->framesPerTile = layout.framesPerTile;
    const int64_t frames = layout.framesPerTile > 0 ? layout.framesPerTile : 1;
    b->tileCount = static_cast<int32_t>(std::min<int64_t>(layout.tileCount, static_cast<int64_t>(ids.size()) / frames));
    BackgroundTestAccess::SetTileIds(b, bytes.data() + 1);
}

void TestBackground_SetTexture(int32_t index, const STexturePageEntry* entry, int32_t texture)
{
    if (BackgroundResource* b = Background_Get(index)) BackgroundTestAccess::SetTexture(b, entry, texture);
}
