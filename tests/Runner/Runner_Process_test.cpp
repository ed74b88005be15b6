// Runs the built runner, and the crash handlers in a child process.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Runner/Runner_Entry.h"
#include "support/GameFiles.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {
std::string Runner()
{
    return ShellQuote(QS_RUNNER_PATH);
}

// Runs body in a forked child whose standard output is captured. The child
// only raises a signal, whose handler writes and ends the process at once:
// nothing in it waits for a thread the fork left behind.
ProcessRun RunInChild(void (*body)())
{
    ProcessRun result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        alarm(60);  // a handler that hangs ends here
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
    const ProcessRun r = RunProcess(Runner() + " -headless -game /no/such/file");
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
    const ProcessRun r = RunProcess(ShellQuote(runner) + " -headless");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: " + expected), std::string::npos) << r.output;
}

TEST(RunnerProcess, RelativeGamePathIsMadeAbsolute)
{
    TempFolder dir;
    const std::string canonical = fs::canonical(dir.Path()).string();
    const ProcessRun r = RunProcess("cd " + ShellQuote(canonical) + " && " + Runner() + " -headless -game sub/../g.win");
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

    // The game is read: it has no room, which ends it as a game that cannot start.
    ProcessRun r = RunProcess(ShellQuote(runner) + " -headless");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("No room to start the game in"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Unable to find game"), std::string::npos) << r.output;
    EXPECT_EQ(dir.Read("cfg/a.txt"), "shipped");

    r = RunProcess(ShellQuote(runner) + " -headless -game /no/such/file");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("Unable to find game!!: /no/such/file"), std::string::npos) << r.output;
}

TEST(RunnerProcess, CrashHandlersPrintOneLineAndExitWithOne)
{
    ProcessRun r = RunInChild([] {
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

namespace {
// Where a cut shows a different fault: in the container's header, in a
// chunk's header, inside its payload and just short of its end, and a seeded
// few more. The loader's own tests cut at every byte, in process: this shows
// that the runner reports the refusal and ends.
std::vector<size_t> CutPoints(const std::vector<uint8_t>& game)
{
    std::vector<size_t> cuts = {0, 3, 8};
    for (size_t at = 8; at + 8 <= game.size();) {
        const size_t length = game[at + 4] | game[at + 5] << 8 | game[at + 6] << 16 | size_t(game[at + 7]) << 24;
        for (size_t offset : {size_t(4), size_t(8), 8 + length / 2, 7 + length}) cuts.push_back(at + offset);
        at += 8 + length;
    }
    std::mt19937 random(static_cast<uint32_t>(::testing::UnitTest::GetInstance()->random_seed()));
    for (int i = 0; i < 4; ++i) cuts.push_back(random() % game.size());
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    while (!cuts.empty() && cuts.back() >= game.size()) cuts.pop_back();
    return cuts;
}
}  // namespace

TEST(RunnerProcess, TruncatedCopiesOfAGameEndWithAMessageAndExitCodeOne)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0};
    w.Gen8(h);
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    TempFolder dir;
    for (size_t cut : CutPoints(game)) {
        dir.Write("cut.win", std::string(game.begin(), game.begin() + static_cast<long>(cut)));
        const ProcessRun r = RunProcess(Runner() + " -headless -game " + ShellQuote(dir / "cut.win"));
        EXPECT_EQ(r.exitCode, 1) << "cut at " << cut << ": " << r.Describe();
        EXPECT_NE(r.output.find("Game data error"), std::string::npos) << "cut at " << cut << ": " << r.Describe();
    }
}

namespace {
// A game the runner can start: one room in its play order.
std::vector<uint8_t> RunnableGame(gamedata::GeneralHeader h = {}, void (*extra)(gamedata::FormWriter&) = nullptr)
{
    gamedata::FormWriter w;
    if (h.roomOrder.empty()) h.roomOrder = {0};
    w.Gen8(h);
    if (extra) extra(w);
    gamedata::RoomEntry room;
    room.name = "room";
    w.Room({room});
    w.Strg();
    return w.Finish();
}

// The games here have no code, so one that starts runs until it is stopped:
// it has started once its log says the main loop is entered.
ProcessRun RunUntilStarted(const TempFolder& dir, const std::string& path)
{
    const std::string log = dir / "started.txt";
    std::remove(log.c_str());
    ProcessWait wait;
    wait.text = "Entering main loop.";
    wait.awaitFile = log;
    return RunProcess(Runner() + " -headless -game " + ShellQuote(path) + " -debugoutput " + ShellQuote(dir / "debug.txt") +
                          " -output " + ShellQuote(log),
                      wait);
}

// A run that is expected to end by itself.
ProcessRun RunGameFile(const std::string& path, const std::string& options = "")
{
    return RunProcess(Runner() + " -headless -game " + ShellQuote(path) + " " + options);
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}
}  // namespace

TEST(RunnerProcess, WindowSizesOutsideTheUsableRangeAreRefusedAndNoneMeansTheDefault)
{
    TempFolder dir;
    const struct {
        uint32_t width, height;
        bool starts;
    } cases[] = {{0, 0, true}, {640, 360, true}, {0x80000000u, 360, false}, {640, 0xFFFFFFFFu, false}, {100000, 360, false}};
    for (const auto& c : cases) {
        gamedata::GeneralHeader h;
        h.windowWidth = c.width;
        h.windowHeight = c.height;
        const std::vector<uint8_t> game = RunnableGame(h);
        dir.Write("g.win", std::string(game.begin(), game.end()));
        if (c.starts) {
            const ProcessRun r = RunUntilStarted(dir, dir / "g.win");
            EXPECT_TRUE(r.reached) << c.width << " x " << c.height << ": " << r.Describe();
        } else {
            const ProcessRun r = RunGameFile(dir / "g.win");
            EXPECT_EQ(r.exitCode, 1) << c.width << " x " << c.height << ": " << r.Describe();
            EXPECT_NE(r.output.find("window size"), std::string::npos) << r.output;
        }
    }
}

TEST(RunnerProcess, AGameWithoutARoomToStartInEndsWithOne)
{
    TempFolder dir;
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {3};  // names a room the file does not have
    w.Gen8(h);
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    dir.Write("g.win", std::string(game.begin(), game.end()));
    const ProcessRun r = RunGameFile(dir / "g.win");
    EXPECT_EQ(r.exitCode, 1) << r.Describe();
    EXPECT_NE(r.output.find("No room to start the game in"), std::string::npos) << r.output;
}

TEST(RunnerProcess, EveryRefusalOfAGameFileSaysWhyOnStandardError)
{
    TempFolder dir;
    const struct {
        const char* what;
        void (*extra)(gamedata::FormWriter&);
        const char* reason;
    } cases[] = {
        {"unknown chunk", [](gamedata::FormWriter& w) { w.Add("ZZZZ").U32(7); }, "ZZZZ"},
        {"unknown function", [](gamedata::FormWriter& w) { w.Add("FUNC").U32(1).String("no_such_function").U32(0).U32(0).U32(0); },
         "Unable to find function no_such_function"},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> game = RunnableGame({}, c.extra);
        dir.Write("g.win", std::string(game.begin(), game.end()));
        // Standard error only: -headless keeps the consoles off standard output.
        ProcessWait stderrOnly;
        stderrOnly.mergeStderr = false;
        const ProcessRun r = RunProcess("(" + Runner() + " -headless -game " + ShellQuote(dir / "g.win") + " 2>&1 >/dev/null)",
                                        stderrOnly);
        EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.Describe();
        EXPECT_NE(r.output.find(c.reason), std::string::npos) << c.what << ": " << r.output;
    }
}

// A windowed run, on an X server of its own, of a game the runner refuses:
// the error dialog is up (SDL shows it from a child of the runner) when the
// signal comes. A request to end ends the run with the load error's code, and
// the dialog goes with the runner, even when the runner is killed outright.
TEST(RunnerProcess, EndRequestsEndARunWhoseLoadErrorDialogIsOpen)
{
    if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed: the dialog needs a display";
    TempFolder dir;
    const std::vector<uint8_t> game = RunnableGame({}, [](gamedata::FormWriter& w) { w.Add("ZZZZ").U32(7); });
    dir.Write("g.win", std::string(game.begin(), game.end()));
    const std::string display = std::to_string(500 + getpid() % 400);
    const struct {
        const char* signal;
        const char* end;
    } cases[] = {{"TERM", "exit 1\n"}, {"INT", "exit 1\n"}, {"KILL", "exit 137\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        // alive: the process exists and is no zombie.
        const std::string script =
            "alive() { s=$(awk '{print $3}' /proc/$1/stat 2>/dev/null); [ -n \"$s\" ] && [ \"$s\" != Z ]; }; "
            "Xvfb :" + display + " -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 & x=$!; "
            "i=0; while [ ! -e /tmp/.X11-unix/X" + display + " ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; "
            "DISPLAY=:" + display + " SDL_VIDEODRIVER=x11 " + Runner() + " -game " + ShellQuote(dir / "g.win") +
            " >/dev/null 2>&1 & r=$!; "
            // The dialog: a child of the runner that stays.
            "child() { cat /proc/$r/task/*/children 2>/dev/null | awk '{print $1}'; }; "
            "i=0; d=; while [ $i -lt 600 ]; do d=$(child); if [ -n \"$d\" ]; then sleep 0.3; "
            "[ \"$(child)\" = \"$d\" ] && break; fi; sleep 0.1; i=$((i+1)); done; "
            "echo \"dialog ${d:-none}\"; "
            "kill -" + c.signal + " $r; "
            "i=0; while alive $r && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; "
            "if alive $r; then echo 'runner still running'; kill -KILL $r; fi; "
            "wait $r; echo \"exit $?\"; "
            "i=0; while [ -n \"$d\" ] && alive $d && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done; "
            "if [ -n \"$d\" ] && alive $d; then echo 'dialog left open'; kill -KILL $d; fi; "
            "kill $x; wait $x";
        const ProcessRun r = RunProcess(script);
        EXPECT_EQ(r.output.find("dialog none"), std::string::npos) << r.Describe();
        EXPECT_EQ(r.output.find("runner still running"), std::string::npos) << r.Describe();
        EXPECT_NE(r.output.find(c.end), std::string::npos) << r.Describe();
        EXPECT_EQ(r.output.find("dialog left open"), std::string::npos) << r.Describe();
    }
}

TEST(RunnerProcess, LongPathsAndQuotesInNamesReachTheGameFile)
{
    TempFolder dir;
    const std::vector<uint8_t> game = RunnableGame();
    // Ten folders of 200 bytes: a path of more than 2,000 bytes.
    std::string folder = dir.Path();
    for (int i = 0; i < 10; ++i) folder += "/" + std::string(200, static_cast<char>('a' + i));
    fs::create_directories(folder);
    std::ofstream(folder + "/g.win", std::ios::binary).write(reinterpret_cast<const char*>(game.data()),
                                                            static_cast<std::streamsize>(game.size()));
    ProcessRun r = RunUntilStarted(dir, folder + "/g.win");
    EXPECT_TRUE(r.reached) << r.Describe().substr(0, 600);

    fs::create_directories(dir / "say \"hi\"");
    std::ofstream(dir / "say \"hi\"/g.win", std::ios::binary)
        .write(reinterpret_cast<const char*>(game.data()), static_cast<std::streamsize>(game.size()));
    r = RunUntilStarted(dir, dir / "say \"hi\"/g.win");
    EXPECT_TRUE(r.reached) << r.Describe();
}

TEST(RunnerProcess, AnOutputFileThatCannotBeWrittenIsReportedOnceAndControlBytesAreEscaped)
{
    TempFolder dir;
    // A game whose code names a function the runner lacks writes lines for both files.
    const std::vector<uint8_t> game = RunnableGame({}, [](gamedata::FormWriter& w) {
        w.Add("FUNC").U32(1).String("no_such_function").U32(0).U32(0).U32(0);
    });
    dir.Write("g.win", std::string(game.begin(), game.end()));
    for (const char* option : {"-output", "-debugoutput"}) {
        const ProcessRun r = RunGameFile(dir / "g.win", std::string(option) + " " + ShellQuote(dir / "no/such/folder/out.txt"));
        EXPECT_EQ(r.exitCode, 1) << r.Describe();
        EXPECT_EQ(Occurrences(r.output, "cannot be written"), 1u) << option << ": " << r.output;
        EXPECT_NE(r.output.find(dir / "no/such/folder/out.txt"), std::string::npos) << r.output;
    }

    const ProcessRun r = RunGameFile(dir / "bell\x07here\x1b[2J.win");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("bell\\x07here\\x1b[2J.win"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\x07'), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\x1b'), std::string::npos) << r.output;
}

TEST(RunnerProcess, FilesOf4GiBOrMoreAreRefusedForTheirSizeAndAReversedSignatureIsRead)
{
    TempFolder dir;
    {
        std::ofstream(dir / "big.win", std::ios::binary) << "FORM";
    }
    fs::resize_file(dir / "big.win", (uint64_t{1} << 32) + 8);  // sparse: takes no space
    ProcessRun r = RunGameFile(dir / "big.win");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("4 GiB"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Unable to find game"), std::string::npos) << r.output;

    std::vector<uint8_t> game = RunnableGame();
    std::memcpy(game.data(), "MROF", 4);
    dir.Write("g.win", std::string(game.begin(), game.end()));
    r = RunUntilStarted(dir, dir / "g.win");
    EXPECT_TRUE(r.reached) << r.Describe();
}
