// The '#' line breaks of games made before room layers.
#include <gtest/gtest.h>

#include <string>

#include "Font/Graphics_Text.h"
#include "GameData/GameHeader.h"

namespace {
struct LegacyNewlines : ::testing::Test {
    bool savedLayerMode = LayerMode;
    void TearDown() override { LayerMode = savedLayerMode; }

    // The converted text and its code-point count.
    static std::pair<std::string, int32_t> Convert(std::string text)
    {
        const int32_t count = ConvertLegacyNewlines(text.data());
        return {text.c_str(), count};
    }
};

TEST_F(LegacyNewlines, OlderGamesBreakAtHash)
{
    LayerMode = false;
    struct Case {
        const char* text;
        const char* converted;
        int32_t count;
    };
    const Case cases[] = {
        {"a#b", "a\rb", 3},
        {"a\\#b", "a#b", 3},
        {"\\\\#", "\\#", 2},
        {"\\##", "#\r", 2},
        {"#", "\r", 1},
        {"\xC3\xA9#\xE2\x82\xAC", "\xC3\xA9\r\xE2\x82\xAC", 3},
        {"\xFF#\x80", "\xFF\r\x80", 3},  // malformed bytes stay as they were
        {"", "", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Convert(c.text), std::make_pair(std::string(c.converted), c.count)) << c.text;
    EXPECT_EQ(ConvertLegacyNewlines(nullptr), 0);
}

TEST_F(LegacyNewlines, GamesWithLayersKeepTheText)
{
    LayerMode = true;
    EXPECT_EQ(Convert("a\\#b#\xC3\xA9"), std::make_pair(std::string("a\\#b#\xC3\xA9"), 6));
}
}  // namespace
