#include "Code/ObjectBase.h"

#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "Code/Code_ValueConvert.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Code/VariableList.h"
#include "Code/Code_Variable.h"
#include "GameData/GameHeader.h"

// ---------------------------------------------------------------- slot hash

bool SlotHash::Init(int32_t newCapacity)
{
    entries = static_cast<Entry*>(QS_ALLOC(sizeof(Entry) * static_cast<size_t>(newCapacity), true));
    if (!entries) return false;
    capacity = newCapacity;
    count = 0;
    mask = newCapacity - 1;
    growThreshold = static_cast<int32_t>(static_cast<float>(newCapacity) * 0.8f);
    return true;
}

int32_t SlotHash::Find(int32_t slot) const
{
    const uint32_t h = HashKey(slot);
    int32_t i = static_cast<int32_t>(h) & mask;
    for (int32_t d = 0;; ++d, i = (i + 1) & mask) {
        const Entry& e = entries[i];
        if (e.hash == 0) return -1;
        int32_t resident = (capacity + i - (static_cast<int32_t>(e.hash) & mask)) & mask;
        if (resident < d) return -1;
        if (e.hash == h) return i;
    }
}

void SlotHash::Insert(int32_t slot, ScriptValue* cell)
{
    if (count > growThreshold) Grow();
    ++count;
    Entry placing{slot, cell, HashKey(slot)};
    int32_t i = static_cast<int32_t>(placing.hash) & mask;
    for (int32_t d = 0;; ++d, i = (i + 1) & mask) {
        Entry& e = entries[i];
        if (e.hash == 0) {
            e = placing;
            return;
        }
        int32_t resident = (capacity + i - (static_cast<int32_t>(e.hash) & mask)) & mask;
        if (resident < d) {
            Entry displaced = e;
            e = placing;
            placing = displaced;
            d = resident;
        }
    }
}

void SlotHash::Grow()
{
    Entry* old = entries;
    int32_t oldCapacity = capacity;
    if (!Init(oldCapacity * 2)) {
        // Out of memory: keep probing the full table rather than lose entries.
        entries = old;
        return;
    }
    for (int32_t i = 0; i < oldCapacity; ++i) {
        if (old[i].hash != 0) Insert(old[i].slot, old[i].cell);
    }
    QS_FREE(old);
}

// ---------------------------------------------------------------- cell pool

namespace {
struct PoolState {
    void* blocks;  // each block's first word links the next
    ScriptValue* freeCells;
};
PoolState s_pool = {};

ScriptValue* FirstCell(void* block)
{
    auto address = reinterpret_cast<uintptr_t>(block) + 20;
    address = (address + 15) & ~static_cast<uintptr_t>(15);
    return reinterpret_cast<ScriptValue*>(address);
}
}  // namespace

void ScriptValuePool::Grow()
{
    void* block = ::operator new(kBlockSize);
    std::memset(block, 0x78, kBlockSize);
    *static_cast<void**>(block) = s_pool.blocks;
    s_pool.blocks = block;
    ScriptValue* cells = FirstCell(block);
    for (int32_t i = kCellsPerBlock - 1; i >= 0; --i) {
        *reinterpret_cast<ScriptValue**>(&cells[i]) = s_pool.freeCells;
        s_pool.freeCells = &cells[i];
    }
}

ScriptValue* ScriptValuePool::Take()
{
    if (!s_pool.freeCells) Grow();
    ScriptValue* cell = s_pool.freeCells;
    s_pool.freeCells = *reinterpret_cast<ScriptValue**>(cell);
    *cell = ScriptValue_Undefined();
    return cell;
}

void ScriptValuePool::Return(ScriptValue* cell)
{
    *reinterpret_cast<ScriptValue**>(cell) = s_pool.freeCells;
    s_pool.freeCells = cell;
}

bool ScriptValuePool::Owns(const ScriptValue* cell)
{
    for (void* block = s_pool.blocks; block; block = *static_cast<void**>(block)) {
        const ScriptValue* first = FirstCell(block);
        if (cell >= first && cell < first + kCellsPerBlock) return true;
    }
    return false;
}

// ---------------------------------------------------------------- objects

namespace {
KVObjectBase* s_objectPool = nullptr;
int32_t s_objectPoolCount = 0;

void ReleaseCell(ScriptValue* cell)
{
    ScriptValue_SetUndefined(cell);
    if (ScriptValuePool::Owns(cell)) ScriptValuePool::Return(cell);
}
}  // namespace

KVObjectBase::KVObjectBase(int32_t slotCount, uint32_t defaultKind)
    : m_slotCount(slotCount), m_slotCapacity(slotCount), m_defaultKind(defaultKind)
{
    if (ObjectMode) m_properties = new CVariableList();
}

KVObjectBase::~KVObjectBase()
{
    GCRegistry::Remove(this);
    ReleaseSlots();
    QS_FREE(m_slots);
    m_slots = nullptr;
    delete m_properties;
    m_properties = nullptr;
    m_slotCount = 0;
}

void KVObjectBase::ReleaseSlots()
{
    if (m_slotHash) {
        for (int32_t i = 0; i < m_slotHash->capacity; ++i) {
            if (m_slotHash->entries[i].hash != 0) ReleaseCell(m_slotHash->entries[i].cell);
        }
        QS_FREE(m_slotHash->entries);
        delete m_slotHash;
        m_slotHash = nullptr;
    }
    if (m_slots) {
        for (int32_t i = 0; i < m_slotCount; ++i) ScriptValue_SetUndefined(&m_slots[i]);
    }
}

// The slot array holds at least count values afterwards (new ones zeroed).
bool KVObjectBase::EnsureArray(int32_t count)
{
    int32_t wanted = count > 0 ? count : 1;
    if (!m_slots) {
        m_slots = static_cast<ScriptValue*>(QS_ALLOC(sizeof(ScriptValue) * static_cast<size_t>(wanted), true));
        if (!m_slots) return false;
        m_slotCapacity = wanted;
        return true;
    }
    if (m_slotCapacity >= count) return true;
    auto old = reinterpret_cast<uintptr_t>(m_slots);
    auto* grown = static_cast<ScriptValue*>(QS_REALLOC(m_slots, sizeof(ScriptValue) * static_cast<size_t>(count)));
    if (!grown) return false;
    std::memset(static_cast<void*>(grown + m_slotCapacity), 0, sizeof(ScriptValue) * static_cast<size_t>(count - m_slotCapacity));
    ScriptValue_FixOwnersAfterMove(grown, old, m_slotCapacity);
    m_slots = grown;
    m_slotCapacity = count;
    return true;
}

KVObjectBase* KVObjectBase::Alloc(int32_t slotCount, uint32_t defaultKind, bool withArray)
{
    KVObjectBase* object = s_objectPool;
    if (object) {
        s_objectPool = object->m_nextFree;
        object->m_nextFree = nullptr;
        --s_objectPoolCount;
        // A kept array must cover every slot, asked for or not: SlotAt uses it.
        if (withArray || object->m_slots) {
            if (!object->EnsureArray(slotCount)) {
                QS_FREE(object->m_slots);
                object->m_slots = nullptr;
            }
        } else if (object->m_slotCapacity < slotCount) {
            object->m_slotCapacity = slotCount;
        }
    } else {
        object = new KVObjectBase(slotCount, defaultKind);
        if (withArray) object->EnsureArray(slotCount);
    }
    object->m_slotCount = slotCount;
    object->m_defaultKind = defaultKind;
    // Fresh arrays are zeroed (the kind of the real 0): every cell takes the default kind.
    if (object->m_slots) {
        for (int32_t i = 0; i < slotCount; ++i) object->m_slots[i].kind = defaultKind;
    }
    object->m_registryIndex = GCRegistry::Add(object);
    return object;
}

void KVObjectBase::Free(KVObjectBase* object)
{
    if (!object) return;
    GCRegistry::Remove(object);
    if (object->m_kind != OBJECT_KIND_PLAIN) {
        delete object;
        return;
    }
    object->ReleaseSlots();
    if (object->m_properties && object->m_properties->Count() > 0) object->m_properties->Clear();
    object->m_parentScope = nullptr;
    object->m_scopeCaptured = false;
    object->m_nextFree = s_objectPool;
    s_objectPool = object;
    ++s_objectPoolCount;
}

void KVObjectBase::FreePool()
{
    while (KVObjectBase* object = s_objectPool) {
        s_objectPool = object->m_nextFree;
        delete object;
    }
    s_objectPoolCount = 0;
}

int32_t KVObjectBase::PoolCount() { return s_objectPoolCount; }

ScriptValue* KVObjectBase::GetSlot(int32_t n)
{
    if (!m_slotHash) {
        auto* hash = new SlotHash{};
        if (!hash->Init(8)) {
            delete hash;
            return nullptr;
        }
        m_slotHash = hash;
    }
    int32_t index = m_slotHash->Find(n);
    if (index >= 0) return m_slotHash->entries[index].cell;
    ScriptValue* cell = ScriptValuePool::Take();
    cell->kind = m_defaultKind;
    m_slotHash->Insert(n, cell);
    return cell;
}

ScriptValue* KVObjectBase::PeekSlot(int32_t n)
{
    if (n < 0) return nullptr;
    if (m_slots) return n < m_slotCapacity ? &m_slots[n] : nullptr;
    if (!m_slotHash) return nullptr;
    const int32_t index = m_slotHash->Find(n);
    return index >= 0 ? m_slotHash->entries[index].cell : nullptr;
}

bool KVObjectBase::ReserveSlots(int32_t count)
{
    // Slots held in the slot hash stay there: only arrays grow.
    if (!m_slots && m_slotHash) return false;
    const int32_t had = m_slots ? m_slotCapacity : 0;
    if (!EnsureArray(count)) return false;
    for (int32_t i = had; i < m_slotCapacity; ++i) m_slots[i].kind = VALUE_UNSET;
    return true;
}

ScriptValue* KVObjectBase::FindOrAllocProperty(const char* name)
{
    int32_t slot = this == Variable_GlobalObject() ? Variable_FindGlobal(name) : Variable_FindInstance(name);
    if (slot >= 0 && slot < m_slotCount) return SlotAt(slot);
    if (!m_properties) return nullptr;
    CVariableListNode* node = m_properties->Find(name);
    if (!node) {
        node = CVariableList::NewNameNode(name);
        if (!node) return nullptr;
        m_properties->Insert(node);
    }
    return &node->value;
}

bool KVObjectBase::IsExtensible()
{
    ScriptValue found = ScriptValue_Undefined();
    JS_Object_GetProperty(this, &found, "[[Extensible]]");
    bool closed = found.Kind() != VALUE_UNSET && found.real == 0.0;
    if (found.Kind() != VALUE_UNSET) ScriptValue_SetUndefined(&found);
    return !closed;
}

ScriptValue* KVObjectBase::AdderTarget(const char* name)
{
    if (!IsExtensible()) return nullptr;
    ScriptValue* cell = FindOrAllocProperty(name);
    if (cell) ScriptValue_SetUndefined(cell);
    return cell;
}

void KVObjectBase::AddString(const char* name, const char* text, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        ScriptValue_InitString(cell, text);
        cell->flags = flags;
    }
}

void KVObjectBase::AddValue(const char* name, const ScriptValue* value, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        cell->Assign(*value);
        cell->flags = flags;
    }
}

void KVObjectBase::AddInt(const char* name, int32_t value, uint32_t flags) { AddReal(name, value, flags); }

void KVObjectBase::AddReal(const char* name, double value, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        cell->real = value;
        cell->kind = VALUE_REAL;
        cell->flags = flags;
    }
}

void KVObjectBase::AddObject(const char* name, KVObjectBase* object, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        cell->obj = object;
        cell->kind = VALUE_OBJECT;
        cell->flags = flags;
    }
}

void KVObjectBase::AddPointer(const char* name, void* pointer, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        cell->ptr = pointer;
        cell->kind = VALUE_PTR;
        cell->flags = flags;
    }
}

void KVObjectBase::AddBool(const char* name, bool value, uint32_t flags) { AddReal(name, value ? 1.0 : 0.0, flags); }

void KVObjectBase::AddNull(const char* name, uint32_t flags)
{
    if (ScriptValue* cell = AdderTarget(name)) {
        cell->i64 = 0;
        cell->kind = VALUE_NULL;
        cell->flags = flags;
    }
}

KVObjectBase* ScriptValue_NewObject(ScriptValue* value)
{
    KVObjectBase* object = KVObjectBase::Alloc(Variable_InstanceCount(), VALUE_UNSET, false);
    value->obj = object;
    value->kind = VALUE_OBJECT;
    return object;
}

KVObjectBase* AllocLocalsObject(int32_t n) { return KVObjectBase::Alloc(n, VALUE_UNSET, true); }
