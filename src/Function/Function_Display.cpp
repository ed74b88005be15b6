#include "Function/Function_Display.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_RealArray.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"

namespace {

using Args = ScriptValue*;

int32_t I(Args a, int n) { return Arg_Int32(a, n); }
void SetReal(ScriptValue* r, double d) { ScriptValue_SetReal(r, d); }

// ---------------------------------------------------------------- display

template <int (*Get)()>
void F_Get(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, Get()); }

void F_Zero(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, 0); }
void F_One(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, 1); }
void F_Nothing(ScriptValue*, CInstance*, CInstance*, int, Args) {}

// A mode change is tried, its outcome is the result, and the device is reset whatever it was.
void ModeResult(ScriptValue* r, bool changed)
{
    SetReal(r, changed ? 1 : 0);
    GR_D3D_Reset();
}

void F_SetSize(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 2, "display_set_size")) ModeResult(r, GR_Display_SetSize(I(a, 0), I(a, 1)));
}
void F_SetColourDepth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "display_set_colordepth")) ModeResult(r, GR_Display_SetColourDepth(I(a, 0)));
}
void F_SetFrequency(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "display_set_frequency")) ModeResult(r, GR_Display_SetFrequency(I(a, 0)));
}
void F_SetAll(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 4, "display_set_all")) ModeResult(r, GR_Display_SetAll(I(a, 0), I(a, 1), I(a, 2), I(a, 3)));
}
void F_TestAll(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 4, "display_test_all")) SetReal(r, GR_Display_TestAll(I(a, 0), I(a, 1), I(a, 2), I(a, 3)) ? 1 : 0);
}

// Anti-aliasing and vertical sync take effect with a device reset at the end
// of this frame. Called with the level alone, the vertical sync stays as it is.
void F_Reset(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 1, "display_reset")) return;
    GR_D3D_SetAntialias(I(a, 0) & 0xFF);
    if (argc >= 2) GR_D3D_SetVSync(Arg_Bool(a, 1));
    DeviceResetCountdown = 1;
}

void F_MouseSet(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 2, "display_mouse_set")) GR_Display_SetMouse(I(a, 0), I(a, 1));
}

void F_VisibleRects(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    // The desktop keeps no list of the window's visible parts: 0 rectangles of 8 reals.
    Function_ReturnRealArray(r, 8 * Win32Window_GetVisibleRects(), nullptr);
}

// ---------------------------------------------------------------- window

void F_SetCaption(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_set_caption")) GR_Window_SetCaption(Arg_String(a, 0));
}
void F_GetCaption(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    ScriptValue_SetUndefined(r);
    ScriptValue_InitString(r, GR_Window_GetCaption());
}
void F_SetColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_set_colour")) GR_Window_SetColour(static_cast<uint32_t>(I(a, 0)));
}
void F_GetColour(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, GR_Window_GetColour()); }
void F_SetCursor(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_set_cursor")) Win32Window_SetCursor(I(a, 0));
}
void F_SetFullscreen(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_set_fullscreen")) Win32Window_SetFullscreen(Arg_Bool(a, 0));
}
void F_GetFullscreen(ScriptValue* r, CInstance*, CInstance*, int, Args)
{
    SetReal(r, Win32Window_GetFullscreen() ? 1 : 0);
}
void F_SetSizeWindow(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 2, "window_set_size")) Win32Window_SetSize(I(a, 0), I(a, 1));
}
void F_SetPosition(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 2, "window_set_position")) Win32Window_SetPosition(I(a, 0), I(a, 1));
}
void F_SetRectangle(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 4, "window_set_rectangle")) GR_Window_SetRectangle(I(a, 0), I(a, 1), I(a, 2), I(a, 3));
}
void F_Center(ScriptValue*, CInstance*, CInstance*, int, Args) { Win32Window_Center(); }

template <void (*Set)(int32_t)>
void F_Limit(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_set_min_width")) Set(I(a, 0));
}

void F_WindowMouseSet(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 2, "window_mouse_set")) Win32Window_MouseSet(I(a, 0), I(a, 1));
}

template <int32_t (*Get)(int32_t)>
void F_ViewMouse(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (Arg_Need(argc, 1, "window_view_mouse_get_x")) SetReal(r, Get(I(a, 0)));
}

template <int32_t (*Get)(int32_t)>
void F_ViewsMouse(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, Get(0)); }

template <int32_t (*Get)()>
void F_Get32(ScriptValue* r, CInstance*, CInstance*, int, Args) { SetReal(r, Get()); }

struct Row {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Row kFunctions[] = {
    {"display_get_width", F_Get<GR_Display_GetWidth>, 0},
    {"display_get_height", F_Get<GR_Display_GetHeight>, 0},
    {"display_get_colordepth", F_Get<GR_Display_GetColourDepth>, 0},
    {"display_get_frequency", F_Get<GR_Display_GetFrequency>, 0},
    {"display_get_orientation", F_Zero, 0},  // a desktop is always landscape
    {"display_set_size", F_SetSize, 2},
    {"display_set_colordepth", F_SetColourDepth, 1},
    {"display_set_frequency", F_SetFrequency, 1},
    {"display_set_all", F_SetAll, 4},
    {"display_test_all", F_TestAll, 4},
    {"display_reset", F_Reset, 1},
    {"display_mouse_get_x", F_Get<GR_Display_GetMouseX>, 0},
    {"display_mouse_get_y", F_Get<GR_Display_GetMouseY>, 0},
    {"display_mouse_set", F_MouseSet, 2},
    {"display_set_ui_visibility", F_Zero, 1},
    {"window_get_visible_rects", F_VisibleRects, 4},

    {"window_set_caption", F_SetCaption, 1},
    {"window_get_caption", F_GetCaption, 0},
    {"window_set_colour", F_SetColour, 1},
    {"window_set_color", F_SetColour, 1},
    {"window_get_colour", F_GetColour, 0},
    {"window_get_color", F_GetColour, 0},
    {"window_set_cursor", F_SetCursor, 1},
    {"window_get_cursor", F_Get<Win32Window_GetCursor>, 0},
    {"window_set_fullscreen", F_SetFullscreen, 1},
    {"window_get_fullscreen", F_GetFullscreen, 0},
    {"window_set_size", F_SetSizeWindow, 2},
    {"window_set_position", F_SetPosition, 2},
    {"window_set_rectangle", F_SetRectangle, 4},
    {"window_center", F_Center, 0},
    {"window_get_width", F_Get<Win32Window_GetClientWidth>, 0},
    {"window_get_height", F_Get<Win32Window_GetClientHeight>, 0},
    {"window_get_x", F_Get<Win32Window_GetClientX>, 0},
    {"window_get_y", F_Get<Win32Window_GetClientY>, 0},
    {"window_set_min_width", F_Limit<GR_Window_SetMinWidth>, 1},
    {"window_set_min_height", F_Limit<GR_Window_SetMinHeight>, 1},
    {"window_set_max_width", F_Limit<GR_Window_SetMaxWidth>, 1},
    {"window_set_max_height", F_Limit<GR_Window_SetMaxHeight>, 1},
    {"window_get_visible", F_One, 0},
    {"window_get_showborder", F_Zero, 0},
    {"window_get_showicons", F_Zero, 0},
    {"window_get_sizeable", F_Zero, 0},
    {"window_get_stayontop", F_Zero, 0},
    {"window_set_showborder", F_Nothing, 1},
    {"window_set_showicons", F_Nothing, 1},
    {"window_set_sizeable", F_Nothing, 1},
    {"window_set_stayontop", F_Nothing, 1},
    {"window_set_visible", F_Nothing, 1},
    {"window_default", F_Nothing, 0},
    {"window_mouse_get_x", F_Get32<GR_Window_GetMouseX>, 0},
    {"window_mouse_get_y", F_Get32<GR_Window_GetMouseY>, 0},
    {"window_mouse_set", F_WindowMouseSet, 2},
    {"window_view_mouse_get_x", F_ViewMouse<GR_Window_ViewMouseX>, 1},
    {"window_view_mouse_get_y", F_ViewMouse<GR_Window_ViewMouseY>, 1},
    {"window_views_mouse_get_x", F_ViewsMouse<GR_Window_DeviceMouseX>, 0},
    {"window_views_mouse_get_y", F_ViewsMouse<GR_Window_DeviceMouseY>, 0},
    {"window_view_mouse_set", F_Nothing, 3},
    {"window_views_mouse_set", F_Nothing, 2},
};

}  // namespace

void InitDisplayFunctions()
{
    for (const Row& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
