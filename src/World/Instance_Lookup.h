#pragma once
// How instances are found and walked: the instance-id table, the depth-ordered
// lists of a room, the queues of list changes deferred until an event pass
// ends, and the with-collection list of a with-block.
#include <cstdint>

#include "Base/Hash.h"
#include "Base/List.h"

class CInstance;

// An intrusive link; on no list it points at itself and has no list.
struct InstanceLink {
    InstanceLink* next;
    InstanceLink* prev;
    const void* list;
    CInstance* owner;  // the instance that carries the link

    void Reset()
    {
        next = prev = this;
        list = nullptr;
    }
};

// A room's active (or deactivated) list, linked through the instances' next
// and previous fields. The active list is ascending by list depth; equal
// depths keep their insertion order.
struct InstanceDepthList {
    CInstance* first = nullptr;
    CInstance* last = nullptr;
    int32_t count = 0;

    // After every instance whose list depth is not above the instance's depth.
    void Insert(CInstance* instance);
    bool Remove(CInstance* instance);
    // At the tail, whatever the depth (the deactivated list).
    void Append(CInstance* instance);
};

// ---------------------------------------------------------------- id table

// The id table (512 buckets at start). It doubles its buckets whenever it
// holds more than two instances per bucket, so a lookup stays O(1).
Hash<CInstance>& Instance_IdTable();
bool Instance_Insert(int32_t id, CInstance* instance);
// Null for a negative id or an id not in the table.
CInstance* Instance_Find(int32_t id);
// Removes the first entry of the id; the instance is not touched.
bool Instance_Delete(int32_t id);
// Empties the table, disposing of the instances by Hash mode (HASH_KEEP_VALUE ...).
void Instance_ClearTable(int32_t mode);
// Shutdown: deletes every instance in the table and empties it.
void Instance_DeleteAll();

// ---------------------------------------------------------------- deferred changes

extern List<CInstance*> DepthChangeQueue;
extern List<CInstance*> ActivationQueue;
extern List<CInstance*> ObjectChangeQueue;

// Relinks every instance whose object changed, then empties the queue.
void ObjectChangeQueue_Apply();
// Takes every queued, non-deactivated instance out of the current room's
// active list, then inserts each again by its current depth; empties the queue.
void DepthChangeQueue_Apply();
// After an event pass: activation changes, then object changes, then depths.
void UpdateActiveLists();
// Takes an instance off the three queues (an instance about to be deleted).
void InstanceQueues_Forget(CInstance* instance);

// ---------------------------------------------------------------- with-blocks

// The with-collection list: the instances a with-block will visit, each once.
struct WithInstanceList {
    // Moves the instance to the tail (appends it when absent).
    static void Add(CInstance* instance);
    // As Add; true when the instance was already on the list.
    static bool AddOnce(CInstance* instance);
    // Walks the list from the first instance: writes the instance visited
    // before into the next output entry (null for the first), makes each one
    // current, and takes it off the list. Returns the end of the output.
    static CInstance** Drain(CInstance** output, CInstance** current);
    static bool IsEmpty();
    // Takes the instance off the list when it is on it.
    static void Unlink(CInstance* instance);
};
