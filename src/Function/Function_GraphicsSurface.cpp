// draw_surface and its eight variants: each checks the surface, fills in the
// defaults of its short form and calls one surface drawer.
#include "Function/Function_GraphicsSurface.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Surface.h"
#include "World/Room_Class.h"

namespace {

using Args = ScriptValue*;

constexpr uint32_t kWhite = 0xFFFFFF;

float F(Args a, int n) { return Arg_Float(a, n); }
uint32_t C(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }

// The surface of argument 0, with the shared report when there is none.
bool Surface(int argc, int count, Args a, int32_t* id)
{
    if (!Arg_Need(argc, count, "draw_surface")) return false;
    *id = Arg_Int32(a, 0);
    if (GR_Surface_Exists(*id)) return true;
    ReportRuntimeError("Trying to use non-existing surface.", false);
    return false;
}

void RoomSize(float* width, float* height)
{
    *width = Run_Room ? static_cast<float>(Run_Room->width) : 0.0f;
    *height = Run_Room ? static_cast<float>(Run_Room->height) : 0.0f;
}

void F_Draw(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (Surface(argc, 3, a, &id)) GR_Surface_Draw(id, F(a, 1), F(a, 2));
}

void F_DrawExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (Surface(argc, 8, a, &id))
        GR_Surface_DrawExt(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), F(a, 7));
}

void F_DrawStretched(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (Surface(argc, 5, a, &id))
        GR_Surface_DrawStretched(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), kWhite, GR_Draw_GetAlpha());
}

void F_DrawStretchedExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (Surface(argc, 7, a, &id)) GR_Surface_DrawStretched(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), F(a, 6));
}

// The part forms leave the check to the drawer, which reports a missing surface.
void F_DrawPart(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 7, "draw_surface_part")) return;
    GR_Surface_DrawPart(Arg_Int32(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), 1, 1, kWhite,
                        GR_Draw_GetAlpha());
}

void F_DrawPartExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 11, "draw_surface_part_ext")) return;
    GR_Surface_DrawPart(Arg_Int32(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8),
                        C(a, 9), F(a, 10));
}

void F_DrawGeneral(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (Surface(argc, 15, a, &id))
        GR_Surface_DrawGeneral(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), F(a, 6), F(a, 7), F(a, 8), F(a, 9),
                               C(a, 10), C(a, 11), C(a, 12), C(a, 13), F(a, 14));
}

void F_DrawTiled(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (!Surface(argc, 3, a, &id)) return;
    float width, height;
    RoomSize(&width, &height);
    GR_Surface_DrawTiled(id, F(a, 1), F(a, 2), 1, 1, true, true, 0, 0, width, height, kWhite, GR_Draw_GetAlpha());
}

void F_DrawTiledExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    int32_t id;
    if (!Surface(argc, 7, a, &id)) return;
    float width, height;
    RoomSize(&width, &height);
    GR_Surface_DrawTiled(id, F(a, 1), F(a, 2), F(a, 3), F(a, 4), true, true, 0, 0, width, height, C(a, 5), F(a, 6));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"draw_surface", F_Draw, 3},
    {"draw_surface_ext", F_DrawExt, 8},
    {"draw_surface_general", F_DrawGeneral, 15},
    {"draw_surface_part", F_DrawPart, 7},
    {"draw_surface_part_ext", F_DrawPartExt, 11},
    {"draw_surface_stretched", F_DrawStretched, 5},
    {"draw_surface_stretched_ext", F_DrawStretchedExt, 7},
    {"draw_surface_tiled", F_DrawTiled, 3},
    {"draw_surface_tiled_ext", F_DrawTiledExt, 7},
};

}  // namespace

void InitGraphicSurfaceDrawFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
