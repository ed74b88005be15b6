#include "Code/ObjectBase.h"

#include <gtest/gtest.h>

#include "Base/MemoryManager.h"
#include "Code/GCRegistry.h"
#include "Code/VariableList.h"
#include "GameData/GameHeader.h"

namespace {
SlotHash NewHash()
{
    SlotHash hash{};
    EXPECT_TRUE(hash.Init(8));
    return hash;
}

ScriptValue g_cells[32];

// Every test starts from an empty pool (the engine reset frees it).
using ObjectBaseTest = ::testing::Test;
}  // namespace

TEST(SlotHash, TheEighthInsertDoublesTheTableAndKeepsEverySlot)
{
    SlotHash hash = NewHash();
    for (int32_t slot = 0; slot < 7; ++slot) hash.Insert(slot * 3, &g_cells[slot]);
    EXPECT_EQ(hash.capacity, 8);
    hash.Insert(100, &g_cells[7]);
    EXPECT_EQ(hash.capacity, 16);
    EXPECT_EQ(hash.count, 8);
    for (int32_t slot = 0; slot < 7; ++slot) {
        int32_t i = hash.Find(slot * 3);
        ASSERT_GE(i, 0) << slot;
        EXPECT_EQ(hash.entries[i].cell, &g_cells[slot]);
    }
    EXPECT_EQ(hash.entries[hash.Find(100)].cell, &g_cells[7]);
    EXPECT_EQ(hash.Find(4), -1);
    QS_FREE(hash.entries);
}

TEST(SlotHash, CollidingSlotsAreBothFoundAndTheFartherResidentKeepsItsPlace)
{
    // Slots 0 and 8 share home position 1; slot 1 lives at home 2.
    SlotHash hash = NewHash();
    hash.Insert(0, &g_cells[0]);
    hash.Insert(8, &g_cells[8]);
    EXPECT_EQ(hash.Find(8), 2);
    hash.Insert(1, &g_cells[1]);
    EXPECT_EQ(hash.Find(8), 2);  // distance 1 beats the newcomer's 0
    EXPECT_EQ(hash.Find(1), 3);
    EXPECT_EQ(hash.Find(0), 1);
    QS_FREE(hash.entries);

    // The other way round: slot 1 sits at home, then 8 swaps it out.
    hash = NewHash();
    hash.Insert(0, &g_cells[0]);
    hash.Insert(1, &g_cells[1]);
    hash.Insert(8, &g_cells[8]);
    EXPECT_EQ(hash.Find(8), 2);
    EXPECT_EQ(hash.Find(1), 3);
    EXPECT_EQ(hash.entries[hash.Find(1)].cell, &g_cells[1]);
    EXPECT_EQ(hash.Find(16), -1);
    QS_FREE(hash.entries);
}

TEST_F(ObjectBaseTest, ASlotReachedThroughTheHashIsMadeOnceWithTheDefaultKind)
{
    KVObjectBase object(4, VALUE_UNSET);
    ScriptValue* cell = object.SlotAt(2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, VALUE_UNSET);
    EXPECT_EQ(cell->i64, 0);
    EXPECT_TRUE(ScriptValuePool::Owns(cell));
    ScriptValue_SetReal(cell, 5);
    EXPECT_EQ(object.SlotAt(2), cell);
    EXPECT_EQ(object.SlotRef(2)->real, 5);
    // Forty slots force the hash through several doublings.
    for (int32_t n = 0; n < 40; ++n) ScriptValue_SetReal(object.SlotAt(n), n);
    for (int32_t n = 0; n < 40; ++n) EXPECT_EQ(object.SlotAt(n)->real, n);
}

TEST_F(ObjectBaseTest, DestroyingAnObjectReleasesItsValuesAndReturnsItsCells)
{
    ScriptValue shared = ScriptValue_Undefined();
    ScriptValue_InitString(&shared, "kept");
    ScriptValue* cell;
    {
        KVObjectBase object(2, VALUE_UNSET);
        cell = object.SlotAt(1);
        cell->Assign(shared);
        EXPECT_EQ(shared.str->count, 2);
    }
    EXPECT_EQ(shared.str->count, 1);
    // The freed cell is the next one handed out.
    KVObjectBase other(1, VALUE_UNSET);
    EXPECT_EQ(other.SlotAt(0), cell);
    ScriptValue_SetUndefined(&shared);
}

TEST_F(ObjectBaseTest, AFreedPlainObjectIsPooledEmptiedAndRegisteredAgainWhenReused)
{
    KVObjectBase* object = KVObjectBase::Alloc(4, VALUE_UNDEFINED, true);
    ASSERT_GE(object->m_registryIndex, 0);
    EXPECT_EQ(GCRegistry::At(object->m_registryIndex), object);
    ScriptValue_InitString(object->SlotAt(1), "text");
    ScriptValue* array = object->m_slots;

    KVObjectBase::Free(object);
    EXPECT_EQ(object->m_registryIndex, -1);
    EXPECT_EQ(KVObjectBase::PoolCount(), 1);
    EXPECT_EQ(object->m_slots[1].kind, VALUE_UNDEFINED);

    // Smaller count, default kind undefined: the same array, values as freed.
    KVObjectBase* again = KVObjectBase::Alloc(2, VALUE_UNDEFINED, true);
    EXPECT_EQ(again, object);
    EXPECT_EQ(again->m_slots, array);
    EXPECT_EQ(again->m_slotCapacity, 4);
    EXPECT_EQ(again->SlotAt(1)->kind, VALUE_UNDEFINED);
    EXPECT_GE(again->m_registryIndex, 0);
    KVObjectBase::Free(again);
}

TEST_F(ObjectBaseTest, APooledObjectAlwaysGetsAnArrayCoveringTheNewCount)
{
    // Table of reuse requests; each one writes its highest slot (ASan checks).
    struct Case {
        int32_t count;
        uint32_t kind;
        bool withArray;
    };
    const Case cases[] = {
        {3, VALUE_UNDEFINED, true},
        {12, VALUE_UNSET, true},   // larger, asked for
        {20, VALUE_UNSET, false},  // larger, not asked for: the kept array grows
        {5, VALUE_REAL, true},
    };
    KVObjectBase* object = KVObjectBase::Alloc(1, VALUE_UNDEFINED, true);
    for (const Case& c : cases) {
        KVObjectBase::Free(object);
        KVObjectBase* reused = KVObjectBase::Alloc(c.count, c.kind, c.withArray);
        ASSERT_EQ(reused, object);
        ASSERT_NE(object->m_slots, nullptr);
        EXPECT_GE(object->m_slotCapacity, c.count);
        EXPECT_EQ(object->m_slotCount, c.count);
        ScriptValue* last = object->SlotAt(c.count - 1);
        EXPECT_EQ(last, &object->m_slots[c.count - 1]);
        if (c.kind != VALUE_UNDEFINED) {
            EXPECT_EQ(last->kind, c.kind);
        }
        ScriptValue_SetReal(last, 1);
    }
    KVObjectBase::Free(object);
}

TEST_F(ObjectBaseTest, AnArrayMadeForAPooledObjectWithoutOneRecordsItsTrueSize)
{
    // A new object without an array keeps capacity = its count; its first
    // array is only as large as the count then asked for.
    KVObjectBase* object = KVObjectBase::Alloc(10, VALUE_UNDEFINED, false);
    EXPECT_EQ(object->m_slots, nullptr);
    KVObjectBase::Free(object);
    ASSERT_EQ(KVObjectBase::Alloc(5, VALUE_UNDEFINED, true), object);
    EXPECT_EQ(object->m_slotCapacity, 5);
    KVObjectBase::Free(object);
    ASSERT_EQ(KVObjectBase::Alloc(8, VALUE_UNDEFINED, true), object);
    ScriptValue_SetReal(object->SlotAt(7), 7);
    EXPECT_EQ(object->m_slots[7].real, 7);
    KVObjectBase::Free(object);
}

TEST_F(ObjectBaseTest, InstancesAndAccessorPairsAreDeletedNotPooled)
{
    KVObjectBase* pair = KVObjectBase::Alloc(2, VALUE_UNSET, true);
    pair->m_kind = OBJECT_KIND_ACCESSOR;
    KVObjectBase::Free(pair);
    EXPECT_EQ(KVObjectBase::PoolCount(), 0);
}

TEST_F(ObjectBaseTest, NamedPropertyAddersStoreTheValueAndItsAttributeFlags)
{
    ObjectMode = true;
    KVObjectBase object(0, VALUE_UNSET);
    ASSERT_NE(object.m_properties, nullptr);
    KVObjectBase target(0, VALUE_UNSET);
    object.AddReal("speed", 2.5, 7);
    object.AddString("name", "hero", 1);
    object.AddObject("[[Prototype]]", &target, 0);
    object.AddNull("nothing", 2);
    object.AddBool("flag", true, 4);
    object.AddString("speed", "replaced", 3);  // the old payload goes

    const CVariableList* list = object.m_properties;
    EXPECT_EQ(list->Count(), 5);
    const ScriptValue& speed = list->Find("speed")->value;
    EXPECT_STREQ(ScriptValue_StringText(&speed), "replaced");
    EXPECT_EQ(speed.flags, 3u);
    EXPECT_EQ(list->Find("[[Prototype]]")->value.obj, &target);
    EXPECT_EQ(list->Find("[[Prototype]]")->value.kind, VALUE_OBJECT);
    EXPECT_EQ(list->Find("nothing")->value.kind, VALUE_NULL);
    EXPECT_EQ(list->Find("flag")->value.real, 1.0);
    EXPECT_EQ(object.FindOrAllocProperty("name"), &list->Find("name")->value);
    EXPECT_TRUE(object.IsExtensible());
}
