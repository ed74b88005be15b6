#pragma once
// The Ogg channels that feed the sources of streamed and compressed sounds,
// decoding on their own threads. Until they exist (Audio_Ogg_Stub.cpp) such
// sounds do not start.
#include <cstdint>

struct AudioSound;

void OggAudio_Init(int32_t threads, int32_t sources);
void OggAudio_Quit();
// Once per frame: frees the voices whose channel finished.
void OggAudio_Update();
// Starts the sound on the source's channel; -1 when it cannot.
int32_t OggAudio_PlaySound(int32_t sourceIndex, AudioSound* sound, bool loop, float startSeconds);
void OggAudio_Stop(int32_t sourceIndex);
void OggAudio_Pause(int32_t sourceIndex);
void OggAudio_Resume(int32_t sourceIndex);
void OggAudio_SetPosition(int32_t sourceIndex, double seconds);
// Seconds played on the source's channel; 0 when no channel plays.
double OggAudio_GetPosition(int32_t sourceIndex, AudioSound* sound);
// Fills the sound's length, rate, channels and total samples; false when they cannot be read.
bool OggAudio_ReadSoundInfo(AudioSound* sound);
// Slots of the sync-group table, empty ones included.
int32_t OggAudio_SyncGroupCount();
