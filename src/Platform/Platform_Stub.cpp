// Stand-ins: see Platform_Main.h.
#include "Platform/Platform_Main.h"

#include "Platform/Function_External.h"

void Kivo_Tick() {}
void Kivo_Quit() {}
void Kivo_ProcessScriptCallbacks() {}
void Steam_Update() {}
void Steam_Shutdown() {}
void IAP_ProcessQueuedResults() {}
void Push_Update() {}
void ReadWindowsOptions(IniFile*) {}

namespace {
void NoEffect(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) {}
void NoText(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetString(result, ""); }
void NoClipboardText(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(result, 0); }
}  // namespace

const MiscPlatformRoutines& Platform_MiscRoutines()
{
    static const MiscPlatformRoutines routines{InitExternalFunctions, NoEffect, NoEffect, NoEffect, NoEffect,
                                               NoClipboardText, NoEffect, NoText};
    return routines;
}
