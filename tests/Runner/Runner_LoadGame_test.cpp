#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Base/MemoryManager.h"
#include "GameData/DebugInfo.h"
#include "Host/Host_Paths.h"
#include "Runner/GameChunks.h"
#include "GameData/GameHeader.h"
#include "GameData/GameData.h"
#include "support/TestModule.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_IniOptions.h"
#include "Platform/Platform_OS.h"
#include "Runner/Runner_LoadGame.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"
#include "Code/GCRegistry.h"
#include "Graphics/VertexFormat.h"
#include "Runner/GameHeader_Load.h"

namespace {
using testgames::CapturedLog;

struct RunnerLoadGameTest : ::testing::Test {
    std::string dir;

    void SetUp() override
    {
        dir = ::testing::TempDir() + "qs_loadgame_" + std::to_string(getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        Host_CreateFolder(dir.c_str());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    static void SetPath(const char* path)
    {
        if (GameFilePath) QS_FREE(GameFilePath);
        GameFilePath = nullptr;
        if (!path) return;
        GameFilePath = static_cast<char*>(QS_ALLOC(std::strlen(path) + 1, false));
        std::strcpy(GameFilePath, path);
    }
    void Write(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(gamedata::WriteFile(dir + "/" + name, std::vector<uint8_t>(text.begin(), text.end())));
    }
};

TEST_F(RunnerLoadGameTest, ReadsTheFileWithItsOptionsIniAndDebugInformation)
{
    const std::vector<uint8_t> game = testgames::SmallGame();
    ASSERT_TRUE(gamedata::WriteFile(dir + "/game.win", game));
    Write("options.ini", "[DEFAULT]\nDebug=0\nTrace=1\nOrientPortrait=False\nOrientLandscape=7\n");
    gamedata::FormWriter debug;
    debug.Add("DBGI").U32(1).Offset(8).U32(2).U32(10).U32(20);
    debug.Add("SCPT").U32(1).Offset(8).Offset(12).Bytes("x = 1;", 7);
    debug.Add("INST").U32(3).U32(1).U32(2).U32(3);
    ASSERT_TRUE(gamedata::WriteFile(dir + "/game.kvdebug", debug.Finish()));
    SetPath((dir + "/game.win").c_str());
    DebugEnabled = true;  // as -debug did

    CapturedLog log;
    EXPECT_FALSE(RunnerLoadGame());
    ASSERT_EQ(GameDataSize, game.size());
    EXPECT_EQ(std::memcmp(GameData, game.data(), game.size()), 0);
    EXPECT_FALSE(DebugEnabled);
    EXPECT_TRUE(TraceScripts);
    EXPECT_EQ(AllowedOrientations.portrait, 0);
    EXPECT_EQ(AllowedOrientations.landscape, 1);
    EXPECT_EQ(LockedOrientations.portrait, 0) << "the display is locked to what the options allow";
    const std::string text = log.Text();
    EXPECT_NE(text.find("Checking if INIFile " + dir + "/options.ini Exists\n"), std::string::npos);
    EXPECT_NE(text.find("Loaded File " + dir + "/game.win(" + std::to_string(game.size()) + ")\n"), std::string::npos);
    EXPECT_NE(text.find("IFF wad found\n"), std::string::npos);
    const uint8_t* words = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(DebugInfo_GetDebugTable(0, &words, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(GameData_U32(words + 4), 20u);
    EXPECT_FALSE(DebugInfo_GetDebugTable(1, &words, &count));
    EXPECT_STREQ(DebugInfo_GetSource(0), "x = 1;");
    EXPECT_EQ(DebugInfo.instanceCount, 3u);
    EXPECT_TRUE(testgames::LoadBoth(game));
}

// The start-up traces as -debugoutput shows them (through the -output file).
TEST_F(RunnerLoadGameTest, DebugOutputShowsTheLoadInOrder)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Optn(gamedata::Options{});
    w.Lang(gamedata::Languages{1, {"k"}, {{"English", "GB", {"v"}}}});
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    const std::string path = dir + "/data.win";
    ASSERT_TRUE(gamedata::WriteFile(path, game));
    SetPath(path.c_str());
    Console_Reset();
    Console_SetStdoutSuppressed(true);
    Console_SetOutputFile((dir + "/out.txt").c_str());
    Console_SetDebugOutputFile((dir + "/debug.txt").c_str());
    RunnerLoadGame();
    const bool header = LoadGameHeader(GameData, GameDataSize);
    const bool chunks = LoadGameData();
    Console_Reset();
    ASSERT_TRUE(header && chunks) << GameData_LastError();
    std::ifstream f(dir + "/out.txt");
    std::stringstream text;
    text << f.rdbuf();
    const std::string size = std::to_string(game.size());
    const std::string expected[] = {"RunnerLoadGame: " + path + "\n",
                                    "RunnerLoadGame() - " + path + "\n",
                                    "Checking if INIFile " + dir + "/options.ini Exists\n",
                                    "Reading File " + path + "\n",
                                    "Loaded File " + path + "(" + size + ")\n",
                                    "IFF wad found\n",
                                    "Get Header Information\nInitQSCFunctions\nHighScore..",
                                    // loading the high scores first computes (and logs) the save prefix
                                    "Game..Math..Graphic..Action..File..Resource..Interaction..3D..Particle..Misc..DS..Sound..Physics..Gamepad..Buffers..Networking..Shaders..Kivo..Fini\nID_STRG\n",
                                    "LoadGameData()\ninitialise everything!\n",
                                    "Process Chunk: GEN8   ",
                                    "Process Chunk: OPTN   64\n",
                                    "Process Chunk: LANG   28\n",
                                    "Process Chunk: STRG   "};
    size_t at = 0;
    for (const std::string& line : expected) {
        const size_t found = text.str().find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "in\n" << text.str();
        at = found + line.size();
    }
}

TEST_F(RunnerLoadGameTest, MissingOptionsIniIsLogged)
{
    ASSERT_TRUE(gamedata::WriteFile(dir + "/data.win", testgames::SmallGame()));
    SetPath((dir + "/data.win").c_str());
    CapturedLog log;
    RunnerLoadGame();
    EXPECT_NE(log.Text().find("!!!!No INI File " + dir + "/options.ini\n"), std::string::npos);
    EXPECT_EQ(DebugInfo.data, nullptr);
}

TEST_F(RunnerLoadGameTest, EmbeddedImageWinsAndNamesTheExecutable)
{
    const std::vector<uint8_t> game = testgames::SmallGame();
    ASSERT_TRUE(gamedata::WriteFile(dir + "/data.win", std::vector<uint8_t>(16, 0)));
    SetPath((dir + "/data.win").c_str());
    GameLinkRecord module = {};
    module.gameData = game.data();
    module.dataSize = static_cast<uint32_t>(game.size());
    testmodule::Install(module);
    RunnerLoadGame();
    EXPECT_EQ(GameData, game.data());
    EXPECT_EQ(GameDataSize, game.size());
    EXPECT_STREQ(GameFilePath, GetExecutablePath());
}

TEST_F(RunnerLoadGameTest, NoGameEndsTheProcessWithExitCode1)
{
    SetPath((dir + "/absent.win").c_str());
    EXPECT_EXIT(RunnerLoadGame(), ::testing::ExitedWithCode(1), "Unable to find game!!: .*absent.win");
    SetPath(nullptr);
    HeadlessMode.noDialogs = true;
    EXPECT_EXIT(RunnerLoadGame(), ::testing::ExitedWithCode(1), "Unable to find game!!: ");
}

TEST_F(RunnerLoadGameTest, ChildGameWithoutDataGoesOn)
{
    ChildGame = true;
    SetPath((dir + "/absent.win").c_str());
    EXPECT_FALSE(RunnerLoadGame());
    EXPECT_EQ(GameData, nullptr);
}

TEST_F(RunnerLoadGameTest, ChildGameWithoutAGameFileSaysSoBeforeItEnds)
{
    ChildGame = true;
    HeadlessMode.noDialogs = true;  // no file dialog: no game file at all
    CapturedLog log;
    EXPECT_FALSE(RunnerLoadGame());
    EXPECT_EQ(GameData, nullptr);
    EXPECT_NE(log.Text().find("Reading File \n"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("Unable to find game!!: "), std::string::npos) << log.Text();
}

TEST_F(RunnerLoadGameTest, AFileThatIsNoGameIsRefusedBeforeItIsRead)
{
    std::vector<uint8_t> claims(64, 0);
    std::memcpy(claims.data(), "FORM", 4);
    claims[4] = 0xE8;
    claims[5] = 0x03;  // 1000 bytes follow, says the length word
    const struct {
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {{std::vector<uint8_t>(64, 0), "does not begin with \"FORM\""},
                 {claims, "the container says 1000 bytes follow its header but the file holds 56"}};
    ChildGame = true;  // the refusal ends the game instead of the process
    for (const auto& c : cases) {
        ASSERT_TRUE(gamedata::WriteFile(dir + "/data.win", c.bytes));
        SetPath((dir + "/data.win").c_str());
        CapturedLog log;
        RunnerLoadGame();
        EXPECT_EQ(GameData, nullptr);
        EXPECT_NE(log.Text().find(c.reason), std::string::npos) << log.Text();
        EXPECT_EQ(log.Text().find("Loaded File"), std::string::npos) << log.Text();
    }
}
}  // namespace
