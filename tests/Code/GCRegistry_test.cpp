#include "Code/GCRegistry.h"

#include <gtest/gtest.h>

#include <vector>

#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/ObjectBase.h"
#include "Code/VariableList.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "GameData/GameHeader.h"
#include "Variable/Code_VariableValue.h"
#include "World/Instance.h"

namespace {
// Object mode with a global object whose named properties are the roots.
class GCTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        Variable_CreateGlobalObject();
        global = Variable_GlobalObject();
        ASSERT_NE(global, nullptr);
        // Objects another test left unreachable go to the pool now, so that
        // the counts below see only what this test makes.
        GC_Collect();
    }
    void TearDown() override
    {
        // Everything the test made goes back to the pool that the reset frees.
        Variable_FreeGlobalObject();
        GC_Collect();
    }

    static KVObjectBase* NewObject()
    {
        ScriptValue v = ScriptValue_Undefined();
        return ScriptValue_NewObject(&v);
    }
    static bool Registered(KVObjectBase* object)
    {
        return object->m_registryIndex >= 0 && GCRegistry::At(object->m_registryIndex) == object;
    }

    KVObjectBase* global = nullptr;
};
}  // namespace

TEST_F(GCTest, OutsideObjectModeNothingIsCollected)
{
    KVObjectBase* loose = NewObject();
    ObjectMode = false;
    const uint32_t pass = GC_PassNumber();
    EXPECT_FALSE(GC_Collect());
    EXPECT_EQ(GC_PassNumber(), pass);
    EXPECT_TRUE(Registered(loose));
    ObjectMode = true;
}

TEST_F(GCTest, ReachedObjectsStayAndAnUnreachedCycleIsPooledInOnePass)
{
    KVObjectBase* kept = NewObject();
    global->AddObject("kept", kept, 7);
    KVObjectBase* a = NewObject();
    KVObjectBase* b = NewObject();
    a->AddObject("next", b, 7);
    b->AddObject("next", a, 7);
    a->AddString("name", "a", 7);
    const int32_t pooled = KVObjectBase::PoolCount();

    EXPECT_FALSE(GC_Collect());
    EXPECT_TRUE(Registered(kept));
    EXPECT_FALSE(Registered(a));
    EXPECT_FALSE(Registered(b));
    EXPECT_EQ(KVObjectBase::PoolCount(), pooled + 2);
    EXPECT_EQ(a->m_properties->Count(), 0) << "a pooled object is emptied";
    // The pool hands the freed object out again, registered anew.
    KVObjectBase* again = NewObject();
    EXPECT_TRUE(again == a || again == b);
    EXPECT_TRUE(Registered(again));
}

TEST_F(GCTest, ObjectsHeldInNestedArraysAndDeepChainsAreReached)
{
    // global.list = [0, [[], [], [0, 0, 0, obj]]]
    ScriptValue outer = ScriptValue_Undefined();
    ScriptValue* inner = ScriptValue_ArrayElementForWrite(&outer, 1);
    KVObjectBase* inArray = ScriptValue_NewObject(ScriptValue_ArrayElementForWrite(inner, 32000 * 2 + 3));
    global->AddValue("list", &outer, 7);
    ScriptValue_SetUndefined(&outer);

    // A chain far deeper than any machine stack would allow by recursion.
    KVObjectBase* head = NewObject();
    KVObjectBase* tail = head;
    for (int i = 0; i < 100000; ++i) {
        KVObjectBase* next = NewObject();
        tail->AddObject("next", next, 7);
        tail = next;
    }
    global->AddObject("chain", head, 7);

    GC_Collect();
    EXPECT_TRUE(Registered(inArray));
    EXPECT_TRUE(Registered(head));
    EXPECT_TRUE(Registered(tail));

    global->AddNull("chain", 7);
    global->AddNull("list", 7);
    GC_Collect();
    EXPECT_FALSE(Registered(head));
    EXPECT_FALSE(Registered(tail));
    EXPECT_FALSE(Registered(inArray));
}

TEST_F(GCTest, LocalsObjectsKeepWhatTheyHoldAndTheScopeOfObjectsMadeInThem)
{
    KVObjectBase* locals = AllocLocalsObject(3);
    ASSERT_NE(locals->m_slots, nullptr);
    EXPECT_EQ(locals->m_parentScope, nullptr);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(locals->m_slots[i].Kind(), VALUE_UNSET);
    KVObjectBase* onlyInLocals = ScriptValue_NewObject(&locals->m_slots[2]);
    KVObjectBase* closure = NewObject();
    closure->m_parentScope = locals;
    global->AddObject("closure", closure, 7);

    GC_Collect();
    EXPECT_TRUE(Registered(locals));
    EXPECT_TRUE(Registered(onlyInLocals));

    global->AddNull("closure", 7);
    GC_Collect();
    EXPECT_FALSE(Registered(locals));
    EXPECT_FALSE(Registered(onlyInLocals));
    EXPECT_EQ(locals->m_slots[2].Kind(), VALUE_UNDEFINED) << "the slot array is kept, its values undefined";
}

TEST_F(GCTest, AnObjectOnlyADataStructureHoldsLivesUntilTheStructureIsDestroyed)
{
    KVObjectBase* held = NewObject();
    auto* map = new DsMap();
    const int32_t handle = DsMapTable.Store(map);
    ScriptValue key = ScriptValue_Real(1);
    ScriptValue value = ScriptValue_Undefined();
    value.obj = held;
    value.kind = VALUE_OBJECT;
    map->Add(&key, &value);

    GC_Collect();
    EXPECT_TRUE(Registered(held));
    ASSERT_TRUE(DsMap_Destroy(handle));
    GC_Collect();
    EXPECT_FALSE(Registered(held));
}

TEST_F(GCTest, AnUnreachedInstanceIsDeletedNotPooled)
{
    auto* instance = new CInstance(0, 0, 0, -1, false);
    const int32_t entry = instance->m_registryIndex;
    ASSERT_GE(entry, 0);
    const int32_t pooled = KVObjectBase::PoolCount();
    GC_Collect();  // ASan reports it if the instance were leaked or pooled and deleted twice
    EXPECT_EQ(GCRegistry::At(entry), nullptr);
    EXPECT_EQ(KVObjectBase::PoolCount(), pooled);
}

TEST_F(GCTest, TheRegistryGrowsByHalfAndKeepsEveryIndex)
{
    std::vector<KVObjectBase*> made;
    const int32_t capacity = GCRegistry::Capacity();
    std::vector<int32_t> indices;
    while (GCRegistry::Capacity() == capacity) {
        made.push_back(NewObject());
        indices.push_back(made.back()->m_registryIndex);
    }
    EXPECT_EQ(GCRegistry::Capacity(), capacity * 3 / 2);
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i]->m_registryIndex, indices[i]);
        EXPECT_EQ(GCRegistry::At(indices[i]), made[i]);
    }
}
