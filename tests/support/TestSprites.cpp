#include "support/TestSprites.h"

#include "Sprite/Sprite_Main.h"

int32_t TestSprite_Add(const TestSpriteSpec& spec)
{
    const int32_t index = Sprite_AddEmpty();
    CSprite* sprite = Sprite_Get(index);
    if (!sprite) return -1;
    sprite->frameCount = spec.frames;
    sprite->width = spec.width;
    sprite->height = spec.height;
    sprite->kind = spec.kind;
    sprite->skeletonData = spec.skeleton;
    sprite->xorigin = spec.xorigin;
    sprite->yorigin = spec.yorigin;
    sprite->bboxRight = spec.width - 1;  // the whole image
    sprite->bboxBottom = spec.height - 1;
    sprite->playbackSpeed = spec.speed;
    sprite->playbackSpeedType = spec.speedType;
    return index;
}
