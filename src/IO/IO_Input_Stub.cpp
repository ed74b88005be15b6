// Stand-ins: see IO_Input.h.
#include "IO/IO_Input.h"

int Kivo_PauseEvents = 0;
int IO_DeviceRescans = 0;

void DirectInput_CreatePads() {}
bool DirectInput_Init() { return true; }
void DirectInput_Rescan() { ++IO_DeviceRescans; }
void XInput_PollConnections() {}
void Gamepads_Update() {}
void Gamepads_Free() {}
void IO_CreateVirtualButtons() {}
void IO_UpdateVirtualButtons() {}
void IO_FreeVirtualButtons() {}
bool IO_OpenRecordFile() { return false; }
void IO_PlaybackFrame() {}
void IO_RecordFrame() {}
void IO_CloseRecordFile() {}
void Kivo_RegisterPauseEvent() { ++Kivo_PauseEvents; }

void IO_LoadVirtualButtons(IniFile*) {}
void IO_DrawVirtualButtons() {}
void IO_ClearVirtualButtons() {}
void Gamepad_AnnounceConnected() {}
