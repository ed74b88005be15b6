#pragma once
// The "Math.." group through the built-in function table, as compiled code
// calls it: values in, the result out, errors read from the last report.
#include <cstdint>

#include "Code/Code_Value.h"
#include "Code/MathEpsilon.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_Math.h"

struct MathFunctions : BuiltinCallFixture {
    double savedEpsilon = MathEpsilon;

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitMathFunctions();
    }
    void TearDown() override
    {
        BuiltinCallFixture::TearDown();
        MathEpsilon = savedEpsilon;
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
};
