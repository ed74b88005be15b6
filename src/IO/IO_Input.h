#pragma once
// Input devices and services: gamepads and joysticks, virtual buttons, input
// recording and playback, and the platform pause event, called from the
// window procedure and the per-frame input update. Until they exist
// (IO_Input_Stub.cpp) there are no pads, buttons or records.

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

class IniFile;
// Virtual buttons: read from options.ini, drawn and cleared with the frame.
void IO_LoadVirtualButtons(IniFile* ini);
void IO_DrawVirtualButtons();
void IO_ClearVirtualButtons();
// Gamepads already connected at start are announced to the game.
void Gamepad_AnnounceConnected();
