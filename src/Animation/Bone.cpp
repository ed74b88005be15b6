#include <cmath>

#include "Animation/Skeleton.h"

namespace {

constexpr float kDegRad = 0.017453292f;
bool yDown = false;

// Rotates the running parent matrix by an ancestor's applied rotation.
void RotateBy(float cs, float sn, float& pa, float& pb, float& pc, float& pd)
{
    const float ta = pa * cs + pb * sn, tb = pb * cs - pa * sn;
    const float tc = pc * cs + pd * sn, td = pd * cs - pc * sn;
    pa = ta, pb = tb, pc = tc, pd = td;
}

} // namespace

void Bone_SetYDown(bool on) { yDown = on; }
bool Bone_IsYDown() { return yDown; }

void Bone_ComputeWorldWith(Bone* bone, float x, float y, float rotation, float scaleX, float scaleY, float shearX, float shearY)
{
    bone->appliedRotation = rotation;
    const float rx = (rotation + shearX) * kDegRad;
    const float ry = (rotation + 90 + shearY) * kDegRad;
    const float la = std::cos(rx) * scaleX, lb = std::cos(ry) * scaleY;
    const float lc = std::sin(rx) * scaleX, ld = std::sin(ry) * scaleY;
    const Skeleton* skeleton = bone->skeleton;
    const bool flipX = skeleton->flipX;
    const bool flipY = skeleton->flipY != yDown;
    const Bone* parent = bone->parent;
    if (!parent) {
        bone->a = la, bone->b = lb, bone->c = lc, bone->d = ld;
        bone->worldX = x, bone->worldY = y;
        if (flipX) bone->a = -bone->a, bone->b = -bone->b, bone->worldX = -bone->worldX;
        if (flipY) bone->c = -bone->c, bone->d = -bone->d, bone->worldY = -bone->worldY;
        bone->worldSignX = scaleX > 0 ? 1.0f : -1.0f;
        bone->worldSignY = scaleY > 0 ? 1.0f : -1.0f;
        return;
    }
    float pa = parent->a, pb = parent->b, pc = parent->c, pd = parent->d;
    bone->worldX = pa * x + pb * y + parent->worldX;
    bone->worldY = pc * x + pd * y + parent->worldY;
    bone->worldSignX = parent->worldSignX * (scaleX > 0 ? 1.0f : -1.0f);
    bone->worldSignY = parent->worldSignY * (scaleY > 0 ? 1.0f : -1.0f);
    const bool inheritRotation = bone->data->inheritRotation, inheritScale = bone->data->inheritScale;
    if (inheritRotation && inheritScale) {
        bone->a = pa * la + pb * lc;
        bone->b = pa * lb + pb * ld;
        bone->c = pc * la + pd * lc;
        bone->d = pc * lb + pd * ld;
        return;
    }
    if (inheritRotation) {
        pa = 1, pb = 0, pc = 0, pd = 1;
        for (const Bone* q = parent; q; q = q->parent) {
            const float r = q->appliedRotation * kDegRad;
            RotateBy(std::cos(r), std::sin(r), pa, pb, pc, pd);
            if (!q->data->inheritRotation) break;
        }
    } else if (inheritScale) {
        pa = 1, pb = 0, pc = 0, pd = 1;
        for (const Bone* q = parent; q; q = q->parent) {
            const float r = q->appliedRotation * kDegRad;
            const float psx = q->scaleX, psy = q->scaleY;
            const float cs = std::cos(r);
            float sn = std::sin(r);
            const float za = cs * psx, zb = sn * psy, zc = sn * psx, zd = cs * psy;
            float ta = pa * za + pb * zc, tb = pb * zd - pa * zb;
            float tc = pc * za + pd * zc, td = pd * zd - pc * zb;
            pa = ta, pb = tb, pc = tc, pd = td;
            if (psx >= 0) sn = -sn;
            RotateBy(cs, sn, pa, pb, pc, pd);
            if (!q->data->inheritScale) break;
        }
    } else {
        pa = 1, pb = 0, pc = 0, pd = 1;
    }
    bone->a = pa * la + pb * lc;
    bone->b = pa * lb + pb * ld;
    bone->c = pc * la + pd * lc;
    bone->d = pc * lb + pd * ld;
    if (flipX) bone->a = -bone->a, bone->b = -bone->b;
    if (flipY) bone->c = -bone->c, bone->d = -bone->d;
}

void Bone_ComputeWorld(Bone* bone)
{
    Bone_ComputeWorldWith(bone, bone->x, bone->y, bone->rotation, bone->scaleX, bone->scaleY, bone->shearX, bone->shearY);
}

void Bone_LocalToWorld(const Bone* bone, float lx, float ly, float* worldX, float* worldY)
{
    *worldX = bone->a * lx + bone->b * ly + bone->worldX;
    *worldY = bone->c * lx + bone->d * ly + bone->worldY;
}
