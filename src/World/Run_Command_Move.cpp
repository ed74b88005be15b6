// Movement commands: random free places, snapping, aiming, moving to contact
// and out of collisions, bouncing and wrapping around the room.
#include <cmath>
#include <cstdint>

#include "Base/Random.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Run_Command.h"

namespace {
constexpr float kPi = 3.1415927f;
constexpr int32_t kRandomTries = 100;
constexpr int32_t kDefaultSteps = 1000;

float Radians(float degrees) { return degrees * kPi / 180.0f; }

// Halves away from zero.
double Nearest(double v) { return std::round(v); }

bool Free(CInstance* self, float x, float y, bool againstAll)
{
    return againstAll ? Place_Empty(self, x, y) : Place_Free(self, x, y);
}

// Step count of the contact and outside moves; NaN counts as no maximum.
int32_t Steps(float maximum)
{
    if (!(maximum > 0.0f)) return kDefaultSteps;
    const double n = Nearest(maximum);
    return n >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(n);
}

bool HasShape(const CInstance* self) { return Sprite_Exists(self->sprite_index) || Sprite_Exists(self->mask_index); }

// A random integer in [low, high); low when the range is empty, so the
// modulus is never zero or negative.
double RandomIn(double low, double high)
{
    const double width = high - low;
    if (!(width >= 1.0)) return low;
    const uint64_t range = width >= 4294967295.0 ? 4294967295u : static_cast<uint64_t>(width);
    return low + static_cast<double>(Random_Next() % range);
}
}  // namespace

void Move_Random(CInstance* self, int32_t hsnap, int32_t vsnap)
{
    if (!self || !Run_Room) return;
    double xLow = 0, xHigh = Run_Room->width, yLow = 0, yHigh = Run_Room->height;
    if (HasShape(self)) {
        if (self->m_bboxDirty) self->ComputeBoundingBox(true);
        xLow = Nearest(static_cast<double>(self->x) - self->bbox_left);
        xHigh = Nearest(Run_Room->width + static_cast<double>(self->x) - self->bbox_right);
        yLow = Nearest(static_cast<double>(self->y) - self->bbox_top);
        yHigh = Nearest(Run_Room->height + static_cast<double>(self->y) - self->bbox_bottom);
    }
    for (int32_t i = 0; i < kRandomTries; ++i) {
        double px = RandomIn(xLow, xHigh);
        double py = RandomIn(yLow, yHigh);
        if (hsnap > 0) px = hsnap * std::floor(px / hsnap);
        if (vsnap > 0) py = vsnap * std::floor(py / vsnap);
        if (Place_Free(self, static_cast<float>(px), static_cast<float>(py))) {
            self->SetPosition(static_cast<float>(px), static_cast<float>(py));
            return;
        }
    }
}

void Move_Snap(CInstance* self, float hsnap, float vsnap)
{
    if (!self) return;
    float x = self->x, y = self->y;
    if (hsnap > 0) x = static_cast<float>(Nearest(x / hsnap) * hsnap);
    if (vsnap > 0) y = static_cast<float>(Nearest(y / vsnap) * vsnap);
    self->SetPosition(x, y);
}

void Move_TowardsPoint(CInstance* self, float x, float y, float speed)
{
    if (!self) return;
    self->SetHSpeed(x - self->x);
    self->SetVSpeed(y - self->y);
    self->SetSpeed(speed);
}

void Move_Contact(CInstance* self, float direction, float maximum, bool againstAll)
{
    if (!self) return;
    const int32_t steps = Steps(maximum);
    const float dx = std::cos(Radians(direction)), dy = -std::sin(Radians(direction));
    if (!Free(self, self->x, self->y, againstAll)) return;
    for (int32_t i = 0; i < steps; ++i) {
        const float nx = self->x + dx, ny = self->y + dy;
        if (!Free(self, nx, ny, againstAll)) return;
        self->SetPosition(nx, ny);
    }
}

void Move_Outside(CInstance* self, float direction, float maximum, bool againstAll)
{
    if (!self) return;
    const int32_t steps = Steps(maximum);
    const float dx = std::cos(Radians(direction)), dy = -std::sin(Radians(direction));
    for (int32_t i = 0; i < steps && !Free(self, self->x, self->y, againstAll); ++i)
        self->SetPosition(self->x + dx, self->y + dy);
}

void Move_Bounce(CInstance* self, bool advanced, bool againstAll)
{
    if (!self) return;
    bool stuck = false;
    if (!Free(self, self->x, self->y, againstAll)) {
        self->SetPosition(self->xprevious, self->yprevious);
        stuck = true;
    }
    const float x0 = self->x, y0 = self->y;
    if (!advanced) {
        const bool h = Free(self, x0 + self->hspeed, y0, againstAll);
        const bool v = Free(self, x0, y0 + self->vspeed, againstAll);
        const bool d = Free(self, x0 + self->hspeed, y0 + self->vspeed, againstAll);
        if (!h && !v) {
            self->SetHSpeed(-self->hspeed);
            self->SetVSpeed(-self->vspeed);
        } else if (!h) {
            self->SetHSpeed(-self->hspeed);
        } else if (!v) {
            self->SetVSpeed(-self->vspeed);
        } else if (!d) {
            self->SetHSpeed(-self->hspeed);
            self->SetVSpeed(-self->vspeed);
        }
        return;
    }
    const float d0 = static_cast<float>(Nearest(self->direction / 10.0f) * 10.0);
    const auto freeAt = [&](float angle) {
        const float r = Radians(angle);
        return Free(self, x0 + std::cos(r) * self->speed, y0 - std::sin(r) * self->speed, againstAll);
    };
    float a = d0, b = d0;
    for (int32_t n = 1; n <= 35; ++n) {
        a = d0 - 10.0f * n;
        if (freeAt(a)) break;
        stuck = true;
    }
    for (int32_t n = 1; n <= 35; ++n) {
        b = d0 + 10.0f * n;
        if (freeAt(b)) {
            if (!stuck) return;
            break;
        }
        stuck = true;
    }
    self->SetDirection(a + b + 180.0f - d0);
}

void Move_Wrap(CInstance* self, bool horizontal, bool vertical, float margin)
{
    if (!self || !Run_Room) return;
    float x = self->x, y = self->y;
    if (horizontal) {
        const float span = static_cast<float>(Run_Room->width) + 2 * margin;
        if (x < -margin) x += span;
        if (x > static_cast<float>(Run_Room->width) + margin) x -= span;
    }
    if (vertical) {
        const float span = static_cast<float>(Run_Room->height) + 2 * margin;
        if (y < -margin) y += span;
        if (y > static_cast<float>(Run_Room->height) + margin) y -= span;
    }
    self->SetPosition(x, y);
}

void Move_WrapBySprite(CInstance* self, bool horizontal, bool vertical)
{
    if (!self || !Run_Room) return;
    const CSprite* sprite = Sprite_Get(self->sprite_index);
    const float w = sprite ? static_cast<float>(sprite->width) * self->image_xscale : 0.0f;
    const float h = sprite ? static_cast<float>(sprite->height) * self->image_yscale : 0.0f;
    const float width = static_cast<float>(Run_Room->width), height = static_cast<float>(Run_Room->height);
    float x = self->x, y = self->y;
    if (horizontal) {
        if (self->hspeed < 0 && x < 0) x += width + w;
        else if (self->hspeed > 0 && x >= width) x -= width + w;
    }
    if (vertical) {
        if (self->vspeed < 0 && y < 0) y += height + h;
        else if (self->vspeed > 0 && y >= height) y -= height + h;
    }
    self->SetPosition(x, y);
}
