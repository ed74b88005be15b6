// The ini built-ins through the built-in table, in a temporary file world:
// what they read, what they write back into the save area, and when.
#include "Function/Function_Ini.h"

#include <filesystem>
#include <string>

#include <gmock/gmock.h>

#include "Function/FileWorldFunctions.h"

using ::testing::HasSubstr;

namespace {
struct IniFunctions : FileWorldFunctions {
    void SetUp() override
    {
        FileWorldFunctions::SetUp();
        InitIniFunctions();
    }
    void TearDown() override
    {
        InitIniFunctions();  // lets go of an ini a test left open
        FileWorldFunctions::TearDown();
    }
    std::string Read(const char* section, const char* key, ScriptValue fallback)
    {
        return Str("ini_read_string", {S(section), S(key), fallback});
    }
};

TEST_F(IniFunctions, BundleFileReadsThenChangesLandInTheSaveArea)
{
    root.Write("game/opts.ini", "[a]\nk1=1\nk2 = \"x ; y\" and more\n; note\n[b]\nk3=3 ;comment\n");
    Run("ini_open", {S("opts.ini")});
    EXPECT_EQ(Read("a", "k1", R(0)), "1");
    EXPECT_EQ(Read("a", "k2", R(0)), "x ; y");
    EXPECT_EQ(Num("ini_read_real", {S("b"), S("k3"), R(7)}), 3);
    EXPECT_EQ(Num("ini_read_real", {S("b"), S("K3"), R(7)}), 7) << "keys are case-sensitive";
    EXPECT_EQ(Read("A", "k1", R(5)), "5") << "an integral default has no decimals";
    EXPECT_EQ(Read("a", "none", R(2.5)), "2.50");
    EXPECT_EQ(Read("a", "none", S("text")), "text");
    EXPECT_EQ(Num("ini_key_exists", {S("a"), S("k1")}), 1);
    EXPECT_EQ(Num("ini_key_exists", {S("a"), S("k3")}), 0);
    EXPECT_EQ(Num("ini_section_exists", {S("b")}), 1);
    EXPECT_EQ(Num("ini_section_exists", {S("B")}), 0);

    Run("ini_write_real", {S("a"), S("k1"), R(1.5)});
    Run("ini_write_string", {S("a"), S("k1"), S("again")});  // one entry, the second value
    Run("ini_write_string", {S("c"), S("n"), R(4)});
    EXPECT_EQ(Read("a", "k1", R(0)), "again");
    const std::string text = Str("ini_close");
    EXPECT_EQ(text, "[c]\r\nn=\"4\"\r\n[b]\r\nk3=\"3\"\r\n[a]\r\nk2=\"x ; y\"\r\nk1=\"again\"\r\n");
    EXPECT_EQ(Saved("opts.ini"), text);
    EXPECT_EQ(root.Read("game/opts.ini").substr(0, 4), "[a]\n") << "the bundle copy is never changed";

    // Reopened, the save area's copy is the one read; its order is reversed again.
    Run("ini_open", {S("opts.ini")});
    EXPECT_EQ(Num("ini_read_real", {S("c"), S("n"), R(0)}), 4);
    Run("ini_write_real", {S("a"), S("k1"), R(1.5)});
    Run("ini_key_delete", {S("a"), S("k2")});
    Run("ini_section_delete", {S("b")});
    EXPECT_EQ(Str("ini_close"), "[a]\r\nk1=\"1.500000\"\r\n[c]\r\nn=\"4\"\r\n");
    EXPECT_EQ(Str("ini_close"), "") << "nothing open";
}

TEST_F(IniFunctions, NothingIsWrittenUnlessChanged)
{
    root.Write("save/keep.ini", "[s]\nk=1\n");
    Run("ini_open", {S("keep.ini")});
    EXPECT_EQ(Read("s", "k", R(0)), "1");
    EXPECT_EQ(Str("ini_close"), "[s]\r\nk=\"1\"\r\n");
    EXPECT_EQ(Saved("keep.ini"), "[s]\nk=1\n");

    // A missing file stays missing when nothing is written; the next open
    // writes back what changed.
    Run("ini_open", {S("sub/new.ini")});
    Run("ini_key_delete", {S("s"), S("k")});
    Run("ini_open", {S("sub/new.ini")});
    EXPECT_FALSE(std::filesystem::exists(root / "save/sub/new.ini"));
    Run("ini_write_string", {S("s"), S("k"), S("v")});
    Run("ini_open", {S("other.ini")});
    EXPECT_EQ(Saved("sub/new.ini"), "[s]\r\nk=\"v\"\r\n");

    // An ini made from text is never saved.
    Run("ini_open_from_string", {S("[t]\nx=1")});
    Run("ini_write_string", {S("t"), S("x"), S("2")});
    EXPECT_EQ(Str("ini_close"), "[t]\r\nx=\"2\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(root / "save/other.ini")) << "other.ini did not change";
}

TEST_F(IniFunctions, FlushCommandWritesAtOnceAndStoresNothing)
{
    Run("ini_open", {S("flush.ini")});
    Run("ini_write_string", {S("s"), S("k"), S("v")});
    EXPECT_FALSE(std::filesystem::exists(root / "save/flush.ini"));
    Run("ini_write_string", {S("SYSTEM_COMMAND"), S("INI_FILE_FLUSH"), S("NOW")});
    EXPECT_EQ(Saved("flush.ini"), "[s]\r\nk=\"v\"\r\n");
    Run("ini_write_string", {S("SYSTEM_COMMAND"), S("OTHER"), S("NOW")});
    EXPECT_EQ(Num("ini_section_exists", {S("SYSTEM_COMMAND")}), 0);
}

TEST_F(IniFunctions, NoIniOpenReportsAndGivesTheDefault)
{
    EXPECT_EQ(Read("s", "k", R(3)), "3");
    EXPECT_THAT(TakeError(), HasSubstr("Trying to read from undefined INI file"));
    EXPECT_EQ(Num("ini_read_real", {S("s"), S("k"), R(9)}), 9);
    EXPECT_THAT(TakeError(), HasSubstr("Trying to read from undefined INI file"));
    Run("ini_write_real", {S("s"), S("k"), R(1)});
    EXPECT_THAT(TakeError(), HasSubstr("Trying to read from undefined INI file"));
    EXPECT_EQ(Num("ini_key_exists", {S("s"), S("k")}), 0);
    EXPECT_THAT(TakeError(), HasSubstr("Trying to read from undefined INI file"));
    Run("ini_key_delete", {S("s"), S("k")});
    EXPECT_THAT(TakeError(), HasSubstr("Trying to change undefined INI file"));
    Run("ini_section_delete", {S("s")});
    EXPECT_THAT(TakeError(), HasSubstr("Trying to change undefined INI file"));
}
}  // namespace
