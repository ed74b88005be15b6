#pragma once
// What the interpreter's modules share: the call record, the handlers, and
// the value-stack helpers. Every read of a whole value or of a string item
// checks the slot's tag, so that code that mixes up its types gets an error
// instead of releasing bytes that are no value.
#include <cstdint>
#include <cstring>

#include "Code/Code_Value.h"
#include "Code/MathEpsilon.h"
#include "Code/VM_Main.h"

class CInstance;
class KVObjectBase;

constexpr int32_t VM_STACK_BLOCK = 16384;
// Room every instruction may use below the stack pointer: the loop grows the
// block before an instruction when less is left.
constexpr int32_t VM_STACK_HEADROOM = 8192;
// A run whose stack would pass this ends with a stack overflow.
constexpr int32_t VM_STACK_LIMIT = 16 * 1024 * 1024;

// Bytes a stack item of a type takes: one slot for typed items, two for a value.
inline int32_t VM_ItemSize(int type)
{
    static const int8_t kSizes[16] = {8, 8, 8, 8, 8, 16, 8, 8, 0, 0, 0, 0, 0, 0, 0, 8};
    return kSizes[type & 0xF];
}

inline int VM_FirstType(uint32_t word) { return static_cast<int>((word >> 16) & 0xF); }
inline int VM_SecondType(uint32_t word) { return static_cast<int>((word >> 20) & 0xF); }
inline int32_t VM_Immediate(uint32_t word) { return static_cast<int16_t>(word & 0xFFFF); }

inline uint8_t& VM_Tag(VMFrame* f, const uint8_t* p) { return f->tags[(p - f->stack) >> 3]; }
inline uint8_t* VM_Floor(VMFrame* f) { return reinterpret_cast<uint8_t*>(f->callRecord); }

template <class T>
inline T VM_Load(const void* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// False (after the error) when fewer than bytes lie between sp and the current call record.
bool VM_Has(VMFrame* f, const uint8_t* sp, int32_t bytes);

// Typed items. Ints and bools fill their slot sign-extended.
inline uint8_t* VM_PushI64(VMFrame* f, uint8_t* sp, int64_t v)
{
    sp -= 8;
    std::memcpy(sp, &v, 8);
    VM_Tag(f, sp) = VMTAG_PLAIN;
    return sp;
}
inline uint8_t* VM_PushInt(VMFrame* f, uint8_t* sp, int32_t v) { return VM_PushI64(f, sp, v); }
inline uint8_t* VM_PushDouble(VMFrame* f, uint8_t* sp, double d)
{
    sp -= 8;
    std::memcpy(sp, &d, 8);
    VM_Tag(f, sp) = VMTAG_PLAIN;
    return sp;
}
inline uint8_t* VM_PushString(VMFrame* f, uint8_t* sp, RefString* s)
{
    sp -= 8;
    std::memcpy(sp, &s, 8);
    VM_Tag(f, sp) = VMTAG_STRING;
    return sp;
}
// Writes v over the two slots at p (which hold nothing owned).
inline void VM_PlaceValue(VMFrame* f, uint8_t* p, const ScriptValue& v)
{
    std::memcpy(p, &v, 16);
    uint8_t* tags = &VM_Tag(f, p);
    tags[0] = VMTAG_VALUE;
    tags[1] = VMTAG_PLAIN;
}
// Moves v (and what it owns) onto the stack.
inline uint8_t* VM_PushValue(VMFrame* f, uint8_t* sp, const ScriptValue& v)
{
    sp -= 16;
    VM_PlaceValue(f, sp, v);
    return sp;
}

// The value at p, or (after "Malformed variable") a scratch undefined value.
ScriptValue* VM_ValueAt(VMFrame* f, uint8_t* p, const char* what);
// The string item at p (may be null), or null after the error.
RefString* VM_StringAt(VMFrame* f, uint8_t* p, const char* what);
// Takes the value at p off the stack: out owns what the slot owned.
bool VM_TakeValue(VMFrame* f, uint8_t* p, ScriptValue* out, const char* what);

// Releases whatever owned items lie in [from, to); a value whose first slot
// lies in the range is released whole.
void VM_ReleaseRange(VMFrame* f, uint8_t* from, uint8_t* to);
// Releases the item of type at sp (when it owns anything) and drops it.
uint8_t* VM_DropItem(VMFrame* f, uint8_t* sp, int type);

// A number of a typed item's bytes: the conversions the arithmetic uses.
double VM_ItemAsDouble(const uint8_t* p, int type);

// Value kinds made by the interpreter.
inline ScriptValue VM_MakeValue(uint32_t kind, int64_t payload, uint32_t flags = 0)
{
    ScriptValue v;
    v.i64 = payload;
    v.flags = flags;
    v.kind = kind;
    return v;
}
inline ScriptValue VM_Real(double d) { return ScriptValue_Real(d); }
inline ScriptValue VM_Bool(bool b)
{
    ScriptValue v;
    v.real = b ? 1.0 : 0.0;
    v.flags = 0;
    v.kind = VALUE_BOOL;
    return v;
}
inline ScriptValue VM_StringValue(RefString* s)
{
    ScriptValue v;
    v.str = s;
    v.flags = 0;
    v.kind = VALUE_STRING;
    return v;
}
RefString* VM_NewString(const char* text, int32_t length);

// Branches: sets the position and the handler index of target together;
// false (after the error) when target is no instruction of the code.
bool VM_JumpTo(VMFrame* f, int32_t target);
inline int32_t VM_BranchTarget(VMFrame* f, uint32_t word)
{
    return f->instruction + (static_cast<int32_t>(word << 9) >> 9) * 4;
}

// Switches the frame to a code buffer (position and handler index set from pos).
bool VM_SetCode(VMFrame* f, VMBuffer* buffer, int32_t position);
uint8_t* VM_GrowStack(uint8_t* sp, VMFrame* f);
// The loop without a debugger: runs from the frame's instruction until the
// code ends, the run stops, or a throw leaves it; the new stack pointer.
uint8_t* VM_RunSteps(VMFrame* f, uint8_t* sp);
uint8_t* VM_PopCallFrame(uint8_t* sp, VMFrame* f);
// The loop's part of a throw (VM_Exception): in the handling run, pops the
// call records above the handling one and what the try block's code pushed
// (releasing what they held), pushes the thrown value where the try block
// started and jumps to the handler; true then. False in any other run, which
// ends.
bool VM_CatchException(VMFrame* f, uint8_t** sp);
// A jump back taken outside the loop's own branches (with-blocks, catches):
// the message pump runs every few thousand of them, and may stop the run.
void VM_CountBranchStep();
KVObjectBase* VM_AllocLocals(int32_t count);
void VM_FreeLocals(KVObjectBase* locals);
// Object mode: a call's arguments object becomes slot 0 of its locals (what
// the slot held is released). Nothing without one or without slots.
void VM_SetArgumentsSlot(KVObjectBase* locals, KVObjectBase* argumentsObject);
// Switches the run to a script's code with the argc arguments at sp; locals
// (given: the callee does not free them) or a new locals object; in object
// mode the arguments object goes to the locals' slot 0. The callee's record.
uint8_t* VM_CallScript(CCode* code, int argc, uint8_t* sp, VMFrame* f, KVObjectBase* locals,
                       KVObjectBase* argumentsObject = nullptr);
// Object mode: any object may stand as self (object-mode code reads its
// slots and properties, which every object has); its pointer is carried as
// the frame's self. Instances are objects at the same address.
inline CInstance* VM_ObjectAsSelf(KVObjectBase* object) { return reinterpret_cast<CInstance*>(object); }
// "call" of a function value (first type 5): the callee value on top, the
// this-value below it, then the arguments.
uint8_t* VM_CallFunctionValue(uint32_t word, uint8_t* sp, VMFrame* f);

extern bool VM_ListOnRun;    // every code entry is listed when it starts

// The handlers.
#define VM_HANDLER(name) uint8_t* name(uint32_t word, uint8_t* sp, const uint8_t* operand, VMFrame* f)
VM_HANDLER(DoPush);
VM_HANDLER(DoPushLocal);
VM_HANDLER(DoPushGlobal);
VM_HANDLER(DoPushBuiltin);
VM_HANDLER(DoPushImmediate);
VM_HANDLER(VM_PushDoubleValue);
VM_HANDLER(VM_PushLocalAndNumber);
VM_HANDLER(VM_PushTwoLocals);
VM_HANDLER(DoPop);
VM_HANDLER(VM_PopLocalFast);
VM_HANDLER(DoDup);
VM_HANDLER(DoPopNull);
VM_HANDLER(DoConv);
VM_HANDLER(VM_ConvIntToVar);
VM_HANDLER(VM_ConvDoubleToVar);
VM_HANDLER(DoMul);
VM_HANDLER(DoDiv);
VM_HANDLER(DoRem);
VM_HANDLER(DoMod);
VM_HANDLER(DoAdd);
VM_HANDLER(DoSub);
VM_HANDLER(DoAnd);
VM_HANDLER(DoOr);
VM_HANDLER(DoXor);
VM_HANDLER(DoNeg);
VM_HANDLER(DoNot);
VM_HANDLER(DoShl);
VM_HANDLER(DoShr);
VM_HANDLER(VM_ArithToLocal);
VM_HANDLER(DoSet);
VM_HANDLER(VM_CompareValues);
VM_HANDLER(VM_CompareAndBranch);
// One of the six comparisons (form 1..6: <, <=, ==, !=, >=, >) of two reals,
// within the tolerance of number comparisons.
__attribute__((always_inline)) inline bool VM_CompareRealsForm(uint32_t form, double left, double right)
{
    const double d = left - right, eps = MathEpsilon;
    switch (form) {
    case 1: return d < -eps;
    case 2: return d <= eps;
    case 3: return d >= -eps && d <= eps;
    case 4: return d < -eps || d > eps;
    case 5: return d >= -eps;
    default: return d > eps;
    }
}
// The comparison of the word's form.
inline bool VM_CompareReals(uint32_t word, double left, double right)
{
    return VM_CompareRealsForm((word >> 8) & 0xF, left, right);
}
VM_HANDLER(DoBranch);
VM_HANDLER(DoBranchTrue);
VM_HANDLER(DoBranchFalse);
VM_HANDLER(DoCall);
VM_HANDLER(VM_CallBuiltin);
VM_HANDLER(VM_CallScriptByIndex);
VM_HANDLER(DoPushEnv);
VM_HANDLER(DoPopEnv);
VM_HANDLER(DoRet);
VM_HANDLER(DoExit);
VM_HANDLER(VM_BadInstruction);
