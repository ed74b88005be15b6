#pragma once
// The engine's pointer and record arrays. All storage comes from the tracked
// allocator, whose Realloc never shrinks a block and zero-fills what it adds.
// None of them is thread-safe; indexing is unchecked, callers test bounds.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "Base/MemoryManager.h"

enum class ArrayForm { Fixed, Growable };

template <typename T, ArrayForm Form = ArrayForm::Fixed>
struct cARRAY_CLASS;

// Fixed form: exactly `length` slots; the array owns the objects it holds.
template <typename T>
struct cARRAY_CLASS<T, ArrayForm::Fixed> {
    int32_t length = 0;
    T** items = nullptr;

    cARRAY_CLASS() = default;
    cARRAY_CLASS(const cARRAY_CLASS&) = delete;
    cARRAY_CLASS& operator=(const cARRAY_CLASS&) = delete;
    ~cARRAY_CLASS() { SetLength(0); }

    // Grows to exactly n slots (new slots null) or shrinks to n, deleting the
    // objects beyond n so that nothing owned is dropped. 0 deletes every
    // object and frees the storage. False (array unchanged) when out of memory.
    bool SetLength(int32_t n)
    {
        if (n < 0) n = 0;
        if (n == length) return true;
        if (n == 0) {
            for (int32_t i = 0; i < length; ++i) {
                delete items[i];
                items[i] = nullptr;
            }
            QS_FREE(items);
            items = nullptr;
            length = 0;
            return true;
        }
        for (int32_t i = n; i < length; ++i) {
            delete items[i];
            items[i] = nullptr;
        }
        void* storage = QS_REALLOC(items, sizeof(T*) * static_cast<size_t>(n));
        if (!storage) return false;
        items = static_cast<T**>(storage);
        length = n;
        return true;
    }
};

// Growable form: slots are reused when null, and the capacity grows by the
// grow step when full. The elements are borrowed.
template <typename T>
struct cARRAY_CLASS<T, ArrayForm::Growable> {
    int32_t capacity = 0;
    int32_t length = 0;
    int32_t growStep = 0;
    T** items = nullptr;

    cARRAY_CLASS() = default;
    cARRAY_CLASS(int32_t initialCapacity, int32_t step) : growStep(step) { Resize(initialCapacity); }
    cARRAY_CLASS(const cARRAY_CLASS&) = delete;
    cARRAY_CLASS& operator=(const cARRAY_CLASS&) = delete;
    ~cARRAY_CLASS() { QS_FREE(items); }

    // Index of p: the first null slot below the length, else a new slot at the
    // end. A full array with a grow step of 0 doubles (at least 8 slots).
    // -1 when out of memory.
    int32_t Add(T* p)
    {
        for (int32_t i = 0; i < length; ++i) {
            if (!items[i]) {
                items[i] = p;
                return i;
            }
        }
        if (length >= capacity) {
            int32_t grown = growStep != 0 ? capacity + growStep : (capacity < 4 ? 8 : capacity * 2);
            if (!Resize(grown)) return -1;
        }
        items[length] = p;
        return length++;
    }

    // Sets the capacity to n slots (0 frees the storage); a length beyond the
    // new capacity is cut to it so that Add never writes past the storage.
    bool Resize(int32_t n)
    {
        if (n < 0) n = 0;
        if (n == capacity) return true;
        if (n == 0) {
            QS_FREE(items);
            items = nullptr;
            capacity = length = 0;
            return true;
        }
        void* storage = QS_REALLOC(items, sizeof(T*) * static_cast<size_t>(n));
        if (!storage) return false;
        items = static_cast<T**>(storage);
        if (n < capacity) {
            // The block keeps its size; clear the dropped slots so a later
            // growth starts from null slots again.
            std::memset(items + n, 0, sizeof(T*) * static_cast<size_t>(capacity - n));
        }
        capacity = n;
        if (length > n) length = n;
        return true;
    }
};

// As the fixed form, but the elements are borrowed: nothing is deleted.
template <typename T>
struct cARRAY_CLASS_NO_DELETE {
    int32_t length = 0;
    T** items = nullptr;

    cARRAY_CLASS_NO_DELETE() = default;
    cARRAY_CLASS_NO_DELETE(const cARRAY_CLASS_NO_DELETE&) = delete;
    cARRAY_CLASS_NO_DELETE& operator=(const cARRAY_CLASS_NO_DELETE&) = delete;
    ~cARRAY_CLASS_NO_DELETE() { SetLength(0); }

    bool SetLength(int32_t n)
    {
        if (n < 0) n = 0;
        if (n == length) return true;
        if (n == 0) {
            QS_FREE(items);
            items = nullptr;
            length = 0;
            return true;
        }
        for (int32_t i = n; i < length; ++i) items[i] = nullptr;
        void* storage = QS_REALLOC(items, sizeof(T*) * static_cast<size_t>(n));
        if (!storage) return false;
        items = static_cast<T**>(storage);
        length = n;
        return true;
    }
};

// Pointers to memory blocks (texts, usually). Blocks from the tracked allocator
// are freed by the array; others (texts inside the loaded game data) are not.
struct cARRAY_MEMORY {
    int32_t length = 0;
    void** items = nullptr;

    cARRAY_MEMORY() = default;
    cARRAY_MEMORY(const cARRAY_MEMORY&) = delete;
    cARRAY_MEMORY& operator=(const cARRAY_MEMORY&) = delete;
    ~cARRAY_MEMORY() { Free(); }

    // Shrinking frees the tracked blocks beyond n; 0 frees them all and the
    // storage.
    bool Resize(int32_t n)
    {
        if (n < 0) n = 0;
        if (n == 0) {
            Free();
            return true;
        }
        for (int32_t i = n; i < length; ++i) Release(i);
        void* storage = QS_REALLOC(items, sizeof(void*) * static_cast<size_t>(n));
        if (!storage) return false;
        items = static_cast<void**>(storage);
        length = n;
        return true;
    }

    void Free()
    {
        if (items) {
            for (int32_t i = 0; i < length; ++i) Release(i);
            QS_FREE(items);
            items = nullptr;
        }
        length = 0;
    }

private:
    void Release(int32_t i)
    {
        if (MemoryManager::IsAllocated(items[i])) QS_FREE(items[i]);
        items[i] = nullptr;
    }
};

// Records stored by value; new elements read as zero.
template <typename T>
struct cARRAY_STRUCTURE {
    static_assert(std::is_trivially_copyable_v<T>, "cARRAY_STRUCTURE holds plain records");
    int32_t length = 0;
    T* items = nullptr;

    cARRAY_STRUCTURE() = default;
    cARRAY_STRUCTURE(const cARRAY_STRUCTURE&) = delete;
    cARRAY_STRUCTURE& operator=(const cARRAY_STRUCTURE&) = delete;
    ~cARRAY_STRUCTURE() { QS_FREE(items); }

    // Shrinking keeps the storage; growing again zero-fills the regained
    // elements, which the allocator does not do for a block it kept.
    bool Resize(int32_t n)
    {
        if (n < 0) n = 0;
        if (n == 0) {
            QS_FREE(items);
            items = nullptr;
            length = 0;
            return true;
        }
        void* storage = QS_REALLOC(items, sizeof(T) * static_cast<size_t>(n));
        if (!storage) return false;
        items = static_cast<T*>(storage);
        if (n > length) std::memset(static_cast<void*>(items + length), 0, sizeof(T) * static_cast<size_t>(n - length));
        length = n;
        return true;
    }
};
