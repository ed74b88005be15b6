#include "Base/HeapTextBuilder.h"

#include <gtest/gtest.h>

#include <string>

TEST(HeapTextBuilderTest, AppendGrowsAndKeepsTheTextTerminated)
{
    HeapTextBuilder b;
    b.Append(nullptr);
    EXPECT_EQ(b.data, nullptr);
    b.Append("");
    ASSERT_NE(b.data, nullptr);
    EXPECT_STREQ(b.data, "");
    b.Append("hello");
    EXPECT_EQ(b.capacity, 9);  // 1.5 x (0 + 6)
    b.Append(", world");
    EXPECT_STREQ(b.data, "hello, world");
    EXPECT_EQ(b.length, 12);
    EXPECT_GE(b.capacity, 13);
    std::string big(1000, 'z');
    b.Append(big.c_str());
    EXPECT_EQ(std::string(b.data), "hello, world" + big);
    b.Free();
    EXPECT_EQ(b.data, nullptr);
    EXPECT_EQ(b.capacity, 0);
    EXPECT_EQ(b.length, 0);
}

TEST(HeapTextBuilderTest, ReserveGrowsByHalf)
{
    HeapTextBuilder b;
    ASSERT_TRUE(b.Reserve(10));
    EXPECT_EQ(b.capacity, 15);
    ASSERT_TRUE(b.Reserve(1));
    EXPECT_EQ(b.capacity, 22);  // 1.5 x 15, rounded toward zero
    ASSERT_TRUE(b.Reserve(100));
    EXPECT_EQ(b.capacity, 150);  // 1.5 x (0 + 100) beats 1.5 x 22
}

TEST(HeapTextBuilderTest, PrintfFormatsWholeTextWhateverTheRoom)
{
    HeapTextBuilder b;
    EXPECT_STREQ(b.Printf("%d-%s", 42, "x"), "42-x");
    // Fill so that the next output is exactly one byte longer than the room.
    b.Free();
    b.Printf("%s", "");
    int room = b.capacity - b.length - 1;
    std::string text(static_cast<size_t>(room), 'q');  // with its terminator: room + 1 bytes
    b.Printf("%s", text.c_str());
    EXPECT_EQ(std::string(b.data), text);
    EXPECT_EQ(b.length, room);

    std::string longer(5000, 'k');
    b.Printf("[%s]", longer.c_str());
    EXPECT_EQ(std::string(b.data), text + "[" + longer + "]");
    EXPECT_EQ(b.length, room + 5002);
}
