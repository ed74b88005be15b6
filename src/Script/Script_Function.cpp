#include "Script/Script_Function.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/VM_Main.h"
#include "Script/Script_Main.h"

void JS_NewScriptFunction(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 1) return;
    CScript* script = Script_Get(Arg_Int32(args, 0) - CALLID_SCRIPT_BASE);
    if (!script) return;
    JS_NewStandardObject(out, nullptr, nullptr, 0, nullptr);
    KVObjectBase* function = out->obj;
    if (JS_FunctionPrototype) function->AddObject("[[Prototype]]", JS_FunctionPrototype, 0);
    else function->AddNull("[[Prototype]]", 0);
    function->AddString("[[Class]]", "Function", 0);
    function->AddBool("[[Extensible]]", true, 0);
    function->AddPointer("[[Call_Cpp]]", nullptr, 0);
    function->AddPointer("[[HasInstance]]", reinterpret_cast<void*>(JS_HasInstance), 0);
    KVObjectBase* scope = VM_CurrentFrame ? VM_CurrentFrame->locals : nullptr;
    if (scope) {
        function->AddObject("[[Scope]]", scope, 0);
        scope->m_scopeCaptured = true;
    } else {
        function->AddNull("[[Scope]]", 0);
    }
    function->AddPointer("[[FormalParameters]]", nullptr, 0);
    CCode* code = script->GetCode();
    function->AddPointer("[[Code]]", code, 0);
    function->AddPointer("[[Call_Script]]", script, 0);
    function->AddReal("length", code ? code->m_argumentCount : 0, 0);
    function->AddPointer("[[Construct]]", reinterpret_cast<void*>(JS_ScriptFunction_Construct), 0);

    ScriptValue prototype = ScriptValue_Undefined();
    JS_NewStandardObject(&prototype, nullptr, nullptr, 0, nullptr);
    prototype.obj->AddObject("constructor", function, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    ScriptValue* slot = function->SlotAt(0);
    ScriptValue_SetUndefined(slot);
    *slot = prototype;
    slot->flags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
}

bool Script_RunAsFunction(void* script, KVObjectBase* self, ScriptValue* out, int argc, ScriptValue* args)
{
    const auto* record = static_cast<const CScript*>(script);
    if (!record || !record->m_compiled || !record->m_compiled->function) return false;
    auto* instance = reinterpret_cast<CInstance*>(self);
    Script_RunCompiled(record, instance, instance, argc, out, args);
    return true;
}
