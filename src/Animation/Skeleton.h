#pragma once
// A live skeleton: the posed state of one animated instance over shared setup
// data. Bones hold local transforms (written by animations) and world
// transforms (computed in the update order, which interleaves bones and
// constraints so that each constraint runs after what it reads).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Animation/SkeletonData.h"

struct Attachment;
struct Skeleton;

struct Bone {
    const BoneData* data = nullptr;
    Skeleton* skeleton = nullptr;
    Bone* parent = nullptr;
    std::vector<Bone*> children;
    float x = 0, y = 0, rotation = 0, scaleX = 1, scaleY = 1, shearX = 0, shearY = 0;
    // The rotation the last world transform was computed with.
    float appliedRotation = 0;
    // A point (lx, ly) of the bone lies at (a·lx + b·ly + worldX, c·lx + d·ly + worldY).
    float a = 1, b = 0, worldX = 0, c = 0, d = 1, worldY = 0;
    float worldSignX = 1, worldSignY = 1;
    bool sorted = false;
};

struct Slot {
    const SlotData* data = nullptr;
    Bone* bone = nullptr;
    float r = 1, g = 1, b = 1, a = 1;
    Attachment* attachment = nullptr;
    // Filled by deform keys; replaces (unweighted) or offsets (weighted) the
    // attachment's vertices while it is not empty.
    std::vector<float> deform;
    float attachmentTime = 0;
};

struct IkConstraint {
    const IkConstraintData* data = nullptr;
    std::vector<Bone*> bones;
    Bone* target = nullptr;
    int32_t bendDirection = 1;
    float mix = 1;
    // Ancestors of the first bone.
    int32_t level = 0;
};

struct TransformConstraint {
    const TransformConstraintData* data = nullptr;
    std::vector<Bone*> bones;
    Bone* target = nullptr;
    float rotateMix = 0, translateMix = 0, scaleMix = 0, shearMix = 0;
};

struct PathConstraint {
    const PathConstraintData* data = nullptr;
    std::vector<Bone*> bones;
    Slot* target = nullptr;
    float position = 0, spacing = 0, rotateMix = 0, translateMix = 0;
    // Scratch kept between poses.
    std::vector<float> spaces, positions, world, curves, lengths;
    float segments[10] = {};
};

enum UpdateKind : int32_t { UPDATE_BONE = 0, UPDATE_IK_CONSTRAINT = 1, UPDATE_PATH_CONSTRAINT = 2, UPDATE_TRANSFORM_CONSTRAINT = 3 };

struct UpdateEntry {
    UpdateKind kind;
    void* object;
};

struct Skeleton {
    const SkeletonData* data = nullptr;
    std::vector<std::unique_ptr<Bone>> bones;
    Bone* root = nullptr;
    std::vector<std::unique_ptr<Slot>> slots;
    std::vector<Slot*> drawOrder;
    std::vector<std::unique_ptr<IkConstraint>> ikConstraints;
    std::vector<IkConstraint*> ikConstraintsSorted;
    std::vector<std::unique_ptr<TransformConstraint>> transformConstraints;
    std::vector<std::unique_ptr<PathConstraint>> pathConstraints;
    const Skin* skin = nullptr;
    float r = 1, g = 1, b = 1, a = 1;
    float time = 0;
    bool flipX = false, flipY = false;
    float x = 0, y = 0;
    std::vector<UpdateEntry> updateOrder;
};

// The data must have passed SkeletonData_Check. World transforms are not
// computed here.
Skeleton* Skeleton_Create(const SkeletonData* data);
void Skeleton_Destroy(Skeleton* skeleton);
void Skeleton_ComputeWorldTransforms(Skeleton* skeleton);
// Draw order back to slot order and every slot to its setup pose.
void Skeleton_ResetSlots(Skeleton* skeleton);
// From a current skin, only slots still showing that skin's attachment
// change; without one, slots take the new skin's setup attachments. null
// changes no slot.
void Skeleton_SetSkin(Skeleton* skeleton, const Skin* skin);
// null name: no skin. An unknown name returns false and changes nothing.
bool Skeleton_SetSkinByName(Skeleton* skeleton, const char* name);
// The current skin's attachment, else the default skin's, else null.
Attachment* Skeleton_LookupAttachment(const Skeleton* skeleton, int32_t slotIndex, const std::string& name);
Bone* Skeleton_FindBone(const Skeleton* skeleton, const std::string& name);
Slot* Skeleton_FindSlot(const Skeleton* skeleton, const std::string& name);
int32_t Skeleton_FindSlotIndex(const Skeleton* skeleton, const std::string& name);

void Bone_ComputeWorld(Bone* bone);
void Bone_ComputeWorldWith(Bone* bone, float x, float y, float rotation, float scaleX, float scaleY, float shearX, float shearY);
void Bone_LocalToWorld(const Bone* bone, float lx, float ly, float* worldX, float* worldY);
// Process-wide: on, skeleton y grows downwards.
void Bone_SetYDown(bool yDown);
bool Bone_IsYDown();

// The same attachment again changes nothing; another one resets the
// attachment time and empties the deform array.
void Slot_SetAttachment(Slot* slot, Attachment* attachment);
void Slot_ApplySetupPose(Slot* slot);
