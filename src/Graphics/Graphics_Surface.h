#pragma once
// Surfaces: off-screen render targets the game creates, draws into and draws
// from, known to game code by small integer ids. Also the surface target
// stack: setting a surface as target saves the viewport, the 2D view, sprite
// culling and the bound targets, and resetting the target puts them back.
// Every surface is lost with the device (reset or re-creation); the game
// makes again what it needs.
#include <cstdint>

class TBitmap;

struct SSurface {
    int32_t id;
    int32_t texture;  // game texture index of its render target; -1 once released
    int32_t width, height;
};

// The application surface, into which the room's views are drawn: its id
// (none until the first frame makes it) and its recorded size.
constexpr int32_t APPLICATION_SURFACE_NONE = static_cast<int32_t>(0xFEEEDEADu);
extern int32_t ApplicationSurface;
extern int32_t ApplicationSurfaceWidth, ApplicationSurfaceHeight;

// What the stack needs of the layers above: the 2D view of a target (through
// the default camera while cameras are in use) and GUI space, which a reset
// during the GUI events re-establishes instead of the saved view. Set by
// Runner_InstallHooks; until then (and for a null slot) the renderer's own
// 2D view is set and there is no GUI pass.
struct SurfaceHooks {
    void (*setView)(float x, float y, float width, float height, float angle);
    bool (*guiActive)();
    void (*guiBegin)();
};
// Returns the hooks it replaces.
SurfaceHooks GR_Surface_SetHooks(const SurfaceHooks& hooks);

// id < 0 makes a new surface; id >= 0 gives an existing one a new target of
// the size. -1 when the id names no surface or the size is not drawable.
int32_t GR_Surface_Create(int32_t width, int32_t height, int32_t id);
// As GR_Surface_Create, with a depth buffer and a format kind (0 8-bit RGBA,
// 1 16-bit float red, 2 32-bit float red).
int32_t GR_Surface_CreateSpecial(int32_t width, int32_t height, int32_t id, int32_t formatKind);
bool GR_Surface_Exists(int32_t id);
SSurface* GR_Surface_Get(int32_t id);
// -1 for an unknown id.
int32_t GR_Surface_GetWidth(int32_t id);
int32_t GR_Surface_GetHeight(int32_t id);
int32_t GR_Surface_GetTexture(int32_t id);
// The application surface is kept unless forced.
void GR_Surface_Free(int32_t id, bool force);
// Releases the target (resetting it first while it is bound); null for an unknown id.
SSurface* GR_Surface_FreeTexture(int32_t id);
bool GR_Surface_Resize(int32_t id, int32_t width, int32_t height);
// Device reset and re-creation: every surface goes, the application surface
// included.
void GR_Surface_ReleaseAll();
// Shutdown, after every game texture was freed: the records go, the id
// counter and the stack start again.
void GR_Surface_ForgetAll();

// Slot 0 pushes a level of the stack; slots 1..3 bind further colour targets
// in the current level. False for a bad slot or surface, or a full stack.
bool GR_Surface_SetTarget(int32_t slot, int32_t id);
// False, with every stack as it was, when nothing was set.
bool GR_Surface_ResetTarget();
// Saved levels on the surface stack.
int32_t GR_Surface_StackDepth();

// Drawing a surface's image; false for an unknown id. Angles in degrees.
bool GR_Surface_Draw(int32_t id, float x, float y);
bool GR_Surface_DrawExt(int32_t id, float x, float y, float xScale, float yScale, float angle, uint32_t colour,
                        float alpha);
bool GR_Surface_DrawStretched(int32_t id, float x, float y, float width, float height, uint32_t colour, float alpha);
// Also reports "Trying to use non-existing surface." for an unknown id.
bool GR_Surface_DrawPart(int32_t id, float left, float top, float width, float height, float x, float y,
                         float xScale, float yScale, uint32_t colour, float alpha);
bool GR_Surface_DrawGeneral(int32_t id, float left, float top, float width, float height, float x, float y,
                            float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha);
bool GR_Surface_DrawTiled(int32_t id, float x, float y, float xScale, float yScale, bool hRepeat, bool vRepeat,
                          float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                          float alpha);

// A rectangle of the surface as a 32-bit bitmap; null without a device or
// surface, or when nothing of the rectangle lies on it.
TBitmap* GR_Surface_ToBitmap(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
// A new memory-manager block of width × height 0xAABBGGRR words of the
// surface (the part outside it 0), owned by the caller; null as above.
uint32_t* GR_Surface_ReadPixels(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
// Uploads width × height 0xAABBGGRR words into the part of the rectangle
// that lies on the surface.
void GR_Surface_WritePixels(int32_t id, const uint32_t* pixels, int32_t x, int32_t y, int32_t width,
                            int32_t height);
