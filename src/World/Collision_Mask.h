#pragma once
// The collision mask of a sprite as the instance tests read it: its bounding
// box in sprite pixels (inclusive) and whether it asks for per-pixel tests.
// Sprite records carry no mask of their own yet, so the mask is the whole
// image and never precise: every test is decided on the bounding box.
#include <cstdint>

#include "Sprite/Sprite_Main.h"

struct SpriteMask {
    int32_t left, top, right, bottom;
    bool precise;
};

// False when there is no sprite at index or it has no frames.
inline bool SpriteMask_Get(int32_t index, SpriteMask* out)
{
    const CSprite* sprite = Sprite_Get(index);
    if (!sprite || sprite->frameCount <= 0) return false;
    *out = SpriteMask{0, 0, sprite->width - 1, sprite->height - 1, false};
    return true;
}
