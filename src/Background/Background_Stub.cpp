// Stand-ins: see Background_Main.h.
#include "Background/Background_Main.h"

#include <cstddef>
#include <vector>

namespace {
std::vector<std::pair<int32_t, int32_t>> s_sizes;
std::vector<std::pair<uint64_t, int32_t>> s_animations;
struct Tileset {
    int32_t tileWidth, tileHeight, tileCount;
};
std::vector<Tileset> s_tilesets;
}  // namespace

bool Background_GetSize(int32_t index, int32_t* width, int32_t* height)
{
    if (index < 0 || index >= static_cast<int32_t>(s_sizes.size())) return false;
    *width = s_sizes[static_cast<std::size_t>(index)].first;
    *height = s_sizes[static_cast<std::size_t>(index)].second;
    return true;
}

int32_t Background_StubAdd(int32_t width, int32_t height)
{
    s_sizes.emplace_back(width, height);
    s_animations.emplace_back(0, 1);
    s_tilesets.push_back(Tileset{width, height, 1});
    return static_cast<int32_t>(s_sizes.size()) - 1;
}

void Background_StubClear()
{
    s_sizes.clear();
    s_animations.clear();
    s_tilesets.clear();
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
    if (index < 0 || index >= static_cast<int32_t>(s_tilesets.size())) return false;
    const Tileset& t = s_tilesets[static_cast<std::size_t>(index)];
    *tileWidth = t.tileWidth;
    *tileHeight = t.tileHeight;
    *tileCount = t.tileCount;
    return true;
}

void Background_StubSetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount)
{
    if (index >= 0 && index < static_cast<int32_t>(s_tilesets.size()))
        s_tilesets[static_cast<std::size_t>(index)] = Tileset{tileWidth, tileHeight, tileCount};
}

void Background_InitTextures() {}
void Background_Shutdown() {}
void Background_DeleteAll() {}
int Background_Find(const char*) { return -1; }
