#pragma once
// Fonts and the text state: the font table, its textures, the look-up of
// fonts by name, and the text drawing state.
// Until fonts exist (Font_Stub.cpp) there are none.

void Font_InitTextures();
void Font_Shutdown();
// The game data's fonts are forgotten before another game is read.
void Font_Reset();
// Index of the font of that name, -1 when there is none.
int Font_Find(const char* name);
void Text_Reset();
void Text_Free();
