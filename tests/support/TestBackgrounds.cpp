#include "support/TestBackgrounds.h"

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
