#pragma once
// STAND-IN for the renderer's view rectangle and culling bounds until the
// frame drawing exists: the rectangle of the view being drawn, written by
// Camera::Apply, and the axis-aligned bounds later drawing is culled against.

// x, y, width, height and angle (degrees) of the view being drawn.
struct RendererViewRectangle {
    float x, y, width, height, angle;
};
extern RendererViewRectangle RendererViewRect;

struct ViewCullBounds {
    float left, top, right, bottom;
};
extern ViewCullBounds GR_ViewBounds;

// The box of the rectangle turned by angle about its centre; below 0.001
// degrees the rectangle grown by 0.999 on every side.
void GR_CalcViewBounds(float x, float y, float width, float height, float angle);
