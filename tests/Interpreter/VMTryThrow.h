#pragma once
// The try support's built-ins for game code in tests: a try block (catch
// position, finally position), its removal, a throw, the ends of catch and
// finally blocks, and a built-in that runs code in a nested run.
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/JS_Exception.h"
#include "Code/VM_Main.h"

namespace vmtest {
// Runs code entry argument 0 in a run of its own.
inline void TestRun(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    CCode code(Arg_Int32(args, 0), 0);
    Code_Run(self, other, &code, result, 0);
}
// Registers the try support as "vm_test_try" and "vm_test_throw"; their ids go to the out values.
inline bool RegisterTryAndThrow(int32_t* tryId, int32_t* throwId)
{
    CodeFunction_Register("vm_test_try", JS_TryHook, -1, 0);
    CodeFunction_Register("vm_test_throw", JS_ThrowValue, 1, 0);
    return CodeFunction_Find("vm_test_try", tryId) && CodeFunction_Find("vm_test_throw", throwId);
}
// Registers the removal and the ends of catch and finally blocks.
inline bool RegisterTryEnds(int32_t* unhookId, int32_t* finishCatchId, int32_t* finishFinallyId)
{
    CodeFunction_Register("vm_test_unhook", JS_TryUnhook, 0, 0);
    CodeFunction_Register("vm_test_finish_catch", JS_FinishCatch, 0, 0);
    CodeFunction_Register("vm_test_finish_finally", JS_FinishFinally, 0, 0);
    return CodeFunction_Find("vm_test_unhook", unhookId) && CodeFunction_Find("vm_test_finish_catch", finishCatchId) &&
           CodeFunction_Find("vm_test_finish_finally", finishFinallyId);
}
// Registers TestRun as "vm_test_run".
inline bool RegisterRun(int32_t* runId)
{
    CodeFunction_Register("vm_test_run", TestRun, 1, 0);
    return CodeFunction_Find("vm_test_run", runId);
}
}  // namespace vmtest
