#include <algorithm>

#include "Interpreter/VM_Stack.h"

namespace {
// The handling call leaves the with-blocks the throw came out of: it goes on
// with the self and other saved by the outermost of them (the record nearest
// the call's floor; its first two words are the saved self and other).
void RestoreOutsideWithBlocks(VMFrame* f, uint8_t* from, uint8_t* to)
{
    uint8_t* savedSelf = nullptr;
    for (uint8_t* p = from; p < to;) {
        const uint8_t tag = VM_Tag(f, p);
        if (tag == VMTAG_WITH_RECORD) savedSelf = p;
        p += tag == VMTAG_VALUE ? 16 : 8;
    }
    if (!savedSelf || savedSelf - 8 < from || VM_Tag(f, savedSelf - 8) != VMTAG_WITH_RECORD) return;
    f->self = VM_Load<CInstance*>(savedSelf);
    f->other = VM_Load<CInstance*>(savedSelf - 8);
}
}  // namespace

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
    RestoreOutsideWithBlocks(f, *sp, VM_Floor(f));
    VM_ReleaseRange(f, *sp, VM_Floor(f));
    const ScriptValue thrown = VM_Exception.thrown;
    const int32_t handler = VM_Exception.handlerPosition;
    VM_Exception = VMExceptionState{};
    *sp = VM_PushValue(f, VM_Floor(f), thrown);
    return VM_JumpTo(f, handler);
}
