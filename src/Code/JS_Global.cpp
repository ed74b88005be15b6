#include "Code/JS_Global.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "Code/Code_Constant.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"

namespace {
constexpr uint32_t kFunctionFlags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;

template <typename F>
void* RoutinePointer(F routine)
{
    return reinterpret_cast<void*>(routine);
}

// The built-ins object: every built-in function, the engine's constants
// (all but "global") and the game-wide built-in variables, enumerable only.
KVObjectBase* MakeBuiltinsObject()
{
    ScriptValue made = ScriptValue_Undefined();
    JS_NewStandardObject(&made, nullptr, nullptr, 0, nullptr);
    KVObjectBase* qs = made.obj;
    for (int32_t i = 0; i < CodeFunction_Count(); ++i) {
        const BuiltinFunction* entry = CodeFunction_At(i);
        if (entry && entry->routine)
            JS_AddNativeMethod(qs, entry->name, entry->routine, entry->argumentCount, VALUE_FLAG_ENUMERABLE);
    }
    for (int32_t i = 0; i < Code_Constant_Count(); ++i) {
        const char* name = Code_Constant_NameAt(i);
        if (name && std::strcmp(name, "global") != 0) qs->AddValue(name, Code_Constant_ValueAt(i), VALUE_FLAG_ENUMERABLE);
    }
    for (int32_t i = 0; i < Variable_BuiltIn_Count(); ++i) {
        const BuiltinVariable* variable = Variable_BuiltIn_At(i);
        if (variable && Variable_IsGlobalBuiltInName(variable->name))
            qs->AddObject(variable->name, JS_MakeAccessorObject(variable->getter, variable->setter),
                          VALUE_FLAG_ENUMERABLE);
    }
    return qs;
}
}  // namespace

KVObjectBase* JS_GlobalObject() { return Variable_GlobalObject(); }

double JS_NaN()
{
    const uint64_t bits = 0x7FFFFFFFFFFFFFFFull;
    double d = 0.0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void JS_Unimplemented(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    JS_RaiseReferenceError("unimplemented function");
}

void JS_InitGlobalObject()
{
    KVObjectBase* global = JS_GlobalObject();
    if (!global) return;
    // The global object may predate object mode (the game's header says which mode it is in).
    if (!global->m_properties) global->m_properties = new CVariableList();
    const ScriptValue undefined = ScriptValue_Undefined();
    global->AddValue("undefined", &undefined, 0);
    global->AddReal("NaN", JS_NaN(), 0);
    global->AddReal("Infinity", INFINITY, 0);
    JS_AddNativeMethod(global, "isNaN", JS_IsNaN, 0, kFunctionFlags);
    JS_AddNativeMethod(global, "isFinite", JS_IsFinite, 0, kFunctionFlags);
    JS_AddNativeMethod(global, "parseInt", JS_parseInt, 0, kFunctionFlags);
    JS_AddNativeMethod(global, "parseFloat", JS_parseFloat, 0, kFunctionFlags);
    for (const char* name : {"decodeURI", "decodeURIComponent", "encodeURI", "encodeURIComponent"})
        JS_AddNativeMethod(global, name, JS_Unimplemented, 0, kFunctionFlags);
    if (JS_ObjectPrototype) global->AddObject("[[Prototype]]", JS_ObjectPrototype, 0);
    else global->AddNull("[[Prototype]]", 0);
    global->AddString("[[Class]]", "Object", 0);
    global->AddBool("[[Extensible]]", true, 0);
    global->AddPointer("[[GetOwnProperty]]", RoutinePointer(JS_DefaultGetOwnProperty), 0);
    global->AddPointer("[[Delete]]", RoutinePointer(JS_DefaultDelete), 0);
    global->AddPointer("[[DefineOwnProperty]]", RoutinePointer(JS_DefaultDefineOwnProperty), 0);
    KVObjectBase* qs = MakeBuiltinsObject();
    global->AddObject("qs", qs, VALUE_FLAG_ENUMERABLE);
    global->AddObject("global", global, VALUE_FLAG_ENUMERABLE);
    global->m_parentScope = qs;
    qs->m_parentScope = nullptr;
    if (!GlobalScopeObject) GlobalScopeObject = global;
}

void JS_InitRegExp()
{
    ScriptValue made = ScriptValue_Undefined();
    JS_NewStandardObject(&made, nullptr, nullptr, 0, nullptr);
    KVObjectBase* prototype = made.obj;
    prototype->AddString("[[Class]]", "RegExp", 0);
    for (const char* name : {"toString", "exec", "test"})
        JS_AddNativeMethod(prototype, name, JS_Unimplemented, 0, kFunctionFlags);
    KVObjectBase* constructor = JS_NewNativeFunction(JS_Unimplemented, 0, false);
    constructor->AddPointer("[[Construct]]", RoutinePointer(JS_Unimplemented), 0);
    JS_SetConstructorPrototype(constructor, prototype, kFunctionFlags);
    prototype->AddObject("constructor", constructor, 0);
    if (KVObjectBase* global = JS_GlobalObject()) global->AddObject("RegExp", constructor, 0);
}
