// Stand-ins: see IO_Stub.h. The gamepad, virtual-button, recording and
// platform modules replace them.
#include "IO/IO_Stub.h"

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
