#include "Code/JS_Call.h"

#include <algorithm>
#include <cmath>

#include "Code/Code_Main.h"
#include "Code/Code_Profiler.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Exception.h"
#include "Code/JS_Main.h"
#include "Code/JS_Object.h"
#include "Code/ObjectBase.h"
#include "Code/VM_Main.h"
#include "Code/VariableList.h"

namespace {
// A prototype chain longer than this is a cycle: instanceof stops there.
constexpr int kChainLimit = 10000;

bool NoScriptRunner(void*, KVObjectBase*, ScriptValue*, int, ScriptValue*) { return false; }
JSScriptRunner s_scriptRunner = NoScriptRunner;

CInstance* AsSelf(KVObjectBase* object) { return reinterpret_cast<CInstance*>(object); }

// The payload of an own internal property of exactly that kind, or null.
const ScriptValue* OwnInternal(KVObjectBase* object, const char* name, uint32_t kind)
{
    const CVariableListNode* node = object && object->m_properties ? object->m_properties->Find(name) : nullptr;
    return node && node->value.kind == kind ? &node->value : nullptr;
}

void* OwnPointer(KVObjectBase* object, const char* name)
{
    const ScriptValue* v = OwnInternal(object, name, VALUE_PTR);
    return v ? v->ptr : nullptr;
}

// A script function's call: its code runs in a new activation object whose
// parent is the function's scope, with the call's Arguments object.
void CallScript(KVObjectBase* self, ScriptValue* out, KVObjectBase* function, void* script, int argc,
                ScriptValue* args)
{
    auto* code = static_cast<CCode*>(OwnPointer(function, "[[Code]]"));
    if (!code || !code->m_bytecode) {
        // Compiled-code mode: the script's compiled function runs in place of interpreter code.
        if (!s_scriptRunner(script, self, out, argc, args)) JS_RaiseTypeError("NoMessage");
        return;
    }
    KVObjectBase* activation = AllocLocalsObject(std::max(Variable_LocalCount(), code->m_localsCount));
    if (const ScriptValue* scope = OwnInternal(function, "[[Scope]]", VALUE_OBJECT)) activation->m_parentScope = scope->obj;
    ScriptValue arguments = ScriptValue_Undefined();
    JS_CreateArgumentsObject(&arguments, function, argc, args, false);
    Code_ProfilerBegin(PROFILE_CODE, code->m_index);
    VM_RunCode(code, AsSelf(self), AsSelf(self), out, activation, argc, args, arguments.obj);
    Code_ProfilerEnd();
    // A function object made by the call keeps the activation as its scope: the collector frees it then.
    if (!activation->m_scopeCaptured) KVObjectBase::Free(activation);
}

// Calls the accessor function object held by a pair's slot with self as
// this: script and native functions as calls, built-in variable accessors
// through their own routine.
void CallAccessor(KVObjectBase* self, ScriptValue* out, KVObjectBase* function, int argc, ScriptValue* args)
{
    if (JS_HasCallSlot(function)) {
        JS_CallFunction(self, out, function, argc, args);
        return;
    }
    void* builtin = OwnPointer(function, "[[Call_Cpp_Builtin]]");
    if (!builtin) return;
    if (argc == 0) reinterpret_cast<BuiltinGetter>(builtin)(AsSelf(self), 0, out);
    else reinterpret_cast<BuiltinSetter>(builtin)(AsSelf(self), 0, args);
}

// The function object in slot n of an accessor pair value, or null.
KVObjectBase* PairFunction(const ScriptValue* accessor, int32_t n)
{
    if (!JS_IsAccessorValue(accessor)) return nullptr;
    const ScriptValue* slot = accessor->obj->PeekSlot(n);
    return slot && slot->kind != VALUE_UNSET && slot->kind != VALUE_UNDEFINED ? slot->obj : nullptr;
}

// Digits only, the empty name counting as 0; the index, or -1.
int64_t ArgumentIndex(const char* name)
{
    int64_t n = 0;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9') return -1;
        n = n * 10 + (*c - '0');
        if (n > INT32_MAX) return INT32_MAX;
    }
    return n;
}

KVObjectBase* ArgumentStore(KVObjectBase* arguments)
{
    ScriptValue* slot = arguments->PeekSlot(1);
    return slot && slot->Kind() == VALUE_OBJECT ? slot->obj : nullptr;
}
}  // namespace

JSScriptRunner JS_SetScriptRunner(JSScriptRunner runner)
{
    const JSScriptRunner previous = s_scriptRunner;
    s_scriptRunner = runner ? runner : NoScriptRunner;
    return previous;
}

int JS_CallFunction(KVObjectBase* self, ScriptValue* out, KVObjectBase* function, int argc, ScriptValue* args)
{
    if (argc < 0 || !args) argc = 0;
    if (const ScriptValue* script = OwnInternal(function, "[[Call_Script]]", VALUE_PTR)) {
        CallScript(self, out, function, script->ptr, argc, args);
    } else if (auto routine = reinterpret_cast<BuiltinRoutine>(OwnPointer(function, "[[Call_Cpp]]"))) {
        routine(out, AsSelf(self), AsSelf(self), argc, args);
    }
    return JS_ExceptionPending() ? JS_EXCEPTION_PENDING : JS_CONVERTED;
}

int JS_CallValue(KVObjectBase* self, ScriptValue* out, const ScriptValue* function, int argc, ScriptValue* args)
{
    if (function->kind != VALUE_OBJECT || !function->obj) return JS_FAILED;
    return JS_CallFunction(self, out, function->obj, argc, args);
}

void JS_CallGetter(KVObjectBase* self, ScriptValue* out, const ScriptValue* accessor)
{
    if (!JS_IsAccessorValue(accessor)) return;
    KVObjectBase* getter = PairFunction(accessor, 0);
    ScriptValue_SetUndefined(out);
    if (getter) CallAccessor(self, out, getter, 0, nullptr);
}

void JS_CallSetter(KVObjectBase* self, const ScriptValue* value, const ScriptValue* accessor)
{
    KVObjectBase* setter = PairFunction(accessor, 1);
    if (!setter) return;
    ScriptValue argument = ScriptValue_Undefined();
    argument.Assign(*value);
    ScriptValue scratch = ScriptValue_Undefined();
    CallAccessor(self, &scratch, setter, 1, &argument);
    ScriptValue_SetUndefined(&scratch);
    ScriptValue_SetUndefined(&argument);
}

// ------------------------------------------------------------------ the Arguments object

void JS_CreateArgumentsObject(ScriptValue* out, KVObjectBase* function, int argc, const ScriptValue* args,
                              bool noCallee)
{
    if (argc < 0 || !args) argc = 0;
    JS_NewStandardObject(out, nullptr, nullptr, 0, nullptr);
    KVObjectBase* arguments = out->obj;
    arguments->AddBool("[[Extensible]]", true, 0);
    arguments->AddPointer("[[GetOwnProperty]]", reinterpret_cast<void*>(JS_Arguments_GetOwnProperty), 0);
    arguments->AddString("[[Class]]", "Arguments", 0);
    arguments->AddReal("length", argc, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);

    ScriptValue length = ScriptValue_Undefined();
    if (function) JS_Object_GetProperty(function, &length, "length");
    const double declared = length.Kind() == VALUE_UNSET ? 0.0 : ScriptValue_ToReal(&length);
    ScriptValue_SetUndefined(&length);
    // A function's "length" is what its code declares; a wild one does not size the store.
    const int32_t count = std::max(argc, declared > 0.0 && declared < 65536.0 ? static_cast<int32_t>(declared) : 0);

    KVObjectBase* store = KVObjectBase::Alloc(count, VALUE_UNDEFINED, true);
    ScriptValue* slot = arguments->SlotAt(1);
    ScriptValue_SetUndefined(slot);
    slot->obj = store;
    slot->kind = VALUE_OBJECT;
    for (int i = argc - 1; i >= 0; --i) {
        ScriptValue* element = store->SlotAt(i);
        element->Assign(args[i]);
        element->flags = VALUE_FLAG_ENUMERABLE | VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
    }
    if (noCallee || !function) return;
    ScriptValue callee = ScriptValue_Undefined();
    callee.obj = function;
    callee.kind = VALUE_OBJECT;
    callee.flags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
    JS_Object_DefineOwnProperty(arguments, "callee", &callee, false);
}

void JS_Arguments_GetOwnProperty(KVObjectBase* object, ScriptValue* out, const char* name)
{
    const int64_t index = ArgumentIndex(name);
    KVObjectBase* store = index >= 0 ? ArgumentStore(object) : nullptr;
    if (store && index < store->m_slotCount) {
        ScriptValue_SetUndefined(out);
        out->Assign(*store->SlotAt(static_cast<int32_t>(index)));
        return;
    }
    JS_DefaultGetOwnProperty(object, out, name);
}

int JS_Arguments_Put(KVObjectBase* object, const ScriptValue* value, const char* name)
{
    const int64_t index = ArgumentIndex(name);
    if (index < 0) return JS_Object_DefineOwnProperty(object, name, value, false);
    // An index at or past the element count would stay invisible to reads: it is not stored.
    KVObjectBase* store = ArgumentStore(object);
    if (store && index < store->m_slotCount) {
        ScriptValue* element = store->SlotAt(static_cast<int32_t>(index));
        element->Assign(*value);
        element->flags = value->flags & ~VALUE_FLAG_OWNED_PTR;
    }
    return JS_DEFINE_DONE;
}

// ------------------------------------------------------------------ construction

void JS_ScriptFunction_Construct(ScriptValue* out, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    auto* function = reinterpret_cast<KVObjectBase*>(self);
    JS_NewStandardObject(out, nullptr, nullptr, 0, nullptr);
    KVObjectBase* made = out->obj;
    const ScriptValue* prototype = function->PeekSlot(0);
    if (prototype && prototype->Kind() == VALUE_OBJECT && prototype->obj) made->AddObject("[[Prototype]]", prototype->obj, 0);
    else made->AddNull("[[Prototype]]", 0);
    if (!OwnInternal(function, "[[Call_Script]]", VALUE_PTR)) return;
    ScriptValue result = ScriptValue_Undefined();
    JS_CallFunction(made, &result, function, argc, args);
    ScriptValue_SetUndefined(&result);
}

int JS_HasInstance(KVObjectBase* function, const ScriptValue* value)
{
    if (value->Kind() != VALUE_OBJECT || !value->obj) return 0;
    const ScriptValue* slot = function->PeekSlot(0);
    if (!slot || slot->Kind() != VALUE_OBJECT || !slot->obj) return 2;
    KVObjectBase* prototype = JS_PrototypeOf(value->obj);
    for (int depth = 0; prototype && depth < kChainLimit; ++depth, prototype = JS_PrototypeOf(prototype))
        if (prototype == slot->obj) return 1;
    return 0;
}

void JS_New(ScriptValue* out, CInstance*, CInstance* other, int argc, ScriptValue* args)
{
    if (argc > 0 && (args[0].Kind() != VALUE_OBJECT || !args[0].obj)) {
        if (args[0].Kind() == VALUE_UNSET) JS_RaiseReferenceError("Trying to find a constructor which does not exist");
        else JS_RaiseTypeError("Trying to construct something which isn't an object");
        return;
    }
    KVObjectBase* constructor = argc > 0 ? args[0].obj : nullptr;
    if (auto routine = reinterpret_cast<BuiltinRoutine>(OwnPointer(constructor, "[[Construct]]"))) {
        routine(out, AsSelf(constructor), other, argc - 1, args + 1);
        return;
    }
    JS_RaiseTypeError("Trying to construct something that isn't a function");
}

void JS_InstanceOf(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const bool rhsGiven = argc > 0 && args[0].Kind() != VALUE_UNSET;
    const bool lhsGiven = argc > 1 && args[1].Kind() != VALUE_UNSET;
    if (!lhsGiven) {
        JS_RaiseReferenceError("lhs of instanceof does not exist");
        return;
    }
    if (!rhsGiven) {
        JS_RaiseReferenceError("rhs of instanceof does not exist");
        return;
    }
    ScriptValue_SetUndefined(out);
    out->real = 0.0;
    out->kind = VALUE_BOOL;
    if (args[0].Kind() != VALUE_OBJECT || !args[0].obj) {
        JS_RaiseTypeError("Trying to look for instances of something which isn't an object");
        return;
    }
    KVObjectBase* function = args[0].obj;
    ScriptValue method = ScriptValue_Undefined();
    JS_Object_GetProperty(function, &method, "[[HasInstance]]");
    if (method.kind != VALUE_PTR) {
        ScriptValue_SetUndefined(&method);
        JS_RaiseTypeError("Trying to find instances of something which isn't a function (2)");
        return;
    }
    auto hasInstance = reinterpret_cast<JSHasInstanceFn>(method.ptr);
    if (!hasInstance) {
        JS_RaiseTypeError("Trying to find instances of something which isn't a function (1)");
        return;
    }
    const int answer = hasInstance(function, &args[1]);
    if (answer == 2) JS_RaiseTypeError("Left-hand side of instanceof is not an object");
    else if (answer == 1) out->real = 1.0;
}
