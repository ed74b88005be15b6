// The script built-ins: names and text of scripts, and calls of a script
// (or, in object mode, of a callable object) chosen at run time.
#include "Function/Function_Script.h"

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/JS_Main.h"
#include "GameData/GameHeader.h"
#include "Script/Script_Main.h"
#include "World/Instance.h"

namespace {

using Args = ScriptValue*;

// Arguments script_execute passes on; further ones are dropped.
constexpr int kMaxScriptArguments = 15;

bool Need(int argc, int count) { return Arg_Need(argc, count, "script"); }

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Script_IsValid(Arg_Int32(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Script_NameOf(Arg_Int32(a, 0)));
}
void F_GetText(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const CScript* script = Script_Get(Arg_Int32(a, 0));
    char* text = script ? script->GetText() : nullptr;
    ScriptValue_SetString(r, text ? text : "");
    QS_FREE(text);
}

void F_Execute(ScriptValue* r, CInstance* self, CInstance* other, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    if (ObjectMode && a[0].Kind() == VALUE_OBJECT && JS_IsCallable(&a[0])) {
        JS_CallValue(self, r, &a[0], argc - 1, a + 1);
        return;
    }
    const int32_t index = Arg_Int32(a, 0);
    if (!Script_IsValid(index)) return ReportRuntimeError("Trying to execute non-existing script.", false);
    // The script releases the copies it is given; the caller's values stay its own.
    ScriptValue copies[kMaxScriptArguments + 1];
    int count = 0;
    for (int k = 1; k < argc && count < kMaxScriptArguments; ++k, ++count) {
        copies[count] = ScriptValue_Undefined();
        copies[count].Assign(a[k]);
    }
    ScriptValue local = ScriptValue_Undefined();
    if (!Script_Call(index, self, other, count, &local, copies)) {
        const char* text = ErrorLast_Get();
        if (text) ReportRuntimeError(text, false);
    }
    for (int k = 0; k < count; ++k) ScriptValue_SetUndefined(&copies[k]);
    ScriptValue_SetUndefined(r);
    *r = local;
    if (r->Kind() == VALUE_ARRAY && r->arr && r->arr->owner == &local) r->arr->owner = r;
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};
const Entry kScript[] = {
    {"script_name", F_GetName, 1},     {"script_exists", F_Exists, 1}, {"script_get_name", F_GetName, 1},
    {"script_get_text", F_GetText, 1}, {"script_execute", F_Execute, -1},
};
}  // namespace

void InitScriptFunctions()
{
    for (const Entry& e : kScript) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
