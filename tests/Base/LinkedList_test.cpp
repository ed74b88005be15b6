#include "Base/LinkedList.h"

#include <gtest/gtest.h>

namespace {
struct Item {
    static inline int destroyed = 0;
    int id;
    ~Item() { ++destroyed; }
};
}  // namespace

TEST(LinkedListTest, AppendsAtTheNewestEndWithBothLinks)
{
    Item a{1}, b{2}, c{3};
    SLinkedList<Item> list;
    list.Add(&a);
    EXPECT_EQ(list.first, list.last);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.first->item, &a);
    EXPECT_EQ(list.first->next->item, &b);
    EXPECT_EQ(list.last->item, &c);
    EXPECT_EQ(list.last->prev->item, &b);
    EXPECT_EQ(list.first->prev, nullptr);
    EXPECT_EQ(list.last->next, nullptr);
    list.Clear(LIST_KEEP_ITEMS);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(c.id, 3);
}

TEST(LinkedListTest, ClearDisposesByMode)
{
    Item::destroyed = 0;
    SLinkedList<Item> owned;
    owned.Add(new Item{1});
    owned.Add(new Item{2});
    owned.Clear(LIST_DELETE_ITEMS);
    EXPECT_EQ(Item::destroyed, 2);

    SLinkedList<char> texts;
    texts.Add(static_cast<char*>(QS_ALLOC(300, true)));
    int64_t before = MemoryManager::TotalHeaderBytes();
    texts.Clear(LIST_FREE_ITEMS);
    EXPECT_GE(before - MemoryManager::TotalHeaderBytes(), 300);

    // Any other mode leaves the items alone.
    Item kept{5};
    SLinkedList<Item> borrowed;
    borrowed.Add(&kept);
    borrowed.Clear(3);
    EXPECT_EQ(Item::destroyed, 2);
}
