#include "support/TestSprites.h"

#include "Sprite/Sprite_Main.h"

int32_t TestSprite_Add(const TestSpriteFields& fields)
{
    const int32_t index = Sprite_AddEmpty();
    CSprite* sprite = Sprite_Get(index);
    if (!sprite) return -1;
    sprite->frameCount = fields.frames;
    sprite->width = fields.width;
    sprite->height = fields.height;
    sprite->kind = fields.kind;
    sprite->skeletonData = fields.skeleton;
    sprite->xorigin = fields.xorigin;
    sprite->yorigin = fields.yorigin;
    sprite->bboxRight = fields.width - 1;  // the whole image
    sprite->bboxBottom = fields.height - 1;
    sprite->playbackSpeed = fields.speed;
    sprite->playbackSpeedType = fields.speedType;
    return index;
}
