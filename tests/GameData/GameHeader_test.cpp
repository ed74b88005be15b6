#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"
#include "Runner/GameHeader_Load.h"

namespace {
using testgames::CapturedLog;

struct GameHeaderTest : ::testing::Test {
    void TearDown() override { testgames::Unload(); }
};

std::vector<uint8_t> HeaderOnly(const gamedata::GeneralHeader& h)
{
    gamedata::FormWriter w;
    w.Gen8(h);
    return w.Finish();
}

TEST_F(GameHeaderTest, HeaderPassReadsGeneralHeaderAndTablesWithItsLogLines)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.formatVersion = 15;
    h.configName = "Release";
    h.gameName = "Rocks";
    h.displayName = "Rocks!";
    h.gameId = 77;
    h.windowWidth = 1024;
    h.windowHeight = 768;
    h.infoFlags = 0x8001;
    h.featureMask = 0x4;
    h.steamAppId = 480;
    w.Gen8(h);
    w.Add("CODE").U32(2).U32(0).U32(0);
    w.Add("VARI").U32(1).U32(2).U32(3);
    const uint32_t first = w.AddString("first");
    const uint32_t second = w.AddString("second");
    w.Strg();
    const std::vector<uint8_t> bytes = w.Finish();

    CapturedLog log;
    ASSERT_TRUE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size()))) << GameData_LastError();
    // Loading the high scores logs the save prefix, which depends on the user's folders.
    std::string text = log.Text();
    if (const size_t prefix = text.find("SavePrePend = "); prefix != std::string::npos)
        text.erase(prefix, text.find('\n', prefix) + 1 - prefix);
    EXPECT_EQ(text, "Get Header Information\nInitQSCFunctions\n"
                          "HighScore..Game..Math..Graphic..Action..File..Resource..Interaction..3D..Particle..Misc..DS..Sound..Physics..Gamepad..Buffers..Networking..Shaders..Kivo..Fini\n"
                          "Code_Load()\nVARI_Load()\n"
                          "got 1 global variables\ngot 2 instance variables\ngot 3 local variables\nID_STRG\n");
    EXPECT_EQ(FormatVersion, 15);
    EXPECT_TRUE(NewCodeFormat);
    EXPECT_TRUE(LayerMode);
    EXPECT_TRUE(ObjectMode);
    EXPECT_STREQ(GameGeneral.configName, "Release");
    EXPECT_STREQ(GameGeneral.gameName, "Rocks");
    EXPECT_STREQ(GameGeneral.displayName, "Rocks!");
    EXPECT_EQ(GameGeneral.gameId, 77u);
    EXPECT_EQ(GameGeneral.windowWidth, 1024u);
    EXPECT_EQ(GameGeneral.appSurfaceHeight, 768u);
    EXPECT_EQ(GameGeneral.infoFlags, 0x8001u);
    EXPECT_EQ(GameGeneral.featureMask, 0x4u);
    EXPECT_EQ(GameGeneral.steamAppId, 480u);
    EXPECT_EQ(GameGeneral.compatibilityLevel, 800);
    EXPECT_TRUE(GameTables.codePresent);
    EXPECT_EQ(GameTables.codeCount, 2u);
    EXPECT_EQ(GameTables.variWords, 3u);
    EXPECT_EQ(GameTables.stringCount, second + 1);  // the header's own texts come first
    EXPECT_STREQ(GameData_StringTableText(first), "first");
    EXPECT_STREQ(GameData_StringTableText(second), "second");
    EXPECT_EQ(GameData_StringTableText(second + 1), nullptr);
}

// Which fields a header of each format version carries.
TEST_F(GameHeaderTest, FormatVersionDecidesWhichFieldsAreRead)
{
    struct Case {
        int version;
        uint32_t major;
        bool window, display, featureMask, steam, speed;
    };
    const Case cases[] = {
        {7, 2, false, false, false, false, false},  {9, 2, true, false, false, false, false},
        {10, 2, true, true, false, false, false},   {12, 2, true, true, true, false, false},
        {13, 2, true, true, true, true, false},     {14, 2, true, true, true, true, true},
        {14, 1, true, true, true, true, false},     {16, 3, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        gamedata::GeneralHeader h;
        h.formatVersion = static_cast<uint8_t>(c.version);
        h.major = c.major;
        h.windowWidth = 321;
        h.displayName = "Shown";
        h.featureMask = 0x4;
        h.steamAppId = 9;
        h.gameSpeed = 50.0f;
        h.roomOrder = c.version <= 7 ? std::vector<uint32_t>{} : std::vector<uint32_t>{3, 1, 2};
        const std::vector<uint8_t> bytes = HeaderOnly(h);
        ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
        EXPECT_EQ(GameGeneral.windowWidth, c.window ? 321u : 800u);
        EXPECT_EQ(GameGeneral.windowHeight, c.window ? 360u : 480u);
        EXPECT_EQ(GameGeneral.infoFlags, c.window ? 0u : 2u);
        EXPECT_EQ(GameGeneral.displayName != nullptr, c.display);
        EXPECT_EQ(GameGeneral.featureMask, c.featureMask ? 0x4u : ~0ull);
        EXPECT_EQ(GameGeneral.steamAppId, c.steam ? 9u : 0u);
        EXPECT_EQ(GameGeneral.gameSpeed, c.speed ? 50.0 : 0.0);
        testgames::Unload();
    }
}

TEST_F(GameHeaderTest, InAWindowClearsFullScreenAndFlagBit12ForbidsExternalCalls)
{
    gamedata::GeneralHeader h;
    h.infoFlags = 0x1001;
    const std::vector<uint8_t> bytes = HeaderOnly(h);
    InAWindow = true;
    ASSERT_TRUE(testgames::LoadBoth(bytes));
    EXPECT_EQ(GameGeneral.infoFlags, 0x1000u);
    EXPECT_TRUE(NoExternalCalls);
}

TEST_F(GameHeaderTest, ChunksOfLengthZeroAreLoggedAndSkipped)
{
    gamedata::FormWriter w;
    w.Add("GEN8");
    w.Gen8(gamedata::GeneralHeader{});
    const std::vector<uint8_t> bytes = w.Finish();
    CapturedLog log;
    ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
    EXPECT_NE(log.Text().find("Process Chunk: GEN8   0\n"), std::string::npos);
    EXPECT_EQ(FormatVersion, 15);
}

TEST_F(GameHeaderTest, WrongLengthWordOrTagRefusesTheWholeFile)
{
    std::vector<uint8_t> bytes = HeaderOnly(gamedata::GeneralHeader{});
    bytes.push_back(0);
    EXPECT_FALSE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size())));
    const std::string expected = "Game data error in chunk FORM: the container says " +
                                 std::to_string(bytes.size() - 9) + " bytes follow its header but the file holds " +
                                 std::to_string(bytes.size() - 8);
    EXPECT_EQ(GameData_LastError(), expected);
    EXPECT_EQ(FormatVersion, 0);
    EXPECT_EQ(GameGeneral.windowWidth, 800u);
    bytes.pop_back();
    std::memcpy(bytes.data(), "FROM", 4);
    EXPECT_FALSE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_NE(std::string(GameData_LastError()).find("does not begin with \"FORM\""), std::string::npos);
    // The tag with its bytes reversed is read like "FORM".
    std::memcpy(bytes.data(), "MROF", 4);
    EXPECT_TRUE(LoadGameHeader(bytes.data(), static_cast<uint32_t>(bytes.size()))) << GameData_LastError();
}
}  // namespace

namespace {
TEST_F(GameHeaderTest, WindowSizesOutsideTheUsableRangeAreRefusedAndNoneMeansTheDefault)
{
    const struct {
        uint32_t width, height;
        bool loads;
        uint32_t readWidth, readHeight;
    } cases[] = {
        {0, 0, true, 800, 480},       // none given: the default size
        {1, 16384, true, 1, 16384},
        {16385, 100, false, 0, 0},
        {100, 0x80000000u, false, 0, 0},  // negative as the window takes it
        {0xFFFFFFFFu, 100, false, 0, 0},
    };
    for (const auto& c : cases) {
        gamedata::GeneralHeader h;
        h.windowWidth = c.width;
        h.windowHeight = c.height;
        const std::vector<uint8_t> bytes = HeaderOnly(h);
        CapturedLog log;
        EXPECT_EQ(testgames::LoadBoth(bytes), c.loads) << c.width << " x " << c.height;
        if (c.loads) {
            EXPECT_EQ(GameGeneral.windowWidth, c.readWidth);
            EXPECT_EQ(GameGeneral.windowHeight, c.readHeight);
            EXPECT_EQ(GameGeneral.appSurfaceWidth, c.readWidth);
        } else {
            EXPECT_NE(std::string(GameData_LastError()).find("window size"), std::string::npos) << GameData_LastError();
        }
        testgames::Unload();
    }
}
}  // namespace
