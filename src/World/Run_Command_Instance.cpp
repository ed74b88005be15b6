// Instance creation, change, destruction, counting, activation and
// deactivation.
#include <string>
#include <unordered_set>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "GameData/GameHeader.h"
#include "Sprite/Sprite_Main.h"
#include "World/Collision.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Instance_Destroy.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"
#include "World/Room_Main.h"
#include "World/Run_CommandInstance.h"
#include "World/WithIterator.h"

namespace {
bool Live(const CInstance* instance) { return !instance->m_marked && !instance->m_deactivated; }

void Report(const char* message, int32_t number, bool fatal)
{
    const std::string text = message + std::to_string(number);
    ReportRuntimeError(text.c_str(), fatal);
    if (fatal) PendingRoomCode = ROOMCODE_QUIT;
}

CInstance* Created(CInstance* instance)
{
    if (instance) PerformEventForInstance(instance, instance, EVENT_CREATE, 0);
    return instance;
}

bool ObjectExists(int32_t object)
{
    if (Object_IsValid(object)) return true;
    Report("Creating instance for non-existing object: ", object, false);
    return false;
}

// Marks the instance for removal; the counter counts each instance once.
void Mark(CInstance* instance)
{
    if (instance->m_marked) return;
    instance->m_marked = true;
    ++MarkedInstanceCount;
}

// The region of the region built-ins as floats, and whether an instance lies outside it.
struct Region {
    float left, top, right, bottom;
    bool inside;

    bool Selects(CInstance* instance) const
    {
        bool outside;
        if (Sprite_Exists(instance->sprite_index) || Sprite_Exists(instance->mask_index)) {
            if (instance->m_bboxDirty) instance->ComputeBoundingBox(true);
            outside = instance->bbox_bottom < top || instance->bbox_top > bottom || instance->bbox_right < left ||
                      instance->bbox_left > right;
        } else {
            outside = instance->y > bottom || top > instance->y || instance->x > right || instance->x < left;
        }
        return outside != inside;
    }
};

std::vector<CInstance*> ListRoom(bool deactivated)
{
    std::vector<CInstance*> found;
    if (!Run_Room) return found;
    for (const InstanceDepthList* list : {&Run_Room->activeInstances, &Run_Room->deactivatedInstances}) {
        for (CInstance* instance = list->first; instance; instance = instance->m_next) {
            if (!instance->m_marked && instance->m_deactivated == deactivated) found.push_back(instance);
        }
    }
    return found;
}
}  // namespace

// ---------------------------------------------------------------- creation

CInstance* Instance_Create(int32_t object, float x, float y)
{
    if (!ObjectExists(object) || !Run_Room) return nullptr;
    return Created(Run_Room->CreateInstance(x, y, object));
}

CInstance* Instance_CreateDepth(int32_t object, float x, float y, int32_t depth)
{
    if (!ObjectExists(object) || !Run_Room) return nullptr;
    return Created(Run_Room->CreateInstanceAtDepth(x, y, static_cast<float>(depth), object));
}

CInstance* Instance_CreateOnLayerId(int32_t object, float x, float y, int32_t layerId)
{
    if (!ObjectExists(object) || !Run_Room) return nullptr;
    if (!Layer_FindByID(Run_Room, layerId)) {
        LogConsole->Output("Specified layer does not exist\n");
        return nullptr;
    }
    return Created(Run_Room->CreateInstanceOnLayerId(x, y, layerId, object));
}

CInstance* Instance_CreateOnLayerName(int32_t object, float x, float y, const char* layerName)
{
    if (!ObjectExists(object) || !Run_Room) return nullptr;
    RoomLayer* layer = Layer_FindByName(Run_Room, layerName ? layerName : "");
    if (!layer) {
        const std::string text = std::string("instance_create_layer :: specified layer \"") + (layerName ? layerName : "") +
                                 "\" does not exist";
        ReportRuntimeError(text.c_str(), true);
        PendingRoomCode = ROOMCODE_QUIT;
        return nullptr;
    }
    return Created(Run_Room->CreateInstanceOnLayer(x, y, layer, object));
}

CInstance* Instance_Copy(CInstance* self, bool performEvent)
{
    if (!self || !Run_Room) return nullptr;
    CInstance* copy = Run_Room->CreateInstance(self->x, self->y, self->object_index);
    const int32_t id = copy->id;
    copy->CopyFrom(self, true);
    copy->id = id;
    DepthChangeQueue.AddUnique(copy);
    copy->m_bboxDirty = true;
    Collision_MarkMoved(copy);
    if (performEvent) PerformEventForInstance(copy, copy, EVENT_CREATE, 0);
    return copy;
}

// ---------------------------------------------------------------- change and destruction

void Instance_Change(CInstance* instance, int32_t object, bool runEvents)
{
    if (!Object_IsValid(object)) {
        Report("Asking to change into non-existing object: ", object, false);
        return;
    }
    if (!instance || object == instance->object_index) return;
    if (runEvents && !instance->m_destroyDone) {
        PerformEventForInstance(instance, instance, EVENT_DESTROY, 0);
        PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
    }
    instance->ChangeObject(object);
    if (runEvents) PerformEventForInstance(instance, instance, EVENT_CREATE, 0);
}

void Instance_ChangeAtPoint(float x, float y, int32_t object, bool runEvents)
{
    if (!Object_IsValid(object)) {
        Report("Asking to change into non-existing object: ", object, false);
        return;
    }
    if (!Run_Room) return;
    for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->CollisionPoint(x, y, true)) Instance_Change(instance, object, runEvents);
        instance = next;
    }
}

void Instance_Destroy(CInstance* instance)
{
    if (!instance || instance->m_destroyDone) return;
    instance->m_destroyDone = true;
    PerformEventForInstance(instance, instance, EVENT_DESTROY, 0);
    PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
    Mark(instance);
}

void Instance_DestroyByTarget(CInstance* self, CInstance* other, int32_t target, bool runEvents)
{
    WithIterator it;
    it.Init(target, self, other, false);
    while (CInstance* instance = it.Current()) {
        if (Live(instance)) {
            if (runEvents) {
                Instance_Destroy(instance);
            } else if (!instance->m_destroyDone) {
                instance->m_destroyDone = true;
                PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
                Mark(instance);
            }
        }
        it.Advance();
    }
}

void Instance_DestroyAtPoint(float x, float y)
{
    if (!Run_Room) return;
    for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (!instance->m_destroyDone && instance->CollisionPoint(x, y, true)) Instance_Destroy(instance);
        instance = next;
    }
}

// ---------------------------------------------------------------- counting and finding

int32_t Instance_Count(int32_t target)
{
    if (target == TARGET_ALL) {
        int32_t count = 0;
        if (!Run_Room) return 0;
        for (CInstance* instance = Run_Room->activeInstances.first; instance; instance = instance->m_next)
            count += Live(instance) ? 1 : 0;
        return count;
    }
    if (target >= 100000) {
        const CInstance* instance = Instance_Find(target);
        return instance && Live(instance) ? 1 : 0;
    }
    const CGameObject* object = Object_Get(target);
    if (!object) return 0;
    int32_t count = 0;
    for (auto* node = object->allInstances.first; node; node = node->next) count += Live(node->item) ? 1 : 0;
    // Instances that changed into the object this step join its lists after
    // the event pass; those still listed under an object that counts here
    // are not counted twice.
    for (int32_t i = 0; i < ObjectChangeQueue.count; ++i) {
        const CInstance* instance = ObjectChangeQueue.items[i];
        if (instance->object_index != target || !Live(instance)) continue;
        const CGameObject* listed = instance->m_previousObject;
        if (listed && (listed->index == target || listed->HasAncestor(target))) continue;
        ++count;
    }
    return count;
}

bool Instance_AnyActive(CInstance* self, CInstance* other, int32_t target)
{
    return Instance_FindNth(self, other, target, 0) != nullptr;
}

CInstance* Instance_FindNth(CInstance* self, CInstance* other, int32_t target, int32_t n)
{
    if (n < 0) return nullptr;
    // The iteration also visits the queues of pending list changes, where an
    // instance it has already visited may be listed again: each counts once.
    std::unordered_set<CInstance*> seen;
    WithIterator it;
    it.Init(target, self, other, false);
    while (CInstance* instance = it.Current()) {
        if (Live(instance) && seen.insert(instance).second && n-- == 0) return instance;
        it.Advance();
    }
    return nullptr;
}

int32_t Instance_IdAt(int32_t n)
{
    if (!Run_Room || n < 0 || n >= Run_Room->activeInstances.count) return TARGET_NOONE;
    CInstance* instance = Run_Room->activeInstances.first;
    for (int32_t i = 0; i < n && instance; ++i) instance = instance->m_next;
    return instance ? instance->id : TARGET_NOONE;
}

void Instance_SetSprite(CInstance* instance, int32_t sprite)
{
    if (!Sprite_Exists(sprite)) {
        Report("Setting instance to non-existing sprite: ", sprite, false);
        return;
    }
    if (instance) instance->SetSpriteIndex(sprite);
}

// ---------------------------------------------------------------- activation

std::vector<CInstance*> Instance_ListActive() { return ListRoom(false); }
std::vector<CInstance*> Instance_ListDeactivated() { return ListRoom(true); }

void Instance_Activate(CInstance* instance)
{
    ActivationQueue.AddUnique(instance);
    instance->SetDeactivated(false);
}

void Instance_Deactivate(CInstance* instance)
{
    ActivationQueue.AddUnique(instance);
    instance->SetDeactivated(true);
}

void Instance_DeactivateAll(CInstance* self, bool notMe)
{
    for (CInstance* instance : Instance_ListActive()) Instance_Deactivate(instance);
    if (notMe && self && !self->m_marked) Instance_Activate(self);
}

void Instance_DeactivateObject(CInstance* self, CInstance* other, int32_t target)
{
    WithIterator it;
    it.Init(target, self, other, false);
    while (CInstance* instance = it.Current()) {
        if (Live(instance)) Instance_Deactivate(instance);
        it.Advance();
    }
}

void Instance_DeactivateRegion(CInstance* self, float left, float top, float width, float height, bool inside, bool notMe)
{
    const Region region{left, top, left + width, top + height, inside};
    for (CInstance* instance : Instance_ListActive()) {
        if (region.Selects(instance)) Instance_Deactivate(instance);
    }
    if (notMe && self && !self->m_marked && self->m_deactivated) Instance_Activate(self);
}

void Instance_ActivateAll()
{
    for (CInstance* instance : Instance_ListDeactivated()) Instance_Activate(instance);
}

void Instance_ActivateObject(CInstance* self, CInstance* other, int32_t target)
{
    if (target == TARGET_SELF || target == TARGET_OTHER) {
        CInstance* instance = target == TARGET_SELF ? self : other;
        if (instance && !instance->m_marked) Instance_Activate(instance);
        return;
    }
    if (target >= 100000) {
        CInstance* instance = Instance_Find(target);
        if (instance && !instance->m_marked && instance->m_deactivated) Instance_Activate(instance);
        return;
    }
    for (CInstance* instance : Instance_ListDeactivated()) {
        if (target == TARGET_ALL || instance->object_index == target ||
            (instance->m_object && instance->m_object->HasAncestor(target)))
            Instance_Activate(instance);
    }
}

void Instance_ActivateRegion(float left, float top, float width, float height, bool inside)
{
    const Region region{left, top, left + width, top + height, inside};
    for (CInstance* instance : Instance_ListDeactivated()) {
        if (region.Selects(instance)) Instance_Activate(instance);
    }
}
