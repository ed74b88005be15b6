#include "Animation/Skin.h"

void Skin_AddAttachment(Skin* skin, int32_t slotIndex, const std::string& name, std::unique_ptr<Attachment> attachment)
{
    skin->entries.push_back(SkinEntry{slotIndex, name, std::move(attachment)});
}

Attachment* Skin_FindAttachment(const Skin* skin, int32_t slotIndex, const std::string& name)
{
    for (auto it = skin->entries.rbegin(); it != skin->entries.rend(); ++it)
        if (it->slotIndex == slotIndex && it->name == name) return it->attachment.get();
    return nullptr;
}
