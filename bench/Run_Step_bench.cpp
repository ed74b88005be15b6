#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/CodeChunks.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/VM_Main.h"
#include "Interpreter/VM_Interpreter.h"
#include "Runner/GameChunks.h"
#include "Runner/GameHeader_Load.h"
#include "Runner/Runner_LoadGame.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Runner/Run_Step.h"
#include "gamedata/Assembler.h"
#include "gamedata/FormWriter.h"

namespace {
StackTraceFrame* s_chainHead = nullptr;
LinkVariableRef* s_variables[] = {nullptr};
LinkFunctionRef* s_functions[] = {nullptr};
int64_t s_steps = 0;

void CountStep(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    ++s_steps;
}
// The short step event of the comparison below, compiled as the module's
// code is: its own variable 0 += 1.
void ShortStep(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("gml_Object_obj_Step_0", 1);
    ScriptValue one = ScriptValue_Real(1.0);
    self->SlotAt(0)->AddAssign(one);
}
// The same event as the bytecode of a game file.
const char* const kShortStep = "push.v self.100000\npush.d 1\nconv.d.v\nadd.v.v\npop.v.v self.100000";

CompiledCodeEntry s_code[2] = {{"count_step", CountStep}, {"gml_Object_obj_Step_0", ShortStep}};

// A room of n instances of one object whose step event is code entry code,
// made current; each instance's own variable 0 starts at 0.
class StepRoom {
public:
    StepRoom(int32_t n, int32_t code)
    {
        Object_Init();
        const int32_t index = Object_CreateEmpty();
        CGameObject* object = Object_Get(index);
        ObjectEventList& steps = object->events[EVENT_STEP];
        steps.events = static_cast<CEvent**>(QS_ALLOC(sizeof(CEvent*), true));
        steps.count = 1;
        auto* event = new CEvent();
        event->m_code = new CCode(code, 0);
        event->m_name = "step";
        steps.events[0] = event;
        Object_BuildEventLists();
        Run_Room = &m_room;
        for (int32_t i = 0; i < n; ++i) {
            auto* instance = new CInstance(0, 0, 100001 + i, index, true);
            instance->image_speed = 0;
            *instance->SlotAt(0) = ScriptValue_Real(0.0);
            m_room.activeInstances.Insert(instance);
            Instance_Insert(instance->id, instance);
        }
    }
    ~StepRoom()
    {
        Run_Room = nullptr;
        m_room.DeleteActiveInstances();
        Object_FreeEventLists();
        Object_Free();
    }
    StepRoom(const StepRoom&) = delete;
    StepRoom& operator=(const StepRoom&) = delete;
    double FirstVariable() { return m_room.activeInstances.first->SlotAt(0)->real; }

private:
    CGameRoom m_room;
};

// A game file whose code entry 0 is the short step event, loaded as the
// runner without a module loads it: checked and pre-decoded.
std::vector<uint8_t> LoadBytecodeGame()
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::CodeEntry entry;
    entry.name = "gml_Object_obj_Step_0";
    entry.bytecode = gamedata::Assemble(kShortStep).words;
    w.Code({entry});
    w.Vari({1, 1, 0}, {});
    std::vector<uint8_t> game = w.Finish();
    const auto size = static_cast<uint32_t>(game.size());
    if (!LoadGameHeader(game.data(), size) || !LoadGameChunks(game.data(), size) || !CODE_PrepareEntries())
        game.clear();
    return game;
}
}  // namespace

// The benchmark binary's game module: one compiled step event.
GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    *record = GameLinkRecord{};
    record->codeCount = 2;
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
    {
        StepRoom room(n, 0);
        s_steps = 0;
        for (auto _ : state) DoAStep();
        state.counters["step_events"] =
            benchmark::Counter(static_cast<double>(s_steps) / static_cast<double>(state.iterations()));
        state.SetComplexityN(n);
    }
    LinkRecord_Free();
}
BENCHMARK(BM_DoAStep_StepEvents)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// One game step of 10,000 instances each running a short step event (own
// variable += 1): compiled into the runner (argument 0), or the game file's
// bytecode run by the interpreter (argument 1). items_per_second counts step
// events: its inverse is the frame step time per instance.
static void BM_DoAStep_ShortStep(benchmark::State& state)
{
    constexpr int32_t kInstances = 10000;
    const bool bytecode = state.range(0) == 1;
    Console_SetStdoutSuppressed(true);
    // Other benchmarks of the binary run bytecode too: the mode is set here.
    const bool savedMode = CompiledCodeMode;
    CompiledCodeMode = !bytecode;
    std::vector<uint8_t> game;
    if (bytecode) {
        VM_SetInterpreter(VM_Interpret, &VM_HandlerSet());
        game = LoadBytecodeGame();
        if (game.empty()) state.SkipWithError("the bytecode game was refused");
    } else {
        LinkRecord_Load();
    }
    {
        StepRoom room(kInstances, bytecode ? 0 : 1);
        int64_t steps = 0;
        for (auto _ : state) {
            DoAStep();
            ++steps;
        }
        if (room.FirstVariable() != static_cast<double>(steps)) state.SkipWithError("the step events did not all run");
        state.SetItemsProcessed(steps * kInstances);
    }
    if (bytecode) UnloadGameData();
    else LinkRecord_Free();
    CompiledCodeMode = savedMode;
}
BENCHMARK(BM_DoAStep_ShortStep)->ArgName("bytecode")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
