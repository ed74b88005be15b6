#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/MemoryManager.h"
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

namespace {
// Lines of a text that ends every line with CR LF; a stray LF shows up as its own fault.
std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

std::string TakeText(IniFile& ini)
{
    int size = -1;
    char* text = ini.WriteBack(&size);
    std::string out(text);
    EXPECT_EQ(size, int(out.size()));
    QS_FREE(text);
    return out;
}

TEST(IniFileTest, WritesKeepOneEntryAndWriteBackReversesTheOrder)
{
    IniFile ini;
    ini.LoadFromString("[a]\nk1=1\nk2 = \"x ; y\" more\n[b]\nk3=3 ;c\n");
    EXPECT_FALSE(ini.Dirty());
    EXPECT_TRUE(ini.WriteString("a", "k1", "one"));
    EXPECT_TRUE(ini.WriteString("a", "k1", "uno"));
    EXPECT_TRUE(ini.WriteString("A", "k1", "upper"));  // another section: names are case-sensitive
    EXPECT_TRUE(ini.WriteString("a", "K1", nullptr));
    EXPECT_FALSE(ini.WriteString(nullptr, "k", "v"));
    EXPECT_FALSE(ini.WriteString("a", nullptr, "v"));
    EXPECT_TRUE(ini.Dirty());
    EXPECT_STREQ(ini.ReadString("a", "k1", ""), "uno");
    EXPECT_STREQ(ini.ReadString("a", "K1", "-"), "");
    EXPECT_EQ(CrLfLines(TakeText(ini)),
              (std::vector<std::string>{"[A]", "k1=\"upper\"", "[b]", "k3=\"3\"", "[a]", "K1=\"\"", "k2=\"x ; y\"",
                                        "k1=\"uno\""}));
}

TEST(IniFileTest, DeletesRemoveOnlyTheFirstMatch)
{
    IniFile ini;
    ini.LoadFromString("[s]\nk=1\n[t]\nk=2\n[s]\nk=3\n");
    EXPECT_FALSE(ini.DeleteKey("s", "missing"));
    EXPECT_FALSE(ini.DeleteSection("none"));
    EXPECT_FALSE(ini.Dirty()) << "nothing changed";
    EXPECT_TRUE(ini.DeleteKey("s", "k"));  // the newest [s]
    EXPECT_EQ(ini.GetKey("s", "k"), nullptr) << "the first [s] found is the one changed";
    EXPECT_TRUE(ini.DeleteSection("s"));
    EXPECT_STREQ(ini.ReadString("s", "k", "-"), "1") << "the older [s] is found now";
    EXPECT_STREQ(ini.ReadString("t", "k", "-"), "2");
    EXPECT_TRUE(ini.Dirty());
}

TEST(IniFileTest, ValuesWithQuotesReadBackWhole)
{
    IniFile ini;
    ini.WriteString("s", "double", "say \"hi\"");
    const std::string text = TakeText(ini);
    IniFile again;
    again.LoadFromString(text.c_str());
    EXPECT_STREQ(again.ReadString("s", "double", ""), "say \"hi\"");
}
}  // namespace
