#include "Code/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {
std::string Text(double d, int digits = 0, int size = 64)
{
    char buffer[1024];
    std::memset(buffer, 'x', sizeof buffer);
    const char* end = NumberToText(buffer, &d, digits, size);
    if (!end) return "<null>";
    EXPECT_EQ(*end, '\0');
    return std::string(static_cast<const char*>(buffer), end);
}

// The significant digits of a text in either form, without sign, point,
// exponent, leading zeros or the zeros that fill the fixed form.
std::string Digits(const char* text, const char* end)
{
    std::string digits;
    for (const char* p = text; p < end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && !(digits.empty() && *p == '0')) digits += *p;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits;
}
}  // namespace

TEST(NumberToText, ShortestDigitsTakeFixedFormUpToTwentyOnePlacesAndExponentFormBeyond)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},
        {1.0 / 3.0, "0.3333333333333333"},
        {123.456, "123.456"},
        {-2.5, "-2.5"},
        {100, "100"},
        {1e21, "1e+21"},
        {1.5e21, "1500000000000000000000"},
        {1.23e22, "12300000000000000000000"},
        {1.5e22, "1.5e+22"},
        {1e23, "1e+23"},
        {1.2345e24, "1234500000000000000000000"},  // fixed while the point is at most 20 places past the digits
        {1.2345e25, "1.2345e+25"},
        {1e-6, "0.000001"},
        {1.5e-6, "0.0000015"},
        {1e-7, "1e-7"},
        {1.5e-7, "1.5e-7"},
        {5e-324, "5e-324"},
        {DBL_MIN, "2.2250738585072014e-308"},
        {DBL_MAX, "1.7976931348623157e+308"},
        {std::ldexp(1.0, 1023), "8.98846567431158e+307"},  // a power of two: the lower neighbour is nearer
        {9007199254740992.0, "9007199254740992"},
        {-0.0, "-0"},
        {0.0, "0"},
        {NAN, "NaN"},
        {INFINITY, "Infinity"},
        {-INFINITY, "-Infinity"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(c.value), c.text) << c.value;
}

TEST(NumberToText, ADigitCountRoundsToThatManySignificantDigitsHalfToEven)
{
    const struct {
        double value;
        int digits;
        const char* text;
    } cases[] = {
        {1.0 / 3.0, 5, "0.33333"},
        {2.5, 1, "2"},
        {3.5, 1, "4"},
        {0.125, 2, "0.12"},
        {9.96, 2, "10"},
        {123456, 2, "120000"},
        {0.5, 17, "0.5"},           // trailing zeros go
        {1e-7, 3, "1e-7"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(c.value, c.digits), c.text) << c.value << " " << c.digits;
}

TEST(NumberToText, ABufferTooSmallForTheTextGivesNull)
{
    EXPECT_EQ(Text(INFINITY, 0, 9), "<null>");
    EXPECT_EQ(Text(INFINITY, 0, 10), "Infinity");
    EXPECT_EQ(Text(0.1, 0, 9), "<null>");
    EXPECT_EQ(Text(0.1, 20, 29), "<null>");  // the digit count's room is asked for first
    // The longest texts need their terminator inside the buffer too.
    EXPECT_EQ(Text(DBL_MAX, 0, 23), "<null>");
    EXPECT_EQ(Text(DBL_MAX, 0, 24), "1.7976931348623157e+308");
    EXPECT_EQ(Text(1.5e21, 0, 22), "<null>");
    EXPECT_EQ(Text(1.5e21, 0, 23), "1500000000000000000000");
}

// A million doubles of random bits in ten slices, which the shards share out.
class NumberToTextRandom : public ::testing::TestWithParam<int> {};

TEST_P(NumberToTextRandom, DoublesReadBackToTheSameBitsWithTheShortestDigits)
{
    std::mt19937_64 random(57 + GetParam());
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = random();
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) continue;
        char text[64];
        char* end = NumberToText(text, &d, 0, sizeof text);
        ASSERT_NE(end, nullptr) << bits;
        const double back = std::strtod(text, nullptr);
        ASSERT_EQ(std::memcmp(&back, &d, sizeof d), 0) << text;
        char shortest[64];
        const auto made = std::to_chars(shortest, shortest + sizeof shortest, d, std::chars_format::scientific);
        ASSERT_EQ(Digits(text, end), Digits(shortest, made.ptr)) << text;
    }
}
INSTANTIATE_TEST_SUITE_P(Slices, NumberToTextRandom, ::testing::Range(0, 10));
