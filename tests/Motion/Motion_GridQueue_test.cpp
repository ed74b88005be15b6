// The search queue: first in, first out across wrapping and growth.
#include <gtest/gtest.h>

#include "Motion/Motion_GridQueue.h"

TEST(CellQueue, KeepsItsOrderWhenItGrowsWhileWrapped)
{
    CellQueue queue;
    EXPECT_EQ(queue.Capacity(), 0);
    ASSERT_TRUE(queue.Ready());
    EXPECT_EQ(queue.Capacity(), 4096);
    EXPECT_EQ(queue.Pop(), -1);
    // Move the head near the end so that what follows wraps.
    for (int32_t i = 0; i < 3000; ++i) ASSERT_TRUE(queue.Push(i));
    for (int32_t i = 0; i < 3000; ++i) ASSERT_EQ(queue.Pop(), i);
    for (int32_t i = 0; i < 4095; ++i) ASSERT_TRUE(queue.Push(i));
    EXPECT_EQ(queue.Capacity(), 4096);  // full: capacity - 1 entries
    ASSERT_TRUE(queue.Push(4095));
    EXPECT_EQ(queue.Capacity(), 8192);
    for (int32_t i = 0; i < 100; ++i) ASSERT_EQ(queue.Pop(), i);
    for (int32_t i = 4096; i < 20000; ++i) ASSERT_TRUE(queue.Push(i));
    EXPECT_EQ(queue.Capacity(), 32768);
    for (int32_t i = 100; i < 20000; ++i) ASSERT_EQ(queue.Pop(), i);
    EXPECT_EQ(queue.Pop(), -1);
    queue.Push(7);
    queue.Clear();
    EXPECT_EQ(queue.Pop(), -1);
    queue.Free();
    EXPECT_EQ(queue.Capacity(), 0);
}
