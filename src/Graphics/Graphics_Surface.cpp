// The surface records by id, their render targets and the surface target
// stack over the texture layer's stack of bound targets.
#include "Graphics/Graphics_Surface.h"

#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/Hash.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"

int32_t ApplicationSurface = APPLICATION_SURFACE_NONE;
int32_t ApplicationSurfaceWidth = -1, ApplicationSurfaceHeight = -1;
namespace {
bool NoGui() { return false; }
void Nothing() {}
SurfaceHooks s_hooks = {GR_D3D_SetView, NoGui, Nothing};

constexpr float kDegreesToRadians = 0.017453292f;
constexpr int kFormatKindRGBA = 4;

// One saved level: what setting a target changed.
struct StackEntry {
    int32_t viewport[4];
    RendererViewRectangle view;
    bool noSpriteCulling;
    int32_t bound[4];
};
// The texture layer's eight levels are met long before this.
constexpr int kMaxEntries = 35;

StackEntry g_Stack[kMaxEntries];
int32_t g_Depth = 0;
int32_t g_Bound[4] = {-1, -1, -1, -1};
int32_t g_NextId = 0;

Hash<SSurface>& Map()
{
    static Hash<SSurface> map(128);
    return map;
}

D3DTexture* TextureOf(const SSurface* surface)
{
    return surface ? GR_Texture_GetD3D(surface->texture) : nullptr;
}

bool IsBound(int32_t id)
{
    for (int32_t bound : g_Bound)
        if (bound == id) return true;
    return false;
}

void SetView(float x, float y, float width, float height, float angle)
{
    s_hooks.setView(x, y, width, height, angle);
}

bool DrawableSize(int32_t width, int32_t height)
{
    const int32_t limit = GR_D3D_GetMaxTextureSize();
    return width > 0 && height > 0 && width <= limit && height <= limit;
}

int32_t CreateTarget(int32_t width, int32_t height, int32_t id, bool depth, int32_t formatKind)
{
    SSurface* surface = nullptr;
    if (id < 0) {
        if (!DrawableSize(width, height)) return -1;
        while (Map().Find(g_NextId)) ++g_NextId;
        surface = new SSurface{g_NextId++, -1, 0, 0};
        if (!Map().Insert(surface->id, surface)) {
            delete surface;
            return -1;
        }
    } else {
        surface = Map().Find(id);
        if (!surface || !DrawableSize(width, height)) return -1;
    }
    surface->texture = GR_Texture_CreateRenderTarget(width, height, true, depth, formatKind);
    surface->width = width;
    surface->height = height;
    if (surface->id == ApplicationSurface) {
        ApplicationSurfaceWidth = width;
        ApplicationSurfaceHeight = height;
    }
    return surface->id;
}

}  // namespace

int32_t GR_Surface_Create(int32_t width, int32_t height, int32_t id)
{
    return CreateTarget(width, height, id, false, kFormatKindRGBA);
}

int32_t GR_Surface_CreateSpecial(int32_t width, int32_t height, int32_t id, int32_t formatKind)
{
    return CreateTarget(width, height, id, true, formatKind);
}

bool GR_Surface_Exists(int32_t id) { return Map().Find(id) != nullptr; }

SSurface* GR_Surface_Get(int32_t id) { return Map().Find(id); }

int32_t GR_Surface_GetWidth(int32_t id)
{
    if (id == ApplicationSurface && id != APPLICATION_SURFACE_NONE) return ApplicationSurfaceWidth;
    const SSurface* surface = Map().Find(id);
    return surface ? surface->width : -1;
}

int32_t GR_Surface_GetHeight(int32_t id)
{
    if (id == ApplicationSurface && id != APPLICATION_SURFACE_NONE) return ApplicationSurfaceHeight;
    const SSurface* surface = Map().Find(id);
    return surface ? surface->height : -1;
}

int32_t GR_Surface_GetTexture(int32_t id)
{
    const SSurface* surface = Map().Find(id);
    return surface ? surface->texture : -1;
}

void GR_Surface_Free(int32_t id, bool force)
{
    if (id == ApplicationSurface && !force) return;
    GR_VertexBuilder_Flush();
    if (!GR_Surface_FreeTexture(id)) return;
    Map().Delete(id, HASH_DELETE_VALUE);
    if (id == ApplicationSurface) ApplicationSurface = APPLICATION_SURFACE_NONE;
}

SSurface* GR_Surface_FreeTexture(int32_t id)
{
    SSurface* surface = Map().Find(id);
    if (!surface) return nullptr;
    if (IsBound(id)) GR_Surface_ResetTarget();
    // Still bound in a further slot or a saved level, the target would be
    // refused by the texture layer; those levels draw to the frame instead.
    for (int32_t& bound : g_Bound)
        if (bound == id) bound = -1;
    if (D3DTexture* texture = TextureOf(surface)) GR_D3D_UnbindRenderTarget(texture);
    GR_Texture_Free(surface->texture);
    surface->texture = -1;
    return surface;
}

bool GR_Surface_Resize(int32_t id, int32_t width, int32_t height)
{
    GR_VertexBuilder_Flush();
    SSurface* surface = GR_Surface_FreeTexture(id);
    if (!surface) return false;
    surface->width = surface->height = 0;
    if (id == ApplicationSurface) ApplicationSurfaceWidth = ApplicationSurfaceHeight = 1;
    return GR_Surface_Create(width, height, id) >= 0;
}

void GR_Surface_ReleaseAll()
{
    GR_VertexBuilder_Flush();
    // Undone from the top, so that each level restores what it saved.
    while (g_Depth > 0 && GR_Surface_ResetTarget()) {
    }
    for (int32_t& bound : g_Bound) bound = -1;
    Hash<SSurface>& map = Map();
    for (int32_t b = 0; b <= map.mask; ++b)
        for (auto* node = map.buckets[b].first; node; node = node->next) {
            if (D3DTexture* texture = TextureOf(node->value)) GR_D3D_UnbindRenderTarget(texture);
            GR_Texture_Free(node->value->texture);
        }
    map.Clear(HASH_DELETE_VALUE);
    ApplicationSurface = APPLICATION_SURFACE_NONE;
}

void GR_Surface_ForgetAll()
{
    Map().Clear(HASH_DELETE_VALUE);
    ApplicationSurface = APPLICATION_SURFACE_NONE;
    for (int32_t& bound : g_Bound) bound = -1;
    g_Depth = 0;
    g_NextId = 0;
}

bool GR_Surface_SetTarget(int32_t slot, int32_t id)
{
    if (slot < 0 || slot > 3 || !GR_D3D_DeviceExists()) return false;
    GR_VertexBuilder_Flush();
    const SSurface* surface = Map().Find(id);
    D3DTexture* texture = TextureOf(surface);
    if (!texture || g_Depth >= kMaxEntries) return false;
    if (slot > 0) {
        g_Bound[slot] = id;
        return GR_D3D_SetRenderTarget(slot, texture);
    }
    if (!GR_D3D_PushRenderTargets()) {
        ShowRuntimeError(
            "surface stack is full - ensure surface_reset_target() is called for each surface_set_target().", false);
        return false;
    }
    StackEntry& entry = g_Stack[g_Depth++];
    GR_D3D_GetViewport(&entry.viewport[0], &entry.viewport[1], &entry.viewport[2], &entry.viewport[3]);
    entry.view = GR_D3D_GetView();
    entry.noSpriteCulling = NoSpriteCulling;
    std::memcpy(entry.bound, g_Bound, sizeof g_Bound);
    GR_D3D_SetRenderTarget(0, texture);
    GR_D3D_SetViewport(0, 0, surface->width, surface->height);
    SetView(0, 0, static_cast<float>(surface->width), static_cast<float>(surface->height), 0);
    g_Bound[0] = id;
    GR_InvalidateCullRect();
    return true;
}

bool GR_Surface_ResetTarget()
{
    if (!GR_D3D_DeviceExists()) return false;
    GR_VertexBuilder_Flush();
    if (g_Depth == 0) {
        // Nothing was set: the texture layer's levels are left alone, so a
        // stray reset cannot undo a level that someone else pushed.
        g_Bound[0] = -1;
        return false;
    }
    GR_D3D_PopRenderTargets();
    const StackEntry& entry = g_Stack[--g_Depth];
    std::memcpy(g_Bound, entry.bound, sizeof g_Bound);
    NoSpriteCulling = entry.noSpriteCulling;
    if (s_hooks.guiActive()) {
        s_hooks.guiBegin();
    } else {
        GR_D3D_SetViewport(entry.viewport[0], entry.viewport[1], entry.viewport[2], entry.viewport[3]);
        SetView(entry.view.x, entry.view.y, entry.view.width, entry.view.height, entry.view.angle);
    }
    GR_InvalidateCullRect();
    return true;
}

int32_t GR_Surface_StackDepth() { return g_Depth; }

bool GR_Surface_Draw(int32_t id, float x, float y)
{
    const SSurface* surface = Map().Find(id);
    return surface && GR_Texture_Draw(surface->texture, x, y);
}

bool GR_Surface_DrawExt(int32_t id, float x, float y, float xScale, float yScale, float angle, uint32_t colour,
                        float alpha)
{
    const SSurface* surface = Map().Find(id);
    return surface && GR_Texture_DrawExt(surface->texture, 0, 0, x, y, xScale, yScale, angle * kDegreesToRadians,
                                         colour, alpha);
}

bool GR_Surface_DrawStretched(int32_t id, float x, float y, float width, float height, uint32_t colour, float alpha)
{
    const SSurface* surface = Map().Find(id);
    if (!surface || width <= 0 || height <= 0 || surface->width <= 0 || surface->height <= 0) return false;
    return GR_Texture_DrawExt(surface->texture, 0, 0, x, y, width / static_cast<float>(surface->width),
                              height / static_cast<float>(surface->height), 0, colour, alpha);
}

bool GR_Surface_DrawPart(int32_t id, float left, float top, float width, float height, float x, float y,
                         float xScale, float yScale, uint32_t colour, float alpha)
{
    const SSurface* surface = Map().Find(id);
    if (!surface) {
        ReportRuntimeError("Trying to use non-existing surface.", false);
        return false;
    }
    return GR_Texture_DrawPart(surface->texture, left, top, width, height, x, y, xScale, yScale, 0, colour, alpha);
}

bool GR_Surface_DrawGeneral(int32_t id, float left, float top, float width, float height, float x, float y,
                            float xScale, float yScale, float angle, uint32_t colourTL, uint32_t colourTR,
                            uint32_t colourBR, uint32_t colourBL, float alpha)
{
    const SSurface* surface = Map().Find(id);
    return surface && GR_Texture_DrawGeneral(surface->texture, left, top, width, height, x, y, xScale, yScale,
                                             angle * kDegreesToRadians, colourTL, colourTR, colourBR, colourBL,
                                             alpha);
}

bool GR_Surface_DrawTiled(int32_t id, float x, float y, float xScale, float yScale, bool hRepeat, bool vRepeat,
                          float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                          float alpha)
{
    const SSurface* surface = Map().Find(id);
    return surface && GR_Texture_DrawTiled(surface->texture, 0, 0, x, y, xScale, yScale, hRepeat, vRepeat,
                                           regionLeft, regionTop, regionWidth, regionHeight, colour, alpha);
}

uint32_t* GR_Surface_ReadPixels(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!GR_D3D_DeviceExists()) return nullptr;
    GR_VertexBuilder_Flush();
    D3DTexture* texture = TextureOf(Map().Find(id));
    if (!texture || width <= 0 || height <= 0) return nullptr;
    return GR_D3D_ReadTexturePixels(texture, x, y, width, height);
}

void GR_Surface_WritePixels(int32_t id, const uint32_t* pixels, int32_t x, int32_t y, int32_t width,
                            int32_t height)
{
    D3DTexture* texture = TextureOf(Map().Find(id));
    if (texture && pixels && width > 0 && height > 0) GR_D3D_WriteTexturePixels(pixels, texture, x, y, width, height);
}

TBitmap* GR_Surface_ToBitmap(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height)
{
    uint32_t* pixels = GR_Surface_ReadPixels(id, x, y, width, height);
    if (!pixels) return nullptr;
    TBitmap* bitmap = TBitmap_FromDevicePixels(pixels, width, height);
    MemoryManager::Free(pixels);
    return bitmap;
}

SurfaceHooks GR_Surface_SetHooks(const SurfaceHooks& hooks)
{
    const SurfaceHooks previous = s_hooks;
    s_hooks.setView = hooks.setView ? hooks.setView : GR_D3D_SetView;
    s_hooks.guiActive = hooks.guiActive ? hooks.guiActive : NoGui;
    s_hooks.guiBegin = hooks.guiBegin ? hooks.guiBegin : Nothing;
    return previous;
}
