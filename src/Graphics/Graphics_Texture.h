#pragma once
// The game texture table: game-visible texture indices over texture records.
#include <cstdint>

struct D3DTexture;

void GR_Texture_Init();
int GR_Texture_CreateFromPixels(const uint32_t* pixels, int width, int height);
D3DTexture* GR_Texture_GetD3DTexture(int index);
void GR_Texture_Free(int index);
void GR_Texture_ReleaseAllGPU();
