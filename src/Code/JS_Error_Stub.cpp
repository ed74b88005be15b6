// Stand-in: see JS_Error.h. The error object's own toString gives
// "name: message", the name or the message alone when the other is empty.
#include "Code/JS_Error.h"

#include <string>

#include "Code/JS_Object.h"
#include "Code/ObjectBase.h"

KVObjectBase* JS_ErrorPrototype[JS_ERROR_TYPE_COUNT] = {};

namespace {
std::string TextOfProperty(KVObjectBase* object, const char* name)
{
    ScriptValue v = ScriptValue_Undefined();
    JS_Object_Get(object, &v, name);
    const char* text = ScriptValue_StringText(&v);
    std::string s = text ? text : "";
    ScriptValue_SetUndefined(&v);
    return s;
}

void ErrorToString(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    auto* error = reinterpret_cast<KVObjectBase*>(self);
    const std::string name = TextOfProperty(error, "name");
    const std::string message = TextOfProperty(error, "message");
    const std::string text = name.empty() ? message : message.empty() ? name : name + ": " + message;
    ScriptValue_SetUndefined(result);
    ScriptValue_InitString(result, text.c_str());
}
}  // namespace

void JS_CreateErrorObject(const char* typeName, KVObjectBase* prototype, ScriptValue* out, KVObjectBase*, int argc,
                          ScriptValue* args)
{
    JS_NewStandardObject(out, nullptr, nullptr, 0, nullptr);
    KVObjectBase* error = out->obj;
    if (prototype) error->AddObject("[[Prototype]]", prototype, 0);
    error->AddString("[[Class]]", "Error", 0);
    const char* message = argc > 0 ? ScriptValue_StringText(&args[0]) : nullptr;
    error->AddString("message", message ? message : "", 0);
    error->AddString("name", typeName, 0);
    error->AddObject("toString", JS_NewNativeFunction(ErrorToString, 0, false), 0);
}
