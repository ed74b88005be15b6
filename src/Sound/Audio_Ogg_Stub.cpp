// Stand-ins: see Audio_Ogg.h.
#include "Sound/Audio_Ogg.h"

void OggAudio_Init(int32_t, int32_t) {}
void OggAudio_Quit() {}
void OggAudio_Update() {}
int32_t OggAudio_PlaySound(int32_t, AudioSound*, bool, float) { return -1; }
void OggAudio_Stop(int32_t) {}
void OggAudio_Pause(int32_t) {}
void OggAudio_Resume(int32_t) {}
void OggAudio_SetPosition(int32_t, double) {}
double OggAudio_GetPosition(int32_t, AudioSound*) { return 0.0; }
bool OggAudio_ReadSoundInfo(AudioSound*) { return false; }
int32_t OggAudio_SyncGroupCount() { return 0; }
