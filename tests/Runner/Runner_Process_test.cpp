// Runs the built runner, and the crash handlers in a child process.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "Runner/Runner_Entry.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {
struct Result {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

Result RunShell(const std::string& command)
{
    Result result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

std::string Quote(const std::string& text)
{
    return "'" + text + "'";
}

// Runs body in a child whose standard output is captured.
Result RunInChild(void (*body)())
{
    Result result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        body();
        _exit(99);
    }
    close(fds[1]);
    char buffer[1024];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

int Recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth > 1000000000) return 0;  // far beyond any stack: it overflows first
    return Recurse(depth + 1) + frame[0];
}
}  // namespace

TEST(RunnerProcess, HeadlessWithoutGameFileReportsAndExitsWithOne)
{
    const Result r = RunShell(Quote(QS_RUNNER_PATH) + " -headless -game /no/such/file");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: /no/such/file"), std::string::npos) << r.output;
    // -headless keeps the consoles off standard output.
    EXPECT_EQ(r.output.find("FAILED to load File"), std::string::npos) << r.output;
}

TEST(RunnerProcess, DefaultGameFileIsDataWinBesideTheRunner)
{
    const std::string runner = QS_RUNNER_PATH;
    const std::string expected = runner.substr(0, runner.rfind('/') + 1) + "data.win";
    ASSERT_FALSE(fs::exists(expected));
    const Result r = RunShell(Quote(runner) + " -headless");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: " + expected), std::string::npos) << r.output;
}

TEST(RunnerProcess, RelativeGamePathIsMadeAbsolute)
{
    TempFolder dir;
    const std::string canonical = fs::canonical(dir.Path()).string();
    const Result r = RunShell("cd " + Quote(canonical) + " && " + Quote(QS_RUNNER_PATH) + " -headless -game sub/../g.win");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: " + canonical + "/g.win"), std::string::npos) << r.output;
}

TEST(RunnerProcess, DataWinBesideTheRunnerIsFoundAndGameWins)
{
    // A copy of the runner in a folder of its own, with a data.win and a
    // flattened file beside it.
    TempFolder dir;
    const std::string runner = dir / "quillstep";
    fs::copy_file(QS_RUNNER_PATH, runner);
    const std::vector<uint8_t> game = testgames::SmallGame();
    dir.Write("data.win", std::string(game.begin(), game.end()));
    dir.Write("cfg@a.txt", "shipped");

    Result r = RunShell(Quote(runner) + " -headless");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("Unable to find game"), std::string::npos) << r.output;
    EXPECT_EQ(dir.Read("cfg/a.txt"), "shipped");

    r = RunShell(Quote(runner) + " -headless -game /no/such/file");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: /no/such/file"), std::string::npos) << r.output;
}

TEST(RunnerProcess, CrashHandlersPrintOneLineAndExitWithOne)
{
    Result r = RunInChild([] {
        Runner_InstallCrashHandlers();
        raise(SIGSEGV);
    });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "Exception detected during the unit tests!\n");

    r = RunInChild([] {
        Runner_InstallCrashHandlers();
        raise(SIGFPE);
    });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "Exception detected during the unit tests!\n");

    // A stack overflow too: the handler has a stack of its own.
    r = RunInChild([] {
        Runner_InstallCrashHandlers();
        Recurse(0);
    });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "Exception detected during the unit tests!\n");

    r = RunInChild([] {
        Runner_InstallCrashHandlers();
        std::abort();
    });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "Error type 6 at abort line 0 in " + std::string(GetExecutablePath()));
}

TEST(RunnerProcess, EveryTruncatedCopyOfAGameEndsWithAMessageAndExitCodeOne)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0};
    w.Gen8(h);
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    TempFolder dir;
    for (size_t cut = 0; cut < game.size(); ++cut) {
        dir.Write("cut.win", std::string(game.begin(), game.begin() + static_cast<long>(cut)));
        const Result r = RunShell(Quote(QS_RUNNER_PATH) + " -headless -game " + Quote(dir / "cut.win"));
        EXPECT_EQ(r.exitCode, 1) << "cut at " << cut << ": " << r.output;
        EXPECT_NE(r.output.find("Game data error"), std::string::npos) << "cut at " << cut << ": " << r.output;
    }
}
