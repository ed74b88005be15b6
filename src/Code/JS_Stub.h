#pragma once
// Stand-in for the script object model's conversions and property look-up
// until that subsystem is built.
struct ScriptValue;
class KVObjectBase;

// out becomes a number; returns the status (0 converted).
int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value);
// The named property, own or inherited; returns its kind, out unset when absent.
int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name);
bool JS_IsCallable(const ScriptValue* value);
int JS_CallValue(KVObjectBase* self, ScriptValue* result, const ScriptValue* function, int argc, ScriptValue* args);
