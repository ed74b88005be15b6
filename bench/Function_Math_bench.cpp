#include <benchmark/benchmark.h>

#include <string>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_Math.h"

namespace {
// 1 MB of mixed text: 1-, 2-, 3- and 4-byte characters.
std::string MegabyteText()
{
    std::string s;
    while (s.size() < (1u << 20)) s += "ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 lorem ipsum ";
    return s;
}

struct MathTable {
    MathTable()
    {
        CodeFunction_FreeAll();
        InitMathFunctions();
    }
    int32_t Id(const char* name)
    {
        int32_t id = -1;
        CodeFunction_Find(name, &id);
        return id;
    }
};

ScriptValue Text(const std::string& s)
{
    ScriptValue v = ScriptValue_Undefined();
    ScriptValue_InitString(&v, s.c_str());
    return v;
}

template <size_t N>
void Call(int32_t id, ScriptValue* const (&args)[N], ScriptValue* result)
{
    ScriptValue* list[N];
    for (size_t i = 0; i < N; ++i) list[i] = args[i];
    CallBuiltinFunction(nullptr, nullptr, result, static_cast<int>(N), id, list);
}
}  // namespace

// string_char_at over every character of the text, as a game loop walks it.
static void BM_StringCharAt_WalkMegabyte(benchmark::State& state)
{
    MathTable table;
    const int32_t id = table.Id("string_char_at");
    const int32_t lengthId = table.Id("string_length");
    ScriptValue text = Text(MegabyteText());
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) {
        Call(lengthId, {&text}, &result);
        const int64_t length = static_cast<int64_t>(result.real);
        for (int64_t i = 1; i <= length; ++i) {
            ScriptValue position = ScriptValue_Real(static_cast<double>(i));
            Call(id, {&text, &position}, &result);
        }
        state.counters["chars"] = static_cast<double>(length);
    }
    ScriptValue_SetUndefined(&result);
    ScriptValue_SetUndefined(&text);
}
BENCHMARK(BM_StringCharAt_WalkMegabyte)->Unit(benchmark::kMillisecond);

static void BM_StringCopy_MiddleOfMegabyte(benchmark::State& state)
{
    MathTable table;
    const int32_t id = table.Id("string_copy");
    ScriptValue text = Text(MegabyteText());
    ScriptValue position = ScriptValue_Real(300000), count = ScriptValue_Real(100000);
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) {
        position.real = position.real == 300000 ? 300001 : 300000;  // not the remembered position
        Call(id, {&text, &position, &count}, &result);
    }
    ScriptValue_SetUndefined(&result);
    ScriptValue_SetUndefined(&text);
}
BENCHMARK(BM_StringCopy_MiddleOfMegabyte)->Unit(benchmark::kMillisecond);

static void BM_StringPos_EndOfMegabyte(benchmark::State& state)
{
    MathTable table;
    const int32_t id = table.Id("string_pos");
    ScriptValue text = Text(MegabyteText() + "needle");
    ScriptValue needle = Text("needle");
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) Call(id, {&needle, &text}, &result);
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetUndefined(&needle);
}
BENCHMARK(BM_StringPos_EndOfMegabyte)->Unit(benchmark::kMillisecond);

static void BM_StringReplaceAll_Megabyte(benchmark::State& state)
{
    MathTable table;
    const int32_t id = table.Id("string_replace_all");
    ScriptValue text = Text(MegabyteText());
    ScriptValue from = Text("\xC3\xA9"), to = Text("e");
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) Call(id, {&text, &from, &to}, &result);
    ScriptValue_SetUndefined(&result);
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetUndefined(&from);
    ScriptValue_SetUndefined(&to);
}
BENCHMARK(BM_StringReplaceAll_Megabyte)->Unit(benchmark::kMillisecond);

static void BM_Random_TenMillion(benchmark::State& state)
{
    MathTable table;
    const int32_t id = table.Id("random");
    ScriptValue range = ScriptValue_Real(100);
    ScriptValue result = ScriptValue_Undefined();
    for (auto _ : state) {
        for (int i = 0; i < 10000000; ++i) Call(id, {&range}, &result);
        benchmark::DoNotOptimize(result.real);
    }
}
BENCHMARK(BM_Random_TenMillion)->Unit(benchmark::kMillisecond);
