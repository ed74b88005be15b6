// Stand-in for the bounding box under rotation and the collision masks:
// CInstance::ComputeBoundingBox takes the unrotated sprite rectangle at the
// instance's scale, or the instance's own point when it has no sprite.

#include <cmath>

#include "World/Instance.h"
#include "Sprite/Sprite_Main.h"

void CInstance::ComputeBoundingBox()
{
    float left = x, top = y, right = x, bottom = y;
    if (const CSprite* sprite = Sprite_Get(mask_index >= 0 ? mask_index : sprite_index)) {
        left = x - static_cast<float>(sprite->xorigin) * image_xscale;
        top = y - static_cast<float>(sprite->yorigin) * image_yscale;
        right = left + static_cast<float>(sprite->width) * image_xscale;
        bottom = top + static_cast<float>(sprite->height) * image_yscale;
    }
    bbox_left = static_cast<int32_t>(std::lround(std::fmin(left, right)));
    bbox_top = static_cast<int32_t>(std::lround(std::fmin(top, bottom)));
    bbox_right = static_cast<int32_t>(std::lround(std::fmax(left, right)));
    bbox_bottom = static_cast<int32_t>(std::lround(std::fmax(top, bottom)));
    m_bboxDirty = false;
}
