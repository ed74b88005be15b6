#pragma once
// How the command back ends visit the instances of a target: by walking the
// room's active list, one instance, or an object's list of all its instances
// (descendants included), or by searching the spatial index.
#include <cstdint>

#include "World/Collision.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

constexpr int32_t INSTANCE_ID_FIRST = 100000;

inline bool Target_Findable(const CInstance* instance) { return !instance->m_marked && !instance->m_deactivated; }

inline bool Target_Matches(const CInstance* instance, int32_t target)
{
    if (target == -3) return true;
    if (target >= INSTANCE_ID_FIRST) return instance->id == target;
    return instance->object_index == target || (instance->m_object && instance->m_object->HasAncestor(target));
}

// Calls test with each findable instance of the target in list order until it
// returns true; that instance, or null.
template <typename Test>
CInstance* Target_Walk(int32_t target, Test&& test)
{
    if (target == -3) {
        if (!Run_Room) return nullptr;
        for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
            CInstance* next = instance->m_next;
            if (Target_Findable(instance) && test(instance)) return instance;
            instance = next;
        }
        return nullptr;
    }
    if (target >= INSTANCE_ID_FIRST) {
        CInstance* instance = Instance_Find(target);
        return instance && Target_Findable(instance) && test(instance) ? instance : nullptr;
    }
    CGameObject* object = Object_Get(target);
    if (!object) return nullptr;
    for (auto* node = object->allInstances.first; node;) {
        auto* next = node->next;
        if (Target_Findable(node->item) && test(node->item)) return node->item;
        node = next;
    }
    return nullptr;
}

// The index answers for every instance and for objects with at least as many
// instances as the index has levels.
inline bool Target_UseIndex(int32_t target)
{
    InstanceTree* tree = Collision_Tree();
    if (!Collision_IndexOn() || !tree) return false;
    if (target == -3) return true;
    if (target < 0 || target >= INSTANCE_ID_FIRST) return false;
    const CGameObject* object = Object_Get(target);
    return object && object->allInstances.count >= tree->RootLevel();
}

// Searches the index through the branches that pass overlaps; the first
// findable instance of the target that passes test. The caller brings the
// index up to date first (Collision_FlushMoved).
template <typename Overlaps, typename Test>
CInstance* Target_Search(Overlaps&& overlaps, int32_t target, Test&& test)
{
    CInstance* found = nullptr;
    const CollisionIndexWalk walk;
    Collision_Tree()->Walk(overlaps,
                           [&](CInstance* instance) {
                               if (!Target_Findable(instance) || !Target_Matches(instance, target) || !test(instance))
                                   return true;
                               found = instance;
                               return false;
                           },
                           nullptr);
    return found;
}
