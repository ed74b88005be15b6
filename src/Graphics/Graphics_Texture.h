#pragma once
// The game texture table: every image the game draws lives on a texture
// known by a small integer, the game texture index, into this table. Game
// code only ever sees these indices, never the records behind them.
#include <cstdint>

struct D3DTexture;

struct STexture {
    D3DTexture* texture;     // owned; null after a failed creation
    int16_t width, height;   // logical size (the image's own)
    float texelWidth;        // 1 / width of the device texture
    float texelHeight;
    uint8_t inUse;
};

int GR_Texture_AllocSlot();
int GR_Texture_AddD3D(D3DTexture* texture, int width, int height);
// A texture over encoded image data ("RAW " block or PNG), which stays in
// place: game data, or a memory-manager block the texture then owns.
int GR_Texture_CreateFromImage(const uint8_t* data, int size, bool flag);
// Raw 32-bit pixels when size is width × height × 4, else encoded image data
// (owned by the texture as above).
int GR_Texture_Create(int width, int height, const void* data, int size);
// Each coverage byte b becomes white with alpha b; -1 when the upload fails.
int GR_Texture_CreateAlpha8(int width, int height, const uint8_t* coverage);
class CBitmap32;
// A texture of the bitmap's pixels; -1 for a missing or invalid bitmap.
int GR_Texture_CreateFromBitmap(const CBitmap32* bitmap);
// Format kind 1 is 16-bit float red, 2 32-bit float red, anything else 8-bit RGBA.
int GR_Texture_CreateRenderTarget(int width, int height, bool target, bool depth, int formatKind);
bool GR_Texture_Exists(int index);
D3DTexture* GR_Texture_GetD3D(int index);
float GR_Texture_GetWidth(int index);
float GR_Texture_GetHeight(int index);
void GR_Texture_Free(int index);
void GR_Texture_FreeAll();
void GR_Texture_FreeTable();
void GR_Texture_FlushAll();
STexture* GR_Texture_Preload(int index);
void GR_Texture_SetPriority(int index, int priority);
int GR_Texture_Count();

// Embedded images ("EMBI"): named images the runner itself uses, such as
// the particle shapes. The names lie in the game data; the entries are
// found through their texture-page entry offsets when asked for.
struct SEmbeddedImage {
    const char* name;      // null when the record has none
    uint32_t entryOffset;  // absolute file offset of the texture-page entry, 0 for none
};
struct STexturePageEntry;
bool GR_Texture_LoadEmbedded(const uint8_t* payload, uint32_t length, const uint8_t* data);
// The first image whose name equals name (or, with substring, contains it).
const SEmbeddedImage* GR_Texture_FindEmbedded(const char* name, bool substring);
const STexturePageEntry* GR_Texture_EmbeddedEntry(const SEmbeddedImage* image);
int GR_Texture_EmbeddedCount();
void GR_Texture_FreeEmbedded();

// Colour word with alpha: alpha × 255 truncated and clamped to 0..255 in the top byte.
uint32_t GR_ColourAlpha(uint32_t colour, float alpha);
