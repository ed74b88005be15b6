#pragma once
// What the tests hand to, or read from, the stand-ins of subsystems not built
// yet (defined beside each stand-in). Production code never calls these.
#include <cstdint>

#include "Background/Background_Main.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexFormat.h"
#include "IO/IO_Input.h"
#include "Sprite/Sprite_Main.h"

// Background_Main.h
// Appends a background of that size; its index.
int32_t Background_StubAdd(int32_t width, int32_t height);
void Background_StubClear();
void Background_StubSetTileAnimation(int32_t index, uint64_t frameTime, int32_t frameCount);
void Background_StubSetTileset(int32_t index, int32_t tileWidth, int32_t tileHeight, int32_t tileCount);

// Sprite_Main.h
// Appends a sprite; its index.
int32_t Sprite_StubAdd(const CSprite& sprite);
void Sprite_StubClear();

// Graphics_Primitive.h
// The last primitive the stand-in builder finished: kind, texture and its
// vertices (at most 1001); returns the vertex count.
int32_t GR_Draw_StubLastPrimitive(int* kind, int* texture, const float** x, const float** y);
struct PrimitiveStubRecord {
    int kind;
    int texture;
    int32_t vertexCount;
    const float* x;
    const float* y;
};
inline PrimitiveStubRecord GR_Draw_StubLastPrimitive()
{
    PrimitiveStubRecord r{};
    r.vertexCount = GR_Draw_StubLastPrimitive(&r.kind, &r.texture, &r.x, &r.y);
    return r;
}
void GR_Draw_StubReset();

// VertexFormat.h
// Test hook: makes id name the format (null forgets it).
void VertexFormat_SetForTest(int id, VertexFormat* format);

// IO_Input.h
// Stand-in bookkeeping for tests: how often the pause event and the device
// rescans were asked for.
extern int Kivo_PauseEvents;
extern int IO_DeviceRescans;
