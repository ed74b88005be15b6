#pragma once
// The sprite table: every sprite of the game by index (those of the "SPRT"
// chunk and those made at run time), the name map, and the table operations
// behind the sprite built-ins. Slots are never reused or compacted.
#include <cstdint>

#include "Sprite/Sprite_Class.h"

bool Sprite_Exists(int32_t index);
// Null out of range; an empty slot is null too.
CSprite* Sprite_Get(int32_t index);
// The name of an existing sprite, else "<undefined>".
const char* Sprite_GetName(int32_t index);
int32_t Sprite_Count();
// Index of the sprite of that name, -1 when there is none.
int Sprite_Find(const char* name);

// Empties the table and the name map (before the chunk pass).
void Sprite_Init();
// The "SPRT" chunk reader: every record is checked before the table changes.
bool Sprite_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
void Sprite_InitTextures();
void Sprite_FreeAll();
void Sprite_ShutdownHook();

// Run-time sprites, each in a new slot named "__newsprite<index>". A path is
// looked up in the save area, then the bundle. -1 (or false) on failure.
int32_t Sprite_Add(const char* path, int32_t frames, bool precise, bool transparent, bool smooth, bool preload,
                   int32_t xorig, int32_t yorig);
int32_t Sprite_AddEmpty();
bool Sprite_Replace(int32_t index, const char* path, int32_t frames, bool precise, bool transparent, bool smooth,
                    bool preload, int32_t xorig, int32_t yorig);
bool Sprite_Assign(int32_t destination, int32_t source);
bool Sprite_Delete(int32_t index);
int32_t Sprite_Duplicate(int32_t index);
