// The script argument variables over the running call's arguments.
#include <gtest/gtest.h>

#include <string>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/VM_Main.h"
#include "Options/Runner_Options.h"
#include "Runner/Runner_Entry.h"
#include "Variable/Code_VariableValue.h"
#include "Variable/Variable_BuiltIn.h"

namespace {
struct ArgumentVariables : ::testing::Test {
    ScriptValue args[2] = {ScriptValue_Real(10), ScriptValue_Real(20)};

    void SetUp() override
    {
        Variable_BuiltIn_Init();
        // A fatal error ends a child game instead of the process.
        ChildGame = true;
        HeadlessMode.noDialogs = true;
        VM_ArgumentBase = args;
        VM_ArgumentCount = 2;
    }
    void TearDown() override
    {
        VM_ArgumentBase = nullptr;
        VM_ArgumentCount = 0;
        for (ScriptValue& v : args) ScriptValue_SetUndefined(&v);
    }
    static ScriptValue Get(const char* name, int32_t index = ARRAY_INDEX_NONE)
    {
        ScriptValue out = ScriptValue_Undefined();
        Variable_GetValue(nullptr, Variable_BuiltIn_Find(name), index, &out);
        return out;
    }
    static void Set(const char* name, double value, int32_t index = ARRAY_INDEX_NONE)
    {
        ScriptValue v = ScriptValue_Real(value);
        Variable_SetValue(nullptr, Variable_BuiltIn_Find(name), index, &v);
    }
};
}  // namespace

TEST_F(ArgumentVariables, ReadTheCallsArgumentsAndOnlyThose)
{
    EXPECT_EQ(Get("argument_count").real, 2);
    EXPECT_EQ(Get("argument1").real, 20);
    EXPECT_EQ(Get("argument", 0).real, 10);
    EXPECT_EQ(Get("argument2").Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Get("argument", 2).Kind(), VALUE_UNDEFINED);
    EXPECT_NE(std::string(ErrorLast_Get() ? ErrorLast_Get() : "")
                  .find("illegal access of argument, argument is not provided to script"),
              std::string::npos);
}

TEST_F(ArgumentVariables, WritesChangeTheArgumentAndPassNothingBeyondIt)
{
    Set("argument0", 7);
    EXPECT_EQ(Get("argument0").real, 7);
    EXPECT_EQ(Get("argument", 0).real, 7);
    Set("argument", 8, 1);
    EXPECT_EQ(Get("argument1").real, 8);
    // An element of argument 1 makes it an array.
    Set("argument1", 5, 1);
    EXPECT_EQ(Get("argument1", 1).real, 5);
    // Arguments that were not passed have no place to write to.
    Set("argument5", 3);
    EXPECT_EQ(Get("argument5").Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Get("argument_count").real, 2);
}
