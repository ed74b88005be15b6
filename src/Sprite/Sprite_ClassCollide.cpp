// Precise collision tests of a sprite shown by an instance: room pixels are
// mapped back into the frame (undoing position, scale and rotation) and read
// from the frame's mask. Each scan covers only the part of the shape inside
// the instance's bounding box and stops at the first solid pixel.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Code/Code_Profiler.h"
#include "Sprite/Sprite_Class.h"

namespace {
constexpr float kNoAngle = 0.0001f;

// One sprite as placed in the room; without a mask every frame pixel is solid.
struct Placed {
    const CSprite* sprite;
    const uint8_t* mask;
    SpritePose pose;
    float s, c;

    Placed(const CSprite* sp, const uint8_t* m, const SpritePose& p) : sprite(sp), mask(m), pose(p)
    {
        const float r = p.angle * -3.1415927f / 180.0f;
        s = std::sin(r);
        c = std::cos(r);
    }
    bool At(int64_t fx, int64_t fy) const
    {
        if (fx < 0 || fy < 0 || fx >= sprite->width || fy >= sprite->height) return false;
        return !mask || mask[fy * sprite->width + fx] != 0;
    }
    // A frame position rounded down; NaN and infinities are outside.
    bool AtFloor(float fx, float fy) const
    {
        if (!(fx >= 0.0f && fy >= 0.0f && fx < static_cast<float>(sprite->width) &&
              fy < static_cast<float>(sprite->height)))
            return false;
        return At(static_cast<int64_t>(fx), static_cast<int64_t>(fy));
    }
    void Rotated(float px, float py, float* fx, float* fy) const
    {
        const float dx = px - static_cast<float>(pose.x), dy = py - static_cast<float>(pose.y);
        *fx = (dy * s + dx * c) / pose.xscale + static_cast<float>(sprite->xorigin);
        *fy = (dy * c - dx * s) / pose.yscale + static_cast<float>(sprite->yorigin);
    }
    bool RotatedFloor(float px, float py) const
    {
        float fx, fy;
        Rotated(px, py, &fx, &fy);
        return AtFloor(std::floor(fx), std::floor(fy));
    }
    bool Integer(int64_t px, int64_t py) const
    {
        return At(px - pose.x + sprite->xorigin, py - pose.y + sprite->yorigin);
    }
    // The rectangle and ellipse tests: exact integers when nothing is scaled or turned.
    bool Pixel(int64_t px, int64_t py) const
    {
        if (pose.xscale == 1.0f && pose.yscale == 1.0f && std::abs(pose.angle) < kNoAngle) return Integer(px, py);
        return RotatedFloor(static_cast<float>(px), static_cast<float>(py));
    }
};

// The instance-against-instance mappings, chosen once for both sprites.
enum class Mapping { Integer, Scaled, Rotated };

bool SpritePixel(const Placed& p, Mapping mapping, int64_t px, int64_t py)
{
    if (mapping == Mapping::Integer) return p.Integer(px, py);
    float fx, fy;
    if (mapping == Mapping::Scaled) {
        fx = static_cast<float>(px - p.pose.x) * (1.0f / p.pose.xscale) + static_cast<float>(p.sprite->xorigin);
        fy = static_cast<float>(py - p.pose.y) * (1.0f / p.pose.yscale) + static_cast<float>(p.sprite->yorigin);
    } else {
        p.Rotated(static_cast<float>(px), static_cast<float>(py), &fx, &fy);
    }
    return p.AtFloor(std::trunc(fx), std::trunc(fy));
}

// The intersection of two inclusive rectangles, widened so no loop overflows.
struct Span {
    int64_t left, top, right, bottom;
};
Span Intersect(SpriteRect a, SpriteRect b)
{
    return {std::max<int64_t>(a.left, b.left), std::max<int64_t>(a.top, b.top), std::min<int64_t>(a.right, b.right),
            std::min<int64_t>(a.bottom, b.bottom)};
}

// How far a pixel lies along one axis of an ellipse, squared; a half size of
// 0 leaves only the centre line inside.
float AxisTerm(int64_t d, int64_t half)
{
    if (d == 0) return 0.0f;
    if (half == 0) return INFINITY;
    const float t = static_cast<float>(d) / static_cast<float>(half);
    return t * t;
}
}  // namespace

bool CSprite::CollideSprite(const SpritePose& self, CSprite* other, const SpritePose& theirs)
{
    const ProfilerSection section(SECTION_PRECISE_COLLISION);
    if (!other || frameCount <= 0 || other->frameCount <= 0) return false;
    DecodeMasks();
    other->DecodeMasks();
    const Placed a(this, GetMask(self.frame), self), b(other, other->GetMask(theirs.frame), theirs);
    Mapping mapping = Mapping::Rotated;
    if (self.angle == 0.0f && theirs.angle == 0.0f) {
        const bool unit = 1.0f / self.xscale == 1.0f && 1.0f / self.yscale == 1.0f && 1.0f / theirs.xscale == 1.0f &&
                          1.0f / theirs.yscale == 1.0f;
        mapping = unit ? Mapping::Integer : Mapping::Scaled;
    }
    const Span span = Intersect(self.box, theirs.box);
    for (int64_t x = span.left; x <= span.right; ++x)
        for (int64_t y = span.top; y <= span.bottom; ++y)
            if (SpritePixel(a, mapping, x, y) && SpritePixel(b, mapping, x, y)) return true;
    return false;
}

bool CSprite::CollidePoint(const SpritePose& self, int32_t px, int32_t py)
{
    if (frameCount <= 0) return false;
    DecodeMasks();
    const uint8_t* mask = GetMask(self.frame);
    if (!mask) return true;
    const Placed p(this, mask, self);
    float fx, fy;
    if (std::abs(self.angle) < kNoAngle) {
        fx = static_cast<float>(int64_t{px} - self.x) / self.xscale + static_cast<float>(xorigin);
        fy = static_cast<float>(int64_t{py} - self.y) / self.yscale + static_cast<float>(yorigin);
    } else {
        p.Rotated(static_cast<float>(px), static_cast<float>(py), &fx, &fy);
    }
    return p.AtFloor(std::floor(fx), std::floor(fy));
}

bool CSprite::CollideRectangle(const SpritePose& self, SpriteRect rect)
{
    if (frameCount <= 0) return false;
    DecodeMasks();
    const uint8_t* mask = GetMask(self.frame);
    if (!mask) return true;
    const Placed p(this, mask, self);
    const Span span = Intersect(rect, self.box);
    for (int64_t x = span.left; x <= span.right; ++x)
        for (int64_t y = span.top; y <= span.bottom; ++y)
            if (p.Pixel(x, y)) return true;
    return false;
}

bool CSprite::CollideEllipse(const SpritePose& self, SpriteRect ellipse)
{
    if (frameCount <= 0) return false;
    DecodeMasks();
    const uint8_t* mask = GetMask(self.frame);
    if (!mask) return true;
    const Placed p(this, mask, self);
    const int64_t cx = (int64_t{ellipse.left} + ellipse.right) / 2, cy = (int64_t{ellipse.top} + ellipse.bottom) / 2;
    const int64_t hx = (int64_t{ellipse.right} - ellipse.left) / 2, hy = (int64_t{ellipse.bottom} - ellipse.top) / 2;
    const Span span = Intersect(ellipse, self.box);
    for (int64_t x = span.left; x <= span.right; ++x)
        for (int64_t y = span.top; y <= span.bottom; ++y)
            if (AxisTerm(x - cx, hx) + AxisTerm(y - cy, hy) <= 1.0f && p.Pixel(x, y)) return true;
    return false;
}

bool CSprite::CollideLine(const SpritePose& self, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (frameCount <= 0) return false;
    if (x1 == x2 || y1 == y2)
        return CollideRectangle(self, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    DecodeMasks();
    const uint8_t* mask = GetMask(self.frame);
    if (!mask) return true;
    const Placed p(this, mask, self);
    const int64_t w = int64_t{x2} - x1, h = int64_t{y2} - y1;
    if (std::llabs(w) < std::llabs(h)) {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const float slope = static_cast<float>(int64_t{x2} - x1) / static_cast<float>(int64_t{y2} - y1);
        for (int64_t y = std::max(y1, self.box.top); y <= std::min(y2, self.box.bottom); ++y) {
            const float x = slope * static_cast<float>(y - y1) + static_cast<float>(x1);
            if (p.RotatedFloor(x, static_cast<float>(y))) return true;
        }
    } else {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const float slope = static_cast<float>(int64_t{y2} - y1) / static_cast<float>(int64_t{x2} - x1);
        for (int64_t x = std::max(x1, self.box.left); x <= std::min(x2, self.box.right); ++x) {
            const float y = slope * static_cast<float>(x - x1) + static_cast<float>(y1);
            if (p.RotatedFloor(static_cast<float>(x), y)) return true;
        }
    }
    return false;
}
