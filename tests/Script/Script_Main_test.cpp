#include <gtest/gtest.h>

#include <string>

#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/VM_Main.h"
#include "GameData/GameData.h"
#include "Script/Script_Main.h"
#include "support/GameFiles.h"
#include "support/ModuleFixture.h"
#include "support/SampleModule.h"
#include "support/TestModule.h"

namespace {
using namespace samplemodule;

struct ScriptTest : ModuleFixture {};

TEST_F(ScriptTest, CalledWithArgumentsGivesResultAndReleasesThem)
{
    const int32_t add = Script_FindByName("scr_add");
    ASSERT_EQ(add, 0);
    ScriptValue args[2];
    ScriptValue_InitString(&args[0], "tile");
    args[0].flags = 0;
    ScriptValue_InitString(&args[1], "map");
    args[1].flags = 0;
    ScriptValue result = ScriptValue_Undefined();
    // The caller's own arguments.
    ScriptValue mine = ScriptValue_Real(1);
    VM_ArgumentBase = &mine;
    VM_ArgumentCount = 1;
    EXPECT_TRUE(Script_Call(add, nullptr, nullptr, 2, &result, args));
    EXPECT_STREQ(ScriptValue_StringText(&result), "tilemap");
    EXPECT_EQ(args[0].Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(args[1].Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(VM_ArgumentBase, &mine);
    EXPECT_EQ(VM_ArgumentCount, 1);
    ScriptValue_SetUndefined(&result);
    VM_ArgumentBase = nullptr;
    VM_ArgumentCount = 0;
}

TEST_F(ScriptTest, NestedCallsRestoreTheOuterArguments)
{
    ScriptValue arg = ScriptValue_Real(21);
    ScriptValue result = ScriptValue_Undefined();
    EXPECT_TRUE(Script_Call(Script_FindByName("scr_twice"), nullptr, nullptr, 1, &result, &arg));
    EXPECT_EQ(result.Kind(), VALUE_REAL);
    EXPECT_EQ(result.real, 42);
    // scr_twice saw its own argument count again after calling scr_add with two.
    EXPECT_EQ(Recorded, std::vector<double>{1});
    EXPECT_EQ(VM_ArgumentCount, 0);
    EXPECT_EQ(*CallChainHead, nullptr);
}

TEST_F(ScriptTest, TableLookUps)
{
    EXPECT_EQ(Script_GetCount(), 2);
    EXPECT_STREQ(Script_NameOf(1), "scr_twice");
    EXPECT_STREQ(Script_NameOf(2), "<undefined>");
    EXPECT_STREQ(Script_NameOf(-1), "<undefined>");
    EXPECT_EQ(Script_FindByName("Scr_add"), -1);
    EXPECT_FALSE(Script_IsValid(2));
    ScriptValue result = ScriptValue_Real(5);
    EXPECT_FALSE(Script_Call(7, nullptr, nullptr, 0, &result, nullptr));
    EXPECT_EQ(result.real, 5);
    // In compiled-code mode a script has no code entry and no text.
    EXPECT_EQ(Script_Get(0)->GetCode(), nullptr);
    char* text = Script_Get(0)->GetText();
    EXPECT_STREQ(text, "");
    QS_FREE(text);
}

TEST_F(ScriptTest, EmptySlotsAndDuplicateNames)
{
    testgames::Unload();
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    // The module calls scr_add: every game of it has one.
    w.Scpt({gamedata::Script{"same", CODE_SCR_ADD}, std::nullopt, gamedata::Script{"same", CODE_SCR_TWICE},
            gamedata::Script{"scr_add", CODE_SCR_ADD}});
    game = w.Finish();
    testmodule::Install(Record());
    ASSERT_TRUE(LinkRecord_Load());
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    EXPECT_EQ(Script_GetCount(), 4);
    EXPECT_FALSE(Script_IsValid(1));
    EXPECT_STREQ(Script_NameOf(1), "<undefined>");
    EXPECT_EQ(Script_FindByName("same"), 2);
    ScriptValue result = ScriptValue_Undefined();
    EXPECT_FALSE(Script_Call(1, nullptr, nullptr, 0, &result, nullptr));
}

TEST_F(ScriptTest, ScriptWithoutCompiledFunctionStopsThePreparation)
{
    testgames::Unload();
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Scpt({gamedata::Script{"scr_add", CODE_SCR_ADD}, gamedata::Script{"scr_lost", 40}});
    game = w.Finish();
    testmodule::Install(Record());
    ASSERT_TRUE(LinkRecord_Load());
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    EXPECT_FALSE(Script_Prepare());
    EXPECT_EQ(LastReport().rfind("COMPILATION ERROR in Script: scr_lost\ncode entry 40", 0), 0u) << LastReport();
}

TEST_F(ScriptTest, GlobalInitialisersRunOnce)
{
    testgames::Unload();
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Scpt({gamedata::Script{"scr_add", CODE_SCR_ADD}});
    w.Glob({CODE_PLAYER_STEP, CODE_PLAYER_STEP});
    game = w.Finish();
    testmodule::Install(Record());
    ASSERT_TRUE(LinkRecord_Load());
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    ASSERT_TRUE(Script_Prepare());
    EXPECT_EQ(Recorded, (std::vector<double>{2, 3, 2, 3}));
    EXPECT_EQ(Code_AllCount, 0);  // the initialisers' entries are gone
}

TEST(ScriptChunk, RecordOutsideThePayloadIsRefused)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Add("SCPT").U32(1).U32(8);  // an offset into the header, not this chunk
    const std::vector<uint8_t> bytes = w.Finish();
    EXPECT_FALSE(testgames::LoadBoth(bytes));
    EXPECT_NE(std::string(GameData_LastError()).find("SCPT"), std::string::npos) << GameData_LastError();
    testgames::Unload();
}
}  // namespace
