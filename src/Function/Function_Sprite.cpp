// The sprite built-ins: each reads its arguments, checks the sprite and its
// kind (vector and skeleton sprites have no pixels to edit) and calls one
// operation of the sprite table or the sprite itself.
#include "Function/Function_Sprite.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/TexturesM.h"
#include "Graphics/WritePNG.h"
#include "Sprite/Sprite_Main.h"
#include "World/Collision.h"
#include "World/Instance.h"
#include "World/Room_Class.h"

void Sprite_RefreshInstances(int32_t sprite)
{
    if (!Run_Room) return;
    for (InstanceDepthList* list : {&Run_Room->activeInstances, &Run_Room->deactivatedInstances}) {
        for (CInstance* i = list->first; i; i = i->m_next) {
            if (i->sprite_index != sprite) continue;
            i->m_bboxDirty = true;
            Collision_MarkMoved(i);
        }
    }
}

bool Function_WritePixelsPng(const char* fileName, const uint32_t* pixels, int32_t width, int32_t height)
{
    if (!fileName || !pixels || width <= 0 || height <= 0) return false;
    // 0xAARRGGBB words lie in memory as blue, green, red, alpha; the writer takes red first.
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t k = 0; k < rgba.size() / 4; ++k) {
        const uint32_t p = pixels[k];
        rgba[k * 4 + 0] = static_cast<uint8_t>(p >> 16);
        rgba[k * 4 + 1] = static_cast<uint8_t>(p >> 8);
        rgba[k * 4 + 2] = static_cast<uint8_t>(p);
        rgba[k * 4 + 3] = static_cast<uint8_t>(p >> 24);
    }
    return write_png_file(fileName, rgba.data(), width, height);
}

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "sprite"); }
int I(Args a, int n) { return Arg_Int32(a, n); }
// Flags of the sprite built-ins count as set when their integer is above 0.
bool Flag(Args a, int n) { return Arg_Int32(a, n) > 0; }
void Error(const char* message) { ReportRuntimeError(message, false); }
bool IsVectorOrSkeleton(const CSprite* s) { return s->kind == SPRITE_KIND_VECTOR || s->kind == SPRITE_KIND_SKELETON; }

// The sprite named by argument 0, null when there is none (or too few arguments).
CSprite* Target(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    return Sprite_Get(I(a, 0));
}

// ------------------------------------------------------------ queries

template <typename Field>
void Query(ScriptValue* r, int argc, Args a, Field field)
{
    if (!Need(argc, 1)) return;
    CSprite* s = Sprite_Get(I(a, 0));
    ScriptValue_SetReal(r, s ? field(s) : -1.0);
}

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Sprite_Exists(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Sprite_GetName(I(a, 0)));
}
void F_GetNumber(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->frameCount); });
}
void F_GetWidth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->width); });
}
void F_GetHeight(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->height); });
}
void F_GetTransparent(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return s->transparent ? 1.0 : 0.0; });
}
void F_GetSmooth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return s->smooth ? 1.0 : 0.0; });
}
void F_GetPreload(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return s->preload ? 1.0 : 0.0; });
}
void F_GetXOffset(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->xorigin); });
}
void F_GetYOffset(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->yorigin); });
}
void F_GetBBoxMode(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->bboxMode); });
}
void F_GetBBoxLeft(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->bboxLeft); });
}
void F_GetBBoxRight(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->bboxRight); });
}
void F_GetBBoxTop(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->bboxTop); });
}
void F_GetBBoxBottom(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return double(s->bboxBottom); });
}
void F_GetPrecise(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, [](CSprite* s) { return s->precise ? 1.0 : 0.0; });
}

// Accepted for compatibility; the texture cache has no size to set.
void F_Zero(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, 0.0); }

// ------------------------------------------------------------ settings

void F_CollisionMask(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 9);
    if (!s || s->frameCount <= 0) return;
    if (IsVectorOrSkeleton(s)) return Error("sprite_collision_mask: not supported for vector sprites");
    const bool separate = Flag(a, 1);
    const int32_t boxKind = I(a, 2);
    const SpriteRect box{I(a, 3), I(a, 4), I(a, 5), I(a, 6)};
    const int32_t shape = I(a, 7), tolerance = I(a, 8);
    s->precise = true;
    s->CreateCollisionMask(separate, boxKind, box, shape, tolerance);
}

void F_SetOffset(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 3);
    if (!s) return;
    s->xorigin = I(a, 1);
    s->yorigin = I(a, 2);
    Sprite_RefreshInstances(s->index);
}

void F_SetBBoxMode(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 2);
    if (!s) return;
    s->SetBoundingBoxMode(I(a, 1));
    Sprite_RefreshInstances(s->index);
}

void F_SetBBox(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 5);
    if (!s) return;
    s->SetBoundingBox(I(a, 1), I(a, 2), I(a, 3), I(a, 4));
    Sprite_RefreshInstances(s->index);
}

void F_SetPrecise(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 2);
    if (!s) return;
    const bool on = Flag(a, 1);
    if (on && IsVectorOrSkeleton(s) && s->GetMaskCount() == 0)
        return Error(
            "sprite_set_precise: can't set precise collision on vector sprite with no collision masks generated");
    s->SetPrecise(on);
    Sprite_RefreshInstances(s->index);
}

void F_SetAlphaFromSprite(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    CSprite* s = Sprite_Get(I(a, 0));
    const CSprite* source = Sprite_Get(I(a, 1));
    if (!s || !source) return;
    if (IsVectorOrSkeleton(s))
        return Error(
            "sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to change is a vector sprite");
    if (IsVectorOrSkeleton(source))
        return Error("sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to derive "
                     "transparency from is a vector sprite");
    s->SetAlphaFromSprite(source);
}

// ------------------------------------------------------------ creation

void F_Add(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1.0);
    // Six arguments are the short form; any other count the form with all four flags.
    if (argc == 6) {
        const char* name = Arg_String(a, 0);
        const int32_t frames = I(a, 1);
        const bool removeBack = Flag(a, 2), smooth = Flag(a, 3);
        const int32_t x = I(a, 4), y = I(a, 5);
        ScriptValue_SetReal(r, Sprite_Add(name, frames, false, removeBack, smooth, false, x, y));
        return;
    }
    if (!Need(argc, 8)) return;
    const char* name = Arg_String(a, 0);
    const int32_t frames = I(a, 1);
    const bool precise = Flag(a, 2), transparent = Flag(a, 3), smooth = Flag(a, 4), preload = Flag(a, 5);
    const int32_t x = I(a, 6), y = I(a, 7);
    ScriptValue_SetReal(r, Sprite_Add(name, frames, precise, transparent, smooth, preload, x, y));
}

void F_Replace(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1.0);
    if (argc != 7 && argc != 9) return;
    const int32_t index = I(a, 0);
    if (!Sprite_Exists(index)) return;
    const char* name = Arg_String(a, 1);
    const int32_t frames = I(a, 2);
    bool ok;
    if (argc == 7) {
        const bool removeBack = Flag(a, 3), smooth = Flag(a, 4);
        ok = Sprite_Replace(index, name, frames, true, removeBack, smooth, true, I(a, 5), I(a, 6));
    } else {
        const bool precise = Flag(a, 3), transparent = Flag(a, 4), smooth = Flag(a, 5), preload = Flag(a, 6);
        ok = Sprite_Replace(index, name, frames, precise, transparent, smooth, preload, I(a, 7), I(a, 8));
    }
    ScriptValue_SetReal(r, ok ? 1.0 : 0.0);
}

// A rectangle of a surface; null, with the report for an unknown surface, when there are no pixels.
TBitmap* SurfaceToBitmap(int32_t surface, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!GR_Surface_Exists(surface)) {
        ReportRuntimeError("Trying to use non-existing surface.", false);
        return nullptr;
    }
    return GR_Surface_ToBitmap(surface, x, y, width, height);
}

struct CreateFlags {
    bool precise, transparent, smooth, preload, keepAlpha;
    int32_t xorig, yorig;
};

// The new sprite's index is the result even when there are no pixels: it then stays empty.
void CreateFrom(ScriptValue* r, TBitmap* bitmap, const CreateFlags& f)
{
    const int32_t index = Sprite_AddEmpty();
    ScriptValue_SetReal(r, index);
    if (!bitmap) return;
    Sprite_Get(index)->CreateFromBitmap(bitmap, f.precise, f.transparent, f.smooth, f.preload, f.xorig, f.yorig,
                                        f.keepAlpha);
    delete bitmap;
}

void F_CreateFromScreen(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const bool shortForm = argc == 8;
    if (!Need(argc, shortForm ? 8 : 10)) return;
    const int32_t x = I(a, 0), y = I(a, 1), w = I(a, 2), h = I(a, 3);
    CreateFlags f{};
    if (shortForm) {
        const bool removeBack = Flag(a, 4);
        f = {true, removeBack, Flag(a, 5), true, !removeBack, I(a, 6), I(a, 7)};
    } else {
        f = {Flag(a, 4), Flag(a, 5), Flag(a, 6), Flag(a, 7), false, I(a, 8), I(a, 9)};
    }
    CreateFrom(r, GR_ScreenToBitmap(x, y, w, h), f);
}

void F_CreateFromSurface(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const bool longForm = argc == 11;
    if (!Need(argc, 9)) return;
    const int32_t surface = I(a, 0), x = I(a, 1), y = I(a, 2), w = I(a, 3), h = I(a, 4);
    CreateFlags f{};
    if (longForm) {
        f = {Flag(a, 5), Flag(a, 6), Flag(a, 7), Flag(a, 8), true, I(a, 9), I(a, 10)};
    } else {
        const bool removeBack = Flag(a, 5);
        f = {true, removeBack, Flag(a, 6), false, !removeBack, I(a, 7), I(a, 8)};
    }
    CreateFrom(r, SurfaceToBitmap(surface, x, y, w, h), f);
}

void AddFrameFrom(CSprite* s, TBitmap* bitmap, bool removeBack, bool smooth)
{
    if (!bitmap) return;
    s->AddFrame(bitmap, removeBack, smooth, !removeBack);
    delete bitmap;
}

void F_AddFromScreen(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 7);
    if (!s) return;
    if (IsVectorOrSkeleton(s)) return Error("sprite_add_from_screen: not supported with vector sprites");
    const int32_t x = I(a, 1), y = I(a, 2), w = I(a, 3), h = I(a, 4);
    const bool removeBack = Flag(a, 5), smooth = Flag(a, 6);
    AddFrameFrom(s, GR_ScreenToBitmap(x, y, w, h), removeBack, smooth);
}

void F_AddFromSurface(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 8);
    if (!s) return;
    if (IsVectorOrSkeleton(s)) return Error("sprite_add_from_surface: not supported with vector sprites");
    const int32_t surface = I(a, 1), x = I(a, 2), y = I(a, 3), w = I(a, 4), h = I(a, 5);
    const bool removeBack = Flag(a, 6), smooth = Flag(a, 7);
    AddFrameFrom(s, SurfaceToBitmap(surface, x, y, w, h), removeBack, smooth);
}

void F_Unsupported(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    LogConsole->Output("%s: unsupported function\n", CurrentBuiltinFunction ? CurrentBuiltinFunction->name : "sprite");
    ScriptValue_SetReal(r, -1.0);
}

// ------------------------------------------------------------ copies and deletion

void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Sprite_Exists(index)) return ScriptValue_SetReal(r, -1.0);
    ScriptValue_SetReal(r, Sprite_Delete(index) ? 1.0 : 0.0);
}

void F_Duplicate(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 1);
    if (!s) return ScriptValue_SetReal(r, -1.0);
    if (s->kind == SPRITE_KIND_VECTOR) return Error("sprite_duplicate: not supported for vector sprites");
    if (s->kind == SPRITE_KIND_SKELETON) return Error("sprite_duplicate: not supported for skeleton based sprites");
    ScriptValue_SetReal(r, Sprite_Duplicate(s->index));
}

// The checks shared by sprite_assign and sprite_merge; false after reporting the first that fails.
bool CopyAllowed(const char* verb, const char* missing, const CSprite* destination, const CSprite* source)
{
    if (!destination || !source) {
        Error(missing);
        return false;
    }
    char message[160];
    const struct {
        const CSprite* sprite;
        int32_t kind;
        const char* text;
    } checks[] = {
        {destination, SPRITE_KIND_VECTOR, "not supported for vector sprites - destination sprite is a vector sprite"},
        {source, SPRITE_KIND_VECTOR, "not supported for vector sprites - source sprite is a vector sprite"},
        {destination, SPRITE_KIND_SKELETON,
         "not supported for skeleton based sprites - destination sprite is a skeleton sprite"},
        {source, SPRITE_KIND_SKELETON, "not supported for skeleton based sprites - source sprite is a skeleton sprite"},
    };
    for (const auto& c : checks) {
        if (c.sprite->kind != c.kind) continue;
        std::snprintf(message, sizeof message, "%s: %s", verb, c.text);
        Error(message);
        return false;
    }
    return true;
}

void F_Assign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const int32_t destination = I(a, 0), source = I(a, 1);
    if (!CopyAllowed("sprite_assign", "Cannot assign to or from non-existing sprite", Sprite_Get(destination),
                     Sprite_Get(source)))
        return;
    if (!Sprite_Assign(destination, source)) Error("Error assigning a sprite.");
}

void F_Merge(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    CSprite* destination = Sprite_Get(I(a, 0));
    const CSprite* source = Sprite_Get(I(a, 1));
    if (!CopyAllowed("sprite_merge", "Cannot merge to or from non-existing sprite", destination, source)) return;
    destination->Merge(source);
}

// ------------------------------------------------------------ saving

void F_Save(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 3);
    if (!s) return;
    if (IsVectorOrSkeleton(s)) return Error("sprite_save: not supported for vector sprites");
    const int32_t frame = I(a, 1);
    const char* name = Arg_String(a, 2);
    const CBitmap32* bitmap = frame >= 0 && frame < s->frameCount ? s->GetFrameBitmap(frame) : nullptr;
    if (!bitmap || !bitmap->IsValid()) {
        LogConsole->Output("sprite_save() failed - no bitmap data available\n");
        return;
    }
    Function_WritePixelsPng(name, bitmap->GetPixels(), bitmap->GetWidth(), bitmap->GetHeight());
}

void F_SaveStrip(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CSprite* s = Target(argc, a, 2);
    const char* name = s ? Arg_String(a, 1) : nullptr;
    if (!s || !name) return;
    if (IsVectorOrSkeleton(s)) return Error("sprite_save_strip: not supported for vector sprites");
    if (s->frameCount <= 0) return;
    const int32_t w = s->width, h = s->height;
    // A strip wider than a bitmap can be is refused rather than wrapped to a small size.
    if (w <= 0 || static_cast<int64_t>(s->frameCount) * w > INT32_MAX) return;
    CBitmap32 strip(s->frameCount * w, h, 0);
    if (!strip.IsValid()) return;
    uint32_t* out = strip.GetPixels();
    const int32_t stripWidth = strip.GetWidth();
    for (int32_t f = 0; f < s->frameCount; ++f) {
        const CBitmap32* frame = s->GetFrameBitmap(f);
        if (!frame || !frame->IsValid()) {
            LogConsole->Output("sprite_save_strip() failed - Missing bitmap data\n");
            return;
        }
        // A frame of another size than the sprite's gives only the part that fits its column.
        const int32_t cw = std::min(w, frame->GetWidth()), ch = std::min(h, frame->GetHeight());
        for (int32_t y = 0; y < ch; ++y)
            std::copy_n(frame->GetPixels() + static_cast<size_t>(y) * frame->GetWidth(), cw,
                        out + static_cast<size_t>(y) * stripWidth + static_cast<size_t>(f) * w);
    }
    Function_WritePixelsPng(name, out, stripWidth, strip.GetHeight());
}

// ------------------------------------------------------------ prefetch and flush

using TextureOp = void (*)(D3DTexture*);

// A frame's texture handle: a game texture index, or a page-entry handle whose entry names one.
void ApplyToFrames(const CSprite* s, TextureOp op)
{
    for (int32_t f = 0; f < s->frameCount; ++f) {
        const int32_t handle = s->GetTexture(f);
        if (handle < 0) continue;
        int32_t texture = handle;
        if (handle >= kTexturePageHandleBase) {
            const STexturePageEntry* entry = TPE_FromHandle(handle);
            if (!entry) continue;
            texture = entry->texture;
        }
        if (D3DTexture* t = GR_Texture_GetD3D(texture)) op(t);
    }
}

// One sprite of a prefetch or flush; false for a vector or skeleton sprite.
bool PrefetchOne(const char* name, int32_t index, TextureOp op)
{
    const CSprite* s = Sprite_Get(index);
    if (!s) {
        LogConsole->Output("%s: Sprite id %d not found\n", name, index);
        return true;
    }
    if (IsVectorOrSkeleton(s)) {
        LogConsole->Output("%s: not supported for vector sprites (sprite id %d)\n", name, index);
        return false;
    }
    ApplyToFrames(s, op);
    return true;
}

void Single(ScriptValue* r, int argc, Args a, const char* name, TextureOp op)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, PrefetchOne(name, I(a, 0), op) ? 0.0 : -1.0);
}

bool IsNumber(const ScriptValue& v)
{
    const uint32_t k = v.Kind();
    return k == VALUE_REAL || k == VALUE_INT32 || k == VALUE_INT64 || k == VALUE_BOOL;
}

void Multi(ScriptValue* r, int argc, Args a, const char* name, TextureOp op)
{
    ScriptValue_SetReal(r, -1.0);
    if (!Need(argc, 1)) return;
    if (a[0].Kind() != VALUE_ARRAY) {
        LogConsole->Output("%s: parameter should be array of sprite indices\n", name);
        return;
    }
    const RefArray* array = a[0].arr;
    if (!array || array->rowCount != 1 || !array->rows) {
        LogConsole->Output("%s: array parameter invalid\n", name);
        return;
    }
    const RefArrayRow& row = array->rows[0];
    for (int32_t k = 0; k < row.length; ++k) {
        if (!IsNumber(row.elements[k])) {
            LogConsole->Output("%s: array entry %d has wrong type\n", name, k);
            continue;
        }
        if (!PrefetchOne(name, Arg_Int32(row.elements, k), op)) return;
    }
    ScriptValue_SetReal(r, 0.0);
}

void F_Prefetch(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Single(r, argc, a, "sprite_prefetch", GR_D3D_PrepareTexture);
}
void F_Flush(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Single(r, argc, a, "sprite_flush", GR_D3D_FlushTexture);
}
void F_PrefetchMulti(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Multi(r, argc, a, "sprite_prefetch_multi", GR_D3D_PrepareTexture);
}
void F_FlushMulti(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Multi(r, argc, a, "sprite_flush_multi", GR_D3D_FlushTexture);
}

// ------------------------------------------------------------ playback speed

CSprite* SpeedTarget(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    const int32_t index = I(a, 0);
    CSprite* s = Sprite_Get(index);
    if (!s) LogConsole->Output("Sprite id %d not found\n", index);
    return s;
}

void F_SetSpeed(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CSprite* s = SpeedTarget(argc, a, 3)) {
        s->playbackSpeed = Arg_Float(a, 1);
        s->playbackSpeedType = I(a, 2);
    }
}
void F_GetSpeedType(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CSprite* s = SpeedTarget(argc, a, 1);
    ScriptValue_SetReal(r, s ? s->playbackSpeedType : -1.0);
}
void F_GetSpeed(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CSprite* s = SpeedTarget(argc, a, 1);
    ScriptValue_SetReal(r, s ? s->playbackSpeed : -1.0);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};

const Entry kSprite[] = {
    {"sprite_name", F_GetName, 1},
    {"sprite_exists", F_Exists, 1},
    {"sprite_get_name", F_GetName, 1},
    {"sprite_get_number", F_GetNumber, 1},
    {"sprite_get_width", F_GetWidth, 1},
    {"sprite_get_height", F_GetHeight, 1},
    {"sprite_get_transparent", F_GetTransparent, 1},
    {"sprite_get_smooth", F_GetSmooth, 1},
    {"sprite_get_preload", F_GetPreload, 1},
    {"sprite_get_xoffset", F_GetXOffset, 1},
    {"sprite_get_yoffset", F_GetYOffset, 1},
    {"sprite_get_bbox_mode", F_GetBBoxMode, 1},
    {"sprite_get_bbox_left", F_GetBBoxLeft, 1},
    {"sprite_get_bbox_right", F_GetBBoxRight, 1},
    {"sprite_get_bbox_top", F_GetBBoxTop, 1},
    {"sprite_get_bbox_bottom", F_GetBBoxBottom, 1},
    {"sprite_get_precise", F_GetPrecise, 1},
    {"sprite_collision_mask", F_CollisionMask, 9},
    {"sprite_set_cache_size", F_Zero, 2},
    {"sprite_set_cache_size_ext", F_Zero, 3},
    {"sprite_get_tpe", F_Zero, 2},
    {"sprite_set_offset", F_SetOffset, 3},
    {"sprite_set_bbox_mode", F_SetBBoxMode, 2},
    {"sprite_set_bbox", F_SetBBox, 5},
    {"sprite_set_precise", F_SetPrecise, 2},
    {"sprite_set_alpha_from_sprite", F_SetAlphaFromSprite, 2},
    {"sprite_add", F_Add, 6},
    {"sprite_create_from_screen", F_CreateFromScreen, 8},
    {"sprite_add_from_screen", F_AddFromScreen, 7},
    {"sprite_create_from_surface", F_CreateFromSurface, 9},
    {"sprite_add_from_surface", F_AddFromSurface, 8},
    {"sprite_replace", F_Replace, 7},
    {"sprite_add_sprite", F_Unsupported, 1},
    {"sprite_replace_sprite", F_Unsupported, 2},
    {"sprite_save_strip", F_SaveStrip, 2},
    {"sprite_delete", F_Delete, 1},
    {"sprite_duplicate", F_Duplicate, 1},
    {"sprite_assign", F_Assign, 2},
    {"sprite_merge", F_Merge, 2},
    {"sprite_save", F_Save, 3},
    {"sprite_prefetch", F_Prefetch, 1},
    {"sprite_prefetch_multi", F_PrefetchMulti, 1},
    {"sprite_flush", F_Flush, 1},
    {"sprite_flush_multi", F_FlushMulti, 1},
};

const Entry kSpriteSpeed[] = {
    {"sprite_set_speed", F_SetSpeed, 3},
    {"sprite_get_speed_type", F_GetSpeedType, 1},
    {"sprite_get_speed", F_GetSpeed, 1},
};
}  // namespace

void InitSpriteFunctions()
{
    for (const Entry& e : kSprite) CodeFunction_Register(e.name, e.routine, e.args, 0);
    if (LayerMode)
        for (const Entry& e : kSpriteSpeed) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
