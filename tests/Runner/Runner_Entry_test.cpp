#include <gtest/gtest.h>

#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "Base/Console.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "Options/Runner_Strings.h"
#include "support/EnvGuard.h"
#include "Runner/Runner_Player.h"

namespace {
using EntryTest = ::testing::Test;

std::string Text(const char* text)
{
    return text ? text : "<null>";
}
}  // namespace

TEST_F(EntryTest, ArgvBecomesACommandLineThatParsesBackToTheSameArguments)
{
    const char* argv[] = {"/opt/qs/quillstep", "-game", "/my games/a b.win", "", "tab\there", "say\"hi\"", "-trace"};
    char* line = Runner_BuildCommandLine(7, const_cast<char**>(argv));
    // Arguments come unquoted: a quote in one is text, written doubled inside quotes.
    EXPECT_STREQ(line, "/opt/qs/quillstep -game \"/my games/a b.win\" \"\" \"tab\there\" \"say\"\"hi\"\"\" -trace");
    RunnerParseCommandLine(line);
    EXPECT_EQ(Text(GameFilePath), "/my games/a b.win");
    EXPECT_TRUE(TraceScripts);
    ASSERT_EQ(CommandLineTokens.count, 6);  // the empty argument is not kept
    EXPECT_STREQ(CommandLineTokens.items[3], "tab\there");
    EXPECT_STREQ(CommandLineTokens.items[4], "say\"hi\"");
    Runner_FreeText(&line);
    TraceScripts = false;
}

TEST_F(EntryTest, GameChangeRunsTheNextGameAndThenResumesTheFirst)
{
    Runner_SetGameName("First Game");
    kvw_player_run("/games/next.win", "/games/first.win", "/saves/next/");

    testing::internal::CaptureStdout();
    RunnerRestart();
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string childLine = "-game \"/games/next.win\" -exit \"/games/first.win\"";
    EXPECT_EQ(Text(RunnerCommandLine), childLine);
    EXPECT_EQ(printed, childLine);
    EXPECT_TRUE(RestartRequested);
    EXPECT_TRUE(ChildGame);
    EXPECT_FALSE(PendingGameChange.pending);
    EXPECT_EQ(PendingGameChange.nextGame, nullptr);
    EXPECT_STREQ(SavePrePend(), "/saves/next/");  // the request's save folder, not computed

    // The next pass parses that line; when the child game ends, the first resumes.
    RunnerParseCommandLine(RunnerCommandLine);
    EXPECT_EQ(Text(GameFilePath), "/games/next.win");
    EXPECT_EQ(Text(ExitGamePath), "/games/first.win");
    RestartRequested = false;
    RunnerRestart();
    EXPECT_EQ(Text(RunnerCommandLine), "-game \"/games/first.win\"");
    EXPECT_TRUE(RestartRequested);
    EXPECT_FALSE(ChildGame);
    EXPECT_EQ(ExitGamePath, nullptr);
    // Save prefix and game name were cleared: nothing until the game is named.
    EXPECT_STREQ(SavePrePend(), "");

    // The resumed game ends normally: no further pass.
    RestartRequested = false;
    RunnerRestart();
    EXPECT_FALSE(RestartRequested);
    EXPECT_EQ(Text(RunnerCommandLine), "-game \"/games/first.win\"");
}

TEST_F(EntryTest, GameChangeWithoutReturnGameKeepsChildState)
{
    kvw_player_run("/games/next.win", nullptr, nullptr);
    ChildGame = true;
    RunnerRestart();
    EXPECT_EQ(Text(RunnerCommandLine), "-game \"/games/next.win\"");
    EXPECT_TRUE(ChildGame);
    EXPECT_TRUE(RestartRequested);
}

TEST_F(EntryTest, SavePrePendFollowsTheXdgDataFolder)
{
    const passwd* pw = getpwuid(getuid());
    ASSERT_NE(pw, nullptr);
    const std::string passwdHome = pw->pw_dir;
    struct Case {
        const char* xdg;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/data/xdg", "/home/u", "/data/xdg/My Game/"},
        {"/data/xdg/", "/home/u", "/data/xdg/My Game/"},
        {nullptr, "/home/u", "/home/u/.local/share/My Game/"},
        {"", "/home/u/", "/home/u/.local/share/My Game/"},
        {"relative/dir", "/home/u", "/home/u/.local/share/My Game/"},  // relative XDG values are ignored
        {nullptr, nullptr, (passwdHome == "/" ? "" : passwdHome) + "/.local/share/My Game/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xdg ? c.xdg : "<unset>") + " / " + (c.home ? c.home : "<unset>"));
        EnvGuard env;
        env.Set("XDG_DATA_HOME", c.xdg);
        env.Set("HOME", c.home);
        Runner_SetSavePrefix("");
        Runner_SetGameName("My Game");
        EXPECT_EQ(std::string(SavePrePend()), c.expected);
        // Once made, it stays, whatever the environment says now.
        env.Set("XDG_DATA_HOME", "/elsewhere");
        EXPECT_EQ(std::string(SavePrePend()), c.expected);
    }
}

TEST_F(EntryTest, SavePrePendNeedsAUsableGameName)
{
    EnvGuard env;
    env.Set("XDG_DATA_HOME", "/data/xdg");
    Runner_SetGameName("");
    EXPECT_STREQ(SavePrePend(), "");
    Runner_SetGameName("..");
    EXPECT_STREQ(SavePrePend(), "");
    Runner_SetGameName("../../etc");  // a name is one folder, never a path
    EXPECT_STREQ(SavePrePend(), "/data/xdg/.._.._etc/");
}

TEST_F(EntryTest, SavePrePendIsLoggedOnVerboseConsole)
{
    const std::string log = ::testing::TempDir() + "qs_saveprepend_out.txt";
    std::remove(log.c_str());
    Console_SetStdoutSuppressed(true);
    Console_SetOutputFile(log.c_str());
    Console_SetDebugOutputFile((log + ".dbg").c_str());  // wakes VerboseConsole
    EnvGuard env;
    env.Set("XDG_DATA_HOME", "/data/xdg");
    Runner_SetGameName("G");
    SavePrePend();
    Console_Reset();
    FILE* f = std::fopen(log.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buffer[256] = {};
    std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    EXPECT_STREQ(buffer, "SavePrePend = /data/xdg/G/\n");
}

TEST_F(EntryTest, GameFolderIsTheGameFilesFolder)
{
    struct Case {
        const char* gameFile;
        const char* folder;
    };
    const Case cases[] = {
        {"/games/space/data.win", "/games/space/"},
        {"/data.win", "/"},
        {"data.win", "./"},  // a bare name lies in the current folder
        {nullptr, "./"},
    };
    for (const Case& c : cases) {
        Runner_ReplaceText(&GameFilePath, c.gameFile);
        Runner_FreeGameFolder();
        EXPECT_STREQ(GetGameFolder(), c.folder) << Text(c.gameFile);
    }
}

TEST_F(EntryTest, ExecutablePathAndDefaultGameFileLieTogether)
{
    const std::string exe = GetExecutablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.front(), '/');
    EXPECT_EQ(std::string(GetDefaultGameFilePath()), exe.substr(0, exe.rfind('/') + 1) + "data.win");
}

TEST_F(EntryTest, QuitRequestEndsTheMainLoopOnce)
{
    MainLoopRunning = 1;
    DispatchPendingMessages();
    EXPECT_EQ(MainLoopRunning, 1);
    Runner_PostQuit();
    EXPECT_EQ(DispatchPendingMessages(), 0);
    EXPECT_EQ(MainLoopRunning, 0);
    MainLoopRunning = 1;
    Runner_PostQuit();
    Runner_DiscardMessages();  // a new pass starts with an empty queue
    DispatchPendingMessages();
    EXPECT_EQ(MainLoopRunning, 1);
}
