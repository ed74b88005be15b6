// Stand-ins: see Sound_Main.h.
#include "Sound/Sound_Main.h"

bool Sound_Prepare() { return true; }
void Sound_DeleteAll() {}
void Sound_Clear() {}
int Sound_Find(const char*) { return -1; }
bool Sound_Exists(int32_t) { return false; }
const char* Sound_Name(int32_t) { return "<undefined>"; }
int32_t Sound_Add(const char*, int32_t, bool) { return -1; }
bool Sound_Replace(int32_t, const char*, int32_t, bool) { return false; }
bool Sound_Delete(int32_t) { return false; }
int32_t Sound_GetKind(int32_t) { return -1; }
bool Sound_GetPreload(int32_t) { return false; }
void Sound_Discard(int32_t) {}
void Sound_Restore(int32_t) {}
void Sound_Play(int32_t, bool) {}
void Sound_Stop(int32_t) {}
void Sound_StopAll() {}
bool Sound_IsPlaying(int32_t) { return false; }
void Sound_SetVolume(int32_t, double) {}
void Sound_Fade(int32_t, double, int32_t) {}
void Sound_SetMasterVolume(float) {}
void Sound_PrepareHardware(int32_t) {}
