#pragma once
// Texture objects: device textures created lazily from CPU-side records (a
// CPU copy of the pixels, or encoded image data left in memory) and dropped
// at any time, the eight sampler stages, the render-target stack, the white
// texture, the render target the size of the back buffer into which each
// frame is drawn, and the table of images built into the program.
#include <cstdint>

struct HGPU_Texture;

// Texture format codes: 1 and 2 BC1, 3 and 4 BC2, 5 BC3, 6 8-bit RGBA,
// 9 and 12 16-bit float red, 10 and 13 32-bit float red, 11 B5G6R5; others
// have none, and their device textures cannot be made.
constexpr int TEXTURE_FORMAT_RGBA8 = 6;
constexpr int TEXTURE_FORMAT_R16F = 9;
constexpr int TEXTURE_FORMAT_R32F = 10;
constexpr int TEXTURE_FORMAT_B5G6R5 = 11;
// Render targets of the float surface kinds.
constexpr int TEXTURE_FORMAT_TARGET_R16F = 12;
constexpr int TEXTURE_FORMAT_TARGET_R32F = 13;

constexpr int TEXTURE_OPTION_RENDER_TARGET = 2;

struct D3DTextureGPU {
    int width, height;
    int format;                  // texture format code
    uint32_t bindFlags;
    HGPU_Texture* texture;       // sampled; the resolve target of a multisampled target
    HGPU_Texture* multisample;   // drawn into when multisampled
    HGPU_Texture* depth;         // depth-stencil buffer of a render target
    uint32_t flags;              // TEXTURE_GPU_*
};
constexpr uint32_t TEXTURE_GPU_RESOLVE_PENDING = 1;
constexpr uint32_t TEXTURE_GPU_MULTISAMPLED = 2;

struct D3DTexture {
    int32_t format;
    int32_t width, height;       // powers of two for textures from pixels; exact otherwise
    int32_t creationFlag;
    D3DTextureGPU* gpu;          // owned; none until first use
    uint32_t* pixels;            // CPU copy, width × height words; none for targets and image-backed textures
    const uint8_t* source;       // "RAW " block or PNG bytes; none otherwise
    uint32_t sourceSize;
    D3DTexture* next;            // every texture, newest first
};

// What a creation from pixels or image data reports about the texture.
struct TextureInfo {
    int width, height;
    int bitsPerPixel;
    int format;
};

D3DTexture* GR_D3D_CreateTexture(int width, int height, int creationFlag, int options, int format);
D3DTexture* GR_D3D_CreateTextureFromPixels(const uint32_t* pixels, int width, int height, TextureInfo* info);
// A texture over a "RAW " block or PNG bytes, which stay where they are. The
// record owns them unless they lie in the game data or the built-in table;
// they must then come from the memory manager. Null for anything else.
D3DTexture* GR_D3D_CreateTextureFromImage(const uint8_t* data, uint32_t size, TextureInfo* info);
bool GR_D3D_UpdateTexture(D3DTexture* texture, int ignored, int width, int height, const uint32_t* pixels);
bool GR_D3D_UpdateTextureRect(D3DTexture* texture, int x, int y, int width, int height);
void GR_D3D_EnsureTextureGPU(D3DTexture* texture, bool resolve);
void GR_D3D_PrepareTexture(D3DTexture* texture);
void GR_D3D_ReleaseTextureGPU(D3DTexture* texture);
void GR_D3D_FlushTexture(D3DTexture* texture);
// False, with a runtime error, while the texture is a colour target in use.
bool GR_D3D_FreeTexture(D3DTexture* texture);
// The first texture of the list of every texture (newest first).
D3DTexture* GR_D3D_FirstTexture();

void GR_D3D_SetTexture(int stage, D3DTexture* texture);
void GR_D3D_BindTexture(int stage, D3DTexture* texture, bool forced);
// The device texture to sample or read back (resolved first), none without one.
HGPU_Texture* GR_D3D_GetTextureView(D3DTexture* texture);
// The device texture drawn into (the multisampled one when there is one).
HGPU_Texture* GR_D3D_GetTargetView(D3DTexture* texture);
HGPU_Texture* GR_D3D_GetDepthView(D3DTexture* texture);

bool GR_D3D_PushRenderTargets();
void GR_D3D_PopRenderTargets();
bool GR_D3D_SetRenderTarget(int index, D3DTexture* texture);
void GR_D3D_UnbindRenderTarget(D3DTexture* texture);
void GR_D3D_ApplyRenderTargets();
// Colour target index (0..3) and depth target of the current stack level.
D3DTexture* GR_D3D_GetRenderTarget(int index);
D3DTexture* GR_D3D_GetDepthTarget();
int GR_D3D_GetRenderTargetLevel();

void GR_D3D_InitTextures();
void GR_D3D_FreeSpecialTextures();
void GR_D3D_RecreateBackBufferTarget();
D3DTexture* GR_D3D_CreateWhiteTexture();
void GR_D3D_ResetSamplerStages();
D3DTexture* GR_D3D_GetBackBufferTarget();
D3DTexture* GR_D3D_GetWhiteTexture();

int GR_D3D_GetMaxTextureSize();
int GR_D3D_NextPow2(int n);
// Bytes of one pixel of a texture format code when uploading.
int GR_D3D_BytesPerPixel(int format);

// Per-frame count of texture switches (debug overlay).
extern int32_t GR_D3D_TextureSwitchCount;

// Built-in images: a table of s32 count, then count {s32 size, s32 offset
// from the table start}, each entry a "RAW " block or a PNG file. The
// table's bytes are checked against its size before use.
bool GR_D3D_SetBuiltinTextures(const uint8_t* table, uint32_t tableSize);
// Start-up names where the table comes from; it is made on first use, so a
// start that never draws never pays for it.
using BuiltinTableSource = const uint8_t* (*)(uint32_t* size);
void GR_D3D_SetBuiltinTextureSource(BuiltinTableSource source);
D3DTexture* GR_D3D_CreateBuiltinTexture(int index);
bool GR_D3D_IsBuiltinTextureData(const void* pointer);
int GR_D3D_BuiltinTextureCount();
