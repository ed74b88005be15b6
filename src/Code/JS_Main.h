#pragma once
// The script object model's core as values meet it: conversions, property
// look-up, calls, getters and setters, the global scope, and its start-up.
// Until the object model exists (JS_Stub.cpp) objects have no properties to
// find and nothing can be called.
struct ScriptValue;
class KVObjectBase;

// out becomes a number; returns the status (0 converted).
int JS_ConvertToNumber(ScriptValue* out, const ScriptValue* value);
// The named property, own or inherited; returns its kind, out unset when absent.
int JS_Object_GetProperty(KVObjectBase* object, ScriptValue* out, const char* name);
bool JS_IsCallable(const ScriptValue* value);
int JS_CallValue(KVObjectBase* self, ScriptValue* result, const ScriptValue* function, int argc, ScriptValue* args);

// Object mode: the head of the chain of scope objects (set when the game data
// is read); null otherwise.
extern KVObjectBase* GlobalScopeObject;
// Reads an accessor pair through its getter with self as this (the stand-in
// gives undefined); the setter stand-in does nothing.
void JS_CallGetter(KVObjectBase* accessor, KVObjectBase* self, ScriptValue* out);
void JS_CallSetter(KVObjectBase* accessor, KVObjectBase* self, ScriptValue* value);

// Start-up of the object model: its built-in objects and the resource object.
void JS_InitBuiltInObjects();
void JS_CreateResourceObject();
