#include "Animation/IkConstraint.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Animation/ConstraintMath.h"

using namespace constraint_math;

void IkConstraint_Apply(IkConstraint* constraint)
{
    const Bone* target = constraint->target;
    if (!target) return;
    if (constraint->bones.size() == 1)
        IkConstraint_SolveOne(constraint->bones[0], target->worldX, target->worldY, constraint->mix);
    else if (constraint->bones.size() == 2)
        IkConstraint_SolveTwo(constraint->bones[0], constraint->bones[1], target->worldX, target->worldY, constraint->bendDirection,
                              constraint->mix);
}

void IkConstraint_SolveOne(Bone* bone, float tx, float ty, float alpha)
{
    float lx = 0, ly = 0;
    float r = 0;
    // A collapsed parent leaves the bone at its own rotation.
    if (WorldToFrame(ParentFrame(bone), tx, ty, &lx, &ly)) {
        r = std::atan2(ly - bone->y, lx - bone->x) * kRadDeg - bone->shearX - bone->rotation;
        if (bone->scaleX < 0) r += 180;
        r = WrapDegrees(r);
    }
    Bone_ComputeWorldWith(bone, bone->x, bone->y, bone->rotation + r * alpha, bone->scaleX, bone->scaleY, bone->shearX, bone->shearY);
}

namespace {

struct Extreme {
    float angle, distance, x, y;
};

// The elbow for a non-uniformly scaled parent: the bone ends lie on an
// ellipse around the child's origin. Returns a1, a2 in radians.
void SolveNonUniform(float tx, float ty, float l1, float l2, float psx, float psy, int32_t bendDir, float* a1, float* a2)
{
    const float a = psx * l2, b = psy * l2;
    const float ta = std::atan2(ty, tx);
    if (a == 0 && b == 0) {
        // A child of no length ends at its origin: point the parent.
        *a1 = ta;
        *a2 = 0;
        return;
    }
    const float aa = a * a, bb = b * b, ll = l1 * l1, dd = tx * tx + ty * ty;
    const float c0 = bb * ll + aa * dd - aa * bb, c1 = -2 * bb * l1, c2 = bb - aa;
    const float d = c1 * c1 - 4 * c2 * c0;
    if (d >= 0) {
        float q = std::sqrt(d);
        if (c1 < 0) q = -q;
        q = -(c1 + q) / 2;
        // A zero divisor leaves only the other root.
        const float r0 = c2 != 0 ? q / c2 : FLT_MAX, r1 = q != 0 ? c0 / q : FLT_MAX;
        const float r = std::fabs(r0) < std::fabs(r1) ? r0 : r1;
        if (r * r <= dd) {
            const float y = std::sqrt(dd - r * r) * static_cast<float>(bendDir);
            *a1 = ta - std::atan2(y, r);
            // atan2(y / psy, (r - l1) / psx) with both sides scaled by psx·psy,
            // defined when a scale is 0.
            *a2 = std::atan2(y * psx, (r - l1) * psy);
            return;
        }
    }
    Extreme minE{0, FLT_MAX, 0, 0}, maxE{0, 0, 0, 0};
    float x = l1 + a;
    float dist = x * x;
    if (dist > maxE.distance) maxE = {0, dist, x, 0};
    x = l1 - a;
    dist = x * x;
    if (dist < minE.distance) minE = {kPi, dist, x, 0};
    const float angle = std::acos(std::clamp(-a * l1 / (aa - bb), -1.0f, 1.0f));
    x = a * std::cos(angle) + l1;
    const float y = b * std::sin(angle);
    dist = x * x + y * y;
    if (dist < minE.distance) minE = {angle, dist, x, y};
    if (dist > maxE.distance) maxE = {angle, dist, x, y};
    const Extreme& e = dd <= (minE.distance + maxE.distance) / 2 ? minE : maxE;
    *a1 = ta - std::atan2(e.y * static_cast<float>(bendDir), e.x);
    *a2 = e.angle * static_cast<float>(bendDir);
}

} // namespace

void IkConstraint_SolveTwo(Bone* parent, Bone* child, float tx, float ty, int32_t bendDir, float alpha)
{
    if (alpha == 0) {
        Bone_ComputeWorld(child);
        return;
    }
    const float px = parent->x, py = parent->y;
    float psx = parent->scaleX, psy = parent->scaleY, csx = child->scaleX;
    float o1, o2, s2;
    if (psx < 0) {
        psx = -psx, o1 = 180, s2 = -1;
    } else {
        o1 = 0, s2 = 1;
    }
    if (psy < 0) psy = -psy, s2 = -s2;
    if (csx < 0) {
        csx = -csx, o2 = 180;
    } else {
        o2 = 0;
    }
    const float cx = child->x;
    const bool uniform = std::fabs(psx - psy) <= 0.0001f;
    float cy, cwx, cwy;
    if (uniform) {
        cy = child->y;
        cwx = parent->a * cx + parent->b * cy + parent->worldX;
        cwy = parent->c * cx + parent->d * cy + parent->worldY;
    } else {
        cy = 0;
        cwx = parent->a * cx + parent->worldX;
        cwy = parent->c * cx + parent->worldY;
    }
    const Frame pp = ParentFrame(parent);
    float ltx, lty, dx, dy;
    if (!WorldToFrame(pp, tx, ty, &ltx, &lty) || !WorldToFrame(pp, cwx, cwy, &dx, &dy)) {
        // The grandparent has collapsed: nothing to solve in.
        Bone_ComputeWorld(child);
        return;
    }
    ltx -= px, lty -= py, dx -= px, dy -= py;
    const float l1 = std::sqrt(dx * dx + dy * dy);
    float l2 = child->data->length * csx;
    float a1, a2;
    if (uniform) {
        l2 *= psx;
        const float denominator = 2 * l1 * l2;
        // With a bone of no length the chain is straight.
        float cosine = denominator != 0 ? (ltx * ltx + lty * lty - l1 * l1 - l2 * l2) / denominator : 1;
        cosine = std::clamp(cosine, -1.0f, 1.0f);
        a2 = std::acos(cosine) * static_cast<float>(bendDir);
        const float a = l1 + l2 * cosine, b = l2 * std::sin(a2);
        a1 = std::atan2(lty * a - ltx * b, ltx * a + lty * b);
    } else {
        SolveNonUniform(ltx, lty, l1, l2, psx, psy, bendDir, &a1, &a2);
    }
    const float os = std::atan2(cy, cx) * s2;
    a1 = WrapDegrees((a1 - os) * kRadDeg + o1 - parent->rotation);
    Bone_ComputeWorldWith(parent, px, py, parent->rotation + a1 * alpha, parent->scaleX, parent->scaleY, 0, 0);
    a2 = WrapDegrees(((a2 + os) * kRadDeg - child->shearX) * s2 + o2 - child->rotation);
    Bone_ComputeWorldWith(child, cx, cy, child->rotation + a2 * alpha, child->scaleX, child->scaleY, child->shearX, child->shearY);
}
