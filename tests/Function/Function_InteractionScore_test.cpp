// The high-score built-ins through the built-in function table.
#include <gtest/gtest.h>

#include <string>

#include "Function/InteractionFunctionFixture.h"
#include "IO/Run_Score.h"
#include "Variable/Variable_GameState.h"

namespace {
struct HighScoreFunctions : InteractionFunctions {
    void SetUp() override
    {
        InteractionFunctions::SetUp();
        Score_SetEmptyName("<nobody>");
        Score_Init();
    }
    void TearDown() override
    {
        score = 0;
        Score_SetEmptyName("<nobody>");
        Score_Init();
        InteractionFunctions::TearDown();
    }
};

TEST_F(HighScoreFunctions, AddedScoresAreReadBackByPlace)
{
    Call("highscore_add", {S("ann"), R(100)});
    Call("highscore_add", {S("bob"), R(50.9)});
    Call("highscore_add", {S("cy"), R(100)});
    EXPECT_EQ(Str("highscore_name", {R(1)}), "ann");
    EXPECT_EQ(Str("highscore_name", {R(2)}), "cy") << "an equal score goes below";
    EXPECT_EQ(Num("highscore_value", {R(3)}), 50) << "values are integers";
    EXPECT_EQ(Str("highscore_name", {R(10)}), "<nobody>");
    EXPECT_EQ(TakeError(), "");

    score = 75;
    Call("highscore_add_current", {});
    EXPECT_EQ(Str("highscore_name", {R(3)}), "DEFAULT");
    EXPECT_EQ(Num("highscore_value", {R(3)}), 75);
}

TEST_F(HighScoreFunctions, PlacesOutsideTheTableAndMissingArgumentsAreReported)
{
    const struct {
        const char* name;
        double place;
        const char* error;
    } cases[] = {
        {"highscore_value", 0, "highscore_value: place 0 is outside 1 to 10"},
        {"highscore_value", 11, "highscore_value: place 11 is outside 1 to 10"},
        {"highscore_name", -1, "highscore_name: place -1 is outside 1 to 10"},
    };
    for (const auto& c : cases) {
        const ScriptValue result = Call(c.name, {R(c.place)});
        EXPECT_NE(TakeError().find(c.error), std::string::npos) << c.error;
        if (result.Kind() == VALUE_STRING) EXPECT_STREQ(ScriptValue_StringText(&result), "");
        else EXPECT_EQ(result.real, 0) << c.name;
        ScriptValue copy = result;
        ScriptValue_SetUndefined(&copy);
    }
    Call("highscore_add", {S("short")});
    EXPECT_NE(TakeError().find("highscore_add: 1 arguments given, 2 needed"), std::string::npos);
    EXPECT_EQ(Str("highscore_name", {R(1)}), "<nobody>") << "nothing added";
}

TEST_F(HighScoreFunctions, ANewEmptyEntryTextFillsTheClearedTable)
{
    Call("highscore_add", {S("ann"), R(100)});
    Call("highscore_set_strings", {S("Best"), S("(empty)"), S("Esc")});
    EXPECT_EQ(Str("highscore_name", {R(1)}), "ann") << "setting the text clears nothing";
    Call("highscore_clear", {});
    for (int place = 1; place <= 10; ++place) {
        EXPECT_EQ(Str("highscore_name", {R(place)}), "(empty)");
        EXPECT_EQ(Num("highscore_value", {R(place)}), 0);
    }
}

TEST_F(HighScoreFunctions, ShowingTheTableClearsInput)
{
    Key(SDL_SCANCODE_A, true);
    Frame();
    ASSERT_EQ(Num("keyboard_check", {R('A')}), 1);
    Call("highscore_show_ext", {R(5), R(-1), R(0), R(0xFF), R(0), S("Sans"), R(10)});
    EXPECT_EQ(Num("keyboard_check", {R('A')}), 0);
    EXPECT_EQ(TakeError(), "");
}
}  // namespace
