#pragma once
// The "Math.." group through the built-in function table, as compiled code
// calls it: values in, the result out, errors read from the last report.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/MathEpsilon.h"
#include "Function/Function_Math.h"
#include "Options/Runner_Options.h"

struct MathFunctions : ::testing::Test {
    double savedEpsilon = MathEpsilon;

    void SetUp() override
    {
        CodeFunction_FreeAll();
        InitMathFunctions();
        ShowErrorDialogs = false;
        ResetErrors();
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ResetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
        MathEpsilon = savedEpsilon;
    }
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
    static ScriptValue I64(int64_t n)
    {
        ScriptValue v = ScriptValue_Undefined();
        v.i64 = n;
        v.kind = VALUE_INT64;
        return v;
    }
    static ScriptValue I32(int32_t n)
    {
        ScriptValue v = ScriptValue_Undefined();
        v.i32 = n;
        v.kind = VALUE_INT32;
        return v;
    }
    // A counted copy of a value the test keeps (an array it goes on reading).
    static ScriptValue Ref(const ScriptValue& held)
    {
        ScriptValue v = ScriptValue_Undefined();
        v.Assign(held);
        return v;
    }

    // Calls a built-in by name; the arguments are released, the result is the caller's.
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Real(-1234.5);
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), index, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        return result;
    }
    static double Num(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_REAL) << name;
        const double out = result.real;
        ScriptValue_SetUndefined(&result);
        return out;
    }
    static std::string Str(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_STRING) << name;
        const char* text = ScriptValue_StringText(&result);
        std::string out = text ? text : "<null>";
        ScriptValue_SetUndefined(&result);
        return out;
    }
};
