// draw_background and its variants, background_get_texture and
// background_get_uvs. In games of the newer format the draw forms take a
// sprite index and draw its first frame.
#include "Background/Background_Main.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_GraphicsSprite.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Primitive.h"
#include "Sprite/Sprite_Main.h"

namespace {

using Args = ScriptValue*;

float F(Args a, int n) { return Arg_Float(a, n); }
uint32_t C(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

// The image a draw form names: a sprite in newer games, else a background;
// false (reported) when there is none. Exactly one of the two is set.
bool Target(int argc, int count, Args a, BackgroundResource** background, CSprite** sprite)
{
    *background = nullptr;
    *sprite = nullptr;
    if (!Arg_Need(argc, count, "draw_background")) return false;
    const int32_t index = Arg_Int32(a, 0);
    if (LayerMode) *sprite = Sprite_Get(index);
    else *background = Background_Get(index);
    if (*sprite || *background) return true;
    ReportRuntimeError("Trying to draw non-existing background.", false);
    return false;
}

void F_Draw(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (!Target(argc, 3, a, &b, &s)) return;
    if (s) s->Draw(0, F(a, 1), F(a, 2));
    else b->Draw(F(a, 1), F(a, 2));
}

void F_DrawExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (!Target(argc, 8, a, &b, &s)) return;
    if (s) s->DrawExt(0, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
    else b->DrawExt(F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
}

void F_DrawGeneral(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (!Target(argc, 15, a, &b, &s)) return;
    if (s)
        s->DrawGeneral(0, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9), C(a, 10),
                       C(a, 11), C(a, 12), C(a, 13), F(a, 14));
    else
        b->DrawGeneral(F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9), C(a, 10),
                       C(a, 11), C(a, 12), C(a, 13), F(a, 14));
}

void DrawPart(BackgroundResource* b, CSprite* s, Args a, float xscale, float yscale, uint32_t colour, float alpha)
{
    if (s) s->DrawPart(0, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), xscale, yscale, colour, alpha);
    else b->DrawPart(F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), xscale, yscale, colour, alpha);
}

void F_DrawPart(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 7, a, &b, &s)) DrawPart(b, s, a, 1, 1, 0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawPartExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 11, a, &b, &s)) DrawPart(b, s, a, F(a, 7), F(a, 8), C(a, 9), F(a, 10));
}

void DrawStretched(BackgroundResource* b, CSprite* s, Args a, uint32_t colour, float alpha)
{
    if (s) s->DrawStretched(0, F(a, 1), F(a, 2), F(a, 3), F(a, 4), colour, alpha);
    else b->DrawStretched(F(a, 1), F(a, 2), F(a, 3), F(a, 4), colour, alpha);
}

void F_DrawStretched(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 5, a, &b, &s)) DrawStretched(b, s, a, 0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawStretchedExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 7, a, &b, &s)) DrawStretched(b, s, a, C(a, 5), F(a, 6));
}

void DrawTiled(BackgroundResource* b, CSprite* s, Args a, float xscale, float yscale, uint32_t colour, float alpha)
{
    const float w = Graphics_RoomWidth(), h = Graphics_RoomHeight();
    if (s) s->DrawTiled(0, F(a, 1), F(a, 2), xscale, yscale, true, true, 0, 0, w, h, colour, alpha);
    else b->DrawTiled(F(a, 1), F(a, 2), xscale, yscale, true, true, 0, 0, w, h, colour, alpha);
}

void F_DrawTiled(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 3, a, &b, &s)) DrawTiled(b, s, a, 1, 1, 0xFFFFFF, GR_Draw_GetAlpha());
}

void F_DrawTiledExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    BackgroundResource* b;
    CSprite* s;
    if (Target(argc, 7, a, &b, &s)) DrawTiled(b, s, a, F(a, 3), F(a, 4), C(a, 5), F(a, 6));
}

// The texture queries always look in the background table.
BackgroundResource* TextureBackground(int argc, Args a)
{
    if (!Arg_Need(argc, 1, "background_get_texture")) return nullptr;
    BackgroundResource* b = Background_Get(Arg_Int32(a, 0));
    if (!b) ReportRuntimeError("Trying to get texture from non-existing background.", false);
    return b;
}

void F_GetTexture(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (const BackgroundResource* b = TextureBackground(argc, a)) {
        ScriptValue_SetUndefined(r);
        r->ptr = reinterpret_cast<void*>(static_cast<intptr_t>(b->GetTexture()));
        r->kind = VALUE_PTR;
    }
}

void F_GetUVs(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (const BackgroundResource* b = TextureBackground(argc, a)) Graphics_ReturnTextureUVs(r, b->GetTexture(), 8);
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"draw_background", F_Draw, 3},
    {"draw_background_ext", F_DrawExt, 8},
    {"draw_background_general", F_DrawGeneral, 15},
    {"draw_background_part", F_DrawPart, 7},
    {"draw_background_part_ext", F_DrawPartExt, 11},
    {"draw_background_stretched", F_DrawStretched, 5},
    {"draw_background_stretched_ext", F_DrawStretchedExt, 7},
    {"draw_background_tiled", F_DrawTiled, 3},
    {"draw_background_tiled_ext", F_DrawTiledExt, 7},
    {"background_get_texture", F_GetTexture, 1},
    {"background_get_uvs", F_GetUVs, 2},
};

}  // namespace

void InitGraphicBackgroundFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
