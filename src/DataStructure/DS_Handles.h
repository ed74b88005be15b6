#pragma once
// Game code holds data structures by small integer handles, one table per
// kind. A handle is a slot index; destroying a structure empties its slot and
// the next creation of that kind takes the lowest empty slot. A handle that
// was never handed out, or whose structure is gone, finds nothing.
#include <cstdint>

#include "Base/MemoryManager.h"

class DsMap;
class CDS_List;
class CDS_Stack;
class CDS_Queue;
class CDS_Priority;
class DsGrid;

// The type codes of ds_exists.
enum DsType : int32_t {
    DS_TYPE_MAP = 1,
    DS_TYPE_LIST = 2,
    DS_TYPE_STACK = 3,
    DS_TYPE_QUEUE = 4,
    DS_TYPE_GRID = 5,
    DS_TYPE_PRIORITY = 6,
};

template <typename T>
struct DsHandleTable {
    int32_t capacity = 0;
    T** slots = nullptr;
    int32_t count = 0;  // slots ever handed out; never decreases
    // No slot below this one is empty, so that making many structures in a
    // row does not scan the whole table for each.
    int32_t firstEmpty = 0;

    // The lowest empty slot, or a new one (the array starts at 16 slots and
    // doubles, so that a document of many nested structures is not copied
    // over and over). The slot stays empty until the caller stores the
    // structure; -1 when memory runs out.
    int32_t Alloc()
    {
        for (int32_t i = firstEmpty; i < count; ++i) {
            if (!slots[i]) return firstEmpty = i;
        }
        firstEmpty = count;
        if (count >= capacity) {
            if (count > INT32_MAX / 2) return -1;
            const int32_t grownCapacity = count < 16 ? 16 : count * 2;
            auto* grown = static_cast<T**>(QS_REALLOC(slots, sizeof(T*) * static_cast<size_t>(grownCapacity)));
            if (!grown) return -1;
            slots = grown;
            capacity = grownCapacity;
        }
        slots[count] = nullptr;
        return count++;
    }
    // Allocates a slot and stores the structure in it; -1 (structure not
    // stored) when no slot can be had.
    int32_t Store(T* structure)
    {
        int32_t handle = Alloc();
        if (handle >= 0) slots[handle] = structure;
        return handle;
    }
    T* Get(int32_t handle) const { return (handle >= 0 && handle < count) ? slots[handle] : nullptr; }
    // Empties the slot and hands its structure to the caller.
    T* Take(int32_t handle)
    {
        T* structure = Get(handle);
        if (structure) slots[handle] = nullptr;
        if (structure && handle < firstEmpty) firstEmpty = handle;
        return structure;
    }
};

// The map table is shared with other threads and read only under DsMutex;
// the others belong to the main thread.
extern DsHandleTable<DsMap> DsMapTable;
extern DsHandleTable<CDS_List> DsListTable;
extern DsHandleTable<CDS_Stack> DsStackTable;
extern DsHandleTable<CDS_Queue> DsQueueTable;
extern DsHandleTable<DsGrid> DsGridTable;
extern DsHandleTable<CDS_Priority> DsPriorityTable;

// The re-entrant lock over the map table, every map's content and nested
// destruction. Taken before the memory manager's lock, never after it.
class DsMutexLock {
public:
    DsMutexLock();
    ~DsMutexLock();
    DsMutexLock(const DsMutexLock&) = delete;
    DsMutexLock& operator=(const DsMutexLock&) = delete;
};

// Destroys the structure of a handle and empties its slot; false when the
// handle names none. A map or list that is being cleared right now is left
// alone, so a structure nested in itself cannot be destroyed under its own
// clear. Maps and lists are destroyed under DsMutex.
bool DsMap_Destroy(int32_t handle);
bool DsList_Destroy(int32_t handle);
bool DsStack_Destroy(int32_t handle);
bool DsQueue_Destroy(int32_t handle);
bool DsGrid_Destroy(int32_t handle);
bool DsPriority_Destroy(int32_t handle);

// Every structure of every kind destroyed and the tables freed, so that the
// first handle of each kind is 0 again; the precision and the grid checks at
// their start values.
void Ds_Reset();

// True when the handle names a live structure of the type (1..6), under DsMutex.
bool Ds_Exists(int32_t handle, int32_t type);
// The report for a handle that names nothing (non-fatal).
void Ds_ReportBadHandle();
