// Stand-ins: see SkeletonAnimation_Class.h.
#include "Animation/SkeletonAnimation_Class.h"

CSkeletonInstance* CSkeletonInstance::CopyFrom(const CSkeletonInstance* other)
{
    auto* copy = new CSkeletonInstance(other->data);
    copy->trackFrames = other->trackFrames;
    return copy;
}
