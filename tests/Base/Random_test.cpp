#include "Base/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

// Expected values come from a separate model of the published generator.
TEST(RandomTest, SeededSequencesAreFixed)
{
    struct Case {
        uint32_t seed;
        std::vector<uint32_t> values;
    };
    const Case cases[] = {
        {0, {0xcdc05dcf, 0xf6780aef, 0x41457df1, 0xa5bc7f31, 0xe07406e7, 0x89d19ea2, 0x3125810e, 0x693cbb3d}},
        {2101988, {0xc211dab9, 0x294915e0, 0xdd6cdf0f, 0x6805ca25, 0x5875be42}},
        {0xFFFFFFFF, {0x9720e69d, 0x97b8085d, 0xeda9cde8}},
    };
    for (const Case& c : cases) {
        Random_Seed(c.seed);
        EXPECT_EQ(Random_GetSeed(), c.seed);
        for (size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(Random_Next(), c.values[i]) << c.seed << " #" << i;
    }
}

TEST(RandomTest, RealAndIntegerDraws)
{
    Random_Seed(0);
    EXPECT_DOUBLE_EQ(Random_NextReal(10), 8.037165289279073);
    EXPECT_DOUBLE_EQ(Random_NextReal(1), 0.9627692063804716);

    Random_Seed(0);
    EXPECT_EQ(Random_NextInt(6), 1u);
    EXPECT_EQ(Random_NextInt(INT_MIN), 1987578607u);
    Random_Seed(0);
    EXPECT_EQ(Random_NextInt(-6), 1u);
    // 0 has no range: the result is 0 and the draw is still taken.
    EXPECT_EQ(Random_NextInt(0), 0u);
    EXPECT_EQ(Random_Next(), 0x41457df1u);

    for (int i = 0; i < 10000; ++i) {
        double r = Random_NextReal(1);
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}
