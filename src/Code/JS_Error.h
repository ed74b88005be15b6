#pragma once
// Error objects of the object model: the seven error types with their
// prototypes and constructors, and the maker of error objects that
// constructors and raised errors use. Until JS_InitErrors ran (and outside
// object mode) the prototypes are null and an error object carries its own toString.
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"

class KVObjectBase;
class CInstance;

enum JSErrorType : int {
    JS_ERROR_ERROR,
    JS_ERROR_EVAL,
    JS_ERROR_RANGE,
    JS_ERROR_REFERENCE,
    JS_ERROR_SYNTAX,
    JS_ERROR_TYPE,
    JS_ERROR_URI,
    JS_ERROR_TYPE_COUNT,
};

// Error.prototype, EvalError.prototype, ...: null until they are made.
extern KVObjectBase* JS_ErrorPrototype[JS_ERROR_TYPE_COUNT];

// out (released first) becomes a new error object of the type: class
// "Error", "name" the type's name, "message" the text of argument 0 ("" without).
void JS_CreateErrorObject(const char* typeName, KVObjectBase* prototype, ScriptValue* out, KVObjectBase* self,
                          int argc, ScriptValue* args);

// Makes one error type: its prototype (class "Error", "name", "message" "",
// its own "toString", "constructor") inheriting from parent, and its
// constructor, whose call and construct routine is routine.
KVObjectBase* JS_MakeErrorType(const char* typeName, BuiltinRoutine routine, KVObjectBase** prototype,
                               KVObjectBase* parent);
// Makes the seven error types and names their constructors on the global object.
void JS_InitErrors();
// "name: message"; the name or the message alone when the other is empty.
// TypeError "NoMessage" for a receiver that is no error object.
void JS_Error_toString(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
