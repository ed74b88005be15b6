#pragma once
// Extension packages: their functions (callable ids from 500000) and the
// initialisation and finalisation functions they declare.
struct ScriptValue;

// Until extensions exist (Extension_Stub.cpp) there are none.

// Index of the extension function of that name, -1 when there is none.
int Extension_FindFunction(const char* name);
// Calls extension function index with argc arguments; result receives its
// value. False when there is no such function (result untouched).
bool Extension_CallFunction(int index, int argc, ScriptValue* args, ScriptValue* result);
bool Extension_Prepare();
bool Extension_CallInitFunctions();
bool Extension_CallFinalFunctions();
