#include "Base/Array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
struct Counted {
    static inline int destroyed = 0;
    int id;
    explicit Counted(int i) : id(i) {}
    ~Counted() { ++destroyed; }
};

struct Rec {
    int32_t a;
    double b;
};
}  // namespace

TEST(ArrayTest, FixedFormOwnsItsObjects)
{
    Counted::destroyed = 0;
    {
        cARRAY_CLASS<Counted> arr;
        ASSERT_TRUE(arr.SetLength(3));
        EXPECT_EQ(arr.items[0], nullptr);
        arr.items[0] = new Counted(0);
        arr.items[2] = new Counted(2);
        ASSERT_TRUE(arr.SetLength(6));
        EXPECT_EQ(arr.items[2]->id, 2);
        EXPECT_EQ(arr.items[5], nullptr);

        // Shrinking deletes what falls off, so nothing owned is lost, and a
        // later growth finds null slots rather than stale pointers.
        ASSERT_TRUE(arr.SetLength(2));
        EXPECT_EQ(Counted::destroyed, 1);
        ASSERT_TRUE(arr.SetLength(3));
        EXPECT_EQ(arr.items[2], nullptr);

        ASSERT_TRUE(arr.SetLength(0));
        EXPECT_EQ(Counted::destroyed, 2);
        EXPECT_EQ(arr.items, nullptr);
        EXPECT_EQ(arr.length, 0);

        arr.SetLength(1);
        arr.items[0] = new Counted(9);
    }
    EXPECT_EQ(Counted::destroyed, 3);  // the destructor releases what is left
}

TEST(ArrayTest, NoDeleteFormBorrows)
{
    Counted::destroyed = 0;
    Counted a(1), b(2);
    cARRAY_CLASS_NO_DELETE<Counted> arr;
    arr.SetLength(2);
    arr.items[0] = &a;
    arr.items[1] = &b;
    arr.SetLength(1);
    arr.SetLength(2);
    EXPECT_EQ(arr.items[1], nullptr);
    arr.SetLength(0);
    EXPECT_EQ(Counted::destroyed, 0);
    EXPECT_EQ(arr.items, nullptr);
}

TEST(ArrayTest, GrowableFormReusesSlotsAndGrowsByStep)
{
    Counted a(1), b(2), c(3);
    cARRAY_CLASS<Counted, ArrayForm::Growable> arr(2, 8);
    EXPECT_EQ(arr.capacity, 2);
    EXPECT_EQ(arr.Add(&a), 0);
    EXPECT_EQ(arr.Add(&b), 1);
    EXPECT_EQ(arr.Add(&c), 2);
    EXPECT_EQ(arr.capacity, 10);
    EXPECT_EQ(arr.length, 3);

    arr.items[1] = nullptr;
    EXPECT_EQ(arr.Add(&c), 1);
    EXPECT_EQ(arr.length, 3);

    // A smaller capacity cuts the length, so Add stays inside the storage.
    ASSERT_TRUE(arr.Resize(2));
    EXPECT_EQ(arr.length, 2);
    EXPECT_EQ(arr.Add(&a), 2);
    EXPECT_EQ(arr.capacity, 10);
    EXPECT_EQ(arr.items[2], &a);
    EXPECT_EQ(arr.items[3], nullptr);
}

TEST(ArrayTest, GrowableFormWithoutStepDoubles)
{
    Counted a(1);
    cARRAY_CLASS<Counted, ArrayForm::Growable> arr;
    EXPECT_EQ(arr.Add(&a), 0);
    EXPECT_EQ(arr.capacity, 8);
    for (int i = 1; i < 9; ++i) arr.Add(&a);
    EXPECT_EQ(arr.capacity, 16);
    EXPECT_EQ(arr.length, 9);
}

TEST(ArrayTest, StructureGrowsZeroFilledAndShrinksInPlace)
{
    cARRAY_STRUCTURE<Rec> arr;
    ASSERT_TRUE(arr.Resize(3));
    for (int i = 0; i < 3; ++i) arr.items[i] = Rec{i + 1, i * 0.5};
    ASSERT_TRUE(arr.Resize(5));
    EXPECT_EQ(arr.items[2].a, 3);
    EXPECT_EQ(arr.items[2].b, 1.0);
    EXPECT_EQ(arr.items[3].a, 0);
    EXPECT_EQ(arr.items[4].b, 0.0);

    arr.items[4].a = 77;
    Rec* storage = arr.items;
    ASSERT_TRUE(arr.Resize(3));
    EXPECT_EQ(arr.items, storage);
    EXPECT_EQ(arr.length, 3);
    // Growing again must not bring back what was dropped.
    ASSERT_TRUE(arr.Resize(5));
    EXPECT_EQ(arr.items[4].a, 0);

    ASSERT_TRUE(arr.Resize(0));
    EXPECT_EQ(arr.items, nullptr);
    EXPECT_EQ(arr.length, 0);
}

TEST(ArrayTest, MemoryArrayFreesOnlyTrackedBlocks)
{
    // A text inside the loaded game data, and a duplicated text of 300 bytes.
    std::vector<char> gameData(256, 'x');
    char* dataText = gameData.data() + 64;
    std::memcpy(dataText, "room0", 6);
    char* dup = static_cast<char*>(QS_ALLOC(300, true));
    ASSERT_NE(dup, nullptr);

    cARRAY_MEMORY arr;
    ASSERT_TRUE(arr.Resize(2));
    arr.items[0] = dataText;
    arr.items[1] = dup;
    int64_t before = MemoryManager::TotalHeaderBytes();
    arr.Free();
    EXPECT_GE(before - MemoryManager::TotalHeaderBytes(), 300);
    EXPECT_EQ(arr.items, nullptr);
    EXPECT_EQ(arr.length, 0);
    EXPECT_STREQ(dataText, "room0");
    arr.Free();  // nothing left: harmless
}

TEST(ArrayTest, MemoryArrayShrinkFreesTheDroppedBlocks)
{
    cARRAY_MEMORY arr;
    arr.Resize(2);
    arr.items[1] = QS_ALLOC(400, true);
    int64_t before = MemoryManager::TotalHeaderBytes();
    ASSERT_TRUE(arr.Resize(1));
    EXPECT_GE(before - MemoryManager::TotalHeaderBytes(), 400);
    ASSERT_TRUE(arr.Resize(2));
    EXPECT_EQ(arr.items[1], nullptr);
}
