#pragma once
// Textured quads: an image (a texture-page entry, a game texture index or a
// device texture with a UV rectangle) plus a placement becomes six vertices
// of a triangle list in the batch. Angles in radians; a positive angle turns
// the image counter-clockwise on screen. Colours 0x00BBGGRR, alpha 0..1. The
// routines return false when the image is missing.
#include <cstdint>

struct STexturePageEntry;
struct D3DTexture;

// When on, each quad corner carries its number in the lowest bits of red and
// blue (shader_enable_corner_id).
extern bool GR_CornerIdEnabled;
// Whether the active camera draws in 3D (tiling across the view is then one
// image). Cameras sit above the renderer: set by Runner_InstallHooks; until
// then (and for null) cameras are 2D.
void GR_SetActiveCameraIs3DHook(bool (*is3D)());
bool GR_ActiveCameraIs3D();

bool GR_TPE_DrawExt(const STexturePageEntry* entry, float xOrigin, float yOrigin, float x, float y, float xScale,
                    float yScale, float angle, uint32_t colour, float alpha);
bool GR_TPE_Draw(const STexturePageEntry* entry, float x, float y);
bool GR_TPE_DrawPart(const STexturePageEntry* entry, float left, float top, float width, float height, float x,
                     float y, float xScale, float yScale, float angle, uint32_t colour, float alpha);
bool GR_TPE_DrawGeneral(const STexturePageEntry* entry, float left, float top, float width, float height, float x,
                        float y, float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                        uint32_t colourBR, uint32_t colourBL, float alpha);
bool GR_TPE_DrawPos(const STexturePageEntry* entry, float x1, float y1, float x2, float y2, float x3, float y3,
                    float x4, float y4, uint32_t colour, float alpha);
bool GR_TPE_DrawTiled(const STexturePageEntry* entry, float xOrigin, float yOrigin, float x, float y, float xScale,
                      float yScale, bool hRepeat, bool vRepeat, uint32_t colour, float alpha);

// Copies game texture index unchanged onto the back buffer at (0, 0) when the
// back buffer is the only colour target, the two have one size and every
// colour channel is written; false, with nothing done, otherwise. The batch
// must have been flushed.
bool GR_Texture_CopyToBackBuffer(int index);
bool GR_Texture_DrawExt(int index, float xOrigin, float yOrigin, float x, float y, float xScale, float yScale,
                        float angle, uint32_t colour, float alpha);
bool GR_Texture_Draw(int index, float x, float y);
bool GR_Texture_DrawPart(int index, float left, float top, float width, float height, float x, float y, float xScale,
                         float yScale, float angle, uint32_t colour, float alpha);
bool GR_Texture_DrawGeneral(int index, float left, float top, float width, float height, float x, float y,
                            float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha);
bool GR_Texture_DrawTiled(int index, float xOrigin, float yOrigin, float x, float y, float xScale, float yScale,
                          bool hRepeat, bool vRepeat, float regionLeft, float regionTop, float regionWidth,
                          float regionHeight, uint32_t colour, float alpha);

// corners: (x, y) pairs top-left, top-right, bottom-right, bottom-left;
// colours: full vertex colour words in the same order.
bool GR_D3D_DrawTexturedQuad(D3DTexture* texture, const float corners[8], float uL, float vT, float uR, float vB,
                             const uint32_t colours[4]);
