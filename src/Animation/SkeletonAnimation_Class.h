#pragma once
// The skeleton state of an instance whose sprite is a skeleton sprite. Until
// skeletal animation exists (SkeletonAnimation_Class_Stub.cpp) it remembers its skeleton
// data and the frame count of track 0.
#include <cstdint>

class CSkeletonInstance {
public:
    explicit CSkeletonInstance(const void* skeletonData) : data(skeletonData) {}
    // A new skeleton instance in the same state as other.
    static CSkeletonInstance* CopyFrom(const CSkeletonInstance* other);
    int32_t GetTrackFrameCount(int32_t track) const { return track == 0 ? trackFrames : 0; }

    const void* data;
    int32_t trackFrames = 0;
};
