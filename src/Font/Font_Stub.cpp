// Stand-ins: see Font_Main.h.
#include "Font/Font_Main.h"

void Font_InitTextures() {}
void Font_Shutdown() {}
void Font_Reset() {}
int Font_Find(const char*) { return -1; }
void Text_Reset() {}
void Text_Free() {}
