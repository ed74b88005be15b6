#include "World/Object_Lists.h"

#include "Base/MemoryManager.h"
#include "World/Event_Main.h"
#include "World/Object_Main.h"
#include "GameData/GameOptions.h"

EventObjectList PerEventObjectLists[EVENT_LIST_KINDS][EVENT_LIST_SUBKINDS];
int32_t PerEventObjectCounts[EVENT_LIST_KINDS][EVENT_LIST_SUBKINDS];
CollisionPairTable CollisionPairs;

namespace {
// The lists grow in steps of five entries and are never shrunk.
constexpr int32_t kGrowStep = 5;

void ClearCounts(int32_t kind)
{
    for (int32_t s = 0; s < EVENT_LIST_SUBKINDS; ++s) PerEventObjectCounts[kind][s] = 0;
}

void Append(int32_t kind, int32_t subKind, int32_t objectIndex)
{
    EventObjectList& list = PerEventObjectLists[kind][subKind];
    int32_t& count = PerEventObjectCounts[kind][subKind];
    if (count >= list.capacity) {
        void* storage = QS_REALLOC(list.items, sizeof(int32_t) * static_cast<size_t>(count + kGrowStep));
        if (!storage) return;  // out of memory: the object gets no event through this list
        list.items = static_cast<int32_t*>(storage);
        list.capacity = count + kGrowStep;
    }
    list.items[count++] = objectIndex;
}

void BuildSingle(int32_t kind)
{
    ClearCounts(kind);
    const int32_t objects = Object_Count();
    for (int32_t i = 0; i < objects; ++i) {
        CGameObject* object = Object_Get(i);
        if (object && object->FindEvent(kind, 0)) Append(kind, 0, i);
    }
}

bool HasPair(int32_t i, int32_t j)
{
    const int32_t low = i < j ? i : j, high = i < j ? j : i;
    for (int32_t k = 0; k < CollisionPairs.count; ++k) {
        const CollisionPair& pair = CollisionPairs.items[k];
        const int32_t a = pair.a < pair.b ? pair.a : pair.b, b = pair.a < pair.b ? pair.b : pair.a;
        if (a == low && b == high) return true;
    }
    return false;
}

void Mark(CGameObject* object)
{
    if (object) object->flags |= OBJECT_FLAG_COLLISION_PAIR;
}
}  // namespace

void Object_BuildEventListsForKind(int32_t kind, int32_t lastSubKind)
{
    ClearCounts(kind);
    const int32_t objects = Object_Count();
    for (int32_t s = 0; s <= lastSubKind && s < EVENT_LIST_SUBKINDS; ++s) {
        for (int32_t i = 0; i < objects; ++i) {
            CGameObject* object = Object_Get(i);
            if (object && object->FindEvent(kind, s)) Append(kind, s, i);
        }
    }
}

void Object_BuildEventLists()
{
    BuildSingle(EVENT_CREATE);
    BuildSingle(EVENT_DESTROY);
    Object_BuildEventListsForKind(EVENT_ALARM, 12);
    Object_BuildEventListsForKind(EVENT_STEP, 16);
    ClearCounts(EVENT_COLLISION);
    Object_BuildEventListsForKind(EVENT_KEYBOARD, 128);
    Object_BuildEventListsForKind(EVENT_MOUSE, 128);
    Object_BuildEventListsForKind(EVENT_OTHER, 128);
    BuildSingle(EVENT_DRAW);
    Object_BuildEventListsForKind(EVENT_KEYPRESS, 128);
    Object_BuildEventListsForKind(EVENT_KEYRELEASE, 128);
    Object_BuildEventListsForKind(EVENT_GESTURE, 128);
    Object_BuildCollisionPairs();
}

void Object_BuildCollisionPairs()
{
    QS_FREE(CollisionPairs.items);
    CollisionPairs = CollisionPairTable{0, nullptr, 0};
    const int32_t objects = Object_Count();
    bool allPhysics = true;
    for (int32_t i = 0; i < objects; ++i) {
        if (Object_IsValid(i) && !Object_Get(i)->usesPhysics) allPhysics = false;
    }
    const bool tableWanted = allPhysics || !GameOptions.collisionMode;
    for (int32_t i = 0; i < objects; ++i) {
        if (!Object_IsValid(i)) continue;
        CGameObject* a = Object_Get(i);
        for (int32_t j = 0; j < objects; ++j) {
            if (!a->FindEvent(EVENT_COLLISION, j)) continue;
            CGameObject* b = Object_Get(j);  // null only for inconsistent game data
            if (!tableWanted) {
                Mark(a);
                Mark(b);
                continue;
            }
            if (HasPair(i, j)) continue;
            Mark(a);
            Mark(b);
            if (CollisionPairs.count >= CollisionPairs.capacity) {
                const int32_t capacity = CollisionPairs.count + kGrowStep;
                void* storage = QS_REALLOC(CollisionPairs.items, sizeof(CollisionPair) * static_cast<size_t>(capacity));
                if (!storage) return;
                CollisionPairs.items = static_cast<CollisionPair*>(storage);
                CollisionPairs.capacity = capacity;
            }
            CollisionPairs.items[CollisionPairs.count++] = CollisionPair{i, j, a, b, 1};
        }
    }
}

void Object_FreeEventLists()
{
    for (auto& kind : PerEventObjectLists) {
        for (EventObjectList& list : kind) {
            if (list.items && list.capacity > 0) QS_FREE(list.items);
            list.items = nullptr;
            list.capacity = 0;
        }
    }
    QS_FREE(CollisionPairs.items);
    CollisionPairs.items = nullptr;
    CollisionPairs.capacity = 0;
    CollisionPairs.count = 0;
}

int32_t Object_EventListCount(int32_t kind, int32_t subKind)
{
    if (kind < 0 || kind >= EVENT_LIST_KINDS || subKind < 0 || subKind >= EVENT_LIST_SUBKINDS) return 0;
    return PerEventObjectCounts[kind][subKind];
}
