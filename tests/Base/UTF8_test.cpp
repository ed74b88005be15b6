#include "Base/UTF8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The bytes in a heap block of exactly their size, so that any read beyond
// them is caught.
std::vector<char> Exact(const std::string& bytes) { return std::vector<char>(bytes.begin(), bytes.end()); }
}  // namespace

TEST(UTF8Test, EncodeAndDecodeRoundTrip)
{
    struct Case {
        uint32_t cp;
        std::string bytes;
    };
    const Case cases[] = {
        {0x41, "\x41"},
        {0x7F, "\x7F"},
        {0xE9, "\xC3\xA9"},
        {0x7FF, "\xDF\xBF"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const Case& c : cases) {
        char buf[8] = {};
        char* cursor = buf;
        UTF8_EncodeChar(&cursor, c.cp);
        EXPECT_EQ(std::string(buf, cursor), c.bytes) << std::hex << c.cp;
        EXPECT_EQ(UTF8_CharLength(c.cp), static_cast<int>(c.bytes.size())) << std::hex << c.cp;

        const char* in = buf;
        EXPECT_EQ(UTF8_DecodeAdvance(&in), c.cp) << std::hex << c.cp;
        EXPECT_EQ(in, cursor);
        EXPECT_EQ(UTF8_Decode(buf), c.cp);
    }

    char buf[8] = {};
    char* cursor = buf;
    UTF8_EncodeChar(&cursor, 0x110000);
    EXPECT_EQ(std::string(buf, cursor), "\xEF\xBF\xBD");
}

TEST(UTF8Test, FourByteSequenceIsOneCharacter)
{
    const char* text = "a\xF0\x9F\x98\x80" "bc";
    const char* p = text;
    EXPECT_EQ(UTF8_DecodeAdvance(&p), 'a');
    EXPECT_EQ(UTF8_DecodeAdvance(&p), 0x1F600u);
    EXPECT_EQ(UTF8_DecodeAdvance(&p), 'b');
    EXPECT_EQ(UTF8_Length(text), 4);
    EXPECT_EQ(UTF8_Length("\xE2\x82\xAC" "a"), 2);
}

TEST(UTF8Test, MalformedInputNeverReadsPastItsEnd)
{
    struct Case {
        std::string bytes;  // terminator included
        std::vector<uint32_t> decoded;
    };
    const Case cases[] = {
        {std::string("\xE2\x82\0", 3), {0xFFFD}},                 // truncated at the terminator
        {std::string("\xF0\x9F\x98\0", 4), {0xFFFD}},             // truncated 4-byte sequence
        {std::string("ab\xC3\0", 4), {'a', 'b', 0xFFFD}},          // lead byte as last byte
        {std::string("\xE9x\0", 3), {0xFFFD, 'x'}},                // 8-bit text: the x survives
        {std::string("\x80\xBF" "a\0", 4), {0xFFFD, 0xFFFD, 'a'}}, // stray continuation bytes
        {std::string("\xF8\x88\x80\x80\x80\0", 6), {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
        {std::string("\xF4\x90\x80\x80\0", 5), {0xFFFD}},          // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        std::vector<char> text = Exact(c.bytes);
        const char* p = text.data();
        std::vector<uint32_t> got;
        while (uint32_t cp = UTF8_DecodeAdvance(&p)) got.push_back(cp);
        EXPECT_EQ(got, c.decoded);
        EXPECT_EQ(p, text.data() + text.size() - 1);  // stopped on the terminator
        EXPECT_EQ(UTF8_DecodeAdvance(&p), 0u);
        EXPECT_EQ(p, text.data() + text.size() - 1);
        EXPECT_EQ(UTF8_Length(text.data()), static_cast<int>(c.decoded.size()));
    }
    EXPECT_EQ(UTF8_Length(nullptr), 0);
}

TEST(UTF8Test, BoundedDecodeStopsAtTheEnd)
{
    std::vector<char> bytes = Exact("\xE2\x82\xAC\xF0\x9F\x98");  // no terminator
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    EXPECT_EQ(UTF8_DecodeAdvanceN(&p, end), 0x20ACu);
    EXPECT_EQ(UTF8_DecodeAdvanceN(&p, end), 0xFFFDu);
    EXPECT_EQ(p, end);
    EXPECT_EQ(UTF8_DecodeAdvanceN(&p, end), 0u);
    EXPECT_EQ(p, end);
}

TEST(UTF8Test, CompareN)
{
    struct Case {
        const char* a;
        const char* b;
        int n;
        int result;
    };
    const Case cases[] = {
        {"abc", "abd", 2, 0},
        {"abc", "abd", 3, -1},
        {"ab", "abc", 5, -99},
        {"abc", "abc", 10, 0},
        {"x", "y", 0, 0},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", 1, -1},
        {"\xE2\x82\xAC", "a", 1, 0x20AC - 'a'},
    };
    for (const Case& c : cases) EXPECT_EQ(UTF8_CompareN(c.a, c.b, c.n), c.result) << c.a << " / " << c.b;
}

TEST(UTF8Test, CompareNoCaseReturnsRawDifference)
{
    EXPECT_EQ(UTF8_CompareNoCase("HeLLo", "hello"), 0);
    EXPECT_EQ(UTF8_CompareNoCase("", ""), 0);
    EXPECT_LT(UTF8_CompareNoCase("B", "a"), 0);
    EXPECT_EQ(UTF8_CompareNoCase("abc", "ABD"), 'c' - 'D');
    EXPECT_EQ(UTF8_CompareNoCase("ab", "AB\xC3\xA9"), -0xE9);
    EXPECT_EQ(UTF8_CompareNoCase("\xC3\x89", "\xC3\xA9"), 0xC9 - 0xE9);  // only ASCII folds
}
