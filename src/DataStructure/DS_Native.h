#pragma once
// How native code of other subsystems (asynchronous results, network events,
// extension callbacks) creates and fills lists and maps by handle. A handle
// that names nothing is reported like a bad handle from game code. Map
// helpers take DsMutex and may be called from any thread; the others belong
// to the main thread. Keys and texts are UTF-8.
#include <cstdint>

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
