#include <algorithm>

#include "Interpreter/VM_Stack.h"

bool VM_CatchException(VMFrame* f, uint8_t** sp)
{
    if (VM_Exception.handlingRun != f) return false;
    uint8_t* end = f->stack + f->stackSize;
    auto* handling = reinterpret_cast<VMCallRecord*>(end - VM_Exception.recordPosition);
    while (f->callRecord != handling && f->callRecord != f->bottomRecord) {
        VM_ReleaseRange(f, *sp, VM_Floor(f));
        f->depth = std::max(f->depth, 1);
        *sp = VM_PopCallFrame(VM_Floor(f), f);
    }
    VM_ReleaseRange(f, *sp, VM_Floor(f));
    const ScriptValue thrown = VM_Exception.thrown;
    const int32_t handler = VM_Exception.handlerPosition;
    VM_Exception = VMExceptionState{};
    *sp = VM_PushValue(f, VM_Floor(f), thrown);
    return VM_JumpTo(f, handler);
}
