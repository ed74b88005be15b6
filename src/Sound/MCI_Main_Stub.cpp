// Stand-ins: see MCI_Main.h.
#include "Sound/MCI_Main.h"

void CD_Init() {}
bool CD_Present() { return false; }
int32_t CD_TrackCount() { return 0; }
bool CD_Playing() { return false; }
bool CD_Paused() { return false; }
int32_t CD_Track() { return 0; }
int32_t CD_Length() { return 0; }
int32_t CD_TrackLength(int32_t) { return 0; }
int32_t CD_Position() { return 0; }
int32_t CD_TrackPosition() { return 0; }
void CD_Play(int32_t, int32_t) {}
void CD_Stop() {}
void CD_Pause() {}
void CD_Resume() {}
void CD_SetPosition(int32_t) {}
void CD_SetTrackPosition(int32_t) {}
void CD_OpenDoor() {}
void CD_CloseDoor() {}

int32_t Mci_SendString(const char*, char* reply, int32_t size)
{
    if (reply && size > 0) reply[0] = '\0';
    return 1;  // no device answers any command
}
