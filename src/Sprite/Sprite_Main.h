#pragma once
// The sprite table: every sprite of the game by index (those of the "SPRT"
// chunk and those made at run time), the name map, and the table operations
// behind the sprite built-ins. Slots are never reused or compacted.
#include <cstdint>

#include "Network/Async_Requests.h"
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
// looked up in the save area, then the bundle. -1 (or false) on failure. An
// "http://" or "https://" name starts a download and gives the index at once:
// the sprite stays as it is (empty for an add) until the reply is decoded in
// the asynchronous step, which then raises the image-loaded event; a replace
// from a URL returns false.
int32_t Sprite_Add(const char* path, int32_t frames, bool precise, bool transparent, bool smooth, bool preload,
                   int32_t xorig, int32_t yorig);
int32_t Sprite_AddEmpty();
bool Sprite_Replace(int32_t index, const char* path, int32_t frames, bool precise, bool transparent, bool smooth,
                    bool preload, int32_t xorig, int32_t yorig);
bool Sprite_Assign(int32_t destination, int32_t source);
bool Sprite_Delete(int32_t index);
int32_t Sprite_Duplicate(int32_t index);

// The event sub-kind of an image loaded from a URL.
constexpr int32_t kSpriteImageLoadedEvent = 60;
// Completion of a download: the result map ("filename", "id", "http_status",
// "status"), the reply decoded into the sprite when it is a 200 with a body
// and the slot still holds a sprite; always the image-loaded event.
int32_t Sprite_HttpCallback(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap);
void Sprite_HttpCleanup(HTTP_REQ_CONTEXT* record);
