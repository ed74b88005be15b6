#include "Graphics/Graphics_Texture.h"

#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/TexturesM.h"

namespace {

STexture** g_Table = nullptr;
int g_Count = 0;

STexture* Record(int index)
{
    return (index >= 0 && index < g_Count && g_Table[index]->inUse) ? g_Table[index] : nullptr;
}

// Stores a texture in a fresh slot with its logical size and the texel
// sizes of the device texture (1 without one).
int Store(D3DTexture* texture, int width, int height)
{
    const int index = GR_Texture_AllocSlot();
    STexture* record = g_Table[index];
    record->texture = texture;
    record->width = static_cast<int16_t>(width);
    record->height = static_cast<int16_t>(height);
    const bool sized = texture && texture->width > 0 && texture->height > 0;
    record->texelWidth = sized ? 1.0f / static_cast<float>(texture->width) : 1.0f;
    record->texelHeight = sized ? 1.0f / static_cast<float>(texture->height) : 1.0f;
    record->inUse = 1;
    return index;
}

}  // namespace

int GR_Texture_AllocSlot()
{
    for (int i = 0; i < g_Count; ++i)
        if (!g_Table[i]->inUse) return i;
    g_Table = static_cast<STexture**>(QS_REALLOC(g_Table, sizeof(STexture*) * static_cast<size_t>(g_Count + 1)));
    g_Table[g_Count] = static_cast<STexture*>(QS_ALLOC(sizeof(STexture), true));
    return g_Count++;
}

int GR_Texture_AddD3D(D3DTexture* texture, int width, int height)
{
    const int index = Store(texture, width, height);
    g_Table[index]->texelWidth = width > 0 ? 1.0f / static_cast<float>(width) : 1.0f;
    g_Table[index]->texelHeight = height > 0 ? 1.0f / static_cast<float>(height) : 1.0f;
    return index;
}

int GR_Texture_CreateFromImage(const uint8_t* data, int size, bool)
{
    TextureInfo info{};
    D3DTexture* texture = size > 0 ? GR_D3D_CreateTextureFromImage(data, static_cast<uint32_t>(size), &info) : nullptr;
    return Store(texture, texture ? info.width : 0, texture ? info.height : 0);
}

int GR_Texture_Create(int width, int height, const void* data, int size)
{
    D3DTexture* texture = nullptr;
    if (width > 0 && height > 0 && static_cast<int64_t>(width) * height * 4 == size)
        texture = GR_D3D_CreateTextureFromPixels(static_cast<const uint32_t*>(data), width, height, nullptr);
    else if (size > 0)
        texture = GR_D3D_CreateTextureFromImage(static_cast<const uint8_t*>(data), static_cast<uint32_t>(size), nullptr);
    return Store(texture, width, height);
}

int GR_Texture_CreateAlpha8(int width, int height, const uint8_t* coverage)
{
    if (width <= 0 || height <= 0 || !coverage) return -1;
    const size_t count = static_cast<size_t>(width) * height;
    auto* pixels = static_cast<uint32_t*>(QS_ALLOC(count * 4, true));
    for (size_t i = 0; i < count; ++i) pixels[i] = (static_cast<uint32_t>(coverage[i]) << 24) + 0xFFFFFFu;
    D3DTexture* texture = GR_D3D_CreateTexture(width, height, 1, 0, TEXTURE_FORMAT_RGBA8);
    int index = Store(texture, width, height);
    if (!GR_D3D_UpdateTexture(texture, 0, width, height, pixels)) {
        GR_Texture_Free(index);
        index = -1;
    }
    QS_FREE(pixels);
    return index;
}

int GR_Texture_CreateRenderTarget(int width, int height, bool target, bool depth, int formatKind)
{
    const int options = target ? (depth ? 10 : TEXTURE_OPTION_RENDER_TARGET) : 0;
    const int format = formatKind == 1 ? TEXTURE_FORMAT_TARGET_R16F
                     : formatKind == 2 ? TEXTURE_FORMAT_TARGET_R32F
                                       : TEXTURE_FORMAT_RGBA8;
    return Store(GR_D3D_CreateTexture(width, height, 0, options, format), width, height);
}

bool GR_Texture_Exists(int index) { return Record(index) != nullptr; }

D3DTexture* GR_Texture_GetD3D(int index)
{
    const STexture* record = Record(index);
    return record ? record->texture : nullptr;
}

float GR_Texture_GetWidth(int index)
{
    const STexture* record = Record(index);
    return record ? static_cast<float>(record->width) * record->texelWidth : 1.0f;
}

float GR_Texture_GetHeight(int index)
{
    const STexture* record = Record(index);
    return record ? static_cast<float>(record->height) * record->texelHeight : 1.0f;
}

void GR_Texture_Free(int index)
{
    STexture* record = Record(index);
    if (!record) return;
    // A texture still bound as a render target is not freed, and its slot is
    // kept so that no other texture takes the index while it lives.
    if (record->texture && !GR_D3D_FreeTexture(record->texture)) return;
    record->texture = nullptr;
    record->inUse = 0;
}

void GR_Texture_FreeAll()
{
    for (int i = 0; i < g_Count; ++i) {
        if (g_Table[i]->inUse) GR_D3D_FreeTexture(g_Table[i]->texture);
        QS_FREE(g_Table[i]);
    }
    QS_FREE(g_Table);
    g_Table = nullptr;
    g_Count = 0;
    GR_Surface_ForgetAll();
}

void GR_Texture_FreeTable()
{
    for (int i = 0; i < g_Count; ++i) QS_FREE(g_Table[i]);
    QS_FREE(g_Table);
    g_Table = nullptr;
    g_Count = 0;
}

void GR_Texture_FlushAll()
{
    for (D3DTexture* texture = GR_D3D_FirstTexture(); texture; texture = texture->next) GR_D3D_FlushTexture(texture);
}

STexture* GR_Texture_Preload(int index)
{
    if (index < 0 || index >= g_Count) return nullptr;
    return g_Table[index];
}

void GR_Texture_SetPriority(int, int) {}

int GR_Texture_Count() { return g_Count; }

uint32_t GR_ColourAlpha(uint32_t colour, float alpha)
{
    const float scaled = alpha * 255.0f;
    // Clamped before the conversion, which is only defined inside the int
    // range (NaN counts as 0).
    const int a = scaled >= 256.0f ? 255 : scaled >= 0.0f ? static_cast<int>(scaled) : 0;
    return (colour & 0xFFFFFFu) | (static_cast<uint32_t>(a > 255 ? 255 : a) << 24);
}
