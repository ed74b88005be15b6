#pragma once
// The id maps of a room's layers: integer-keyed open addressing with Robin
// Hood probing under the same rules as the object slot hash (hash = key + 1
// with bit 31 cleared, 0 = empty, doubling when the count exceeds 0.8 x
// capacity), holding pointers and supporting deletion. The slot array comes
// from the plain heap and is made on first use.
#include <cstdint>
#include <cstdlib>

template <typename T>
struct LayerIdMap {
    static constexpr int32_t kInitialCapacity = 128;

    struct Entry {
        int32_t key;
        T* value;
        uint32_t hash;  // 0 = empty
    };

    int32_t capacity = kInitialCapacity;
    int32_t count = 0;
    int32_t mask = kInitialCapacity - 1;
    int32_t growThreshold = 102;
    Entry* entries = nullptr;

    LayerIdMap() = default;
    LayerIdMap(const LayerIdMap&) = delete;
    LayerIdMap& operator=(const LayerIdMap&) = delete;
    ~LayerIdMap() { Free(); }

    static uint32_t HashKey(int32_t key) { return (static_cast<uint32_t>(key) + 1u) & 0x7FFFFFFFu; }

    // A fresh, empty slot array of that capacity (a power of two); false when out of memory.
    bool Init(int32_t newCapacity)
    {
        auto* fresh = static_cast<Entry*>(std::calloc(static_cast<size_t>(newCapacity), sizeof(Entry)));
        if (!fresh) return false;
        std::free(entries);
        entries = fresh;
        capacity = newCapacity;
        count = 0;
        mask = newCapacity - 1;
        growThreshold = static_cast<int32_t>(static_cast<float>(newCapacity) * 0.8f);
        return true;
    }

    void Free()
    {
        std::free(entries);
        entries = nullptr;
        count = 0;
    }

    // Frees the slot array and returns to the first capacity (a room reset).
    void Reset()
    {
        Free();
        capacity = kInitialCapacity;
        mask = kInitialCapacity - 1;
        growThreshold = static_cast<int32_t>(static_cast<float>(kInitialCapacity) * 0.8f);
    }

    T* Find(int32_t key) const
    {
        const int32_t slot = FindSlot(key);
        return slot < 0 ? nullptr : entries[slot].value;
    }

    // Inserts, or replaces the value of a present key. A key whose hash is 0
    // (-1) could never be found, so it is not stored.
    void Insert(int32_t key, T* value)
    {
        if (HashKey(key) == 0 || (!entries && !Init(capacity))) return;
        if (count > growThreshold) Grow();
        Entry carried{key, value, HashKey(key)};
        int32_t slot = static_cast<int32_t>(carried.hash) & mask;
        for (int32_t distance = 0;; ++distance, slot = (slot + 1) & mask) {
            Entry& resident = entries[slot];
            if (resident.hash == 0) {
                resident = carried;
                ++count;
                return;
            }
            const int32_t residentDistance = Distance(slot);
            if (residentDistance == distance && resident.hash == carried.hash && resident.key == carried.key) {
                resident.value = carried.value;
                return;
            }
            if (residentDistance < distance) {
                const Entry displaced = resident;
                resident = carried;
                carried = displaced;
                distance = residentDistance;
            }
        }
    }

    void Delete(int32_t key)
    {
        int32_t slot = FindSlot(key);
        if (slot < 0) return;
        // Displaced followers slide back one slot each.
        for (int32_t next = (slot + 1) & mask; entries[next].hash != 0 && Distance(next) != 0;
             next = (next + 1) & mask) {
            entries[slot] = entries[next];
            slot = next;
        }
        entries[slot] = Entry{0, nullptr, 0};
        --count;
    }

private:
    int32_t Distance(int32_t slot) const
    {
        return (capacity + slot - (static_cast<int32_t>(entries[slot].hash) & mask)) & mask;
    }

    int32_t FindSlot(int32_t key) const
    {
        if (!entries) return -1;
        const uint32_t hash = HashKey(key);
        int32_t slot = static_cast<int32_t>(hash) & mask;
        for (int32_t probes = 0; probes <= capacity; ++probes, slot = (slot + 1) & mask) {
            const Entry& e = entries[slot];
            if (e.hash == 0 || probes > Distance(slot)) return -1;
            // Two keys can share a hash (-2 and 0x7FFFFFFE): the key decides.
            if (e.hash == hash && e.key == key) return slot;
        }
        return -1;
    }

    void Grow()
    {
        Entry* old = entries;
        const int32_t oldCapacity = capacity;
        entries = nullptr;
        if (!Init(oldCapacity * 2)) {
            // Out of memory: keep probing the full array rather than lose entries.
            entries = old;
            return;
        }
        for (int32_t i = 0; i < oldCapacity; ++i) {
            if (old[i].hash != 0) Insert(old[i].key, old[i].value);
        }
        std::free(old);
    }
};
