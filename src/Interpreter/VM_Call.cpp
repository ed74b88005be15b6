#include <algorithm>

#include "Base/Console.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Profiler.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Exception.h"
#include "Code/ObjectBase.h"
#include "GameData/GameHeader.h"
#include "Interpreter/VM_Stack.h"
#include "Options/Runner_Options.h"
#include "Platform/Extension_Main.h"
#include "Script/Script_Main.h"

namespace {
// A call's n arguments must be whole values: routines read them as such.
bool ArgumentsReady(VMFrame* f, uint8_t* sp, int n)
{
    if (!VM_Has(f, sp, 16 * n)) return false;
    for (int i = 0; i < n; ++i) {
        if (VM_Tag(f, sp + 16 * i) != VMTAG_VALUE) {
            VM_RuntimeError(f, "DoCall :: argument %d is not a value", i);
            return false;
        }
    }
    return true;
}

// Releases the n arguments at sp and leaves result in the deepest one's slot
// (pushed as a new item without arguments); the new stack pointer.
uint8_t* PlaceResult(VMFrame* f, uint8_t* sp, int n, const ScriptValue& result)
{
    VM_ReleaseRange(f, sp, sp + 16 * n);
    uint8_t* slot = sp + 16 * n - 16;
    VM_PlaceValue(f, slot, result);
    return slot;
}

uint8_t* CallBuiltinId(uint32_t word, uint8_t* sp, int32_t id, VMFrame* f)
{
    const int n = static_cast<int>(word & 0xFFFF);
    BuiltinFunction* builtin = CodeFunction_At(id);
    if (!builtin || !builtin->routine) {
        VM_RuntimeError(f, "DoCall :: unknown built-in function %d", id);
        return sp;
    }
    if (!ArgumentsReady(f, sp, n)) return sp;
    ScriptValue result = VM_Real(0.0);
    {
        StackTraceFrame trace(builtin->name, -1);
        BuiltinFunction* saved = CurrentBuiltinFunction;
        CurrentBuiltinFunction = builtin;
        Code_ProfilerBegin(PROFILE_BUILTIN, id);
        builtin->routine(&result, f->self, f->other, n, reinterpret_cast<ScriptValue*>(sp));
        Code_ProfilerEnd();
        CurrentBuiltinFunction = saved;
        VM_CurrentFrame = f;
    }
    // A throw: the arguments stay for the unwinding to release.
    if (VM_Exception.pending) {
        ScriptValue_SetUndefined(&result);
        return sp;
    }
    return PlaceResult(f, sp, n, result);
}

uint8_t* CallExtension(uint32_t word, uint8_t* sp, int32_t id, VMFrame* f)
{
    const int n = static_cast<int>(word & 0xFFFF);
    if (!ArgumentsReady(f, sp, n)) return sp;
    ScriptValue result = VM_Real(0.0);
    Extension_CallFunction(id - CALLID_EXTENSION_BASE, n, reinterpret_cast<ScriptValue*>(sp), &result);
    VM_CurrentFrame = f;
    if (VM_Exception.pending) {
        ScriptValue_SetUndefined(&result);
        return sp;
    }
    return PlaceResult(f, sp, n, result);
}

CCode* ScriptCode(int32_t index, bool* found)
{
    CScript* script = Script_Get(index);
    *found = script != nullptr;
    return script ? script->GetCode() : nullptr;
}

uint8_t* CallScriptId(uint32_t word, uint8_t* sp, int32_t id, VMFrame* f)
{
    int n = static_cast<int>(word & 0xFFFF);
    int32_t index = id - CALLID_SCRIPT_BASE;
    if (id == CALLID_SCRIPT_EXECUTE) {
        if (n < 1 || !ArgumentsReady(f, sp, n)) {
            if (n < 1) VM_RuntimeError(f, "call to non-existent script\n");
            return sp;
        }
        index = Arg_Int32(reinterpret_cast<ScriptValue*>(sp), 0);
        // The index argument gives way to the call record.
        VM_ReleaseRange(f, sp, sp + 16);
        sp += 16;
        --n;
    }
    bool found = false;
    CCode* code = ScriptCode(index, &found);
    if (!found) {
        VM_RuntimeError(f, "call to non-existent script\n");
        return sp;
    }
    if (!ArgumentsReady(f, sp, n)) return sp;
    if (!code || !code->m_bytecode) return PlaceResult(f, sp, n, VM_Real(0.0));
    return VM_CallScript(code, n, sp, f, nullptr);
}

// Moves the returned item at from (of type) into a value.
ScriptValue ReturnedValue(VMFrame* f, uint8_t* from, int type)
{
    switch (type) {
    case VMT_VAR: {
        ScriptValue v;
        VM_TakeValue(f, from, &v, "DoRet");
        return v;
    }
    case VMT_DOUBLE: case VMT_FLOAT: case VMT_INT: return VM_Real(VM_ItemAsDouble(from, type));
    case VMT_LONG: return VM_MakeValue(VALUE_INT64, VM_Load<int64_t>(from));
    case VMT_BOOL: return VM_Bool(VM_Load<int32_t>(from) != 0);
    case VMT_STRING: case VMT_DEBUGSTRING: {
        RefString* s = VM_StringAt(f, from, "DoRet");
        VM_Tag(f, from) = VMTAG_PLAIN;
        if (!s) return ScriptValue_Undefined();
        return VM_StringValue(s);
    }
    default: return ScriptValue_Undefined();
    }
}
}  // namespace

void VM_SetArgumentsSlot(KVObjectBase* locals, KVObjectBase* argumentsObject)
{
    if (!ObjectMode || !argumentsObject || !locals || locals->m_slotCount <= 0) return;
    ScriptValue* slot = locals->SlotAt(0);
    ScriptValue_SetUndefined(slot);
    slot->obj = argumentsObject;
    slot->flags = VALUE_FLAG_ENUMERABLE | VALUE_FLAG_WRITABLE;
    slot->kind = VALUE_OBJECT;
}

uint8_t* VM_CallScript(CCode* code, int argc, uint8_t* sp, VMFrame* f, KVObjectBase* locals,
                       KVObjectBase* argumentsObject)
{
    if (TraceScripts && LogConsole) LogConsole->Output("script call = %s\n", code->m_name ? code->m_name : "");
    uint8_t* end = f->stack + f->stackSize;
    auto* record = reinterpret_cast<VMCallRecord*>(sp - sizeof(VMCallRecord));
    std::memset(&VM_Tag(f, sp - sizeof(VMCallRecord)), VMTAG_PLAIN, sizeof(VMCallRecord) / 8);
    // Every word is written (no memset of the whole record: its string
    // instruction costs more than the rest of the call).
    record->reserved1 = 0;
    record->argumentsObject = nullptr;
    record->reserved11 = 0;
    record->handlerRecord = nullptr;
    record->reserved15 = 0;
    record->callerPosition = f->position;
    record->callerArgumentCount = VM_ArgumentCount;
    record->previousRecord = end - reinterpret_cast<uint8_t*>(f->callRecord);
    record->self = f->self;
    record->other = f->other;
    record->buffer = f->buffer;
    record->debugTable = f->debugTable;
    record->source = f->source;
    record->name = f->name;
    record->localsGiven = f->localsGiven;
    record->locals = f->locals;
    record->argumentBase = end - reinterpret_cast<uint8_t*>(VM_ArgumentBase);
    record->argumentsObject = argumentsObject;

    VM_ArgumentBase = reinterpret_cast<ScriptValue*>(sp);
    VM_ArgumentCount = argc;
    f->callRecord = record;
    f->debugTable = code->m_debugTable;
    f->source = code->m_source;
    f->name = code->m_name ? code->m_name : "<script>";
    f->localsGiven = locals ? 1 : 0;
    f->locals = locals ? locals
                       : VM_AllocLocals(std::max({Variable_LocalCount(), code->m_localsCount,
                                                  code->m_bytecode->m_localsCount}));
    VM_SetArgumentsSlot(f->locals, argumentsObject);
    ++f->depth;
    Code_ProfilerBegin(PROFILE_CODE, code->m_index);
    VM_SetCode(f, code->m_bytecode, code->m_startOffset);
    return reinterpret_cast<uint8_t*>(record);
}

uint8_t* VM_PopCallFrame(uint8_t* sp, VMFrame* f)
{
    (void)sp;
    f->depth = std::max(0, f->depth - 1);
    VMCallRecord* record = f->callRecord;
    auto* above = reinterpret_cast<uint8_t*>(record) + sizeof(VMCallRecord);
    if (!record->buffer) return above;
    Code_ProfilerEnd();
    uint8_t* end = f->stack + f->stackSize;
    f->self = record->self;
    f->other = record->other;
    f->debugTable = record->debugTable;
    f->source = record->source;
    f->name = record->name;
    f->callRecord = reinterpret_cast<VMCallRecord*>(end - record->previousRecord);
    if (!f->localsGiven) VM_FreeLocals(f->locals);
    f->locals = record->locals;
    f->localsGiven = static_cast<int32_t>(record->localsGiven);
    VMBuffer* buffer = record->buffer;
    f->buffer = buffer;
    f->code = buffer->m_code;
    f->codeSize = buffer->m_size & ~3;
    f->handlers = buffer->m_handlers;
    f->indexMap = buffer->m_indexMap;
    f->steps = buffer->m_steps;
    f->position = static_cast<int32_t>(record->callerPosition);
    f->handlerIndex = f->indexMap[f->position / 4];
    if (f->stopped) f->position = f->codeSize;

    const int32_t calleeArgs = VM_ArgumentCount;
    JS_DeleteExceptionHandlers(record->handlerRecord);
    record->handlerRecord = nullptr;
    VM_ReleaseRange(f, above, above + 16 * calleeArgs);
    VM_ArgumentBase = reinterpret_cast<ScriptValue*>(end - record->argumentBase);
    VM_ArgumentCount = static_cast<int32_t>(record->callerArgumentCount);
    return above + 16 * calleeArgs;
}

VM_HANDLER(DoCall)
{
    const int type = VM_FirstType(word);
    if (type == VMT_INT && (word & 0x40000000u)) {
        const int32_t id = VM_Load<int32_t>(operand);
        if (id >= 0 && id < CALLID_SCRIPT_BASE) return CallBuiltinId(word, sp, id, f);
        if (id > CALLID_EXTENSION_BASE) return CallExtension(word, sp, id, f);
        if (id >= CALLID_SCRIPT_BASE) return CallScriptId(word, sp, id, f);
        VM_RuntimeError(f, "DoCall :: unknown built-in function %d", id);
        return sp;
    }
    if (type == VMT_VAR) return VM_CallFunctionValue(word, sp, f);
    VM_RuntimeError(f, "DoCall :: Execution Engine type error");
    return sp;
}

VM_HANDLER(VM_CallBuiltin) { return CallBuiltinId(word, sp, VM_Load<int32_t>(operand), f); }

VM_HANDLER(VM_CallScriptByIndex) { return CallScriptId(word, sp, VM_Load<int32_t>(operand), f); }

VM_HANDLER(DoRet)
{
    (void)operand;
    if (f->depth <= 0 || f->callRecord == f->bottomRecord) {
        VM_JumpTo(f, f->codeSize);
        return sp;
    }
    int type = VM_FirstType(word);
    if (type == VMT_ERROR) {
        sp = VM_PushValue(f, sp, ScriptValue_Undefined());
        type = VMT_VAR;
    }
    const int32_t size = VM_ItemSize(type);
    if (!VM_Has(f, sp, size)) return sp;
    const ScriptValue value = size ? ReturnedValue(f, sp, type) : ScriptValue_Undefined();
    VM_ReleaseRange(f, sp, VM_Floor(f));
    uint8_t* above = VM_PopCallFrame(VM_Floor(f), f);
    return VM_PushValue(f, above, value);
}

VM_HANDLER(DoExit)
{
    (void)word;
    (void)operand;
    if (f->depth <= 0 || f->callRecord == f->bottomRecord) {
        VM_JumpTo(f, f->codeSize);
        return sp;
    }
    VM_ReleaseRange(f, sp, VM_Floor(f));
    uint8_t* above = VM_PopCallFrame(VM_Floor(f), f);
    return VM_PushValue(f, above, VM_Real(0.0));
}
