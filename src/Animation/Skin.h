#pragma once
// A skin: attachments keyed by slot index and name. A newer entry with the
// same key hides an older one, which stays owned by the skin.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Animation/Attachment.h"

struct SkinEntry {
    int32_t slotIndex = 0;
    std::string name;
    std::unique_ptr<Attachment> attachment;
};

struct Skin {
    std::string name;
    // Oldest first: lookups walk it from the back, newest first.
    std::vector<SkinEntry> entries;
};

void Skin_AddAttachment(Skin* skin, int32_t slotIndex, const std::string& name, std::unique_ptr<Attachment> attachment);
// The newest entry with that slot index and exactly that name, or null.
Attachment* Skin_FindAttachment(const Skin* skin, int32_t slotIndex, const std::string& name);
