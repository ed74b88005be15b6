// Stand-ins: see Audio_Main.h.
#include "Sound/Audio_Main.h"

void SoundHardware_Create() {}
void SoundHardware_Update() {}
void SoundHardware_Destroy() {}
bool Sound_Prepare() { return true; }
void Audio_PrepareSounds() {}
void Audio_StopAll(int32_t) {}
void Sound_DeleteAll() {}
void Sound_Clear() {}
int Sound_Find(const char*) { return -1; }
int Audio_FindSound(const char*) { return -1; }
