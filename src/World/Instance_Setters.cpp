// The instance-variable setters that the instance record itself relies on.
#include <cmath>

#include "World/Collision.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "Animation/SkeletonAnimation_Class.h"
#include "Sprite/Sprite_Main.h"

void CInstance::SetObjectIndex(int32_t objectIndex, bool joinLists)
{
    object_index = objectIndex == -1 ? 0 : objectIndex;
    LeaveObjectLists();
    m_object = Object_Get(objectIndex);
    if (!m_object) return;
    if (joinLists) m_object->AddInstance(this);
    mask_index = m_object->mask;
    depth = static_cast<float>(m_object->depth);
    solid = (m_object->flags & 1) != 0;
    visible = (m_object->flags & 2) != 0;
    persistent = (m_object->flags & 4) != 0;
    SetSpriteIndex(m_object->sprite);
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::SetSpriteIndex(int32_t sprite)
{
    sprite_index = sprite;
    int32_t frames = 0;
    if (CSprite* record = Sprite_Get(sprite)) {
        frames = record->frameCount;
        delete m_skeleton;
        m_skeleton = nullptr;
        GetSkeletonInstance();
    }
    if (std::trunc(static_cast<double>(image_index)) >= frames) image_index = 0;
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::SetPosition(float newX, float newY)
{
    if (newX == x && newY == y) return;
    x = newX;
    y = newY;
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::SetDirection(float newDirection)
{
    float d = newDirection;
    // Stepping by 360 never ends for infinities or for values whose spacing
    // exceeds 360; those are reduced directly.
    if (!std::isfinite(d))
        d = 0.0f;
    else if (std::fabs(d) > 1.0e6f)
        d = static_cast<float>(std::fmod(static_cast<double>(d), 360.0));
    while (d < 0.0f) d += 360.0f;
    while (d > 360.0f) d -= 360.0f;
    direction = static_cast<float>(std::fmod(static_cast<double>(d), 360.0)) + 0.0f;  // never -0
    ComputeHVSpeed();
}

void CInstance::SetSpeed(float newSpeed)
{
    if (newSpeed == speed) return;
    speed = newSpeed;
    ComputeHVSpeed();
}

void CInstance::SetHSpeed(float newHSpeed)
{
    if (newHSpeed == hspeed) return;
    hspeed = newHSpeed;
    ComputeDirectionSpeed();
}

void CInstance::SetVSpeed(float newVSpeed)
{
    if (newVSpeed == vspeed) return;
    vspeed = newVSpeed;
    ComputeDirectionSpeed();
}

namespace {
// Stores a field that shapes the bounding box; the box and the spatial index
// learn of a real change only.
template <typename T>
void StoreBoxField(CInstance* instance, T& field, T value)
{
    if (field == value) return;
    field = value;
    instance->m_bboxDirty = true;
    Collision_MarkMoved(instance);
}

float ClampUnit(float position)
{
    if (position < 0.0f) return 0.0f;
    if (position > 1.0f) return 1.0f;
    return position;
}
}  // namespace

void CInstance::SetImageAngle(float angle) { StoreBoxField(this, image_angle, angle); }
void CInstance::SetImageXScale(float scale) { StoreBoxField(this, image_xscale, scale); }
void CInstance::SetImageYScale(float scale) { StoreBoxField(this, image_yscale, scale); }
void CInstance::SetMaskIndex(int32_t mask) { StoreBoxField(this, mask_index, mask); }

void CInstance::SetAlarm(int32_t index, int32_t value)
{
    if (index >= 0 && index < 12) alarm[index] = value;
}

void CInstance::SetPathPosition(float position) { path_position = ClampUnit(position); }
void CInstance::SetPathPositionPrevious(float position) { path_positionprevious = ClampUnit(position); }
void CInstance::SetPathSpeed(float newSpeed) { path_speed = newSpeed; }
