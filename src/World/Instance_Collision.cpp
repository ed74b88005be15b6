// Instance collision tests against points, rectangles, ellipses, lines and
// other instances. Each rejects on the bounding box first and goes on to the
// mask sprite's pixels only when a precise answer is asked and the mask is precise.
#include <algorithm>
#include <cmath>

#include "Code/Code_Profiler.h"
#include "GameData/GameOptions.h"
#include "Sprite/Sprite_Main.h"
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

// The mask sprite, when it exists and has frames.
CSprite* MaskSprite(const CInstance* instance)
{
    CSprite* sprite = Sprite_Get(instance->MaskSpriteIndex());
    return sprite && sprite->frameCount > 0 ? sprite : nullptr;
}

float Nearest(float v) { return std::round(v); }

// Any real as a pixel coordinate: NaN is 0 and the range is clamped.
int32_t Pixel(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}
int32_t RoundPixel(double v) { return Pixel(std::round(v)); }

// Instance pairs truncate their positions with the spatial index on; every other test rounds.
SpritePose Pose(const CInstance* i, bool pairRule)
{
    const auto place = [pairRule](float v) {
        return pairRule && GameOptions.collisionMode ? Pixel(std::trunc(v)) : RoundPixel(v);
    };
    return SpritePose{Pixel(std::trunc(i->image_index)),
                      {i->bbox_left, i->bbox_top, i->bbox_right, i->bbox_bottom},
                      place(i->x),
                      place(i->y),
                      i->image_xscale,
                      i->image_yscale,
                      i->image_angle};
}
}  // namespace

bool CInstance::CollisionPoint(float px, float py, bool precise)
{
    if (!Ready(this)) return false;
    if (px < bbox_left || px >= static_cast<double>(bbox_right) + 1) return false;
    if (py < bbox_top || py >= static_cast<double>(bbox_bottom) + 1) return false;
    CSprite* sprite = MaskSprite(this);
    if (!sprite) return false;
    // This test reads the sprite's own flag, not the one the box was made with.
    if (!precise || !sprite->precise) return true;
    return sprite->CollidePoint(Pose(this, false), RoundPixel(px), RoundPixel(py));
}

bool CInstance::CollisionRectangle(float x1, float y1, float x2, float y2, bool precise)
{
    if (!Ready(this)) return false;
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    if (MissesBox(this, minX, minY, maxX, maxY)) return false;
    if (!precise || !m_precise) return true;
    CSprite* sprite = MaskSprite(this);
    if (!sprite) return false;
    return sprite->CollideRectangle(Pose(this, false),
                                    {RoundPixel(minX), RoundPixel(minY), RoundPixel(maxX), RoundPixel(maxY)});
}

bool CInstance::CollisionEllipse(float x1, float y1, float x2, float y2, bool precise)
{
    if (!Ready(this)) return false;
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    if (MissesBox(this, minX, minY, maxX, maxY)) return false;
    if (Nearest(x1) == Nearest(x2) || Nearest(y1) == Nearest(y2)) return CollisionRectangle(x1, y1, x2, y2, precise);
    const auto edge = [](float v) {
        if (!(v > -2147483648.0f)) return INT32_MIN;  // NaN included
        return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
    };
    const int32_t l = edge(Nearest(minX)), t = edge(Nearest(minY)), r = edge(Nearest(maxX)), b = edge(Nearest(maxY));
    const double cx = (static_cast<double>(x1) + x2) * 0.5, cy = (static_cast<double>(y1) + y2) * 0.5;
    bool meets = (cx >= bbox_left && cx <= bbox_right) || (cy >= bbox_top && cy <= bbox_bottom);
    const float corners[4][2] = {{static_cast<float>(bbox_left), static_cast<float>(bbox_top)},
                                 {static_cast<float>(bbox_left), static_cast<float>(bbox_bottom)},
                                 {static_cast<float>(bbox_right), static_cast<float>(bbox_top)},
                                 {static_cast<float>(bbox_right), static_cast<float>(bbox_bottom)}};
    for (int k = 0; k < 4 && !meets; ++k) meets = EllipseContainsPoint(l, t, r, b, corners[k][0], corners[k][1]);
    if (!meets) return false;
    if (!precise || !m_precise) return true;
    CSprite* sprite = MaskSprite(this);
    if (!sprite) return false;
    return sprite->CollideEllipse(Pose(this, false), {l, t, r, b});
}

bool CInstance::CollisionLine(float x1, float y1, float x2, float y2, bool precise)
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
    if (ay >= bottom && by >= bottom) return false;
    if (!precise || !m_precise) return true;
    CSprite* sprite = MaskSprite(this);
    if (!sprite) return false;
    return sprite->CollideLine(Pose(this, false), RoundPixel(ax), RoundPixel(ay), RoundPixel(bx), RoundPixel(by));
}

bool CInstance::CollisionInstance(CInstance* other, bool precise)
{
    const ProfilerSection section(SECTION_COLLISION_INSTANCE);
    if (other == this || !other) return false;
    if (!Ready(other) || !Ready(this)) return false;
    if (!(other->bbox_left < static_cast<int64_t>(bbox_right) + 1 && other->bbox_right >= bbox_left &&
          other->bbox_top < static_cast<int64_t>(bbox_bottom) + 1 && other->bbox_bottom >= bbox_top))
        return false;
    CSprite *mine = MaskSprite(this), *theirs = MaskSprite(other);
    if (!mine || !theirs) return false;
    if (!precise || (!mine->precise && !theirs->precise)) return true;
    return mine->CollideSprite(Pose(this, true), theirs, Pose(other, true));
}
