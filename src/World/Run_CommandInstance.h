#pragma once
// Creating, copying, changing, counting, activating and deactivating
// instances. A live instance is neither marked nor deactivated. Activation
// changes only flag and queue an instance; the room moves it between its
// lists after the event pass.
#include <cstdint>
#include <vector>

class CInstance;

// Each runs the new instance's create event; null (with a report) when the
// object or the layer does not exist.
CInstance* Instance_Create(int32_t object, float x, float y);
CInstance* Instance_CreateDepth(int32_t object, float x, float y, int32_t depth);
CInstance* Instance_CreateOnLayerId(int32_t object, float x, float y, int32_t layerId);
CInstance* Instance_CreateOnLayerName(int32_t object, float x, float y, const char* layerName);
// A copy of self with its own new id; its create event runs when asked.
CInstance* Instance_Copy(CInstance* self, bool performEvent);
void Instance_Change(CInstance* instance, int32_t object, bool runEvents);
void Instance_ChangeAtPoint(float x, float y, int32_t object, bool runEvents);
int32_t Instance_Count(int32_t target);
bool Instance_AnyActive(CInstance* self, CInstance* other, int32_t target);
// The n-th live instance of the target, from 0; null when there is none.
CInstance* Instance_FindNth(CInstance* self, CInstance* other, int32_t target, int32_t n);
void Instance_SetSprite(CInstance* instance, int32_t sprite);
// The id of entry n of the room's active list (depth order); -4 outside it.
int32_t Instance_IdAt(int32_t n);

// The live instances of the room that are active, or deactivated, visiting
// both room lists so that a flag changed in this step is seen.
std::vector<CInstance*> Instance_ListActive();
std::vector<CInstance*> Instance_ListDeactivated();
void Instance_Activate(CInstance* instance);
void Instance_Deactivate(CInstance* instance);
void Instance_DeactivateAll(CInstance* self, bool notMe);
void Instance_DeactivateObject(CInstance* self, CInstance* other, int32_t target);
void Instance_DeactivateRegion(CInstance* self, float left, float top, float width, float height, bool inside, bool notMe);
void Instance_ActivateAll();
void Instance_ActivateObject(CInstance* self, CInstance* other, int32_t target);
void Instance_ActivateRegion(float left, float top, float width, float height, bool inside);
