#pragma once
// Per-event object lists and the collision-pair table: for each event kind
// and sub-kind, the object indices (ascending) whose objects have a handler
// for it, their own or inherited; and each pair of objects with a collision
// handler between them, once. Event passes walk these instead of every object.
#include <cstdint>

class CGameObject;

constexpr int32_t EVENT_LIST_KINDS = 14;
constexpr int32_t EVENT_LIST_SUBKINDS = 256;

struct EventObjectList {
    int32_t capacity;
    int32_t* items;
};
// The lists; the valid entries of list [k][s] are the first count [k][s].
extern EventObjectList PerEventObjectLists[EVENT_LIST_KINDS][EVENT_LIST_SUBKINDS];
extern int32_t PerEventObjectCounts[EVENT_LIST_KINDS][EVENT_LIST_SUBKINDS];

struct CollisionPair {
    int32_t a, b;
    CGameObject* objectA;
    CGameObject* objectB;
    uint8_t flag;
};
struct CollisionPairTable {
    int32_t capacity;
    CollisionPair* items;
    int32_t count;
};
extern CollisionPairTable CollisionPairs;

// Object flag bit: the object takes part in a collision handler.
constexpr uint32_t OBJECT_FLAG_COLLISION_PAIR = 0x8;

void Object_BuildEventLists();
void Object_BuildEventListsForKind(int32_t kind, int32_t lastSubKind);
void Object_BuildCollisionPairs();
void Object_FreeEventLists();
// The count of list (kind, sub-kind); 0 outside the table.
int32_t Object_EventListCount(int32_t kind, int32_t subKind);
