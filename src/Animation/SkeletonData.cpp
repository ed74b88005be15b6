#include "Animation/SkeletonData.h"

#include "Animation/Skin.h"

SkeletonData::SkeletonData() = default;
SkeletonData::~SkeletonData() = default;

SkeletonData* SkeletonData_Create() { return new SkeletonData(); }
void SkeletonData_Destroy(SkeletonData* data) { delete data; }

namespace {

template <typename T>
T* FindByName(const std::vector<std::unique_ptr<T>>& list, const std::string& name)
{
    for (const auto& item : list)
        if (item->name == name) return item.get();
    return nullptr;
}

template <typename T>
int32_t FindIndexByName(const std::vector<std::unique_ptr<T>>& list, const std::string& name)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->name == name) return static_cast<int32_t>(i);
    return -1;
}

template <typename T>
T* Append(std::vector<std::unique_ptr<T>>& list, const std::string& name)
{
    list.push_back(std::make_unique<T>());
    list.back()->name = name;
    return list.back().get();
}

} // namespace

BoneData* SkeletonData_FindBone(const SkeletonData* data, const std::string& name) { return FindByName(data->bones, name); }
SlotData* SkeletonData_FindSlot(const SkeletonData* data, const std::string& name) { return FindByName(data->slots, name); }
Skin* SkeletonData_FindSkin(const SkeletonData* data, const std::string& name) { return FindByName(data->skins, name); }
EventData* SkeletonData_FindEvent(const SkeletonData* data, const std::string& name) { return FindByName(data->events, name); }
IkConstraintData* SkeletonData_FindIkConstraint(const SkeletonData* data, const std::string& name)
{
    return FindByName(data->ikConstraints, name);
}
TransformConstraintData* SkeletonData_FindTransformConstraint(const SkeletonData* data, const std::string& name)
{
    return FindByName(data->transformConstraints, name);
}
PathConstraintData* SkeletonData_FindPathConstraint(const SkeletonData* data, const std::string& name)
{
    return FindByName(data->pathConstraints, name);
}
int32_t SkeletonData_FindBoneIndex(const SkeletonData* data, const std::string& name) { return FindIndexByName(data->bones, name); }
int32_t SkeletonData_FindSlotIndex(const SkeletonData* data, const std::string& name) { return FindIndexByName(data->slots, name); }

BoneData* SkeletonData_AddBone(SkeletonData* data, const std::string& name, BoneData* parent)
{
    BoneData* bone = Append(data->bones, name);
    bone->index = static_cast<int32_t>(data->bones.size() - 1);
    bone->parent = parent;
    return bone;
}

SlotData* SkeletonData_AddSlot(SkeletonData* data, const std::string& name, BoneData* bone)
{
    SlotData* slot = Append(data->slots, name);
    slot->index = static_cast<int32_t>(data->slots.size() - 1);
    slot->bone = bone;
    return slot;
}

Skin* SkeletonData_AddSkin(SkeletonData* data, const std::string& name)
{
    Skin* skin = Append(data->skins, name);
    if (name == "default" && !data->defaultSkin) data->defaultSkin = skin;
    return skin;
}

EventData* SkeletonData_AddEvent(SkeletonData* data, const std::string& name) { return Append(data->events, name); }
IkConstraintData* SkeletonData_AddIkConstraint(SkeletonData* data, const std::string& name)
{
    return Append(data->ikConstraints, name);
}
TransformConstraintData* SkeletonData_AddTransformConstraint(SkeletonData* data, const std::string& name)
{
    return Append(data->transformConstraints, name);
}
PathConstraintData* SkeletonData_AddPathConstraint(SkeletonData* data, const std::string& name)
{
    return Append(data->pathConstraints, name);
}

void SlotData_SetAttachmentName(SlotData* slot, const char* name)
{
    slot->hasAttachmentName = name != nullptr;
    slot->attachmentName = name ? name : "";
}

Event Event_Create(float time, const EventData* data)
{
    Event event;
    event.data = data;
    event.time = time;
    return event;
}
