#include <gtest/gtest.h>

#include <cstring>

#include "GameData/GameData.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "GameData/GameOptions.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"
#include "Graphics/Graphics_Primitive.h"
#include "Runner/GameChunks.h"

namespace {
struct GameOptionsTest : ::testing::Test {
    void TearDown() override { testgames::Unload(); }
};

std::vector<uint8_t> GameWithOptions(const gamedata::Options& o)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Optn(o);
    return w.Finish();
}

TEST_F(GameOptionsTest, RunnerConstantsAreTakenAndTheRestKeptInOrder)
{
    gamedata::Options o;
    o.constants = {{"@@SleepMargin", "5"}, {"@@DrawColour", "0xFF00FF"}, {"VersionMajor", "2"}, {"Speed", "12"}};
    ShowErrorDialogs = false;  // -noerrors covers only what happens before the chunk pass
    ASSERT_TRUE(testgames::LoadBoth(GameWithOptions(o))) << GameData_LastError();
    EXPECT_EQ(SleepMargin, 5);
    EXPECT_EQ(DrawColour, 0xFF00FFu);
    EXPECT_EQ(GameOptions.drawColour, 0xFF00FFu);
    EXPECT_EQ(GameOptions.versionMajor, 2);
    ASSERT_EQ(GameOptions.constantCount, 2u);
    EXPECT_STREQ(GameOptions.constantNames[0], "VersionMajor");
    EXPECT_STREQ(GameOptions.constantValues[0], "2");
    EXPECT_STREQ(GameOptions.constantNames[1], "Speed");
    EXPECT_STREQ(GameOptions.constantValues[1], "12");
    EXPECT_TRUE(ShowErrorDialogs);
}

TEST_F(GameOptionsTest, DrawColourReadsOctalAndDecimalToo)
{
    const std::pair<const char*, uint32_t> cases[] = {{"0x10", 16}, {"010", 8}, {"10", 10}, {"junk", 0}};
    for (const auto& [text, value] : cases) {
        gamedata::Options o;
        o.constants = {{"@@DrawColour", text}};
        ASSERT_TRUE(testgames::LoadBoth(GameWithOptions(o))) << GameData_LastError();
        EXPECT_EQ(GameOptions.drawColour, value) << text;
        testgames::Unload();
    }
}

// The same flags through both layouts give the same options.
TEST_F(GameOptionsTest, NewerAndOlderLayoutsAgree)
{
    for (bool newer : {true, false}) {
        SCOPED_TRACE(newer);
        gamedata::Options o;
        o.newerLayout = newer;
        o.flags = (1u << 2) | (1u << 7) | (1u << 9) | (1u << 15) | (1u << 21) | (1u << 22);
        o.windowColour = 0x123456;
        o.colourDepthCode = 2;
        o.resolutionCode = 3;
        o.frequencyCode = 4;
        o.constants = {{"VersionMinor", "7"}};
        ASSERT_TRUE(testgames::LoadBoth(GameWithOptions(o))) << GameData_LastError();
        EXPECT_FALSE(GameOptions.fullScreen);
        EXPECT_TRUE(GameOptions.newAudioEngine);
        EXPECT_FALSE(GameOptions.showCursor);
        EXPECT_TRUE(GameOptions.displayModeChange);
        EXPECT_TRUE(GameOptions.altEnterFullScreen);
        EXPECT_TRUE(GameOptions.pauseWhenInactive);
        EXPECT_TRUE(GameOptions.allErrorsFatal);
        EXPECT_TRUE(GameOptions.unsetVariablesAreErrors);
        EXPECT_EQ(GameOptions.windowColour, 0x123456u);
        EXPECT_EQ(GameOptions.colourDepthCode, 2u);
        EXPECT_EQ(GameOptions.resolutionCode, 3u);
        EXPECT_EQ(GameOptions.frequencyCode, 4u);
        EXPECT_EQ(GameOptions.versionMinor, 7);
        testgames::Unload();
    }
}

TEST_F(GameOptionsTest, FullScreenBitIsIgnoredInAWindow)
{
    gamedata::Options o;
    o.flags = 1;
    const std::vector<uint8_t> bytes = GameWithOptions(o);
    ASSERT_TRUE(testgames::LoadBoth(bytes));
    EXPECT_TRUE(GameOptions.fullScreen);
    testgames::Unload();
    InAWindow = true;
    ASSERT_TRUE(testgames::LoadBoth(bytes));
    EXPECT_FALSE(GameOptions.fullScreen);
}

TEST_F(GameOptionsTest, CollisionBitsOnlyInTheNewerLayout)
{
    gamedata::Options o;
    o.flags = (1ull << 26) | (1ull << 27);
    ASSERT_TRUE(testgames::LoadBoth(GameWithOptions(o)));
    EXPECT_TRUE(GameOptions.collisionMode);
    EXPECT_TRUE(GameOptions.collisionCompatibility);
}
}  // namespace
