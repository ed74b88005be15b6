#pragma once
// Object definitions: the record each instance is made from (sprite, mask,
// depth, flags, parent, physics properties, event handlers), the objects
// table keyed by object index, the "OBJT" chunk reader, and the two lists of
// live instances every object keeps.
#include <cstdint>

#include "Base/LinkedList.h"

class CEvent;
class CInstance;

struct ObjectShapePoint {
    float x;
    float y;
};

// Number of event kinds an object has a handler list for.
constexpr int32_t OBJECT_EVENT_KINDS = 14;

// One handler list, indexed by sub-kind; a slot may be null.
struct ObjectEventList {
    int32_t count = 0;
    CEvent** events = nullptr;
};

class CGameObject {
public:
    explicit CGameObject(int32_t objectIndex);
    ~CGameObject();
    CGameObject(const CGameObject&) = delete;
    CGameObject& operator=(const CGameObject&) = delete;

    // Back to the initial values; events deleted, instance lists emptied.
    void Clear();
    // Fills the object from its checked record (see OBJT_Load).
    bool Load(const uint8_t* record);
    void SetName(const char* text);
    void TakeName(char* text);
    bool Prepare();

    // The direct list, then the all-instances list of this object and of every ancestor.
    void AddInstance(CInstance* instance);
    void RemoveInstance(CInstance* instance);
    void FreeInstanceLists();
    // True when index is in the parent chain (the object itself excluded).
    bool HasAncestor(int32_t objectIndex) const;

    // This object's own handler; "Invalid event argument" for a bad kind or sub-kind.
    CEvent* GetEvent(int32_t kind, int32_t subKind);
    // With inheritance through the parents, and through the other object's
    // parents for collisions; *owner is the object whose list held the handler.
    CEvent* FindEvent(int32_t kind, int32_t subKind, int32_t* owner = nullptr);
    bool HasEvent(int32_t kind, int32_t subKind);

    uint32_t flags = 0x12;  // bit 0 solid, 1 visible, 2 persistent, 3 collision pair, 4 collision-indexed
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
    ObjectEventList events[OBJECT_EVENT_KINDS];
    SLinkedList<CInstance> directInstances;
    SLinkedList<CInstance> allInstances;

private:
    // Walks this object and its parents for the exact kind and sub-kind.
    CEvent* FindInChain(int32_t kind, int32_t subKind, int32_t* owner);
    void ClearEvents();
};

// Bits of the sprite words of the object records, collected as read.
extern uint32_t ObjectDataMarker;

void Object_Init();
// "OBJT": every record is checked against the chunk before any object is made.
bool OBJT_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
bool Object_Prepare();
void Object_LinkParents();
CGameObject* Object_Get(int32_t index);
bool Object_IsValid(int32_t index);
// Number of object indices handed out (records of the chunk plus run-time ones).
int32_t Object_Count();
int Object_FindByName(const char* name);
// The object's name; "<undefined>" when the index is not in the table.
const char* Object_NameOf(int index);
// A new empty object at the next index; its index.
int32_t Object_CreateEmpty();
bool Object_Remove(int32_t index);
void Object_ClearInstanceLists();
void Object_Free();
