#include "Graphics/TexturePageHandles.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace {

std::vector<const STexturePageEntry*>& Entries()
{
    static std::vector<const STexturePageEntry*> entries;
    return entries;
}

std::unordered_map<const STexturePageEntry*, int>& Handles()
{
    static std::unordered_map<const STexturePageEntry*, int> handles;
    return handles;
}

}  // namespace

int TPE_GetHandle(const STexturePageEntry* entry)
{
    if (!entry) return -1;
    auto found = Handles().find(entry);
    if (found != Handles().end()) return found->second;
    const int handle = kTexturePageHandleBase + static_cast<int>(Entries().size());
    Entries().push_back(entry);
    Handles().emplace(entry, handle);
    return handle;
}

const STexturePageEntry* TPE_FromHandle(int handle)
{
    if (handle < kTexturePageHandleBase) return nullptr;
    const std::size_t index = static_cast<std::size_t>(handle - kTexturePageHandleBase);
    return index < Entries().size() ? Entries()[index] : nullptr;
}

void TPE_ForgetEntry(const STexturePageEntry* entry)
{
    auto found = Handles().find(entry);
    if (found == Handles().end()) return;
    // The slot stays taken, so the old number never names a later entry.
    Entries()[static_cast<std::size_t>(found->second - kTexturePageHandleBase)] = nullptr;
    Handles().erase(found);
}

void TPE_ForgetAllHandles()
{
    // Numbers keep growing across loads; only the entries are forgotten.
    for (auto& entry : Entries()) entry = nullptr;
    Handles().clear();
}
