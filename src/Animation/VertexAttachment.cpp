#include "Animation/VertexAttachment.h"

#include <algorithm>
#include <cmath>

#include "Animation/Skeleton.h"

bool VertexAttachment_ReadVertices(VertexAttachment* attachment, const float* values, size_t count, int32_t worldVerticesLength,
                                   float scale, std::string* error)
{
    attachment->worldVerticesLength = worldVerticesLength;
    attachment->bones.clear();
    attachment->vertices.clear();
    if (worldVerticesLength >= 0 && count == static_cast<size_t>(worldVerticesLength)) {
        attachment->vertices.assign(values, values + count);
        for (float& v : attachment->vertices) v *= scale;
        return true;
    }
    for (size_t i = 0; i < count;) {
        const float n = values[i++];
        // Bounded before the cast: a huge or negative count is as wrong as a short list.
        if (!(n >= 0 && n * 4 <= static_cast<float>(count - i))) {
            *error = "Weighted vertices run past their end: " + attachment->name;
            attachment->bones.clear();
            attachment->vertices.clear();
            return false;
        }
        const auto bones = static_cast<int32_t>(n);
        attachment->bones.push_back(bones);
        for (int32_t k = 0; k < bones; ++k, i += 4) {
            attachment->bones.push_back(static_cast<int32_t>(values[i]));
            attachment->vertices.push_back(values[i + 1] * scale);
            attachment->vertices.push_back(values[i + 2] * scale);
            attachment->vertices.push_back(values[i + 3]);
        }
    }
    return true;
}

namespace {

void ComputeUnweighted(const VertexAttachment* attachment, size_t start, size_t count, const Slot* slot, float* out)
{
    const Bone* bone = slot->bone;
    const Skeleton* skeleton = bone->skeleton;
    const std::vector<float>& source = slot->deform.size() >= attachment->vertices.size() ? slot->deform : attachment->vertices;
    const float x = bone->worldX + skeleton->x, y = bone->worldY + skeleton->y;
    for (size_t v = start, w = 0; w < count; v += 2, w += 2) {
        const float vx = source[v], vy = source[v + 1];
        out[w] = vx * bone->a + vy * bone->b + x;
        out[w + 1] = vx * bone->c + vy * bone->d + y;
    }
}

// False when the bone list is malformed; data that passed the check never is.
bool ComputeWeighted(const VertexAttachment* attachment, size_t start, size_t count, const Slot* slot, float* out)
{
    const Skeleton* skeleton = slot->bone->skeleton;
    const std::vector<int32_t>& bones = attachment->bones;
    const std::vector<float>& vertices = attachment->vertices;
    const bool deform = !slot->deform.empty() && slot->deform.size() >= vertices.size() / 3 * 2;
    // Find where vertex start / 2 begins.
    size_t v = 0, skip = 0;
    for (size_t i = 0; i < start; i += 2) {
        if (v >= bones.size() || bones[v] < 0) return false;
        const auto n = static_cast<size_t>(bones[v]);
        v += n + 1;
        skip += n;
    }
    size_t b = skip * 3, f = skip * 2;
    for (size_t w = 0; w < count; w += 2) {
        if (v >= bones.size() || bones[v] < 0) return false;
        const auto n = static_cast<size_t>(bones[v++]);
        if (n > bones.size() - v || b + n * 3 > vertices.size()) return false;
        float wx = skeleton->x, wy = skeleton->y;
        for (size_t k = 0; k < n; ++k, ++v, b += 3, f += 2) {
            const auto index = static_cast<size_t>(bones[v]);
            if (index >= skeleton->bones.size()) return false;
            const Bone* bone = skeleton->bones[index].get();
            float vx = vertices[b], vy = vertices[b + 1];
            const float weight = vertices[b + 2];
            if (deform) vx += slot->deform[f], vy += slot->deform[f + 1];
            wx += (vx * bone->a + vy * bone->b + bone->worldX) * weight;
            wy += (vx * bone->c + vy * bone->d + bone->worldY) * weight;
        }
        out[w] = wx;
        out[w + 1] = wy;
    }
    return true;
}

} // namespace

void VertexAttachment_ComputeWorldVertices(const VertexAttachment* attachment, int32_t start, int32_t count, const Slot* slot, float* out,
                                           int32_t offset)
{
    if (count <= 0 || offset < 0) return;
    out += offset;
    bool ok = start >= 0 && start % 2 == 0 && count % 2 == 0 && start <= attachment->worldVerticesLength - count;
    if (ok && attachment->bones.empty()) {
        ok = static_cast<size_t>(start + count) <= attachment->vertices.size();
        if (ok) ComputeUnweighted(attachment, static_cast<size_t>(start), static_cast<size_t>(count), slot, out);
    } else if (ok) {
        ok = ComputeWeighted(attachment, static_cast<size_t>(start), static_cast<size_t>(count), slot, out);
    }
    if (!ok) std::fill(out, out + count, 0.0f);
}

void MeshAttachment_ComputeWorldVertices(const MeshAttachment* mesh, const Slot* slot, float* out)
{
    VertexAttachment_ComputeWorldVertices(mesh, 0, mesh->worldVerticesLength, slot, out, 0);
}

void BoundingBoxAttachment_ComputeWorldVertices(const BoundingBoxAttachment* box, const Slot* slot, float* out)
{
    VertexAttachment_ComputeWorldVertices(box, 0, box->worldVerticesLength, slot, out, 0);
}

void PathAttachment_ComputeWorldVertices(const PathAttachment* path, const Slot* slot, int32_t start, int32_t count, float* out, int32_t offset)
{
    VertexAttachment_ComputeWorldVertices(path, start, count, slot, out, offset);
}
