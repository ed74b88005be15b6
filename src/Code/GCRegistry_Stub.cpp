// Stand-ins: see GCRegistry.h.
#include "Code/GCRegistry.h"

#include "Base/MemoryManager.h"
#include "Code/ObjectBase.h"

namespace {
KVObjectBase** s_entries = nullptr;
int32_t s_capacity = 0;
int32_t s_count = 0;
int32_t s_lastUsed = 0;
}  // namespace

int32_t GCRegistry::Add(KVObjectBase* object)
{
    if (s_count >= s_capacity) {
        int32_t grown = s_capacity ? s_capacity * 3 / 2 : 128;
        auto* entries = static_cast<KVObjectBase**>(QS_REALLOC(s_entries, sizeof(KVObjectBase*) * static_cast<size_t>(grown)));
        if (!entries) return -1;
        for (int32_t i = s_capacity; i < grown; ++i) entries[i] = nullptr;
        s_entries = entries;
        s_capacity = grown;
    }
    int32_t index = s_lastUsed;
    for (int32_t probes = 0; probes < s_capacity; ++probes, ++index) {
        if (index >= s_capacity) index = 0;
        if (!s_entries[index]) {
            s_entries[index] = object;
            ++s_count;
            s_lastUsed = index;
            return index;
        }
    }
    return -1;
}

void GCRegistry::Remove(KVObjectBase* object)
{
    int32_t index = object->m_registryIndex;
    if (index < 0 || index >= s_capacity || s_entries[index] != object) return;
    s_entries[index] = nullptr;
    --s_count;
    s_lastUsed = index;
    object->m_registryIndex = -1;
}

KVObjectBase* GCRegistry::At(int32_t index)
{
    return index >= 0 && index < s_capacity ? s_entries[index] : nullptr;
}

void GC_Collect(void*) {}
