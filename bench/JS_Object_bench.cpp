#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Code/NumberText.h"
#include "Code/ObjectBase.h"
#include "GameData/GameHeader.h"

namespace {
// Ten million finite doubles of random bits, made once.
const std::vector<double>& RandomDoubles()
{
    static const std::vector<double> values = [] {
        std::vector<double> v;
        v.reserve(10000000);
        std::mt19937_64 random(57);
        while (v.size() < 10000000) {
            const uint64_t bits = random();
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            if (std::isfinite(d)) v.push_back(d);
        }
        return v;
    }();
    return values;
}

// One pass over the ten million per iteration: items per second are conversions per second.
void BM_NumberToText(benchmark::State& state)
{
    const std::vector<double>& values = RandomDoubles();
    char text[64];
    for (auto _ : state) {
        for (const double& d : values) benchmark::DoNotOptimize(NumberToText(text, &d, 0, sizeof text));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_NumberToText)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ToCharsShortest(benchmark::State& state)
{
    const std::vector<double>& values = RandomDoubles();
    char text[64];
    for (auto _ : state) {
        for (const double d : values) benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, d).ptr);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_ToCharsShortest)->Unit(benchmark::kMillisecond)->Iterations(1);

// An object whose property lives on the fourth prototype above it.
struct Chain {
    KVObjectBase* leaf = nullptr;
    Chain()
    {
        ObjectMode = true;
        KVObjectBase* below = nullptr;
        for (int i = 0; i < 5; ++i) {
            ScriptValue v = ScriptValue_Undefined();
            JS_NewStandardObject(&v, nullptr, nullptr, 0, nullptr);
            if (below) v.obj->AddObject("[[Prototype]]", below, 0);
            else v.obj->AddReal("deep", 1, VALUE_FLAG_ENUMERABLE | VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
            below = v.obj;
        }
        leaf = below;
    }
    ~Chain()
    {
        GC_Collect();
        ObjectMode = false;
    }
};

void BM_PropertyGetFourDeep(benchmark::State& state)
{
    Chain chain;
    ScriptValue out = ScriptValue_Undefined();
    for (auto _ : state) {
        JS_Object_Get(chain.leaf, &out, "deep");
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PropertyGetFourDeep);

// A put of a name the fourth prototype holds: [[CanPut]] and [[Put]] look
// it up through the chain and make an own property, which the delete in
// the same iteration takes away again.
void BM_PropertyPutAndDeleteFourDeep(benchmark::State& state)
{
    Chain chain;
    const ScriptValue value = ScriptValue_Real(2);
    for (auto _ : state) {
        JS_Object_Put(chain.leaf, &value, "deep", false);
        JS_Object_Delete(chain.leaf, "deep");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PropertyPutAndDeleteFourDeep);
}  // namespace
