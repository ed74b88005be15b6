#include "Function/Function_File.h"


#include <filesystem>
#include <string>

#include <gmock/gmock.h>

#include "Function/MathFunctionFixture.h"
#include "IO/LoadSave.h"
#include "support/FileWorld.h"
#include "support/RecordingConsole.h"

using ::testing::HasSubstr;

namespace {
// The file built-ins in a temporary file world, whose save area they make.
struct FileFunctions : MathFunctions, FileWorld {
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        MathFunctions::SetUp();
        InitFileFunctions();
        ASSERT_TRUE(Enter(false));
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        InitFileFunctions();  // lets go of what a test left open, unwritten
        LogConsole = savedLog;
        EXPECT_TRUE(Leave());
        MathFunctions::TearDown();
    }
    void Run(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        ScriptValue_SetUndefined(&result);
    }
};
}  // namespace

TEST_F(FileFunctions, BinaryFilesWriteCloseReopenAndReadBack)
{
    const double out = Num("file_bin_open", {S("data/b.bin"), R(1)});
    EXPECT_EQ(out, 1);
    for (int byte : {7, 300, 255}) Run("file_bin_write_byte", {R(out), R(byte)});
    EXPECT_EQ(Num("file_bin_position", {R(out)}), 3);
    EXPECT_EQ(Num("file_bin_read_byte", {R(out)}), 0);
    EXPECT_THAT(TakeError(), HasSubstr("Error reading byte.")) << "a write-only file";
    Run("file_bin_close", {R(out)});
    EXPECT_EQ(Saved("data/b.bin"), std::string("\x07\x2C\xFF"));

    const double in = Num("file_bin_open", {S("data/b.bin"), R(0)});
    EXPECT_EQ(in, 1) << "the closed slot is taken again";
    EXPECT_EQ(Num("file_bin_size", {R(in)}), 3);
    EXPECT_EQ(Num("file_bin_position", {R(in)}), 0) << "size keeps the position";
    Run("file_bin_write_byte", {R(in), R(1)});  // read-only: ignored, silently
    EXPECT_EQ(TakeError(), "");
    Run("file_bin_seek", {R(in), R(1)});
    EXPECT_EQ(Num("file_bin_read_byte", {R(in)}), 0x2C);
    EXPECT_EQ(Num("file_bin_read_byte", {R(in)}), 0xFF);
    EXPECT_EQ(Num("file_bin_read_byte", {R(in)}), 0);
    EXPECT_THAT(TakeError(), HasSubstr("Error reading byte.")) << "past the end";
    Run("file_bin_close", {R(in)});
    EXPECT_EQ(Saved("data/b.bin"), std::string("\x07\x2C\xFF")) << "a read-only file is not written back";

    // Read and write: the contents are loaded and the change written back.
    const double both = Num("file_bin_open", {S("data/b.bin"), R(2)});
    Run("file_bin_seek", {R(both), R(5)});
    Run("file_bin_write_byte", {R(both), R(9)});
    Run("file_bin_close", {R(both)});
    EXPECT_EQ(Saved("data/b.bin"), std::string("\x07\x2C\xFF\0\0\x09", 6));
}

TEST_F(FileFunctions, BinaryFileErrorsAndLimits)
{
    EXPECT_EQ(Num("file_bin_open", {S("missing.bin"), R(0)}), -1);
    EXPECT_NE(log.text.find("Error opening binary file missing.bin\n"), std::string::npos);
    EXPECT_EQ(Num("file_bin_open", {S("/etc/passwd"), R(1)}), -1) << "outside the save area";

    struct Case {
        const char* function;
        const char* message;
    } cases[] = {
        {"file_bin_close", "Trying to close unopened file."},
        {"file_bin_rewrite", "Trying to rewrite unopened file."},
        {"file_bin_position", "File is not opened."},
        {"file_bin_size", "File is not opened."},
        {"file_bin_read_byte", "File is not opened."},
    };
    for (const Case& c : cases) {
        for (double id : {0.0, 3.0, 32.0}) {
            Run(c.function, {R(id)});
            EXPECT_THAT(TakeError(), HasSubstr(c.message)) << c.function << " " << id;
        }
    }

    for (int i = 1; i <= 31; ++i) ASSERT_EQ(Num("file_bin_open", {S(("f" + std::to_string(i)).c_str()), R(1)}), i);
    EXPECT_EQ(Num("file_bin_open", {S("one-more"), R(1)}), -1);
    EXPECT_THAT(TakeError(), HasSubstr("Cannot open another file (maximum exceeded)."));

    // Game end writes back what is still open.
    Run("file_bin_write_byte", {R(4), R('z')});
    File_CloseAll();
    EXPECT_EQ(Saved("f4"), "z");
    EXPECT_EQ(Num("file_bin_open", {S("again"), R(1)}), 1);
}

TEST_F(FileFunctions, RewriteLeavesAnEmptyWritableFile)
{
    root.Write("game/seed.bin", "abc");
    const double file = Num("file_bin_open", {S("seed.bin"), R(0)});
    Run("file_bin_rewrite", {R(file)});
    EXPECT_EQ(Num("file_bin_size", {R(file)}), 0);
    Run("file_bin_close", {R(file)});
    EXPECT_EQ(Saved("seed.bin"), "");
    EXPECT_EQ(root.Read("game/seed.bin"), "abc");
}

TEST_F(FileFunctions, TextFilesWriteCrLfAndReadBackLineByLine)
{
    const double out = Num("file_text_open_write", {S("notes.txt")});
    ASSERT_EQ(out, 1);
    Run("file_text_write_string", {R(out), S("12 ab")});
    Run("file_text_writeln", {R(out)});
    Run("file_text_write_real", {R(out), R(0.5)});
    Run("file_text_write_string", {R(out), S("x\ny")});
    Run("file_text_writeln", {R(out)});
    Run("file_text_close", {R(out)});
    EXPECT_EQ(Saved("notes.txt"), "12 ab\r\n0.5 x\r\ny\r\n");

    const double in = Num("file_text_open_read", {S("notes.txt")});
    EXPECT_EQ(Str("file_text_read_string", {R(in)}), "12 ab");
    EXPECT_EQ(Num("file_text_eoln", {R(in)}), 1);
    EXPECT_EQ(Str("file_text_readln", {R(in)}), "\r\n");
    EXPECT_EQ(Num("file_text_read_real", {R(in)}), 0.5);
    EXPECT_EQ(Str("file_text_read_string", {R(in)}), " x");
    EXPECT_EQ(Str("file_text_readln", {R(in)}), "\r\n");
    EXPECT_EQ(Str("file_text_readln", {R(in)}), "y\r\n");
    EXPECT_EQ(Num("file_text_eof", {R(in)}), 1);
    // Past the end: empty texts and 0, no error.
    EXPECT_EQ(Str("file_text_readln", {R(in)}), "");
    EXPECT_EQ(Str("file_text_read_string", {R(in)}), "");
    EXPECT_EQ(Num("file_text_read_real", {R(in)}), 0);
    EXPECT_EQ(Num("file_text_eof", {R(in)}), 1);
    EXPECT_EQ(TakeError(), "");

    Run("file_text_writeln", {R(in)});
    EXPECT_THAT(TakeError(), HasSubstr("File not opened for writing."));
    Run("file_text_close", {R(in)});
    Run("file_text_close", {R(in)});  // already closed: nothing
    EXPECT_EQ(TakeError(), "");
    Run("file_text_readln", {R(in)});
    EXPECT_THAT(TakeError(), HasSubstr("File is not opened for reading."));
    Run("file_text_close", {R(40)});
    EXPECT_THAT(TakeError(), HasSubstr("Trying to close text file that has not been opened."));
}

TEST_F(FileFunctions, TextOpensFindTheSaveAreaOrTheBundleAndRefuseOtherPlaces)
{
    root.Write("game/intro.txt", "bundle line\n");
    const double append = Num("file_text_open_append", {S("intro.txt")});
    Run("file_text_write_string", {R(append), S("added")});
    Run("file_text_close", {R(append)});
    EXPECT_EQ(Saved("intro.txt"), "bundle line\nadded");
    EXPECT_EQ(root.Read("game/intro.txt"), "bundle line\n");

    const double read = Num("file_text_open_read", {S("intro.txt")});
    EXPECT_EQ(Str("file_text_readln", {R(read)}), "bundle line\n") << "the save area's copy comes first";
    Run("file_text_close", {R(read)});

    EXPECT_EQ(Num("file_text_open_read", {S("nowhere.txt")}), -1);
    EXPECT_NE(log.text.find("ERROR!!! :: Failed to open file: nowhere.txt\n"), std::string::npos);
    log.text.clear();
    EXPECT_EQ(Num("file_text_open_write", {S("../outside.txt")}), -1);
    EXPECT_NE(log.text.find("Error! not allowing save with filename"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "outside.txt"));
}

TEST_F(FileFunctions, TextFromAStringReadsUpToItsFirstBreakAndWritesNothing)
{
    const double file = Num("file_text_open_from_string", {S("first\r\nsecond")});
    EXPECT_EQ(Str("file_text_read_string", {R(file)}), "first");
    Run("file_text_readln", {R(file)});
    EXPECT_EQ(Str("file_text_read_string", {R(file)}), "second");
    Run("file_text_close", {R(file)});
    EXPECT_EQ(Saved("FileFromString"), "<missing>");

    EXPECT_EQ(Num("file_text_open_from_string", {R(5)}), -1);
    EXPECT_NE(log.text.find("ERROR!!! :: wrong type for filename\n"), std::string::npos);
}

TEST_F(FileFunctions, TheLegacyFileUsesTheNameAsGiven)
{
    Run("file_open_write", {S("legacy.txt")});
    Run("file_write_string", {S("abc")});
    Run("file_write_real", {R(2.5)});
    Run("file_writeln", {});
    Run("file_write_string", {S("next")});
    Run("file_close", {});
    EXPECT_EQ(root.Read("cwd/legacy.txt"), "abc    2.5000\nnext");

    Run("file_open_read", {S("legacy.txt")});
    EXPECT_EQ(Str("file_read_string", {}), "abc    2.5000");
    EXPECT_EQ(Str("file_readln", {}), "next");
    EXPECT_EQ(Num("file_eof", {}), 1);
    Run("file_write_string", {S("x")});
    EXPECT_THAT(TakeError(), HasSubstr("File not opened for writing."));
    Run("file_close", {});

    Run("file_open_read", {S("missing.txt")});
    Run("file_readln", {});
    EXPECT_THAT(TakeError(), HasSubstr("File not opened for reading.")) << "a missing file leaves it closed";
    Run("file_open_write", {S("no/such/folder/x.txt")});
    EXPECT_THAT(TakeError(), HasSubstr("Error opening file for writing."));
    Run("file_writeln", {});
    EXPECT_THAT(TakeError(), HasSubstr("File not opened for writing."));
}
