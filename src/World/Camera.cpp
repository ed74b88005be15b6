#include "World/Camera.h"

#include <cmath>
#include <cstring>

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/Graphics_Display.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"
#include "Script/Script_Main.h"

namespace {
constexpr int32_t kFirstInstanceId = 100000;
constexpr float kTwoPi = 6.2831855f;

bool IsZero(float value) { return value == 0.0f; }  // NaN counts as non-zero

// Row vector (x, y, z, 1) times m, without division.
Vec3f Transform(const Matrix& m, float x, float y, float z)
{
    return {x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0],
            x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1],
            x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2]};
}

float Length(Vec3f from, Vec3f to)
{
    const float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    const float squared = dx * dx + dy * dy + dz * dz;
    return squared > 0.0f ? std::sqrt(squared) : 0.0f;
}

// The followed instance: an instance id names it directly, an object index
// its first instance that is neither marked nor deactivated.
CInstance* FindTarget(int32_t target)
{
    if (target >= kFirstInstanceId) {
        CInstance* instance = Instance_Find(target);
        return instance && !instance->m_marked && !instance->m_deactivated ? instance : nullptr;
    }
    CGameObject* object = Object_Get(target);
    if (!object) return nullptr;
    for (auto* node = object->allInstances.first; node; node = node->next) {
        CInstance* instance = node->item;
        if (instance && !instance->m_marked && !instance->m_deactivated) return instance;
    }
    return nullptr;
}

// One axis of the follow: keep the point border away from the view's edges.
float FollowAxis(float p, float border, float size, float current)
{
    if (2.0f * border >= size) return p - size * 0.5f;
    if (current > p - border) return p - border;
    if (p + border > current + size) return p + border - size;
    return current;
}

float ClampToRoom(float n, float size, float roomSize)
{
    n = std::fmax(0.0f, n);
    if (n + size > roomSize) n = roomSize - size;
    return n;
}

float LimitSpeed(float n, float current, float speed)
{
    if (speed < 0.0f) return n;
    if (current > n && current - n > speed) n = current - speed;
    if (n > current && n - current > speed) n = current + speed;
    return n;
}
}  // namespace

void Camera::Init()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    id = -1;
    Matrix_Identity(&projection);
    Matrix_Identity(&view);
    Matrix_Identity(&invProjection);
    Matrix_Identity(&invView);
    target = -1;
    beginScript = endScript = updateScript = -1;
    is2D = 1;
}

void Camera::SetViewMat(const float* matrix)
{
    std::memcpy(&view, matrix, sizeof view);
    invView = view;
    Matrix_Invert(&invView);
    RecomputeCombined();
}

void Camera::SetProjMat(const float* matrix)
{
    std::memcpy(&projection, matrix, sizeof projection);
    invProjection = projection;
    Matrix_Invert(&invProjection);
    RecomputeCombined();
}

void Camera::RecomputeCombined()
{
    Matrix_Multiply(&viewProjection, &view, &projection);
    invViewProjection = viewProjection;
    Matrix_Invert(&invViewProjection);
    const float* p = &projection.m[0][0];
    const float* v = &view.m[0][0];
    is2D = IsZero(p[11]) && IsZero(p[4]) && IsZero(p[8]) && IsZero(p[1]) && IsZero(p[9]) && IsZero(p[2]) &&
           IsZero(p[6]) && IsZero(v[2]) && IsZero(v[6]);
}

void Camera::BuildOrthoMatrices(float cx, float cy)
{
    const float a = angle * -0.017453292f;
    Matrix newView, newProjection;
    Matrix_LookAt(&newView, {cx, cy, -16000.0f}, {cx, cy, 0.0f}, {std::sin(a), std::cos(a), 0.0f});
    Matrix_Ortho(&newProjection, viewWidth, viewHeight, 1.0f, 32000.0f);
    SetViewMat(&newView.m[0][0]);
    SetProjMat(&newProjection.m[0][0]);
}

void Camera::BuildPerspectiveMatrices(float cx, float cy)
{
    const float a = angle * -0.017453292f;
    Matrix newView, newProjection;
    Matrix_LookAt(&newView, {cx, cy, -viewWidth}, {cx, cy, 0.0f}, {std::sin(a), std::cos(a), 0.0f});
    // The minus sign turns y over; an eye at distance width with a near plane
    // one unit wide makes the plane z = 0 span the view width.
    Matrix_Perspective(&newProjection, 1.0f, -(viewHeight / viewWidth), 1.0f, 32000.0f);
    SetViewMat(&newView.m[0][0]);
    SetProjMat(&newProjection.m[0][0]);
}

void Camera::Rebuild(float cx, float cy)
{
    if (IsPerspective())
        BuildPerspectiveMatrices(cx, cy);
    else
        BuildOrthoMatrices(cx, cy);
}

void Camera::Update()
{
    if (updateScript != -1) {
        RunScript(updateScript);
        return;
    }
    const float hw = viewWidth * 0.5f, hh = viewHeight * 0.5f;
    if (target < 0) {
        if (viewChanged) Rebuild(viewX + hw, viewY + hh);
        return;
    }
    CInstance* instance = FindTarget(target);
    if (!instance) return;
    if (instance->m_bboxDirty) instance->ComputeBoundingBox();
    const float px = std::floor(instance->x), py = std::floor(instance->y);
    float nx = FollowAxis(px, borderX, viewWidth, viewX);
    float ny = FollowAxis(py, borderY, viewHeight, viewY);
    if (Run_Room) {
        nx = ClampToRoom(nx, viewWidth, static_cast<float>(Run_Room->width));
        ny = ClampToRoom(ny, viewHeight, static_cast<float>(Run_Room->height));
    }
    viewX = LimitSpeed(nx, viewX, speedX);
    viewY = LimitSpeed(ny, viewY, speedY);
    Rebuild(viewX + hw, viewY + hh);
}

void Camera::Apply()
{
    if (IsPerspective()) {
        const float width = Run_Room ? static_cast<float>(Run_Room->width) : 1.0f;
        const float height = Run_Room ? static_cast<float>(Run_Room->height) : 1.0f;
        RendererViewRect = {0.0f, 0.0f, width, height, 0.0f};
    } else {
        const Matrix& m = invViewProjection;
        const Vec3f l = Transform(m, -1, 0, 0), r = Transform(m, 1, 0, 0);
        const Vec3f b = Transform(m, 0, -1, 0), t = Transform(m, 0, 1, 0);
        const float width = Length(l, r), height = Length(b, t);
        float degrees = 0.0f;
        // A view of no height has no direction; it reads as unturned.
        if (height > 0.0f) {
            const float dx = (t.x - b.x) / height, dy = (t.y - b.y) / height;
            float a = std::acos(std::fmax(-1.0f, std::fmin(1.0f, dy)));
            if (dx < 0.0f) a = kTwoPi - a;
            degrees = a / kTwoPi * 360.0f;
        }
        RendererViewRect = {invView.m[3][0] - width * 0.5f, invView.m[3][1] - height * 0.5f, width, height, degrees};
    }
    GR_CalcViewBounds(RendererViewRect.x, RendererViewRect.y, RendererViewRect.width, RendererViewRect.height,
                      RendererViewRect.angle);
    // The renderer always receives the projection with y turned over.
    Matrix flipY, flipped;
    Matrix_Identity(&flipY);
    flipY.m[1][1] = -1.0f;
    Matrix_Multiply(&flipped, &projection, &flipY);
    GR_D3D_SetMatrix(MATRIX_VIEW, &view.m[0][0]);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, &flipped.m[0][0]);
}

void Camera::RunScript(int32_t script)
{
    if (script == -1) return;
    CInstance* self = ObjectMode ? Variable_GlobalInstance() : CameraList::GetScriptInstance();
    if (!self) return;
    const int savedObject = Event_CurrentObject;
    Event_CurrentObject = id;
    ScriptValue result = ScriptValue_Undefined();
    Script_Call(script, self, self, 0, &result, nullptr);
    ScriptValue_SetUndefined(&result);
    Event_CurrentObject = savedObject;
}
