#pragma once
// Cameras: a rectangle of the room (position, size, angle) turned into the
// view and projection matrices the renderer draws with. Every camera lives in
// one process-wide list sorted by id; a camera may follow an instance, keep
// it inside a border and move at a limited speed.
#include <cstdint>

#include "Base/Matrix.h"

class CInstance;
class IBuffer;
struct RoomView;

// Bytes of one camera of a saved game.
constexpr uint32_t CAMERA_SAVE_RECORD_SIZE = 448;

struct Camera {
    int32_t id;
    Matrix projection;
    Matrix view;
    Matrix viewProjection;
    Matrix invProjection;
    Matrix invView;  // its fourth row is the camera position
    Matrix invViewProjection;
    float viewX, viewY, viewWidth, viewHeight;
    float speedX, speedY;  // largest move per update while following; negative = unlimited
    float borderX, borderY;
    float angle;  // degrees
    int32_t target;  // object index (below 100000) or instance id; negative = none
    int32_t beginScript, endScript, updateScript;
    uint8_t is2D;
    uint8_t viewChanged;  // set by the position, size and angle built-ins; never cleared

    void Init();
    void SetViewMat(const float* matrix);
    void SetProjMat(const float* matrix);
    void BuildOrthoMatrices(float cx, float cy);
    void BuildPerspectiveMatrices(float cx, float cy);
    // Once per drawn frame: the update script, or following the target.
    void Update();
    // Writes the renderer's view rectangle and matrix slots.
    void Apply();
    void RunScript(int32_t script);
    void RunBeginScript() { RunScript(beginScript); }
    void RunEndScript() { RunScript(endScript); }

    bool IsPerspective() const { return projection.m[2][3] != 0.0f; }
    int32_t GetID() const { return id; }
    float GetViewX() const { return viewX; }
    float GetViewY() const { return viewY; }
    float GetViewWidth() const { return viewWidth; }
    float GetViewHeight() const { return viewHeight; }
    Matrix GetViewProjMat() const { return viewProjection; }
    Matrix GetInvViewProjMat() const { return invViewProjection; }
    bool Is2D() const { return is2D != 0; }
    bool IsViewChanged() const { return viewChanged != 0; }
    // Store the value only; whoever calls them rebuilds the matrices.
    void SetViewX(float value) { viewX = value; }
    void SetViewY(float value) { viewY = value; }
    void SetViewWidth(float value) { viewWidth = value; }
    void SetViewHeight(float value) { viewHeight = value; }
    void SetViewAngle(float value) { angle = value; }

private:
    void RecomputeCombined();
    void Rebuild(float cx, float cy);
};

// The process-wide camera list; ids are handed out in increasing order and
// cameras appended, so the list stays sorted by id.
namespace CameraList {
// Null only when memory fails.
Camera* CreateCamera();
// Null for a null definition.
Camera* CreateFromRoomView(const RoomView* view);
// Null when no camera has that id.
Camera* CloneCamera(int32_t id);
// An id that names no camera does nothing.
void DestroyCamera(int32_t id);
int32_t FindIndex(int32_t id);
Camera* GetCamera(int32_t id);
Camera* GetActiveCamera();
// -1 clears it; an id that names no camera leaves it unchanged.
void SetActiveCamera(int32_t id);
// Frees every camera and starts the ids again at 0.
void Clear();
int32_t GetCount();
// The camera at an array index, null outside the list.
Camera* At(int32_t index);
// The self of camera scripts outside object mode, from room start to room end.
void CreateScriptInstance();
void FreeScriptInstance();
CInstance* GetScriptInstance();
// The camera section of a saved game.
bool Serialise(IBuffer* buffer);
// Refuses (false, list unchanged) a section that is cut short or malformed.
bool Deserialise(IBuffer* buffer);
}  // namespace CameraList

// The camera the renderer draws through when the room has no views; -1 none.
extern int32_t DefaultCameraId;
// Game data load: a new camera becomes the default camera.
void InitDefaultCamera();
