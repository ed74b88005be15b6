#pragma once
// The instance spatial index and the collision step of a frame. With the
// game's spatial index option on, every instance whose object takes part in
// collisions has its box in one R-tree, and only instances that moved or
// changed since their last query are queried each step; with it off, the
// step walks the collision pairs of objects. Everything but the step does
// nothing while the option is off.
#include <cstdint>

#include "Base/RTree.h"

class CGameRoom;
class CInstance;

// A bounding box as the instance keeps it: inclusive edges.
struct CollisionBox {
    int32_t left, top, right, bottom;
};

using InstanceTree = RTree<CInstance*, 6, 2>;

bool Collision_IndexOn();
// The index, null until an instance joins it.
InstanceTree* Collision_Tree();
// A new instance joins the room.
void Collision_AddInstance(CInstance* instance);
// Position, velocity, sprite, mask, scale, angle or object changed: the
// instance goes on the moved list and the changed list.
void Collision_MarkMoved(CInstance* instance);
void Collision_MarkChanged(CInstance* instance);
// The box was recomputed: the index entry moves from the old box to the new one.
void Collision_UpdateInstanceBox(CInstance* instance, const CollisionBox& old);
// Brings the entries of every moved instance up to date.
void Collision_FlushMoved();
// The instance goes away: it leaves the index and both lists.
void Collision_RemoveInstance(CInstance* instance);
// Drops the whole index, and builds it again from a room's active instances.
void Collision_DeleteIndex();
void Collision_RebuildIndex(CGameRoom* room);
// Held while the index is walked: a box recomputed meanwhile does not touch
// the index (that would change the nodes being walked) but waits on the
// moved list for the next flush.
struct CollisionIndexWalk {
    CollisionIndexWalk();
    ~CollisionIndexWalk();
    CollisionIndexWalk(const CollisionIndexWalk&) = delete;
    CollisionIndexWalk& operator=(const CollisionIndexWalk&) = delete;
};
// The index rectangle of an instance's box.
RTreeRect Collision_BoxRect(const CInstance* instance);

// The collision events of one step, and the solid push-back.
void Collision_Step();
// Start of a run: no index, empty lists.
void Collision_Reset();
