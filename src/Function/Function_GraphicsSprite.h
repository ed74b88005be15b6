#pragma once
// The image built-ins of the "Graphic.." group: sprite and background draws,
// draw_self, the texture and UV queries of sprites, backgrounds and fonts,
// and the pixel read-backs.
#include <cstdint>

struct ScriptValue;
class CInstance;

void InitGraphicSpriteFunctions();
void InitGraphicBackgroundFunctions();

// The UV array of a texture handle (a game texture index, or above the
// texture count a page-entry handle): [left, top, right, bottom, x offset,
// y offset, width ratio, height ratio]; the first count values of it.
void Graphics_ReturnTextureUVs(ScriptValue* result, int32_t handle, int count);
// The calling instance's current frame: the floor of its image_index.
int32_t Graphics_CurrentFrame(const CInstance* self);
// Room width and height of the current room, 0 without one.
float Graphics_RoomWidth();
float Graphics_RoomHeight();
