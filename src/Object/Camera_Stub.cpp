// STAND-IN: see Camera_Stub.h.
#include "Object/Camera_Stub.h"

int32_t Camera_CreateFromView(const RoomView&) { return -1; }
int32_t Camera_Clone(int32_t) { return -1; }
void Camera_Destroy(int32_t) {}
