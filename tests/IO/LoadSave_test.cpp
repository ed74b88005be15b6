#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "Base/MemoryManager.h"
#include "IO/IO_Files.h"
#include "IO/LoadSave.h"
#include "support/EnvGuard.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {
// A temporary world: root/save/ is the save area, root/game/ the game's
// folder (bundle and program directory), root/cwd the current folder.
struct SaveAreaTest : ::testing::Test {
    TempFolder root;
    std::string save, game, cwd, previous;
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        save = root / "save/";
        game = root / "game/";
        cwd = root / "cwd";
        std::filesystem::create_directories(game);
        std::filesystem::create_directories(cwd);
        previous = std::filesystem::current_path();
        ASSERT_EQ(chdir(cwd.c_str()), 0);
        Runner_SetSavePrefix(save.c_str());
        InitProgramDirectory((game + "data.win").c_str());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        FileWhitelist_Free(&FileWhitelist_Read);
        FileWhitelist_Free(&FileWhitelist_Write);
        Runner_SetSavePrefix("");
        InitProgramDirectory(nullptr);
        EXPECT_EQ(chdir(previous.c_str()), 0);
    }
    std::string SavePath(const std::string& name)
    {
        char out[2048];
        LoadSave_MakeSavePath(out, sizeof out, name.c_str());
        return out;
    }
    std::string BundlePath(const std::string& name)
    {
        char out[2048];
        LoadSave_MakeBundlePath(out, sizeof out, name.c_str());
        return out;
    }
};

TEST_F(SaveAreaTest, SavePathsAreReRootedIntoTheSaveAreaOrRefused)
{
    const std::string r = root.Path();
    struct Case {
        std::string name, expected;
        bool refusedLine;
    } cases[] = {
        {"test.txt", save + "test.txt", false},
        {"saves\\game.dat", save + "saves/game.dat", false},
        {"a/./b/../c.txt", save + "a/c.txt", false},
        {game + "data/x.txt", save + "data/x.txt", false},  // the game's folder is redirected
        {save + "in/kept.txt", save + "in/kept.txt", false},
        {"../escape.txt", "", true},
        {"sub/../../../x", "", true},
        {"/etc/passwd", "", true},
        {r + "/cwdx/y.txt", "", true},    // shares a prefix with the current folder, is not in it
        {r + "/gamex/y.txt", "", true},   // likewise for the game's folder
        {r + "/save", "", true},          // the save folder itself is no file in it
        {".", "", true},                  // the current folder itself
        {"", "", false},
        {std::string(3000, 'n'), "", false},  // longer than the caller's buffer
    };
    for (const Case& c : cases) {
        log.text.clear();
        EXPECT_EQ(SavePath(c.name), c.expected) << c.name;
        EXPECT_EQ(log.text.find("Error! not allowing save") != std::string::npos, c.refusedLine) << c.name << log.text;
        EXPECT_EQ(log.text.find("Warning!"), std::string::npos) << c.name;
    }
    char small[8] = "x";
    LoadSave_MakeSavePath(small, sizeof small, "test.txt");
    EXPECT_STREQ(small, "");
    LoadSave_MakeSavePath(small, sizeof small, nullptr);
    EXPECT_STREQ(small, "");

    // No save area (no game name yet): nothing is written anywhere.
    Runner_SetSavePrefix("");
    EXPECT_EQ(SavePath("test.txt"), "");
}

TEST_F(SaveAreaTest, AllowedListsAdmitChosenFilesAndFoldersOnly)
{
    const std::string other = root / "other";
    EXPECT_EQ(SavePath(other + "/x.txt"), "");
    FileWhitelist_Add(&FileWhitelist_Write, other.c_str(), 1);
    log.text.clear();
    EXPECT_EQ(SavePath(other + "/x.txt"), other + "/x.txt");
    EXPECT_EQ(SavePath(other + "/deep/y"), other + "/deep/y");
    EXPECT_EQ(log.text, "");
    EXPECT_EQ(SavePath(other + "file.txt"), "");  // no separator after the prefix
    EXPECT_EQ(SavePath(root / "OTHER/x.txt"), "");

    // An exact entry admits that file only, with the same case.
    FileWhitelist_Add(&FileWhitelist_Write, (root / "pick/Chosen.txt").c_str(), 0);
    EXPECT_EQ(SavePath(root / "pick/Chosen.txt"), root / "pick/Chosen.txt");
    EXPECT_EQ(SavePath(root / "pick/chosen.txt"), "");
    EXPECT_EQ(SavePath(root / "pick/Chosen.txt2"), "");

    // A listed file inside the current folder is still redirected, with a warning.
    FileWhitelist_Add(&FileWhitelist_Write, (cwd + "/listed.txt").c_str(), 0);
    log.text.clear();
    EXPECT_EQ(SavePath("listed.txt"), save + "listed.txt");
    EXPECT_EQ(log.text, "Warning! Save location - redirected to: '" + save + "listed.txt'\n");

    EXPECT_TRUE(FileWhitelist_MatchPrefix(&FileWhitelist_Write, (other + "/a").c_str()));
    EXPECT_FALSE(FileWhitelist_MatchPrefix(&FileWhitelist_Write, (root / "pick/Chosen.txt").c_str()));

    // Bundle reads: only the read list admits outside files.
    const std::string opened = root / "opened.png";
    EXPECT_EQ(BundlePath(opened), "");
    FileWhitelist_Add(&FileWhitelist_Read, opened.c_str(), 0);
    EXPECT_EQ(BundlePath(opened), opened);
    EXPECT_EQ(BundlePath(root / "opened.png2"), "");
}

TEST_F(SaveAreaTest, BundlePathsStayInTheGamesFolder)
{
    EXPECT_EQ(BundlePath("test.txt"), game + "test.txt");
    EXPECT_EQ(BundlePath("sub\\a.png"), game + "sub/a.png");
    EXPECT_EQ(BundlePath(game + "data.win"), game + "data.win");
    EXPECT_EQ(BundlePath("../x.txt"), "");
    EXPECT_EQ(BundlePath("/etc/passwd"), "");
    EXPECT_EQ(BundlePath(save + "s.txt"), "");
    EXPECT_EQ(BundlePath("."), "");
    // A current folder inside the game's folder keeps the full path.
    std::filesystem::create_directories(game + "inner");
    ASSERT_EQ(chdir((game + "inner").c_str()), 0);
    EXPECT_EQ(BundlePath("test.txt"), game + "inner/test.txt");
    EXPECT_EQ(BundlePath("../test.txt"), game + "test.txt");
    EXPECT_EQ(BundlePath("../../x"), "");
    // Without a game file the bundle is the executable's folder.
    InitProgramDirectory(nullptr);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    const std::string bundle = LoadSave_BundleFolder();
    EXPECT_EQ(bundle.back(), '/');
    EXPECT_EQ(BundlePath("a.txt"), bundle + "a.txt");
}

TEST_F(SaveAreaTest, WholeFilesAreWrittenReadAndDeleted)
{
    const char bytes[] = {1, 2, 0, 3};
    ASSERT_TRUE(LoadSave_WriteSaveFile("deep/er/file.bin", bytes, sizeof bytes));
    EXPECT_TRUE(DirectoryExists((save + "deep/er").c_str()));
    EXPECT_TRUE(LoadSave_SaveFileExists("deep/er/file.bin"));
    EXPECT_FALSE(LoadSave_BundleFileExists("deep/er/file.bin"));
    uint32_t size = 99;
    uint8_t* data = LoadSave_ReadSaveFile("deep\\er\\file.bin", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string(bytes, 4));
    QS_FREE(data);

    ASSERT_TRUE(LoadSave_WriteSaveFile("empty.bin", nullptr, 0));
    data = LoadSave_ReadSaveFile("empty.bin", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(data[0], 0);
    QS_FREE(data);

    root.Write("game/shipped.txt", "abc");
    data = LoadSave_ReadBundleFile("shipped.txt", nullptr);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "abc");
    QS_FREE(data);
    EXPECT_EQ(LoadSave_ReadSaveFile("shipped.txt", &size), nullptr);
    EXPECT_EQ(size, 0u);

    EXPECT_EQ(LoadSave_ReadWholeFile(save.c_str(), &size), nullptr);  // a folder is no file
    EXPECT_FALSE(LoadSave_WriteSaveFile("../out.bin", bytes, 4));
    EXPECT_FALSE(std::filesystem::exists(root / "out.bin"));

    EXPECT_TRUE(LoadSave_DeleteSaveFile("deep/er/file.bin"));
    EXPECT_FALSE(LoadSave_SaveFileExists("deep/er/file.bin"));
    EXPECT_FALSE(LoadSave_DeleteSaveFile("deep/er/file.bin"));
    EXPECT_FALSE(LoadSave_DeleteSaveFile("deep/er"));
}

// Game end removes only what this run created in the temporary-files folder.
TEST_F(SaveAreaTest, GameEndRemovesTheTemporaryFilesThisRunCreatedAndNothingElse)
{
    {
        EnvGuard env;
        const std::string temp = root / "temp";
        std::filesystem::create_directories(temp);
        env.Set("TMPDIR", temp.c_str());
        InitTempDirectory();
        FileWhitelist_Add(&FileWhitelist_Write, temp.c_str(), 1);
        root.Write("temp/theirs.txt", "kept");
        root.Write("temp/rewritten.txt", "old");

        ASSERT_TRUE(LoadSave_WriteSaveFile((temp + "/made.bin").c_str(), "x", 1));
        ASSERT_TRUE(LoadSave_WriteSaveFile((temp + "/rewritten.txt").c_str(), "new", 3));
        EnsureFileDirectory((temp + "/deep/opened.txt").c_str());
        LoadSaveFile* f = LoadSave_OpenFile((temp + "/deep/opened.txt").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        LoadSaveFile_Close(f);
        ASSERT_TRUE(LoadSave_WriteSaveFile("outside.bin", "y", 1));
        // A save area inside the temporary folder keeps its files.
        Runner_SetSavePrefix((temp + "/saves/").c_str());
        ASSERT_TRUE(LoadSave_WriteSaveFile("slot1.sav", "z", 1));
        Runner_SetSavePrefix(save.c_str());

        CleanTempDirectory();
        EXPECT_FALSE(std::filesystem::exists(temp + "/made.bin"));
        EXPECT_FALSE(std::filesystem::exists(temp + "/deep/opened.txt"));
        EXPECT_EQ(root.Read("temp/theirs.txt"), "kept");
        EXPECT_EQ(root.Read("temp/rewritten.txt"), "new");
        EXPECT_TRUE(std::filesystem::is_directory(temp));
        EXPECT_TRUE(LoadSave_SaveFileExists("outside.bin"));
        EXPECT_EQ(root.Read("temp/saves/slot1.sav"), "z");
    }
    InitTempDirectory();  // the real folder again, once the guard restored TMPDIR
}

TEST_F(SaveAreaTest, FoldersAreCreatedWithTheirParents)
{
    EXPECT_TRUE(CreateDirectoryRecursive((root / "a/b/c/").c_str()));
    EXPECT_TRUE(DirectoryExists((root / "a/b/c").c_str()));
    EXPECT_TRUE(CreateDirectoryRecursive("/"));
    EXPECT_FALSE(CreateDirectoryRecursive("bare"));
    EXPECT_FALSE(CreateDirectoryRecursive(""));
    EXPECT_FALSE(DirectoryExists("bare"));
    root.Write("file", "x");
    EXPECT_FALSE(CreateDirectoryRecursive((root / "file/sub").c_str()));
}
}  // namespace
