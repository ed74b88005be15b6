// The game-wide variables of the running context, the game state and the
// environment, read and written as game code does.
#include <gtest/gtest.h>

#include <string>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Paths.h"
#include "IO/IO_Files.h"
#include "IO/IO_Main.h"
#include "Variable/Code_VariableValue.h"
#include "Variable/Variable_BuiltIn.h"
#include "Variable/Variable_GameState.h"
#include "World/Event_Main.h"
#include "support/EnvGuard.h"

namespace {
struct GameWideVariables : ::testing::Test {
    void SetUp() override
    {
        Variable_BuiltIn_Init();
        IO_Clear();
    }
    void TearDown() override
    {
        IO_Clear();
        error_occurred = false;
        ErrorLast_Set(nullptr);
    }
    static ScriptValue Get(const char* name)
    {
        ScriptValue out = ScriptValue_Undefined();
        EXPECT_TRUE(Variable_GetValue(nullptr, Variable_BuiltIn_Find(name), ARRAY_INDEX_NONE, &out)) << name;
        return out;
    }
    static double Real(const char* name)
    {
        ScriptValue v = Get(name);
        EXPECT_EQ(v.Kind(), VALUE_REAL) << name;
        return v.real;
    }
    static std::string Text(const char* name)
    {
        ScriptValue v = Get(name);
        EXPECT_EQ(v.Kind(), VALUE_STRING) << name;
        std::string text = v.Kind() == VALUE_STRING ? ScriptValue_StringText(&v) : "";
        ScriptValue_SetUndefined(&v);
        return text;
    }
    static void Set(const char* name, ScriptValue value)
    {
        EXPECT_TRUE(Variable_SetValue(nullptr, Variable_BuiltIn_Find(name), ARRAY_INDEX_NONE, &value)) << name;
        ScriptValue_SetUndefined(&value);
    }
    static ScriptValue S(const char* text)
    {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_InitString(&v, text);
        return v;
    }
};

TEST_F(GameWideVariables, TheRunningContext)
{
    Event_CurrentKind = 100000;
    Event_CurrentNumber = 30;
    Event_CurrentObject = 2;
    EXPECT_EQ(Real("event_type"), 100000);
    EXPECT_EQ(Real("event_number"), 30);
    EXPECT_EQ(Real("event_object"), 2);
    EXPECT_EQ(Real("event_action"), 0);
    Event_CurrentKind = Event_CurrentNumber = Event_CurrentObject = 0;
    EXPECT_EQ(Real("argument_relative"), 0);
    EXPECT_EQ(Real("iap_data"), -1);
    EXPECT_EQ(Real("async_load"), -1);

    GameGeneral.debugFlag = 1;
    EXPECT_EQ(Real("debug_mode"), 0);
    GameGeneral.debugFlag = 2;
    EXPECT_EQ(Real("debug_mode"), 1);
    GameGeneral.debugFlag = 0;

    const ScriptValue null = Get("pointer_null"), invalid = Get("pointer_invalid");
    EXPECT_EQ(null.Kind(), VALUE_PTR);
    EXPECT_EQ(invalid.Kind(), VALUE_PTR);
    EXPECT_EQ(null.ptr, nullptr);
    EXPECT_NE(null.ptr, invalid.ptr);
    EXPECT_EQ(Get("undefined").Kind(), VALUE_UNDEFINED);
}

TEST_F(GameWideVariables, TheLastError)
{
    Set("error_occurred", ScriptValue_Real(0.5));
    EXPECT_EQ(Real("error_occurred"), 1);
    Set("error_occurred", ScriptValue_Real(0.4));
    EXPECT_EQ(Real("error_occurred"), 0);

    EXPECT_EQ(Text("error_last"), "");
    Set("error_last", S("it broke"));
    EXPECT_EQ(Text("error_last"), "it broke");
    // Any other value is kept as its text.
    Set("error_last", ScriptValue_Real(5));
    EXPECT_EQ(Text("error_last"), "5");
    ShowRuntimeError("shown", false);
    EXPECT_EQ(Text("error_last"), "shown");
    EXPECT_EQ(Real("error_occurred"), 1);
}

TEST_F(GameWideVariables, CountersFlagsAndCaptions)
{
    Set("score", ScriptValue_Real(12.5));
    EXPECT_EQ(Real("score"), 12) << "rounded, ties to even";
    score = 0;
    ScoreShownExplicitly = false;
    Set("show_score", ScriptValue_Real(0.4));
    EXPECT_EQ(Real("show_score"), 0);
    EXPECT_TRUE(ScoreShownExplicitly);
    show_score = true;
    ScoreShownExplicitly = false;
    Set("health", ScriptValue_Real(55.25));
    EXPECT_EQ(Real("health"), 55.25);
    health = 100;
    Set("cursor_sprite", ScriptValue_Real(3));
    EXPECT_EQ(Real("cursor_sprite"), 3);
    Set("cursor_sprite", ScriptValue_Real(-1));

    ScriptValue saved = ScriptValue_Undefined();
    saved.Assign(caption_lives);
    Set("caption_lives", S("Ships: "));
    EXPECT_EQ(Text("caption_lives"), "Ships: ");
    Set("caption_lives", ScriptValue_Real(3));
    EXPECT_EQ(Text("caption_lives"), "3");
    caption_lives.Assign(saved);
    ScriptValue_SetUndefined(&saved);
}

TEST_F(GameWideVariables, InputStateThroughTheInputFilters)
{
    Set("keyboard_key", ScriptValue_Real(65));
    Set("keyboard_key", ScriptValue_Real(300));
    EXPECT_EQ(Real("keyboard_key"), 65);
    Set("mouse_button", ScriptValue_Real(2));
    Set("mouse_button", ScriptValue_Real(4));
    EXPECT_EQ(Real("mouse_button"), 2);
    Set("mouse_lastbutton", ScriptValue_Real(3));
    EXPECT_EQ(Real("mouse_lastbutton"), 3);
    Set("keyboard_lastkey", ScriptValue_Real(13));
    EXPECT_EQ(Real("keyboard_lastkey"), 13);

    Set("keyboard_lastchar", S("abc"));
    EXPECT_EQ(Text("keyboard_lastchar"), "a");
    Set("keyboard_lastchar", ScriptValue_Real(66));
    EXPECT_EQ(Text("keyboard_lastchar"), "a") << "only a string changes it";

    Set("keyboard_string", S("typed é"));
    EXPECT_EQ(Text("keyboard_string"), "typed é");
    Set("keyboard_string", ScriptValue_Real(5));
    EXPECT_EQ(Text("keyboard_string"), "");
}

TEST_F(GameWideVariables, FoldersAndDisplayFacts)
{
    EnvGuard env;
    env.Set("TMPDIR", "/var/tmp/qs");
    InitTempDirectory();
    EXPECT_EQ(Text("temp_directory"), "/var/tmp/qs");
    EXPECT_EQ(Text("temp_directory"), "/var/tmp/qs");
    env.Set("TMPDIR", nullptr);
    env.Set("TEMP", nullptr);
    env.Set("TMP", nullptr);
    InitTempDirectory();
    EXPECT_EQ(Text("temp_directory"), "/tmp");

    std::string exe;
    ASSERT_TRUE(Host_ExecutablePath(exe));
    EXPECT_EQ(Text("program_directory"), exe.substr(0, exe.rfind('/')));
    EXPECT_EQ(Text("game_guid"), "");
    EXPECT_EQ(Real("secure_mode"), 0);
    EXPECT_EQ(Real("webgl_enabled"), 1);
}
}  // namespace
