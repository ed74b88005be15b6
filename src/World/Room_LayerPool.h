#pragma once
// The process-wide free-list pools that layer records are recycled through.
// Records come from the memory manager in batches that double at each refill
// and are given back to it only when the pool is cleared at exit.
#include <cstdint>
#include <new>

#include "Base/MemoryManager.h"

template <typename T>
struct ObjectPool {
    T* firstFree = nullptr;
    int32_t freeCount = 0;
    int32_t batch = 0;

    ObjectPool() = default;
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;
    ~ObjectPool() { Clear(); }

    // Pre-fills the pool with its first batch (once per process).
    void SetUp(int32_t firstBatch)
    {
        batch = firstBatch;
        Refill();
    }

    // A record at its initial values; null only when out of memory.
    T* Take()
    {
        if (!firstFree) Refill();
        T* record = firstFree;
        if (!record) return nullptr;
        firstFree = static_cast<T*>(record->next);
        --freeCount;
        *record = T{};
        return record;
    }

    // The caller has released what the record owns.
    void Return(T* record)
    {
        *record = T{};
        record->next = firstFree;
        firstFree = record;
        ++freeCount;
    }

    void Clear()
    {
        while (T* record = firstFree) {
            firstFree = static_cast<T*>(record->next);
            QS_FREE(record);
        }
        freeCount = 0;
    }

private:
    void Refill()
    {
        const int32_t n = batch > 0 ? batch : 1;
        for (int32_t i = 0; i < n; ++i) {
            void* block = QS_ALLOC(sizeof(T), true);
            if (!block) break;
            T* record = new (block) T{};
            record->next = firstFree;
            firstFree = record;
            ++freeCount;
        }
        batch = n * 2;
    }
};
