#include "Draw/Draw_Frame.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>

#include "Code/Code_Profiler.h"
#include "Base/ErrorReport.h"
#include "Base/Matrix.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Script/Script_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/Camera.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

bool ApplicationSurfaceEnabled = true;
bool ApplicationSurfaceDrawEnabled = true;
int32_t view_current = 0;
bool DrawEventsEnabled = true;
int32_t cursor_sprite = -1;
CInstance* CurrentDrawInstance = nullptr;
bool GUI_Active = false;
int32_t GUI_Width = -1, GUI_Height = -1;

namespace {
float s_portScaleX = 1, s_portScaleY = 1;
bool s_resizePending = false;
int32_t s_requestedWidth = 0, s_requestedHeight = 0;

bool CamerasInUse()
{
    return LayerMode;
}

void SetBounds(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    GR_ViewBounds = {left, top, right, bottom};
    GR_InvalidateCullRect();
}

void SetBackBufferView()
{
    SetBounds(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    GR_D3D_SetViewport(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
}

// Points the default camera at a rectangle (or, without one, the renderer's 2D view).
void SetDefaultCameraView(float x, float y, float w, float h, float angle)
{
    Camera* camera = CameraList::GetCamera(DefaultCameraId);
    if (!camera) {
        GR_D3D_SetView(x, y, w, h, angle);
        return;
    }
    camera->SetViewX(x);
    camera->SetViewY(y);
    camera->SetViewWidth(w);
    camera->SetViewHeight(h);
    camera->SetViewAngle(angle);
    if (camera->Is2D()) camera->BuildOrthoMatrices(x + w * 0.5f, y + h * 0.5f);
    else camera->BuildPerspectiveMatrices(x + w * 0.5f, y + h * 0.5f);
    camera->Apply();
    CameraList::SetActiveCamera(DefaultCameraId);
}

// The rectangle the application surface is drawn into within width x height.
void LetterboxRect(float w, float h, bool keepAspect, float* left, float* top, float* drawnW, float* drawnH)
{
    *left = *top = 0;
    *drawnW = w;
    *drawnH = h;
    const float sw = static_cast<float>(ApplicationSurfaceWidth), sh = static_cast<float>(ApplicationSurfaceHeight);
    if (!keepAspect || sw <= 0 || sh <= 0) return;
    const float fullWidthHeight = w / (sw / sh);
    if (h > fullWidthHeight) {
        *drawnH = sh / sw * w;
        *top = (h - *drawnH) * 0.5f;
    } else if (h < fullWidthHeight) {
        *drawnW = h * (sw / sh);
        *left = (w - *drawnW) * 0.5f;
    }
}

// Creates, resizes or frees the application surface for this frame.
void PrepareApplicationSurface()
{
    if (!ApplicationSurfaceEnabled) {
        ApplicationSurfaceWidth = GR_D3D_BackBufferWidth;
        ApplicationSurfaceHeight = GR_D3D_BackBufferHeight;
        ApplicationSurface_Free();
        return;
    }
    if (ApplicationSurfaceWidth <= 0 || ApplicationSurfaceHeight <= 0) {
        ApplicationSurfaceWidth = GR_D3D_BackBufferWidth;
        ApplicationSurfaceHeight = GR_D3D_BackBufferHeight;
    }
    if (!GR_Surface_Exists(ApplicationSurface)) {
        const int32_t id = GR_Surface_Create(ApplicationSurfaceWidth, ApplicationSurfaceHeight, -1);
        ApplicationSurface = id >= 0 ? id : APPLICATION_SURFACE_NONE;
    }
    if (s_resizePending) {
        s_resizePending = false;
        GR_Surface_Resize(ApplicationSurface, s_requestedWidth, s_requestedHeight);
    }
}

// Follows the view's target instance (rooms without cameras).
void FollowTarget(RoomView& v, const CGameRoom& room)
{
    CInstance* target = nullptr;
    if (v.followObject > 99999) {
        target = Instance_Find(v.followObject);
        if (target && (target->m_marked || target->m_deactivated)) target = nullptr;
    } else if (v.followObject >= 0) {
        for (CInstance* i = room.activeInstances.first; i && !target; i = i->m_next)
            if (i->object_index == v.followObject && !i->m_marked && !i->m_deactivated) target = i;
    }
    if (!target) return;
    if (target->m_bboxDirty) target->ComputeBoundingBox();
    const float fx = std::floor(target->x), fy = std::floor(target->y);
    auto follow = [](float pos, float size, float border, float at) {
        if (size <= 2 * border) return at - size * 0.5f;
        if (pos > at - border) return at - border;
        if (at + border > pos + size) return at + border - size;
        return pos;
    };
    float nx = follow(v.viewX, v.viewWidth, static_cast<float>(v.borderH), fx);
    float ny = follow(v.viewY, v.viewHeight, static_cast<float>(v.borderV), fy);
    nx = std::max(0.0f, nx);
    if (nx + v.viewWidth > static_cast<float>(room.width)) nx = static_cast<float>(room.width) - v.viewWidth;
    ny = std::max(0.0f, ny);
    if (ny + v.viewHeight > static_cast<float>(room.height)) ny = static_cast<float>(room.height) - v.viewHeight;
    auto limit = [](float from, float to, int32_t speed) {
        if (speed < 0 || std::fabs(to - from) <= static_cast<float>(speed)) return to;
        return to > from ? from + static_cast<float>(speed) : from - static_cast<float>(speed);
    };
    v.viewX = limit(v.viewX, nx, v.hspeed);
    v.viewY = limit(v.viewY, ny, v.vspeed);
}

void DrawViews(CGameRoom& room)
{
    if (room.clearViewBackground) GR_Draw_Clear(GR_Window_GetColour() | 0xFF000000u);
    for (int32_t i = 0; i < ROOM_VIEWS; ++i) {
        RoomView& v = room.views[i];
        if (!v.visible) continue;
        view_current = i;
        // A view with a surface of its own draws into all of it (the target
        // sets the viewport to the whole surface).
        const bool ownTarget = GR_Surface_Exists(v.spare) && GR_Surface_SetTarget(0, v.spare);
        if (!ownTarget)
            GR_D3D_SetViewport(static_cast<int>(static_cast<float>(v.portX) * s_portScaleX),
                               static_cast<int>(static_cast<float>(v.portY) * s_portScaleY),
                               static_cast<int>(static_cast<float>(v.portWidth) * s_portScaleX),
                               static_cast<int>(static_cast<float>(v.portHeight) * s_portScaleY));
        if (CamerasInUse()) {
            CameraList::SetActiveCamera(v.camera);
            if (Camera* camera = CameraList::GetActiveCamera(); camera && v.camera >= 0) {
                camera->RunBeginScript();
                camera->Apply();
            }
        } else {
            GR_D3D_SetView(v.viewX, v.viewY, v.viewWidth, v.viewHeight, v.angle);
        }
        DrawView(GR_ViewBounds.left, GR_ViewBounds.top, GR_ViewBounds.right, GR_ViewBounds.bottom);
        if (ownTarget) GR_Surface_ResetTarget();
        if (CamerasInUse()) {
            if (Camera* camera = CameraList::GetActiveCamera(); camera && v.camera >= 0) camera->RunEndScript();
            CameraList::SetActiveCamera(-1);
        }
    }
    GR_VertexBuilder_Flush();
}

void DrawCursor()
{
    CSprite* cursor = Sprite_Get(cursor_sprite);
    if (!cursor) return;
    Matrix view;
    Matrix_Identity(&view);
    view.m[3][0] = -static_cast<float>(GR_D3D_BackBufferWidth) * 0.5f;
    view.m[3][1] = -static_cast<float>(GR_D3D_BackBufferHeight) * 0.5f;
    view.m[3][2] = 16000.0f;
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_InvalidateCullRect();
    const bool culling = NoSpriteCulling;
    NoSpriteCulling = true;
    cursor->DrawExt(0, static_cast<float>(GR_Window_MouseX), static_cast<float>(GR_Window_MouseY), 1, 1, 0, 0xFFFFFF,
                    1);
    NoSpriteCulling = culling;
}
}  // namespace

void DrawFrame_PortScale(float* x, float* y)
{
    *x = s_portScaleX;
    *y = s_portScaleY;
}

void DrawFrame_Reset()
{
    ApplicationSurface_Free();
    ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
    s_resizePending = false;
    ApplicationSurfaceEnabled = ApplicationSurfaceDrawEnabled = true;
    view_current = 0;
    CurrentDrawInstance = nullptr;
    GUI_Active = false;
    GUI_Width = GUI_Height = -1;
    s_portScaleX = s_portScaleY = 1;
}

void ApplicationSurface_Free()
{
    if (ApplicationSurface != APPLICATION_SURFACE_NONE) GR_Surface_Free(ApplicationSurface, true);
    ApplicationSurface = APPLICATION_SURFACE_NONE;
}

void ApplicationSurface_RequestResize(int32_t width, int32_t height)
{
    s_requestedWidth = width;
    s_requestedHeight = height;
    s_resizePending = true;
}

void DrawFrame_SetTargetView(float x, float y, float width, float height, float angle)
{
    if (CamerasInUse()) SetDefaultCameraView(x, y, width, height, angle);
    else GR_D3D_SetView(x, y, width, height, angle);
}

void RunLayerScript(int32_t layerId, int32_t script, int32_t kind, int32_t subKind)
{
    if (script == -1) return;
    CInstance* self = ObjectMode ? Variable_GlobalInstance() : LayerScriptInstance;
    if (!self) return;
    const int object = Event_CurrentObject, eventKind = Event_CurrentKind, number = Event_CurrentNumber;
    Event_CurrentObject = layerId;
    Event_CurrentKind = kind;
    Event_CurrentNumber = subKind;
    ScriptValue result = ScriptValue_Undefined();
    Script_Call(script, self, self, 0, &result, nullptr);
    ScriptValue_SetUndefined(&result);
    Event_CurrentObject = object;
    Event_CurrentKind = eventKind;
    Event_CurrentNumber = number;
}

bool PerformDrawEventWithClear(int32_t kind, int32_t subKind, bool clear)
{
    GR_InvalidateCullRect();
    CGameRoom* room = Run_Room;
    if (!room) return false;
    bool cleared = false;
    auto run = [&](CInstance* instance) {
        if (instance->m_marked || !instance->visible || !instance->m_object) return;
        if (!instance->m_object->HasEvent(kind, subKind)) return;
        if (clear && !cleared) {
            GR_Draw_Clear(GR_Window_GetColour());
            cleared = true;
        }
        PerformEventForInstance(instance, instance, kind, subKind);
    };
    if (room->layers.first) {
        for (RoomLayer* layer = room->layers.last; layer; layer = layer->prev) {  // deepest first
            if (!layer->visible) continue;
            const bool shaded = layer->shader != -1;
            if (shaded && !Shader_Select(layer->shader)) ReportRuntimeError("Illegal shader handle", false);
            RunLayerScript(layer->id, layer->beginScript, kind, subKind);
            for (LayerElement* e = layer->first; e; e = e->next) {
                if (e->kind != LAYER_ELEMENT_INSTANCE) continue;
                CInstance* instance = static_cast<LayerElement_Instance*>(e)->instance;
                if (!instance) continue;
                // Deactivated instances sit at the tail of each layer.
                if (instance->m_deactivated) break;
                run(instance);
            }
            RunLayerScript(layer->id, layer->endScript, kind, subKind);
            if (shaded) Shader_Reset();
        }
    } else {
        for (CInstance* i = room->activeInstances.first; i; i = i->m_next)
            if (!i->m_deactivated) run(i);
    }
    return cleared;
}

void PerformDrawEvent(int32_t kind, int32_t subKind)
{
    PerformDrawEventWithClear(kind, subKind, false);
}

void UpdateViews()
{
    CGameRoom* room = Run_Room;
    if (!room) return;
    if (!room->enableViews) {
        for (int32_t index = 0; index < ROOM_VIEWS; ++index) GR_Window_ClearViewMapping(index);
        return;
    }
    float left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (int32_t index = 0; index < ROOM_VIEWS; ++index) {
        RoomView& v = room->views[index];
        GR_Window_ClearViewMapping(index);
        if (!v.visible) continue;
        if (CamerasInUse()) {
            if (Camera* camera = CameraList::GetCamera(v.camera)) camera->Update();
        } else {
            FollowTarget(v, *room);
        }
        const float px = static_cast<float>(v.portX), py = static_cast<float>(v.portY);
        GR_Window_SetViewMapping(index, px, py, static_cast<float>(v.portWidth), static_cast<float>(v.portHeight),
                                 v.viewX, v.viewY, v.viewWidth, v.viewHeight, v.angle, v.spare, v.camera);
        const float pr = px + static_cast<float>(v.portWidth), pb = py + static_cast<float>(v.portHeight);
        left = any ? std::min(left, px) : px;
        top = any ? std::min(top, py) : py;
        right = any ? std::max(right, pr) : pr;
        bottom = any ? std::max(bottom, pb) : pb;
        any = true;
    }
    s_portScaleX = any && right > left ? static_cast<float>(ApplicationSurfaceWidth) / (right - left) : 1.0f;
    s_portScaleY = any && bottom > top ? static_cast<float>(ApplicationSurfaceHeight) / (bottom - top) : 1.0f;
}

void UpdateWindowSizeForRoom()
{
    CGameRoom* room = Run_Room;
    if (!room) return;
    int32_t width = room->width, height = room->height;
    if (room->enableViews) {
        // Ports come from game data and saved games: summed wide, then held
        // to what an int takes.
        int64_t wide = 8, high = 8;
        for (const RoomView& v : room->views)
            if (v.visible) {
                wide = std::max(wide, int64_t{v.portX} + v.portWidth);
                high = std::max(high, int64_t{v.portY} + v.portHeight);
            }
        width = static_cast<int32_t>(std::min<int64_t>(wide, INT32_MAX));
        height = static_cast<int32_t>(std::min<int64_t>(high, INT32_MAX));
    }
    if (GR_Window_ClientWidth > 0) width = std::min(width, GR_Window_ClientWidth);
    if (GR_Window_ClientHeight > 0) height = std::min(height, GR_Window_ClientHeight);
    GR_D3D_SetBackBufferSize(width, height);  // nothing when the size is what it was
}

void GUI_Begin()
{
    GR_D3D_SetViewport(0, 0, GR_D3D_BackBufferWidth, GR_D3D_BackBufferHeight);
    Matrix projection;
    Matrix_Ortho(&projection, static_cast<float>(GR_D3D_BackBufferWidth), -static_cast<float>(GR_D3D_BackBufferHeight),
                 1.0f, 32000.0f);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, &projection.m[0][0]);
    GUI_UpdateMatrices();
}

void GUI_UpdateMatrices()
{
    const float bw = static_cast<float>(GR_D3D_BackBufferWidth), bh = static_cast<float>(GR_D3D_BackBufferHeight);
    float left, top, w, h;
    LetterboxRect(bw, bh, GR_D3D_KeepAspect, &left, &top, &w, &h);
    const float xscale = GUI_Width > 0 ? w / static_cast<float>(GUI_Width) : 1.0f;
    const float yscale = GUI_Height > 0 ? h / static_cast<float>(GUI_Height) : 1.0f;
    const float xoffset = -std::floor(w * 0.5f), yoffset = -std::floor(h * 0.5f);
    Matrix view;
    Matrix_Identity(&view);
    view.m[0][0] = xscale;
    view.m[1][1] = yscale;
    view.m[3][0] = xoffset;
    view.m[3][1] = yoffset;
    view.m[3][2] = 1.0f;
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    SetBounds(static_cast<int32_t>(std::floor((-bw / 2 - xoffset) / xscale)),
              static_cast<int32_t>(std::floor((-bh / 2 - yoffset) / yscale)),
              static_cast<int32_t>(std::ceil((bw / 2 - xoffset) / xscale)),
              static_cast<int32_t>(std::ceil((bh / 2 - yoffset) / yscale)));
}

void DrawApplicationSurface(float x, float y, float width, float height, bool keepAspect, bool resetStates,
                            bool viewKept)
{
    GR_VertexBuilder_Flush();
    if (GR_Surface_GetTexture(ApplicationSurface) < 0) return;
    if (resetStates) {
        for (int state : {RS_CULLMODE, RS_ZTESTENABLE, RS_LIGHTING, RS_FOGENABLE, RS_BLENDENABLE,
                          RS_ALPHATESTENABLE, RS_STENCILENABLE})
            StateManagerM::SetRenderState(state, 0);
    }
    float left, top, w, h;
    LetterboxRect(width, height, keepAspect, &left, &top, &w, &h);
    // With the states reset, no game shader and a 1:1 placement, the textured
    // pass would write each texel unchanged: a copy does the same for much
    // less on a software rasteriser.
    const bool plain = resetStates && viewKept && x + left == 0 && y + top == 0 &&
                       w == static_cast<float>(ApplicationSurfaceWidth) &&
                       h == static_cast<float>(ApplicationSurfaceHeight) && Shader_GetPending() < 0 &&
                       Shader_GetCurrent() < 0;
    if (!plain || !GR_Texture_CopyToBackBuffer(GR_Surface_GetTexture(ApplicationSurface))) {
        GR_Surface_DrawStretched(ApplicationSurface, x + left, y + top, w, h, 0xFFFFFF, 1);
        GR_VertexBuilder_Flush();
    }
    if (resetStates) g_RenderStateCache.FlushAll();
}

namespace {
// The matrices and viewport the back-buffer pass set, to tell whether the
// post-draw event changed them.
struct ViewRecord {
    float matrices[5][16];
    int viewport[4];
    bool operator==(const ViewRecord& other) const { return std::memcmp(this, &other, sizeof *this) == 0; }
};

ViewRecord CurrentView()
{
    ViewRecord record{};
    for (int slot = 0; slot < 5; ++slot) GR_D3D_GetMatrix(slot, record.matrices[slot]);
    GR_D3D_GetViewport(&record.viewport[0], &record.viewport[1], &record.viewport[2], &record.viewport[3]);
    return record;
}
}  // namespace

void DrawFrame()
{
    const ProfilerSection section(SECTION_DRAW_ROOM);
    CGameRoom* room = Run_Room;
    if (!room || !GR_D3D_DeviceReady) return;
    PrepareApplicationSurface();
    const bool inUse = ApplicationSurfaceEnabled && GR_Surface_Exists(ApplicationSurface);

    const bool legacy3D = Legacy3DMode;
    if (CamerasInUse()) Legacy3DMode = false;
    SetBackBufferView();
    const float bw = static_cast<float>(GR_D3D_BackBufferWidth), bh = static_cast<float>(GR_D3D_BackBufferHeight);
    if (CamerasInUse()) SetDefaultCameraView(0, 0, bw, bh, 0);
    else GR_D3D_SetView(0, 0, bw, bh, 0);
    s_portScaleX = s_portScaleY = 1;
    const bool clearDisplay = room->clearDisplayBuffer && inUse;
    const bool preDrawCleared = PerformDrawEventWithClear(EVENT_DRAW, 76, clearDisplay);
    const bool needsClear = clearDisplay && !preDrawCleared;
    if (CamerasInUse()) Legacy3DMode = legacy3D;

    if (inUse) GR_Surface_SetTarget(0, ApplicationSurface);
    UpdateViews();
    if (!room->layers.first) room->SortTiles();
    if (room->enableViews) {
        DrawViews(*room);
    } else {
        view_current = 0;
        GR_VertexBuilder_Flush();
        GR_D3D_SetViewport(0, 0, ApplicationSurfaceWidth, ApplicationSurfaceHeight);
        const float rw = static_cast<float>(room->width), rh = static_cast<float>(room->height);
        if (CamerasInUse()) SetDefaultCameraView(0, 0, rw, rh, 0);
        else GR_D3D_SetView(0, 0, rw, rh, 0);
        DrawView(GR_ViewBounds.left, GR_ViewBounds.top, GR_ViewBounds.right, GR_ViewBounds.bottom);
    }
    if (inUse) GR_Surface_ResetTarget();

    // The back-buffer pass.
    const bool legacyBack = Legacy3DMode;
    Legacy3DMode = false;
    SetBackBufferView();
    GR_D3D_SetView(0, 0, bw, bh, 0);
    if (needsClear) GR_Draw_Clear(GR_Window_GetColour());
    const ViewRecord backView = CurrentView();
    PerformDrawEvent(EVENT_DRAW, 77);
    if (GR_Surface_StackDepth() > 0) {
        ShowRuntimeError("Unbalanced surface stack. You MUST use surface_reset_target() for each set.", false);
        // Unwound, so that the next frame starts from the frame's own target
        // instead of running out of levels.
        while (GR_Surface_ResetTarget()) {
        }
        return;
    }

    if (ApplicationSurfaceDrawEnabled && inUse)
        DrawApplicationSurface(0, 0, bw, bh, GR_D3D_KeepAspect, true, CurrentView() == backView);

    const bool perspective = GR_LegacySettings.perspective != 0;
    Legacy3DMode = legacyBack;
    GR_3D_SetMode(false);
    GR_3D_SetDepth(0);
    GUI_Active = true;
    GUI_Begin();
    PerformDrawEvent(EVENT_DRAW, 74);
    PerformDrawEvent(EVENT_DRAW, EVENT_DRAW_GUI);
    PerformDrawEvent(EVENT_DRAW, 75);
    GUI_Active = false;
    DrawCursor();
    GR_3D_SetMode(legacyBack);
    view_current = 0;
    GR_SetPerspective(perspective);
}
