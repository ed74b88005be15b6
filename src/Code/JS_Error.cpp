#include "Code/JS_Error.h"

#include "Code/Code_Arguments.h"
#include "Code/JS_Global.h"
#include "Code/JS_Main.h"
#include "Code/JS_Text.h"
#include "Code/ObjectBase.h"

KVObjectBase* JS_ErrorPrototype[JS_ERROR_TYPE_COUNT] = {};

namespace {
// ToString of the property; an absent one reads as empty. False when the
// conversion failed or threw.
bool PropertyText(KVObjectBase* object, const char* name, ScriptValue* text)
{
    ScriptValue value = ScriptValue_Undefined();
    JS_Object_Get(object, &value, name);
    int status = JS_CONVERTED;
    if (value.Kind() == VALUE_UNSET) ScriptValue_InitString(text, "");
    else status = JS_ConvertToString(text, &value);
    ScriptValue_SetUndefined(&value);
    if (status == JS_FAILED) JS_RaiseTypeError("NoMessage");
    return status == JS_CONVERTED;
}

const char* TextOf(const ScriptValue& v)
{
    const char* text = ScriptValue_StringText(&v);
    return text ? text : "";
}
}  // namespace

void JS_Error_toString(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    auto* error = reinterpret_cast<KVObjectBase*>(self);
    if (!error || !JS_HasClass(error, "Error")) {
        JS_RaiseTypeError("NoMessage");
        return;
    }
    ScriptValue name = ScriptValue_Undefined();
    ScriptValue message = ScriptValue_Undefined();
    if (PropertyText(error, "name", &name) && PropertyText(error, "message", &message)) {
        TextBuilder text;
        if (!*TextOf(name)) {
            text.Append(TextOf(message));
        } else {
            text.Append(TextOf(name));
            if (*TextOf(message)) {
                text.Append(": ");
                text.Append(TextOf(message));
            }
        }
        ScriptValue_SetUndefined(result);
        ScriptValue_InitString(result, text.data ? text.data : "");
        text.Free();
    }
    ScriptValue_SetUndefined(&name);
    ScriptValue_SetUndefined(&message);
}

void JS_CreateErrorObject(const char* typeName, KVObjectBase* prototype, ScriptValue* out, KVObjectBase*, int argc,
                          ScriptValue* args)
{
    const char* message = argc > 0 ? Arg_String(args, 0) : nullptr;
    JS_NewWrapperObject(out, prototype, "Error", nullptr);
    KVObjectBase* error = out->obj;
    error->AddString("message", message ? message : "", 0);
    error->AddString("name", typeName, 0);
    if (!prototype) error->AddObject("toString", JS_NewNativeFunction(JS_Error_toString, 0, false), 0);
}

KVObjectBase* JS_MakeErrorType(const char* typeName, BuiltinRoutine routine, KVObjectBase** prototype,
                               KVObjectBase* parent)
{
    ScriptValue made = ScriptValue_Undefined();
    JS_NewStandardObject(&made, nullptr, nullptr, 0, nullptr);
    KVObjectBase* shared = made.obj;
    shared->AddString("[[Class]]", "Error", 0);
    if (parent) shared->AddObject("[[Prototype]]", parent, 0);
    else shared->AddNull("[[Prototype]]", 0);
    shared->AddString("name", typeName, 0);
    shared->AddString("message", "", 0);
    JS_AddNativeMethod(shared, "toString", JS_Error_toString, 0, 0);
    KVObjectBase* constructor = JS_NewNativeFunction(routine, 0, false);
    constructor->AddPointer("[[Construct]]", reinterpret_cast<void*>(routine), 0);
    JS_SetConstructorPrototype(constructor, shared, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    shared->AddObject("constructor", constructor, 0);
    *prototype = shared;
    return constructor;
}

void JS_InitErrors()
{
    struct Type {
        const char* name;
        BuiltinRoutine routine;
    };
    static constexpr Type kTypes[JS_ERROR_TYPE_COUNT] = {
        {"Error", JS_Error_Construct},          {"EvalError", JS_EvalError_Construct},
        {"RangeError", JS_RangeError_Construct}, {"ReferenceError", JS_ReferenceError_Construct},
        {"SyntaxError", JS_SyntaxError_Construct}, {"TypeError", JS_TypeError_Construct},
        {"URIError", JS_URIError_Construct},
    };
    KVObjectBase* global = JS_GlobalObject();
    for (int type = 0; type < JS_ERROR_TYPE_COUNT; ++type) {
        KVObjectBase* parent = type == JS_ERROR_ERROR ? JS_ObjectPrototype : JS_ErrorPrototype[JS_ERROR_ERROR];
        KVObjectBase* constructor =
            JS_MakeErrorType(kTypes[type].name, kTypes[type].routine, &JS_ErrorPrototype[type], parent);
        if (global) global->AddObject(kTypes[type].name, constructor, 0);
    }
}
