// The linear and potential-field step planners and their path forms.
#include "Motion/Motion_Planning.h"

#include <cmath>

#include "Path/Path_Class.h"
#include "World/Instance.h"
#include "World/Run_Command.h"

namespace {
constexpr float kPi = 3.1415927f;

struct PotentialSettings {
    float maxRotation = 30.0f;
    float rotationStep = 10.0f;
    float lookAhead = 3.0f;
    bool rotateOnSpot = true;
};
PotentialSettings s_potential;

float DistanceToGoal(const CInstance* instance, float goalX, float goalY)
{
    const float dx = instance->x - goalX;
    const float dy = instance->y - goalY;
    return std::sqrt(dx * dx + dy * dy);
}

// Stepping by 360 never ends for infinities or for values whose spacing
// exceeds 360: those are reduced directly first, as the direction setter does.
float Reducible(float degrees)
{
    if (!std::isfinite(degrees)) return 0.0f;
    if (std::fabs(degrees) > 1.0e6f) return static_cast<float>(std::fmod(static_cast<double>(degrees), 360.0));
    return degrees;
}

// The instance's position and direction, put back when a path form finishes.
struct SavedPlace {
    explicit SavedPlace(CInstance* i) : instance(i), x(i->x), y(i->y), direction(i->direction) {}
    ~SavedPlace()
    {
        instance->SetPosition(x, y);
        instance->SetDirection(direction);
    }
    CInstance* instance;
    float x, y, direction;
};

// Empties the path, makes it straight and open, and starts it at (x, y).
void StartPath(CGamePath* path, float x, float y)
{
    path->Clear();
    path->SetKind(PATH_KIND_STRAIGHT);
    path->SetClosed(false);
    path->AddPoint(x, y, 100.0f);
}
}  // namespace

float MP_PointDirection(float x1, float y1, float x2, float y2)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    if (dx == 0.0f) return dy > 0.0f ? 270.0f : dy < 0.0f ? 90.0f : 0.0f;
    const float a = std::atan2(dy, dx) * 180.0f / kPi;
    const float d = a <= 0.0f ? -a : 360.0f - a;
    return d >= 360.0f ? 0.0f : d + 0.0f;  // a tiny positive angle rounds to 360; never -0
}

bool MP_PlaceFree(CInstance* instance, float x, float y, int32_t target, bool all)
{
    if (target == -3) return all ? Place_Empty(instance, x, y) : Place_Free(instance, x, y);
    return Instance_Place(instance, x, y, target) == nullptr;
}

bool MP_LinearStep(CInstance* instance, float goalX, float goalY, float step, int32_t target, bool all)
{
    if (!instance) return false;
    const float x = instance->x, y = instance->y;
    if (x == goalX && y == goalY) return true;
    const float d = DistanceToGoal(instance, goalX, goalY);
    const bool reached = step >= d;
    const float nx = reached ? goalX : x + (goalX - x) * step / d;
    const float ny = reached ? goalY : y + (goalY - y) * step / d;
    if (MP_PlaceFree(instance, nx, ny, target, all)) {
        instance->SetDirection(MP_PointDirection(x, y, nx, ny));
        instance->SetPosition(nx, ny);
    }
    return reached;
}

bool MP_LinearPath(CInstance* instance, CGamePath* path, float goalX, float goalY, float step, int32_t target,
                   bool all)
{
    if (!instance || !path || !(step > 0.0f)) return false;
    // A position or goal that is not finite would never be reached nor stop moving.
    if (!std::isfinite(DistanceToGoal(instance, goalX, goalY))) return false;
    const SavedPlace saved(instance);
    StartPath(path, instance->x, instance->y);
    for (;;) {
        const float x = instance->x, y = instance->y;
        if (MP_LinearStep(instance, goalX, goalY, step, target, all)) {
            path->AddPoint(goalX, goalY, 100.0f);
            return true;
        }
        if (instance->x == x && instance->y == y) return false;
        path->AddPoint(instance->x, instance->y, 100.0f);
    }
}

void MP_PotentialSettings(float maxRotation, float rotationStep, float lookAhead, bool rotateOnSpot)
{
    s_potential.maxRotation = maxRotation < 1.0f ? 1.0f : maxRotation;
    s_potential.rotationStep = rotationStep < 1.0f ? 1.0f : rotationStep;
    s_potential.lookAhead = lookAhead < 1.0f ? 1.0f : lookAhead;
    s_potential.rotateOnSpot = rotateOnSpot;
}

bool MP_TryDirection(float direction, CInstance* instance, float step, int32_t target, bool all)
{
    // A direction that is not finite leads nowhere.
    if (!instance || !std::isfinite(direction)) return false;
    float a = Reducible(direction);
    while (a <= 0.0f) a += 360.0f;
    while (a >= 360.0f) a -= 360.0f;
    float c = Reducible(instance->direction);
    while (c < 0.0f) c += 360.0f;
    while (c >= 360.0f) c -= 360.0f;
    float turn = std::fabs(c - a);
    if (turn > 180.0f) turn = 360.0f - turn;
    if (turn > s_potential.maxRotation) return false;

    const float r = direction * kPi / 180.0f;
    const float cx = std::cos(r), sy = std::sin(r);
    const float ahead = s_potential.lookAhead * step;
    if (!MP_PlaceFree(instance, instance->x + cx * ahead, instance->y - sy * ahead, target, all)) return false;
    const float nx = instance->x + cx * step;
    const float ny = instance->y - sy * step;
    if (!MP_PlaceFree(instance, nx, ny, target, all)) return false;
    instance->SetDirection(direction);
    instance->SetPosition(nx, ny);
    return true;
}

bool MP_PotentialStep(CInstance* instance, float goalX, float goalY, float step, int32_t target, bool all)
{
    if (!instance) return false;
    if (instance->x == goalX && instance->y == goalY) return true;
    if (step >= DistanceToGoal(instance, goalX, goalY)) {
        if (MP_PlaceFree(instance, goalX, goalY, target, all)) {
            instance->SetDirection(MP_PointDirection(instance->x, instance->y, goalX, goalY));
            instance->SetPosition(goalX, goalY);
        }
        return true;
    }
    // Alternately right and left of the goal direction, widening; at k = 0
    // the goal direction is tried twice.
    const float goal = MP_PointDirection(instance->x, instance->y, goalX, goalY);
    for (float k = 0.0f; k < 180.0f; k += s_potential.rotationStep) {
        if (MP_TryDirection(goal - k, instance, step, target, all)) return false;
        if (MP_TryDirection(goal + k, instance, step, target, all)) return false;
    }
    if (s_potential.rotateOnSpot) instance->SetDirection(instance->direction + s_potential.maxRotation);
    return false;
}

bool MP_PotentialPath(CInstance* instance, CGamePath* path, float goalX, float goalY, float step, float factor,
                      int32_t target, bool all)
{
    if (!instance || !path || !(factor >= 1.0f) || !(step > 0.0f)) return false;
    const float limit = DistanceToGoal(instance, goalX, goalY) * factor;
    // Without a finite limit a walker that keeps moving would never stop.
    if (!std::isfinite(limit)) return false;
    const SavedPlace saved(instance);
    StartPath(path, instance->x, instance->y);
    float previous = 0.0f;
    int32_t stalls = 0;
    for (;;) {
        if (MP_PotentialStep(instance, goalX, goalY, step, target, all)) {
            path->AddPoint(goalX, goalY, 100.0f);
            return true;
        }
        path->AddPoint(instance->x, instance->y, 100.0f);
        const float length = path->GetLength();
        if (length > limit) return false;
        if (length == previous) {
            if (++stalls > 100) return false;
        } else {
            stalls = 0;
        }
        previous = length;
    }
}
