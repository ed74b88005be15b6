#include "DataStructure/DS_Native.h"

#include <cstdarg>
#include <new>

#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"

namespace {
template <typename T, typename... Args>
int32_t CreateIn(DsHandleTable<T>& table, Args... args)
{
    T* structure = new (std::nothrow) T(args...);
    if (!structure) return -1;
    const int32_t handle = table.Store(structure);
    if (handle < 0) delete structure;
    return handle;
}

CDS_List* ListOrReport(int32_t handle)
{
    CDS_List* list = DsListTable.Get(handle);
    if (!list) Ds_ReportBadHandle();
    return list;
}

// Adds key/value to a map, reporting a bad handle when asked to. The key and
// the value are released here.
bool AddToMap(int32_t handle, ScriptValue key, ScriptValue value, bool report)
{
    bool added = false;
    {
        DsMutexLock lock;
        if (DsMap* map = DsMapTable.Get(handle))
            added = map->Add(&key, &value);
        else if (report)
            Ds_ReportBadHandle();
    }
    ScriptValue_SetUndefined(&key);
    ScriptValue_SetUndefined(&value);
    return added;
}

ScriptValue StringValue(const char* text)
{
    ScriptValue value = ScriptValue_Undefined();
    ScriptValue_InitString(&value, text ? text : "");
    return value;
}
}  // namespace

int32_t DsList_Create()
{
    return CreateIn(DsListTable);
}

int32_t DsMap_Create()
{
    DsMutexLock lock;
    return CreateIn(DsMapTable, DsMap::DEFAULT_BUCKETS);
}

int32_t DsStack_Create()
{
    return CreateIn(DsStackTable);
}

int32_t DsGrid_Create(int32_t width, int32_t height)
{
    if (!DsGrid::SizeAllowed(width, height)) return -1;
    const int32_t handle = CreateIn(DsGridTable, width, height);
    if (handle >= 0 && DsGridTable.slots[handle]->Width() != width) {
        DsGrid_Destroy(handle);  // its cells could not be allocated
        return -1;
    }
    return handle;
}

void DsList_AddInt64Value(int32_t list, int64_t value)
{
    if (CDS_List* target = ListOrReport(list)) {
        ScriptValue v = ScriptValue_Undefined();
        v.i64 = value;
        v.kind = VALUE_INT64;
        target->Add(&v);
    }
}

void DsList_AddMapValue(int32_t list, int32_t map)
{
    if (CDS_List* target = ListOrReport(list)) {
        ScriptValue v = ScriptValue_Real(map);
        v.kind |= KIND_NESTED_MAP;
        target->Add(&v);
    }
}

void DsList_Clear(int32_t list)
{
    if (CDS_List* target = ListOrReport(list)) target->Clear();
}

void DsMap_AddRealValue(int32_t map, const char* key, double value)
{
    AddToMap(map, StringValue(key), ScriptValue_Real(value), true);
}

void DsMap_AddIntValue(int32_t map, const char* key, int32_t value)
{
    AddToMap(map, StringValue(key), ScriptValue_Real(value), true);
}

void DsMap_AddInt64Value(int32_t map, const char* key, int64_t value)
{
    ScriptValue v = ScriptValue_Undefined();
    v.i64 = value;
    v.kind = VALUE_INT64;
    AddToMap(map, StringValue(key), v, true);
}

void DsMap_AddStringValue(int32_t map, const char* key, const char* value)
{
    AddToMap(map, StringValue(key), StringValue(value), true);
}

void DsMap_AddListValue(int32_t map, const char* key, int32_t list)
{
    ScriptValue v = ScriptValue_Real(list);
    v.kind |= KIND_NESTED_LIST;
    AddToMap(map, StringValue(key), v, true);
}

void DsMap_Clear(int32_t map)
{
    DsMutexLock lock;
    if (DsMap* target = DsMapTable.Get(map))
        target->Clear();
    else
        Ds_ReportBadHandle();
}

bool DsMap_LockedAddString(int32_t map, const char* key, const char* value)
{
    return AddToMap(map, StringValue(key), StringValue(value), false);
}

bool DsMap_LockedAddReal(int32_t map, const char* key, double value)
{
    return AddToMap(map, StringValue(key), ScriptValue_Real(value), false);
}

int32_t DsMap_CreateFromTriples(int32_t n, ...)
{
    // Nothing else can reach the map until it is published, so it is filled
    // without the lock.
    auto* map = new (std::nothrow) DsMap(DsMap::DEFAULT_BUCKETS);
    if (!map) return -1;
    va_list triples;
    va_start(triples, n);
    for (int32_t i = 0; i < n; ++i) {
        const char* key = va_arg(triples, const char*);
        const double real = va_arg(triples, double);
        const char* text = va_arg(triples, const char*);
        map->AddRealOrString(key, real, text);
    }
    va_end(triples);
    int32_t handle;
    {
        DsMutexLock lock;
        handle = DsMapTable.Store(map);
    }
    if (handle < 0) delete map;
    return handle;
}

bool DsMap_TryAddReal(int32_t map, const char* key, double value)
{
    if (!key) return false;
    // The add happens under the lock too: another thread may be filling or
    // destroying the same map.
    DsMutexLock lock;
    DsMap* target = DsMapTable.Get(map);
    if (!target) return false;
    target->AddRealOrString(key, value, nullptr);
    return true;
}

DsMap* DsMap_FromIndex(int32_t map)
{
    DsMutexLock lock;
    return DsMapTable.Get(map);
}

namespace {
CDS_Queue* QueueOrReport(int32_t handle)
{
    CDS_Queue* queue = DsQueueTable.Get(handle);
    if (!queue) Ds_ReportBadHandle();
    return queue;
}
}  // namespace

int32_t DsQueue_Create()
{
    return CreateIn(DsQueueTable);
}

void DsQueue_Clear(int32_t queue)
{
    if (queue < 0) return;
    if (CDS_Queue* target = QueueOrReport(queue)) target->Clear();
}

void DsQueue_Dequeue(int32_t queue, ScriptValue* result)
{
    if (queue < 0) return;
    CDS_Queue* target = QueueOrReport(queue);
    if (!target) return;
    if (const ScriptValue* value = target->Dequeue()) {
        ScriptValue held = *value;
        held.kind &= ~(KIND_NESTED_LIST | KIND_NESTED_MAP);
        result->Assign(held);
    } else {
        ScriptValue_SetUndefined(result);
    }
}

void DsQueue_EnqueueValues(int32_t queue, int32_t n, ...)
{
    if (queue < 0) return;
    // One built-in call per pair, so a bad handle is reported for each.
    CDS_Queue* target = DsQueueTable.Get(queue);
    va_list pairs;
    va_start(pairs, n);
    for (int32_t i = 0; i < n; ++i) {
        const double real = va_arg(pairs, double);
        void* pointer = va_arg(pairs, void*);
        ScriptValue value = ScriptValue_Real(real);
        if (pointer) {
            value.ptr = pointer;
            value.kind = VALUE_PTR;
        }
        if (target)
            target->Enqueue(&value);
        else
            Ds_ReportBadHandle();
    }
    va_end(pairs);
}

int32_t DsQueue_Size(int32_t queue)
{
    if (queue < 0) return 0;
    CDS_Queue* target = QueueOrReport(queue);
    return target ? target->Size() : 0;
}
