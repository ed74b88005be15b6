#include <benchmark/benchmark.h>

#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Runner/Run_Step.h"

namespace {
StackTraceFrame* s_chainHead = nullptr;
LinkVariableRef* s_variables[] = {nullptr};
LinkFunctionRef* s_functions[] = {nullptr};
int64_t s_steps = 0;

void CountStep(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    ++s_steps;
}
CompiledCodeEntry s_code[1] = {{"count_step", CountStep}};
}  // namespace

// The benchmark binary's game module: one compiled step event.
GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    *record = GameLinkRecord{};
    record->codeCount = 1;
    record->variables = s_variables;
    record->functions = s_functions;
    record->codeTable = s_code;
    record->callChainHead = &s_chainHead;
    return record;
}

// One game step of a room whose n instances each run a step event that
// does nothing but count: the cost of the frame's passes per instance.
static void BM_DoAStep_StepEvents(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    LinkRecord_Load();
    Object_Init();
    const int32_t index = Object_CreateEmpty();
    CGameObject* object = Object_Get(index);
    ObjectEventList& steps = object->events[EVENT_STEP];
    steps.events = static_cast<CEvent**>(QS_ALLOC(sizeof(CEvent*), true));
    steps.count = 1;
    auto* event = new CEvent();
    event->m_code = new CCode(0, 0);
    event->m_name = "step";
    steps.events[0] = event;
    Object_BuildEventLists();

    CGameRoom room;
    Run_Room = &room;
    for (int32_t i = 0; i < n; ++i) {
        auto* instance = new CInstance(0, 0, 100001 + i, index, true);
        instance->image_speed = 0;
        room.activeInstances.Insert(instance);
        Instance_Insert(instance->id, instance);
    }
    s_steps = 0;
    for (auto _ : state) DoAStep();
    state.counters["step_events"] = benchmark::Counter(static_cast<double>(s_steps) / static_cast<double>(state.iterations()));
    state.SetComplexityN(n);
    Run_Room = nullptr;
    room.DeleteActiveInstances();
    Object_FreeEventLists();
    Object_Free();
    LinkRecord_Free();
}
BENCHMARK(BM_DoAStep_StepEvents)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
