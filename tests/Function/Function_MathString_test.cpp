#include <cstring>
#include <string>

#include "MathFunctionFixture.h"

namespace {
// One argument of a case: a string or a number.
struct Arg {
    bool isText;
    const char* text;
    double number;
    Arg(const char* t) : isText(true), text(t), number(0) {}
    Arg(double n) : isText(false), text(nullptr), number(n) {}
    Arg(int n) : Arg(static_cast<double>(n)) {}
};

struct TextCase {
    const char* name;
    std::vector<Arg> args;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const TextCase& c) { return os << c.name << " -> '" << c.expected << "'"; }

std::vector<ScriptValue> Values(const std::vector<Arg>& args)
{
    std::vector<ScriptValue> out;
    for (const Arg& a : args) out.push_back(a.isText ? MathFunctions::S(a.text) : MathFunctions::R(a.number));
    return out;
}


struct CountCase {
    const char* name;
    std::vector<Arg> args;
    double expected;
};
std::ostream& operator<<(std::ostream& os, const CountCase& c) { return os << c.name << " -> " << c.expected; }

void ExpectTexts(const std::vector<TextCase>& cases)
{
    for (const TextCase& c : cases) {
        EXPECT_EQ(MathFunctions::Str(c.name, Values(c.args)), std::string(c.expected)) << c;
        EXPECT_EQ(MathFunctions::TakeError(), "") << c;
    }
}

void ExpectNumbers(const std::vector<CountCase>& cases)
{
    for (const CountCase& c : cases) {
        EXPECT_EQ(MathFunctions::Num(c.name, Values(c.args)), c.expected) << c;
        EXPECT_EQ(MathFunctions::TakeError(), "") << c;
    }
}

// A grinning face: one character of four bytes.
#define FACE "\xF0\x9F\x98\x80"
}  // namespace

TEST_F(MathFunctions, CharacterPositionsAreLimitedNotErrors)
{
    ExpectTexts({
        TextCase{"string_char_at", {"héllo", 2}, "é"}, TextCase{"string_char_at", {"héllo", 0}, "h"},
        TextCase{"string_char_at", {"héllo", -5}, "h"}, TextCase{"string_char_at", {"héllo", 6}, ""},
        TextCase{"string_char_at", {"a" FACE "b", 2}, FACE}, TextCase{"string_char_at", {"a" FACE "b", 3}, "b"},
        TextCase{"string_copy", {"hello", 2, 3}, "ell"}, TextCase{"string_copy", {"hello", 0, 2}, "he"},
        TextCase{"string_copy", {"hello", 9, 2}, ""}, TextCase{"string_copy", {"hello", 2, -1}, ""},
        TextCase{"string_copy", {"hello", 4, 2147483647}, "lo"},
        TextCase{"string_copy", {"x" FACE "€y", 2, 2}, FACE "€"},
        TextCase{"string_delete", {"hello", 2, 2}, "hlo"}, TextCase{"string_delete", {"hello", 2, 0}, "hello"},
        TextCase{"string_delete", {"hello", 9, 2}, "hello"}, TextCase{"string_delete", {"hello", 0, 2}, "hello"},
        TextCase{"string_delete", {"a" FACE "éb", 2, 2}, "ab"},
        TextCase{"string_delete", {"hello", 4, 2147483647}, "hel"},
        TextCase{"string_insert", {"X", "abc", 1}, "Xabc"}, TextCase{"string_insert", {"X", "abc", 4}, "abcX"},
        TextCase{"string_insert", {"X", "abc", 99}, "abcX"}, TextCase{"string_insert", {"X", "abc", -3}, "Xabc"},
        TextCase{"string_insert", {"X", FACE FACE, 2}, FACE "X" FACE}});
}

TEST_F(MathFunctions, BuildingAndConvertingText)
{
    ExpectTexts({
        TextCase{"string_replace_all", {"aaa", "a", "aa"}, "aaaaaa"}, TextCase{"string_replace_all", {"abc", "", "x"}, "abc"},
        TextCase{"string_replace", {"a-b-c", "-", "+"}, "a+b-c"}, TextCase{"string_replace_all", {"", "a", "b"}, ""},
        TextCase{"string_replace_all", {"é" FACE "é", "é", "e"}, "e" FACE "e"},
        TextCase{"string_repeat", {"ab", 3}, "ababab"}, TextCase{"string_repeat", {"ab", -2}, ""},
        TextCase{"string_letters", {"a1-Bé2z", }, "aBz"}, TextCase{"string_digits", {"a1-Bé2z"}, "12"},
        TextCase{"string_lettersdigits", {"a1-Bé2z"}, "a1B2z"},
        TextCase{"string_upper", {"straße école ÿ"}, "STRAßE ÉCOLE Ÿ"}, TextCase{"string_lower", {"ÉCOLE Ω ABC"}, "école ω abc"},
        TextCase{"string_hash_to_newline", {"a#b"}, "a\r\nb"}, TextCase{"string_hash_to_newline", {"a\\#b"}, "a\\#b"},
        TextCase{"string_hash_to_newline", {"\\##"}, "\\#\r\n"}, TextCase{"string_hash_to_newline", {12}, "12"},
        TextCase{"string_format", {3.14159, 5, 2}, "   3.14"}, TextCase{"string_format", {"x", 1, 1}, "x"},
        TextCase{"string_format", {-2.5, 0, 0}, "-2"}, TextCase{"string", {5}, "5"}, TextCase{"string", {5.5}, "5.50"},
        TextCase{"string", {-0.001}, "-0.00"}, TextCase{"string", {"already"}, "already"},
        TextCase{"chr", {65}, "A"}, TextCase{"chr", {233}, "é"}, TextCase{"chr", {0x20AC}, "€"},
        TextCase{"chr", {0x1F600}, FACE}, TextCase{"chr", {0}, ""}, TextCase{"chr", {-1}, "\x7F"},
        TextCase{"ansi_char", {0x141}, "A"}, TextCase{"ansi_char", {256}, ""},
        TextCase{"string_set_byte_at", {"abc", 2, 0x158}, "aXc"}});
}

TEST_F(MathFunctions, MeasuresCountCharactersOfOneToFourBytes)
{
    ExpectNumbers({
        CountCase{"string_length", {"héllo"}, 5}, CountCase{"string_byte_length", {"héllo"}, 6},
        CountCase{"string_length", {"a" FACE "b"}, 3}, CountCase{"string_byte_length", {FACE}, 4},
        CountCase{"string_byte_at", {"é", 1}, -61}, CountCase{"string_byte_at", {"abc", 0}, 97},
        CountCase{"string_byte_at", {"abc", 99}, 99}, CountCase{"string_byte_at", {"", 1}, 0},
        CountCase{"string_ord_at", {"héllo", 6}, -1}, CountCase{"string_ord_at", {"a" FACE, 2}, 0x1F600},
        CountCase{"ord", {""}, 0}, CountCase{"ord", {"€"}, 8364}, CountCase{"ord", {FACE}, 0x1F600},
        CountCase{"string_pos", {"", "abc"}, 0}, CountCase{"string_pos", {"c", "abc"}, 3},
        CountCase{"string_pos", {"b", FACE "é" "b"}, 3}, CountCase{"string_pos", {"x", "abc"}, 0},
        CountCase{"string_pos", {"abc", ""}, 0}, CountCase{"string_count", {"aa", "aaaa"}, 3},
        CountCase{"string_count", {"", "abc"}, 3}, CountCase{"string_count", {FACE, FACE "x" FACE}, 2},
        CountCase{"string_count", {"abc", "ab"}, 0}});
}

// Truncated sequences and stray bytes: every walk stops at the terminator and
// each broken sequence counts as one character.
TEST_F(MathFunctions, InvalidUtf8StopsAtTheTerminator)
{
    ExpectNumbers({CountCase{"string_length", {"ab\xE2"}, 3}, CountCase{"string_length", {"\xF0\x9F"}, 1},
                      CountCase{"string_length", {"\x80\x80x"}, 3}, CountCase{"string_ord_at", {"ab\xE2", 3}, 0xFFFD},
                      CountCase{"string_ord_at", {"ab\xE2", 4}, -1}, CountCase{"ord", {"\xC3"}, 0xFFFD},
                      CountCase{"string_pos", {"b", "\xE2" "b"}, 2}, CountCase{"string_count", {"\x82", "\xE2\x82\xAC\x82"}, 1}});
}

TEST_F(MathFunctions, InvalidUtf8KeepsItsBytes)
{
    ExpectTexts({TextCase{"string_copy", {"a\xF0\x9F", 2, 5}, "\xF0\x9F"}, TextCase{"string_char_at", {"\xE2", 1}, "\xE2"},
                      TextCase{"string_delete", {"x\xE2", 2, 9}, "x"}, TextCase{"string_upper", {"a\xC3"}, "A\xEF\xBF\xBD"},
                      TextCase{"string_insert", {"!", "\xE2\x82", 2}, "\xE2\x82!"}});
}

TEST_F(MathFunctions, SetByteBeyondTheTextReportsAndKeepsIt)
{
    for (int position : {0, 4, -2147483647 - 1}) {
        EXPECT_EQ(Str("string_set_byte_at", {S("abc"), R(position), R(65)}), "abc");
        const std::string report = TakeError();
        EXPECT_NE(report.find("string_set_byte_at : index beyond end of string"), std::string::npos) << position;
        EXPECT_EQ(report.find("FATAL"), std::string::npos);
    }
}

TEST_F(MathFunctions, FormatGrowsPastTwoHundredFiftyFiveCharacters)
{
    EXPECT_EQ(Str("string_format", {R(1), R(300), R(0)}), std::string(299, ' ') + "1");
    const std::string big = Str("string_format", {R(1e300), R(0), R(2)});
    EXPECT_EQ(big.size(), 304u);  // 301 digits, the point and 2 decimals
    EXPECT_EQ(big.substr(0, 2), "10");
    EXPECT_EQ(big.substr(big.size() - 3), ".00");
}

TEST_F(MathFunctions, StringOfAnUnsetValueIsFatal)
{
    ScriptValue unset = ScriptValue_Undefined();
    unset.kind = VALUE_UNSET;
    ScriptValue result = Call("string", {unset});
    ScriptValue_SetUndefined(&result);
    EXPECT_NE(TakeError().find("STRING argument is unset"), std::string::npos);
}

TEST_F(MathFunctions, CharacterWalksFollowTheTextTheyAreGiven)
{
    // Forward, backward and across two texts in turn: a remembered position
    // must never answer for another text or an earlier index.
    ScriptValue first = S("aé" FACE "z");
    ScriptValue second = S("xyz");
    const char* forward[] = {"a", "é", FACE, "z", ""};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(Str("string_char_at", {Ref(first), R(i)}), forward[i - 1]) << i;
        EXPECT_EQ(Str("string_char_at", {Ref(second), R(i > 3 ? 1 : i)}), std::string(1, "xyz"[i > 3 ? 0 : i - 1]));
    }
    for (int i = 5; i >= 1; --i) EXPECT_EQ(Str("string_char_at", {Ref(first), R(i)}), forward[i - 1]) << i;
    EXPECT_EQ(Num("string_length", {Ref(first)}), 4);

    // A text freed while remembered is not reused under a new one's name.
    ScriptValue_SetUndefined(&first);
    ScriptValue third = S("pq");
    EXPECT_EQ(Str("string_char_at", {Ref(third), R(2)}), "q");
    EXPECT_EQ(Num("string_length", {Ref(third)}), 2);
    ScriptValue_SetUndefined(&second);
    ScriptValue_SetUndefined(&third);
}
