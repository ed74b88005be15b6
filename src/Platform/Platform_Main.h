#pragma once
// Platform services: the platform's event queue and script callbacks, Steam,
// in-app purchases, push notifications and the Windows options of options.ini.
// Until they exist (Platform_Stub.cpp) each does nothing.
class IniFile;

void Kivo_Tick();
void Kivo_Quit();
void Kivo_ProcessScriptCallbacks();
void Steam_Update();
void Steam_Shutdown();
void IAP_ProcessQueuedResults();
void Push_Update();
void ReadWindowsOptions(IniFile* ini);
