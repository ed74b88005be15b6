#pragma once
// A chained hash table keyed by 32-bit integers. The bucket count is a power
// of two fixed at construction; the bucket of a key is key AND mask. Keys are
// unique only by the callers' discipline: Insert does not check.
#include <cstdint>

#include "Base/MemoryManager.h"

// How Delete and Clear dispose of the values.
enum : int32_t {
    HASH_KEEP_VALUE = 0,
    HASH_DELETE_VALUE = 1,        // destroy and delete
    HASH_FREE_VALUE = 2,          // free through the memory manager
    HASH_DESTROY_FREE_VALUE = 3,  // destroy in place, then free through the memory manager
};

template <typename T>
struct Hash {
    struct Node {
        Node* prev;
        Node* next;
        int32_t key;
        T* value;
    };
    struct Bucket {
        Node* first;
        Node* last;
    };

    Bucket* buckets = nullptr;
    int32_t mask = 0;
    int32_t count = 0;

    // A bucket count that is not a power of two is raised to the next one.
    explicit Hash(int32_t bucketCount)
    {
        int32_t n = 1;
        while (n < bucketCount && n < (1 << 30)) n <<= 1;
        buckets = static_cast<Bucket*>(QS_ALLOC(sizeof(Bucket) * static_cast<size_t>(n), true));
        mask = buckets ? n - 1 : -1;
    }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;
    ~Hash()
    {
        Clear(HASH_KEEP_VALUE);
        QS_FREE(buckets);
    }

    Bucket& BucketOf(int32_t key) { return buckets[static_cast<uint32_t>(key) & static_cast<uint32_t>(mask)]; }

    // False when out of memory (or the buckets could not be allocated).
    bool Insert(int32_t key, T* value)
    {
        if (!buckets) return false;
        Node* node = static_cast<Node*>(QS_ALLOC(sizeof(Node), true));
        if (!node) return false;
        node->key = key;
        node->value = value;
        Bucket& b = BucketOf(key);
        node->prev = b.last;
        if (b.last)
            b.last->next = node;
        else
            b.first = node;
        b.last = node;
        ++count;
        return true;
    }

    T* Find(int32_t key)
    {
        if (!buckets) return nullptr;
        for (Node* node = BucketOf(key).first; node; node = node->next) {
            if (node->key == key) return node->value;
        }
        return nullptr;
    }

    // Removes the first node inserted with the key.
    bool Delete(int32_t key, int32_t mode)
    {
        if (!buckets) return false;
        Bucket& b = BucketOf(key);
        for (Node* node = b.first; node; node = node->next) {
            if (node->key != key) continue;
            Unlink(b, node);
            Dispose(node->value, mode);
            QS_FREE(node);
            --count;
            return true;
        }
        return false;
    }

    // Spreads the nodes over bucketCount buckets (a power of two); nodes of one
    // key keep their order. False, table unchanged, when out of memory.
    bool Rehash(int32_t bucketCount)
    {
        if (!buckets) return false;
        auto* grown = static_cast<Bucket*>(QS_ALLOC(sizeof(Bucket) * static_cast<size_t>(bucketCount), true));
        if (!grown) return false;
        const auto newMask = static_cast<uint32_t>(bucketCount - 1);
        for (int32_t i = 0; i <= mask; ++i) {
            Node* node = buckets[i].first;
            while (node) {
                Node* next = node->next;
                Bucket& b = grown[static_cast<uint32_t>(node->key) & newMask];
                node->prev = b.last;
                node->next = nullptr;
                if (b.last)
                    b.last->next = node;
                else
                    b.first = node;
                b.last = node;
                node = next;
            }
        }
        QS_FREE(buckets);
        buckets = grown;
        mask = bucketCount - 1;
        return true;
    }

    // Empties every bucket, from the last down to the first; the buckets stay.
    void Clear(int32_t mode)
    {
        if (!buckets) return;
        for (int32_t i = mask; i >= 0; --i) {
            Bucket& b = buckets[i];
            while (Node* node = b.first) {
                Unlink(b, node);
                Dispose(node->value, mode);
                QS_FREE(node);
                --count;
            }
        }
    }

private:
    static void Unlink(Bucket& b, Node* node)
    {
        if (node->prev)
            node->prev->next = node->next;
        else
            b.first = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            b.last = node->prev;
    }

    static void Dispose(T* value, int32_t mode)
    {
        if (!value) return;
        switch (mode) {
        case HASH_DELETE_VALUE:
            delete value;
            break;
        case HASH_FREE_VALUE:
            QS_FREE(value);
            break;
        case HASH_DESTROY_FREE_VALUE:
            value->~T();
            QS_FREE(value);
            break;
        default:
            break;
        }
    }
};
