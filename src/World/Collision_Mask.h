#pragma once
// The collision mask of a sprite as the instance tests read it: its bounding
// box in sprite pixels (inclusive) and whether it asks for per-pixel tests.
// Per-pixel masks are not tested yet, so every test is decided on the box.
#include <cstdint>

#include "Sprite/Sprite_Main.h"

struct CollisionMask {
    int32_t left, top, right, bottom;
    bool precise;
};

// False when there is no sprite at index or it has no frames.
inline bool CollisionMask_Get(int32_t index, CollisionMask* out)
{
    const CSprite* sprite = Sprite_Get(index);
    if (!sprite || sprite->frameCount <= 0) return false;
    *out = CollisionMask{sprite->bboxLeft, sprite->bboxTop, sprite->bboxRight, sprite->bboxBottom, false};
    return true;
}
