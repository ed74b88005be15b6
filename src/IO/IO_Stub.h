#pragma once
// Stand-ins for the input services not built yet, called from the window
// procedure and the per-frame input update: gamepads and joysticks, virtual
// buttons, input recording and playback, and the platform pause event.

void DirectInput_CreatePads();
bool DirectInput_Init();
void DirectInput_Rescan();
void XInput_PollConnections();
void Gamepads_Update();
void Gamepads_Free();
void IO_CreateVirtualButtons();
void IO_UpdateVirtualButtons();
void IO_FreeVirtualButtons();
bool IO_OpenRecordFile();
void IO_PlaybackFrame();
void IO_RecordFrame();
void IO_CloseRecordFile();
void Kivo_RegisterPauseEvent();
// Stand-in bookkeeping for tests: how often the pause event and the device
// rescans were asked for.
extern int Kivo_PauseEvents;
extern int IO_DeviceRescans;
