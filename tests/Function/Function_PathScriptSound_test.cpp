// The path, timeline, sound and script built-ins as game code calls them:
// queries of live and missing assets, their messages, point edits, moments
// that run scripts, the two audio modes of the sound built-ins, and
// script_execute reached through the table the game's header pass fills.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Function/Function_Path.h"
#include "Function/Function_Script.h"
#include "Function/Function_Sound.h"
#include "Function/Function_Timeline.h"
#include "Function/ResourceFunctionFixture.h"
#include "GameData/GameOptions.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "Script/Script_Main.h"
#include "World/TimeLine_Main.h"
#include "support/ModuleFixture.h"

namespace {

struct PathTimelineSoundFunctions : ResourceFunctions {
    void SetUp() override
    {
        Path_Init();
        TimeLine_Init();
        SetUpWith({InitPathFunctions, InitTimelineFunctions, InitSoundResourceFunctions});
    }
    void TearDown() override
    {
        Path_FreeAll();
        TimeLine_FreeAll();
        GameOptions.newAudioEngine = false;
        ResourceFunctions::TearDown();
    }
};

TEST_F(PathTimelineSoundFunctions, PathQueriesEditsAndMessages)
{
    const double p = Num("path_add", {});
    const double missing = p + 7;
    Call("path_set_kind", {R(p), R(0)});
    Call("path_set_closed", {R(p), R(0)});
    Call("path_add_point", {R(p), R(0), R(0), R(100)});
    Call("path_add_point", {R(p), R(30), R(0), R(50)});
    Call("path_add_point", {R(p), R(30), R(40), R(100)});
    EXPECT_EQ(Num("path_get_number", {R(p)}), 3);
    EXPECT_EQ(Num("path_get_length", {R(p)}), 70);
    EXPECT_EQ(Num("path_get_closed", {R(p)}), 0);
    EXPECT_EQ(Num("path_get_point_x", {R(p), R(1)}), 30);
    EXPECT_EQ(Num("path_get_point_speed", {R(p), R(1)}), 50);
    EXPECT_EQ(Num("path_get_point_x", {R(p), R(99)}), 0);
    EXPECT_EQ(Num("path_get_point_speed", {R(p), R(99)}), 0) << "every field of a point outside is 0";
    EXPECT_EQ(Num("path_get_x", {R(p), R(1)}), 30);
    EXPECT_EQ(Num("path_get_y", {R(p), R(1)}), 40);

    const char* getters[] = {"path_get_length", "path_get_kind", "path_get_precision", "path_get_number"};
    for (const char* name : getters) EXPECT_EQ(Num(name, {R(missing)}), -1) << name;
    EXPECT_EQ(Num("path_get_point_x", {R(missing), R(0)}), -1);
    EXPECT_EQ(Num("path_get_x", {R(missing), R(0)}), -1);
    EXPECT_EQ(Num("path_get_closed", {R(missing)}), 0);
    EXPECT_EQ(Str("path_get_name", {R(missing)}), "<undefined>");
    EXPECT_EQ(Num("path_exists", {R(p)}), 1);

    Call("path_change_point", {R(p), R(2), R(30), R(10), R(100)});
    Call("path_delete_point", {R(p), R(0)});
    Call("path_shift", {R(p), R(5), R(0)});
    EXPECT_EQ(Num("path_get_point_x", {R(p), R(0)}), 35);
    EXPECT_EQ(Num("path_get_point_y", {R(p), R(1)}), 10);
    Call("path_insert_point", {R(p), R(0), R(1), R(2), R(3)});
    EXPECT_EQ(Num("path_get_point_x", {R(p), R(0)}), 1);

    const double copy = Num("path_duplicate", {R(p)});
    EXPECT_EQ(Num("path_get_number", {R(copy)}), 3);
    Call("path_append", {R(copy), R(p)});
    EXPECT_EQ(Num("path_get_number", {R(copy)}), 6);
    Call("path_clear_points", {R(p)});
    EXPECT_EQ(Num("path_get_number", {R(p)}), 0);
    EXPECT_EQ(TakeError(), "");

    const struct {
        const char* name;
        std::vector<double> args;
        const char* error;
    } failures[] = {
        {"path_duplicate", {missing}, "Trying to duplicate non-existing path."},
        {"path_delete", {missing}, "Trying to delete non-existing path."},
        {"path_append", {missing, copy}, "Appending to non-existing path."},
        {"path_append", {copy, missing}, "Appending a non-existing path."},
        {"path_assign", {p, missing}, "Error assigning a path."},
        {"path_add_point", {missing, 1, 1, 1}, ""},
        {"path_rotate", {missing, 90}, ""},
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.name);
        std::vector<ScriptValue> args;
        for (double v : c.args) args.push_back(R(v));
        Call(c.name, args);
        EXPECT_EQ(TakeError(), c.error);
    }
    EXPECT_EQ(Num("path_duplicate", {R(missing)}), 0) << "0, not -1";
    EXPECT_EQ(Num("path_get_number", {R(copy)}), 6) << "appending a missing path changes nothing";
    EXPECT_EQ(Num("path_delete", {R(copy)}), 1);
    EXPECT_EQ(Num("path_exists", {R(copy)}), 0);
    ForgetErrors();
    EXPECT_TRUE(NoResult("path_add_point", {R(p), R(1)}));
    EXPECT_EQ(TakeError(), "path_add_point: 2 arguments given, 4 needed");
}

TEST_F(PathTimelineSoundFunctions, TimelineMomentsRunOneScriptEach)
{
    const double t = Num("timeline_add", {});
    const double missing = t + 4;
    EXPECT_EQ(Num("timeline_max_moment", {R(t)}), 0);
    EXPECT_EQ(Num("timeline_size", {R(missing)}), -1);
    EXPECT_EQ(Num("timeline_max_moment", {R(missing)}), -1);
    Call("timeline_moment_add_script", {R(t), R(30), R(1)});
    Call("timeline_moment_add_script", {R(t), R(10), R(2)});
    Call("timeline_moment_add_script", {R(t), R(30), R(5)});
    EXPECT_EQ(Num("timeline_size", {R(t)}), 2);
    EXPECT_EQ(Num("timeline_max_moment", {R(t)}), 30);
    CTimeLine* line = TimeLine_Get(int32_t(t));
    EXPECT_EQ(line->GetMomentEvent(line->FindMoment(30)), 2 * 5 + 1) << "the second script replaced the first";
    Call("timeline_moment_clear", {R(t), R(30)});
    EXPECT_EQ(Num("timeline_size", {R(t)}), 1);
    Call("timeline_clear", {R(t)});
    EXPECT_EQ(Num("timeline_size", {R(t)}), 0);
    Call("timeline_moment_add", {R(t), R(1), S("x")});
    EXPECT_EQ(TakeLog(), "timeline_moment_add :: deprecated function\n");
    EXPECT_EQ(Num("timeline_delete", {R(missing)}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing timeline.");
    EXPECT_EQ(Num("timeline_delete", {R(t)}), 1);
    EXPECT_EQ(Num("timeline_exists", {R(t)}), 0);
    EXPECT_EQ(Str("timeline_get_name", {R(t)}), "<undefined>");
}

TEST_F(PathTimelineSoundFunctions, SoundBuiltInsFollowTheGamesAudioMode)
{
    // The legacy list (empty until the legacy sound layer exists).
    GameOptions.newAudioEngine = false;
    EXPECT_EQ(Num("sound_exists", {R(0)}), 0);
    EXPECT_EQ(Str("sound_get_name", {R(0)}), "<undefined>");
    EXPECT_EQ(Num("sound_get_kind", {R(0)}), -1);
    EXPECT_EQ(Num("sound_get_preload", {R(0)}), 0);
    EXPECT_EQ(Num("sound_add", {S("missing.wav"), R(0), R(1)}), -1);
    EXPECT_EQ(Num("sound_replace", {R(0), S("missing.wav"), R(0), R(1)}), 0);
    EXPECT_EQ(Num("audio_delete", {R(0)}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing sound.");
    EXPECT_TRUE(NoResult("sound_discard", {R(0)}));

    // A game on the audio engine: the changing built-ins leave the result alone.
    GameOptions.newAudioEngine = true;
    EXPECT_TRUE(NoResult("sound_add", {S("x.wav"), R(0), R(1)}));
    EXPECT_TRUE(NoResult("sound_delete", {R(0)}));
    EXPECT_TRUE(NoResult("sound_replace", {R(0), S("x.wav"), R(0), R(1)}));
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Num("sound_exists", {R(0)}), 0);
    EXPECT_EQ(Str("sound_get_name", {R(0)}), "<undefined>");
}

struct ScriptFunctions : ModuleFixture {};

TEST_F(ScriptFunctions, ExecuteRunsTheScriptWithTheArgumentsAfterItsIndex)
{
    int32_t id = -1;
    ASSERT_TRUE(CodeFunction_Find("script_execute", &id)) << "registered by the header pass";
    auto call = [&](std::vector<ScriptValue> args) {
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Undefined();
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), id, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        return result;
    };
    auto text = [](const char* s) {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_SetString(&v, s);
        return v;
    };
    const int32_t add = Script_FindByName("scr_add");
    ScriptValue held = text("tile");
    std::vector<ScriptValue> args = {ScriptValue_Real(add), ScriptValue_Undefined(), text("map")};
    args[1].Assign(held);
    for (int k = 0; k < 17; ++k) args.push_back(ScriptValue_Real(k));  // more than a script can take
    ScriptValue result = call(args);
    EXPECT_STREQ(ScriptValue_StringText(&result), "tilemap");
    EXPECT_STREQ(ScriptValue_StringText(&held), "tile") << "the caller's value is its own";
    ScriptValue_SetUndefined(&result);
    ScriptValue_SetUndefined(&held);

    result = call({ScriptValue_Real(99)});
    EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
    EXPECT_NE(LastReport().find("Trying to execute non-existing script."), std::string::npos);

    auto string = [&](const char* name, double index) {
        int32_t fn = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &fn));
        ScriptValue arg = ScriptValue_Real(index);
        ScriptValue* p = &arg;
        ScriptValue out = ScriptValue_Undefined();
        CallBuiltinFunction(nullptr, nullptr, &out, 1, fn, &p);
        std::string s = ScriptValue_StringText(&out) ? ScriptValue_StringText(&out) : "";
        ScriptValue_SetUndefined(&out);
        return s;
    };
    EXPECT_EQ(string("script_get_name", add), "scr_add");
    EXPECT_EQ(string("script_get_name", 99), "<undefined>");
    EXPECT_EQ(string("script_get_text", 99), "");
}

}  // namespace
