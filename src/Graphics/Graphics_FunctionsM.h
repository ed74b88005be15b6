#pragma once
// Moving pixels between device textures and memory, and the device viewport.
// Pixel arrays are 0xAABBGGRR words, rows of the requested width without
// padding, allocated through the memory manager and owned by the caller.
#include <cstdint>

struct D3DTexture;

// Records the viewport and sets it with a matching scissor rectangle.
void GR_D3D_ApplyViewport(int x, int y, int width, int height);
void GR_D3D_GetDeviceViewport(int* x, int* y, int* width, int* height);
// width × height words; the part outside the texture stays 0. Null when
// nothing of the rectangle lies on the texture.
uint32_t* GR_D3D_ReadTexturePixels(D3DTexture* texture, int x, int y, int width, int height);
uint32_t* GR_D3D_ReadTextureRegion(D3DTexture* texture, int x, int y, int width, int height);
// Writes the part of the rectangle that lies on the texture.
void GR_D3D_WriteTexturePixels(const uint32_t* pixels, D3DTexture* texture, int x, int y, int width, int height);
// Draws a part of source into destination (bound as the render target for
// the copy) at (x, y), unscaled and unblended.
void GR_D3D_CopySurfacePart(D3DTexture* destination, int x, int y, D3DTexture* source, int sx, int sy, int width,
                            int height);
// A rectangle of the frame in render-target pixels, its width and height cut
// to the limit; the array is exactly the cut size, given back through
// width and height when they are not null.
uint32_t* GR_D3D_ReadScreenPixels(int limitWidth, int limitHeight, int x, int y, int width, int height,
                                  int* outWidth = nullptr, int* outHeight = nullptr);
