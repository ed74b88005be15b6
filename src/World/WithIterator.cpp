#include "World/WithIterator.h"

#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

namespace {
enum : int32_t {
    STATE_ROOM = -2,
    STATE_SINGLE = -1,
    STATE_OBJECT = 0,
    STATE_CHANGED = 1,
    STATE_ACTIVATED = 2,
    STATE_DEACTIVATED = 3,
};

// Instance ids start here; anything below that is not self, other or all is an object.
constexpr int32_t kFirstInstanceId = 100000;

bool IsTargetOrDescendant(const CInstance* instance, int32_t target)
{
    if (instance->object_index == target) return true;
    return instance->m_object && instance->m_object->HasAncestor(target);
}
}  // namespace

void WithIterator::Init(int32_t newTarget, CInstance* self, CInstance* other, bool deactivated)
{
    objectCursor = nullptr;
    roomCursor = nullptr;
    deactivatedCursor = nullptr;
    object = nullptr;
    single = nullptr;
    target = newTarget;
    state = STATE_SINGLE;
    queueIndex = 0;
    includeDeactivated = deactivated;
    lastId = Room_LastInstanceId;
    if (target == TARGET_SELF) {
        single = self;
    } else if (target == TARGET_OTHER) {
        single = other;
    } else if (target == TARGET_ALL) {
        roomCursor = Run_Room ? Run_Room->activeInstances.first : nullptr;
        state = STATE_ROOM;
    } else if (target >= kFirstInstanceId) {
        single = Instance_Find(target);
    } else {
        state = STATE_OBJECT;
        object = Object_Get(target);
        // A target naming no object yields nothing, not even queued instances.
        if (!object) return;
        objectCursor = object->allInstances.first;
        if (!objectCursor || !objectCursor->item) state = STATE_CHANGED;
    }
}

CInstance* WithIterator::FromQueue(int32_t queue)
{
    const List<CInstance*>& list = queue == STATE_CHANGED ? ObjectChangeQueue : ActivationQueue;
    for (; queueIndex < list.count; ++queueIndex) {
        if (list.items[queueIndex]->object_index == target) return list.items[queueIndex];
    }
    return nullptr;
}

CInstance* WithIterator::Current()
{
    switch (state) {
    case STATE_ROOM:
        while (roomCursor && roomCursor->id > lastId) roomCursor = roomCursor->m_next;
        return roomCursor;
    case STATE_SINGLE:
        return single;
    case STATE_OBJECT:
        if (!object) return nullptr;
        while (objectCursor && objectCursor->item && objectCursor->item->id > lastId) objectCursor = objectCursor->next;
        if (objectCursor && objectCursor->item) return objectCursor->item;
        queueIndex = 0;
        state = STATE_CHANGED;
        [[fallthrough]];
    case STATE_CHANGED:
        if (CInstance* found = FromQueue(STATE_CHANGED)) return found;
        queueIndex = 0;
        state = STATE_ACTIVATED;
        [[fallthrough]];
    case STATE_ACTIVATED:
        if (CInstance* found = FromQueue(STATE_ACTIVATED)) return found;
        queueIndex = 0;
        state = STATE_DEACTIVATED;
        if (!includeDeactivated) return nullptr;
        deactivatedCursor = Run_Room ? Run_Room->deactivatedInstances.first : nullptr;
        [[fallthrough]];
    case STATE_DEACTIVATED:
        if (!includeDeactivated) return nullptr;
        while (deactivatedCursor && !IsTargetOrDescendant(deactivatedCursor, target))
            deactivatedCursor = deactivatedCursor->m_next;
        return deactivatedCursor;
    default:
        return nullptr;
    }
}

void WithIterator::Advance()
{
    switch (state) {
    case STATE_ROOM:
        if (roomCursor) roomCursor = roomCursor->m_next;
        break;
    case STATE_SINGLE:
        single = nullptr;
        break;
    case STATE_OBJECT:
        objectCursor = objectCursor ? objectCursor->next : nullptr;
        if (!objectCursor || !objectCursor->item) {
            state = STATE_CHANGED;
            queueIndex = 0;
        }
        break;
    case STATE_CHANGED:
    case STATE_ACTIVATED: {
        const List<CInstance*>& list = state == STATE_CHANGED ? ObjectChangeQueue : ActivationQueue;
        if (queueIndex < list.count) {
            ++queueIndex;
        } else {
            queueIndex = 0;
            ++state;
        }
        break;
    }
    case STATE_DEACTIVATED:
        if (deactivatedCursor) deactivatedCursor = deactivatedCursor->m_next;
        break;
    default:
        break;
    }
}
