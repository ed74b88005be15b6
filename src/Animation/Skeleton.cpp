#include "Animation/Skeleton.h"

#include "Animation/IkConstraint.h"
#include "Animation/PathConstraint.h"
#include "Animation/Skin.h"
#include "Animation/TransformConstraint.h"

namespace {

// The live bone of a bone of the data, or null.
Bone* BoneOf(const Skeleton* skeleton, const BoneData* bone)
{
    return bone ? skeleton->bones[static_cast<size_t>(bone->index)].get() : nullptr;
}

std::vector<Bone*> ResolveBones(const Skeleton* skeleton, const std::vector<BoneData*>& bones)
{
    std::vector<Bone*> resolved;
    resolved.reserve(bones.size());
    for (const BoneData* bone : bones) resolved.push_back(BoneOf(skeleton, bone));
    return resolved;
}

// Update order ----------------------------------------------------------------

void SortBone(Skeleton* skeleton, Bone* bone)
{
    if (bone->sorted) return;
    if (bone->parent) SortBone(skeleton, bone->parent);
    bone->sorted = true;
    skeleton->updateOrder.push_back({UPDATE_BONE, bone});
}

void SortReset(const std::vector<Bone*>& children)
{
    for (Bone* child : children) {
        if (!child->sorted) continue;
        SortReset(child->children);
        child->sorted = false;
    }
}

// A path's bones: the slot's bone when unweighted, else every bone its
// weighted vertices name.
void SortPathBones(Skeleton* skeleton, const Attachment* attachment, Bone* slotBone)
{
    if (!attachment || attachment->kind != ATTACHMENT_PATH) return;
    const auto* path = static_cast<const PathAttachment*>(attachment);
    if (path->bones.empty()) {
        SortBone(skeleton, slotBone);
        return;
    }
    const size_t boneCount = skeleton->bones.size();
    for (size_t i = 0; i < path->bones.size();) {
        const size_t n = static_cast<size_t>(path->bones[i++]);
        for (size_t end = i + n; i < end && i < path->bones.size(); ++i) {
            const auto index = static_cast<size_t>(path->bones[i]);
            if (index < boneCount) SortBone(skeleton, skeleton->bones[index].get());
        }
    }
}

void SortPathSkin(Skeleton* skeleton, const Skin* skin, int32_t slotIndex, Bone* slotBone)
{
    for (auto it = skin->entries.rbegin(); it != skin->entries.rend(); ++it)
        if (it->slotIndex == slotIndex) SortPathBones(skeleton, it->attachment.get(), slotBone);
}

void MarkSorted(const std::vector<Bone*>& bones)
{
    for (Bone* bone : bones) bone->sorted = true;
}

void SortConstrained(Skeleton* skeleton, const std::vector<Bone*>& bones, UpdateEntry entry)
{
    for (Bone* bone : bones) SortBone(skeleton, bone);
    skeleton->updateOrder.push_back(entry);
    for (Bone* bone : bones) SortReset(bone->children);
    MarkSorted(bones);
}

void BuildUpdateOrder(Skeleton* skeleton)
{
    skeleton->updateOrder.clear();
    skeleton->updateOrder.reserve(skeleton->bones.size() + skeleton->ikConstraints.size() + skeleton->transformConstraints.size() +
                                  skeleton->pathConstraints.size());
    for (auto& bone : skeleton->bones) bone->sorted = false;

    // IK by level; among equal levels the later constraint comes first.
    auto& sorted = skeleton->ikConstraintsSorted;
    sorted.clear();
    for (auto& ik : skeleton->ikConstraints) {
        ik->level = 0;
        if (!ik->bones.empty())
            for (const Bone* b = ik->bones[0]->parent; b; b = b->parent) ++ik->level;
        size_t at = sorted.size();
        while (at > 0 && sorted[at - 1]->level >= ik->level) --at;
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(at), ik.get());
    }
    for (IkConstraint* ik : sorted) {
        if (ik->target) SortBone(skeleton, ik->target);
        if (!ik->bones.empty()) SortBone(skeleton, ik->bones.front());
        skeleton->updateOrder.push_back({UPDATE_IK_CONSTRAINT, ik});
        if (ik->bones.empty()) continue;
        SortReset(ik->bones.front()->children);
        ik->bones.back()->sorted = true;
    }

    for (auto& path : skeleton->pathConstraints) {
        if (Slot* slot = path->target) {
            const int32_t slotIndex = slot->data->index;
            const Skin* defaultSkin = skeleton->data->defaultSkin;
            if (skeleton->skin) SortPathSkin(skeleton, skeleton->skin, slotIndex, slot->bone);
            if (defaultSkin && defaultSkin != skeleton->skin) SortPathSkin(skeleton, defaultSkin, slotIndex, slot->bone);
            for (const auto& skin : skeleton->data->skins) SortPathSkin(skeleton, skin.get(), slotIndex, slot->bone);
            SortPathBones(skeleton, slot->attachment, slot->bone);
        }
        SortConstrained(skeleton, path->bones, {UPDATE_PATH_CONSTRAINT, path.get()});
    }

    for (auto& transform : skeleton->transformConstraints) {
        if (transform->target) SortBone(skeleton, transform->target);
        SortConstrained(skeleton, transform->bones, {UPDATE_TRANSFORM_CONSTRAINT, transform.get()});
    }

    for (auto& bone : skeleton->bones) SortBone(skeleton, bone.get());
}

} // namespace

Skeleton* Skeleton_Create(const SkeletonData* data)
{
    auto* skeleton = new Skeleton();
    skeleton->data = data;

    for (const auto& boneData : data->bones) {
        auto bone = std::make_unique<Bone>();
        bone->data = boneData.get();
        bone->skeleton = skeleton;
        if (boneData->parent) {
            bone->parent = BoneOf(skeleton, boneData->parent);
            bone->parent->children.push_back(bone.get());
        }
        bone->x = boneData->x, bone->y = boneData->y, bone->rotation = boneData->rotation;
        bone->scaleX = boneData->scaleX, bone->scaleY = boneData->scaleY;
        bone->shearX = boneData->shearX, bone->shearY = boneData->shearY;
        skeleton->bones.push_back(std::move(bone));
    }
    skeleton->root = skeleton->bones.empty() ? nullptr : skeleton->bones.front().get();

    for (const auto& slotData : data->slots) {
        auto slot = std::make_unique<Slot>();
        slot->data = slotData.get();
        slot->bone = BoneOf(skeleton, slotData->bone);
        skeleton->slots.push_back(std::move(slot));
        Slot_ApplySetupPose(skeleton->slots.back().get());
    }
    for (const auto& slot : skeleton->slots) skeleton->drawOrder.push_back(slot.get());

    for (const auto& ikData : data->ikConstraints) {
        auto ik = std::make_unique<IkConstraint>();
        ik->data = ikData.get();
        ik->bones = ResolveBones(skeleton, ikData->bones);
        ik->target = BoneOf(skeleton, ikData->target);
        ik->bendDirection = ikData->bendDirection;
        ik->mix = ikData->mix;
        skeleton->ikConstraints.push_back(std::move(ik));
    }
    for (const auto& transformData : data->transformConstraints) {
        auto transform = std::make_unique<TransformConstraint>();
        transform->data = transformData.get();
        transform->bones = ResolveBones(skeleton, transformData->bones);
        transform->target = BoneOf(skeleton, transformData->target);
        transform->rotateMix = transformData->rotateMix;
        transform->translateMix = transformData->translateMix;
        transform->scaleMix = transformData->scaleMix;
        transform->shearMix = transformData->shearMix;
        skeleton->transformConstraints.push_back(std::move(transform));
    }
    for (const auto& pathData : data->pathConstraints) {
        auto path = std::make_unique<PathConstraint>();
        path->data = pathData.get();
        path->bones = ResolveBones(skeleton, pathData->bones);
        path->target = pathData->target ? skeleton->slots[static_cast<size_t>(pathData->target->index)].get() : nullptr;
        path->position = pathData->position;
        path->spacing = pathData->spacing;
        path->rotateMix = pathData->rotateMix;
        path->translateMix = pathData->translateMix;
        skeleton->pathConstraints.push_back(std::move(path));
    }

    BuildUpdateOrder(skeleton);
    return skeleton;
}

void Skeleton_Destroy(Skeleton* skeleton) { delete skeleton; }

void Skeleton_ComputeWorldTransforms(Skeleton* skeleton)
{
    for (const UpdateEntry& entry : skeleton->updateOrder) {
        switch (entry.kind) {
        case UPDATE_BONE: Bone_ComputeWorld(static_cast<Bone*>(entry.object)); break;
        case UPDATE_IK_CONSTRAINT: IkConstraint_Apply(static_cast<IkConstraint*>(entry.object)); break;
        case UPDATE_PATH_CONSTRAINT: PathConstraint_Apply(static_cast<PathConstraint*>(entry.object)); break;
        case UPDATE_TRANSFORM_CONSTRAINT: TransformConstraint_Apply(static_cast<TransformConstraint*>(entry.object)); break;
        }
    }
}

void Skeleton_ResetSlots(Skeleton* skeleton)
{
    skeleton->drawOrder.clear();
    for (const auto& slot : skeleton->slots) skeleton->drawOrder.push_back(slot.get());
    for (const auto& slot : skeleton->slots) Slot_ApplySetupPose(slot.get());
}

void Skeleton_SetSkin(Skeleton* skeleton, const Skin* skin)
{
    if (skin) {
        if (skeleton->skin) {
            const Skin* old = skeleton->skin;
            for (auto it = old->entries.rbegin(); it != old->entries.rend(); ++it) {
                if (it->slotIndex < 0 || static_cast<size_t>(it->slotIndex) >= skeleton->slots.size()) continue;
                Slot* slot = skeleton->slots[static_cast<size_t>(it->slotIndex)].get();
                if (slot->attachment != it->attachment.get()) continue;
                if (Attachment* attachment = Skin_FindAttachment(skin, it->slotIndex, it->name)) Slot_SetAttachment(slot, attachment);
            }
        } else {
            for (size_t i = 0; i < skeleton->slots.size(); ++i) {
                Slot* slot = skeleton->slots[i].get();
                if (!slot->data->hasAttachmentName) continue;
                if (Attachment* attachment = Skin_FindAttachment(skin, static_cast<int32_t>(i), slot->data->attachmentName))
                    Slot_SetAttachment(slot, attachment);
            }
        }
    }
    skeleton->skin = skin;
}

bool Skeleton_SetSkinByName(Skeleton* skeleton, const char* name)
{
    if (!name) {
        Skeleton_SetSkin(skeleton, nullptr);
        return true;
    }
    const Skin* skin = SkeletonData_FindSkin(skeleton->data, name);
    if (!skin) return false;
    Skeleton_SetSkin(skeleton, skin);
    return true;
}

Attachment* Skeleton_LookupAttachment(const Skeleton* skeleton, int32_t slotIndex, const std::string& name)
{
    if (slotIndex == -1) return nullptr;
    if (skeleton->skin)
        if (Attachment* attachment = Skin_FindAttachment(skeleton->skin, slotIndex, name)) return attachment;
    if (skeleton->data->defaultSkin) return Skin_FindAttachment(skeleton->data->defaultSkin, slotIndex, name);
    return nullptr;
}

Bone* Skeleton_FindBone(const Skeleton* skeleton, const std::string& name)
{
    for (const auto& bone : skeleton->bones)
        if (bone->data->name == name) return bone.get();
    return nullptr;
}

Slot* Skeleton_FindSlot(const Skeleton* skeleton, const std::string& name)
{
    const int32_t index = Skeleton_FindSlotIndex(skeleton, name);
    return index < 0 ? nullptr : skeleton->slots[static_cast<size_t>(index)].get();
}

int32_t Skeleton_FindSlotIndex(const Skeleton* skeleton, const std::string& name)
{
    for (size_t i = 0; i < skeleton->slots.size(); ++i)
        if (skeleton->slots[i]->data->name == name) return static_cast<int32_t>(i);
    return -1;
}
