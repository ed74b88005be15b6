#include "IO/LoadSaveFOpen.h"

#include <string>

#include <gtest/gtest.h>

#include "support/FileWorld.h"

namespace {
struct LoadSaveFileTest : ::testing::Test, FileWorld {
    void SetUp() override
    {
        ASSERT_TRUE(Enter());
    }
    void TearDown() override
    {
        EXPECT_TRUE(Leave());
    }
};
}  // namespace

TEST_F(LoadSaveFileTest, TextModeSkipsAByteOrderMarkAndReadsStopAtTheEnd)
{
    root.Write("save/bom.txt", "\xEF\xBB\xBF");
    LoadSaveFile* text = LoadSaveFile_Open("bom.txt", "rt");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(LoadSaveFile_Tell(text), 3);
    EXPECT_TRUE(LoadSaveFile_Eof(text));
    LoadSaveFile_Close(text);

    LoadSaveFile* binary = LoadSaveFile_Open("bom.txt", "rb");
    EXPECT_EQ(LoadSaveFile_Tell(binary), 0);
    EXPECT_EQ(LoadSaveFile_GetChar(binary), 0xEF);
    char rest[8] = {};
    EXPECT_EQ(LoadSaveFile_Read(rest, 1, 8, binary), 2u);
    EXPECT_EQ(LoadSaveFile_Read(rest, 1, 8, binary), 0u);
    // At the end the marker's low byte is 0xFF and the position still moves on.
    EXPECT_EQ(LoadSaveFile_GetChar(binary) & 0xFF, 0xFF);
    EXPECT_EQ(LoadSaveFile_Tell(binary), 4);
    EXPECT_TRUE(LoadSaveFile_Eoln(binary));
    LoadSaveFile_Close(binary);

    EXPECT_EQ(LoadSaveFile_Open("missing.txt", "r"), nullptr);
    EXPECT_EQ(LoadSaveFile_Open("bom.txt", ""), nullptr) << "a mode that neither reads nor writes";
}

TEST_F(LoadSaveFileTest, WritesReachTheSaveAreaOnlyWhenClosedWithLoneLineFeedsWidened)
{
    LoadSaveFile* file = LoadSaveFile_Open("out/w.txt", "w");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(LoadSaveFile_WriteString(file, "a\nb\r\nc"), 7u);
    EXPECT_EQ(LoadSaveFile_WriteString(file, "\n"), 2u) << "an LF at the very start counts as lone";
    EXPECT_EQ(LoadSaveFile_WriteString(file, ""), 0u);
    EXPECT_EQ(Saved("out/w.txt"), "<missing>");
    LoadSaveFile_Close(file);
    EXPECT_EQ(Saved("out/w.txt"), "a\r\nb\r\nc\r\n");

    // A seek past the end leaves a gap that a write fills with zeros.
    file = LoadSaveFile_Open("gap.bin", "wb");
    EXPECT_EQ(LoadSaveFile_Seek(file, 3, 0), 3);
    EXPECT_EQ(LoadSaveFile_Size(file), 0u);
    LoadSaveFile_Write("x", 1, 1, file);
    EXPECT_EQ(LoadSaveFile_Seek(file, 1, 2), 3) << "from the end, counting back";
    EXPECT_EQ(LoadSaveFile_Seek(file, -10, 1), 0);
    LoadSaveFile_Close(file);
    EXPECT_EQ(Saved("gap.bin"), std::string("\0\0\0x", 4));

    // Never closed: nothing on disk.
    LoadSaveFile_Discard(LoadSaveFile_Open("dropped.txt", "w"));
    EXPECT_EQ(Saved("dropped.txt"), "<missing>");
}

TEST_F(LoadSaveFileTest, AppendKeepsTheContentsWriteEmptiesAndBundleReadsWriteBackOnlyWhenWritable)
{
    root.Write("save/log.txt", "old");
    LoadSaveFile* file = LoadSaveFile_Open("log.txt", "a");
    LoadSaveFile_Write("+new", 1, 4, file);
    LoadSaveFile_Close(file);
    EXPECT_EQ(Saved("log.txt"), "old+new");

    LoadSaveFile_Close(LoadSaveFile_Open("log.txt", "w"));
    EXPECT_EQ(Saved("log.txt"), "");

    root.Write("game/level.txt", "bundle");
    LoadSaveFile_Close(LoadSaveFile_Open("level.txt", "r"));
    EXPECT_EQ(Saved("level.txt"), "<missing>");
    file = LoadSaveFile_Open("level.txt", "r+");
    EXPECT_EQ(LoadSaveFile_Tell(file), 0);
    LoadSaveFile_Close(file);
    EXPECT_EQ(Saved("level.txt"), "bundle");
    EXPECT_EQ(root.Read("game/level.txt"), "bundle");
}

TEST_F(LoadSaveFileTest, ReadRealSkipsWhiteSpaceAndConsumesOnlyTheNumber)
{
    const std::string text = " \r\n -12.5e1x 7";
    LoadSaveFile* file = LoadSaveFile_OpenMemory(text.data(), text.size());
    double value = 0;
    EXPECT_EQ(LoadSaveFile_ReadReal(file, &value), 11u);
    EXPECT_EQ(value, -125.0);
    EXPECT_EQ(LoadSaveFile_GetChar(file), 'x');
    EXPECT_EQ(LoadSaveFile_ReadReal(file, &value), 2u);
    EXPECT_EQ(value, 7.0);
    EXPECT_EQ(LoadSaveFile_ReadReal(file, &value), 0u);
    EXPECT_EQ(value, 0.0);
    LoadSaveFile_Close(file);
    EXPECT_EQ(root.Read("save/FileFromString"), "<missing>");
}
