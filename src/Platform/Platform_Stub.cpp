// Stand-ins: see Platform_Main.h.
#include "Platform/Platform_Main.h"

void Kivo_Tick() {}
void Kivo_Quit() {}
void Kivo_ProcessScriptCallbacks() {}
void Steam_Update() {}
void Steam_Shutdown() {}
void IAP_ProcessQueuedResults() {}
void Push_Update() {}
void ReadWindowsOptions(IniFile*) {}
