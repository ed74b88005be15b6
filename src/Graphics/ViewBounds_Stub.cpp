// STAND-IN: see ViewBounds_Stub.h.
#include "Graphics/ViewBounds_Stub.h"

#include <cmath>

RendererViewRectangle RendererViewRect = {0, 0, 0, 0, 0};
ViewCullBounds GR_ViewBounds = {0, 0, 0, 0};

void GR_CalcViewBounds(float x, float y, float width, float height, float angle)
{
    if (std::fabs(angle) < 0.001f) {
        GR_ViewBounds = {x - 0.999f, y - 0.999f, x + width + 0.999f, y + height + 0.999f};
        return;
    }
    const float cx = x + width * 0.5f, cy = y + height * 0.5f;
    const float radians = angle * 3.14159265f / 180.0f;
    const float c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
    const float hw = (width * c + height * s) * 0.5f, hh = (width * s + height * c) * 0.5f;
    GR_ViewBounds = {cx - hw, cy - hh, cx + hw, cy + hh};
}
