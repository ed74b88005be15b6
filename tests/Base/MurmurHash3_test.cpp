#include "Base/MurmurHash3.h"

#include <gtest/gtest.h>

#include <string>

// The published test vectors of the x86 32-bit hash.
TEST(MurmurHash3Test, PublishedVectors)
{
    struct Case {
        std::string bytes;
        uint32_t seed;
        uint32_t hash;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"", 1, 0x514E28B7},
        {"", 0xffffffff, 0x81F16F39},
        {std::string(4, '\0'), 0, 0x2362F9DE},
        {"\xff\xff\xff\xff", 0, 0x76293B50},
        {"\x21\x43\x65\x87", 0, 0xF55B516B},
        {"\x21\x43\x65", 0, 0x7E4A8634},
        {"\x21\x43", 0, 0xA0F7B07A},
        {"\x21", 0, 0x72661CF4},
        {"aaaa", 0x9747b28c, 0x5A97808A},
        {"a", 0x9747b28c, 0x7FA09EA6},
        {"abc", 0x9747b28c, 0xC84A62DD},
        {"Hello, world!", 0x9747b28c, 0x24884CBA},
        {"The quick brown fox jumps over the lazy dog", 0x9747b28c, 0x2FA826CD},
    };
    for (const Case& c : cases) EXPECT_EQ(MurmurHash3_x86_32(c.bytes.data(), c.bytes.size(), c.seed), c.hash) << c.bytes;
}

TEST(MurmurHash3Test, StringFormUsesSeedZeroAndUnsignedTailBytes)
{
    EXPECT_EQ(MurmurHash3_String("abc"), 0xB3DD93FAu);
    // Nine bytes: the tail byte 0x80 counts as unsigned.
    EXPECT_EQ(MurmurHash3_String("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), 0x295A8444u);
    EXPECT_EQ(MurmurHash3_String(""), 0u);
    EXPECT_EQ(MurmurHash3_String(nullptr), 0u);
}
