#pragma once
// Test built-ins standing in for the object model's try support: game code
// calls them to install a try block, to throw, and to run code in a nested run.
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/JS_Exception.h"
#include "Code/VM_Main.h"

namespace vmtest {
// A try block of the running call whose handler starts at argument 0.
inline void TestTry(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc > 0) JS_InstallExceptionHandler(Arg_Int32(args, 0), args, argc);
    *result = ScriptValue_Real(0);
}
// Throws argument 0.
inline void TestThrow(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue thrown = ScriptValue_Undefined();
    if (argc > 0) thrown.Assign(args[0]);
    JS_UnwindToHandler(&thrown);
}
// Runs code entry argument 0 in a run of its own.
inline void TestRun(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    CCode code(Arg_Int32(args, 0), 0);
    Code_Run(self, other, &code, result, 0);
}
// Registers both as "vm_test_try" and "vm_test_throw"; their ids go to the out values.
inline bool RegisterTryAndThrow(int32_t* tryId, int32_t* throwId)
{
    CodeFunction_Register("vm_test_try", TestTry, 1, 0);
    CodeFunction_Register("vm_test_throw", TestThrow, 1, 0);
    return CodeFunction_Find("vm_test_try", tryId) && CodeFunction_Find("vm_test_throw", throwId);
}
// Registers TestRun as "vm_test_run".
inline bool RegisterRun(int32_t* runId)
{
    CodeFunction_Register("vm_test_run", TestRun, 1, 0);
    return CodeFunction_Find("vm_test_run", runId);
}
}  // namespace vmtest
