// An object-mode game whose compiled code (tests/runners/objects.cpp) builds
// objects with a prototype, an accessor and a constructor script, run as
// its own process through the real runner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

using namespace gamedata;

namespace {
ProcessRun RunObjectGame(const std::string& environment, bool withStderr)
{
    FormWriter w;
    GeneralHeader header;
    header.infoFlags = 0x8000;  // object mode
    header.roomOrder = {0};
    w.Gen8(header);
    w.Optn(Options{});
    w.Scpt({Script{"Thing", 1}});
    RoomEntry room;
    room.name = "room";
    room.creationCode = 0;
    w.Room({room});
    w.Strg();
    TempFolder dir;
    const std::string path = dir / "game.win";
    EXPECT_TRUE(WriteFile(path, w.Finish()));
    ProcessWait wait;
    wait.mergeStderr = withStderr;
    return RunProcess(environment + " '" + QS_TEST_RUNNER_DIR + "/qs_runner_objects' -headless -game '" + path + "'", wait);
}
}  // namespace

TEST(RunObjects, ACompiledGameBuildsObjectsWithAPrototypeAnAccessorAndAConstructorScript)
{
    const ProcessRun run = RunObjectGame("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null", false);
    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{"area=6 kind=shape", "after area=10 w=5", "instanceof=1"}))
        << run.Describe();
}

TEST(RunObjects, AnErrorNoTryBlockTakesEndsTheGameWithTheErrorsText)
{
    const ProcessRun run = RunObjectGame("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null QS_TEST_THROW=1", true);
    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_NE(run.exitCode, 0) << run.Describe();
    EXPECT_NE(run.output.find("Unable to find a handler for exception TypeError: Trying to construct something which "
                                  "isn't an object"),
              std::string::npos)
        << run.Describe();
}
