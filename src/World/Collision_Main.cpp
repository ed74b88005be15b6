// The spatial index of instance boxes, the moved and changed lists that say
// which instances a step must query, and the per-step collision events with
// the push-back of solid instances.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Code/Code_Profiler.h"
#include "Base/MemoryManager.h"
#include "GameData/GameOptions.h"
#include "Graphics/DebugOverlay.h"
#include "World/Collision.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"

namespace {
// Nodes per pool block of the index.
constexpr int32_t kNodesPerBlock = 1024;
// Object flag: the object's instances take part in the index.
constexpr uint32_t kObjectCollisions = 0x10;

struct LinkList {
    InstanceLink head{&head, &head, nullptr, nullptr};

    bool Empty() const { return head.next == &head; }
    CInstance* Front() const { return Empty() ? nullptr : head.next->owner; }
    void PushFront(InstanceLink& link)
    {
        Unlink(link);
        link.next = head.next;
        link.prev = &head;
        head.next->prev = &link;
        head.next = &link;
        link.list = this;
    }
    void Clear()
    {
        while (!Empty()) Unlink(*head.next);
    }
    static void Unlink(InstanceLink& link)
    {
        if (!link.list) return;
        link.prev->next = link.next;
        link.next->prev = link.prev;
        link.Reset();
    }
};

struct CollisionPairEntry {
    CInstance* a;
    CInstance* b;
};

InstanceTree* s_tree = nullptr;
uint32_t s_treeSerial = 0;
LinkList s_moved;
LinkList s_changed;
int32_t s_stamp = 0;
CollisionPairEntry* s_pairs = nullptr;
int32_t s_pairCount = 0;
int32_t s_pairCapacity = 0;
std::vector<CInstance*> s_keep;  // animated precise masks, queried again next step
int32_t s_walks = 0;              // index walks in progress

InstanceTree* Tree()
{
    if (!s_tree) {
        s_tree = new InstanceTree(kNodesPerBlock);
        ++s_treeSerial;
    }
    return s_tree;
}

bool TakesPart(const CInstance* instance)
{
    return !instance->m_marked && !instance->m_deactivated && instance->m_object &&
           (instance->m_object->flags & kObjectCollisions) != 0;
}

bool InTree(const CInstance* instance) { return s_tree && instance->m_indexSerial == s_treeSerial; }

// A box enters the index only at a finite position: its edges mean nothing otherwise.
void Enter(CInstance* instance)
{
    if (!std::isfinite(instance->x) || !std::isfinite(instance->y)) return;
    Tree()->Insert(Collision_BoxRect(instance), instance);
    instance->m_indexSerial = s_treeSerial;
}

void AddPair(CInstance* a, CInstance* b)
{
    if (s_pairCount == s_pairCapacity) {
        const int32_t capacity = 2 * (s_pairCapacity > 32 ? s_pairCapacity : 32);
        s_pairs = static_cast<CollisionPairEntry*>(QS_REALLOC(s_pairs, sizeof(CollisionPairEntry) * static_cast<size_t>(capacity)));
        s_pairCapacity = capacity;
    }
    s_pairs[s_pairCount++] = CollisionPairEntry{a, b};
}

bool HasCollisionEvent(CInstance* self, CInstance* other)
{
    return self->m_object && self->m_object->FindEvent(EVENT_COLLISION, other->object_index) != nullptr;
}

bool PairCallback(CInstance* found, void* user)
{
    auto* query = static_cast<CInstance*>(user);
    if (found != query && found->m_collisionStamp != s_stamp &&
        (HasCollisionEvent(query, found) || HasCollisionEvent(found, query)))
        AddPair(query, found);
    return true;
}

void GoBack(CInstance* instance)
{
    instance->SetPosition(instance->xprevious, instance->yprevious);
    instance->SetPathPosition(instance->path_positionprevious);
}

// Both instances touch: solid ones go back, both events run, and a pair
// still solid moves on once more unless that makes them touch again.
void ResolvePair(CInstance* a, CInstance* b)
{
    if (a->solid || b->solid) {
        GoBack(a);
        GoBack(b);
    }
    PerformEventForInstance(a, b, EVENT_COLLISION, b->object_index);
    PerformEventForInstance(b, a, EVENT_COLLISION, a->object_index);
    if (!a->solid && !b->solid) return;
    a->AdvancePath();
    b->AdvancePath();
    a->SetPosition(a->x + a->hspeed, a->y + a->vspeed);
    b->SetPosition(b->x + b->hspeed, b->y + b->vspeed);
    if (a->CollisionInstance(b, true)) {
        GoBack(a);
        GoBack(b);
    }
}

void HandlePair(CInstance* a, CInstance* b)
{
    if (!a->CollisionInstance(b, true) || a->m_deactivated || b->m_deactivated) return;
    // While they keep touching, b is queried next step and finds a again.
    Collision_MarkChanged(b);
    ResolvePair(a, b);
}

bool AnimatedPreciseMask(const CInstance* instance)
{
    const CSprite* sprite = Sprite_Get(instance->MaskSpriteIndex());
    return instance->m_precise && sprite && sprite->frameCount > 1;
}

void StepWithIndex()
{
    s_pairCount = 0;
    s_keep.clear();
    if (s_tree) {
        Collision_FlushMoved();
        while (CInstance* query = s_changed.Front()) {
            LinkList::Unlink(query->m_changedLink);
            if (query->m_marked || query->m_deactivated) continue;
            if (std::isfinite(query->x) && std::isfinite(query->y)) {
                const CollisionIndexWalk walk;
                s_tree->Search(Collision_BoxRect(query), PairCallback, query, nullptr);
            }
            if (AnimatedPreciseMask(query)) s_keep.push_back(query);
            query->m_collisionStamp = s_stamp;
        }
    }
    ++s_stamp;
    s_changed.Clear();
    for (CInstance* instance : s_keep) Collision_MarkChanged(instance);
    for (int32_t i = 0; i < s_pairCount; ++i) HandlePair(s_pairs[i].a, s_pairs[i].b);
}

bool Live(const CInstance* instance, uint64_t pass)
{
    return !instance->m_marked && !instance->m_deactivated && instance->m_creationStep <= pass;
}

void StepWithPairTable()
{
    for (int32_t p = 0; p < CollisionPairs.count; ++p) {
        const CollisionPair& pair = CollisionPairs.items[p];
        if (!pair.flag || !pair.objectA || !pair.objectB || pair.objectA->directInstances.count == 0) continue;
        const uint64_t pass = EventPassCounter++;
        for (auto* na = pair.objectA->directInstances.first; na;) {
            auto* nextA = na->next;
            CInstance* a = na->item;
            if (Live(a, pass)) {
                for (auto* nb = pair.objectB->directInstances.first; nb;) {
                    auto* nextB = nb->next;
                    CInstance* b = nb->item;
                    if (Live(b, pass) && !a->m_marked && a->CollisionInstance(b, true)) ResolvePair(a, b);
                    nb = nextB;
                }
            }
            na = nextA;
        }
    }
}
}  // namespace

bool Collision_IndexOn() { return GameOptions.collisionMode; }

InstanceTree* Collision_Tree() { return s_tree; }

RTreeRect Collision_BoxRect(const CInstance* instance)
{
    return RTreeRect{std::min(instance->bbox_left, instance->bbox_right), std::min(instance->bbox_top, instance->bbox_bottom),
                     std::max(instance->bbox_left, instance->bbox_right), std::max(instance->bbox_top, instance->bbox_bottom)};
}

void Collision_AddInstance(CInstance* instance)
{
    if (!Collision_IndexOn()) return;
    Tree();
    instance->ComputeBoundingBox(true);
    Collision_MarkChanged(instance);
}

void Collision_MarkMoved(CInstance* instance)
{
    if (!Collision_IndexOn()) return;
    s_moved.PushFront(instance->m_movedLink);
    Collision_MarkChanged(instance);
}

void Collision_MarkChanged(CInstance* instance)
{
    if (!Collision_IndexOn()) return;
    s_changed.PushFront(instance->m_changedLink);
}

CollisionIndexWalk::CollisionIndexWalk() { ++s_walks; }
CollisionIndexWalk::~CollisionIndexWalk() { --s_walks; }

void Collision_UpdateInstanceBox(CInstance* instance, const CollisionBox& old)
{
    if (!Collision_IndexOn() || !TakesPart(instance)) return;
    if (s_walks > 0) {
        s_moved.PushFront(instance->m_movedLink);
        return;
    }
    Tree();
    if (InTree(instance)) {
        const RTreeRect rect{std::min(old.left, old.right), std::min(old.top, old.bottom), std::max(old.left, old.right),
                             std::max(old.top, old.bottom)};
        s_tree->Remove(rect, instance, true);
        instance->m_indexSerial = 0;
    }
    Enter(instance);
}

void Collision_FlushMoved()
{
    if (!Collision_IndexOn()) return;
    while (CInstance* instance = s_moved.Front()) {
        if (!instance->m_marked && !instance->m_deactivated) instance->ComputeBoundingBox(true);
        LinkList::Unlink(instance->m_movedLink);
    }
}

void Collision_RemoveInstance(CInstance* instance)
{
    if (InTree(instance)) s_tree->Remove(Collision_BoxRect(instance), instance, true);
    instance->m_indexSerial = 0;
    LinkList::Unlink(instance->m_movedLink);
    LinkList::Unlink(instance->m_changedLink);
}

void Collision_DeleteIndex()
{
    delete s_tree;
    s_tree = nullptr;
}

void Collision_RebuildIndex(CGameRoom* room)
{
    if (!Collision_IndexOn()) return;
    Collision_DeleteIndex();
    Tree();
    if (!room) return;
    for (CInstance* instance = room->activeInstances.first; instance; instance = instance->m_next) {
        if (!TakesPart(instance)) continue;
        if (instance->m_bboxDirty)
            instance->ComputeBoundingBox(true);
        else
            Enter(instance);
    }
}

void Collision_Step()
{
    const ProfilerSection section(SECTION_HANDLE_COLLISION);
    Timing_Push(0xFFFF8000u, "HandleCollision");
    if (Collision_IndexOn())
        StepWithIndex();
    else
        StepWithPairTable();
    Timing_Pop();
}

void Collision_Reset()
{
    Collision_DeleteIndex();
    s_moved.Clear();
    s_changed.Clear();
    s_keep = {};
    QS_FREE(s_pairs);
    s_pairs = nullptr;
    s_pairCount = s_pairCapacity = 0;
    s_stamp = 0;
    s_walks = 0;
}
