#pragma once
// A region attachment's corners and texture coordinates.
#include "Animation/Attachment.h"

struct Bone;

// rotate: the region is stored turned by 90 degrees on its page; the uvs turn
// it back upright.
void RegionAttachment_SetUVs(RegionAttachment* region, float u, float v, float u2, float v2, bool rotate);
// Recomputes the corner offsets after position, scale, rotation, size or region fields change.
void RegionAttachment_UpdateOffset(RegionAttachment* region);
// The four corners in world space, with the skeleton's x, y.
void RegionAttachment_ComputeWorldVertices(const RegionAttachment* region, const Bone* bone, float out[8]);
