// draw_sprite and its variants, draw_self, the texture and UV queries of
// sprites and fonts, and draw_getpixel. Each converts its arguments, checks
// the asset and calls one sprite back end; none touches the batch.
#include "Function/Function_GraphicsSprite.h"

#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Function/Function_RealArray.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "draw_sprite"); }
float F(Args a, int n) { return Arg_Float(a, n); }
uint32_t C(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

// Values beyond any frame count wrap alike; NaN and huge ones give frame 0.
int32_t FrameOf(double index)
{
    return std::fabs(index) < 2147483647.0 ? static_cast<int32_t>(index) : 0;
}

// The shared check of the sprite forms: frame (negative: the current one) and an existing sprite.
CSprite* GetDrawSpriteArgs(CInstance* self, Args a, int32_t* frame)
{
    *frame = Arg_Int32(a, 1);
    if (*frame < 0) *frame = Graphics_CurrentFrame(self);
    CSprite* sprite = Sprite_Get(Arg_Int32(a, 0));
    if (!sprite) ReportRuntimeError("Trying to draw non-existing sprite.", false);
    return sprite;
}

// The refusal of vector and skeleton sprites by the part, general and position forms.
bool KindAllowed(const CSprite* sprite, const char* name)
{
    if (sprite->kind == SPRITE_KIND_BITMAP) return true;
    char message[128];
    std::snprintf(message, sizeof message, "%s: not supported for %s", name,
                  sprite->kind == SPRITE_KIND_VECTOR ? "vector sprites" : "skeleton based sprites");
    ReportRuntimeError(message, false);
    return false;
}

void F_DrawSprite(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 4)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame)) s->Draw(frame, F(a, 2), F(a, 3));
}

void F_DrawSpriteExt(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 9)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame))
        s->DrawExt(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), C(a, 7), F(a, 8));
}

void F_DrawSpriteGeneral(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 16)) return;
    CSprite* s = GetDrawSpriteArgs(self, a, &frame);
    if (s && KindAllowed(s, "draw_sprite_general"))
        s->DrawGeneral(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9), F(a, 10),
                       C(a, 11), C(a, 12), C(a, 13), C(a, 14), F(a, 15));
}

void F_DrawSpritePart(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 8)) return;
    CSprite* s = GetDrawSpriteArgs(self, a, &frame);
    if (s && KindAllowed(s, "draw_sprite_part"))
        s->DrawPart(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), 1, 1, 0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawSpritePartExt(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 12)) return;
    CSprite* s = GetDrawSpriteArgs(self, a, &frame);
    if (s && KindAllowed(s, "draw_sprite_part_ext"))
        s->DrawPart(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9), C(a, 10),
                    F(a, 11));
}

// The frame is passed on as given: the back end wraps negative frames itself.
void F_DrawSpritePos(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 11)) return;
    const int32_t frame = Arg_Int32(a, 1);
    CSprite* s = Sprite_Get(Arg_Int32(a, 0));
    if (!s) {
        ReportRuntimeError("Trying to draw non-existing sprite.", false);
        return;
    }
    if (KindAllowed(s, "draw_sprite_pos"))
        s->DrawPos(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9), 0xFFFFFFFFu,
                   F(a, 10));
}

void F_DrawSpriteStretched(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 6)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame))
        s->DrawStretched(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), 0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawSpriteStretchedExt(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 8)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame))
        s->DrawStretched(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
}

void F_DrawSpriteTiled(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 4)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame))
        s->DrawTiled(frame, F(a, 2), F(a, 3), 1, 1, true, true, 0, 0, Graphics_RoomWidth(), Graphics_RoomHeight(),
                     0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawSpriteTiledExt(ScriptValue*, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 8)) return;
    if (CSprite* s = GetDrawSpriteArgs(self, a, &frame))
        s->DrawTiled(frame, F(a, 2), F(a, 3), F(a, 4), F(a, 5), true, true, 0, 0, Graphics_RoomWidth(),
                     Graphics_RoomHeight(), C(a, 6), F(a, 7));
}

void F_DrawSelf(ScriptValue*, CInstance* self, CInstance*, int, Args)
{
    CSprite* s = self ? Sprite_Get(self->sprite_index) : nullptr;
    if (!s) {
        ReportRuntimeError("Trying to draw non-existing sprite.", false);
        return;
    }
    // Called from a draw event, the instance is already the one being drawn: it stays so afterwards.
    CInstance* previous = CurrentDrawInstance;
    CurrentDrawInstance = self;
    s->DrawExt(Graphics_CurrentFrame(self), self->x, self->y, self->image_xscale, self->image_yscale,
               self->image_angle, self->image_blend, self->image_alpha);
    CurrentDrawInstance = previous;
}

void SetPointer(ScriptValue* r, int32_t handle)
{
    ScriptValue_SetUndefined(r);
    r->ptr = reinterpret_cast<void*>(static_cast<intptr_t>(handle));
    r->kind = VALUE_PTR;
}

// The sprite of the texture queries with its frame; null (reported) when there is none.
CSprite* TextureSprite(CInstance* self, Args a, int32_t* frame)
{
    *frame = Arg_Int32(a, 1);
    if (*frame < 0) *frame = Graphics_CurrentFrame(self);
    CSprite* s = Sprite_Get(Arg_Int32(a, 0));
    if (!s) ReportRuntimeError("Trying to get texture from non-existing sprite.", false);
    return s;
}

void F_SpriteGetTexture(ScriptValue* r, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 2)) return;
    CSprite* s = TextureSprite(self, a, &frame);
    if (!s) return;
    if (s->kind != SPRITE_KIND_BITMAP) {
        ScriptValue_SetReal(r, -1);
        KindAllowed(s, "sprite_get_texture");
        return;
    }
    SetPointer(r, s->GetTexture(frame));
}

void F_SpriteGetUVs(ScriptValue* r, CInstance* self, CInstance*, int argc, Args a)
{
    int32_t frame = 0;
    if (!Need(argc, 2)) return;
    CSprite* s = TextureSprite(self, a, &frame);
    if (!s) return;
    // Skeleton sprites get the vector-sprite text too.
    if (s->kind != SPRITE_KIND_BITMAP) return ReportRuntimeError("sprite_get_uvs: not supported for vector sprites", false);
    Graphics_ReturnTextureUVs(r, s->GetTexture(frame), 8);
}

int32_t FontTexture(int32_t index)
{
    CFontQS* font = Font_Get(index);
    if (const STexturePageEntry* entry = font->GetEntry()) return TPE_GetHandle(entry);
    return font->GetOwnTexture();
}

void F_FontGetTexture(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = Arg_Int32(a, 0);
    if (!Font_Exists(index)) return ReportRuntimeError("trying to get texture from non-existing font", false);
    SetPointer(r, FontTexture(index));
}

void F_FontGetUVs(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = Arg_Int32(a, 0);
    if (!Font_Exists(index)) return ReportRuntimeError("trying to get texture from non-existing font", false);
    Graphics_ReturnTextureUVs(r, FontTexture(index), 4);
}

// The frame pixel under a room point of the view being drawn, 0xAABBGGRR.
uint32_t PixelAt(Args a)
{
    const float x = F(a, 0), y = F(a, 1);
    // Outside any recorded view the point is taken as a window point.
    int32_t px = FrameOf(x), py = FrameOf(y);
    GR_Window_RoomToPort(view_current, x, y, &px, &py);
    return GR_D3D_GetPixel(px, py);
}

void F_GetPixel(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) ScriptValue_SetReal(r, PixelAt(a) & 0xFFFFFFu);
}

void F_GetPixelExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) ScriptValue_SetReal(r, PixelAt(a));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int count;
};

const Row kFunctions[] = {
    {"draw_sprite", F_DrawSprite, 4},
    {"draw_sprite_ext", F_DrawSpriteExt, 9},
    {"draw_sprite_general", F_DrawSpriteGeneral, 16},
    {"draw_sprite_part", F_DrawSpritePart, 8},
    {"draw_sprite_part_ext", F_DrawSpritePartExt, 12},
    {"draw_sprite_pos", F_DrawSpritePos, 11},
    {"draw_sprite_stretched", F_DrawSpriteStretched, 6},
    {"draw_sprite_stretched_ext", F_DrawSpriteStretchedExt, 8},
    {"draw_sprite_tiled", F_DrawSpriteTiled, 4},
    {"draw_sprite_tiled_ext", F_DrawSpriteTiledExt, 8},
    {"draw_self", F_DrawSelf, 0},
    {"sprite_get_texture", F_SpriteGetTexture, 2},
    {"sprite_get_uvs", F_SpriteGetUVs, 2},
    {"font_get_texture", F_FontGetTexture, 1},
    {"font_get_uvs", F_FontGetUVs, 2},
    {"draw_getpixel", F_GetPixel, 2},
    {"draw_getpixel_ext", F_GetPixelExt, 2},
};

}  // namespace

int32_t Graphics_CurrentFrame(const CInstance* self)
{
    return self ? FrameOf(std::floor(static_cast<double>(self->image_index))) : 0;
}

float Graphics_RoomWidth()
{
    return Run_Room ? static_cast<float>(Run_Room->width) : 0.0f;
}

float Graphics_RoomHeight()
{
    return Run_Room ? static_cast<float>(Run_Room->height) : 0.0f;
}

void Graphics_ReturnTextureUVs(ScriptValue* result, int32_t handle, int count)
{
    double uvs[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    const STexturePageEntry* e = handle > GR_Texture_Count() ? TPE_FromHandle(handle) : nullptr;
    const STexture* t = e ? GR_Texture_Preload(e->texture) : nullptr;
    if (t) {
        const float rw = t->texelWidth, rh = t->texelHeight;
        uvs[0] = float(e->x) * rw;
        uvs[1] = float(e->y) * rh;
        uvs[2] = float(e->x + e->cropWidth) * rw;
        uvs[3] = float(e->y + e->cropHeight) * rh;
        uvs[4] = e->xOffset;
        uvs[5] = e->yOffset;
        uvs[6] = e->fullWidth ? double(e->width) / double(e->fullWidth) : 0.0;
        uvs[7] = e->fullHeight ? double(e->height) / double(e->fullHeight) : 0.0;
    }
    Function_ReturnRealArray(result, count, uvs);
}

void InitGraphicSpriteFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
