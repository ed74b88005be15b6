// The instance-variable setters that the instance record itself relies on.
#include <cmath>

#include "Object/Collision_Stub.h"
#include "Object/Instance.h"
#include "Object/Object_Main.h"
#include "Object/Skeleton_Stub.h"
#include "Object/Sprite_Stub.h"

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
