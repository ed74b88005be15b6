#include "DataStructure/DS_Handles.h"

#include "Base/ErrorReport.h"
#include "Base/Thread.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "DataStructure/DS_Values.h"

DsHandleTable<DsMap> DsMapTable;
DsHandleTable<CDS_List> DsListTable;
DsHandleTable<CDS_Stack> DsStackTable;
DsHandleTable<CDS_Queue> DsQueueTable;
DsHandleTable<DsGrid> DsGridTable;
DsHandleTable<CDS_Priority> DsPriorityTable;

namespace {
// Made by the first thread that asks (the initialisation of a function-local
// static is itself guarded) and kept to the end: threads may still hold it
// while the process exits.
Mutex& DsMutex()
{
    static Mutex* lock = new Mutex("DsMutex");
    return *lock;
}

template <typename T>
bool DestroyIn(DsHandleTable<T>& table, int32_t handle)
{
    T* structure = table.Take(handle);
    delete structure;
    return structure != nullptr;
}

// Destroys through the kind's own destroy, which also takes what a structure
// holds nested, then frees the table itself.
template <typename T>
void EmptyTable(DsHandleTable<T>& table, bool (*destroy)(int32_t))
{
    for (int32_t handle = 0; handle < table.count; ++handle) destroy(handle);
    QS_FREE(table.slots);
    table = DsHandleTable<T>{};
}
}  // namespace

DsMutexLock::DsMutexLock()
{
    DsMutex().Lock();
}

DsMutexLock::~DsMutexLock()
{
    DsMutex().Unlock();
}

bool DsMap_Destroy(int32_t handle)
{
    DsMutexLock lock;
    DsMap* map = DsMapTable.Get(handle);
    if (!map || map->Clearing()) return false;
    // The slot is emptied first: a map nested in itself finds nothing.
    DsMapTable.Take(handle);
    delete map;
    return true;
}

bool DsList_Destroy(int32_t handle)
{
    DsMutexLock lock;
    CDS_List* list = DsListTable.Get(handle);
    if (!list || list->Clearing()) return false;
    DsListTable.Take(handle);
    delete list;
    return true;
}

bool DsStack_Destroy(int32_t handle)
{
    return DestroyIn(DsStackTable, handle);
}

bool DsQueue_Destroy(int32_t handle)
{
    return DestroyIn(DsQueueTable, handle);
}

bool DsGrid_Destroy(int32_t handle)
{
    return DestroyIn(DsGridTable, handle);
}

bool DsPriority_Destroy(int32_t handle)
{
    return DestroyIn(DsPriorityTable, handle);
}

bool Ds_Exists(int32_t handle, int32_t type)
{
    DsMutexLock lock;
    switch (type) {
    case DS_TYPE_MAP:
        return DsMapTable.Get(handle) != nullptr;
    case DS_TYPE_LIST:
        return DsListTable.Get(handle) != nullptr;
    case DS_TYPE_STACK:
        return DsStackTable.Get(handle) != nullptr;
    case DS_TYPE_QUEUE:
        return DsQueueTable.Get(handle) != nullptr;
    case DS_TYPE_GRID:
        return DsGridTable.Get(handle) != nullptr;
    case DS_TYPE_PRIORITY:
        return DsPriorityTable.Get(handle) != nullptr;
    default:
        return false;
    }
}

void Ds_Reset()
{
    DsMutexLock lock;
    EmptyTable(DsMapTable, DsMap_Destroy);
    EmptyTable(DsListTable, DsList_Destroy);
    EmptyTable(DsStackTable, DsStack_Destroy);
    EmptyTable(DsQueueTable, DsQueue_Destroy);
    EmptyTable(DsGridTable, DsGrid_Destroy);
    EmptyTable(DsPriorityTable, DsPriority_Destroy);
    DsPrecision = kDsStartPrecision;
    DsGridCheck = true;
}

void Ds_ReportBadHandle()
{
    ReportRuntimeError("Data structure with index does not exist.", false);
}
