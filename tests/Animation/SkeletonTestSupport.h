#pragma once
// Small skeletons built in code for the animation runtime's tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Animation/Skeleton.h"
#include "Animation/SkeletonData.h"
#include "Animation/Skin.h"

namespace skeleton_test {

struct SkeletonDeleter {
    void operator()(Skeleton* s) const { Skeleton_Destroy(s); }
};
using SkeletonPtr = std::unique_ptr<Skeleton, SkeletonDeleter>;

inline SkeletonPtr MakeSkeleton(const SkeletonData& data)
{
    std::string error;
    EXPECT_TRUE(SkeletonData_Check(&data, &error)) << error;
    return SkeletonPtr(Skeleton_Create(&data));
}

inline BoneData* AddBone(SkeletonData& data, const std::string& name, BoneData* parent, float x = 0, float y = 0, float rotation = 0,
                         float length = 0)
{
    BoneData* bone = SkeletonData_AddBone(&data, name, parent);
    bone->x = x, bone->y = y, bone->rotation = rotation, bone->length = length;
    return bone;
}

template <typename T>
T* AddAttachment(Skin* skin, int32_t slotIndex, const std::string& name)
{
    auto attachment = std::make_unique<T>(name);
    T* raw = attachment.get();
    Skin_AddAttachment(skin, slotIndex, name, std::move(attachment));
    return raw;
}

// The point at (lx, ly) of a bone, in skeleton space.
struct Point {
    float x, y;
};
inline Point LocalPoint(const Bone* bone, float lx, float ly)
{
    Point p;
    Bone_LocalToWorld(bone, lx, ly, &p.x, &p.y);
    return p;
}

// Restores the process-wide y-down switch after a test.
class YDownGuard {
public:
    ~YDownGuard() { Bone_SetYDown(false); }
};

} // namespace skeleton_test
