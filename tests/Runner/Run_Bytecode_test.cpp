// End-to-end runs of games whose code is the bytecode in the game file,
// through the real runner without a game module (quillstep_plain), each as a
// process of its own with a time limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/GameFiles.h"
#include "support/GameRuns.h"

namespace {
using testgames::RunGame;
using testgames::SavedFile;

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

namespace {
std::string Show(const std::string& push)
{
    return "\n" + push + "\ncall.i @show_debug_message 1\npopz.v\n";
}
std::string ShowText(const std::string& text)
{
    return Show("push.s \"" + text + "\"\nconv.s.v");
}

// obj_main (a child of obj_base) performs, inherits and sets events, keeps a
// variable by name, runs out of lives and health, keeps a whole score and,
// on its alarm, calls a script with two arguments; everything it sees goes
// out through show_debug_message.
std::vector<uint8_t> MiscGame()
{
    testgames::BytecodeGameParts game;
    testgames::CodeBuilder& code = game.code;
    const int32_t create = code.Add("gml_Object_obj_main_Create_0", ShowText("create") + R"(
        push.d 2
        conv.d.v
        push.d 0
        conv.d.v
        call.i @alarm_set 2
        popz.v
        push.d 7
        conv.d.v
        push.s "hp"
        conv.s.v
        push.v self.@id
        call.i @variable_instance_set 3
        popz.v
        push.s "hp"
        conv.s.v
        push.v self.@id
        call.i @variable_instance_get 2)" + Show("") + R"(
        push.v self.@id
        call.i @variable_instance_get_names 1)" + Show("") + R"(
        push.d 0
        conv.d.v
        call.i @event_user 1
        popz.v
        push.d 11
        conv.d.v
        push.d 7
        conv.d.v
        call.i @event_perform 2
        popz.v
        call.i @event_inherited 0
        popz.v
        push.d 1
        conv.d.v
        pop.v.v self.@lives
        push.d 0
        conv.d.v
        pop.v.v self.@lives
        push.d 0
        conv.d.v
        pop.v.v self.@lives
        push.d 0
        conv.d.v
        pop.v.v self.@health
        push.d -5
        conv.d.v
        pop.v.v self.@health
        push.d 12.6
        conv.d.v
        pop.v.v self.@score)" + Show("pushb @score"));
    const int32_t mainUser0 = code.Add("gml_Object_obj_main_Other_10", ShowText("main user0") + R"(
        call.i @event_inherited 0
        popz.v)");
    const int32_t noLives = code.Add("gml_Object_obj_main_Other_6", ShowText("no more lives"));
    const int32_t noHealth = code.Add("gml_Object_obj_main_Other_9", ShowText("no more health"));
    const int32_t alarm = code.Add("gml_Object_obj_main_Alarm_0", Show("pushb @event_type") +
                                                                      Show("pushb @event_number") + R"(
        push.s "two"
        conv.s.v
        push.d 1
        conv.d.v
        call.i @scr_args 2
        popz.v
        call.i @game_end 0
        popz.v)");
    const int32_t args = code.Add("gml_Script_scr_args", Show("pushb @argument_count") + Show("pushb @argument1") +
                                                             Show("pushb @argument2") + R"(
        push.d 9
        conv.d.v
        pop.v.v self.@argument5)" + Show("pushb @argument5") +
                                                             Show("pushb @argument_count") + R"(
        push.d 0
        conv.d.v
        ret.v)", 2);
    const int32_t baseCreate = code.Add("gml_Object_obj_base_Create_0", ShowText("base create"));
    const int32_t baseUser0 = code.Add("gml_Object_obj_base_Other_10", ShowText("base user0"));
    const int32_t baseUser1 = code.Add("gml_Object_obj_base_Other_11", ShowText("base user1"));
    for (int32_t entry : {create, mainUser0, noLives, noHealth, alarm, args, baseCreate, baseUser0, baseUser1})
        EXPECT_GE(entry, 0) << code.Error();
    game.scripts = {gamedata::Script{"scr_args", static_cast<uint32_t>(args)}};
    game.events[0] = {{0, create}};
    game.events[2] = {{0, alarm}};
    game.events[7] = {{6, noLives}, {9, noHealth}, {10, mainUser0}};
    game.mainParent = 1;
    gamedata::ObjectEntry base;
    base.name = "obj_base";
    base.events[0] = {{0, baseCreate}};
    base.events[7] = {{10, baseUser0}, {11, baseUser1}};
    game.moreObjects = {base};
    return testgames::WriteBytecodeGame(game);
}
}  // namespace

TEST(RunBytecode, MiscellaneousBuiltInsWorkThroughTheRunner)
{
    TempFolder dir;
    const ProcessRun run = RunGame(dir, MiscGame(), "-headless -output " + ShellQuote(dir / "out.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    const std::string log = dir.Read("out.log");
    // The user event of the child runs, then its parent's through
    // event_inherited; user event 1, which only the parent defines, runs
    // from there; the create event inherits the parent's. Lives falling from
    // 1 to 0 and health from 100 to 0 run their events once each; the score
    // keeps whole numbers. The alarm set to 2 fires (alarm event 0 of kind 2)
    // and the script sees its two arguments, no third, and keeps no write
    // past them.
    EXPECT_TRUE(Has(log, "create\n7\n{ { hp },  }\nmain user0\nbase user0\nbase user1\nbase create\n"
                         "no more lives\nno more health\n13\n2\n0\n2\ntwo\nundefined\nundefined\n2\n"))
        << log;
}
