#include "World/Object_Main.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/Hash.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"

uint32_t ObjectDataMarker = 0;

namespace {
Hash<CGameObject>* s_objects = nullptr;
int32_t s_objectCount = 0;

// Sub-kinds name keys, mouse and other codes, or object indices (below 100000).
constexpr uint32_t kMaxSubKind = 100000;

// Parent walks stop after this many steps, so a cycle of parents in the data
// cannot hang the runner.
int32_t ChainLimit()
{
    return (s_objects ? s_objects->count : 0) + 1;
}

void RemoveFirst(SLinkedList<CInstance>& list, CInstance* instance)
{
    for (auto* node = list.first; node; node = node->next) {
        if (node->item != instance) continue;
        if (node->prev)
            node->prev->next = node->next;
        else
            list.first = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            list.last = node->prev;
        QS_FREE(node);
        --list.count;
        return;
    }
}

// Offset of the event table in a record, and the record's fixed size before it.
uint32_t EventTableAt(const uint8_t* record)
{
    if (FormatVersion < 6) return 32;
    const auto points = static_cast<uint32_t>(static_cast<int32_t>(GameData_U32(record + 64)));
    return (FormatVersion >= 9 ? 80 : 68) + 8 * points;
}

bool CheckObject(const uint8_t* payload, uint32_t length, uint32_t index, uint32_t offset)
{
    if (!GameData_CheckRecord("OBJT", payload, length, offset, FormatVersion < 6 ? 32 : 68, "object", index))
        return false;
    const uint8_t* record = GameData + offset;
    const char* name = nullptr;
    if (!GameData_String("OBJT", GameData_U32(record), &name)) return false;
    if (FormatVersion >= 6) {
        const auto points = static_cast<int32_t>(GameData_U32(record + 64));
        if (points < 0 || static_cast<uint32_t>(points) > length / 8)
            return GameData_Fail("OBJT", "object %u: shape point count %d is out of range", index, points);
    }
    const uint32_t tableAt = offset + EventTableAt(record);
    if (!GameData_CheckRecord("OBJT", payload, length, tableAt, 4, "event table of object", index)) return false;
    const uint32_t kinds = GameData_U32(GameData + tableAt);
    if (kinds > static_cast<uint32_t>(OBJECT_EVENT_KINDS))
        return GameData_Fail("OBJT", "object %u: event kind count %u is above %d", index, kinds, OBJECT_EVENT_KINDS);
    if (!GameData_CheckRecord("OBJT", payload, length, tableAt, 4 + 4 * kinds, "event table of object", index))
        return false;
    for (uint32_t k = 0; k < kinds; ++k) {
        const uint32_t listAt = GameData_U32(GameData + tableAt + 4 + 4 * k);
        if (listAt == 0) continue;
        if (!GameData_CheckRecord("OBJT", payload, length, listAt, 4, "event list of object", index)) return false;
        const uint32_t count = GameData_U32(GameData + listAt);
        if (count > length / 4 ||
            !GameData_CheckRecord("OBJT", payload, length, listAt, 4 + 4 * count, "event list of object", index))
            return GameData_Fail("OBJT", "object %u: event count %u of kind %u does not fit the chunk", index, count, k);
        for (uint32_t e = 0; e < count; ++e) {
            const uint32_t eventAt = GameData_U32(GameData + listAt + 4 + 4 * e);
            if (!GameData_CheckRecord("OBJT", payload, length, eventAt, 8, "event of object", index)) return false;
            const uint32_t subKind = GameData_U32(GameData + eventAt);
            if (subKind >= kMaxSubKind)
                return GameData_Fail("OBJT", "object %u: sub-kind %u of event kind %u is out of range", index,
                                     subKind, k);
            if (!EventCode_Check("OBJT", payload, length, eventAt + 4, "event code of object", index)) return false;
        }
    }
    return true;
}

bool GrowList(ObjectEventList& list, int32_t count)
{
    void* storage = QS_REALLOC(list.events, sizeof(CEvent*) * static_cast<size_t>(count));
    if (!storage) return false;
    list.events = static_cast<CEvent**>(storage);
    std::memset(list.events + list.count, 0, sizeof(CEvent*) * static_cast<size_t>(count - list.count));
    list.count = count;
    return true;
}

bool ObjectCreateInto(int32_t index)
{
    auto* object = new (std::nothrow) CGameObject(index);
    if (!object) return false;
    if (!s_objects->Insert(index, object)) {
        delete object;
        return false;
    }
    return true;
}
}  // namespace

CGameObject::CGameObject(int32_t objectIndex) : index(objectIndex) {}

CGameObject::~CGameObject()
{
    Clear();
    FreeInstanceLists();
}

void CGameObject::ClearEvents()
{
    for (ObjectEventList& list : events) {
        for (int32_t i = 0; i < list.count; ++i) delete list.events[i];
        QS_FREE(list.events);
        list.events = nullptr;
        list.count = 0;
    }
}

void CGameObject::Clear()
{
    flags = 0x12;
    sprite = -1;
    depth = 0;
    parent = -1;
    mask = -1;
    parentObject = nullptr;
    QS_FREE(name);
    name = nullptr;
    usesPhysics = false;
    shapePointCount = 0;
    delete[] shapePoints;
    shapePoints = nullptr;
    ClearEvents();
    FreeInstanceLists();
}

bool CGameObject::Load(const uint8_t* record)
{
    Clear();
    const uint32_t spriteWord = GameData_U32(record + 4);
    if ((spriteWord & 0x70000000u) == 0) {
        ObjectDataMarker |= spriteWord & 0x80000000u;
        sprite = static_cast<int32_t>(spriteWord & 0x7FFFFFFFu);
    } else {
        sprite = static_cast<int32_t>(spriteWord);
    }
    auto setFlag = [this](uint32_t bit, uint32_t word) { flags = word ? (flags | bit) : (flags & ~bit); };
    setFlag(2, GameData_U32(record + 8));
    setFlag(1, GameData_U32(record + 12));
    depth = static_cast<int32_t>(GameData_U32(record + 16));
    setFlag(4, GameData_U32(record + 20));
    parent = static_cast<int32_t>(GameData_U32(record + 24));
    mask = static_cast<int32_t>(GameData_U32(record + 28));
    friction = 0.2f;
    awake = true;
    kinematic = false;
    if (FormatVersion >= 6) {
        usesPhysics = GameData_U32(record + 32) != 0;
        sensor = GameData_U32(record + 36) != 0;
        shape = static_cast<int32_t>(GameData_U32(record + 40));
        density = GameData_F32(record + 44);
        restitution = GameData_F32(record + 48);
        collisionGroup = static_cast<int32_t>(GameData_U32(record + 52));
        linearDamping = GameData_F32(record + 56);
        angularDamping = GameData_F32(record + 60);
        const auto points = static_cast<int32_t>(GameData_U32(record + 64));
        uint32_t pointsAt = 68;
        if (FormatVersion >= 9) {
            friction = GameData_F32(record + 68);
            awake = GameData_U32(record + 72) != 0;
            kinematic = GameData_U32(record + 76) != 0;
            pointsAt = 80;
        }
        if (points > 0) {
            shapePoints = new (std::nothrow) ObjectShapePoint[static_cast<size_t>(points)];
            if (!shapePoints) return GameData_Fail("OBJT", "no memory for the shape points of object %d", index);
            shapePointCount = points;
            for (int32_t i = 0; i < points; ++i) {
                shapePoints[i].x = GameData_F32(record + pointsAt + 8 * static_cast<uint32_t>(i));
                shapePoints[i].y = GameData_F32(record + pointsAt + 8 * static_cast<uint32_t>(i) + 4);
            }
        }
    }
    const uint8_t* table = record + EventTableAt(record);
    const uint32_t kinds = GameData_U32(table);
    for (uint32_t k = 0; k < kinds && k < static_cast<uint32_t>(OBJECT_EVENT_KINDS); ++k) {
        const uint32_t listAt = GameData_U32(table + 4 + 4 * k);
        if (listAt == 0) continue;
        const uint8_t* list = GameData + listAt;
        const uint32_t count = GameData_U32(list);
        ObjectEventList& slots = events[k];
        for (uint32_t e = 0; e < count; ++e) {
            const uint8_t* eventRecord = GameData + GameData_U32(list + 4 + 4 * e);
            const auto subKind = static_cast<int32_t>(GameData_U32(eventRecord));
            if (subKind >= slots.count && !GrowList(slots, subKind + 1))
                return GameData_Fail("OBJT", "no memory for the events of object %d", index);
            if (!slots.events[subKind]) slots.events[subKind] = new CEvent();
            slots.events[subKind]->LoadFromChunk(eventRecord + 4);
        }
    }
    return true;
}

void CGameObject::SetName(const char* text)
{
    QS_FREE(name);
    name = (text && *text) ? DupString(text) : nullptr;
}

void CGameObject::TakeName(char* text)
{
    QS_FREE(name);
    name = text;
}

bool CGameObject::Prepare()
{
    // Preparing an event has nothing that can fail; the current event names it
    // so that any report raised meanwhile points at it.
    for (int32_t k = 0; k < OBJECT_EVENT_KINDS; ++k) {
        Event_CurrentKind = k;
        for (int32_t s = 0; s < events[k].count; ++s) Event_CurrentNumber = s;
    }
    return true;
}

void CGameObject::AddInstance(CInstance* instance)
{
    directInstances.Add(instance);
    int32_t steps = ChainLimit();
    for (CGameObject* o = this; o && steps-- > 0; o = o->parentObject) o->allInstances.Add(instance);
}

void CGameObject::RemoveInstance(CInstance* instance)
{
    RemoveFirst(directInstances, instance);
    int32_t steps = ChainLimit();
    for (CGameObject* o = this; o && steps-- > 0; o = o->parentObject) RemoveFirst(o->allInstances, instance);
}

void CGameObject::FreeInstanceLists()
{
    directInstances.Clear(LIST_KEEP_ITEMS);
    allInstances.Clear(LIST_KEEP_ITEMS);
}

bool CGameObject::HasAncestor(int32_t objectIndex) const
{
    int32_t steps = ChainLimit();
    for (int32_t p = parent; p >= 0 && steps-- > 0;) {
        const CGameObject* o = Object_Get(p);
        if (!o) return false;
        if (p == objectIndex) return true;
        p = o->parent;
    }
    return false;
}

CEvent* CGameObject::GetEvent(int32_t kind, int32_t subKind)
{
    if (subKind < 0 || kind < 0 || kind >= OBJECT_EVENT_KINDS) {
        ReportRuntimeError("Invalid event argument", true);
        return nullptr;
    }
    const ObjectEventList& list = events[kind];
    if (subKind >= list.count) return nullptr;
    CEvent* event = list.events[subKind];
    return event && event->IsPresent() ? event : nullptr;
}

CEvent* CGameObject::FindInChain(int32_t kind, int32_t subKind, int32_t* owner)
{
    int32_t steps = ChainLimit();
    for (CGameObject* o = this; o && steps-- > 0;) {
        if (CEvent* event = o->GetEvent(kind, subKind)) {
            if (owner) *owner = o->index;
            return event;
        }
        o = o->parent >= 0 ? Object_Get(o->parent) : nullptr;
    }
    return nullptr;
}

CEvent* CGameObject::FindEvent(int32_t kind, int32_t subKind, int32_t* owner)
{
    if (CEvent* event = FindInChain(kind, subKind, owner)) return event;
    if (kind != EVENT_COLLISION) return nullptr;
    const CGameObject* other = Object_Get(subKind);
    if (!other) return nullptr;
    // A handler for a parent of the other object fires too, the nearest parent first.
    int32_t steps = ChainLimit();
    for (int32_t p = other->parent; p >= 0 && steps-- > 0;) {
        const CGameObject* ancestor = Object_Get(p);
        if (!ancestor) break;
        if (CEvent* event = FindInChain(kind, p, owner)) return event;
        p = ancestor->parent;
    }
    return nullptr;
}

bool CGameObject::HasEvent(int32_t kind, int32_t subKind)
{
    return FindInChain(kind, subKind, nullptr) != nullptr;
}

void Object_Init()
{
    Object_Free();
    s_objects = new Hash<CGameObject>(512);
}

bool OBJT_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("OBJT", payload, length, &count)) return false;
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !CheckObject(payload, length, i, offset)) return false;
    }
    if (count >= 100000) return GameData_Fail("OBJT", "object count %u is not below 100000", count);
    if (!s_objects) Object_Init();
    s_objectCount = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset == 0) continue;
        const auto index = static_cast<int32_t>(i);
        if (!ObjectCreateInto(index)) return GameData_Fail("OBJT", "no memory for object %u", i);
        CGameObject* object = s_objects->Find(index);
        const uint8_t* record = GameData + offset;
        if (!object->Load(record)) return false;
        const char* name = nullptr;
        GameData_String("OBJT", GameData_U32(record), &name);
        object->SetName(name);
    }
    Object_LinkParents();
    return true;
}

bool Object_Prepare()
{
    VerboseConsole->Output("Preparing %d objects:\n", s_objectCount);
    if (s_objects) {
        for (int32_t b = 0; b <= s_objects->mask; ++b) {
            for (auto* node = s_objects->buckets[b].first; node; node = node->next) {
                CGameObject* object = node->value;
                VerboseConsole->Output("\tObjects %d: %s\n", object->index, object->name ? object->name : "");
                Event_CurrentObject = object->index;
                if (!object->Prepare()) return false;
            }
        }
    }
    Object_LinkParents();
    return true;
}

void Object_LinkParents()
{
    if (!s_objects) return;
    for (int32_t b = 0; b <= s_objects->mask; ++b) {
        for (auto* node = s_objects->buckets[b].first; node; node = node->next) {
            CGameObject* object = node->value;
            if (object->parent < 0 || object->parent >= 100000) continue;
            if (CGameObject* parent = Object_Get(object->parent)) object->parentObject = parent;
        }
    }
}

CGameObject* Object_Get(int32_t index)
{
    return s_objects ? s_objects->Find(index) : nullptr;
}

bool Object_IsValid(int32_t index)
{
    return Object_Get(index) != nullptr;
}

int32_t Object_Count()
{
    return s_objectCount;
}

int Object_FindByName(const char* text)
{
    if (!s_objects || !text) return -1;
    for (int32_t b = 0; b <= s_objects->mask; ++b) {
        for (auto* node = s_objects->buckets[b].first; node; node = node->next) {
            const CGameObject* object = node->value;
            if (object->name && std::strcmp(object->name, text) == 0) return object->index;
        }
    }
    return -1;
}

const char* Object_NameOf(int index)
{
    const CGameObject* object = Object_Get(index);
    return object ? object->name : "<undefined>";
}

int32_t Object_CreateEmpty()
{
    if (!s_objects) Object_Init();
    const int32_t index = s_objectCount;
    if (!ObjectCreateInto(index)) return -1;
    char name[32];
    std::snprintf(name, sizeof name, "__newobject%d", index);
    s_objects->Find(index)->SetName(name);
    ++s_objectCount;
    return index;
}

bool Object_Remove(int32_t index)
{
    CGameObject* object = Object_Get(index);
    if (!object) return true;
    // Nothing may keep pointing at the deleted record, nor at instances the
    // broken chain can no longer reach: the instances of the object and of its
    // descendants leave its ancestors' lists, its own instances lose their
    // object, and its children lose their parent link.
    for (auto* node = object->allInstances.first; node; node = node->next) {
        int32_t steps = ChainLimit();
        for (CGameObject* o = object->parentObject; o && steps-- > 0; o = o->parentObject)
            RemoveFirst(o->allInstances, node->item);
    }
    object->FreeInstanceLists();
    Hash<CInstance>& instances = Instance_IdTable();
    for (int32_t b = 0; instances.buckets && b <= instances.mask; ++b) {
        for (auto* node = instances.buckets[b].first; node; node = node->next) {
            if (node->value->m_object == object) node->value->m_object = nullptr;
            if (node->value->m_previousObject == object) node->value->m_previousObject = nullptr;
        }
    }
    for (int32_t b = 0; b <= s_objects->mask; ++b) {
        for (auto* node = s_objects->buckets[b].first; node; node = node->next) {
            if (node->value->parentObject == object) node->value->parentObject = nullptr;
        }
    }
    s_objects->Delete(index, HASH_DELETE_VALUE);
    return true;
}

void Object_ClearInstanceLists()
{
    if (!s_objects) return;
    for (int32_t b = 0; b <= s_objects->mask; ++b) {
        for (auto* node = s_objects->buckets[b].first; node; node = node->next) node->value->FreeInstanceLists();
    }
}

void Object_Free()
{
    if (s_objects) s_objects->Clear(HASH_DELETE_VALUE);
    delete s_objects;
    s_objects = nullptr;
    s_objectCount = 0;
}
