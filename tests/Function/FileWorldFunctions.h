#pragma once
// Built-ins through the built-in table in a temporary file world (its save
// area made), with the log console recorded.
#include <vector>

#include "Base/Console.h"
#include "Function/MathFunctionFixture.h"
#include "support/FileWorld.h"
#include "support/RecordingConsole.h"

struct FileWorldFunctions : MathFunctions, FileWorld {
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        MathFunctions::SetUp();
        ASSERT_TRUE(Enter());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        EXPECT_TRUE(Leave());
        MathFunctions::TearDown();
    }
    // Calls a built-in whose result does not matter.
    void Run(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        ScriptValue_SetUndefined(&result);
    }
};
