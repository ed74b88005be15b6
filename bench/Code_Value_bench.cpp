#include <benchmark/benchmark.h>

#include <cstdio>

#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueIndex.h"

namespace {
// Copying a string value takes a count; the counter shows no bytes allocated.
void BM_StringValueCopy(benchmark::State& state)
{
    ScriptValue src = ScriptValue_Undefined(), dst = ScriptValue_Undefined();
    ScriptValue_InitString(&src, "a string shared by many values");
    dst.Assign(src);
    int64_t before = MemoryManager::TotalHeaderBytes();
    for (auto _ : state) {
        dst.Assign(src);
        benchmark::DoNotOptimize(dst);
        ScriptValue_SetUndefined(&dst);
    }
    state.counters["bytes_allocated"] = static_cast<double>(MemoryManager::TotalHeaderBytes() - before);
    ScriptValue_SetUndefined(&src);
}
BENCHMARK(BM_StringValueCopy);

// s = base; s += tail: one new text per append.
void BM_StringAppend(benchmark::State& state)
{
    ScriptValue base = ScriptValue_Undefined(), tail = ScriptValue_Undefined(), s = ScriptValue_Undefined();
    ScriptValue_InitString(&base, "player_name");
    ScriptValue_InitString(&tail, ": 12345");
    for (auto _ : state) {
        s.Assign(base);
        s.AddAssign(tail);
        benchmark::DoNotOptimize(s);
    }
    ScriptValue_SetUndefined(&s);
    ScriptValue_SetUndefined(&base);
    ScriptValue_SetUndefined(&tail);
}
BENCHMARK(BM_StringAppend);

void Add2(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Arg_Real(args, 0) + Arg_Real(args, 1));
}

void Nothing(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) {}

// A table the size of the engine's (some 2,560 built-ins).
void FillTable()
{
    CodeFunction_FreeAll();
    char name[64];
    for (int i = 0; i < 2560; ++i) {
        std::snprintf(name, sizeof name, "builtin_family_%d_function", i);
        CodeFunction_Register(name, Nothing, -1, 0);
    }
    CodeFunction_Register("add2", Add2, 2, 0);
}

void BM_CodeFunctionFind(benchmark::State& state)
{
    FillTable();
    const char* names[] = {"builtin_family_7_function", "builtin_family_2559_function", "add2", "not_a_builtin"};
    size_t i = 0;
    for (auto _ : state) {
        int32_t id;
        benchmark::DoNotOptimize(CodeFunction_Find(names[i++ & 3], &id));
        benchmark::DoNotOptimize(id);
    }
    CodeFunction_FreeAll();
}
BENCHMARK(BM_CodeFunctionFind);

void BM_CallBuiltinFunction(benchmark::State& state)
{
    FillTable();
    int32_t index;
    CodeFunction_Find("add2", &index);
    ScriptValue a = ScriptValue_Real(1.5), b = ScriptValue_Real(2.5), result = ScriptValue_Undefined();
    ScriptValue* args[] = {&a, &b};
    for (auto _ : state) {
        CallBuiltinFunction(nullptr, nullptr, &result, 2, index, args);
        benchmark::DoNotOptimize(result);
    }
    CodeFunction_FreeAll();
}
BENCHMARK(BM_CallBuiltinFunction);

// The same routine called straight through a function pointer.
void BM_DirectRoutineCall(benchmark::State& state)
{
    BuiltinRoutine routine = Add2;
    benchmark::DoNotOptimize(routine);
    ScriptValue args[] = {ScriptValue_Real(1.5), ScriptValue_Real(2.5)};
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) {
        routine(&result, nullptr, nullptr, 2, args);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_DirectRoutineCall);

// Writes by the array's owner: in place, no clone.
void BM_ArrayElementWriteOwner(benchmark::State& state)
{
    ScriptValue array = ScriptValue_Undefined();
    ScriptValue_ArrayElementForWrite(&array, 1023);
    ScriptValue other = ScriptValue_Undefined();
    other.Assign(array);  // shared, but the owner writes in place
    RefArray* record = array.arr;
    ScriptValue value = ScriptValue_Real(7);
    int32_t i = 0;
    for (auto _ : state) {
        ScriptValue_SetIndexed(&array, &value, i);
        i = (i + 1) & 1023;
    }
    state.counters["cloned"] = array.arr != record ? 1 : 0;
    ScriptValue_SetUndefined(&other);
    ScriptValue_SetUndefined(&array);
}
BENCHMARK(BM_ArrayElementWriteOwner);
}  // namespace
