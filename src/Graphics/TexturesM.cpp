#include "Graphics/TexturesM.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/ImageLimits.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/TexturesM_Internal.h"
#include "Host/Host_GPU.h"
#include "GameData/GameData.h"

int32_t GR_D3D_TextureSwitchCount = 0;

namespace {

constexpr int kMaxTextureSize = 2048;
constexpr uint32_t kRawHeaderSize = 16;

D3DTexture* g_FirstTexture = nullptr;

bool IsRaw(const uint8_t* data, uint32_t size) { return size >= kRawHeaderSize && std::memcmp(data, "RAW ", 4) == 0; }

bool IsPng(const uint8_t* data, uint32_t size)
{
    return size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

HGPU_Format DeviceFormat(int format)
{
    switch (format) {
    case 1: case 2: return HGPU_Format::BC1;
    case 3: case 4: return HGPU_Format::BC2;
    case 5: return HGPU_Format::BC3;
    case TEXTURE_FORMAT_RGBA8: return HGPU_Format::R8G8B8A8;
    case TEXTURE_FORMAT_R16F: case TEXTURE_FORMAT_TARGET_R16F: return HGPU_Format::R16F;
    case TEXTURE_FORMAT_R32F: case TEXTURE_FORMAT_TARGET_R32F: return HGPU_Format::R32F;
    case TEXTURE_FORMAT_B5G6R5: return HGPU_Format::B5G6R5;
    default: return HGPU_Format::Unknown;
    }
}

bool InGameData(const void* pointer)
{
    const auto* p = static_cast<const uint8_t*>(pointer);
    return GameData && p >= GameData && p < GameData + GameDataSize;
}

void Link(D3DTexture* texture)
{
    texture->next = g_FirstTexture;
    g_FirstTexture = texture;
}

void Unlink(D3DTexture* texture)
{
    for (D3DTexture** link = &g_FirstTexture; *link; link = &(*link)->next) {
        if (*link != texture) continue;
        *link = texture->next;
        return;
    }
}

// The device objects of a record. The GPU part stays even when creation
// failed, so a broken texture is reported once and drawn as white until its
// device objects are released and tried again.
void CreateTextureGPU(D3DTexture* texture)
{
    auto* gpu = static_cast<D3DTextureGPU*>(QS_ALLOC(sizeof(D3DTextureGPU), true));
    texture->gpu = gpu;
    gpu->width = texture->width;
    gpu->height = texture->height;
    gpu->format = texture->format;
    gpu->bindFlags = HGPU_BIND_SHADER_RESOURCE;
    const HGPU_Format format = DeviceFormat(texture->format);

    const uint8_t* pixels = nullptr;
    int sourceWidth = texture->width, sourceHeight = texture->height, pitch = 0;
    bool decoded = false;
    if (texture->source && IsRaw(texture->source, texture->sourceSize)) {
        pixels = texture->source + kRawHeaderSize;
        sourceWidth = static_cast<int>(ReadU32(texture->source + 4));
        sourceHeight = static_cast<int>(ReadU32(texture->source + 8));
        pitch = GR_D3D_BytesPerPixel(texture->format) * sourceWidth;
    } else if (texture->source) {
        pixels = ReadPNG_GetPixels(texture->source, static_cast<int>(texture->sourceSize), &sourceWidth,
                                   &sourceHeight, true);
        pitch = 4 * sourceWidth;
        decoded = true;
    } else if (texture->pixels) {
        pixels = reinterpret_cast<const uint8_t*>(texture->pixels);
        pitch = 4 * texture->width;
    }
    const bool target = !texture->source && !texture->pixels;

    int samples = 1;
    if (target) {
        const int level = GR_D3D_AntialiasLevel;
        if (level > 0 && HGPU_CheckMultisampleQualityLevels(format, level) > 0) {
            samples = level;
            gpu->multisample =
                HGPU_CreateTexture(texture->width, texture->height, format, HGPU_BIND_RENDER_TARGET, samples, nullptr);
            if (!gpu->multisample) GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateTexture2D", __LINE__, __FILE__);
            gpu->flags |= TEXTURE_GPU_MULTISAMPLED;
        } else {
            gpu->bindFlags |= HGPU_BIND_RENDER_TARGET;
        }
    }
    gpu->texture = HGPU_CreateTexture(texture->width, texture->height, format, gpu->bindFlags, 1, nullptr);
    if (!gpu->texture) {
        GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateTexture2D", __LINE__, __FILE__);
    } else if (pixels && sourceWidth > 0 && sourceHeight > 0) {
        const int w = sourceWidth < texture->width ? sourceWidth : texture->width;
        const int h = sourceHeight < texture->height ? sourceHeight : texture->height;
        HGPU_UpdateTexture(gpu->texture, 0, 0, w, h, pixels, pitch);
    }
    if (decoded) ReadPNG_Free();
    if (!target) return;
    gpu->depth = HGPU_CreateTexture(texture->width, texture->height, HGPU_Format::D24S8, HGPU_BIND_DEPTH_STENCIL,
                                    samples, nullptr);
    if (!gpu->depth) GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateDepthStencilView", __LINE__, __FILE__);
}

}  // namespace

int GR_D3D_GetMaxTextureSize() { return kMaxTextureSize; }

int GR_D3D_NextPow2(int n)
{
    int p = 1;
    while (p < n && p < kMaxTextureSize) p <<= 1;
    return p;
}

int GR_D3D_BytesPerPixel(int format)
{
    switch (format) {
    case TEXTURE_FORMAT_RGBA8: case TEXTURE_FORMAT_R32F: case TEXTURE_FORMAT_TARGET_R32F: return 4;
    case TEXTURE_FORMAT_R16F: case TEXTURE_FORMAT_TARGET_R16F: case TEXTURE_FORMAT_B5G6R5: return 2;
    default: return 1;
    }
}

D3DTexture* GR_D3D_FirstTexture() { return g_FirstTexture; }

D3DTexture* GR_D3D_CreateTexture(int width, int height, int creationFlag, int options, int format)
{
    auto* texture = static_cast<D3DTexture*>(QS_ALLOC(sizeof(D3DTexture), true));
    texture->format = format;
    texture->creationFlag = creationFlag;
    Link(texture);
    if (width <= 0 || height <= 0) return texture;
    if (options & TEXTURE_OPTION_RENDER_TARGET) {
        texture->width = width;
        texture->height = height;
        texture->creationFlag = 0;
        return texture;
    }
    texture->width = GR_D3D_NextPow2(width);
    texture->height = GR_D3D_NextPow2(height);
    texture->pixels = static_cast<uint32_t*>(
        QS_ALLOC(static_cast<size_t>(texture->width) * texture->height * 4 + 16, true));
    return texture;
}

D3DTexture* GR_D3D_CreateTextureFromPixels(const uint32_t* pixels, int width, int height, TextureInfo* info)
{
    D3DTexture* texture = GR_D3D_CreateTexture(width, height, 0, 0, TEXTURE_FORMAT_RGBA8);
    if (info) *info = TextureInfo{texture->width, texture->height, 32, TEXTURE_FORMAT_RGBA8};
    GR_D3D_UpdateTexture(texture, 0, width, height, pixels);
    return texture;
}

D3DTexture* GR_D3D_CreateTextureFromImage(const uint8_t* data, uint32_t size, TextureInfo* info)
{
    if (!data) return nullptr;
    int width = 0, height = 0, format = TEXTURE_FORMAT_RGBA8, bits = 32;
    if (IsRaw(data, size)) {
        width = static_cast<int>(ReadU32(data + 4));
        height = static_cast<int>(ReadU32(data + 8));
        if (ReadU32(data + 12) == 1) {
            format = TEXTURE_FORMAT_B5G6R5;
            bits = 16;
        }
        // The pixels must lie inside the block that claims them.
        if (!Image_SizeAllowed(width, height) ||
            static_cast<uint64_t>(width) * height * (bits / 8) > size - kRawHeaderSize) {
            LogConsole->Output("Texture image: RAW block of %d x %d does not fit its %u bytes\n", width, height, size);
            return nullptr;
        }
    } else if (IsPng(data, size)) {
        if (!ReadPNG_GetSize(data, static_cast<int>(size), &width, &height, true)) {
            LogConsole->Output("an error occured");
            width = height = 1;
        }
    } else {
        return nullptr;
    }
    auto* texture = static_cast<D3DTexture*>(QS_ALLOC(sizeof(D3DTexture), true));
    texture->format = format;
    texture->width = width;
    texture->height = height;
    texture->source = data;
    texture->sourceSize = size;
    Link(texture);
    if (info) *info = TextureInfo{width, height, bits, format};
    return texture;
}

bool GR_D3D_UpdateTexture(D3DTexture* texture, int, int width, int height, const uint32_t* pixels)
{
    if (!texture || !pixels || width <= 0 || height <= 0 || texture->width <= 0 || texture->height <= 0) return true;
    uint32_t* copy = texture->pixels;
    if (!copy) return true;
    const int tw = texture->width, th = texture->height;
    if (texture->format != TEXTURE_FORMAT_B5G6R5) {
        const int rows = height < th ? height : th, columns = width < tw ? width : tw;
        for (int y = 0; y < rows; ++y) {
            uint32_t* row = copy + static_cast<size_t>(y) * tw;
            const uint32_t* from = pixels + static_cast<size_t>(y) * width;
            std::memcpy(row, from, static_cast<size_t>(columns) * 4);
            // One repeated column and row keep linear filtering from pulling in
            // whatever lies beside the image.
            if (width < tw) row[width] = from[width - 1];
        }
        if (height < th) {
            uint32_t* row = copy + static_cast<size_t>(height) * tw;
            std::memcpy(row, copy + static_cast<size_t>(height - 1) * tw, static_cast<size_t>(columns) * 4);
            if (width < tw) row[width] = pixels[static_cast<size_t>(height - 1) * width + width - 1];
        }
    }
    GR_D3D_EnsureTextureGPU(texture, false);
    if (texture->gpu && texture->gpu->texture)
        HGPU_UpdateTexture(texture->gpu->texture, 0, 0, tw, th, copy, tw * 4);
    return true;
}

bool GR_D3D_UpdateTextureRect(D3DTexture* texture, int x, int y, int width, int height)
{
    if (!texture || !texture->pixels) return false;
    if (!texture->gpu || !texture->gpu->texture) return true;
    if (x < 0) {
        width += x;
        x = 0;
    }
    if (y < 0) {
        height += y;
        y = 0;
    }
    if (x + width > texture->width) width = texture->width - x;
    if (y + height > texture->height) height = texture->height - y;
    if (width <= 0 || height <= 0) return true;
    HGPU_UpdateTexture(texture->gpu->texture, x, y, width, height,
                       texture->pixels + static_cast<size_t>(y) * texture->width + x, texture->width * 4);
    return true;
}

void GR_D3D_EnsureTextureGPU(D3DTexture* texture, bool resolve)
{
    if (!texture || texture->width <= 0 || texture->height <= 0 || !HGPU_HasDevice()) return;
    if (!texture->gpu) CreateTextureGPU(texture);
    D3DTextureGPU* gpu = texture->gpu;
    // A target still bound may have been drawn into since its last resolve.
    if (resolve && (gpu->flags & TEXTURE_GPU_MULTISAMPLED) &&
        ((gpu->flags & TEXTURE_GPU_RESOLVE_PENDING) || Textures_IsCurrentColourTarget(texture))) {
        HGPU_ResolveTexture(gpu->texture, gpu->multisample);
        gpu->flags &= ~TEXTURE_GPU_RESOLVE_PENDING;
    }
}

void GR_D3D_PrepareTexture(D3DTexture* texture) { GR_D3D_EnsureTextureGPU(texture, true); }

void GR_D3D_ReleaseTextureGPU(D3DTexture* texture)
{
    if (!texture || !texture->gpu) return;
    Textures_ForgetStageBinding(texture);
    HGPU_ReleaseTexture(texture->gpu->texture);
    HGPU_ReleaseTexture(texture->gpu->multisample);
    HGPU_ReleaseTexture(texture->gpu->depth);
    QS_FREE(texture->gpu);
    texture->gpu = nullptr;
}

void GR_D3D_FlushTexture(D3DTexture* texture)
{
    if (!texture) return;
    GR_VertexBuilder_ForgetTexture(texture);
    GR_D3D_UnbindRenderTarget(texture);
    GR_D3D_ReleaseTextureGPU(texture);
}

bool GR_D3D_FreeTexture(D3DTexture* texture)
{
    if (!texture) return true;
    GR_VertexBuilder_ForgetTexture(texture);
    if (texture != GR_D3D_GetBackBufferTarget() && Textures_IsActiveColourTarget(texture)) {
        ReportRuntimeError("Cannot free this surface - call surface_reset_target before calling surface_free\n", false);
        return false;
    }
    Textures_RemoveFromAllLevels(texture);
    Textures_UnbindFromStages(texture);
    GR_D3D_ReleaseTextureGPU(texture);
    if (texture->source && !InGameData(texture->source) && !GR_D3D_IsBuiltinTextureData(texture->source))
        QS_FREE(const_cast<uint8_t*>(texture->source));
    QS_FREE(texture->pixels);
    Unlink(texture);
    QS_FREE(texture);
    return true;
}

HGPU_Texture* GR_D3D_GetTextureView(D3DTexture* texture)
{
    GR_D3D_EnsureTextureGPU(texture, true);
    return (texture && texture->gpu) ? texture->gpu->texture : nullptr;
}

HGPU_Texture* GR_D3D_GetTargetView(D3DTexture* texture)
{
    GR_D3D_EnsureTextureGPU(texture, false);
    if (!texture || !texture->gpu) return nullptr;
    return texture->gpu->multisample ? texture->gpu->multisample : texture->gpu->texture;
}

HGPU_Texture* GR_D3D_GetDepthView(D3DTexture* texture)
{
    GR_D3D_EnsureTextureGPU(texture, false);
    return (texture && texture->gpu) ? texture->gpu->depth : nullptr;
}
