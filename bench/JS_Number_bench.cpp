#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Code/Code_Value.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Array.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"
#include "Code/ObjectBase.h"
#include "GameData/GameHeader.h"

namespace {
constexpr size_t kCount = 10000000;

// Ten million number texts of random finite doubles in their shortest form, made once.
const std::vector<std::string>& NumberTexts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> v;
        v.reserve(kCount);
        std::mt19937_64 random(58);
        char text[64];
        while (v.size() < kCount) {
            const uint64_t bits = random();
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            if (!std::isfinite(d)) continue;
            v.emplace_back(text, std::to_chars(text, text + sizeof text, d).ptr);
        }
        return v;
    }();
    return texts;
}

// One pass over the ten million per iteration: items per second are texts read per second.
void BM_ParseFloat(benchmark::State& state)
{
    const std::vector<std::string>& texts = NumberTexts();
    for (auto _ : state) {
        for (const std::string& t : texts) benchmark::DoNotOptimize(JS_ParseFloatText(t.c_str()));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ParseFloat)->Unit(benchmark::kMillisecond)->Iterations(1);

// The texts as string values, made before the clock runs.
void BM_ConvertToNumber(benchmark::State& state)
{
    const std::vector<std::string>& texts = NumberTexts();
    std::vector<ScriptValue> values(texts.size(), ScriptValue_Undefined());
    for (size_t i = 0; i < texts.size(); ++i) ScriptValue_InitString(&values[i], texts[i].c_str());
    ScriptValue out = ScriptValue_Undefined();
    for (auto _ : state) {
        for (const ScriptValue& v : values) {
            JS_ConvertToNumber(&out, &v);
            benchmark::DoNotOptimize(out.real);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
    for (ScriptValue& v : values) ScriptValue_SetUndefined(&v);
}
BENCHMARK(BM_ConvertToNumber)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FromChars(benchmark::State& state)
{
    const std::vector<std::string>& texts = NumberTexts();
    for (auto _ : state) {
        for (const std::string& t : texts) {
            double d = 0;
            benchmark::DoNotOptimize(std::from_chars(t.data(), t.data() + t.size(), d).ptr);
            benchmark::DoNotOptimize(d);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_FromChars)->Unit(benchmark::kMillisecond)->Iterations(1);

// Element writes at ten million consecutive indices of an empty Array, as the interpreter's keyed store makes them.
void BM_ArrayWriteConsecutive(benchmark::State& state)
{
    ObjectMode = true;
    JS_InitArrayBuiltins();
    for (auto _ : state) {
        ScriptValue array = ScriptValue_Undefined();
        JS_Array_Construct(&array, nullptr, nullptr, 0, nullptr);
        ScriptValue key = ScriptValue_Real(0);
        for (size_t i = 0; i < kCount; ++i) {
            key.real = static_cast<double>(i);
            JS_Object_PutByKey(&array, &key, &key);
        }
        benchmark::DoNotOptimize(array.obj);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
    GC_Collect();
    JS_ArrayPrototype = nullptr;
    ObjectMode = false;
}
BENCHMARK(BM_ArrayWriteConsecutive)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace
