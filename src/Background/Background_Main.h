#pragma once
// The background table: every background of the game by index (those of the
// "BGND" chunk and those made at run time) with its name, tile sets and their
// animation, the look-up by name, textures and release. Indices are never
// reused: deleting empties an index.
#include <cstdint>

#include "Network/Async_Requests.h"
#include "Background/Background_Class.h"

// The background's size; false when there is no background at index.
bool Background_GetSize(int32_t index, int32_t* width, int32_t* height);
// The tileset animation of a background: frame time (microseconds) and frame
// count; false when there is no background at index.
bool Background_GetTileAnimation(int32_t index, uint64_t* frameTime, int32_t* frameCount);
// The tileset fields of a background: tile width and height in pixels and the
// tile count (valid tile indices are below it); false when there is no
// background at index. A background without a tileset block is one tile of
// its own size (false when that size is empty).
bool Background_GetTileset(int32_t index, int32_t* tileWidth, int32_t* tileHeight, int32_t* tileCount);

// The "BGND" chunk reader: every record is checked before the table changes.
bool Background_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
void Background_InitTextures();
void Background_Shutdown();
// The game data's backgrounds are forgotten before another game is read.
void Background_DeleteAll();
// Index of the first background of exactly that name, -1 when there is none.
int Background_Find(const char* name);

// Null outside the table; an empty index is null too.
BackgroundResource* Background_Get(int32_t index);
bool Background_Exists(int32_t index);
// The name of an existing background, else "<undefined>".
const char* Background_Name(int32_t index);
int32_t Background_Count();

// The draw back ends of the room drawer; a missing background draws nothing.
// Angles in degrees.
void Background_DrawPart(int32_t index, float left, float top, float width, float height, float x, float y,
                         float xscale, float yscale, uint32_t colour, float alpha);
void Background_DrawGeneral(int32_t index, float left, float top, float width, float height, float x, float y,
                            float xscale, float yscale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha);
// Tiled over the region (left, top, width, height) in the directions asked.
void Background_DrawTiled(int32_t index, float x, float y, float xscale, float yscale, bool tileX, bool tileY,
                          float left, float top, float width, float height, uint32_t colour, float alpha);

// Run-time backgrounds, each at a new index named "__newbackground<index>".
// An empty background; -1 without memory.
int32_t Background_AddEmpty();
// An image file (save area, then bundle): its index, also when the image
// does not decode (the background stays empty); -1 when the file is in
// neither place. An "http://" or "https://" name starts a download and
// gives the index at once; the image arrives with the image-loaded event.
int32_t Background_Add(const char* path, bool removeBack, bool smooth, bool preload);
// False outside the table or for a missing file; a URL starts the download
// into the index and gives false at once.
bool Background_Replace(int32_t index, const char* path, bool removeBack, bool smooth, bool preload);
// False unless source exists and target lies in the table.
bool Background_Assign(int32_t target, int32_t source);
bool Background_Delete(int32_t index);
// A copy with its own bitmap, texture and entry; -1 when index is empty.
int32_t Background_Duplicate(int32_t index);

// Completion of a download: the result map ("filename", "id", "http_status",
// "status"), the reply decoded into the background when it is a 200 with a
// body and the index still holds a background; always the image-loaded event.
int32_t Background_OnImageLoaded(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap);
void Background_HttpCleanup(HTTP_REQ_CONTEXT* record);
