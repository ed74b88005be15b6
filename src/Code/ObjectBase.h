#pragma once
// The object base of every script-visible object (instances, the global
// object, locals objects of calls, object-model objects): numbered value slots
// held in an array or in a per-object slot hash of pooled cells, the named
// property list of object mode, and the object's place in the collector's
// registry. Plain objects are recycled through an object pool.
#include <cstdint>

#include "Code/Code_Value.h"

class CVariableList;

// Open-addressing map from slot number to value cell (Robin Hood probing).
struct SlotHash {
    struct Entry {
        int32_t slot;
        ScriptValue* cell;
        uint32_t hash;  // 0 = empty
    };

    int32_t capacity;
    int32_t count;
    int32_t mask;
    int32_t growThreshold;
    Entry* entries;

    static uint32_t HashKey(int32_t slot) { return (static_cast<uint32_t>(slot) + 1u) & 0x7FFFFFFFu; }

    // False when the entries cannot be allocated.
    bool Init(int32_t newCapacity);
    int32_t Find(int32_t slot) const;
    // Callers insert only slots that are absent.
    void Insert(int32_t slot, ScriptValue* cell);
    void Grow();
};

// The process-wide pool of 16-byte value cells, carved from 1 MB blocks.
struct ScriptValuePool {
    static constexpr int32_t kCellsPerBlock = 65535;
    static constexpr size_t kBlockSize = 1048596;

    // A cell with kind undefined and a zero payload.
    static ScriptValue* Take();
    static void Return(ScriptValue* cell);
    static bool Owns(const ScriptValue* cell);
    static void Grow();
};

// Root of the object classes: a destructor and the slot reference.
class CInstanceBase {
public:
    virtual ~CInstanceBase() {}
    virtual ScriptValue* SlotRef(int32_t n) = 0;
};

enum : int32_t {
    OBJECT_KIND_PLAIN = 0,
    OBJECT_KIND_INSTANCE = 1,
    OBJECT_KIND_ACCESSOR = 2,
};

class KVObjectBase : public CInstanceBase {
public:
    KVObjectBase(int32_t slotCount, uint32_t defaultKind);
    ~KVObjectBase() override;
    KVObjectBase(const KVObjectBase&) = delete;
    KVObjectBase& operator=(const KVObjectBase&) = delete;

    // A plain object from the pool, or a new one; registered with the collector.
    static KVObjectBase* Alloc(int32_t slotCount, uint32_t defaultKind, bool withArray);
    // Releases an object no longer referenced: plain objects are emptied and
    // pooled, instances and accessor pairs deleted.
    static void Free(KVObjectBase* object);
    // Deletes every pooled object.
    static void FreePool();
    static int32_t PoolCount();

    ScriptValue* SlotAt(int32_t n) { return m_slots ? &m_slots[n] : GetSlot(n); }
    // The cell of slot n in the slot hash, made on demand; null only when out of memory.
    ScriptValue* GetSlot(int32_t n);
    ScriptValue* SlotRef(int32_t n) override { return GetSlot(n); }
    // The cell of slot n when it exists, without making one; null otherwise.
    ScriptValue* PeekSlot(int32_t n);
    // The slot array holds at least count cells afterwards (new ones unset);
    // false when it cannot grow.
    bool ReserveSlots(int32_t count);

    // Object mode: the cell of a declared variable's slot, else the named property (made when absent).
    ScriptValue* FindOrAllocProperty(const char* name);
    bool IsExtensible();

    void AddString(const char* name, const char* text, uint32_t flags);
    void AddValue(const char* name, const ScriptValue* value, uint32_t flags);
    void AddInt(const char* name, int32_t value, uint32_t flags);
    void AddReal(const char* name, double value, uint32_t flags);
    void AddObject(const char* name, KVObjectBase* object, uint32_t flags);
    void AddPointer(const char* name, void* pointer, uint32_t flags);
    void AddBool(const char* name, bool value, uint32_t flags);
    void AddNull(const char* name, uint32_t flags);

    ScriptValue* m_slots = nullptr;           // slot array, null when slots live in the slot hash
    KVObjectBase* m_nextFree = nullptr;       // object pool link
    KVObjectBase* m_parentScope = nullptr;    // enclosing scope object of the object model
    int32_t m_slotCount = 0;
    int32_t m_slotCapacity = 0;               // values the slot array holds
    CVariableList* m_properties = nullptr;    // object mode only
    uint32_t m_visitMark = 0;                 // cycle guard of the text form
    uint32_t m_markStamp = 0;                 // last collection pass that reached the object
    int32_t m_registryIndex = -1;
    int32_t m_kind = OBJECT_KIND_PLAIN;
    uint32_t m_defaultKind = VALUE_UNSET;
    SlotHash* m_slotHash = nullptr;
    // An activation object that a function object keeps as its scope: the
    // call that made it leaves it to the collector instead of freeing it.
    bool m_scopeCaptured = false;

protected:
    // Releases every slot value (array and hash), frees the hash; the array stays.
    void ReleaseSlots();

private:
    // The property cell an adder writes to; null when the object is not extensible.
    ScriptValue* AdderTarget(const char* name);
    bool EnsureArray(int32_t count);
};

// The value (a fresh one: its old payload is not released, its flags are
// kept) becomes a reference to a new pooled object with one unset slot per
// instance variable and no slot storage yet.
KVObjectBase* ScriptValue_NewObject(ScriptValue* value);
// The locals object of a call: n unset slots with their storage, no scope parent.
KVObjectBase* AllocLocalsObject(int32_t n);
