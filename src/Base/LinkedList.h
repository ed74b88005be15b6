#pragma once
// A doubly linked list of borrowed or owned items, appended at the newest end.
// Nodes come from the tracked allocator.
#include <cstdint>

#include "Base/MemoryManager.h"

// How Clear disposes of the items.
enum : int32_t {
    LIST_KEEP_ITEMS = 0,
    LIST_DELETE_ITEMS = 1,  // the item type's own deletion
    LIST_FREE_ITEMS = 2,    // tracked blocks freed through the memory manager
};

template <typename T>
struct SLinkedList {
    struct Node {
        Node* next;  // toward newer
        Node* prev;  // toward older
        T* item;
    };

    Node* first = nullptr;  // oldest
    Node* last = nullptr;   // newest
    int32_t count = 0;

    SLinkedList() = default;
    SLinkedList(const SLinkedList&) = delete;
    SLinkedList& operator=(const SLinkedList&) = delete;
    ~SLinkedList() { Clear(LIST_KEEP_ITEMS); }

    // False (list unchanged) when out of memory.
    bool Add(T* item)
    {
        Node* node = static_cast<Node*>(QS_ALLOC(sizeof(Node), true));
        if (!node) return false;
        node->item = item;
        node->prev = last;
        if (last)
            last->next = node;
        else
            first = node;
        last = node;
        ++count;
        return true;
    }

    void Clear(int32_t mode)
    {
        Node* node = first;
        while (node) {
            Node* next = node->next;
            if (mode == LIST_DELETE_ITEMS)
                delete node->item;
            else if (mode == LIST_FREE_ITEMS)
                QS_FREE(node->item);
            QS_FREE(node);
            node = next;
        }
        first = last = nullptr;
        count = 0;
    }
};
