#pragma once
// The audio engine and the sound assets: the device, the per-frame update,
// preparing and freeing sounds, and the look-up of sounds by name.
// Until audio exists (Audio_Stub.cpp) there is no device and no sound.
#include <cstdint>

void SoundHardware_Create();
void SoundHardware_Update();
void SoundHardware_Destroy();
bool Sound_Prepare();
void Audio_PrepareSounds();
void Audio_StopAll(int32_t withStreams);
void Sound_DeleteAll();
// The game data's sounds are forgotten before another game is read.
void Sound_Clear();
// Index of the sound of that name, -1 when there is none.
int Sound_Find(const char* name);
int Audio_FindSound(const char* name);
