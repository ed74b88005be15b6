// Stand-ins: see Background_Main.h.
#include "Background/Background_Main.h"

#include <cstddef>
#include <vector>

namespace {
std::vector<std::pair<int32_t, int32_t>> s_sizes;
std::vector<std::pair<uint64_t, int32_t>> s_animations;
struct Tileset {
    BackgroundTileLayout layout;
    std::vector<uint32_t> ids;
    const STexturePageEntry* entry;
    int32_t texture;
};
std::vector<Tileset> s_tilesets;
void (*s_drawObserver)(char kind, int32_t index, float x, float y) = nullptr;

bool Inside(int32_t index) { return index >= 0 && index < static_cast<int32_t>(s_sizes.size()); }

void Observe(char kind, int32_t index, float x, float y)
{
    if (s_drawObserver && Inside(index)) s_drawObserver(kind, index, x, y);
}
}  // namespace

bool Background_GetSize(int32_t index, int32_t* width, int32_t* height)
{
    if (!Inside(index)) return false;
    *width = s_sizes[static_cast<std::size_t>(index)].first;
    *height = s_sizes[static_cast<std::size_t>(index)].second;
    return true;
}

int32_t Background_StubAdd(int32_t width, int32_t height)
{
    s_sizes.emplace_back(width, height);
    s_animations.emplace_back(0, 1);
    Tileset t{};
    t.layout = BackgroundTileLayout{width, height, 0, 0, 1, 1, 1, nullptr};
    t.ids = {0};
    t.texture = -1;
    s_tilesets.push_back(t);
    return static_cast<int32_t>(s_sizes.size()) - 1;
}

void Background_StubClear()
{
    s_sizes.clear();
    s_animations.clear();
    s_tilesets.clear();
    s_drawObserver = nullptr;
}

bool Background_GetTileAnimation(int32_t index, uint64_t* frameTime, int32_t* frameCount)
{
    if (index < 0 || index >= static_cast<int32_t>(s_animations.size())) return false;
    *frameTime = s_animations[static_cast<std::size_t>(index)].first;
    *frameCount = s_animations[static_cast<std::size_t>(index)].second;
    return true;
}

void Background_StubSetTileAnimation(int32_t index, uint64_t frameTime, int32_t frameCount)
{
    if (index >= 0 && index < static_cast<int32_t>(s_animations.size()))
        s_animations[static_cast<std::size_t>(index)] = {frameTime, frameCount};
}

bool Background_GetTileset(int32_t index, int32_t* tileWidth, int32_t* tileHeight, int32_t* tileCount)
{
    if (!Inside(index)) return false;
    const BackgroundTileLayout& t = s_tilesets[static_cast<std::size_t>(index)].layout;
    *tileWidth = t.tileWidth;
    *tileHeight = t.tileHeight;
    *tileCount = t.tileCount;
    return true;
}

void Background_StubSetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount)
{
    if (!Inside(index)) return;
    BackgroundTileLayout& t = s_tilesets[static_cast<std::size_t>(index)].layout;
    t.tileWidth = tileWidth;
    t.tileHeight = tileHeight;
    t.tileCount = tileCount;
}

void Background_StubSetTileLayout(int32_t index, const BackgroundTileLayout& layout, const std::vector<uint32_t>& ids)
{
    if (!Inside(index)) return;
    Tileset& t = s_tilesets[static_cast<std::size_t>(index)];
    t.layout = layout;
    t.ids = ids;
}

void Background_StubSetTexture(int32_t index, const STexturePageEntry* entry, int32_t texture)
{
    if (!Inside(index)) return;
    s_tilesets[static_cast<std::size_t>(index)].entry = entry;
    s_tilesets[static_cast<std::size_t>(index)].texture = texture;
}

void Background_StubObserveDraws(void (*observer)(char kind, int32_t index, float x, float y))
{
    s_drawObserver = observer;
}

bool Background_Exists(int32_t index) { return Inside(index); }

bool Background_GetTileLayout(int32_t index, BackgroundTileLayout* layout)
{
    if (!Inside(index)) return false;
    const Tileset& t = s_tilesets[static_cast<std::size_t>(index)];
    *layout = t.layout;
    layout->tileIds = t.ids.data();
    // The ids the table holds bound what a caller may index.
    const int64_t frames = layout->framesPerTile > 0 ? layout->framesPerTile : 1;
    if (static_cast<int64_t>(layout->tileCount) * frames > static_cast<int64_t>(t.ids.size()))
        layout->tileCount = static_cast<int32_t>(static_cast<int64_t>(t.ids.size()) / frames);
    return true;
}

bool Background_GetTexture(int32_t index, const STexturePageEntry** entry, int32_t* texture)
{
    if (!Inside(index)) return false;
    *entry = s_tilesets[static_cast<std::size_t>(index)].entry;
    *texture = s_tilesets[static_cast<std::size_t>(index)].texture;
    return true;
}

void Background_DrawPart(int32_t index, float, float, float, float, float x, float y, float, float, uint32_t, float)
{
    Observe('p', index, x, y);
}

void Background_DrawGeneral(int32_t index, float, float, float, float, float x, float y, float, float, float, uint32_t,
                            uint32_t, uint32_t, uint32_t, float)
{
    Observe('g', index, x, y);
}

void Background_DrawTiled(int32_t index, float x, float y, float, float, bool, bool, float, float, float, float,
                          uint32_t, float)
{
    Observe('t', index, x, y);
}

void Background_InitTextures() {}
void Background_Shutdown() {}
void Background_DeleteAll() {}
int Background_Find(const char*) { return -1; }
