#pragma once
// The legacy sound list, which serves games that do not use the audio engine.
// Until it exists (Sound_Main_Stub.cpp) it holds no sound.
#include <cstdint>

// Prepares the sounds marked for preloading; false when that fails.
bool Sound_Prepare();
void Sound_DeleteAll();
// The game data's sounds are forgotten before another game is read.
void Sound_Clear();
// Index of the sound of that name, -1 when there is none.
int Sound_Find(const char* name);

bool Sound_Exists(int32_t index);
// "<undefined>" when there is no sound at index.
const char* Sound_Name(int32_t index);
// A new slot with the sound of the file; its index, -1 when loading failed.
int32_t Sound_Add(const char* fileName, int32_t kind, bool preload);
// False for an index outside the list or a file that does not load.
bool Sound_Replace(int32_t index, const char* fileName, int32_t kind, bool preload);
bool Sound_Delete(int32_t index);
// The sound's kind, -1 when there is no sound at index.
int32_t Sound_GetKind(int32_t index);
// The sound's preload flag, false when there is no sound at index.
bool Sound_GetPreload(int32_t index);
// Gives back the hardware sound the sound holds, if any (it keeps none then).
void Sound_Discard(int32_t index);
// Hands the sound to the hardware layer again.
void Sound_Restore(int32_t index);

// Playback of the legacy sounds through the hardware layer.
// Plays the sound (looping or not) at its volume.
void Sound_Play(int32_t index, bool loop);
void Sound_Stop(int32_t index);
// Stops every sound and the music.
void Sound_StopAll();
bool Sound_IsPlaying(int32_t index);
// The sound's volume becomes volume, reached in 1 ms.
void Sound_SetVolume(int32_t index, double volume);
// Fades the sound to volume over timeMs; its stored volume stays.
void Sound_Fade(int32_t index, double volume, int32_t timeMs);
void Sound_SetMasterVolume(float volume);
// Hands the sound to the hardware layer; pan, effect and 3D settings, which
// go through here, change nothing that is heard.
void Sound_PrepareHardware(int32_t index);
