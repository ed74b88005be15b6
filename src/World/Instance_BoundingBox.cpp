// The bounding box of an instance: the mask rectangle placed at the origin,
// scaled and rotated, with the edge rounding the game's collision options ask for.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Code/Code_Profiler.h"
#include "GameData/GameOptions.h"
#include "Sprite/Sprite_Main.h"
#include "World/Collision.h"
#include "World/Instance.h"

namespace {
constexpr double kPi = 3.1415927f;

// Any real as a box edge: NaN is 0 and the range is clamped, so no conversion overflows.
int32_t ClampEdge(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// The spatial index with the compatibility option off truncates; everything else rounds halves away from zero.
int32_t Edge(double v)
{
    const bool truncate = GameOptions.collisionMode && !GameOptions.collisionCompatibility;
    return ClampEdge(truncate ? std::trunc(v) : std::round(v));
}

int32_t Lower(int32_t v) { return v == INT32_MIN ? v : v - 1; }

// One axis of the unrotated box.
void Axis(int32_t maskLow, int32_t maskHigh, int32_t origin, float scale, float position, int32_t* low, int32_t* high)
{
    const double width = static_cast<double>(maskHigh) - maskLow + 1;
    const float start = static_cast<float>(maskLow - origin) * scale + position;
    int32_t a = Edge(start);
    int32_t b = Edge(static_cast<double>(static_cast<float>(width * scale) + static_cast<float>(a)));
    if (a > b) std::swap(a, b);
    *low = a;
    *high = Lower(b);
}
}  // namespace

void CInstance::ComputeBoundingBox(bool updateIndex)
{
    const ProfilerSection section(SECTION_COMPUTE_BOUNDING_BOX);
    const CollisionBox old{bbox_left, bbox_top, bbox_right, bbox_bottom};
    const CSprite* sprite = Sprite_Get(MaskSpriteIndex());
    if (!sprite || sprite->frameCount <= 0) {
        bbox_left = bbox_right = ClampEdge(std::trunc(static_cast<double>(x)));
        bbox_top = bbox_bottom = ClampEdge(std::trunc(static_cast<double>(y)));
        m_precise = false;
    } else if (image_angle == 0.0f) {
        Axis(sprite->bboxLeft, sprite->bboxRight, sprite->xorigin, image_xscale, x, &bbox_left, &bbox_right);
        Axis(sprite->bboxTop, sprite->bboxBottom, sprite->yorigin, image_yscale, y, &bbox_top, &bbox_bottom);
        m_precise = sprite->precise;
    } else {
        const float l = static_cast<float>(std::min(sprite->bboxLeft, sprite->bboxRight));
        const float r = static_cast<float>(std::max(sprite->bboxLeft, sprite->bboxRight));
        const float t = static_cast<float>(std::min(sprite->bboxTop, sprite->bboxBottom));
        const float b = static_cast<float>(std::max(sprite->bboxTop, sprite->bboxBottom));
        const float ox = static_cast<float>(sprite->xorigin), oy = static_cast<float>(sprite->yorigin);
        const float x1 = (l - ox) * image_xscale, x2 = (r - ox + 1) * image_xscale;
        const float y1 = (t - oy) * image_yscale, y2 = (b - oy + 1) * image_yscale;
        const float radians = static_cast<float>(image_angle * kPi / 180.0);
        const float c = std::cos(radians), s = std::sin(radians);
        bbox_left = Edge(x + std::min(c * x1, c * x2) + std::min(s * y1, s * y2));
        bbox_right = Lower(Edge(x + std::max(c * x1, c * x2) + std::max(s * y1, s * y2)));
        bbox_top = Edge(y + std::min(c * y1, c * y2) - std::max(s * x1, s * x2));
        bbox_bottom = Lower(Edge(y + std::max(c * y1, c * y2) - std::min(s * x1, s * x2)));
        m_precise = sprite->precise;
    }
    m_bboxDirty = false;
    if (updateIndex) Collision_UpdateInstanceBox(this, old);
}
