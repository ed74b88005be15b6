#pragma once
// World vertices of the attachments with a vertex part (bounding boxes,
// meshes, paths). World positions include the skeleton's x, y.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Animation/Attachment.h"

struct Slot;

// Fills bones and vertices from a flat list as stored in skeleton files: when
// count equals worldVerticesLength, plain x, y pairs; otherwise groups of a
// bone count n followed by n (bone index, x, y, weight) quadruples. x and y
// are multiplied by scale. A group that runs past the list's end is refused
// with a message followed by the attachment's name; bone indices are checked
// by SkeletonData_Check.
bool VertexAttachment_ReadVertices(VertexAttachment* attachment, const float* values, size_t count, int32_t worldVerticesLength,
                                   float scale, std::string* error);

// Writes count floats (x, y pairs) into out from offset on, for the vertices
// from float index start. The slot's deform array replaces (unweighted) or
// offsets (weighted) the attachment's vertices while it holds them all. A
// range outside the attachment writes zeros.
void VertexAttachment_ComputeWorldVertices(const VertexAttachment* attachment, int32_t start, int32_t count, const Slot* slot, float* out,
                                           int32_t offset);
// The whole attachment: worldVerticesLength floats.
void MeshAttachment_ComputeWorldVertices(const MeshAttachment* mesh, const Slot* slot, float* out);
void BoundingBoxAttachment_ComputeWorldVertices(const BoundingBoxAttachment* box, const Slot* slot, float* out);
void PathAttachment_ComputeWorldVertices(const PathAttachment* path, const Slot* slot, int32_t start, int32_t count, float* out, int32_t offset);
