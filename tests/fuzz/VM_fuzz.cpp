// Fuzzes the bytecode interpreter: the input is one code entry's bytecode,
// run with no instance and a small locals object through both loops: the
// debugger's (its service call is the instruction budget) and the plain one
// (the message pump, run every few thousand branches, is its budget).
// Built-ins 0 and 1 install a try block and throw, so that catches meet any
// stack the code leaves.
#include <cstdint>
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Code/Code_Main.h"
#include "Code/VM_Main.h"
#include "Interpreter/VMTryThrow.h"
#include "Interpreter/VM_Interpreter.h"

namespace {
int s_services = 0;
bool Connected() { return true; }
// Called every 20000 instructions: a few of them end the run.
void Service()
{
    if (++s_services > 5) VM_RuntimeError(VM_CurrentFrame, "step limit");
}
void Paused() {}
// The plain loop's budget: the pump runs every few thousand branches.
int Pump()
{
    Service();
    return 0;
}

void RunOnce(const uint8_t* data, size_t size, bool debugger)
{
    VM_Debugger = debugger ? VMDebuggerHooks{Connected, Service, Paused} : VMDebuggerHooks{};
    s_services = 0;
    auto* words = static_cast<uint32_t*>(QS_ALLOC(size + 4, true));
    std::memcpy(words, data, size);
    CCode code(-1, 0);
    code.m_bytecode = new VMBuffer();
    code.m_bytecode->m_code = words;
    code.m_bytecode->m_ownsCode = true;
    code.m_bytecode->m_size = static_cast<int32_t>(size);
    code.m_localsCount = 4;
    ScriptValue result = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &result, nullptr, 0, nullptr, nullptr);
    ScriptValue_SetUndefined(&result);
    delete code.m_bytecode;
    code.m_bytecode = nullptr;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        Console_SetStdoutSuppressed(true);
        VM_SetInterpreter(VM_Interpret, &VM_HandlerSet());
        Timing_SetMessagePump(Pump);
        WatchEvaluating = true;  // errors end the run instead of the process
        int32_t tryId = -1, throwId = -1;
        return vmtest::RegisterTryAndThrow(&tryId, &throwId) && tryId == 0 && throwId == 1;
    }();
    if (!ready) __builtin_trap();
    if (size > 4096) return 0;
    RunOnce(data, size, true);
    RunOnce(data, size, false);
    return 0;
}
