#include <algorithm>

#include "Interpreter/VM_Stack.h"

namespace {
// The handler leaves the with-blocks entered inside its try block: it goes on
// with the self and other saved by the outermost of them (the record nearest
// the try block's start; its first two words are the saved self and other).
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

// Where the handler resumes: the stack its try block started from, so that
// what the call had pushed before it (enclosing with-blocks among them)
// stays. A try block without a known start, or one whose start the code has
// since popped past, resumes at the call's floor.
uint8_t* ResumePosition(VMFrame* f, uint8_t* sp)
{
    uint8_t* floor = VM_Floor(f);
    uint8_t* end = f->stack + f->stackSize;
    const int64_t at = VM_Exception.stackPosition;
    if (at < end - floor || at > end - sp) return floor;
    return end - at;
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
    uint8_t* resume = ResumePosition(f, *sp);
    RestoreOutsideWithBlocks(f, *sp, resume);
    VM_ReleaseRange(f, *sp, resume);
    const ScriptValue thrown = VM_Exception.thrown;
    const int32_t handler = VM_Exception.handlerPosition;
    VM_Exception = VMExceptionState{};
    *sp = VM_PushValue(f, resume, thrown);
    // The handler may lie before the throw: resuming there is a jump back.
    VM_CountBranchStep();
    if (f->stopped) return false;
    return VM_JumpTo(f, handler);
}
