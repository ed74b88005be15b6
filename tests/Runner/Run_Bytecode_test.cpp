// End-to-end runs of games whose code is the bytecode in the game file,
// through the real runner without a game module (quillstep_plain), each as a
// process of its own with a time limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {
// Runs a runner on the game with the save area in dir.
ProcessRun RunGame(const TempFolder& dir, const std::vector<uint8_t>& game, const std::string& options,
                   const std::string& runner = QS_RUNNER_PATH)
{
    EXPECT_TRUE(gamedata::WriteFile(dir / "game.win", game));
    return RunProcess("cd " + ShellQuote(dir.Path()) + " && XDG_DATA_HOME=" + ShellQuote(dir / "save") + " " +
                      ShellQuote(runner) + " -game " + ShellQuote(dir / "game.win") + " " + options);
}

// A file the game wrote somewhere in its save area.
std::string SavedFile(const TempFolder& dir, const std::string& name)
{
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "save", ignored)) {
        if (entry.path().filename() != name) continue;
        std::ifstream f(entry.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    return "<missing>";
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A game whose object's create event is source (and room creation code room, when given).
std::vector<uint8_t> GameWithCreate(const std::string& source, const std::string& room = "")
{
    testgames::BytecodeGameParts game;
    const int32_t create = game.code.Add("gml_Object_obj_main_Create_0", source);
    EXPECT_GE(create, 0) << game.code.Error();
    game.events[0] = {{0, create}};
    if (!room.empty()) game.roomCode = game.code.Add("gml_Room_room0_Create", room);
    return testgames::WriteBytecodeGame(game);
}
}  // namespace

TEST(RunBytecode, EventsScriptsRoomCodeAndInitialisersRunThroughTheInterpreter)
{
    TempFolder dir;
    const ProcessRun run = RunGame(dir, testgames::BytecodeGame(), "-output " + ShellQuote(dir / "out.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    // The initialiser set global 1 to 5 before the instance was created; the
    // create event set alarm 0 to 2, which fires on the second step; each
    // step calls scr_line through script_execute and the draw event writes
    // what it returned (the step + 1). The fourth step ends the game: no
    // drawing after it, then the game-end event.
    EXPECT_EQ(SavedFile(dir, "results.txt"),
              "create 5\r\nroom 5\r\n"
              "step 1\r\ndraw 2\r\n"
              "alarm 1\r\nstep 2\r\ndraw 3\r\n"
              "step 3\r\ndraw 4\r\n"
              "step 4\r\n"
              "game end 4\r\n")
        << run.Describe();
    EXPECT_TRUE(Has(dir.Read("out.log"), "Game code: bytecode of the game file")) << run.Describe();
}

TEST(RunBytecode, TraceLogsEveryCodeEntryRunAndGameEndInRoomCodeEndsTheGame)
{
    TempFolder dir;
    const ProcessRun run = RunGame(dir, GameWithCreate("push.d 1\nconv.d.v\npopz.v", "call.i @game_end 0\npopz.v"),
                                   "-trace -debugoutput " + ShellQuote(dir / "debug.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    const std::string log = dir.Read("debug.log");
    EXPECT_TRUE(Has(log, "script = gml_Object_obj_main_Create_0\n")) << log;
    EXPECT_TRUE(Has(log, "script = gml_Room_room0_Create\n")) << log;
}

TEST(RunBytecode, RuntimeErrorsInBytecodeAreReportedAndEndTheRun)
{
    struct Case {
        const char* create;
        const char* room;
        const char* message;
        const char* where;  // the code entry the report names
        int exitCode;
    };
    const Case cases[] = {
        // A built-in's argument check: the fatal error of native code.
        {"push.d 5\nconv.d.v\ncall.i @string_length 1\npopz.v", "",
         "string_length argument 1 incorrect type (number) expecting a String", "at gml_Object_obj_main_Create_0", 1},
        // The interpreter's own error ends the process with -1.
        {"push.d 1\nconv.d.v\npopz.v", "push.i 7\npush.i 0\ndiv.i.i\npopz.i", "DoDiv :: Divide by zero",
         "at gml_Room_room0_Create", 255},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const ProcessRun run = RunGame(dir, GameWithCreate(c.create, c.room), "-headless");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.Describe();
        EXPECT_TRUE(Has(run.output, c.message)) << run.Describe();
        EXPECT_TRUE(Has(run.output, c.where)) << run.Describe();
        EXPECT_TRUE(Has(run.output, "FATAL ERROR in")) << run.Describe();
    }
}

TEST(RunBytecode, MalformedBytecodeIsRefusedAtLoad)
{
    const char* const cases[][2] = {
        {"push.d 1\nconv.d.v\nb 400", "the branch at offset 16 goes to 400, which is no instruction of the code"},
        {"push.d 1\n.word 0x42000000", "unknown instruction 0x42000000 at offset 12"},
        {".word 0xC0000000", "the operand of the instruction at offset 0 runs past the end of the code"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const ProcessRun run = RunGame(dir, GameWithCreate(c[0]), "-headless");
        EXPECT_EQ(run.exitCode, 1) << run.Describe();
        EXPECT_TRUE(Has(run.output, std::string("Game data error in chunk CODE: code entry 0 "
                                                "(gml_Object_obj_main_Create_0): ") + c[1]))
            << run.Describe();
    }
}

TEST(RunBytecode, RunnerWithAGameModuleRunsCompiledCode)
{
    // The same file through a runner with a linked module: its code is the
    // module's, and the file's bytecode is not even checked.
    TempFolder dir;
    const ProcessRun run = RunGame(dir, GameWithCreate(".word 0x42000000", "exit.i"),
                                   "-headless -output " + ShellQuote(dir / "out.log"),
                                   std::string(QS_TEST_RUNNER_DIR) + "/qs_runner_world");
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    EXPECT_TRUE(Has(dir.Read("out.log"), "Game code: compiled into the runner")) << run.Describe();
}
