#include "Animation/TransformConstraint.h"

#include <cmath>

#include "Animation/ConstraintMath.h"

using namespace constraint_math;

void TransformConstraint_Apply(TransformConstraint* constraint)
{
    const Bone* target = constraint->target;
    if (!target) return;
    const TransformConstraintData* data = constraint->data;
    const float ta = target->a, tb = target->b, tc = target->c, td = target->d;
    const float rotateMix = constraint->rotateMix, translateMix = constraint->translateMix;
    const float scaleMix = constraint->scaleMix, shearMix = constraint->shearMix;
    for (Bone* bone : constraint->bones) {
        if (rotateMix > 0) {
            const float r = WrapRadians(std::atan2(tc, ta) - std::atan2(bone->c, bone->a) + data->offsetRotation * kDegRad);
            RotateWorld(bone, r * rotateMix);
        }
        if (translateMix > 0) {
            float x, y;
            Bone_LocalToWorld(target, data->offsetX, data->offsetY, &x, &y);
            bone->worldX += (x - bone->worldX) * translateMix;
            bone->worldY += (y - bone->worldY) * translateMix;
        }
        if (scaleMix > 0) {
            // A bone scaled to nothing has no direction to scale along: it stays collapsed.
            float bs = std::sqrt(bone->a * bone->a + bone->c * bone->c);
            float ts = std::sqrt(ta * ta + tc * tc);
            float s = bs > 0.00001f ? (bs + (ts - bs + data->offsetScaleX) * scaleMix) / bs : 0;
            bone->a *= s;
            bone->c *= s;
            bs = std::sqrt(bone->b * bone->b + bone->d * bone->d);
            ts = std::sqrt(tb * tb + td * td);
            s = bs > 0.00001f ? (bs + (ts - bs + data->offsetScaleY) * scaleMix) / bs : 0;
            bone->b *= s;
            bone->d *= s;
        }
        if (shearMix > 0) {
            const float by = std::atan2(bone->d, bone->b);
            float r = WrapRadians(std::atan2(td, tb) - std::atan2(tc, ta) - (by - std::atan2(bone->c, bone->a)));
            r = by + (r + data->offsetShearY * kDegRad) * shearMix;
            const float s = std::sqrt(bone->b * bone->b + bone->d * bone->d);
            bone->b = std::cos(r) * s;
            bone->d = std::sin(r) * s;
        }
    }
}
