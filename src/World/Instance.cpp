#include "World/Instance.h"

#include "Code/GCRegistry.h"
#include "Code/VariableList.h"
#include "Code/Code_Variable.h"
#include "World/Collision.h"
#include "World/Event_Drivers.h"
#include "World/Room_Layers.h"
#include "World/Object_Main.h"
#include "Physics/PhysicsWorld.h"
#include "World/Room_Class.h"
#include "Animation/SkeletonAnimation_Class.h"
#include "Sprite/Sprite_Main.h"
#include "GameData/GameHeader.h"

namespace {
void NoAccessors(KVObjectBase*, bool) {}
void (*s_addAccessors)(KVObjectBase* object, bool globalNames) = NoAccessors;
}  // namespace

void Instance_SetAccessorHook(void (*addAccessors)(KVObjectBase* object, bool globalNames))
{
    s_addAccessors = addAccessors ? addAccessors : NoAccessors;
}

CInstance::CInstance(float px, float py, int32_t instanceId, int32_t objectIndex, bool joinLists)
    : KVObjectBase(Variable_InstanceCount(), VALUE_UNSET)
{
    m_changedLink.Reset();
    m_movedLink.Reset();
    m_withLink.Reset();
    m_changedLink.owner = m_movedLink.owner = m_withLink.owner = this;
    m_creationStep = EventPassCounter;
    SetObjectIndex(objectIndex, joinLists);
    x = xstart = xprevious = px;
    y = ystart = yprevious = py;
    id = instanceId;
    m_registryIndex = GCRegistry::Add(this);
    // The instance's own built-in variables, as accessor properties.
    if (ObjectMode) s_addAccessors(this, false);
    m_kind = OBJECT_KIND_INSTANCE;
}

CInstance::~CInstance()
{
    LeaveObjectLists();
    delete m_physicsBody;
    m_physicsBody = nullptr;
    delete m_skeleton;
    m_skeleton = nullptr;
    GCRegistry::Remove(this);
    Collision_RemoveInstance(this);
    // Nothing may reach a deleted instance through a deferred change or a with-block.
    InstanceQueues_Forget(this);
    WithInstanceList::Unlink(this);
}

void CInstance::LeaveObjectLists()
{
    if (m_previousObject) {
        m_previousObject->RemoveInstance(this);
        m_previousObject = nullptr;
    } else if (m_object) {
        m_object->RemoveInstance(this);
    }
}

void CInstance::CopyFrom(const CInstance* source, bool joinLists)
{
    LeaveObjectLists();
    m_skipCreate = false;
    id = source->id;
    sprite_index = source->sprite_index;
    image_index = source->image_index;
    image_speed = source->image_speed;
    image_xscale = source->image_xscale;
    image_yscale = source->image_yscale;
    image_angle = source->image_angle;
    image_alpha = source->image_alpha;
    image_blend = source->image_blend;
    mask_index = source->mask_index;
    depth = source->depth;
    m_precise = source->m_precise;
    x = source->x;
    y = source->y;
    xstart = source->xstart;
    ystart = source->ystart;
    xprevious = source->xprevious;
    yprevious = source->yprevious;
    direction = source->direction;
    speed = source->speed;
    friction = source->friction;
    gravity_direction = source->gravity_direction;
    gravity = source->gravity;
    hspeed = source->hspeed;
    vspeed = source->vspeed;
    m_bboxDirty = source->m_bboxDirty;
    if (m_bboxDirty) Collision_MarkMoved(this);
    bbox_left = source->bbox_left;
    bbox_top = source->bbox_top;
    bbox_right = source->bbox_right;
    bbox_bottom = source->bbox_bottom;
    visible = source->visible;
    solid = source->solid;
    persistent = source->persistent;
    object_index = source->object_index;
    m_object = source->m_object;
    if (joinLists && m_object) m_object->AddInstance(this);
    for (int32_t i = 0; i < 12; ++i) alarm[i] = source->alarm[i];
    if (m_properties && source->m_properties) m_properties->CopyFrom(source->m_properties);

    // The copy's variables are exactly the source's: its own go first.
    ReleaseSlots();
    if (source->m_slotHash) {
        const SlotHash* from = source->m_slotHash;
        for (int32_t i = 0; i < from->capacity; ++i) {
            if (from->entries[i].hash == 0) continue;
            ScriptValue* cell = GetSlot(from->entries[i].slot);
            if (cell) cell->Assign(*from->entries[i].cell);
        }
    }

    m_marked = source->m_marked;
    m_deactivated = source->m_deactivated;
    path_index = source->path_index;
    path_position = source->path_position;
    path_positionprevious = source->path_positionprevious;
    path_speed = source->path_speed;
    path_scale = source->path_scale;
    path_orientation = source->path_orientation;
    path_endaction = source->path_endaction;
    timeline_index = source->timeline_index;
    m_timelinePrevious = source->m_timelinePrevious;
    timeline_position = source->timeline_position;
    timeline_speed = source->timeline_speed;
    timeline_running = source->timeline_running;
    timeline_loop = source->timeline_loop;
    m_creationCode = source->m_creationCode;
    m_outsideRoom = source->m_outsideRoom;
    if (source->m_skeleton) {
        delete m_skeleton;
        m_skeleton = CSkeletonInstance::CopyFrom(source->m_skeleton);
    }
    layer = source->layer;
}

void CInstance::ChangeObject(int32_t objectIndex)
{
    ObjectChangeQueue.AddUnique(this);
    if (!m_previousObject) m_previousObject = m_object;
    object_index = objectIndex;
    m_object = Object_Get(objectIndex);
    if (!m_object) return;
    mask_index = m_object->mask;
    if (!LayerMode) depth = static_cast<float>(m_object->depth);
    solid = (m_object->flags & 1) != 0;
    visible = (m_object->flags & 2) != 0;
    persistent = (m_object->flags & 4) != 0;
    SetSpriteIndex(m_object->sprite);
    if (!LayerMode) DepthChangeQueue.AddUnique(this);
    // The body goes from the world it lives in, its fixtures forgotten by
    // the contact records still to fire.
    delete m_physicsBody;
    m_physicsBody = nullptr;
    if (m_object->usesPhysics) CreatePhysicsFixture(Run_Room);
    m_bboxDirty = true;
    Collision_MarkMoved(this);
}

void CInstance::RelinkToObject()
{
    if (m_previousObject) {
        m_previousObject->RemoveInstance(this);
        m_previousObject = nullptr;
    }
    // A deactivated instance is in no object list; activation joins it later.
    if (m_deactivated) return;
    if (m_object) m_object->AddInstance(this);
    if (Run_Room && Run_Room->activeInstances.Remove(this)) Run_Room->activeInstances.Insert(this);
}

void CInstance::RecreatePhysics(CGameRoom* room)
{
    delete m_physicsBody;
    m_physicsBody = nullptr;
    if (m_object && m_object->usesPhysics) CreatePhysicsFixture(room);
}

void CInstance::SetDeactivated(bool flag)
{
    m_deactivated = flag;
    if (LayerMode) Layer_UpdateInstanceActivation(Run_Room, this);
}

int32_t CInstance::GetImageNumber()
{
    CSprite* sprite = Sprite_Get(sprite_index);
    if (!sprite) return 0;
    if (sprite->kind == SPRITE_KIND_SKELETON) {
        CSkeletonInstance* skeleton = GetSkeletonInstance();
        return skeleton ? skeleton->GetTrackFrameCount(0) : 0;
    }
    return sprite->frameCount;
}

int32_t CInstance::GetAlarm(int32_t index) const
{
    return index >= 0 && index < 12 ? alarm[index] : -1;
}

CSkeletonInstance* CInstance::GetSkeletonInstance()
{
    CSprite* sprite = Sprite_Get(sprite_index);
    if (sprite && sprite->kind == SPRITE_KIND_SKELETON && !m_skeleton) m_skeleton = new CSkeletonInstance(sprite->skeletonData);
    return m_skeleton;
}

bool EllipseContainsPoint(int32_t left, int32_t top, int32_t right, int32_t bottom, float x, float y)
{
    const int64_t cx = (int64_t{left} + right) / 2;
    const int64_t hw = (int64_t{right} - left) / 2;
    const int64_t cy = (int64_t{top} + bottom) / 2;
    const int64_t hh = (int64_t{bottom} - top) / 2;
    // A flat rectangle has no inside.
    if (hw == 0 || hh == 0) return false;
    const double dx = (x - static_cast<double>(cx)) / static_cast<double>(hw);
    const double dy = (y - static_cast<double>(cy)) / static_cast<double>(hh);
    return dx * dx + dy * dy <= 1.0;
}
