#include "Base/List.h"

#include <gtest/gtest.h>

TEST(ListTest, AddUniqueFindsOrAppends)
{
    List<int> list;
    EXPECT_EQ(list.capacity, 32);
    EXPECT_EQ(list.AddUnique(7), 0);
    EXPECT_EQ(list.AddUnique(9), 1);
    EXPECT_EQ(list.AddUnique(7), 0);
    EXPECT_EQ(list.count, 2);
}

TEST(ListTest, FullListDoublesEvenWhenTheValueIsPresent)
{
    List<int> list;
    for (int i = 0; i < 32; ++i) ASSERT_EQ(list.AddUnique(i * 10), i);
    EXPECT_EQ(list.capacity, 32);
    EXPECT_EQ(list.AddUnique(50), 5);
    EXPECT_EQ(list.capacity, 64);
    EXPECT_EQ(list.count, 32);
    EXPECT_EQ(list.AddUnique(-1), 32);
    EXPECT_EQ(list.items[31], 310);
}

TEST(ListTest, FreedListCanBeRefilled)
{
    List<int> list;
    list.AddUnique(3);
    list.Free();
    EXPECT_EQ(list.items, nullptr);
    EXPECT_EQ(list.capacity, 0);
    EXPECT_EQ(list.AddUnique(4), 0);
    EXPECT_EQ(list.capacity, 32);
    // The per-frame refill: reset the count and add again.
    list.count = 0;
    EXPECT_EQ(list.AddUnique(5), 0);
}
