#include "Code/VM_Main.h"

VMFrame* VM_CurrentFrame = nullptr;
int32_t VM_ArgumentCount = 0;
ScriptValue* VM_ArgumentBase = nullptr;

namespace {
VMRunCodeFn s_interpreter = nullptr;
const VMHandlerSet* s_handlers = nullptr;
}

void VM_SetInterpreter(VMRunCodeFn run, const VMHandlerSet* handlers)
{
    s_interpreter = run;
    s_handlers = handlers;
}

const VMHandlerSet* VM_InterpreterHandlers() { return s_handlers; }

void VM_RunCode(CCode* code, CInstance* self, CInstance* other, ScriptValue* result, KVObjectBase* locals, int argc,
                ScriptValue* args, KVObjectBase* argumentsObject)
{
    if (s_interpreter) s_interpreter(code, self, other, result, locals, argc, args, argumentsObject);
}
