#include <algorithm>
#include <cstdio>

#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Interpreter/VM_Stack.h"
#include "Script/Script_Main.h"
#include "World/Instance.h"

namespace {
// The pointer a function object's internal property holds, or null.
void* InternalPointer(KVObjectBase* function, const char* name)
{
    ScriptValue v = ScriptValue_Undefined();
    if (JS_Object_GetProperty(function, &v, name) == VALUE_UNSET || v.Kind() != VALUE_PTR) return nullptr;
    return v.ptr;
}

// The this-object of a call from its this-value; null after the error.
KVObjectBase* ThisObject(VMFrame* f, const ScriptValue& value)
{
    if (value.Kind() == VALUE_OBJECT || value.Kind() == VALUE_PTR) return value.obj;
    ScriptValue object = ScriptValue_Undefined();
    if (F_JS_ToObject(&object, &value) != JS_CONVERTED || object.Kind() != VALUE_OBJECT) {
        if (!VM_Exception.pending)
            VM_RuntimeError(f, "could not convert rvalue of kind=%d to object", static_cast<int>(value.Kind()));
        return nullptr;
    }
    return object.obj;
}
}  // namespace

uint8_t* VM_CallFunctionValue(uint32_t word, uint8_t* sp, VMFrame* f)
{
    const int n = static_cast<int>(word & 0xFFFF);
    if (!VM_Has(f, sp, 32 + 16 * n)) return sp;
    for (int i = 0; i < n + 2; ++i) {
        if (VM_Tag(f, sp + 16 * i) != VMTAG_VALUE) {
            VM_RuntimeError(f, "DoCall :: argument %d is not a value", i - 2);
            return sp;
        }
    }
    auto* callee = reinterpret_cast<ScriptValue*>(sp);
    if (callee->Kind() != VALUE_OBJECT || !callee->obj) {
        const bool unset = callee->Kind() == VALUE_UNSET;
        VM_ReleaseRange(f, sp, sp + 16);
        if (unset) JS_RaiseReferenceError("Invalid callv target");
        else JS_RaiseTypeError("Invalid callv target #2");
        return sp + 16;
    }
    KVObjectBase* function = callee->obj;
    uint8_t* args = sp + 32;
    auto* thisValue = reinterpret_cast<ScriptValue*>(sp + 16);
    if (auto* script = static_cast<CScript*>(InternalPointer(function, "[[Call_Script]]"))) {
        KVObjectBase* self = ThisObject(f, *thisValue);
        if (!self) return sp;
        CCode* code = script->GetCode();
        if (!code || !code->m_bytecode) {
            VM_RuntimeError(f, "call to non-existent script\n");
            return sp;
        }
        KVObjectBase* locals = VM_AllocLocals(std::max(Variable_LocalCount(), code->m_localsCount));
        ScriptValue scope = ScriptValue_Undefined();
        if (JS_Object_GetProperty(function, &scope, "[[Scope]]") != VALUE_UNSET && scope.Kind() == VALUE_OBJECT)
            locals->m_parentScope = scope.obj;
        ScriptValue arguments = ScriptValue_Undefined();
        JS_CreateArgumentsObject(&arguments, function, n, reinterpret_cast<ScriptValue*>(args), false);
        // The callee and this-value give way to the call record.
        VM_ReleaseRange(f, sp, args);
        sp = VM_CallScript(code, n, args, f, locals, arguments.Kind() == VALUE_OBJECT ? arguments.obj : nullptr);
        f->self = VM_ObjectAsSelf(self);
        return sp;
    }
    if (auto* routine = reinterpret_cast<BuiltinRoutine>(InternalPointer(function, "[[Call_Cpp]]"))) {
        KVObjectBase* self = ThisObject(f, *thisValue);
        if (!self) return sp;
        ScriptValue result = VM_Real(0.0);
        routine(&result, VM_ObjectAsSelf(self), f->other, n, reinterpret_cast<ScriptValue*>(args));
        VM_CurrentFrame = f;
        VM_ReleaseRange(f, sp, args);
        if (VM_Exception.pending) {
            ScriptValue_SetUndefined(&result);
            return args;
        }
        VM_ReleaseRange(f, args, args + 16 * n);
        uint8_t* slot = args + 16 * n - 16;
        VM_PlaceValue(f, slot, result);
        return slot;
    }
    VM_ReleaseRange(f, sp, sp + 16);
    JS_RaiseTypeError("Invalid callv target #1");
    return sp + 16;
}
