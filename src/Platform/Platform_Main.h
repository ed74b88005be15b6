#pragma once
// Platform services: the platform's event queue and script callbacks, Steam,
// in-app purchases, push notifications, the Windows options of options.ini,
// and the platform's built-ins of the "Misc.." group: the external-library
// ones (Function_External.h) and the window, priority and clipboard ones.
// Until those exist (Platform_Stub.cpp) each does nothing; of the built-ins,
// clipboard_has_text answers 0 and clipboard_get_text the empty string.
#include "Function/Function_Misc.h"

class IniFile;

void Kivo_Tick();
void Kivo_Quit();
void Kivo_ProcessScriptCallbacks();
void Steam_Update();
void Steam_Shutdown();
void IAP_ProcessQueuedResults();
void Push_Update();
void ReadWindowsOptions(IniFile* ini);
// The routines the "Misc.." group registers for the platform services.
const MiscPlatformRoutines& Platform_MiscRoutines();
