#include <gtest/gtest.h>

#include "Base/ErrorReport.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Options/Runner_Options.h"
#include "support/ModuleFixture.h"
#include "support/SampleModule.h"

namespace {
using namespace samplemodule;

using CodeEntryTest = ModuleFixture;

TEST_F(CodeEntryTest, ConstantEntryGivesAnotherReferenceToItsValue)
{
    CCode constant(-1, 0);
    constant.m_kind = CODE_KIND_CONSTANT;
    ScriptValue_InitString(&constant.m_constant, "level one");
    ScriptValue result;
    ScriptValue_InitString(&result, "old text");
    EXPECT_TRUE(Code_Run(nullptr, nullptr, &constant, &result, 0));
    EXPECT_EQ(result.str, constant.m_constant.str);
    EXPECT_EQ(constant.m_constant.str->count, 2);
    ScriptValue_SetUndefined(&result);
    EXPECT_EQ(constant.m_constant.str->count, 1);
}

TEST_F(CodeEntryTest, OldExecRunsNothing)
{
    Code_AddEntry(CODE_PLAYER_STEP, 0);
    CodeExecutionEnabled = false;
    CodeErrorFlag = true;
    ScriptValue result = ScriptValue_Real(3);
    EXPECT_TRUE(Code_Run(nullptr, nullptr, Code_GetEntry(0), &result, 0));
    EXPECT_TRUE(Recorded.empty());
    EXPECT_EQ(result.real, 3);
    EXPECT_TRUE(CodeErrorFlag);
    CodeExecutionEnabled = true;
    EXPECT_TRUE(Code_RunReportError(nullptr, nullptr, Code_GetEntry(0), &result, 0));
    EXPECT_FALSE(CodeErrorFlag);
    EXPECT_EQ(Recorded, (std::vector<double>{2, 3}));
    EXPECT_EQ(result.real, 3);  // an event leaves the result alone
}

TEST_F(CodeEntryTest, TableAndAllCodeList)
{
    EXPECT_EQ(Code_AddEntry(-1, 0), 0);
    EXPECT_EQ(Code_GetEntry(0), nullptr);  // index -1 holds no entry
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(Code_AddEntry(i % CODE_COUNT, i & 1), i + 1);
    EXPECT_EQ(Code_EntryCount(), 21);
    EXPECT_EQ(Code_GetEntry(2)->m_kind, CODE_KIND_CODE_FLAGGED);
    EXPECT_EQ(Code_GetEntry(21), nullptr);
    EXPECT_EQ(Code_GetEntry(-1), nullptr);
    EXPECT_EQ(Code_AllCount, 20);
    {
        CCode extra(1, 0);
        EXPECT_EQ(Code_AllList, &extra);
        EXPECT_EQ(Code_AllCount, 21);
    }
    EXPECT_EQ(Code_AllCount, 20);
    Code_FreeEntries();
    EXPECT_EQ(Code_AllCount, 0);
    EXPECT_EQ(Code_AllList, nullptr);
}
}  // namespace
