#include <algorithm>
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Exception.h"
#include "Code/ObjectBase.h"
#include "Interpreter/VM_Interpreter.h"
#include "Interpreter/VM_Stack.h"
#include "Options/Runner_Options.h"

BreakpointSlot VM_Breakpoints[VM_BREAKPOINT_SLOTS];
int32_t VM_StepMode = -1;
bool VM_BreakRequest = false;
VMDebuggerHooks VM_Debugger = {};

namespace {
// Runs nest through built-ins that run code; each takes native stack.
constexpr int kMaxNestedRuns = 128;
int s_nestedRuns = 0;
uint32_t s_instructionCount = 0;
const char* s_stopSource = nullptr;
int s_stopLine = -1;
int32_t s_stepDepth = 0;

// Blocks of the first size kept from finished runs: every event of every
// instance is a run, and a fresh zeroed block for each costs more than a
// short event's code. A kept block is not cleared: nothing reads a slot
// below the stack pointer, and a slot joins the stack only through a push
// that writes its bytes and its tag. The run clears the tags of what it lays
// down itself (its arguments and bottom record).
struct StackBlock {
    uint8_t* stack;
    uint8_t* tags;
};
constexpr int kKeptBlocks = 8;
StackBlock s_keptBlocks[kKeptBlocks];
int s_keptCount = 0;

StackBlock TakeBlock(int32_t size)
{
    if (size == VM_STACK_BLOCK && s_keptCount > 0) return s_keptBlocks[--s_keptCount];
    return {static_cast<uint8_t*>(QS_ALLOC(size, true)), static_cast<uint8_t*>(QS_ALLOC(size / 8, true))};
}

void GiveBackBlock(uint8_t* stack, uint8_t* tags, int32_t size)
{
    if (size == VM_STACK_BLOCK && s_keptCount < kKeptBlocks) {
        s_keptBlocks[s_keptCount++] = {stack, tags};
        return;
    }
    QS_FREE(stack);
    QS_FREE(tags);
}
}  // namespace

const VMHandlerSet& VM_HandlerSet()
{
    static const VMHandlerSet set = {
        {DoPush,       DoPushLocal,    DoPushGlobal, DoPushBuiltin, DoPushImmediate, DoPop,     DoDup,
         DoConv,       DoMul,          DoDiv,        DoRem,         DoMod,           DoAdd,     DoSub,
         DoAnd,        DoOr,           DoXor,        DoNeg,         DoNot,           DoShl,     DoShr,
         DoSet,        DoBranch,       DoBranchTrue, DoBranchFalse, DoCall,          DoPushEnv, DoPopEnv,
         DoRet,        DoExit,         DoPopNull,    DoPopNull},
        VM_PopLocalFast,
        VM_ConvIntToVar,
        VM_ConvDoubleToVar,
        VM_CompareValues,
        VM_PushDoubleValue,
        VM_ArithToLocal,
        VM_PushLocalAndNumber,
        VM_CompareAndBranch,
        VM_PushTwoLocals,
        VM_CallBuiltin,
        VM_CallScriptByIndex,
        DoCall,
        VM_BadInstruction,
    };
    return set;
}

namespace {
bool DebuggerConnected() { return VM_Debugger.connected && VM_Debugger.connected(); }

// The debugger stops before every instruction: a handler that runs the next
// one too gives way to the handler of its own instruction.
VMHandler OneInstruction(VMHandler handler, uint32_t word)
{
    if (handler == VM_PushDoubleValue || handler == VM_ArithToLocal || handler == VM_PushLocalAndNumber ||
        handler == VM_PushTwoLocals)
        return VM_HandlerSet().byIndex[(word >> 24) & 0x1F];
    return handler == VM_CompareAndBranch ? VM_CompareValues : handler;
}

// The step test of the debugger loop: true when the run stops before the
// instruction at position.
bool StepStops(VMFrame* f)
{
    if (VM_StepMode < 0 || !f->source) return false;
    const VMDebugEntry* entry = VM_FindPosEntry(f->debugTable, f->position + 4);
    const int line = VM_LineFromPos(entry, f->source, nullptr);
    if (f->source == s_stopSource && line == s_stopLine) return false;
    bool stop = false;
    if (VM_StepMode == 0) stop = true;
    else if (VM_StepMode == 1) stop = f->depth <= s_stepDepth;
    else if (VM_StepMode == 2) stop = f->depth <= s_stepDepth && f->source != s_stopSource;
    if (stop) {
        s_stopSource = f->source;
        s_stopLine = line;
        s_stepDepth = f->depth;
    }
    return stop;
}

// After an error stopped the run inside script calls: every call still open
// gives back what it holds.
uint8_t* Unwind(uint8_t* sp, VMFrame* f)
{
    while (f->callRecord != f->bottomRecord) {
        VM_ReleaseRange(f, sp, VM_Floor(f));
        f->depth = std::max(f->depth, 1);
        sp = VM_PopCallFrame(VM_Floor(f), f);
    }
    f->depth = 0;
    f->position = f->codeSize;
    return sp;
}

// One instruction through its handler, the loop's form under a debugger.
uint8_t* RunInstructionsDebug(VMFrame* f, uint8_t* sp)
{
    while (!f->stopped && f->position < f->codeSize) {
        if (sp - f->stack < VM_STACK_HEADROOM) {
            sp = VM_GrowStack(sp, f);
            continue;
        }
        const int32_t at = f->position;
        uint32_t word = VM_Load<uint32_t>(reinterpret_cast<const uint8_t*>(f->code) + at);
        VMHandler handler = f->handlers[f->handlerIndex++];
        if (DebuggerConnected()) {
            handler = OneInstruction(handler, word);
            if (++s_instructionCount > 20000) {
                s_instructionCount = 0;
                if (VM_Debugger.update) VM_Debugger.update();
            }
            if (StepStops(f) || VM_BreakRequest) {
                VM_BreakRequest = false;
                VM_StepMode = -1;
                word = 0xff0f0000u;
            }
            // Armed breakpoints live in the code words, which the pre-decoder did not see.
            if ((word >> 24) == VMO_BREAK) handler = DoPopNull;
        }
        f->instruction = at;
        f->position = at + 4 + ((word & 0x40000000u) ? VM_OperandSize(VM_FirstType(word)) : 0);
        sp = handler(word, sp, reinterpret_cast<const uint8_t*>(f->code) + at + 4, f);
        VM_CurrentFrame = f;
    }
    return sp;
}

void RunLoop(VMFrame* f, ScriptValue* result, bool debug)
{
    const int32_t savedCount = VM_ArgumentCount;
    uint8_t* sp = VM_Floor(f);
    for (;;) {
        sp = debug ? RunInstructionsDebug(f, sp) : VM_RunSteps(f, sp);
        if (VM_Exception.pending) {
            if (VM_CatchException(f, &sp)) continue;
            break;
        }
        if (!f->stopped && f->depth > 0 && f->callRecord != f->bottomRecord) {
            // A called script ran off its end: it returns the number 0.
            VM_ReleaseRange(f, sp, VM_Floor(f));
            sp = VM_PopCallFrame(VM_Floor(f), f);
            sp = VM_PushValue(f, sp, VM_Real(0.0));
            continue;
        }
        break;
    }
    sp = Unwind(sp, f);
    VM_ArgumentCount = savedCount;
    uint8_t* bottom = VM_Floor(f);
    if (result && !VM_Exception.pending && sp < bottom && VM_Tag(f, sp) == VMTAG_VALUE) {
        if (result->MayOwn()) ScriptValue_FreePayload(result);
        ScriptValue top;
        VM_TakeValue(f, sp, &top, "Return");
        *result = top;
        sp += 16;
    }
    VM_ReleaseRange(f, sp, bottom);
    JS_DeleteExceptionHandlers(f->bottomRecord->handlerRecord);
    f->bottomRecord->handlerRecord = nullptr;
}
}  // namespace

bool VM_SetCode(VMFrame* f, VMBuffer* buffer, int32_t position)
{
    if (!buffer || (!buffer->m_steps && !buffer->Prepare(VM_HandlerSet()))) {
        f->codeSize = 0;
        VM_RuntimeError(f, "Execution Error - code could not be prepared");
        return false;
    }
    f->buffer = buffer;
    f->code = buffer->m_code;
    f->codeSize = buffer->m_code && buffer->m_size > 0 ? buffer->m_size & ~3 : 0;
    f->handlers = buffer->m_handlers;
    f->indexMap = buffer->m_indexMap;
    f->steps = buffer->m_steps;
    return VM_JumpTo(f, position);
}

uint8_t* VM_GrowStack(uint8_t* sp, VMFrame* f)
{
    const int32_t oldSize = f->stackSize;
    // Doubling keeps deep recursion from copying the stack over and over.
    const int32_t newSize = oldSize * 2;
    if (newSize > VM_STACK_LIMIT) {
        VM_RuntimeError(f, "Stack overflow in %s", f->name ? f->name : "<code>");
        return sp;
    }
    auto* block = static_cast<uint8_t*>(QS_ALLOC(newSize, true));
    auto* tags = static_cast<uint8_t*>(QS_ALLOC(newSize / 8, true));
    if (!block || !tags) {
        QS_FREE(block);
        QS_FREE(tags);
        VM_RuntimeError(f, "Stack overflow in %s", f->name ? f->name : "<code>");
        return sp;
    }
    uint8_t* old = f->stack;
    uint8_t* oldTags = f->tags;
    const int32_t added = newSize - oldSize;
    std::memcpy(block + added, old, oldSize);
    std::memcpy(tags + added / 8, f->tags, oldSize / 8);
    const ptrdiff_t shift = (block + added) - old;
    auto inOld = [&](const void* p) {
        return p >= static_cast<const void*>(old) && p < static_cast<const void*>(old + oldSize);
    };
    f->stack = block;
    f->tags = tags;
    f->stackSize = newSize;
    // Arrays owned by values on the stack follow them. Only the live part is
    // looked at: below the stack pointer a kept block holds what earlier runs left.
    for (int32_t slot = static_cast<int32_t>((sp + shift - block) / 8); slot < newSize / 8; ++slot) {
        if (tags[slot] != VMTAG_VALUE) continue;
        auto* v = reinterpret_cast<ScriptValue*>(block + slot * 8);
        if (v->Kind() == VALUE_ARRAY && v->arr && inOld(v->arr->owner))
            v->arr->owner = reinterpret_cast<ScriptValue*>(reinterpret_cast<uint8_t*>(v->arr->owner) + shift);
    }
    f->callRecord = reinterpret_cast<VMCallRecord*>(reinterpret_cast<uint8_t*>(f->callRecord) + shift);
    f->bottomRecord = reinterpret_cast<VMCallRecord*>(reinterpret_cast<uint8_t*>(f->bottomRecord) + shift);
    if (inOld(VM_ArgumentBase))
        VM_ArgumentBase = reinterpret_cast<ScriptValue*>(reinterpret_cast<uint8_t*>(VM_ArgumentBase) + shift);
    QS_FREE(old);
    QS_FREE(oldTags);
    return sp + shift;
}

void VM_RunLoop(VMFrame* frame, ScriptValue* result) { RunLoop(frame, result, false); }

void VM_RunLoopDebug(VMFrame* frame, ScriptValue* result, bool releaseLocals)
{
    RunLoop(frame, result, true);
    if (releaseLocals && frame->localsGiven && frame->locals) {
        VM_FreeLocals(frame->locals);
        frame->locals = nullptr;
    }
}

void VM_Interpret(CCode* code, CInstance* self, CInstance* other, ScriptValue* result, KVObjectBase* locals, int argc,
                  ScriptValue* args, KVObjectBase* argumentsObject)
{
    // No code runs while a thrown value is on its way to its handler.
    if (!code || !code->m_bytecode || VM_Exception.pending) return;
    const char* name = code->m_name ? code->m_name : "<code>";
    if (s_nestedRuns >= kMaxNestedRuns) {
        VM_RuntimeError(VM_CurrentFrame, "Stack overflow...\n%s", name);
        return;
    }
    if (TraceScripts && LogConsole) LogConsole->Output("script = %s\n", name);
    if (VM_ListOnRun && LogConsole) VM_ListCode(name, code->m_bytecode, LogConsole);
    if (argc < 0 || !args) argc = 0;

    // The block holds the arguments, the bottom record and one block of room.
    const int64_t needed = 16 + 16 * static_cast<int64_t>(argc) + static_cast<int64_t>(sizeof(VMCallRecord)) +
                           VM_STACK_HEADROOM;
    if (needed > VM_STACK_LIMIT) {
        VM_RuntimeError(VM_CurrentFrame, "Stack overflow...\n%s", name);
        return;
    }
    const int32_t size = static_cast<int32_t>((needed + VM_STACK_BLOCK - 1) / VM_STACK_BLOCK * VM_STACK_BLOCK);
    VMFrame frame{};
    const StackBlock block = TakeBlock(size);
    frame.stack = block.stack;
    frame.tags = block.tags;
    frame.stackSize = size;
    uint8_t* end = frame.stack + size;
    uint8_t* argBase = end - 16 - 16 * argc;
    for (int i = 0; i < argc; ++i) VM_PlaceValue(&frame, argBase + 16 * i, args[i]);
    const int32_t savedCount = VM_ArgumentCount;
    ScriptValue* savedBase = VM_ArgumentBase;
    VM_ArgumentCount = argc;
    VM_ArgumentBase = reinterpret_cast<ScriptValue*>(argBase);
    auto* bottom = reinterpret_cast<VMCallRecord*>(argBase - sizeof(VMCallRecord));
    std::memset(bottom, 0, sizeof *bottom);
    std::memset(&VM_Tag(&frame, reinterpret_cast<uint8_t*>(bottom)), VMTAG_PLAIN, sizeof *bottom / 8);
    bottom->previousRecord = -1;
    frame.callRecord = frame.bottomRecord = bottom;
    frame.self = self;
    frame.other = other;
    frame.debugTable = code->m_debugTable;
    frame.source = code->m_source;
    frame.name = name;

    frame.previous = VM_CurrentFrame;
    if (VM_CurrentFrame) VM_CurrentFrame->nested = &frame;
    VM_CurrentFrame = &frame;
    ++s_nestedRuns;

    frame.localsGiven = locals ? 1 : 0;
    frame.locals = locals ? locals
                          : VM_AllocLocals(std::max({Variable_LocalCount(), code->m_localsCount,
                                                     code->m_bytecode->m_localsCount}));
    VM_SetArgumentsSlot(frame.locals, argumentsObject);
    if (VM_SetCode(&frame, code->m_bytecode, code->m_startOffset)) {
        if (DebuggerConnected()) VM_RunLoopDebug(&frame, result, false);
        else VM_RunLoop(&frame, result);
    }

    --s_nestedRuns;
    VM_CurrentFrame = frame.previous;
    if (VM_CurrentFrame) VM_CurrentFrame->nested = nullptr;
    VM_ArgumentBase = savedBase;
    VM_ArgumentCount = savedCount;
    if (!frame.localsGiven) VM_FreeLocals(frame.locals);
    GiveBackBlock(frame.stack, frame.tags, frame.stackSize);
}

uint8_t* VM_BreakService(uint32_t word, uint8_t* sp, VMFrame* f, bool stepBack)
{
    const uint32_t special = word & 0xFFFF;
    if (special == 0xFFFF) {
        if (!VM_Has(f, sp, 8)) return sp;
        const int32_t index = VM_Load<int32_t>(sp);
        if (index < 0) VM_RuntimeError(f, "Array index must be positive");
        else if (index >= 32000) VM_RuntimeError(f, "Array index must be < %d", 32000);
        return sp;
    }
    if (special != 0) return sp;
    if (stepBack) f->position -= 4;
    VM_UnpatchBreakpoints();
    if (DebuggerConnected() && VM_Debugger.pausedLoop) VM_Debugger.pausedLoop();
    const int32_t at = f->position;
    // A break word the code itself holds (not a patched breakpoint) may stand
    // where no instruction can be read back: the run ends there.
    if (at < 0 || at > f->codeSize - 4 || !f->indexMap) {
        f->position = f->codeSize;
        VM_PatchBreakpoints();
        return sp;
    }
    const uint32_t real = VM_Load<uint32_t>(reinterpret_cast<const uint8_t*>(f->code) + at);
    f->instruction = at;
    f->position = at + 4 + ((real & 0x40000000u) ? VM_OperandSize(VM_FirstType(real)) : 0);
    if ((real >> 24) != VMO_BREAK && f->indexMap[at / 4] >= 0) {
        f->handlerIndex = f->indexMap[at / 4] + 1;
        const VMHandler handler = OneInstruction(f->handlers[f->indexMap[at / 4]], real);
        sp = handler(real, sp, reinterpret_cast<const uint8_t*>(f->code) + at + 4, f);
    }
    VM_PatchBreakpoints();
    return sp;
}

bool VM_AddBreakpoint(uint32_t* address)
{
    for (int i = 0; i < VM_BREAKPOINT_SLOTS - 1; ++i) {
        if (VM_Breakpoints[i].address) continue;
        VM_Breakpoints[i].address = address;
        VM_Breakpoints[i].savedWord = *address;
        return true;
    }
    return false;
}

void VM_RemoveBreakpoint(uint32_t* address)
{
    for (int i = 0; i < VM_BREAKPOINT_SLOTS - 1; ++i) {
        if (VM_Breakpoints[i].address != address) continue;
        VM_Breakpoints[i].address = nullptr;
        VM_Breakpoints[i].savedWord = 0;
    }
}

void VM_ClearBreakpoints()
{
    VM_UnpatchBreakpoints();
    for (BreakpointSlot& slot : VM_Breakpoints) slot = BreakpointSlot{0, nullptr};
}

void VM_PatchBreakpoints()
{
    for (BreakpointSlot& slot : VM_Breakpoints)
        if (slot.address) *slot.address = VM_BREAK_WORD;
}

void VM_UnpatchBreakpoints()
{
    for (BreakpointSlot& slot : VM_Breakpoints)
        if (slot.address) *slot.address = slot.savedWord;
}

void VM_Init()
{
    for (BreakpointSlot& slot : VM_Breakpoints) slot = BreakpointSlot{0, nullptr};
    s_instructionCount = 0;
    VM_StepMode = -1;
    VM_BreakRequest = false;
}

VM_HANDLER(VM_BadInstruction)
{
    (void)operand;
    if (std::strcmp(VM_OpcodeName(word >> 24), "unknown") != 0)
        VM_RuntimeError(f, "Execution Error - operand of %s at 0x%08x runs past the end of the code",
                        VM_OpcodeName(word >> 24), static_cast<uint32_t>(f->instruction));
    else
        VM_RuntimeError(f, "Execution Error - unknown opcode 0x%02x at 0x%08x", word >> 24,
                        static_cast<uint32_t>(f->instruction));
    return sp;
}
