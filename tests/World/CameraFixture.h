#pragma once
// Cameras over a small world: an empty camera list, a current room of a
// chosen size, objects and instances to follow.
#include <gtest/gtest.h>

#include "World/Camera.h"
#include "World/InstanceFixture.h"

struct CameraWorld : InstanceWorld {
    // An orthographic camera over (x, y, width, height), as camera_create_view makes it.
    static Camera* ViewCamera(float x, float y, float width, float height, float angle = 0.0f)
    {
        Camera* camera = CameraList::CreateCamera();
        camera->viewX = x;
        camera->viewY = y;
        camera->viewWidth = width;
        camera->viewHeight = height;
        camera->angle = angle;
        camera->BuildOrthoMatrices(x + width * 0.5f, y + height * 0.5f);
        return camera;
    }
};
