#pragma once
// A doubling list of small values (pointers, ids) with unique insertion.
// Callers may also reset `count` to 0 and refill the list.
#include <cstdint>
#include <type_traits>

#include "Base/MemoryManager.h"

template <typename T>
struct List {
    static_assert(std::is_trivially_copyable_v<T>, "List holds plain values");
    static constexpr int32_t kInitialCapacity = 32;

    T* items = nullptr;
    int32_t capacity = 0;
    int32_t count = 0;

    List()
    {
        items = static_cast<T*>(QS_ALLOC(sizeof(T) * kInitialCapacity, true));
        if (items) capacity = kInitialCapacity;
    }
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List() { Free(); }

    // Index of p, appending it when absent. A full list doubles first, whether
    // or not p is present; a freed list starts again at 32 entries.
    // -1 when out of memory.
    int32_t AddUnique(T p)
    {
        if (count >= capacity) {
            int32_t grown = capacity > 0 ? capacity * 2 : kInitialCapacity;
            void* storage = QS_REALLOC(items, sizeof(T) * static_cast<size_t>(grown));
            if (!storage) return -1;
            items = static_cast<T*>(storage);
            capacity = grown;
        }
        for (int32_t i = 0; i < count; ++i) {
            if (items[i] == p) return i;
        }
        items[count] = p;
        return count++;
    }

    void Free()
    {
        QS_FREE(items);
        items = nullptr;
        capacity = count = 0;
    }
};
