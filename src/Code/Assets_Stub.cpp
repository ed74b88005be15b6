#include "Code/Assets_Stub.h"

int Sprite_Find(const char*) { return -1; }
int Sound_Find(const char*) { return -1; }
int Audio_FindSound(const char*) { return -1; }
int Background_Find(const char*) { return -1; }
int Font_Find(const char*) { return -1; }
int Shader_Find(const char*) { return -1; }
