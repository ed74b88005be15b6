#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <unistd.h>

#include "Host/Host_Paths.h"
#include "support/TempFolder.h"

TEST(HostPaths, AbsolutePathsAreResolvedByText)
{
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string here = std::string(cwd) == "/" ? "" : cwd;
    struct Case {
        const char* path;
        std::string expected;
    };
    const Case cases[] = {
        {"/a/./b/../c", "/a/c"},
        {"//a//b/", "/a/b"},
        {"/../x", "/x"},
        {"/", "/"},
        {"game.win", here + "/game.win"},
        {"./sub/../game.win", here + "/game.win"},
        {"no/such/folder/g.win", here + "/no/such/folder/g.win"},  // need not exist
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(Host_MakeAbsolutePath(c.path, out)) << c.path;
        EXPECT_EQ(out, c.expected) << c.path;
    }
    std::string out;
    EXPECT_FALSE(Host_MakeAbsolutePath("", out));
    EXPECT_FALSE(Host_MakeAbsolutePath(nullptr, out));
}

TEST(HostPaths, FoldersAndRenames)
{
    TempFolder dir;
    EXPECT_TRUE(Host_CreateFolder((dir / "f").c_str()));
    EXPECT_TRUE(Host_CreateFolder((dir / "f").c_str()));  // existing folder: fine
    dir.Write("file", "1");
    EXPECT_FALSE(Host_CreateFolder((dir / "file").c_str()));
    EXPECT_FALSE(Host_CreateFolder((dir / "none/f").c_str()));

    dir.Write("a", "A");
    dir.Write("b", "B");
    EXPECT_FALSE(Host_RenameFile((dir / "a").c_str(), (dir / "b").c_str()));
    EXPECT_EQ(dir.Read("b"), "B");
    EXPECT_TRUE(Host_RenameFile((dir / "a").c_str(), (dir / "f/a").c_str()));
    EXPECT_EQ(dir.Read("f/a"), "A");
    EXPECT_EQ(dir.Read("a"), "<missing>");
}

TEST(HostPaths, FileQueries)
{
    TempFolder dir;
    dir.Write("x", "");
    dir.Write("five", "12345");
    ASSERT_TRUE(Host_CreateFolder((dir / "f").c_str()));
    EXPECT_TRUE(Host_FileReadable((dir / "x").c_str()));
    EXPECT_FALSE(Host_FileReadable((dir / "y").c_str()));
    EXPECT_FALSE(Host_FileReadable(""));

    EXPECT_TRUE(Host_IsRegularFile((dir / "x").c_str()));
    EXPECT_FALSE(Host_IsRegularFile((dir / "f").c_str()));
    EXPECT_FALSE(Host_IsRegularFile((dir / "y").c_str()));

    struct Case {
        const char* name;
        bool regular;
        uint64_t size;
    };
    const Case cases[] = {{"five", true, 5}, {"x", true, 0}, {"f", false, 0}};
    for (const Case& c : cases) {
        std::FILE* f = std::fopen((dir / c.name).c_str(), "rb");
        ASSERT_NE(f, nullptr) << c.name;  // a folder opens for reading too
        uint64_t size = 99;
        EXPECT_EQ(Host_OpenFileSize(f, &size), c.regular) << c.name;
        if (c.regular) {
            EXPECT_EQ(size, c.size) << c.name;
        }
        std::fclose(f);
    }
}
