// The surface, texture and screen built-ins: surfaces made, targeted,
// copied, read back, resized, saved and freed; game textures queried and the
// sampler stages configured; the screen saved as PNG files.
#include "Function/Function_GraphicsTexture.h"

#include <cstdint>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "Function/Function_RealArray.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/WritePNG.h"

namespace {

using Args = ScriptValue*;

constexpr const char* kNoSurface = "Trying to use non-existing surface.";
constexpr int32_t kMaxSurfaceSide = 8192;

int32_t I(Args a, int n) { return Arg_Int32(a, n); }

bool Need(int argc, int count) { return Arg_Need(argc, count, "surface"); }

void SetReal(ScriptValue* r, double d) { ScriptValue_SetReal(r, d); }

void SetPointer(ScriptValue* r, intptr_t value)
{
    ScriptValue_SetUndefined(r);
    r->ptr = reinterpret_cast<void*>(value);
    r->kind = VALUE_PTR;
}

// A texture handle from game code: a game texture index or a live
// texture-page entry handle; anything else names no texture.
intptr_t Handle(Args a, int n) { return Arg_NumberOrPointer(a, n); }

const STexturePageEntry* EntryOf(intptr_t handle)
{
    if (handle <= GR_Texture_Count() || handle > INT32_MAX) return nullptr;
    return TPE_FromHandle(static_cast<int>(handle));
}

int TextureOf(intptr_t handle)
{
    if (handle < 0 || handle > INT32_MAX) return -1;
    if (const STexturePageEntry* entry = EntryOf(handle)) return entry->texture;
    return static_cast<int>(handle);
}

// The pixels of a surface rectangle written as a PNG file.
void SavePart(int32_t id, const char* name, int32_t x, int32_t y, int32_t w, int32_t h)
{
    // A rectangle larger than any surface would only ask for memory to fill with nothing.
    if (!name || w <= 0 || h <= 0 || w > GR_D3D_GetMaxTextureSize() || h > GR_D3D_GetMaxTextureSize()) return;
    uint32_t* pixels = GR_Surface_ReadPixels(id, x, y, w, h);
    if (!pixels) return;
    write_png_file(name, reinterpret_cast<const uint8_t*>(pixels), w, h);
    MemoryManager::Free(pixels);
}

// The screen has no transparency: the saved image is opaque.
void SetPixelsOpaque(uint32_t* pixels, int32_t width, int32_t height)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
}

void ScreenSize(int32_t* width, int32_t* height)
{
    *width = GR_Window_ClientWidth > 0 ? GR_Window_ClientWidth : GR_D3D_BackBufferWidth;
    *height = GR_Window_ClientHeight > 0 ? GR_Window_ClientHeight : GR_D3D_BackBufferHeight;
}

void SaveScreen(const char* name, int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (!name) return;
    int32_t limitW, limitH;
    ScreenSize(&limitW, &limitH);
    int32_t readW = 0, readH = 0;
    uint32_t* pixels = GR_D3D_ReadScreenPixels(limitW, limitH, x, y, w, h, &readW, &readH);
    if (!pixels) return;
    SetPixelsOpaque(pixels, readW, readH);
    write_png_file(name, reinterpret_cast<const uint8_t*>(pixels), readW, readH);
    MemoryManager::Free(pixels);
}

// ---------------------------------------------------------------- surfaces

void F_SurfaceCreate(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) SetReal(r, GR_Surface_Create(I(a, 0), I(a, 1), -1));
}

void F_SurfaceCreateSpecial(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 3)) SetReal(r, GR_Surface_CreateSpecial(I(a, 0), I(a, 1), -1, I(a, 2)));
}

void F_SurfaceCreateExt(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ReportRuntimeError("surface_create_ext() not supported", false);
    SetReal(r, -1);
}

void F_SurfaceExists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Surface_Exists(I(a, 0)) ? 1 : 0);
}

void F_SurfaceFree(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Surface_Free(I(a, 0), false);
}

void F_SurfaceGetWidth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Surface_GetWidth(I(a, 0)));
}

void F_SurfaceGetHeight(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Surface_GetHeight(I(a, 0)));
}

void F_SurfaceGetTexture(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetPointer(r, GR_Surface_GetTexture(I(a, 0)));
}

void F_SurfaceSetTarget(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Surface_SetTarget(0, I(a, 0)) ? 1 : 0);
}

void F_SurfaceSetTargetExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) SetReal(r, GR_Surface_SetTarget(I(a, 0), I(a, 1)) ? 1 : 0);
}

void F_SurfaceResetTarget(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    SetReal(r, GR_Surface_ResetTarget() ? 1 : 0);
}

void F_SurfaceResize(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const int32_t id = I(a, 0), w = I(a, 1), h = I(a, 2);
    if (w < 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) {
        ReportRuntimeError("Invalid surface dimensions", false);
        return;
    }
    if (id == ApplicationSurface && id != APPLICATION_SURFACE_NONE) {
        ApplicationSurface_RequestResize(w, h);
        SetReal(r, 1);
        return;
    }
    if (!GR_Surface_Exists(id)) {
        ReportRuntimeError("Surface does not exist", false);
        return;
    }
    if (GR_Surface_Resize(id, w, h)) SetReal(r, 1);
}

void F_SurfaceGetPixelExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const int32_t id = I(a, 0);
    if (!GR_Surface_Exists(id)) {
        ReportRuntimeError(kNoSurface, false);
        return;
    }
    SetReal(r, 0);
    uint32_t* pixel = GR_Surface_ReadPixels(id, I(a, 1), I(a, 2), 1, 1);
    if (!pixel) return;
    SetReal(r, static_cast<double>(pixel[0]));
    MemoryManager::Free(pixel);
}

void F_SurfaceGetPixel(ScriptValue* r, CInstance* self, CInstance* other, int argc, Args a)
{
    F_SurfaceGetPixelExt(r, self, other, argc, a);
    SetReal(r, r->Kind() == VALUE_REAL ? static_cast<double>(static_cast<uint32_t>(r->real) & 0xFFFFFFu) : 0);
}

void CopyPart(int32_t destination, int32_t x, int32_t y, int32_t source, int32_t sx, int32_t sy, int32_t w,
              int32_t h)
{
    D3DTexture* to = GR_Texture_GetD3D(GR_Surface_GetTexture(destination));
    D3DTexture* from = GR_Texture_GetD3D(GR_Surface_GetTexture(source));
    if (!to || !from) return;
    if (to != from) {
        GR_D3D_CopySurfacePart(to, x, y, from, sx, sy, w, h);
        return;
    }
    // A texture cannot be drawn from while it is drawn into: within one
    // surface the pixels go through memory.
    if (w <= 0 || h <= 0 || w > GR_D3D_GetMaxTextureSize() || h > GR_D3D_GetMaxTextureSize()) return;
    uint32_t* pixels = GR_Surface_ReadPixels(source, sx, sy, w, h);
    if (!pixels) return;
    GR_Surface_WritePixels(destination, pixels, x, y, w, h);
    MemoryManager::Free(pixels);
}

void F_SurfaceCopy(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 4)) return;
    const int32_t destination = I(a, 0), source = I(a, 3);
    if (!GR_Surface_Exists(destination) || !GR_Surface_Exists(source)) {
        ReportRuntimeError(kNoSurface, false);
        return;
    }
    CopyPart(destination, I(a, 1), I(a, 2), source, 0, 0, GR_Surface_GetWidth(source), GR_Surface_GetHeight(source));
}

void F_SurfaceCopyPart(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 8)) return;
    const int32_t destination = I(a, 0), source = I(a, 3);
    if (!GR_Surface_Exists(destination) || !GR_Surface_Exists(source)) {
        ReportRuntimeError(kNoSurface, false);
        return;
    }
    CopyPart(destination, I(a, 1), I(a, 2), source, I(a, 4), I(a, 5), I(a, 6), I(a, 7));
}

void F_SurfaceSave(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const int32_t id = I(a, 0);
    if (!GR_Surface_Exists(id)) {
        ReportRuntimeError(kNoSurface, false);
        return;
    }
    SavePart(id, Arg_String(a, 1), 0, 0, GR_Surface_GetWidth(id), GR_Surface_GetHeight(id));
}

void F_SurfaceSavePart(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 6)) return;
    const int32_t id = I(a, 0);
    if (!GR_Surface_Exists(id)) {
        ReportRuntimeError(kNoSurface, false);
        return;
    }
    SavePart(id, Arg_String(a, 1), I(a, 2), I(a, 3), I(a, 4), I(a, 5));
}

// ---------------------------------------------------------------- textures

void F_TextureExists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Texture_Exists(TextureOf(Handle(a, 0))) ? 1 : 0);
}

void F_TextureGetWidth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Texture_GetWidth(TextureOf(Handle(a, 0))));
}

void F_TextureGetHeight(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, GR_Texture_GetHeight(TextureOf(Handle(a, 0))));
}

void F_TextureGetUVs(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    double uvs[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    const STexturePageEntry* entry = EntryOf(Handle(a, 0));
    const D3DTexture* page = entry ? GR_Texture_GetD3D(entry->texture) : nullptr;
    if (page && page->width > 0 && page->height > 0) {
        const float texelW = 1.0f / static_cast<float>(page->width);
        const float texelH = 1.0f / static_cast<float>(page->height);
        uvs[0] = static_cast<float>(entry->x) * texelW;
        uvs[1] = static_cast<float>(entry->y) * texelH;
        uvs[2] = static_cast<float>(entry->x + entry->cropWidth) * texelW;
        uvs[3] = static_cast<float>(entry->y + entry->cropHeight) * texelH;
        uvs[4] = entry->xOffset;
        uvs[5] = entry->yOffset;
        uvs[6] = entry->fullWidth ? static_cast<double>(entry->width) / entry->fullWidth : 0.0;
        uvs[7] = entry->fullHeight ? static_cast<double>(entry->height) / entry->fullHeight : 0.0;
    }
    Function_ReturnRealArray(r, 8, uvs);
}

void F_TexturePreload(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Texture_Preload(TextureOf(Handle(a, 0)));
}

void F_TextureSetPriority(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_Texture_SetPriority(TextureOf(Handle(a, 0)), I(a, 1));
}

void F_TextureGlobalScale(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t scale = I(a, 0);
    if (scale <= 0 || (scale & (scale - 1)) != 0) {
        ReportRuntimeError("texture global scale needs to be a positive power of 2 integer (i.e. 1, 2, 4, 8....)",
                           true);
        return;
    }
    TextureGlobalScale = scale;
}

void F_TextureSetBlending(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetTextureBlending(Arg_Bool(a, 0));
}

void F_TextureSetInterpolation(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetTextureInterpolation(Arg_Bool(a, 0));
}

void F_TextureSetInterpolationExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_SetTextureInterpolationExt(I(a, 0), Arg_Bool(a, 1));
}

void F_TextureSetRepeat(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetTextureRepeat(Arg_Bool(a, 0));
}

void F_TextureSetRepeatExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_SetTextureRepeatExt(I(a, 0), Arg_Bool(a, 1));
}

// ---------------------------------------------------------------- screen

void F_ScreenSave(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    int32_t w, h;
    ScreenSize(&w, &h);
    SaveScreen(Arg_String(a, 0), 0, 0, w, h);
}

void F_ScreenSavePart(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 5)) return;
    int32_t x = I(a, 1), y = I(a, 2), w = I(a, 3), h = I(a, 4);
    int32_t limitW, limitH;
    ScreenSize(&limitW, &limitH);
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x + w > limitW) w = limitW - x;
    if (y + h > limitH) h = limitH - y;
    if (w <= 0 || h <= 0) return;
    SaveScreen(Arg_String(a, 0), x, y, w, h);
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"surface_create", F_SurfaceCreate, 2},
    {"surface_create_special", F_SurfaceCreateSpecial, 3},
    {"surface_create_ext", F_SurfaceCreateExt, 3},
    {"surface_exists", F_SurfaceExists, 1},
    {"surface_free", F_SurfaceFree, 1},
    {"surface_get_width", F_SurfaceGetWidth, 1},
    {"surface_get_height", F_SurfaceGetHeight, 1},
    {"surface_get_texture", F_SurfaceGetTexture, 1},
    {"surface_set_target", F_SurfaceSetTarget, 1},
    {"surface_set_target_ext", F_SurfaceSetTargetExt, 2},
    {"surface_reset_target", F_SurfaceResetTarget, 0},
    {"surface_resize", F_SurfaceResize, 3},
    {"surface_getpixel", F_SurfaceGetPixel, 3},
    {"surface_getpixel_ext", F_SurfaceGetPixelExt, 3},
    {"surface_copy", F_SurfaceCopy, 4},
    {"surface_copy_part", F_SurfaceCopyPart, 8},
    {"surface_save", F_SurfaceSave, 2},
    {"surface_save_part", F_SurfaceSavePart, 6},

    {"texture_exists", F_TextureExists, 1},
    {"texture_get_width", F_TextureGetWidth, 1},
    {"texture_get_height", F_TextureGetHeight, 1},
    {"texture_get_uvs", F_TextureGetUVs, 1},
    {"texture_preload", F_TexturePreload, 1},
    {"texture_set_priority", F_TextureSetPriority, 2},
    {"texture_global_scale", F_TextureGlobalScale, 1},
    {"texture_set_blending", F_TextureSetBlending, 1},
    {"texture_set_interpolation", F_TextureSetInterpolation, 1},
    {"texture_set_interpolation_ext", F_TextureSetInterpolationExt, 2},
    {"texture_set_repeat", F_TextureSetRepeat, 1},
    {"texture_set_repeat_ext", F_TextureSetRepeatExt, 2},

    {"screen_save", F_ScreenSave, 1},
    {"screen_save_part", F_ScreenSavePart, 5},
};

}  // namespace

void InitGraphicTextureFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
