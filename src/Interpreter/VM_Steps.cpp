#include <cstdint>
#include <iterator>

#include "Base/Timing.h"
#include "Code/ObjectBase.h"
#include "Interpreter/VM_Stack.h"

namespace {
inline double Arithmetic(uint8_t opcode, double a, double b)
{
    switch (opcode) {
    case VMO_ADD: return a + b;
    case VMO_SUB: return a - b;
    case VMO_MUL: return a * b;
    default: return a / b;
    }
}

inline bool IsReal(const ScriptValue* v) { return v->kind == VALUE_REAL; }
}  // namespace

// The instruction index, the stack and the call's locals live in variables
// of this loop. A step whose values are all reals runs inline; anything else
// goes through the instruction's handler with the frame brought up to date,
// and the variables are read back from the frame after it (a handler may
// call, return, grow the stack or stop the run). Each step ends with its own
// dispatch, so that the processor predicts every step's successor apart.
uint8_t* VM_RunSteps(VMFrame* f, uint8_t* sp)
{
    static const void* const kSteps[] = {
        &&handler,           &&end,               &&branch,       &&pushLocal,   &&pushNumber,
        &&pushLocalNumber,   &&pushTwoLocals,     &&popLocal,     &&arith,       &&arithStore,
        &&localNumberArith,  &&localNumberStore,  &&localsArith,  &&localsStore, &&compareBranch,
        &&localNumberBranch, &&localsBranch,     &&callBuiltin,  &&callScript,  &&ret,
    };
    static_assert(std::size(kSteps) == VM_STEP_KINDS, "one label per step kind, in their order");

    if (f->stopped || f->position >= f->codeSize) return sp;
    const VMStep* steps;
    uint8_t* stack;
    uint8_t* tags;
    uint8_t* floor;
    ScriptValue* slots;
    int32_t slotCount;
    const VMStep* s;
    uint32_t branches = 0;

// The frame's state after a handler (or at the start).
#define QS_LOAD()                                                       \
    do {                                                                \
        steps = f->steps;                                               \
        stack = f->stack;                                               \
        tags = f->tags;                                                 \
        floor = VM_Floor(f);                                            \
        slots = f->locals ? f->locals->m_slots : nullptr;               \
        slotCount = slots ? f->locals->m_slotCount : 0;                 \
        s = &steps[f->handlerIndex];                                    \
    } while (0)
// On to the step of instruction i.
#define QS_NEXT(i)                                                      \
    do {                                                                \
        s = &steps[i];                                                  \
        if (s->top >= slotCount) goto handler;                          \
        goto* kSteps[s->kind];                                          \
    } while (0)
// Counts a branch step: the message pump runs every few thousand, as on
// the handlers' path, and may end the run.
#define QS_COUNT_BRANCH()                                               \
    do {                                                                \
        if ((++branches & 0xFFF) == 0) {                                \
            Timing_PumpMessages();                                      \
            if (f->stopped) return sp;                                  \
        }                                                               \
    } while (0)
#define QS_TAG(p) tags[((p) - stack) >> 3]
#define QS_PUSH(d)                                                      \
    do {                                                                \
        sp -= 16;                                                       \
        const ScriptValue pushed = VM_Real(d);                          \
        std::memcpy(sp, &pushed, 16);                                   \
        QS_TAG(sp) = VMTAG_VALUE;                                       \
        QS_TAG(sp + 8) = VMTAG_PLAIN;                                   \
    } while (0)
#define QS_ROOM(bytes) (sp - (bytes) - stack >= VM_STACK_HEADROOM)
#define QS_TOP(offset) reinterpret_cast<ScriptValue*>(sp + (offset))
#define QS_REAL_ON_STACK(offset) (QS_TAG(sp + (offset)) == VMTAG_VALUE && IsReal(QS_TOP(offset)))

    QS_LOAD();
    QS_NEXT(f->handlerIndex);

end:
    f->position = s->at;
    f->handlerIndex = s->index;
    return sp;
branch:
    QS_COUNT_BRANCH();
    QS_NEXT(s->target);
pushLocal:
    if (!IsReal(&slots[s->a]) || !QS_ROOM(16)) goto handler;
    QS_PUSH(slots[s->a].real);
    QS_NEXT(s->next);
pushNumber:
    if (!QS_ROOM(16)) goto handler;
    QS_PUSH(s->number);
    QS_NEXT(s->next);
pushLocalNumber:
    if (!IsReal(&slots[s->a]) || !QS_ROOM(32)) goto handler;
    QS_PUSH(slots[s->a].real);
    QS_PUSH(s->number);
    QS_NEXT(s->next);
pushTwoLocals:
    if (!IsReal(&slots[s->a]) || !IsReal(&slots[s->b]) || !QS_ROOM(32)) goto handler;
    QS_PUSH(slots[s->a].real);
    QS_PUSH(slots[s->b].real);
    QS_NEXT(s->next);
popLocal:
    if (floor - sp < 16 || !QS_REAL_ON_STACK(0) || slots[s->c].MayOwn()) goto handler;
    slots[s->c] = VM_Real(QS_TOP(0)->real);
    QS_TAG(sp) = VMTAG_PLAIN;
    sp += 16;
    QS_NEXT(s->next);
arith:
    if (floor - sp < 32 || !QS_REAL_ON_STACK(0) || !QS_REAL_ON_STACK(16)) goto handler;
    QS_TOP(16)->real = Arithmetic(s->op, QS_TOP(16)->real, QS_TOP(0)->real);
    QS_TAG(sp) = VMTAG_PLAIN;
    sp += 16;
    QS_NEXT(s->next);
arithStore:
    if (floor - sp < 32 || !QS_REAL_ON_STACK(0) || !QS_REAL_ON_STACK(16) || slots[s->c].MayOwn()) goto handler;
    slots[s->c] = VM_Real(Arithmetic(s->op, QS_TOP(16)->real, QS_TOP(0)->real));
    QS_TAG(sp) = VMTAG_PLAIN;
    QS_TAG(sp + 16) = VMTAG_PLAIN;
    sp += 32;
    QS_NEXT(s->next);
localNumberArith:
    if (!IsReal(&slots[s->a]) || !QS_ROOM(16)) goto handler;
    QS_PUSH(Arithmetic(s->op, slots[s->a].real, s->number));
    QS_NEXT(s->next);
localNumberStore:
    if (!IsReal(&slots[s->a]) || slots[s->c].MayOwn()) goto handler;
    slots[s->c] = VM_Real(Arithmetic(s->op, slots[s->a].real, s->number));
    QS_NEXT(s->next);
localsArith:
    if (!IsReal(&slots[s->a]) || !IsReal(&slots[s->b]) || !QS_ROOM(16)) goto handler;
    QS_PUSH(Arithmetic(s->op, slots[s->a].real, slots[s->b].real));
    QS_NEXT(s->next);
localsStore:
    if (!IsReal(&slots[s->a]) || !IsReal(&slots[s->b]) || slots[s->c].MayOwn()) goto handler;
    slots[s->c] = VM_Real(Arithmetic(s->op, slots[s->a].real, slots[s->b].real));
    QS_NEXT(s->next);
compareBranch: {
    if (floor - sp < 32 || !QS_REAL_ON_STACK(0) || !QS_REAL_ON_STACK(16)) goto handler;
    const bool holds = VM_CompareRealsForm(s->op, QS_TOP(16)->real, QS_TOP(0)->real);
    QS_TAG(sp) = VMTAG_PLAIN;
    QS_TAG(sp + 16) = VMTAG_PLAIN;
    sp += 32;
    QS_COUNT_BRANCH();
    QS_NEXT(holds == static_cast<bool>(s->onTrue) ? s->target : s->next);
}
localNumberBranch:
    if (!IsReal(&slots[s->a])) goto handler;
    QS_COUNT_BRANCH();
    QS_NEXT(VM_CompareRealsForm(s->op, slots[s->a].real, s->number) == static_cast<bool>(s->onTrue) ? s->target
                                                                                             : s->next);
localsBranch:
    if (!IsReal(&slots[s->a]) || !IsReal(&slots[s->b])) goto handler;
    QS_COUNT_BRANCH();
    QS_NEXT(VM_CompareRealsForm(s->op, slots[s->a].real, slots[s->b].real) == static_cast<bool>(s->onTrue) ? s->target
                                                                                                : s->next);
// The instruction through its handler; a step copied to a branch that goes
// to it falls back to its own instruction.
#define QS_HANDLER(call)                                                \
    do {                                                                \
        const int32_t index = s->index;                                 \
        f->position = s->at;                                            \
        f->handlerIndex = index;                                        \
        if (sp - stack < VM_STACK_HEADROOM) {                           \
            sp = VM_GrowStack(sp, f);                                   \
            if (f->stopped) return sp;                                  \
            QS_LOAD();                                                  \
            goto handler;                                               \
        }                                                               \
        const auto* code = reinterpret_cast<const uint8_t*>(f->code);   \
        f->instruction = s->at;                                         \
        f->position = s->after;                                         \
        f->handlerIndex = index + 1;                                    \
        sp = call(VM_Load<uint32_t>(code + s->at), sp, code + s->at + 4, f);     \
        VM_CurrentFrame = f;                                            \
        if (f->stopped || f->position >= f->codeSize) return sp;        \
        QS_LOAD();                                                      \
        QS_NEXT(f->handlerIndex);                                       \
    } while (0)
handler:
    QS_HANDLER(f->handlers[index]);
callBuiltin:
    QS_HANDLER(VM_CallBuiltin);
callScript:
    QS_HANDLER(VM_CallScriptByIndex);
ret:
    // A real returned from a script call that left nothing else on its part
    // of the stack: nothing to release but the call itself.
    if (floor - sp == 16 && f->depth > 0 && f->callRecord != f->bottomRecord && QS_REAL_ON_STACK(0) &&
        VM_FirstType(VM_Load<uint32_t>(reinterpret_cast<const uint8_t*>(f->code) + s->at)) == VMT_VAR) {
        const double returned = QS_TOP(0)->real;
        QS_TAG(sp) = VMTAG_PLAIN;
        sp = VM_PopCallFrame(floor, f);
        QS_LOAD();
        QS_PUSH(returned);
        if (f->position >= f->codeSize) return sp;
        QS_NEXT(f->handlerIndex);
    }
    QS_HANDLER(DoRet);
#undef QS_LOAD
#undef QS_NEXT
#undef QS_COUNT_BRANCH
#undef QS_TAG
#undef QS_PUSH
#undef QS_ROOM
#undef QS_TOP
#undef QS_REAL_ON_STACK
#undef QS_HANDLER
}
