#pragma once
// Test built-ins standing in for the object model's try support: game code
// calls them to install a try block and to throw.
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/JS_Exception.h"
#include "Code/VM_Main.h"

namespace vmtest {
// A try block of the running call whose handler starts at argument 0.
inline void TestTry(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    VMCallRecord* record = VM_CurrentFrame->callRecord;
    record->handlerRecord = new JSExceptionHandler{static_cast<int32_t>(args[0].real),
                                                   static_cast<JSExceptionHandler*>(record->handlerRecord)};
    *result = ScriptValue_Real(0);
}
// Throws argument 0.
inline void TestThrow(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue thrown = ScriptValue_Undefined();
    thrown.Assign(args[0]);
    JS_UnwindToHandler(&thrown);
}
// Registers both as "vm_test_try" and "vm_test_throw"; their ids go to the out values.
inline bool RegisterTryAndThrow(int32_t* tryId, int32_t* throwId)
{
    CodeFunction_Register("vm_test_try", TestTry, 1, 0);
    CodeFunction_Register("vm_test_throw", TestThrow, 1, 0);
    return CodeFunction_Find("vm_test_try", tryId) && CodeFunction_Find("vm_test_throw", throwId);
}
}  // namespace vmtest
