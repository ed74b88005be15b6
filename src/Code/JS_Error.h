#pragma once
// Error objects of the object model: the seven error types' prototypes and
// the maker of error objects that constructors and raised errors use. Until
// the global object's error types exist (JS_Error_Stub.cpp) the prototypes
// are null and an error object carries its own toString.
#include "Code/Code_Value.h"

class KVObjectBase;

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
