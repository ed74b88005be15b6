#include "Base/Hash.h"

#include <gtest/gtest.h>

#include <new>

namespace {
struct Value {
    static inline int destroyed = 0;
    int v;
    ~Value() { ++destroyed; }
};
}  // namespace

TEST(HashTest, FindsByKeyIncludingNegativeKeys)
{
    Value a{1}, b{2}, c{3};
    Hash<Value> h(256);
    EXPECT_EQ(h.mask, 255);
    h.Insert(5, &a);
    h.Insert(5 + 256, &b);  // same bucket
    h.Insert(-7, &c);
    EXPECT_EQ(h.count, 3);
    EXPECT_EQ(h.Find(5), &a);
    EXPECT_EQ(h.Find(261), &b);
    EXPECT_EQ(h.Find(-7), &c);
    EXPECT_EQ(h.Find(6), nullptr);
    EXPECT_FALSE(h.Delete(6, HASH_KEEP_VALUE));
}

TEST(HashTest, BucketCountIsRoundedToAPowerOfTwo)
{
    Hash<Value> h(100);
    EXPECT_EQ(h.mask, 127);
}

TEST(HashTest, DeleteRemovesTheFirstInsertedOfEqualKeys)
{
    Value a{1}, b{2};
    Hash<Value> h(128);
    h.Insert(42, &a);
    h.Insert(42, &b);
    ASSERT_TRUE(h.Delete(42, HASH_KEEP_VALUE));
    EXPECT_EQ(h.count, 1);
    EXPECT_EQ(h.Find(42), &b);
    ASSERT_TRUE(h.Delete(42, HASH_KEEP_VALUE));
    EXPECT_EQ(h.Find(42), nullptr);
    EXPECT_EQ(h.count, 0);
}

TEST(HashTest, ClearWithoutDisposalKeepsTheValues)
{
    Value::destroyed = 0;
    Value a{1}, b{2};
    Hash<Value> h(4);
    h.Insert(0, &a);
    h.Insert(3, &b);
    h.Insert(4, &a);
    h.Clear(HASH_KEEP_VALUE);
    EXPECT_EQ(h.count, 0);
    EXPECT_EQ(h.Find(0), nullptr);
    EXPECT_NE(h.buckets, nullptr);
    EXPECT_EQ(Value::destroyed, 0);
    EXPECT_EQ(b.v, 2);
    h.Insert(3, &b);  // the buckets remain usable
    EXPECT_EQ(h.Find(3), &b);
}

TEST(HashTest, DisposalModes)
{
    Value::destroyed = 0;
    Hash<Value> h(16);
    h.Insert(1, new Value{1});
    void* block = QS_ALLOC(sizeof(Value), true);
    h.Insert(2, new (block) Value{2});
    h.Insert(3, static_cast<Value*>(QS_ALLOC(300, true)));

    ASSERT_TRUE(h.Delete(1, HASH_DELETE_VALUE));
    EXPECT_EQ(Value::destroyed, 1);
    ASSERT_TRUE(h.Delete(2, HASH_DESTROY_FREE_VALUE));
    EXPECT_EQ(Value::destroyed, 2);
    int64_t before = MemoryManager::TotalHeaderBytes();
    h.Clear(HASH_FREE_VALUE);
    EXPECT_EQ(Value::destroyed, 2);
    EXPECT_GE(before - MemoryManager::TotalHeaderBytes(), 300);
}

TEST(HashTest, RehashSpreadsTheNodesAndKeepsTheOrderOfOneKey)
{
    Value first{1}, second{2}, other{3}, negative{4};
    Hash<Value> h(4);
    h.Insert(9, &first);
    h.Insert(9, &second);  // a second node of the same key
    h.Insert(13, &other);  // same bucket as 9 under mask 3
    h.Insert(-6, &negative);
    ASSERT_TRUE(h.Rehash(16));
    EXPECT_EQ(h.mask, 15);
    EXPECT_EQ(h.count, 4);
    EXPECT_EQ(h.Find(9), &first);
    EXPECT_EQ(h.Find(13), &other);
    EXPECT_EQ(h.Find(-6), &negative);
    // Bucket 9 holds the two nodes of key 9 only; 13 now lives elsewhere.
    EXPECT_EQ(h.BucketOf(9).first->next->value, &second);
    EXPECT_EQ(h.BucketOf(9).first->next->next, nullptr);
    EXPECT_EQ(h.BucketOf(9).last->value, &second);
    EXPECT_TRUE(h.Delete(9, HASH_KEEP_VALUE));
    EXPECT_EQ(h.Find(9), &second);
    h.Clear(HASH_KEEP_VALUE);
}
