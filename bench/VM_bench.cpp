#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Base/Console.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/VM_Main.h"
#include "Interpreter/VM_Interpreter.h"
#include "Runner/GameChunks.h"
#include "Runner/GameHeader_Load.h"
#include "Runner/Runner_LoadGame.h"
#include "Script/Script_Main.h"
#include "gamedata/Assembler.h"
#include "gamedata/FormWriter.h"

// The same three programs run under lua5.4 by scripts/bench_vm.sh.
namespace {
const char* const kSumLoop =
    "push.d 0\nconv.d.v\npop.v.v local.100000\npush.d 0\nconv.d.v\npop.v.v local.100001\n"
    "loop:\npushl 100001\npush.d 10000000\nconv.d.v\nset.v.v lt\nbf end\n"
    "pushl 100000\npushl 100001\nadd.v.v\npop.v.v local.100000\n"
    "pushl 100001\npush.d 1\nconv.d.v\nadd.v.v\npop.v.v local.100001\nb loop\nend:\npushl 100000";
const char* const kFibCall = "push.d 27\nconv.d.v\ncall.i 100000 1";
// fib(n): n < 2 ? n : fib(n - 1) + fib(n - 2); argument 0 through the built-in below.
const char* const kFib =
    "call.i ARG 0\npop.v.v local.100000\npushl 100000\npush.d 2\nconv.d.v\nset.v.v lt\nbf rec\npushl 100000\nret.v\n"
    "rec:\npushl 100000\npush.d 1\nconv.d.v\nsub.v.v\ncall.i 100000 1\n"
    "pushl 100000\npush.d 2\nconv.d.v\nsub.v.v\ncall.i 100000 1\nadd.v.v\nret.v";
const char* const kConcat =
    "push.s 0\nconv.s.v\npop.v.v local.100000\npush.d 0\nconv.d.v\npop.v.v local.100001\n"
    "loop:\npushl 100001\npush.d 100000\nconv.d.v\nset.v.v lt\nbf end\n"
    "pushl 100000\npush.s 1\nconv.s.v\nadd.v.v\npop.v.v local.100000\n"
    "pushl 100001\npush.d 1\nconv.d.v\nadd.v.v\npop.v.v local.100001\nb loop\nend:\npushl 100000";

void FirstArgument(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    *result = VM_ArgumentCount > 0 ? VM_ArgumentBase[0] : ScriptValue_Real(0);
}

std::vector<uint8_t> s_game;

void LoadPrograms()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    Console_SetStdoutSuppressed(true);
    VM_SetInterpreter(VM_Interpret, &VM_HandlerSet());
    CompiledCodeMode = false;
    CodeFunction_Register("bench_argument0", FirstArgument, 0, 0);
    int32_t arg = 0;
    CodeFunction_Find("bench_argument0", &arg);
    std::string fib = kFib;
    fib.replace(fib.find("ARG"), 3, std::to_string(arg));
    gamedata::FormWriter w;
    w.AddString("");
    w.AddString("x");
    gamedata::GeneralHeader header;
    w.Gen8(header);
    std::vector<gamedata::CodeEntry> entries;
    for (const std::string& source : {std::string(kSumLoop), std::string(kFibCall), fib, std::string(kConcat)}) {
        gamedata::CodeEntry entry;
        entry.name = "bench";
        entry.bytecode = gamedata::Assemble(source).words;
        entry.locals = 2;
        entries.push_back(entry);
    }
    w.Code(entries);
    w.Vari({1, 1, 2}, {});
    w.Scpt({gamedata::Script{"fib", 2}});
    s_game = w.Finish();
    const uint32_t size = static_cast<uint32_t>(s_game.size());
    LoadGameHeader(s_game.data(), size);
    LoadGameChunks(s_game.data(), size);
    Script_Prepare();
}

void RunEntry(benchmark::State& state, int32_t entry, double expected)
{
    LoadPrograms();
    CCode code(entry, 0);
    for (auto _ : state) {
        ScriptValue result = ScriptValue_Undefined();
        Code_Run(nullptr, nullptr, &code, &result, 0);
        if (result.Kind() == VALUE_REAL && result.real != expected) state.SkipWithError("wrong result");
        ScriptValue_SetUndefined(&result);
    }
}

void BM_VM_SumLoop10M(benchmark::State& state) { RunEntry(state, 0, 49999995000000.0); }
BENCHMARK(BM_VM_SumLoop10M)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_VM_Fib27(benchmark::State& state) { RunEntry(state, 1, 196418); }
BENCHMARK(BM_VM_Fib27)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_VM_Concat100k(benchmark::State& state) { RunEntry(state, 3, 0); }
BENCHMARK(BM_VM_Concat100k)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
