#pragma once
// How native code of other subsystems (asynchronous results, network events,
// extension callbacks) creates and fills lists and maps by handle. A handle
// that names nothing is reported like a bad handle from game code. Map
// helpers take DsMutex and may be called from any thread; the others belong
// to the main thread. Keys and texts are UTF-8.
#include <cstdint>

class DsMap;
struct ScriptValue;

// New empty structures; the handle, or -1 when none can be made (memory, or
// a grid size that cannot be held).
int32_t DsList_Create();
int32_t DsMap_Create();
int32_t DsStack_Create();
int32_t DsGrid_Create(int32_t width, int32_t height);

void DsList_AddInt64Value(int32_t list, int64_t value);
// Appends the map handle marked as a nested map: the list now owns the map.
void DsList_AddMapValue(int32_t list, int32_t map);
void DsList_Clear(int32_t list);

// Add a pair unless the key is present.
void DsMap_AddRealValue(int32_t map, const char* key, double value);
void DsMap_AddIntValue(int32_t map, const char* key, int32_t value);  // stored as a real
void DsMap_AddInt64Value(int32_t map, const char* key, int64_t value);
void DsMap_AddStringValue(int32_t map, const char* key, const char* value);
// The list handle marked as a nested list: the map now owns the list.
void DsMap_AddListValue(int32_t map, const char* key, int32_t list);
void DsMap_Clear(int32_t map);

// The two routines handed to extension libraries: true when added, false
// when the key was present or the handle names no map (not reported).
bool DsMap_LockedAddString(int32_t map, const char* key, const char* value);
bool DsMap_LockedAddReal(int32_t map, const char* key, double value);

// Result maps of asynchronous producers, from any thread: a new map of n
// triples (const char* key, double real, const char* text or null), whose
// value is the text when one is given, else the real. A repeated key keeps its
// first value; a null key is the empty string. The map is built privately and
// published in the map table under DsMutex; the handle, or -1 without memory.
int32_t DsMap_CreateFromTriples(int32_t n, ...);
// Adds key -> real under DsMutex (an existing key keeps its value). True when
// the handle names a map, whether or not the key was new; false for a null key.
bool DsMap_TryAddReal(int32_t map, const char* key, double value);
// The map of a handle, null when it names none. Only DsMutex keeps it alive:
// callers that may race with ds_map_destroy hold the lock while they use it.
DsMap* DsMap_FromIndex(int32_t map);

// Queues of values kept by native code, with the checks and reports of the
// queue built-ins; a negative handle is ignored without a report. Main thread.
int32_t DsQueue_Create();
void DsQueue_Clear(int32_t queue);
// result receives a copy of the removed head value (undefined when empty).
void DsQueue_Dequeue(int32_t queue, ScriptValue* result);
// Enqueues n pairs (double real, void* pointer or null) in order: the pointer
// as a value of kind ptr when given, else the real.
void DsQueue_EnqueueValues(int32_t queue, int32_t n, ...);
int32_t DsQueue_Size(int32_t queue);
