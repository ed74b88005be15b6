// The file-system built-ins through the built-in table, in a temporary file
// world: names through the save-area and bundle rules, searches, name
// splitting, archives, programs and the command line.
#include "Function/Function_FileSystem.h"

#include <zip.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gmock/gmock.h>

#include "Code/ValueTestSupport.h"
#include "Function/FileWorldFunctions.h"
#include "Options/Runner_Options.h"
#include "support/EnvGuard.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {
struct FileSystemFunctions : FileWorldFunctions {
    void SetUp() override
    {
        FileWorldFunctions::SetUp();
        InitFileSystemFunctions();
    }
    // The names a search lists, first to last, and what follows the last.
    std::vector<std::string> Find(const char* pattern, double attributes)
    {
        std::vector<std::string> names;
        for (std::string name = Str("file_find_first", {S(pattern), R(attributes)}); !name.empty();
             name = Str("file_find_next"))
            names.push_back(name);
        EXPECT_EQ(Str("file_find_next"), "") << "the end keeps giving the empty text";
        Run("file_find_close", {});
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FileSystemFunctions, NamesSplitAndChangeTheirExtension)
{
    struct Case {
        const char* function;
        const char* path;
        const char* expected;
    } cases[] = {
        {"filename_name", "c:/x\\y.png", "y.png"},
        {"filename_name", "a\\b/c.png", "c.png"},
        {"filename_name", "plain", "plain"},
        {"filename_path", "c:\\games\\x.png", "c:\\games\\"},
        {"filename_path", "data/x.png", "data/"},
        {"filename_dir", "c:\\games\\x.png", "c:\\games"},
        {"filename_dir", "a//x.png", "a"},
        {"filename_dir", "missing.png", ""},
        {"filename_path", "missing.png", ""},
        {"filename_ext", "a.b.txt", ".txt"},
        {"filename_ext", "dir.d/file", ""},
        {"filename_ext", "noext", ""},
        {"filename_drive", "c:\\games", "c:"},
        {"filename_drive", "/home/x", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Str(c.function, {S(c.path)}), c.expected) << c.function << " " << c.path;

    struct Change {
        const char* path;
        const char* extension;
        const char* expected;
    } changes[] = {
        {"a.b.txt", ".dat", "a.b.dat"}, {"readme", "txt", "readme.txt"}, {"a.txt", "dat", "adat"},
        {"readme", ".txt", "readme.txt"}, {"readme", "", "readme"},      {"v1.2/save", ".sav", "v1.2/save.sav"},
    };
    for (const Change& c : changes)
        EXPECT_EQ(Str("filename_change_ext", {S(c.path), S(c.extension)}), c.expected) << c.path << " " << c.extension;

    // A bare name of an existing file takes the folder of its full path.
    root.Write("game/bundled.png", "x");
    EXPECT_EQ(Str("filename_dir", {S("bundled.png")}), (root / "game"));
    root.Write("save/saved.png", "x");
    EXPECT_EQ(Str("filename_path", {S("saved.png")}), (root / "save/"));
}

TEST_F(FileSystemFunctions, NullNamesAreFatalForTheFolderSplitters)
{
    // A string value without text.
    ScriptValue null = ScriptValue_Undefined();
    null.kind = VALUE_STRING;
    EXPECT_FATAL_ERROR(Run("filename_dir", {null}), "null string passed to filename_dir");
    EXPECT_FATAL_ERROR(Run("filename_path", {null}), "null string passed to filename_path");
}

TEST_F(FileSystemFunctions, SearchesFilterByAttributes)
{
    fs::create_directories(root / "save/shots/sub");
    root.Write("save/shots/a.png", "1");
    root.Write("save/shots/.hidden.png", "2");
    root.Write("save/shots/notes.txt", "3");
    fs::create_directories(root / "game/shots");
    root.Write("game/shots/a.png", "bundled twin");
    root.Write("game/shots/b.png", "4");

    using V = std::vector<std::string>;
    EXPECT_EQ(Find("shots/*.png", 0), (V{".hidden.png", "a.png", "b.png"})) << "a name in both roots is listed once";
    EXPECT_EQ(Find("shots/*", 0x10), (V{".hidden.png", "a.png", "b.png", "notes.txt", "sub"}));
    EXPECT_EQ(Find("shots/*.*", 0x02), (V{".hidden.png"}));
    EXPECT_EQ(Find("shots/?.png", 0), (V{"a.png", "b.png"}));
    EXPECT_EQ(Find("shots/*.none", 0x10), V{});
    EXPECT_EQ(Find("../../*", 0x10), V{}) << "nothing outside the two roots";
    EXPECT_EQ(Str("file_find_next"), "") << "no search open";

    EXPECT_EQ(Num("file_attributes", {S("shots/sub"), R(0)}), 0x10);
    EXPECT_EQ(Num("file_attributes", {S("shots/.hidden.png"), R(0)}), 0x22);
    EXPECT_EQ(Num("file_attributes", {S("shots/b.png"), R(0)}), 0x20) << "from the bundle";
    EXPECT_EQ(Num("file_attributes", {S("shots/none"), R(0)}), 0);
}

TEST_F(FileSystemFunctions, ChangesHappenInTheSaveAreaOnly)
{
    root.Write("game/bundled.txt", "from the bundle");
    EXPECT_EQ(Num("file_exists", {S("bundled.txt")}), 1);
    EXPECT_EQ(Num("file_exists", {S("nowhere.txt")}), 0);
    // A bundle-only file is neither deleted nor renamed, and nothing is returned.
    EXPECT_EQ(Call("file_delete", {S("bundled.txt")}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("file_rename", {S("bundled.txt"), S("moved.txt")}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(root.Read("game/bundled.txt"), "from the bundle");

    EXPECT_EQ(Num("file_copy", {S("bundled.txt"), S("copies/one.txt")}), 0);
    EXPECT_EQ(Saved("copies/one.txt"), "from the bundle");
    EXPECT_EQ(Num("file_rename", {S("copies/one.txt"), S("copies/two.txt")}), 1);
    EXPECT_EQ(Saved("copies/two.txt"), "from the bundle");
    EXPECT_EQ(Num("file_copy", {S("copies/two.txt"), S("copies/three.txt")}), 0);
    EXPECT_EQ(Num("file_rename", {S("copies/two.txt"), S("copies/three.txt")}), 0) << "never replaces a file";
    EXPECT_EQ(Num("file_delete", {S("copies/two.txt")}), 1);
    EXPECT_EQ(Saved("copies/two.txt"), "<missing>");

    EXPECT_EQ(Num("file_copy", {S("nowhere.txt"), S("x.txt")}), -1);
    EXPECT_THAT(log.text, HasSubstr("Unable to open source file nowhere.txt\n"));
    EXPECT_EQ(Num("file_copy", {S("bundled.txt"), S("/etc/qs-copy")}), -1);
    EXPECT_THAT(log.text, HasSubstr("Unable to open destination file /etc/qs-copy\n"));

    EXPECT_EQ(Num("directory_create", {S("deep/er/folder")}), 1);
    EXPECT_TRUE(fs::is_directory(root / "save/deep/er/folder"));
    EXPECT_EQ(Num("directory_exists", {S("deep/er")}), 1);
    root.Write("save/deep/er/folder/f.txt", "x");
    fs::create_directories(root / "game/deep");
    EXPECT_EQ(Num("directory_exists", {S("deep")}), 1);
    Run("directory_destroy", {S("deep")});
    EXPECT_FALSE(fs::exists(root / "save/deep"));
    EXPECT_TRUE(fs::exists(root / "game/deep")) << "the bundle keeps its folder";
    EXPECT_EQ(Num("directory_exists", {S("deep")}), 1);
    Run("directory_destroy", {S("copies/three.txt")});
    EXPECT_EQ(Saved("copies/three.txt"), "from the bundle") << "a file is no folder";
}

// Writes an archive into the save area with libzip: a folder entry and the files given.
void MakeArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    ASSERT_GE(zip_dir_add(zip, "folder", ZIP_FL_ENC_UTF_8), 0);
    for (const auto& [name, bytes] : files) {
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

TEST_F(FileSystemFunctions, ArchivesUnpackIntoTheSaveArea)
{
    const std::string one = "first", two = "second file";
    MakeArchive(root / "save/pack.zip", {{"folder/one.txt", one}, {"two.txt", two}});
    EXPECT_EQ(Num("zip_unzip", {S("pack.zip"), S("out")}), 3);
    EXPECT_EQ(Saved("out/folder/one.txt"), one);
    EXPECT_EQ(Saved("out/two.txt"), two);

    // An entry that climbs up lands inside the save area, or nowhere.
    const std::string up = "up", far = "far";
    MakeArchive(root / "game/evil.zip", {{"../x", up}, {"../../../../../../../../../../tmp/qs-zip-escape", far}});
    EXPECT_EQ(Num("zip_unzip", {S("evil.zip"), S("dest")}), 3);
    EXPECT_EQ(Saved("x"), up);
    EXPECT_FALSE(fs::exists("/tmp/qs-zip-escape"));
    EXPECT_FALSE(fs::exists(root / "x"));
    EXPECT_THAT(log.text, HasSubstr("UNZIP: Failed to write compressed file entry :o"));

    root.Write("save/broken.zip", "not an archive");
    EXPECT_EQ(Num("zip_unzip", {S("broken.zip"), S("out")}), 0);
    EXPECT_THAT(log.text, HasSubstr("Unable to open " + (root / "save/broken.zip") + " for decompression"));
}

TEST_F(FileSystemFunctions, CommandLineAndEnvironment)
{
    CommandLineTokens_Clear();
    for (const char* token : {"game", "-flag", "two words"}) RunnerNextToken(0, token);
    const int count = int(Num("parameter_count"));
    ASSERT_EQ(count, CommandLineTokens.count);
    ASSERT_GE(count, 2);
    EXPECT_EQ(Str("parameter_string", {R(0)}), CommandLineTokens.items[0]);
    EXPECT_EQ(Str("parameter_string", {R(count - 1)}), CommandLineTokens.items[count - 1]);
    EXPECT_EQ(Str("parameter_string", {R(count)}), "");
    EXPECT_EQ(Str("parameter_string", {R(-1)}), "");
    CommandLineTokens_Clear();

    EnvGuard guard;
    guard.Set("QS_FILE_TEST_VARIABLE", "a value");
    EXPECT_EQ(Str("environment_get_variable", {S("QS_FILE_TEST_VARIABLE")}), "a value");
    EXPECT_EQ(Str("environment_get_variable", {S("QS_FILE_TEST_UNSET_VARIABLE")}), "");
}

// The program runs in the current folder without a shell: the arguments
// arrive as words, quotes grouping, and ; is only a character.
TEST_F(FileSystemFunctions, ProgramsRunWithoutAShell)
{
    EXPECT_EQ(Num("execute_program", {S("/bin/sh"), S("-c \"echo $0 > waited.txt\" a;b"), R(1)}), 0);
    EXPECT_EQ(root.Read("cwd/waited.txt"), "a;b\n");

    EXPECT_EQ(Num("execute_program", {S("/bin/sh"), S("-c \"echo later > later.txt\""), R(0)}), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (root.Read("cwd/later.txt") != "later\n" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(root.Read("cwd/later.txt"), "later\n");

    EXPECT_EQ(Num("execute_program", {S("/no/such/program"), S(""), R(1)}), -1);
    EXPECT_THAT(log.text, HasSubstr("Cannot execute /no/such/program\n"));

    // The shell form hands its arguments to a shell.
    EXPECT_EQ(Num("execute_shell", {S("echo"), S("shell > shell.txt")}), 0);
    while (root.Read("cwd/shell.txt") != "shell\n" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(root.Read("cwd/shell.txt"), "shell\n");
}
}  // namespace
