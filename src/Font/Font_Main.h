#pragma once
// The font table: every font of the running game by index, the data file's
// fonts first, then those added at run time. Indices are never reused:
// deleting a font empties its index. Text layout and drawing are in
// Graphics_Text.h.
#include <cstdint>

#include "Font/Graphics_Text.h"

class CFontQS;

// Reader of the "FONT" chunk: false (with the reason recorded) when a record,
// glyph list, glyph or name does not lie where the chunk says.
bool Font_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
CFontQS* Font_Get(int32_t index);
bool Font_Exists(int32_t index);
// Index of the first font of exactly that name, -1 when there is none.
int Font_Find(const char* name);
// "<undefined>" for an index outside the table or empty.
const char* Font_Name(int32_t index);
int32_t Font_Count();

// A run-time font from a font file in the save area or bundle, named
// "__newfont<index>"; a file that cannot be used still gives a (glyphless) font.
int32_t Font_Add(const char* fileName, int size, bool bold, bool italic, int first, int last);
// The new font takes the index (which keeps its name); false outside the table.
bool Font_Replace(int32_t index, const char* fileName, int size, bool bold, bool italic, int first, int last);
// Sprite fonts, named "__newfont<index>". The plain forms map frame i to the
// character the "FONT" chunk's code table gives for code first + i (codes
// outside the table map to '?'); the _Ext forms take a UTF-8 map.
int32_t Font_AddSprite(int32_t sprite, int first, int proportional, int separation);
int32_t Font_AddSpriteExt(int32_t sprite, const char* map, int proportional, int separation);
// As Font_Replace; the plain form maps frame i to character first + i itself.
bool Font_ReplaceSprite(int32_t index, int32_t sprite, int first, int proportional, int separation);
bool Font_ReplaceSpriteExt(int32_t index, int32_t sprite, const char* map, int proportional, int separation);
// False when the index is outside the table or empty.
bool Font_Delete(int32_t index);

void Font_InitTextures();
// Every font and name forgotten; FreeType made ready.
void Font_Reset();
// Textures released, every font destroyed, FreeType closed.
void Font_Shutdown();
