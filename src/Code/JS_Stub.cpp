// Stand-ins: see JS_Main.h. The set-up makes the built-in objects that exist
// so far, in their order (Object, String, Math, Boolean, Date, JSON and the
// prototypes of Object and Function are not made yet); the resource object is
// not made yet, and String objects are bare wrappers of their text.
#include "Code/JS_Array.h"
#include "Code/JS_Error.h"
#include "Code/JS_Global.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"

void JS_InitBuiltInObjects()
{
    JS_InitGlobalObject();
    JS_InitArrayBuiltins();
    JS_InitErrors();
    JS_InitNumber();
    JS_InitRegExp();
}

void JS_CreateResourceObject() {}

void JS_String_Construct(ScriptValue* out, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_InitString(&text, "");
    if (argc > 0) JS_ConvertToString(&text, &args[0]);
    JS_NewWrapperObject(out, nullptr, "String", &text);
    ScriptValue_SetUndefined(&text);
}
