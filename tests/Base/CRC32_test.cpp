#include "Base/CRC32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Expected values: the published CRC-32 (zlib) of each input, complemented.
TEST(CRC32Test, RegisterWithoutFinalComplement)
{
    struct Case {
        std::string text;
        uint32_t crc;
    };
    const Case cases[] = {
        {"", 0xFFFFFFFF},
        {"a", 0x174841bc},
        {"abc", 0xCADBBE3D},
        {"message digest", 0xdfea6280},
        {"The quick brown fox jumps over the lazy dog", 0xbeb05cc6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CRC32_Calc(c.text.data(), c.text.size()), c.crc) << c.text;
        EXPECT_EQ(CRC32_String(c.text.c_str()), c.crc) << c.text;
    }
    EXPECT_EQ(CRC32_String(nullptr), 0xFFFFFFFFu);

    std::vector<uint8_t> all;
    for (int r = 0; r < 5; ++r)
        for (int i = 0; i < 256; ++i) all.push_back(static_cast<uint8_t>(i));
    EXPECT_EQ(CRC32_Calc(all.data(), all.size()), 0xe18592dbu);
}
