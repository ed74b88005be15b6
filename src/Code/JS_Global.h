#pragma once
// The global object of object mode (the game's global-variables object) with
// its value properties and global functions, the "qs" object that shows the
// engine's built-in functions, constants and game-wide built-in variables to
// object-mode code, the routine of functions that exist without an
// implementation, and the RegExp stand-in (object mode has no regular expressions).
#include "Code/Code_Function.h"

struct ScriptValue;
class KVObjectBase;
class CInstance;

// The global object; null before the game's global object is made.
KVObjectBase* JS_GlobalObject();
// The NaN of the object model (bits 0x7FFFFFFFFFFFFFFF).
double JS_NaN();

// Gives the global object its properties and makes the "qs" object, which
// name look-up reaches after the global object.
void JS_InitGlobalObject();
// RegExp and RegExp.prototype, every routine of them unimplemented.
void JS_InitRegExp();
// Raises ReferenceError "unimplemented function".
void JS_Unimplemented(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
