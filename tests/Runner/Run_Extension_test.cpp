// End-to-end runs of a bytecode game whose extension package binds to the
// library built with the tests, and of its profile, through quillstep_plain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"
#include "support/GameRuns.h"

namespace {
using testgames::ExtensionFunction;
using testgames::RunGame;
using testgames::SavedFile;

// Writes the line `value` pushes, through string(), to the results file.
std::string WriteLine(const std::string& value)
{
    return value + R"(
        call.i @string 1
        push.v global.100000
        call.i @file_text_write_string 2
        popz.v
        push.v global.100000
        call.i @file_text_writeln 1
        popz.v
)";
}

// The game opens results.txt, its create event writes my_add(2, 3) and
// my_join("a", 7, "b"), then ends the game; the game-end event closes the file.
// The library file's initialisation and finalisation functions log to the
// library's own file; the second file's initialisation name is also a
// script's, which runs instead (and writes "script").
std::vector<uint8_t> ExtensionGame()
{
    testgames::BytecodeGameParts game;
    testgames::CodeBuilder& code = game.code;
    game.initialisers = {code.Add("gml_GlobalScript_init", R"(
        push.s "results.txt"
        conv.s.v
        call.i @file_text_open_write 1
        pop.v.v global.100000)")};
    const int32_t script = code.Add("gml_Script_scr_init", WriteLine("push.s \"script\"\nconv.s.v"));
    game.scripts = {gamedata::Script{"scr_init", static_cast<uint32_t>(script)}};
    const int32_t create = code.Add("gml_Object_obj_main_Create_0",
                                    WriteLine("push.d 3\nconv.d.v\npush.d 2\nconv.d.v\ncall.i @my_add 2") +
                                        WriteLine("push.s \"b\"\nconv.s.v\npush.d 7\nconv.d.v\npush.s \"a\"\n"
                                                  "conv.s.v\ncall.i @my_join 3") +
                                        "call.i @game_end 0\npopz.v");
    const int32_t end = code.Add("gml_Object_obj_main_Other_3", R"(
        push.v global.100000
        call.i @file_text_close 1
        popz.v)");
    EXPECT_GE(create, 0) << code.Error();
    game.events[0] = {{0, create}};
    game.events[7] = {{3, end}};

    gamedata::ExtensionFileEntry library;
    library.fileName = QS_TEST_EXTENSION;
    library.initName = "ext_init_fn";
    library.finalName = "ext_final_fn";
    library.functions = {ExtensionFunction("ext_init_fn", 1, "ext_init"),
                         ExtensionFunction("ext_final_fn", 2, "ext_final"),
                         ExtensionFunction("my_add", 3, "ext_add", {2, 2}),
                         ExtensionFunction("my_join", 4, "ext_join", {1, 2, 1}, 1),
                         ExtensionFunction("scr_init", 5, "ext_init")};
    gamedata::ExtensionFileEntry scripted;
    scripted.kind = 4;
    scripted.initName = "scr_init";
    gamedata::ExtensionPackageEntry package;
    package.folderName = "pkg";
    package.files = {library, scripted};
    game.extensions = {package};
    return testgames::WriteBytecodeGame(game);
}
}  // namespace

TEST(RunExtension, GameCallsLibraryFunctionsAndTheFilesStartAndEndOnceInOrder)
{
    TempFolder dir;
    const ProcessRun run = RunGame(dir, ExtensionGame(), "-headless", QS_RUNNER_PATH,
                                   "QS_TEST_EXTENSION_LOG=" + ShellQuote(dir / "library.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    EXPECT_EQ(SavedFile(dir, "results.txt"), "script\r\n5\r\na|7|b\r\n") << run.Describe();
    EXPECT_EQ(dir.Read("library.log"), "init\nfinal\n") << run.Describe();
}

TEST(RunExtension, WithExtCallsNoLibraryCodeRuns)
{
    TempFolder dir;
    const ProcessRun run = RunGame(dir, ExtensionGame(), "-headless -ext", QS_RUNNER_PATH,
                                   "QS_TEST_EXTENSION_LOG=" + ShellQuote(dir / "library.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    EXPECT_EQ(SavedFile(dir, "results.txt"), "script\r\n0\r\n0\r\n") << run.Describe();
    EXPECT_EQ(dir.Read("library.log"), "<missing>") << "neither start nor end reached the library";
}

TEST(RunExtension, ProfileDumpWithIntervalZeroWritesOneReportAtTheEnd)
{
    // The step and draw events both call string(): two nodes of the call
    // tree, one row of the report. The third step ends the game.
    testgames::BytecodeGameParts game;
    const int32_t create = game.code.Add("gml_Object_obj_main_Create_0", "push.d 0\nconv.d.v\npop.v.v self.100000");
    const int32_t step = game.code.Add("gml_Object_obj_main_Step_0", R"(
        push.v self.100000
        push.d 1
        conv.d.v
        add.v.v
        pop.v.v self.100000
        push.d 1
        conv.d.v
        call.i @string 1
        popz.v
        push.v self.100000
        push.d 3
        conv.d.v
        set.v.v ge
        bf done
        call.i @game_end 0
        popz.v
        done:)");
    const int32_t draw = game.code.Add("gml_Object_obj_main_Draw_0", "push.d 2\nconv.d.v\ncall.i @string 1\npopz.v");
    ASSERT_GE(step, 0) << game.code.Error();
    game.events[0] = {{0, create}};
    game.events[3] = {{0, step}};
    game.events[8] = {{0, draw}};

    TempFolder dir;
    const ProcessRun run = RunGame(dir, testgames::WriteBytecodeGame(game), "-headless -profiledump profile.txt 0");
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    const std::string report = SavedFile(dir, "profile.txt");
    ASSERT_NE(report, "<missing>") << run.Describe();
    EXPECT_EQ(report.rfind(dir / "game.win" + " (Win32)\n\n", 0), 0u) << report;
    EXPECT_NE(report.find("\nFrame Count:                   2\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\nCALL                                               MS/FRAME     MS/CALL      CALLS/FRAME\n"),
              std::string::npos)
        << report;
    for (const char* row : {"gml_Object_obj_main_Step_0 ", "gml_Object_obj_main_Draw_0 ", "[DoAStep] ", "string "}) {
        const size_t at = report.find(std::string("\n") + row);
        EXPECT_NE(at, std::string::npos) << row << "\n" << report;
        EXPECT_EQ(report.find(std::string("\n") + row, at + 1), std::string::npos) << "one row for " << row;
    }
}
