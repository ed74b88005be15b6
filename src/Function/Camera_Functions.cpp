#include "Function/Camera_Functions.h"

#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Function/Function_RealArray.h"
#include "World/Camera.h"
#include "World/Room_Class.h"

namespace {
void WrongCount(const char* name)
{
    char text[128];
    std::snprintf(text, sizeof text, "%s() - wrong number of arguments", name);
    ShowRuntimeError(text, false);
}

// Sets the result to -1 and checks the count (its message on a mismatch);
// then the camera argument 0 names, or null.
Camera* CameraArg(ScriptValue* result, int argc, ScriptValue* args, int count, const char* name)
{
    ScriptValue_SetReal(result, -1);
    if (argc != count) {
        WrongCount(name);
        return nullptr;
    }
    return CameraList::GetCamera(Arg_Int32(args, 0));
}

float ReadArg(ScriptValue* args, int n, float*) { return Arg_Float(args, n); }
int32_t ReadArg(ScriptValue* args, int n, int32_t*) { return Arg_Int32(args, n); }

// ------------------------------------------------------------ generic forms

template <const char* Name, auto Field>
void F_CameraGet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (Camera* camera = CameraArg(result, argc, args, 1, Name)) ScriptValue_SetReal(result, camera->*Field);
}

// One value; Changes marks the view changed (position, size and angle do).
template <const char* Name, auto Field, bool Changes>
void F_CameraSet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    Camera* camera = CameraArg(result, argc, args, 2, Name);
    if (!camera) return;
    camera->*Field = ReadArg(args, 1, &(camera->*Field));
    if (Changes) camera->viewChanged = 1;
}

template <const char* Name, auto FieldX, auto FieldY, bool Changes>
void F_CameraSetPair(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    Camera* camera = CameraArg(result, argc, args, 3, Name);
    if (!camera) return;
    camera->*FieldX = Arg_Float(args, 1);
    camera->*FieldY = Arg_Float(args, 2);
    if (Changes) camera->viewChanged = 1;
}

template <const char* Name, auto Field>
void F_CameraGetMatrix(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    Camera* camera = CameraArg(result, argc, args, 1, Name);
    if (!camera) return;
    Function_ReturnFloatArray(result, 16, &(camera->*Field).m[0][0]);
}

// The 16 values of row 0 of an array, with the two reported faults.
template <const char* Name, void (Camera::*Setter)(const float*)>
void F_CameraSetMatrix(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    Camera* camera = CameraArg(result, argc, args, 2, Name);
    if (!camera) return;
    char text[128];
    const ScriptValue& value = args[1];
    if (value.Kind() != VALUE_ARRAY || !value.arr) {
        std::snprintf(text, sizeof text, "%s() - array invalid (has it been created properly?)", Name);
        ReportRuntimeError(text, false);
        return;
    }
    if (value.arr->rowCount < 1 || value.arr->rows[0].length != 16) {
        std::snprintf(text, sizeof text, "%s() - must be 16 entries in array", Name);
        ReportRuntimeError(text, false);
        return;
    }
    float matrix[16];
    for (int32_t k = 0; k < 16; ++k) matrix[k] = DoubleToFloat(ScriptValue_ToReal(&value.arr->rows[0].elements[k]));
    (camera->*Setter)(matrix);
}

// ------------------------------------------------------------ the rest

void F_CameraCreate(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue*)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 0) {
        ShowRuntimeError("camera_create() - doesn't take any arguments", false);
        return;
    }
    if (const Camera* camera = CameraList::CreateCamera()) ScriptValue_SetReal(result, camera->id);
}

void F_CameraCreateView(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc < 4) {
        ShowRuntimeError("camera_create_view() - must have at least 4 arguments", false);
        return;
    }
    Camera* camera = CameraList::CreateCamera();
    if (!camera) return;
    camera->viewX = Arg_Float(args, 0);
    camera->viewY = Arg_Float(args, 1);
    camera->viewWidth = Arg_Float(args, 2);
    camera->viewHeight = Arg_Float(args, 3);
    camera->angle = argc > 4 ? Arg_Float(args, 4) : 0.0f;
    camera->target = argc > 5 ? Arg_Int32(args, 5) : -1;
    camera->speedX = argc > 6 ? Arg_Float(args, 6) : -1.0f;
    camera->speedY = argc > 7 ? Arg_Float(args, 7) : -1.0f;
    camera->borderX = argc > 8 ? Arg_Float(args, 8) : 0.0f;
    camera->borderY = argc > 9 ? Arg_Float(args, 9) : 0.0f;
    camera->BuildOrthoMatrices(camera->viewX + camera->viewWidth * 0.5f, camera->viewY + camera->viewHeight * 0.5f);
    ScriptValue_SetReal(result, camera->id);
}

void F_CameraDestroy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    // Destroying clears the active camera when it is this one.
    if (const Camera* camera = CameraArg(result, argc, args, 1, "camera_destroy"))
        CameraList::DestroyCamera(camera->id);
}

void F_CameraApply(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (Camera* camera = CameraArg(result, argc, args, 1, "camera_apply")) camera->Apply();
}

void F_CameraGetActive(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    const Camera* camera = CameraList::GetActiveCamera();
    ScriptValue_SetReal(result, camera ? camera->id : -1);
}

void F_CameraGetDefault(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, CameraList::GetCamera(DefaultCameraId) ? DefaultCameraId : -1);
}

void F_CameraSetDefault(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 1) return;
    const int32_t id = Arg_Int32(args, 0);
    if (CameraList::GetCamera(id)) DefaultCameraId = id;
}

// ------------------------------------------------------------ views

// Views outside 0..7 address view 0; null before a room runs or without the index.
RoomView* ViewArg(int argc, ScriptValue* args, int count)
{
    if (!Run_Room || argc < count) return nullptr;
    const int32_t index = Arg_Int32(args, 0);
    return &Run_Room->views[index >= 0 && index < ROOM_VIEWS ? index : 0];
}

int32_t RoundedArg(ScriptValue* args, int n) { return DoubleToInt32(std::nearbyint(Arg_Real(args, n))); }

template <int32_t RoomView::*Field>
void F_ViewGet(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    RoomView* view = ViewArg(argc, args, 1);
    ScriptValue_SetReal(result, view ? view->*Field : 0);
}

template <int32_t RoomView::*Field>
void F_ViewSet(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (RoomView* view = ViewArg(argc, args, 2)) view->*Field = RoundedArg(args, 1);
}

void F_ViewGetVisible(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    RoomView* view = ViewArg(argc, args, 1);
    ScriptValue_SetReal(result, view && view->visible ? 1 : 0);
}

void F_ViewSetVisible(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (RoomView* view = ViewArg(argc, args, 2)) view->visible = RoundedArg(args, 1) > 0.5;
}

constexpr char kSetViewMat[] = "camera_set_view_mat";
constexpr char kSetProjMat[] = "camera_set_proj_mat";
constexpr char kSetUpdateScript[] = "camera_set_update_script";
constexpr char kSetBeginScript[] = "camera_set_begin_script";
constexpr char kSetEndScript[] = "camera_set_end_script";
constexpr char kSetViewPos[] = "camera_set_view_pos";
constexpr char kSetViewSize[] = "camera_set_view_size";
constexpr char kSetViewSpeed[] = "camera_set_view_speed";
constexpr char kSetViewBorder[] = "camera_set_view_border";
constexpr char kSetViewAngle[] = "camera_set_view_angle";
constexpr char kSetViewTarget[] = "camera_set_view_target";
constexpr char kGetViewMat[] = "camera_get_view_mat";
constexpr char kGetProjMat[] = "camera_get_proj_mat";
constexpr char kGetUpdateScript[] = "camera_get_update_script";
constexpr char kGetBeginScript[] = "camera_get_begin_script";
constexpr char kGetEndScript[] = "camera_get_end_script";
constexpr char kGetViewX[] = "camera_get_view_x";
constexpr char kGetViewY[] = "camera_get_view_y";
constexpr char kGetViewWidth[] = "camera_get_view_width";
constexpr char kGetViewHeight[] = "camera_get_view_height";
constexpr char kGetViewSpeedX[] = "camera_get_view_speed_x";
constexpr char kGetViewSpeedY[] = "camera_get_view_speed_y";
constexpr char kGetViewBorderX[] = "camera_get_view_border_x";
constexpr char kGetViewBorderY[] = "camera_get_view_border_y";
constexpr char kGetViewAngle[] = "camera_get_view_angle";
constexpr char kGetViewTarget[] = "camera_get_view_target";

struct Registration {
    const char* name;
    BuiltinRoutine routine;
    int32_t count;
};

const Registration kFunctions[] = {
    {"camera_create", F_CameraCreate, 0},
    {"camera_create_view", F_CameraCreateView, 4},
    {"camera_destroy", F_CameraDestroy, 1},
    {"camera_apply", F_CameraApply, 1},
    {"camera_get_active", F_CameraGetActive, 0},
    {"camera_get_default", F_CameraGetDefault, 0},
    {"camera_set_default", F_CameraSetDefault, 1},
    {kSetViewMat, F_CameraSetMatrix<kSetViewMat, &Camera::SetViewMat>, 2},
    {kSetProjMat, F_CameraSetMatrix<kSetProjMat, &Camera::SetProjMat>, 2},
    {kSetUpdateScript, F_CameraSet<kSetUpdateScript, &Camera::updateScript, false>, 2},
    {kSetBeginScript, F_CameraSet<kSetBeginScript, &Camera::beginScript, false>, 2},
    {kSetEndScript, F_CameraSet<kSetEndScript, &Camera::endScript, false>, 2},
    {kSetViewPos, F_CameraSetPair<kSetViewPos, &Camera::viewX, &Camera::viewY, true>, 3},
    {kSetViewSize, F_CameraSetPair<kSetViewSize, &Camera::viewWidth, &Camera::viewHeight, true>, 3},
    {kSetViewSpeed, F_CameraSetPair<kSetViewSpeed, &Camera::speedX, &Camera::speedY, false>, 3},
    {kSetViewBorder, F_CameraSetPair<kSetViewBorder, &Camera::borderX, &Camera::borderY, false>, 3},
    {kSetViewAngle, F_CameraSet<kSetViewAngle, &Camera::angle, true>, 2},
    {kSetViewTarget, F_CameraSet<kSetViewTarget, &Camera::target, false>, 2},
    {kGetViewMat, F_CameraGetMatrix<kGetViewMat, &Camera::view>, 1},
    {kGetProjMat, F_CameraGetMatrix<kGetProjMat, &Camera::projection>, 1},
    {kGetUpdateScript, F_CameraGet<kGetUpdateScript, &Camera::updateScript>, 1},
    {kGetBeginScript, F_CameraGet<kGetBeginScript, &Camera::beginScript>, 1},
    {kGetEndScript, F_CameraGet<kGetEndScript, &Camera::endScript>, 1},
    {kGetViewX, F_CameraGet<kGetViewX, &Camera::viewX>, 1},
    {kGetViewY, F_CameraGet<kGetViewY, &Camera::viewY>, 1},
    {kGetViewWidth, F_CameraGet<kGetViewWidth, &Camera::viewWidth>, 1},
    {kGetViewHeight, F_CameraGet<kGetViewHeight, &Camera::viewHeight>, 1},
    {kGetViewSpeedX, F_CameraGet<kGetViewSpeedX, &Camera::speedX>, 1},
    {kGetViewSpeedY, F_CameraGet<kGetViewSpeedY, &Camera::speedY>, 1},
    {kGetViewBorderX, F_CameraGet<kGetViewBorderX, &Camera::borderX>, 1},
    {kGetViewBorderY, F_CameraGet<kGetViewBorderY, &Camera::borderY>, 1},
    {kGetViewAngle, F_CameraGet<kGetViewAngle, &Camera::angle>, 1},
    {kGetViewTarget, F_CameraGet<kGetViewTarget, &Camera::target>, 1},
    {"view_get_camera", F_ViewGet<&RoomView::camera>, 1},
    {"view_get_visible", F_ViewGetVisible, 1},
    {"view_get_xport", F_ViewGet<&RoomView::portX>, 1},
    {"view_get_yport", F_ViewGet<&RoomView::portY>, 1},
    {"view_get_wport", F_ViewGet<&RoomView::portWidth>, 1},
    {"view_get_hport", F_ViewGet<&RoomView::portHeight>, 1},
    {"view_get_surface_id", F_ViewGet<&RoomView::spare>, 1},
    {"view_set_camera", F_ViewSet<&RoomView::camera>, 2},
    {"view_set_visible", F_ViewSetVisible, 2},
    {"view_set_xport", F_ViewSet<&RoomView::portX>, 2},
    {"view_set_yport", F_ViewSet<&RoomView::portY>, 2},
    {"view_set_wport", F_ViewSet<&RoomView::portWidth>, 2},
    {"view_set_hport", F_ViewSet<&RoomView::portHeight>, 2},
    {"view_set_surface_id", F_ViewSet<&RoomView::spare>, 2},
};
static_assert(sizeof kFunctions / sizeof kFunctions[0] == 47);
}  // namespace

void InitCameraFunctions()
{
    for (const Registration& f : kFunctions) CodeFunction_Register(f.name, f.routine, f.count, 1);
}
