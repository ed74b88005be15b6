// STAND-IN: see Camera_Stub.h.
#include "Object/Camera_Stub.h"

int32_t Camera_CreateFromView(const RoomView&) { return -1; }
int32_t Camera_Clone(int32_t) { return -1; }
void Camera_Destroy(int32_t) {}
void CameraList_CreateScriptInstance() {}
void CameraList_FreeScriptInstance() {}
void InitCameraFunctions() {}
bool Camera_GetInvViewProjMat(int32_t, float*) { return false; }
