#pragma once
// Sprite names to table indices: open addressing with Robin Hood probing.
// Keys are not owned (they are the table's name strings); a look-up compares
// the 31-bit hash first and then the text, so two names that share a hash
// stay two keys.
#include <cstdint>

struct SpriteNameMapEntry {
    const char* key;
    int32_t value;
    uint32_t hash;  // 0 marks an empty entry
};

class SpriteNameMap {
public:
    SpriteNameMap();
    ~SpriteNameMap();
    SpriteNameMap(const SpriteNameMap&) = delete;
    SpriteNameMap& operator=(const SpriteNameMap&) = delete;

    // Empties the map, keeping its capacity.
    void Init();
    void Insert(const char* key, int32_t value);
    // The value stored for the key, -1 when there is none.
    int32_t Find(const char* key) const;
    void Remove(const char* key);
    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }

private:
    int32_t FindSlot(const char* key) const;
    void Grow();
    int32_t Distance(int32_t position, uint32_t hash) const;

    int32_t m_capacity = 128;
    int32_t m_count = 0;
    int32_t m_mask = 127;
    int32_t m_threshold = 102;
    SpriteNameMapEntry* m_entries = nullptr;
};
