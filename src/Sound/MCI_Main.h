#pragma once
// CD audio and raw media commands. There is no CD drive: until the media
// command interpreter exists (MCI_Main_Stub.cpp) no disc is ever present, so
// queries give 0 and commands do nothing, and a raw command gets an empty reply.
#include <cstdint>

void CD_Init();
bool CD_Present();
int32_t CD_TrackCount();
bool CD_Playing();
bool CD_Paused();
int32_t CD_Track();
int32_t CD_Length();
int32_t CD_TrackLength(int32_t track);
int32_t CD_Position();
int32_t CD_TrackPosition();
void CD_Play(int32_t first, int32_t last);
void CD_Stop();
void CD_Pause();
void CD_Resume();
void CD_SetPosition(int32_t milliseconds);
void CD_SetTrackPosition(int32_t milliseconds);
void CD_OpenDoor();
void CD_CloseDoor();
// Sends a media command; the reply text goes to reply (size bytes, always
// terminated). 0, or an error code.
int32_t Mci_SendString(const char* command, char* reply, int32_t size);
