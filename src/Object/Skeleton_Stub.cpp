// STAND-IN: see Skeleton_Stub.h.
#include "Object/Skeleton_Stub.h"

CSkeletonInstance* CSkeletonInstance::CopyFrom(const CSkeletonInstance* other)
{
    auto* copy = new CSkeletonInstance(other->data);
    copy->trackFrames = other->trackFrames;
    return copy;
}
