#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Room.h"
#include "Script/Script_Main.h"
#include "support/GameFiles.h"
#include "support/ModuleFixture.h"
#include "support/SampleModule.h"
#include "support/TestModule.h"

namespace {
using namespace samplemodule;

struct LinkRecordTest : ModuleFixture {};

TEST_F(LinkRecordTest, LoadBindsNamesToIdsAndIndexes)
{
    // Own variables get ids from 100000 in reference order; built-ins their table ids.
    EXPECT_EQ(VarTilesize.id, 100000);
    EXPECT_EQ(VarMap.id, 100001);
    EXPECT_EQ(VarX.id, Variable_BuiltIn_Find("x"));
    EXPECT_EQ(VarImageXScale.id, Variable_BuiltIn_Find("image_xscale"));
    EXPECT_GE(VarX.id, 0);
    int32_t id = -1;
    ASSERT_TRUE(CodeFunction_Find("test_fail", &id));
    EXPECT_EQ(FnFail.index, id);
    ASSERT_TRUE(CodeFunction_Find("test_record", &id));
    EXPECT_EQ(FnRecord.index, id);
    EXPECT_EQ(FnScrAdd.index, CALLID_SCRIPT_BASE + Script_FindByName("scr_add"));

    // The first references name the slots of both tables.
    EXPECT_EQ(Variable_FindInstance("tilesize"), 0);
    EXPECT_EQ(Variable_FindInstance("map"), 1);
    EXPECT_EQ(Variable_FindGlobal("map"), 1);
    EXPECT_STREQ(Variable_GetName("", -5, 100001), "map");
    EXPECT_EQ(Variable_GlobalCount(), 2);
    EXPECT_EQ(Variable_InstanceCount(), 2);
}

TEST_F(LinkRecordTest, CodeEntriesTakeTheModulesNamesAndFunctions)
{
    for (int32_t i = 0; i < CODE_COUNT; ++i) EXPECT_EQ(Code_AddEntry(i, 0), i);
    EXPECT_STREQ(Code_GetEntry(CODE_GAME_CREATE)->m_name, "qsc_Object_object_Game_Create_0");
    EXPECT_STREQ(Code_GetEntry(CODE_PLAYER_STEP)->m_name, "qsc_Object_object_Player_Step_0");
    EXPECT_EQ(Code_GetEntry(CODE_COUNT), nullptr);
    // An index the module does not have binds nothing and runs nothing.
    CCode beyond(CODE_COUNT, 0);
    EXPECT_EQ(beyond.m_compiled, nullptr);
    ScriptValue result = ScriptValue_Real(7);
    EXPECT_TRUE(Code_Run(nullptr, nullptr, &beyond, &result, 0));
    EXPECT_EQ(result.real, 7);
}

TEST_F(LinkRecordTest, EventReachesBuiltInVariablesByIdAndItsOwnBySlot)
{
    CInstance player(10, 0, 100000, -1, false);
    Code_AddEntry(CODE_PLAYER_STEP, 0);
    ScriptValue result = ScriptValue_Undefined();
    Code_Run(&player, &player, Code_GetEntry(0), &result, 0);
    EXPECT_EQ(player.x, 13);
    ScriptValue tilesize = ScriptValue_Undefined();
    ASSERT_TRUE(Variable_GetValue(&player, VarTilesize.id, ARRAY_INDEX_NONE, &tilesize));
    EXPECT_EQ(tilesize.Kind(), VALUE_REAL);
    EXPECT_EQ(tilesize.real, 16);
}

TEST_F(LinkRecordTest, ErrorInsideBuiltinReportsFunctionAndLine)
{
    Code_AddEntry(CODE_GAME_CREATE, 0);
    ScriptValue result = ScriptValue_Undefined();
    EXPECT_TRUE(Code_Run(nullptr, nullptr, Code_GetEntry(0), &result, 0));
    EXPECT_EQ(Recorded, std::vector<double>{1});
    const std::string report = LastReport();
    EXPECT_NE(report.find("bad thing\n"), std::string::npos) << report;
    EXPECT_NE(report.find("called from - qsc_Object_object_Game_Create_0 (line 2)\n"), std::string::npos) << report;
    EXPECT_EQ(*CallChainHead, nullptr);
}

TEST_F(LinkRecordTest, ErrorInsideNestedScriptListsInnermostFirst)
{
    StackTraceFrame outer("qsc_Object_object_Player_Step_0", 9);
    ScriptValue text;
    ScriptValue_InitString(&text, "inner failure");
    ScriptValue* args[] = {&text};
    {
        StackTraceFrame script("qsc_Script_scr_move", 4);
        ScriptValue scratch = ScriptValue_Undefined();
        CallBuiltinFunction(nullptr, nullptr, &scratch, 1, FnFail.index, args);
    }
    ScriptValue_SetUndefined(&text);
    const std::string report = LastReport();
    EXPECT_NE(report.find("called from - qsc_Script_scr_move (line 4)\n"
                          "called from - qsc_Object_object_Player_Step_0 (line 9)\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(*CallChainHead, &outer);
}

TEST_F(LinkRecordTest, ChainIsRestoredAfterEveryWayOut)
{
    StackTraceFrame caller("caller", 1);
    Code_AddEntry(CODE_PLAYER_STEP, 0);
    ScriptValue result = ScriptValue_Undefined();
    Code_Run(nullptr, nullptr, Code_GetEntry(0), &result, 0);  // runs to its end
    EXPECT_EQ(*CallChainHead, &caller);
    EarlyReturn = true;
    Code_Run(nullptr, nullptr, Code_GetEntry(0), &result, 0);  // leaves from line 4
    EXPECT_EQ(*CallChainHead, &caller);
    EXPECT_EQ(Recorded, (std::vector<double>{2, 3, 2}));
    // Left by unwinding.
    try {
        StackTraceFrame thrower("thrower", 1);
        throw std::runtime_error("unwind");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(*CallChainHead, &caller);
    // The chain lives in the module: the runner's head pointer is the module's.
    EXPECT_EQ(CallChainHead, Record().callChainHead);
}

TEST_F(LinkRecordTest, UnknownFunctionNameEndsTheLoad)
{
    testgames::Unload();
    ResetReferences();
    FnRecord.name = "no_such_function";
    testmodule::Install(Record());
    ASSERT_TRUE(LinkRecord_Load());
    EXPECT_EXIT(testgames::LoadBoth(game), ::testing::ExitedWithCode(1), "");

    // A child game reports it, ends at its next frame and keeps index -1.
    ChildGame = true;
    EXPECT_TRUE(testgames::LoadBoth(game));
    EXPECT_EQ(FnRecord.index, -1);
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
    EXPECT_NE(LastReport().find("Unable to find function no_such_function"), std::string::npos);
}

TEST(LinkRecord, WithoutModuleThereIsNoRecord)
{
    testmodule::Remove();
    EXPECT_TRUE(LinkRecord_Load());
    EXPECT_EQ(LinkRecord, nullptr);
    EXPECT_EQ(LinkRecord_CodeEntry(0), nullptr);

    // A record with counts that make no sense is refused; the runner goes on without it.
    GameLinkRecord bad = {};
    bad.codeCount = 3;  // but no code table
    testmodule::Install(bad);
    EXPECT_FALSE(LinkRecord_Load());
    EXPECT_EQ(LinkRecord, nullptr);
    testmodule::Remove();
}
}  // namespace
