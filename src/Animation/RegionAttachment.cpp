#include "Animation/RegionAttachment.h"

#include <cmath>

#include "Animation/Skeleton.h"

void RegionAttachment_SetUVs(RegionAttachment* region, float u, float v, float u2, float v2, bool rotate)
{
    float* uvs = region->uvs;
    if (rotate) {
        uvs[0] = u2, uvs[1] = v2, uvs[2] = u, uvs[3] = v2, uvs[4] = u, uvs[5] = v, uvs[6] = u2, uvs[7] = v;
    } else {
        uvs[0] = u, uvs[1] = v2, uvs[2] = u, uvs[3] = v, uvs[4] = u2, uvs[5] = v, uvs[6] = u2, uvs[7] = v2;
    }
}

void RegionAttachment_UpdateOffset(RegionAttachment* region)
{
    // An image with no original size has no scale to map its crop with.
    const float regionScaleX =
        region->regionOriginalWidth != 0 ? region->width / region->regionOriginalWidth * region->scaleX : 0;
    const float regionScaleY =
        region->regionOriginalHeight != 0 ? region->height / region->regionOriginalHeight * region->scaleY : 0;
    const float localX = -region->width / 2 * region->scaleX + region->regionOffsetX * regionScaleX;
    const float localY = -region->height / 2 * region->scaleY + region->regionOffsetY * regionScaleY;
    const float localX2 = localX + region->regionWidth * regionScaleX;
    const float localY2 = localY + region->regionHeight * regionScaleY;
    const float r = region->rotation * 0.017453292f;
    const float cs = std::cos(r), sn = std::sin(r);
    const float x = region->x, y = region->y;
    float* o = region->offset;
    o[0] = localX * cs - localY * sn + x, o[1] = localY * cs + localX * sn + y;
    o[2] = localX * cs - localY2 * sn + x, o[3] = localY2 * cs + localX * sn + y;
    o[4] = localX2 * cs - localY2 * sn + x, o[5] = localY2 * cs + localX2 * sn + y;
    o[6] = localX2 * cs - localY * sn + x, o[7] = localY * cs + localX2 * sn + y;
}

void RegionAttachment_ComputeWorldVertices(const RegionAttachment* region, const Bone* bone, float out[8])
{
    const Skeleton* skeleton = bone->skeleton;
    const float px = skeleton->x + bone->worldX, py = skeleton->y + bone->worldY;
    for (int i = 0; i < 8; i += 2) {
        const float ox = region->offset[i], oy = region->offset[i + 1];
        out[i] = ox * bone->a + oy * bone->b + px;
        out[i + 1] = ox * bone->c + oy * bone->d + py;
    }
}
