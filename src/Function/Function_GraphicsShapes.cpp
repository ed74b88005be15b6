// draw_set_*, the 2D shapes and primitives, and the colour built-ins. Each
// converts its arguments and calls one back end; none touches the batch.
#include "Function/Function_GraphicsShapes.h"

#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "Font/Graphics_Text.h"
#include "Graphics/Graphics_Colour.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/RenderStateCache.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "Sprite/Sprite_Vector.h"


namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "draw"); }

float F(Args a, int n) { return Arg_Float(a, n); }
uint32_t C(Args a, int n) { return static_cast<uint32_t>(Arg_Int32(a, n)); }
bool B(Args a, int n) { return Arg_Bool(a, n); }
// The outline flag some forms take as a float: any value above 0 outlines.
bool FloatFlag(Args a, int n) { return Arg_Float(a, n) > 0.0f; }

void SetReal(ScriptValue* r, double d) { ScriptValue_SetReal(r, d); }

// ---------------------------------------------------------------- state

void F_SetColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Draw_SetColour(C(a, 0));
}
void F_GetColour(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, GR_Draw_GetColour() & 0xFFFFFFu); }
void F_SetAlpha(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Draw_SetAlpha(F(a, 0));
}
void F_GetAlpha(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, GR_Draw_GetAlpha()); }
void F_SetAlphaTest(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetAlphaTest(B(a, 0));
}
void F_GetAlphaTest(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, GR_GetAlphaTest() ? 1 : 0); }
void F_SetAlphaTestRef(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetAlphaTestRef(Arg_Int32(a, 0));
}
void F_GetAlphaTestRef(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    SetReal(r, static_cast<uint32_t>(GR_GetAlphaTestRef()));
}
void F_SetBlendMode(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetBlendMode(Arg_Int32(a, 0));
}
void F_SetBlendModeExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_SetBlendModeExt(Arg_Int32(a, 0), Arg_Int32(a, 1));
}
void F_SetColourWriteEnable(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 4)) GR_SetColourWriteEnable(B(a, 0), B(a, 1), B(a, 2), B(a, 3));
}
void F_SetCirclePrecision(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_SetCirclePrecision(Arg_Int32(a, 0));
}
void F_SetFont(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) Text_SetFont(Arg_Int32(a, 0));
}
void F_SetHAlign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) Text_SetHAlign(Arg_Int32(a, 0));
}
void F_SetVAlign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) Text_SetVAlign(Arg_Int32(a, 0));
}
void F_EnableCornerId(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_CornerIdEnabled = B(a, 0);
}
void F_EnableDrawEvent(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) DrawEventsEnabled = B(a, 0);
}
void F_EnableSwfAA(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) VectorAntiAliasEnabled = B(a, 0);
}
void F_SetSwfAALevel(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const float level = F(a, 0);
    VectorAntiAliasLevel = level < 0.0f ? 0.0f : level > 1.0f ? 1.0f : level;
}
void F_GetSwfAALevel(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, VectorAntiAliasLevel); }
void F_Zero(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, 0); }

// ---------------------------------------------------------------- shapes

void F_Point(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_Draw_Point(F(a, 0), F(a, 1));
}
void F_PointColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 3)) GR_Draw_PointColour(F(a, 0), F(a, 1), C(a, 2));
}
void F_Line(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 4)) GR_Draw_Line(F(a, 0), F(a, 1), F(a, 2), F(a, 3));
}
void F_LineColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 6)) GR_Draw_LineColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5));
}
void F_LineWidth(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_LineWidth(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
void F_LineWidthColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 7)) GR_Draw_LineWidthColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), C(a, 6));
}
void F_Arrow(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_Arrow(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
void F_Rectangle(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_Rectangle(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
void F_RectangleColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 9))
        GR_Draw_RectangleColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5), C(a, 6), C(a, 7), B(a, 8));
}
void F_RoundRect(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_RoundRect(F(a, 0), F(a, 1), F(a, 2), F(a, 3), 10, 10, B(a, 4));
}
void F_RoundRectExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 7)) GR_Draw_RoundRect(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), FloatFlag(a, 6));
}
void F_RoundRectColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 7)) GR_Draw_RoundRectColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), 10, 10, C(a, 4), C(a, 5), B(a, 6));
}
void F_RoundRectColourExt(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 9))
        GR_Draw_RoundRectColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), C(a, 7), B(a, 8));
}
void F_Circle(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 4)) GR_Draw_Circle(F(a, 0), F(a, 1), F(a, 2), B(a, 3));
}
void F_CircleColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 6)) GR_Draw_CircleColour(F(a, 0), F(a, 1), F(a, 2), C(a, 3), C(a, 4), B(a, 5));
}
void F_Ellipse(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_Ellipse(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
void F_EllipseColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 7)) GR_Draw_EllipseColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5), B(a, 6));
}
void F_Triangle(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 7)) GR_Draw_Triangle(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), FloatFlag(a, 6));
}
void F_TriangleColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 10))
        GR_Draw_TriangleColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), C(a, 7), C(a, 8),
                               B(a, 9));
}
void F_Button(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 5)) GR_Draw_Button(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
void F_Healthbar(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 11)) return;
    const uint32_t minColour = C(a, 6), maxColour = C(a, 7);
    GR_Draw_Healthbar(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), minColour, Colour_Merge(minColour, maxColour, 0.5f),
                      maxColour, Arg_Int32(a, 8), B(a, 9), B(a, 10));
}
void F_Clear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Draw_Clear(C(a, 0) | 0xFF000000u);
}
void F_ClearAlpha(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_Draw_ClearAlpha(C(a, 0), F(a, 1));
}
void F_Path(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 4)) return;
    const int32_t index = Arg_Int32(a, 0);
    const float x = F(a, 1), y = F(a, 2);
    const bool absolute = B(a, 3);
    if (!Path_Exists(index)) {
        ReportRuntimeError("Trying to drawn non-existing path.", false);
        return;
    }
    if (absolute) Path_Get(index)->Draw(0, 0, true);
    else Path_Get(index)->Draw(x, y, false);
}
void F_PrimitiveBegin(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) GR_Draw_PrimitiveBegin(Arg_Int32(a, 0), -1);
}
void F_PrimitiveBeginTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const int kind = Arg_Int32(a, 0);
    // A handle outside the int range can name no texture; the back end refuses it.
    const intptr_t handle = Arg_NumberOrPointer(a, 1);
    GR_Draw_PrimitiveBegin(kind, handle < -1 || handle > INT32_MAX ? -2 : static_cast<int>(handle));
}
void F_PrimitiveEnd(ScriptValue*, CInstance*, CInstance*, int, Args) { GR_Draw_PrimitiveEnd(); }
void F_Vertex(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 2)) GR_Draw_Vertex(F(a, 0), F(a, 1));
}
void F_VertexColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 4)) GR_Draw_VertexColour(F(a, 0), F(a, 1), C(a, 2), F(a, 3));
}
void F_VertexTexture(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 4)) GR_Draw_VertexTexture(F(a, 0), F(a, 1), F(a, 2), F(a, 3));
}
void F_VertexTextureColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 6)) GR_Draw_VertexTextureColour(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), F(a, 5));
}

// ---------------------------------------------------------------- colours

void F_GetRed(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, Arg_Int32(a, 0) % 256);
}
void F_GetGreen(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, (Arg_Int32(a, 0) / 256) % 256);
}
void F_GetBlue(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, (Arg_Int32(a, 0) / 65536) % 256);
}
void F_GetHue(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, Colour_GetHSV(C(a, 0)).b[0]);
}
void F_GetSaturation(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, Colour_GetHSV(C(a, 0)).b[1]);
}
void F_GetValue(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 1)) SetReal(r, Colour_GetHSV(C(a, 0)).b[2]);
}
void F_MakeRGB(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    // 32-bit wrap-around, as the colour word would have it; no clamping.
    const uint32_t sum = C(a, 0) + C(a, 1) * 256u + C(a, 2) * 65536u;
    SetReal(r, static_cast<int32_t>(sum));
}
void F_MakeHSV(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 3)) return;
    const ColourBytes hsv{{static_cast<uint8_t>(Arg_Int32(a, 0)), static_cast<uint8_t>(Arg_Int32(a, 1)),
                           static_cast<uint8_t>(Arg_Int32(a, 2))}};
    SetReal(r, Colour_FromHSV(hsv));
}
void F_Merge(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Need(argc, 3)) SetReal(r, Colour_Merge(C(a, 0), C(a, 1), F(a, 2)));
}

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"draw_set_colour", F_SetColour, 1},
    {"draw_set_color", F_SetColour, 1},
    {"draw_get_colour", F_GetColour, 0},
    {"draw_get_color", F_GetColour, 0},
    {"draw_set_alpha", F_SetAlpha, 1},
    {"draw_get_alpha", F_GetAlpha, 0},
    {"draw_set_alpha_test", F_SetAlphaTest, 1},
    {"draw_get_alpha_test", F_GetAlphaTest, 0},
    {"draw_set_alpha_test_ref_value", F_SetAlphaTestRef, 1},
    {"draw_get_alpha_test_ref_value", F_GetAlphaTestRef, 0},
    {"draw_set_blend_mode", F_SetBlendMode, 1},
    {"draw_set_blend_mode_ext", F_SetBlendModeExt, 2},
    {"draw_set_colour_write_enable", F_SetColourWriteEnable, 4},
    {"draw_set_color_write_enable", F_SetColourWriteEnable, 4},
    {"draw_set_circle_precision", F_SetCirclePrecision, 1},
    {"draw_set_font", F_SetFont, 1},
    {"draw_set_halign", F_SetHAlign, 1},
    {"draw_set_valign", F_SetVAlign, 1},
    {"shader_enable_corner_id", F_EnableCornerId, 1},
    {"draw_enable_drawevent", F_EnableDrawEvent, 1},
    {"draw_enable_swf_aa", F_EnableSwfAA, 1},
    {"draw_set_swf_aa_level", F_SetSwfAALevel, 1},
    {"draw_get_swf_aa_level", F_GetSwfAALevel, 0},
    {"display_get_windows_alternate_sync", F_Zero, 0},
    {"display_set_windows_alternate_sync", F_Zero, 1},
    {"display_get_windows_vertex_buffer_method", F_Zero, 0},
    {"display_set_windows_vertex_buffer_method", F_Zero, 1},

    {"draw_point", F_Point, 2},
    {"draw_point_colour", F_PointColour, 3},
    {"draw_point_color", F_PointColour, 3},
    {"draw_line", F_Line, 4},
    {"draw_line_colour", F_LineColour, 6},
    {"draw_line_color", F_LineColour, 6},
    {"draw_line_width", F_LineWidth, 5},
    {"draw_line_width_colour", F_LineWidthColour, 7},
    {"draw_line_width_color", F_LineWidthColour, 7},
    {"draw_arrow", F_Arrow, 5},
    {"draw_rectangle", F_Rectangle, 5},
    {"draw_rectangle_colour", F_RectangleColour, 9},
    {"draw_rectangle_color", F_RectangleColour, 9},
    {"draw_roundrect", F_RoundRect, 5},
    {"draw_roundrect_ext", F_RoundRectExt, 5},
    {"draw_roundrect_colour", F_RoundRectColour, 7},
    {"draw_roundrect_color", F_RoundRectColour, 7},
    {"draw_roundrect_colour_ext", F_RoundRectColourExt, 7},
    {"draw_roundrect_color_ext", F_RoundRectColourExt, 7},
    {"draw_circle", F_Circle, 4},
    {"draw_circle_colour", F_CircleColour, 6},
    {"draw_circle_color", F_CircleColour, 6},
    {"draw_ellipse", F_Ellipse, 5},
    {"draw_ellipse_colour", F_EllipseColour, 7},
    {"draw_ellipse_color", F_EllipseColour, 7},
    {"draw_triangle", F_Triangle, 7},
    {"draw_triangle_colour", F_TriangleColour, 10},
    {"draw_triangle_color", F_TriangleColour, 10},
    {"draw_button", F_Button, 5},
    {"draw_healthbar", F_Healthbar, 11},
    {"draw_clear", F_Clear, 1},
    {"draw_clear_alpha", F_ClearAlpha, 2},
    {"draw_path", F_Path, 4},
    {"draw_primitive_begin", F_PrimitiveBegin, 1},
    {"draw_primitive_begin_texture", F_PrimitiveBeginTexture, 2},
    {"draw_primitive_end", F_PrimitiveEnd, 0},
    {"draw_vertex", F_Vertex, 2},
    {"draw_vertex_colour", F_VertexColour, 4},
    {"draw_vertex_color", F_VertexColour, 4},
    {"draw_vertex_texture", F_VertexTexture, 4},
    {"draw_vertex_texture_colour", F_VertexTextureColour, 6},
    {"draw_vertex_texture_color", F_VertexTextureColour, 6},

    {"colour_get_red", F_GetRed, 1},
    {"color_get_red", F_GetRed, 1},
    {"colour_get_green", F_GetGreen, 1},
    {"color_get_green", F_GetGreen, 1},
    {"colour_get_blue", F_GetBlue, 1},
    {"color_get_blue", F_GetBlue, 1},
    {"colour_get_hue", F_GetHue, 1},
    {"color_get_hue", F_GetHue, 1},
    {"colour_get_saturation", F_GetSaturation, 1},
    {"color_get_saturation", F_GetSaturation, 1},
    {"colour_get_value", F_GetValue, 1},
    {"color_get_value", F_GetValue, 1},
    {"make_colour_rgb", F_MakeRGB, 3},
    {"make_color_rgb", F_MakeRGB, 3},
    {"make_colour", F_MakeRGB, 3},
    {"make_color", F_MakeRGB, 3},
    {"make_colour_hsv", F_MakeHSV, 3},
    {"make_color_hsv", F_MakeHSV, 3},
    {"merge_colour", F_Merge, 3},
    {"merge_color", F_Merge, 3},
};

}  // namespace

void InitGraphicShapeFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
