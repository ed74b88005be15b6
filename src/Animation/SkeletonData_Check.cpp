#include "Animation/SkeletonData.h"

#include "Animation/Skin.h"

namespace {

bool Fail(std::string* error, const char* message, const std::string& name)
{
    *error = std::string(message) + name;
    return false;
}

template <typename T>
bool Owns(const std::vector<std::unique_ptr<T>>& list, const T* record)
{
    return record && record->index >= 0 && static_cast<size_t>(record->index) < list.size() && list[static_cast<size_t>(record->index)].get() == record;
}

bool CheckConstraintBones(const SkeletonData* data, const std::vector<BoneData*>& bones, const std::string& name, std::string* error)
{
    if (bones.empty()) return Fail(error, "Constraint has no bones: ", name);
    for (const BoneData* bone : bones)
        if (!Owns(data->bones, bone)) return Fail(error, "Constraint bone not in the skeleton: ", name);
    return true;
}

bool CheckVertices(const VertexAttachment* attachment, size_t boneCount, std::string* error)
{
    const int32_t length = attachment->worldVerticesLength;
    if (length < 0 || length % 2 != 0) return Fail(error, "Invalid vertex count: ", attachment->name);
    if (attachment->bones.empty()) {
        if (attachment->vertices.size() != static_cast<size_t>(length)) return Fail(error, "Invalid vertex count: ", attachment->name);
        return true;
    }
    // Weighted: every vertex a bone count and that many bone indices, one
    // x, y, weight triple per index.
    const std::vector<int32_t>& bones = attachment->bones;
    size_t vertexCount = 0, weights = 0;
    for (size_t i = 0; i < bones.size(); ++vertexCount) {
        const int32_t n = bones[i++];
        if (n < 0 || static_cast<size_t>(n) > bones.size() - i) return Fail(error, "Weighted vertices run past their end: ", attachment->name);
        for (int32_t k = 0; k < n; ++k, ++i)
            if (bones[i] < 0 || static_cast<size_t>(bones[i]) >= boneCount) return Fail(error, "Bone index out of range: ", attachment->name);
        weights += static_cast<size_t>(n);
    }
    if (vertexCount * 2 != static_cast<size_t>(length) || weights * 3 != attachment->vertices.size())
        return Fail(error, "Invalid vertex count: ", attachment->name);
    return true;
}

bool CheckAttachment(const Attachment* attachment, size_t boneCount, std::string* error)
{
    if (!Attachment_HasVertices(attachment)) return true;
    const auto* vertexAttachment = static_cast<const VertexAttachment*>(attachment);
    if (!CheckVertices(vertexAttachment, boneCount, error)) return false;
    const size_t length = static_cast<size_t>(vertexAttachment->worldVerticesLength);
    if (attachment->kind == ATTACHMENT_MESH) {
        const auto* mesh = static_cast<const MeshAttachment*>(attachment);
        if (mesh->triangles.size() % 3 != 0) return Fail(error, "Invalid triangle count: ", attachment->name);
        for (const uint16_t index : mesh->triangles)
            if (index >= length / 2) return Fail(error, "Triangle index out of range: ", attachment->name);
        if (mesh->regionUVs.size() != length) return Fail(error, "Invalid uv count: ", attachment->name);
    } else if (attachment->kind == ATTACHMENT_PATH) {
        if (length % 6 != 0 || static_cast<const PathAttachment*>(attachment)->lengths.size() != length / 6)
            return Fail(error, "Invalid path lengths: ", attachment->name);
    }
    return true;
}

} // namespace

bool SkeletonData_Check(const SkeletonData* data, std::string* error)
{
    for (size_t i = 0; i < data->bones.size(); ++i) {
        const BoneData* bone = data->bones[i].get();
        if (bone->index != static_cast<int32_t>(i)) return Fail(error, "Bone out of place: ", bone->name);
        if (bone->parent && !(Owns(data->bones, bone->parent) && bone->parent->index < bone->index))
            return Fail(error, "Parent bone not found: ", bone->name);
    }
    for (size_t i = 0; i < data->slots.size(); ++i) {
        const SlotData* slot = data->slots[i].get();
        if (slot->index != static_cast<int32_t>(i)) return Fail(error, "Slot out of place: ", slot->name);
        if (!Owns(data->bones, slot->bone)) return Fail(error, "Slot bone not found: ", slot->name);
    }
    for (const auto& ik : data->ikConstraints) {
        if (!CheckConstraintBones(data, ik->bones, ik->name, error)) return false;
        if (!Owns(data->bones, ik->target)) return Fail(error, "Target bone not found: ", ik->name);
    }
    for (const auto& transform : data->transformConstraints) {
        if (!CheckConstraintBones(data, transform->bones, transform->name, error)) return false;
        if (!Owns(data->bones, transform->target)) return Fail(error, "Target bone not found: ", transform->name);
    }
    for (const auto& path : data->pathConstraints) {
        if (!CheckConstraintBones(data, path->bones, path->name, error)) return false;
        if (!Owns(data->slots, path->target)) return Fail(error, "Target slot not found: ", path->name);
    }
    for (const auto& skin : data->skins) {
        for (const SkinEntry& entry : skin->entries) {
            if (!entry.attachment) return Fail(error, "Skin entry without an attachment: ", entry.name);
            if (!CheckAttachment(entry.attachment.get(), data->bones.size(), error)) return false;
        }
    }
    return true;
}
