#pragma once
// Scripts as function objects of the object model: the built-in that makes
// one ("@@script_ref@@", argument 0 a script's callable id) and the call of
// one whose script has no interpreter code.
#include <cstdint>

class CInstance;
class KVObjectBase;
struct ScriptValue;

// out becomes a function object for the script: its code, its "length" the
// code's argument count, its scope the running call's activation object
// (kept for it), constructible, with a prototype object in slot 0. Nothing
// (out untouched) when there is no such script.
void JS_NewScriptFunction(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);

// Compiled-code mode: runs the script's compiled function with self as self
// and other and the arguments (kept); false when it has none.
bool Script_RunAsFunction(void* script, KVObjectBase* self, ScriptValue* out, int argc, ScriptValue* args);
