#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "Runner/Runner_Entry.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

TEST(Unflatten, FlattenedNamesBecomeFolders)
{
    TempFolder dir;
    dir.Write("cfg@sub@a.txt", "A");
    dir.Write("a@b.txt", "B");
    EXPECT_TRUE(UnflattenFile(dir.Path().c_str(), "cfg@sub@a.txt"));
    EXPECT_TRUE(UnflattenFile(dir.Path().c_str(), "a@b.txt"));
    EXPECT_EQ(dir.Read("cfg/sub/a.txt"), "A");
    EXPECT_EQ(dir.Read("a/b.txt"), "B");
    EXPECT_FALSE(fs::exists(dir / "cfg@sub@a.txt"));
    EXPECT_FALSE(fs::exists(dir / "a@b.txt"));
}

TEST(Unflatten, NamesThatWouldLeaveTheFolderAreRefused)
{
    TempFolder dir;
    const char* refused[] = {
        "..@escape.txt", "a@..@..@escape.txt", "@absolute.txt", "a@@b.txt", "a@.@b.txt", "trailing@", ".@x.txt",
    };
    for (const char* name : refused) {
        dir.Write(name, "keep");
        EXPECT_FALSE(UnflattenFile(dir.Path().c_str(), name)) << name;
        EXPECT_EQ(dir.Read(name), "keep") << name;
    }
    // Nothing was created inside or beside the folder.
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_FALSE(fs::exists(fs::path(dir.Path()).parent_path() / "escape.txt"));
}

TEST(Unflatten, ExistingFilesAreNeverReplaced)
{
    TempFolder dir;
    fs::create_directory(dir / "d");
    dir.Write("d/f.txt", "old");
    dir.Write("d@f.txt", "new");
    EXPECT_FALSE(UnflattenFile(dir.Path().c_str(), "d@f.txt"));
    EXPECT_EQ(dir.Read("d/f.txt"), "old");
    EXPECT_EQ(dir.Read("d@f.txt"), "new");

    // A component that is a file cannot become a folder.
    dir.Write("plain", "p");
    dir.Write("plain@x.txt", "x");
    EXPECT_FALSE(UnflattenFile(dir.Path().c_str(), "plain@x.txt"));
    EXPECT_EQ(dir.Read("plain@x.txt"), "x");
}

TEST(Unflatten, NamesWithoutAtOrTooLongAreLeftAlone)
{
    TempFolder dir;
    dir.Write("plain.txt", "p");
    EXPECT_FALSE(UnflattenFile(dir.Path().c_str(), "plain.txt"));
    EXPECT_EQ(dir.Read("plain.txt"), "p");
    const std::string tooLong = "x@" + std::string(2046, 'y');
    EXPECT_FALSE(UnflattenFile(dir.Path().c_str(), tooLong.c_str()));
    EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST(Unflatten, UnpackSkipsReadOnlyHiddenAndFolders)
{
    TempFolder dir;
    dir.Write("w@x.txt", "w");
    dir.Write("r@o.txt", "r");
    chmod((dir / "r@o.txt").c_str(), 0444);
    dir.Write(".h@x.txt", "h");
    fs::create_directory(dir / "f@g");
    fs::create_symlink(dir / "w@x.txt", dir / "l@k.txt");

    UnpackFlattenedFiles(dir.Path().c_str());
    EXPECT_EQ(dir.Read("w/x.txt"), "w");
    EXPECT_EQ(dir.Read("r@o.txt"), "r");
    EXPECT_FALSE(fs::exists(dir / "r"));
    EXPECT_EQ(dir.Read(".h@x.txt"), "h");
    EXPECT_TRUE(fs::is_directory(dir / "f@g"));
    EXPECT_TRUE(fs::is_symlink(dir / "l@k.txt"));
    EXPECT_FALSE(fs::exists(dir / "l"));
}
