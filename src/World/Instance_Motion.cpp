// Instance motion: the two velocity forms (direction and speed; hspeed and
// vspeed) kept in agreement, friction and gravity, and path following.
#include <cmath>

#include "World/Collision.h"
#include "World/Instance.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"

namespace {
constexpr float kPi = 3.1415927f;

float ToRadians(float degrees) { return degrees * kPi / 180.0f; }

float Cos(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
float Sin(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }

// Values within 1e-4 of an integer become that integer, so that a right
// angle gives exact zeros; zero is always the positive one.
float Snap(float v)
{
    const double rounded = std::round(static_cast<double>(v));
    if (std::fabs(static_cast<double>(v) - rounded) < 0.0001) return rounded == 0.0 ? 0.0f : static_cast<float>(rounded);
    return v;
}
}  // namespace

void CInstance::ComputeHVSpeed()
{
    const float r = ToRadians(direction);
    hspeed = Snap(Cos(r) * speed);
    vspeed = Snap(-(Sin(r) * speed));
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::ComputeDirectionSpeed()
{
    if (hspeed == 0.0f) {
        direction = vspeed > 0.0f ? 270.0f : vspeed < 0.0f ? 90.0f : 0.0f;
    } else {
        const float a = static_cast<float>(std::atan2(static_cast<double>(vspeed), static_cast<double>(hspeed))) * 180.0f / kPi;
        direction = a > 0.0f ? 360.0f - a : -a;
    }
    direction = Snap(direction);
    direction = static_cast<float>(std::fmod(static_cast<double>(direction), 360.0)) + 0.0f;
    const float sum = hspeed * hspeed + vspeed * vspeed;
    speed = Snap(static_cast<float>(std::sqrt(static_cast<double>(sum))));
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::ApplyFrictionGravity()
{
    if (friction != 0.0f && speed != 0.0f) {
        const float s = speed > 0.0f ? speed - friction : speed + friction;
        if ((speed > 0.0f && s < 0.0f) || (speed < 0.0f && s > 0.0f)) {
            speed = 0.0f;
            ComputeHVSpeed();
        } else if (s != speed) {
            speed = s;
            ComputeHVSpeed();
        }
    }
    if (gravity != 0.0f) {
        const float r = ToRadians(gravity_direction);
        hspeed += Cos(r) * gravity;
        vspeed -= Sin(r) * gravity;
        ComputeDirectionSpeed();
    }
}

void CInstance::AddMotion(float dir, float length)
{
    const float r = ToRadians(dir);
    hspeed += Cos(r) * length;
    vspeed -= Sin(r) * length;
    ComputeDirectionSpeed();
}

bool CInstance::AdvancePath()
{
    if (path_index < 0) return false;
    const CGamePath* path = Path_Get(path_index);
    if (!path) return false;
    const float length = path->GetLength();
    if (!(length > 0.0f)) return false;

    const float o = ToRadians(path_orientation);
    float px, py, factor;
    path->GetPosition(path_position, &px, &py, &factor);
    // A path at scale 0 has no extent in the room: the instance is held on
    // the origin, and the position neither advances nor reaches an end.
    const bool held = path_scale == 0.0f;
    if (!held) path_position += path_speed * (factor / (100.0f * path_scale)) / length;

    const float c = Cos(o);
    const float s = Sin(o);
    const float startX = path->GetXAt(0.0f);
    const float startY = path->GetYAt(0.0f);
    bool ended = false;
    if (!held && (path_position >= 1.0f || path_position <= 0.0f)) {
        ended = path_speed != 0.0f;
        const bool atStart = path_position < 0.0f;
        switch (path_endaction) {
        case 0:
            if (path_speed != 0.0f) {
                path_index = -1;
                path_position = 1.0f;
            }
            break;
        case 1:
            path_position += atStart ? 1.0f : -1.0f;
            break;
        case 2: {
            const float dx = path->GetXAt(1.0f) - startX;
            const float dy = path->GetYAt(1.0f) - startY;
            const float rx = path_scale * (c * dx + s * dy);
            const float ry = path_scale * (c * dy - s * dx);
            if (atStart) {
                path_position += 1.0f;
                path_xorigin -= rx;
                path_yorigin -= ry;
            } else {
                path_position -= 1.0f;
                path_xorigin += rx;
                path_yorigin += ry;
            }
            break;
        }
        case 3:
            if (atStart) {
                path_position = -path_position;
                path_speed = std::fabs(path_speed);
            } else {
                path_position = 2.0f - path_position;
                path_speed = -std::fabs(path_speed);
            }
            break;
        default:
            path_index = -1;
            path_position = 1.0f;
            break;
        }
    }

    path->GetPosition(path_position, &px, &py, &factor);
    const float dx = px - startX;
    const float dy = py - startY;
    const float nx = path_xorigin + path_scale * (c * dx + s * dy);
    const float ny = path_yorigin + path_scale * (c * dy - s * dx);

    if (hspeed != nx - x) {
        hspeed = nx - x;
        ComputeDirectionSpeed();
    }
    if (vspeed != ny - y) {
        vspeed = ny - y;
        ComputeDirectionSpeed();
    }
    if (speed != 0.0f) {
        speed = 0.0f;
        ComputeHVSpeed();
    }
    if (x != nx || y != ny) {
        x = nx;
        y = ny;
        m_bboxDirty = true;
        Collision_MarkMoved(this);
    }
    return ended;
}

void CInstance::SetPath(int32_t path, float newSpeed, float scale, float orientation, bool relative, int32_t endAction)
{
    path_index = path;
    if (path < 0) return;
    const CGamePath* record = Path_Get(path);
    if (!record || !(record->GetLength() > 0.0f)) {
        path_index = -1;
        return;
    }
    path_speed = newSpeed;
    path_position = newSpeed >= 0.0f ? 0.0f : 1.0f;
    path_positionprevious = path_position;
    path_scale = scale;
    if (scale < 0.0f) {
        path_index = -1;
        return;
    }
    path_orientation = orientation;
    path_endaction = endAction;
    if (relative) {
        path_xorigin = x;
        path_yorigin = y;
        return;
    }
    const float at = newSpeed >= 0.0f ? 0.0f : 1.0f;
    SetPosition(record->GetXAt(at), record->GetYAt(at));
    path_xorigin = record->GetXAt(0.0f);
    path_yorigin = record->GetYAt(0.0f);
}
