#include "Animation/SkeletonBounds.h"

#include <algorithm>

#include "Animation/Skeleton.h"
#include "Animation/VertexAttachment.h"

SkeletonBounds* SkeletonBounds_Create() { return new SkeletonBounds(); }
void SkeletonBounds_Destroy(SkeletonBounds* bounds) { delete bounds; }

void SkeletonBounds_Update(SkeletonBounds* bounds, const Skeleton* skeleton, bool updateExtent)
{
    const size_t slotCount = skeleton->slots.size();
    if (bounds->polygons.size() < slotCount) {
        bounds->polygons.resize(slotCount);
        bounds->boundingBoxes.resize(slotCount, nullptr);
    }
    bounds->minX = bounds->minY = 2147483648.0f;
    bounds->maxX = bounds->maxY = -2147483648.0f;
    bounds->count = 0;
    for (const auto& slot : skeleton->slots) {
        const Attachment* attachment = slot->attachment;
        if (!attachment || attachment->kind != ATTACHMENT_BOUNDING_BOX) continue;
        const auto* box = static_cast<const BoundingBoxAttachment*>(attachment);
        const auto index = static_cast<size_t>(bounds->count);
        bounds->boundingBoxes[index] = box;
        Polygon& polygon = bounds->polygons[index];
        const int32_t length = std::max(box->worldVerticesLength, 0);
        if (polygon.vertices.size() < static_cast<size_t>(length)) polygon.vertices.assign(static_cast<size_t>(length), 0.0f);
        polygon.count = length;
        BoundingBoxAttachment_ComputeWorldVertices(box, slot.get(), polygon.vertices.data());
        if (updateExtent) {
            for (int32_t i = 0; i + 1 < length; i += 2) {
                const float x = polygon.vertices[static_cast<size_t>(i)], y = polygon.vertices[static_cast<size_t>(i + 1)];
                bounds->minX = std::min(bounds->minX, x);
                bounds->minY = std::min(bounds->minY, y);
                bounds->maxX = std::max(bounds->maxX, x);
                bounds->maxY = std::max(bounds->maxY, y);
            }
        }
        ++bounds->count;
    }
}

namespace {

bool PolygonContainsPoint(const Polygon& polygon, float x, float y)
{
    const float* v = polygon.vertices.data();
    const int32_t n = polygon.count - polygon.count % 2;
    if (n < 2) return false;
    bool inside = false;
    float prevX = v[n - 2], prevY = v[n - 1];
    for (int32_t i = 0; i < n; i += 2) {
        const float vx = v[i], vy = v[i + 1];
        if ((vy < y && prevY >= y) || (prevY < y && vy >= y))
            if (vx + (y - vy) / (prevY - vy) * (prevX - vx) < x) inside = !inside;
        prevX = vx, prevY = vy;
    }
    return inside;
}

bool Within(float v, float a, float b) { return a <= b ? v >= a && v <= b : v >= b && v <= a; }

bool PolygonIntersectsSegment(const Polygon& polygon, float x1, float y1, float x2, float y2)
{
    const float* v = polygon.vertices.data();
    const int32_t n = polygon.count - polygon.count % 2;
    if (n < 2) return false;
    const float width12 = x1 - x2, height12 = y1 - y2;
    const float det1 = x1 * y2 - y1 * x2;
    float x3 = v[n - 2], y3 = v[n - 1];
    for (int32_t i = 0; i < n; i += 2) {
        const float x4 = v[i], y4 = v[i + 1];
        const float det2 = x3 * y4 - y3 * x4;
        const float width34 = x3 - x4, height34 = y3 - y4;
        const float det3 = width12 * height34 - height12 * width34;
        if (det3 != 0) {
            const float x = (det1 * width34 - width12 * det2) / det3;
            if (Within(x, x3, x4) && Within(x, x1, x2)) {
                const float y = (det1 * height34 - height12 * det2) / det3;
                if (Within(y, y3, y4) && Within(y, y1, y2)) return true;
            }
        }
        x3 = x4, y3 = y4;
    }
    return false;
}

} // namespace

const BoundingBoxAttachment* SkeletonBounds_ContainsPoint(const SkeletonBounds* bounds, float x, float y)
{
    for (int32_t i = 0; i < bounds->count; ++i)
        if (PolygonContainsPoint(bounds->polygons[static_cast<size_t>(i)], x, y)) return bounds->boundingBoxes[static_cast<size_t>(i)];
    return nullptr;
}

const BoundingBoxAttachment* SkeletonBounds_IntersectsSegment(const SkeletonBounds* bounds, float x1, float y1, float x2, float y2)
{
    for (int32_t i = 0; i < bounds->count; ++i)
        if (PolygonIntersectsSegment(bounds->polygons[static_cast<size_t>(i)], x1, y1, x2, y2))
            return bounds->boundingBoxes[static_cast<size_t>(i)];
    return nullptr;
}
