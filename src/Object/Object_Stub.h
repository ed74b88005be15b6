#pragma once
// STAND-IN for the object definitions until the objects module exists: the
// record fields that instances read, the objects table keyed by index, and
// the two instance lists every object keeps.
#include <cstdint>

#include "Base/LinkedList.h"

class CInstance;

struct ObjectShapePoint {
    float x;
    float y;
};

class CGameObject {
public:
    explicit CGameObject(int32_t objectIndex);
    ~CGameObject();
    CGameObject(const CGameObject&) = delete;
    CGameObject& operator=(const CGameObject&) = delete;

    // The direct list, then the all-instances list of this object and of every ancestor.
    void AddInstance(CInstance* instance);
    void RemoveInstance(CInstance* instance);

    uint32_t flags = 0x12;  // bit 0 solid, 1 visible, 2 persistent, 4 collision-indexed
    int32_t sprite = -1;
    int32_t depth = 0;
    int32_t parent = -1;
    int32_t mask = -1;
    char* name = nullptr;
    int32_t index;
    bool usesPhysics = false;
    bool sensor = false;
    int32_t shape = 0;  // 0 circle, 1 and 2 polygon
    int32_t collisionGroup = 0;
    float density = 0;
    float restitution = 0;
    float linearDamping = 0;
    float angularDamping = 0;
    float friction = 0;
    bool awake = false;
    bool kinematic = false;
    int32_t shapePointCount = 0;
    ObjectShapePoint* shapePoints = nullptr;  // plain heap array
    CGameObject* parentObject = nullptr;
    SLinkedList<CInstance> directInstances;
    SLinkedList<CInstance> allInstances;
};

void Object_Init();
// A new empty object at the next index; its index.
int32_t Object_CreateEmpty();
CGameObject* Object_Get(int32_t index);
void Object_Free();
