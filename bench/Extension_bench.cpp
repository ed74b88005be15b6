// external_call of a library function of two reals, side by side with a
// direct call of the same function in the same run.
#include <benchmark/benchmark.h>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Platform/Extension_DLL.h"
#include "Platform/Function_External.h"

extern "C" double ext_add(double a, double b);

namespace {
constexpr int64_t kCalls = 10000000;
}  // namespace

// Through the built-in as compiled code calls it: the index and two reals.
static void BM_ExternalCall_TwoReals(benchmark::State& state)
{
    CodeFunction_FreeAll();
    InitExternalFunctions();
    const int32_t types[17] = {};
    const int32_t index = DLL_Define(QS_TEST_EXTENSION, "ext_add", 0, 2, types, false);
    int32_t call = -1;
    CodeFunction_Find("external_call", &call);
    if (index < 0 || call < 0) {
        state.SkipWithError("the test library could not be defined");
        return;
    }
    ScriptValue id = ScriptValue_Real(index);
    ScriptValue a = ScriptValue_Real(1.5);
    ScriptValue b = ScriptValue_Real(2.25);
    ScriptValue* args[] = {&id, &a, &b};
    ScriptValue result = ScriptValue_Real(0);
    for (auto _ : state) {
        CallBuiltinFunction(nullptr, nullptr, &result, 3, call, args);
        // Through a copy: with the member itself passed to the barrier the
        // optimised build read a wrong number back after the loop.
        double out = result.real;
        benchmark::DoNotOptimize(out);
    }
    if (result.real != 3.75) state.SkipWithError("wrong result");
    CodeFunction_FreeAll();
}
BENCHMARK(BM_ExternalCall_TwoReals)->Iterations(kCalls);

// The same library function called directly from C++.
static void BM_DirectCall_TwoReals(benchmark::State& state)
{
    double a = 1.5;
    double b = 2.25;
    double result = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        result = ext_add(a, b);
        benchmark::DoNotOptimize(result);
    }
    if (result != 3.75) state.SkipWithError("wrong result");
}
BENCHMARK(BM_DirectCall_TwoReals)->Iterations(kCalls);
