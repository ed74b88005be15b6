#include "Code/JS_Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {
std::vector<uint16_t> Units(const char* text)
{
    C_UTF16String s(text);
    return std::vector<uint16_t>(s.m_chars, s.m_chars + s.m_length);
}
}  // namespace

TEST(UTF16String, CodePointsCountOneUnitEachAndTwoAboveTheBasicPlane)
{
    EXPECT_EQ(Units("abc"), (std::vector<uint16_t>{'a', 'b', 'c'}));
    EXPECT_EQ(Units("a\xC3\xA9"), (std::vector<uint16_t>{'a', 0xE9}));               // a, e acute
    EXPECT_EQ(Units("\xD0\x96\xD1\x8F"), (std::vector<uint16_t>{0x416, 0x44F}));     // two Cyrillic letters
    EXPECT_EQ(Units("\xE2\x82\xAC"), (std::vector<uint16_t>{0x20AC}));               // euro sign
    EXPECT_EQ(Units("x\xF0\x9F\x98\x80"), (std::vector<uint16_t>{'x', 0xD83D, 0xDE00}));  // U+1F600
    EXPECT_EQ(Units(""), (std::vector<uint16_t>{}));
    EXPECT_EQ(Units(nullptr), (std::vector<uint16_t>{}));
}

TEST(UTF16String, ASequenceCutShortByTheTerminatorEndsThereWithoutReadingPastIt)
{
    // Each text is alone in a block of its exact size: a read past the
    // terminator is caught by the address checker.
    for (const char* text : {"\xF4", "a\xE2\x82", "\xC3"}) {
        const size_t size = std::strlen(text) + 1;
        std::unique_ptr<char[]> exact(new char[size]);
        std::memcpy(exact.get(), text, size);
        C_UTF16String s(exact.get());
        EXPECT_EQ(s.m_length, static_cast<int32_t>(text[0] == 'a' ? 2 : 1)) << text;
    }
}

TEST(UTF16String, IndexOfFindsTheFirstMatchAtOrAfterStart)
{
    const C_UTF16String text("ab\xF0\x9F\x98\x80" "ab");
    const C_UTF16String ab("ab");
    const C_UTF16String empty("");
    const C_UTF16String smile("\xF0\x9F\x98\x80");
    EXPECT_EQ(text.IndexOf(&ab, 0), 0);
    EXPECT_EQ(text.IndexOf(&ab, 1), 4);  // the pair counts two units
    EXPECT_EQ(text.IndexOf(&ab, 5), -1);
    EXPECT_EQ(text.IndexOf(&smile, 0), 2);
    EXPECT_EQ(C_UTF16String("abc").IndexOf(&empty, 10), 3);
    EXPECT_EQ(C_UTF16String("abc").IndexOf(&empty, 1), 1);
    EXPECT_EQ(C_UTF16String("abc").IndexOf(&ab, 3), -1);
}

TEST(TextBuilder, GrowsToHalfAgainWhatIsNeededAndKeepsItsText)
{
    TextBuilder builder;
    const std::string hundred(100, 'a');
    builder.Append(hundred.c_str());
    EXPECT_EQ(builder.capacity, 151);
    EXPECT_EQ(builder.length, 100);
    builder.Append(hundred.c_str());  // 100 + 101 > 150: half again the old capacity, 226
    EXPECT_EQ(builder.capacity, 226);
    builder.Append(nullptr);
    builder.Append("b");
    EXPECT_EQ(builder.length, 201);
    EXPECT_EQ(std::string(builder.data), hundred + hundred + "b");
    const std::string big(1000, 'c');
    builder.Append(big.c_str());  // half again 226 is too little: (1001 + 201) * 3 / 2
    EXPECT_EQ(builder.capacity, 1803);
    EXPECT_EQ(std::string(builder.data), hundred + hundred + "b" + big);
    builder.Free();
    EXPECT_EQ(builder.data, nullptr);
    EXPECT_EQ(builder.capacity, 0);
    EXPECT_EQ(builder.length, 0);
}

TEST(TextAppendInPlace, AppendsWithinTheBufferOnlyAndCountsTheTerminator)
{
    char buffer[8] = "ab";
    EXPECT_EQ(Text_AppendInPlace(buffer, sizeof buffer, "cde"), 4);
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(Text_AppendInPlace(buffer, sizeof buffer, "fgh"), -1);  // 5 + 3 + 1 > 8
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(Text_AppendInPlace(buffer, sizeof buffer, "fg"), 3);
    EXPECT_STREQ(buffer, "abcdefg");
}

TEST(TextMatchAt, MatchesOnlyWhereThePatternFitsAndAgrees)
{
    std::unique_ptr<TextMatch> match(Text_MatchAt("hello", 1, "ell"));
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->end, 4);
    EXPECT_EQ(Text_MatchAt("hello", 3, "lox"), nullptr);
    EXPECT_EQ(Text_MatchAt("hello", 1, "elx"), nullptr);
    EXPECT_EQ(Text_MatchAt("hello", -1, "h"), nullptr);
}
