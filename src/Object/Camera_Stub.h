#pragma once
// STAND-IN for the camera list until cameras exist: views get no camera (-1).
#include <cstdint>

struct RoomView;

int32_t Camera_CreateFromView(const RoomView& view);
int32_t Camera_Clone(int32_t camera);
void Camera_Destroy(int32_t camera);
// The cameras of the room that starts, and their release at its end (layer mode).
void CameraList_CreateScriptInstance();
void CameraList_FreeScriptInstance();
// The camera manager and the camera and view built-ins (early start-up).
void InitCameraFunctions();
// The inverse view-projection matrix of the camera with that id, updated
// first when its view changed; false when there is no such camera.
bool Camera_GetInvViewProjMat(int32_t camera, float out[16]);
