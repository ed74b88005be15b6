#pragma once
// Texture objects: device textures created lazily from CPU-side records, the
// eight sampler stages, the render-target stack, the white texture and the
// render target the size of the back buffer into which each frame is drawn.
#include <cstdint>

struct HGPU_Texture;

struct D3DTexture {
    int32_t format;        // 6 = 8-bit RGBA
    int32_t width, height;
    int32_t creationFlag;
    bool renderTarget;
    uint32_t* pixels;      // CPU copy, width × height; none for render targets
    HGPU_Texture* colour;  // device texture, made on first use
    HGPU_Texture* depth;   // depth-stencil buffer of a render target
};

constexpr int TEXTURE_OPTION_RENDER_TARGET = 2;

D3DTexture* GR_D3D_CreateTexture(int width, int height, int creationFlag, int options, int format);
bool GR_D3D_UpdateTexture(D3DTexture* texture, int ignored, int width, int height, const uint32_t* pixels);
void GR_D3D_EnsureTextureGPU(D3DTexture* texture, bool resolve);
void GR_D3D_ReleaseTextureGPU(D3DTexture* texture);
void GR_D3D_FreeTexture(D3DTexture* texture);
void GR_D3D_SetTexture(int stage, D3DTexture* texture);

bool GR_D3D_PushRenderTargets();
void GR_D3D_PopRenderTargets();
bool GR_D3D_SetRenderTarget(int index, D3DTexture* texture);
void GR_D3D_ApplyRenderTargets();
// Colour target index (0..3) of the current stack level, none when empty.
D3DTexture* GR_D3D_GetRenderTarget(int index);

void GR_D3D_InitTextures();
void GR_D3D_FreeSpecialTextures();
void GR_D3D_RecreateBackBufferTarget();
D3DTexture* GR_D3D_GetBackBufferTarget();
D3DTexture* GR_D3D_GetWhiteTexture();
