#pragma once
// Stand-ins for the name look-ups of asset tables that are not built yet
// (sprites, sounds, backgrounds, fonts, shaders); each answers the index
// of the asset with that exact name, -1 when none.
int Sprite_Find(const char* name);
int Sound_Find(const char* name);
int Audio_FindSound(const char* name);
int Background_Find(const char* name);
int Font_Find(const char* name);
int Shader_Find(const char* name);
