#pragma once
// Helpers the constraint solvers share.
#include <cmath>

#include "Animation/Skeleton.h"

namespace constraint_math {

constexpr float kRadDeg = 57.295776f;
constexpr float kDegRad = 0.017453292f;
constexpr float kPi = 3.1415927f;
constexpr float kPi2 = 6.2831855f;

// Once into -180..180 (degrees) or -pi..pi (radians).
inline float WrapDegrees(float r)
{
    if (r > 180) return r - 360;
    if (r < -180) return r + 360;
    return r;
}

inline float WrapRadians(float r)
{
    if (r > kPi) return r - kPi2;
    if (r < -kPi) return r + kPi2;
    return r;
}

// The world transform a bone's local values are relative to: its parent's,
// or for a root the skeleton's own frame (identity, mirrored by the flips
// the root itself takes).
struct Frame {
    float a, b, c, d, worldX, worldY;
};

inline Frame ParentFrame(const Bone* bone)
{
    if (const Bone* p = bone->parent) return {p->a, p->b, p->c, p->d, p->worldX, p->worldY};
    const Skeleton* skeleton = bone->skeleton;
    return {skeleton->flipX ? -1.0f : 1.0f, 0, 0, skeleton->flipY != Bone_IsYDown() ? -1.0f : 1.0f, 0, 0};
}

// A world point in the frame's local space; false when the frame has
// collapsed (no inverse).
inline bool WorldToFrame(const Frame& f, float wx, float wy, float* lx, float* ly)
{
    const float det = f.a * f.d - f.b * f.c;
    if (det == 0 || !std::isfinite(det)) return false;
    const float id = 1 / det;
    const float x = wx - f.worldX, y = wy - f.worldY;
    *lx = (x * f.d - y * f.b) * id;
    *ly = (y * f.a - x * f.c) * id;
    return std::isfinite(*lx) && std::isfinite(*ly);
}

inline void RotateWorld(Bone* bone, float r)
{
    const float cs = std::cos(r), sn = std::sin(r);
    const float a = bone->a, b = bone->b, c = bone->c, d = bone->d;
    bone->a = cs * a - sn * c;
    bone->b = cs * b - sn * d;
    bone->c = sn * a + cs * c;
    bone->d = sn * b + cs * d;
}

} // namespace constraint_math
