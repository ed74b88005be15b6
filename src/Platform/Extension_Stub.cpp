// Stand-ins: see Extension_Main.h.
#include "Platform/Extension_Main.h"

int Extension_FindFunction(const char*) { return -1; }
bool Extension_CallFunction(int, int, ScriptValue*, ScriptValue*) { return false; }
bool Extension_Prepare() { return true; }
bool Extension_CallInitFunctions() { return true; }
bool Extension_CallFinalFunctions() { return true; }
