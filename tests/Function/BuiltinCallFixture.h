#pragma once
// Built-ins through the built-in function table, as compiled code calls them:
// the test registers the groups it needs, calls by name with values, reads
// the result and the last error report. `BuiltinCalls` holds the calls for
// fixtures that set up more (a loaded game, a frame); `BuiltinCallFixture`
// is the plain test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Options/Runner_Options.h"

struct BuiltinCalls {
    // A fatal report returns (as in a child game) so that the test goes on.
    static void ResetErrors()
    {
        FatalErrorShown = error_occurred = CodeErrorFlag = false;
        ChildGame = true;
        ErrorLast_Set(nullptr);
    }
    // The last report's text, then a clean slate; empty when none was made.
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ResetErrors();
        return text;
    }

    static ScriptValue R(double d) { return ScriptValue_Real(d); }
    static ScriptValue S(const char* text)
    {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_InitString(&v, text);
        return v;
    }
    // A one-row array of reals.
    static ScriptValue A(std::vector<double> reals)
    {
        ScriptValue v = ScriptValue_Undefined();
        for (int k = static_cast<int>(reals.size()) - 1; k >= 0; --k)
            ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&v, k), reals[static_cast<size_t>(k)]);
        return v;
    }

    // Calls a built-in by name with the result starting as `start` (what a
    // built-in that sets nothing gives back); the arguments are released, the
    // result is the caller's.
    static ScriptValue CallFrom(ScriptValue start, const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = start;
        if (index >= 0)
            CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), index, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        return result;
    }
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        return CallFrom(ScriptValue_Real(-1234.5), name, std::move(args));
    }
    static double Num(const char* name, std::vector<ScriptValue> args = {})
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_REAL) << name;
        const double out = result.Kind() == VALUE_REAL ? result.real : -9999.0;
        ScriptValue_SetUndefined(&result);
        return out;
    }
    static std::string Str(const char* name, std::vector<ScriptValue> args = {})
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_STRING) << name;
        const char* text = result.Kind() == VALUE_STRING ? ScriptValue_StringText(&result) : nullptr;
        std::string out = text ? text : "<null>";
        ScriptValue_SetUndefined(&result);
        return out;
    }
    // The first row of an array result; empty (with a failure) for any other kind.
    static std::vector<double> Reals(const char* name, std::vector<ScriptValue> args = {})
    {
        ScriptValue result = Call(name, std::move(args));
        std::vector<double> out;
        EXPECT_EQ(result.Kind(), VALUE_ARRAY) << name;
        if (result.Kind() == VALUE_ARRAY && result.arr && result.arr->rowCount >= 1) {
            const RefArrayRow& row = result.arr->rows[0];
            for (int32_t k = 0; k < row.length; ++k) out.push_back(row.elements[k].real);
        }
        ScriptValue_SetUndefined(&result);
        return out;
    }
};

struct BuiltinCallFixture : ::testing::Test, BuiltinCalls {
    void SetUp() override
    {
        CodeFunction_FreeAll();
        ShowErrorDialogs = false;
        ResetErrors();
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ResetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
};
