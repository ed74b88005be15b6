#include "Sprite/Sprite_NameMap.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "Base/MurmurHash3.h"

namespace {
uint32_t HashOf(const char* key)
{
    const uint32_t h = MurmurHash3_String(key) & 0x7FFFFFFFu;
    return h == 0 ? 1 : h;  // 0 is the empty mark
}

bool SameKey(const SpriteNameMapEntry& e, uint32_t hash, const char* key)
{
    return e.hash == hash && (e.key == key || (e.key && key && std::strcmp(e.key, key) == 0));
}
}  // namespace

SpriteNameMap::SpriteNameMap()
{
    Init();
}

SpriteNameMap::~SpriteNameMap()
{
    std::free(m_entries);
}

void SpriteNameMap::Init()
{
    std::free(m_entries);
    m_entries = static_cast<SpriteNameMapEntry*>(std::calloc(size_t(m_capacity), sizeof(SpriteNameMapEntry)));
    m_mask = m_capacity - 1;
    m_count = 0;
    m_threshold = static_cast<int32_t>(static_cast<float>(m_capacity) * 0.8f);
}

int32_t SpriteNameMap::Distance(int32_t position, uint32_t hash) const
{
    return (m_capacity + position - static_cast<int32_t>(hash & uint32_t(m_mask))) & m_mask;
}

int32_t SpriteNameMap::FindSlot(const char* key) const
{
    if (!m_entries) return -1;
    const uint32_t h = HashOf(key);
    int32_t p = static_cast<int32_t>(h & uint32_t(m_mask));
    for (int32_t i = 0; i < m_capacity; ++i) {
        const SpriteNameMapEntry& e = m_entries[p];
        if (e.hash == 0 || i > Distance(p, e.hash)) return -1;
        if (SameKey(e, h, key)) return p;
        p = (p + 1) & m_mask;
    }
    return -1;
}

int32_t SpriteNameMap::Find(const char* key) const
{
    const int32_t p = FindSlot(key);
    return p < 0 ? -1 : m_entries[p].value;
}

void SpriteNameMap::Insert(const char* key, int32_t value)
{
    if (!key) return;
    if (m_count >= m_threshold) Grow();
    if (!m_entries) return;
    SpriteNameMapEntry carried{key, value, HashOf(key)};
    int32_t p = static_cast<int32_t>(carried.hash & uint32_t(m_mask)), d = 0;
    for (;;) {
        SpriteNameMapEntry& e = m_entries[p];
        if (e.hash == 0) {
            e = carried;
            ++m_count;
            return;
        }
        // The same name again (only possible while it is still the carried key) replaces its entry.
        if (SameKey(e, carried.hash, carried.key)) {
            e.key = carried.key;
            e.value = carried.value;
            return;
        }
        const int32_t existing = Distance(p, e.hash);
        if (existing < d) {
            std::swap(carried, e);
            d = existing;
        }
        p = (p + 1) & m_mask;
        ++d;
    }
}

void SpriteNameMap::Remove(const char* key)
{
    int32_t p = FindSlot(key);
    if (p < 0) return;
    for (;;) {
        const int32_t next = (p + 1) & m_mask;
        if (m_entries[next].hash == 0 || Distance(next, m_entries[next].hash) == 0) break;
        m_entries[p] = m_entries[next];
        p = next;
    }
    m_entries[p] = SpriteNameMapEntry{};
    --m_count;
}

void SpriteNameMap::Grow()
{
    SpriteNameMapEntry* old = m_entries;
    const int32_t oldCapacity = m_capacity, oldCount = m_count;
    m_capacity *= 2;
    m_entries = nullptr;
    Init();
    if (!m_entries) {
        // No memory for the larger array: keep the old one.
        m_capacity = oldCapacity;
        m_entries = old;
        m_mask = m_capacity - 1;
        m_count = oldCount;
        m_threshold = m_capacity;  // full before it grows again
        return;
    }
    for (int32_t i = 0; i < oldCapacity; ++i)
        if (old[i].hash != 0) Insert(old[i].key, old[i].value);
    std::free(old);
}
