#pragma once
// STAND-IN for the camera list until cameras exist: views get no camera (-1).
#include <cstdint>

struct RoomView;

int32_t Camera_CreateFromView(const RoomView& view);
int32_t Camera_Clone(int32_t camera);
void Camera_Destroy(int32_t camera);
