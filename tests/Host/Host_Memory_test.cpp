#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "Host/Host_Memory.h"

namespace {
bool AllBytes(const uint8_t* p, size_t from, size_t to, uint8_t value)
{
    for (size_t i = from; i < to; ++i)
        if (p[i] != value) return false;
    return true;
}
}  // namespace

TEST(HostMemory, BlocksComeZeroedAndGrowKeepingTheirBytes)
{
    constexpr size_t kSmall = 10000, kLarge = size_t{3} << 20;
    EXPECT_EQ(HostMemory_Map(0), nullptr);
    auto* p = static_cast<uint8_t*>(HostMemory_Map(kSmall));
    ASSERT_NE(p, nullptr);
    const size_t length = HostMemory_Length(kSmall);
    EXPECT_GE(length, kSmall);
    EXPECT_TRUE(AllBytes(p, 0, length, 0));
    std::memset(p, 0x5A, length);  // the rest of the last page too

    auto* q = static_cast<uint8_t*>(HostMemory_Grow(p, kSmall, kLarge));
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(AllBytes(q, 0, kSmall, 0x5A));
    EXPECT_TRUE(AllBytes(q, kSmall, kLarge, 0)) << "bytes past the old size read 0, in the old last page too";
    q[kLarge - 1] = 1;
    EXPECT_EQ(HostMemory_Grow(q, kLarge, kLarge), q) << "no growth, no move";

    auto* r = static_cast<uint8_t*>(HostMemory_Grow(q, kLarge, 2 * kLarge));
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(AllBytes(r, 0, kSmall, 0x5A));
    EXPECT_EQ(r[kLarge - 1], 1);
    EXPECT_TRUE(AllBytes(r, kLarge, 2 * kLarge, 0));
    HostMemory_Unmap(r, 2 * kLarge);
    HostMemory_Unmap(nullptr, 1);  // ignored
}
