#include <gtest/gtest.h>

#include "IO/IniFile.h"

namespace {
TEST(IniFileTest, ValuesQuotedCommentedAndPlain)
{
    for (const char* eol : {"\r\n", "\n"}) {
        std::string text = "stray=1@[a]@k1=1@k2 = \"x ; y\" and more@; note@[b]@k3=3 ;comment@";
        for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, eol);
        IniFile ini;
        ini.LoadFromString(text.c_str());
        EXPECT_STREQ(ini.ReadString("a", "k1", "-"), "1");
        EXPECT_STREQ(ini.ReadString("a", "k2", "-"), "x ; y");
        EXPECT_STREQ(ini.ReadString("b", "k3", "-"), "3");
        EXPECT_EQ(ini.ReadInt("b", "k3", 0), 3);
        EXPECT_EQ(ini.GetKey("a", "stray"), nullptr);  // text before the first section is ignored
        EXPECT_STREQ(ini.ReadString("A", "k1", "missing"), "missing");
        EXPECT_EQ(ini.ReadInt("a", "K1", -5), -5);
    }
}

TEST(IniFileTest, KeyWithoutValueOnItsLineIsDropped)
{
    IniFile ini;
    ini.LoadFromString("\xEF\xBB\xBF[s]\nempty=   \nnext=2\ncomment= ; only\nlast='q'");
    EXPECT_EQ(ini.GetKey("s", "empty"), nullptr);
    EXPECT_EQ(ini.GetKey("s", "comment"), nullptr);
    EXPECT_STREQ(ini.ReadString("s", "next", ""), "2");
    EXPECT_STREQ(ini.ReadString("s", "last", ""), "q");
}

TEST(IniFileTest, UnterminatedSectionAndMissingEqualsEndParsing)
{
    IniFile ini;
    ini.LoadFromString("[s]\nk=1\nnoequals\n[t]\nj=2");
    EXPECT_STREQ(ini.ReadString("s", "k", ""), "1");
    EXPECT_EQ(ini.FindSection("t"), nullptr);
    IniFile open;
    open.LoadFromString("[s");
    EXPECT_EQ(open.FindSection("s"), nullptr);
}
}  // namespace
