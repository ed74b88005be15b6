// Stand-ins: see Skeleton.h.
#include "Animation/Skeleton.h"

CSkeletonInstance* CSkeletonInstance::CopyFrom(const CSkeletonInstance* other)
{
    auto* copy = new CSkeletonInstance(other->data);
    copy->trackFrames = other->trackFrames;
    return copy;
}
