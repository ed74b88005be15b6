// Instance collision tests against points, rectangles, ellipses, lines and
// other instances. Each rejects on the bounding box first; a precise answer
// would go on to the mask, but masks are whole images until sprites carry
// their own (Collision_Mask.h), so the box decides.
#include <algorithm>
#include <cmath>

#include "World/Collision_Mask.h"
#include "World/Instance.h"

namespace {
// Boxes are current, and the instance can touch anything at all.
bool Ready(CInstance* instance)
{
    if (instance->m_bboxDirty) instance->ComputeBoundingBox(true);
    return !instance->m_marked && std::isfinite(instance->x) && std::isfinite(instance->y);
}

// The box covers [left, right + 1) x [top, bottom + 1); the ordered extent
// [minX, maxX] x [minY, maxY] misses it.
bool MissesBox(const CInstance* i, double minX, double minY, double maxX, double maxY)
{
    return minX >= static_cast<double>(i->bbox_right) + 1 || maxX < i->bbox_left ||
           minY >= static_cast<double>(i->bbox_bottom) + 1 || maxY < i->bbox_top;
}

bool HasMask(const CInstance* instance)
{
    CollisionMask mask;
    return CollisionMask_Get(instance->MaskSpriteIndex(), &mask);
}

float Nearest(float v) { return std::round(v); }
}  // namespace

bool CInstance::CollisionPoint(float px, float py, bool)
{
    if (!Ready(this)) return false;
    if (px < bbox_left || px >= static_cast<double>(bbox_right) + 1) return false;
    if (py < bbox_top || py >= static_cast<double>(bbox_bottom) + 1) return false;
    return HasMask(this);
}

bool CInstance::CollisionRectangle(float x1, float y1, float x2, float y2, bool)
{
    if (!Ready(this)) return false;
    return !MissesBox(this, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

bool CInstance::CollisionEllipse(float x1, float y1, float x2, float y2, bool precise)
{
    if (!Ready(this)) return false;
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    if (MissesBox(this, minX, minY, maxX, maxY)) return false;
    if (Nearest(x1) == Nearest(x2) || Nearest(y1) == Nearest(y2)) return CollisionRectangle(x1, y1, x2, y2, precise);
    const double cx = (static_cast<double>(x1) + x2) * 0.5, cy = (static_cast<double>(y1) + y2) * 0.5;
    if (cx >= bbox_left && cx <= bbox_right) return true;
    if (cy >= bbox_top && cy <= bbox_bottom) return true;
    const auto edge = [](float v) {
        if (!(v > -2147483648.0f)) return INT32_MIN;  // NaN included
        return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
    };
    const int32_t l = edge(Nearest(minX)), t = edge(Nearest(minY)), r = edge(Nearest(maxX)), b = edge(Nearest(maxY));
    const float corners[4][2] = {{static_cast<float>(bbox_left), static_cast<float>(bbox_top)},
                                 {static_cast<float>(bbox_left), static_cast<float>(bbox_bottom)},
                                 {static_cast<float>(bbox_right), static_cast<float>(bbox_top)},
                                 {static_cast<float>(bbox_right), static_cast<float>(bbox_bottom)}};
    for (const auto& corner : corners) {
        if (EllipseContainsPoint(l, t, r, b, corner[0], corner[1])) return true;
    }
    return false;
}

bool CInstance::CollisionLine(float x1, float y1, float x2, float y2, bool)
{
    if (!Ready(this)) return false;
    if (MissesBox(this, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2))) return false;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (ax > bx) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const double left = bbox_left, right = static_cast<double>(bbox_right) + 1;
    // The box test above keeps bx > ax whenever a clip is needed.
    if (left > ax) {
        ay += (left - ax) * (by - ay) / (bx - ax);
        ax = left;
    }
    if (right < bx) {
        by += (right - bx) * (by - ay) / (bx - ax);
        bx = right;
    }
    if (ay < bbox_top && by < bbox_top) return false;
    const double bottom = static_cast<double>(bbox_bottom) + 1;
    return !(ay >= bottom && by >= bottom);
}

bool CInstance::CollisionInstance(CInstance* other, bool)
{
    if (other == this || !other) return false;
    if (!Ready(other) || !Ready(this)) return false;
    if (!(other->bbox_left < static_cast<int64_t>(bbox_right) + 1 && other->bbox_right >= bbox_left &&
          other->bbox_top < static_cast<int64_t>(bbox_bottom) + 1 && other->bbox_bottom >= bbox_top))
        return false;
    return HasMask(this) && HasMask(other);
}
