// Creating, changing, destroying, counting and (de)activating instances: the
// events each runs, and what the room's lists hold afterwards.
#include "Code/Code_Value.h"
#include "Function/Function_Game.h"
#include "World/Instance_Destroy.h"
#include "World/Instance_Lookup.h"
#include "GameData/GameHeader.h"
#include "World/Room_Main.h"
#include "World/Run_CommandInstance.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
enum Code { CREATE, DESTROY, CLEANUP, CREATE_OTHER };

struct InstanceCommands : WorldFixture {
    int32_t a = -1, b = -1;

    void SetUp() override
    {
        WorldFixture::SetUp();
        a = NewObject();
        b = NewObject();
        eventmodule::SetHandler(Object_Get(a), EVENT_CREATE, 0, CREATE);
        eventmodule::SetHandler(Object_Get(a), EVENT_DESTROY, 0, DESTROY);
        eventmodule::SetHandler(Object_Get(a), EVENT_CLEANUP, 0, CLEANUP);
        eventmodule::SetHandler(Object_Get(b), EVENT_CREATE, 0, CREATE_OTHER);
    }
    // (code, self) of every event run since the last call.
    static std::vector<std::pair<int32_t, int32_t>> Events()
    {
        std::vector<std::pair<int32_t, int32_t>> events;
        for (const auto& call : eventmodule::Trace) {
            EXPECT_EQ(call.self, call.other);
            events.emplace_back(call.code, call.self);
        }
        eventmodule::Trace.clear();
        return events;
    }
    using Events_t = std::vector<std::pair<int32_t, int32_t>>;
};

TEST_F(InstanceCommands, DestroyAndCleanUpEventsRunOnceWhicheverWayAnInstanceIsDestroyed)
{
    CInstance* first = Instance_Create(a, 0, 0);
    CInstance* second = Instance_Create(a, 0, 0);
    EXPECT_EQ(Events(), (Events_t{{CREATE, first->id}, {CREATE, second->id}}));
    Instance_DestroyByTarget(first, nullptr, -1, true);
    Instance_DestroyByTarget(first, nullptr, first->id, true);
    Instance_Destroy(first);
    EXPECT_EQ(Events(), (Events_t{{DESTROY, first->id}, {CLEANUP, first->id}}));
    // Without events only the clean-up runs, and a later destroy finds nothing left to run.
    Instance_DestroyByTarget(nullptr, nullptr, second->id, false);
    Instance_Destroy(second);
    EXPECT_EQ(Events(), (Events_t{{CLEANUP, second->id}}));
    EXPECT_EQ(MarkedInstanceCount, 2);
    EXPECT_EQ(Instance_Count(a), 0);
    room.RemoveMarkedInstances();
    EXPECT_EQ(room.activeInstances.count, 0);
    EXPECT_EQ(Instance_Count(-3), 0);
}

TEST_F(InstanceCommands, ChangeRunsTheOldObjectsEndAndTheNewObjectsCreateAndCountsAtOnce)
{
    CInstance* instance = Instance_Create(a, 0, 0);
    Events();
    Instance_Change(instance, a, true);  // its own object: nothing at all
    EXPECT_TRUE(Events().empty());
    Instance_Change(instance, b, true);
    EXPECT_EQ(Events(), (Events_t{{DESTROY, instance->id}, {CLEANUP, instance->id}, {CREATE_OTHER, instance->id}}));
    // Still in a's lists until the event pass ends, yet counted as b already.
    EXPECT_EQ(Instance_Count(b), 1);
    UpdateActiveLists();
    EXPECT_EQ(Instance_Count(b), 1);
    Instance_Change(instance, 999, true);
    EXPECT_NE(LastReport().find("Asking to change into non-existing object: 999"), std::string::npos);
    EXPECT_EQ(instance->object_index, b);
}

TEST_F(InstanceCommands, CreationOfMissingObjectsAndOnMissingLayersGivesNoInstance)
{
    ScriptValue args[4]{}, result{};
    for (ScriptValue& arg : args) ScriptValue_SetReal(&arg, 5);
    ScriptValue_SetReal(&args[2], 77);
    F_InstanceCreate(&result, nullptr, nullptr, 3, args);
    EXPECT_EQ(result.real, -1.0);
    EXPECT_NE(LastReport().find("Creating instance for non-existing object: 77"), std::string::npos);
    ScriptValue_SetReal(&args[2], 12345);  // no such layer
    ScriptValue_SetReal(&args[3], a);
    F_InstanceCreateLayer(&result, nullptr, nullptr, 4, args);
    EXPECT_EQ(result.real, -4.0);
    EXPECT_EQ(room.activeInstances.count, 0);
    ScriptValue_SetReal(&args[2], -7);
    F_InstanceCreateDepth(&result, nullptr, nullptr, 4, args);
    CInstance* made = Instance_Find(static_cast<int32_t>(result.real));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->depth, -7.0f);
    EXPECT_EQ(made->x, 5.0f);
    ObjectMode = true;  // the creating built-ins give the instance itself
    F_InstanceCreateDepth(&result, nullptr, nullptr, 4, args);
    ObjectMode = false;
    EXPECT_EQ(result.kind, VALUE_OBJECT);
    CInstance* object = static_cast<CInstance*>(result.obj);
    result = ScriptValue{};
    EXPECT_EQ(Instance_Find(object->id), object);
    CInstance* copy = Instance_Copy(made, true);
    EXPECT_NE(copy->id, made->id);
    EXPECT_EQ(copy->depth, -7.0f);
    EXPECT_EQ(Events(), (Events_t{{CREATE, made->id}, {CREATE, object->id}, {CREATE, copy->id}}));
}

TEST_F(InstanceCommands, DeactivationKeepsTheCallerAndRegionsTakeTouchingBoxes)
{
    const int32_t sprite = TestSprite_Add({1, 10, 10, 0, nullptr});
    CInstance* caller = Instance_Create(a, 0, 0);
    CInstance* near = Instance_Create(a, 20, 0);
    CInstance* far = Instance_Create(a, 100, 0);
    for (CInstance* i : {caller, near, far}) i->SetSpriteIndex(sprite);
    Instance_DeactivateAll(caller, true);
    EXPECT_FALSE(caller->m_deactivated);
    EXPECT_TRUE(near->m_deactivated && far->m_deactivated);
    EXPECT_EQ(Instance_FindNth(caller, nullptr, a, 0), caller);
    EXPECT_EQ(Instance_FindNth(caller, nullptr, a, 1), nullptr);
    UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.count, 1);
    EXPECT_EQ(room.deactivatedInstances.count, 2);
    // near's box is 20..29: a region ending at 20 touches it.
    Instance_ActivateRegion(0, 0, 20, 5, true);
    EXPECT_FALSE(near->m_deactivated);
    EXPECT_TRUE(far->m_deactivated);
    Instance_DeactivateRegion(caller, 0, 0, 20, 5, false, true);  // outside: far is already out, caller stays
    EXPECT_FALSE(caller->m_deactivated);
    Instance_ActivateObject(caller, nullptr, a);
    UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.count, 3);
    EXPECT_EQ(Instance_Count(-3), 3);
}
}  // namespace
