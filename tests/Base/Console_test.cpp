#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Base/Console.h"

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct ConsoleTest : ::testing::Test {
    std::string dir = ::testing::TempDir();
    void SetUp() override { Console_SetStdoutSuppressed(true); }
};
}  // namespace

TEST_F(ConsoleTest, OutputFileGetsTextAsFormatted)
{
    const std::string path = dir + "qs_console_out.txt";
    std::remove(path.c_str());
    Console_SetOutputFile(path.c_str());
    OutputConsole->Output("100%% %s %d\n", "done", 7);
    OutputConsole->Output("%s\n", "rate 50%d");  // formatted once, never again as a format
    LogConsole->Output("log only\n");  // selector 1 goes to the debug file, not here
    EXPECT_EQ(ReadFile(path), "100% done 7\nrate 50%d\n");
}

TEST_F(ConsoleTest, DebugOutputRedirectsLogAndWakesVerbose)
{
    const std::string out = dir + "qs_console_out2.txt";
    const std::string dbg = dir + "qs_console_dbg.txt";
    std::remove(out.c_str());
    std::remove(dbg.c_str());
    VerboseConsole->Output("LoadGameData()\n");  // discarded before -debugoutput
    Console_SetOutputFile(out.c_str());
    Console_SetDebugOutputFile(dbg.c_str());
    LogConsole->Output("log line\n");
    LogConsole->Output(nullptr);
    VerboseConsole->Output("Entering main loop.\n");
    EXPECT_EQ(ReadFile(dbg), "log line\n");
    EXPECT_EQ(ReadFile(out), "Entering main loop.\n");
}

TEST_F(ConsoleTest, LongTextIsCutTo4095BytesInFiles)
{
    const std::string path = dir + "qs_console_long.txt";
    std::remove(path.c_str());
    Console_SetOutputFile(path.c_str());
    const std::string text(5000, 'x');
    OutputConsole->Output("%s", text.c_str());
    EXPECT_EQ(ReadFile(path).size(), 4095u);
}

TEST_F(ConsoleTest, LogFilePathsAreKeptWholeUpToTheSystemLimit)
{
    // About 2,000 bytes of nested folders: longer than a short fixed buffer,
    // well inside what the system opens.
    std::string path = dir + "qs_console_deep";
    for (int i = 0; i < 9; ++i) {
        path += "/" + std::string(200, 'd');
        std::filesystem::create_directories(path);
    }
    path += "/out.txt";
    Console_SetOutputFile(path.c_str());
    OutputConsole->Output("kept\n");
    EXPECT_EQ(ReadFile(path), "kept\n");
    std::filesystem::remove_all(dir + "qs_console_deep");

    const std::string tooLong(kLogPathCapacity + 10, 'x');
    ::testing::internal::CaptureStderr();
    Console_SetDebugOutputFile(tooLong.c_str());
    LogConsole->Output("dropped\n");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(g_LogSettings.hasDebugOutputFile);
    EXPECT_EQ(err.find("The log file x"), 0u) << err;
    EXPECT_NE(err.find("cannot be written"), std::string::npos);
}

TEST(ErrStreamConsole, GrowsAndKeepsTextInOrder)
{
    TErrStreamConsole console;
    EXPECT_EQ(console.Capacity(), 102400);
    const std::string chunk(10000, 'a');
    std::string expected;
    for (int i = 0; i < 12; ++i) {
        console.Output("%s%d", chunk.c_str(), i);
        expected += chunk + std::to_string(i);
    }
    EXPECT_EQ(std::string(console.Text()), expected);
    EXPECT_GT(console.Capacity(), 102400);
}

TEST_F(ConsoleTest, VerboseReachesStandardOutputOnlyWithDebugOutput)
{
    const std::string dbg = dir + "qs_console_dbg_verbose.txt";
    std::remove(dbg.c_str());
    Console_SetStdoutSuppressed(false);
    ::testing::internal::CaptureStdout();
    VerboseConsole->Output("LoadGameData()\n");
    LogConsole->Output(nullptr);
    Console_SetDebugOutputFile(dbg.c_str());
    VerboseConsole->Output("Entering main loop.\n");
    Console_SetStdoutSuppressed(true);  // -headless
    OutputConsole->Output("hidden\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Entering main loop.\n");
    EXPECT_EQ(ReadFile(dbg), "");  // verbose text never goes to the debug file
    std::remove(dbg.c_str());
}
