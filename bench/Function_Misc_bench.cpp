#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Function/Function_Misc.h"
#include "Platform/Platform_Main.h"
#include "Variable/Code_VariableValue.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"

namespace {
struct MiscTable {
    MiscTable()
    {
        CodeFunction_FreeAll();
        InitMiscFunctions(Platform_MiscRoutines());
    }
    static int32_t Id(const char* name)
    {
        int32_t id = -1;
        CodeFunction_Find(name, &id);
        return id;
    }
};

void Call(int32_t id, CInstance* self, ScriptValue** args, int argc, ScriptValue* result)
{
    CallBuiltinFunction(self, self, result, argc, id, args);
}
}  // namespace

// One round trip: a date made from six fields, then its six fields read back (UTC).
static void BM_Date_CreateAndReadBack(benchmark::State& state)
{
    setenv("TZ", "UTC0", 1);
    tzset();
    MiscTable table;
    const int32_t create = MiscTable::Id("date_create_datetime");
    const int32_t getters[] = {MiscTable::Id("date_get_year"),   MiscTable::Id("date_get_month"),
                               MiscTable::Id("date_get_day"),    MiscTable::Id("date_get_hour"),
                               MiscTable::Id("date_get_minute"), MiscTable::Id("date_get_second")};
    ScriptValue fields[6];
    ScriptValue* fieldArgs[6];
    for (int i = 0; i < 6; ++i) fieldArgs[i] = &fields[i];
    ScriptValue date = ScriptValue_Undefined(), result = ScriptValue_Undefined();
    ScriptValue* dateArg = &date;
    int64_t k = 0;
    for (auto _ : state) {
        const double values[6] = {2000.0 + static_cast<double>(k % 50), 1.0 + static_cast<double>(k % 12), 28, 13, 14,
                                  static_cast<double>(k % 60)};
        for (int i = 0; i < 6; ++i) fields[i] = ScriptValue_Real(values[i]);
        Call(create, nullptr, fieldArgs, 6, &date);
        for (int32_t getter : getters) {
            Call(getter, nullptr, &dateArg, 1, &result);
            benchmark::DoNotOptimize(result.real);
        }
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Date_CreateAndReadBack);

// variable_instance_get of one variable by name, over four instances in turn.
static void BM_VariableInstanceGet(benchmark::State& state)
{
    MiscTable table;
    Variable_BuiltIn_Init();
    Object_Init();
    const int32_t object = Object_CreateEmpty();
    CInstance instances[4] = {{0, 0, 100000, object, false}, {0, 0, 100001, object, false},
                              {0, 0, 100002, object, false}, {0, 0, 100003, object, false}};
    const int32_t slot = Variable_FindOrAddSlot(&instances[0], "hp");
    for (CInstance& instance : instances) {
        Instance_Insert(instance.id, &instance);
        ScriptValue hp = ScriptValue_Real(7);
        Variable_SetValue(&instance, VARIABLE_ID_BASE + slot, ARRAY_INDEX_NONE, &hp);
    }
    const int32_t get = MiscTable::Id("variable_instance_get");
    ScriptValue name = ScriptValue_Undefined();
    ScriptValue_InitString(&name, "hp");
    ScriptValue id = ScriptValue_Undefined(), result = ScriptValue_Undefined();
    ScriptValue* args[2] = {&id, &name};
    int64_t k = 0;
    for (auto _ : state) {
        id = ScriptValue_Real(100000.0 + static_cast<double>(k++ & 3));
        Call(get, nullptr, args, 2, &result);
        benchmark::DoNotOptimize(result.real);
    }
    state.SetItemsProcessed(state.iterations());
    Instance_ClearTable(HASH_KEEP_VALUE);
    ScriptValue_SetUndefined(&name);
    Variable_FreeNames();
    Object_Free();
}
BENCHMARK(BM_VariableInstanceGet);
