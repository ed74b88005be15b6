#include "Code/GCRegistry.h"

#include <unordered_set>
#include <vector>

#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/JS_Exception.h"
#include "Code/ObjectBase.h"
#include "Code/VM_Main.h"
#include "Code/VariableList.h"
#include "GameData/GameHeader.h"

namespace {
void NoRoots() {}
void (*s_markRoots)() = NoRoots;
}  // namespace

void GC_SetMarkRootsHook(void (*markRoots)()) { s_markRoots = markRoots ? markRoots : NoRoots; }

namespace {
KVObjectBase** s_entries = nullptr;
int32_t s_capacity = 0;
int32_t s_count = 0;
int32_t s_lastUsed = 0;

uint32_t s_pass = 0;

// The state of the pass in progress; reach is null outside a collection.
struct MarkState {
    uint8_t* reach = nullptr;
    int32_t length = 0;
    std::vector<KVObjectBase*> objects;
    std::vector<const RefArray*> arrays;
    std::unordered_set<const RefArray*> seenArrays;
};
MarkState s_mark;

bool EnsureCapacity()
{
    if (s_count < s_capacity) return true;
    const int32_t grown = s_capacity ? s_capacity * 3 / 2 : 128;
    auto* entries = static_cast<KVObjectBase**>(QS_REALLOC(s_entries, sizeof(KVObjectBase*) * static_cast<size_t>(grown)));
    if (!entries) return false;
    for (int32_t i = s_capacity; i < grown; ++i) entries[i] = nullptr;
    s_entries = entries;
    s_capacity = grown;
    return true;
}

// What one object references: its slot-hash cells, its named properties
// (keys and values), its slot array and the scope it was made in.
void ScanObject(KVObjectBase* object)
{
    if (const SlotHash* hash = object->m_slotHash) {
        for (int32_t i = 0; i < hash->capacity; ++i) {
            if (hash->entries[i].hash != 0) GC_MarkValue(hash->entries[i].cell);
        }
    }
    if (const CVariableList* list = object->m_properties; list && list->Count() > 0) {
        for (CVariableList::Iterator it = list->IterBegin(); it.node; it.Next()) {
            GC_MarkValue(&it.node->key);
            GC_MarkValue(&it.node->value);
        }
    }
    if (object->m_slots) {
        for (int32_t i = 0; i < object->m_slotCount; ++i) GC_MarkValue(&object->m_slots[i]);
    }
    GC_MarkObject(object->m_parentScope);
}

void ScanArray(const RefArray* array)
{
    for (int32_t r = 0; r < array->rowCount; ++r) {
        const RefArrayRow& row = array->rows[r];
        for (int32_t c = 0; c < row.length; ++c) GC_MarkValue(&row.elements[c]);
    }
}

void Drain()
{
    while (!s_mark.objects.empty() || !s_mark.arrays.empty()) {
        if (!s_mark.objects.empty()) {
            KVObjectBase* object = s_mark.objects.back();
            s_mark.objects.pop_back();
            ScanObject(object);
        } else {
            const RefArray* array = s_mark.arrays.back();
            s_mark.arrays.pop_back();
            ScanArray(array);
        }
    }
}
}  // namespace

int32_t GCRegistry::Add(KVObjectBase* object)
{
    if (!EnsureCapacity()) return -1;
    int32_t index = s_lastUsed;
    for (int32_t probes = 0; probes < s_capacity; ++probes, ++index) {
        if (index >= s_capacity) index = 0;
        if (!s_entries[index]) {
            s_entries[index] = object;
            ++s_count;
            s_lastUsed = index;
            return index;
        }
    }
    return -1;
}

void GCRegistry::Remove(KVObjectBase* object)
{
    const int32_t index = object->m_registryIndex;
    if (index < 0 || index >= s_capacity || s_entries[index] != object) return;
    s_entries[index] = nullptr;
    --s_count;
    s_lastUsed = index;
    object->m_registryIndex = -1;
}

KVObjectBase* GCRegistry::At(int32_t index) { return index >= 0 && index < s_capacity ? s_entries[index] : nullptr; }

int32_t GCRegistry::Capacity() { return s_capacity; }

int32_t GCRegistry::Count() { return s_count; }

uint32_t GC_PassNumber() { return s_pass; }

void GC_MarkObject(KVObjectBase* object)
{
    if (!object || !s_mark.reach || object->m_markStamp >= s_pass) return;
    object->m_markStamp = s_pass;
    const int32_t index = object->m_registryIndex;
    if (index >= 0 && index < s_mark.length) s_mark.reach[index] = 1;
    s_mark.objects.push_back(object);
}

void GC_MarkValue(const ScriptValue* value)
{
    if (!value || !s_mark.reach) return;
    switch (value->Kind()) {
    case VALUE_OBJECT:
    case VALUE_ACCESSOR:
        GC_MarkObject(value->obj);
        break;
    case VALUE_ARRAY:
        // Objects held only in arrays are reached too; an array holding
        // itself is scanned once.
        if (value->arr && s_mark.seenArrays.insert(value->arr).second) s_mark.arrays.push_back(value->arr);
        break;
    default:
        break;
    }
}

bool GC_Collect()
{
    if (ObjectMode) GC_CollectNow();
    return false;
}

void GC_CollectNow()
{
    ++s_pass;
    const int32_t length = s_capacity;
    s_mark.reach = static_cast<uint8_t*>(QS_ALLOC(static_cast<size_t>(length > 0 ? length : 1), true));
    if (!s_mark.reach) return;  // nothing is freed without a full mark
    s_mark.length = length;

    GC_MarkObject(Variable_GlobalObject());
    // The thrown value, kept for a finally block that throws it again.
    GC_MarkValue(&JS_Exception.current);
    GC_MarkValue(&VM_Exception.thrown);
    Drain();
    s_markRoots();
    Drain();

    uint8_t* reach = s_mark.reach;
    s_mark.reach = nullptr;
    s_mark.length = 0;
    s_mark.seenArrays.clear();
    for (int32_t i = 0; i < length && i < s_capacity; ++i) {
        KVObjectBase* object = s_entries[i];
        if (!reach[i] && object) KVObjectBase::Free(object);
    }
    QS_FREE(reach);
}
