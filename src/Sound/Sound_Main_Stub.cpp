// Stand-ins: see Sound_Main.h.
#include "Sound/Sound_Main.h"

bool Sound_Prepare() { return true; }
void Sound_DeleteAll() {}
void Sound_Clear() {}
int Sound_Find(const char*) { return -1; }
