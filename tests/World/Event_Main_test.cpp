#include "World/WorldFixture.h"

#include "Code/Code_Main.h"
#include "World/TimeLine_Main.h"

namespace {
using eventmodule::Call;
using eventmodule::SetHandler;
using eventmodule::Trace;

struct EventTest : WorldFixture {};

TEST_F(EventTest, LookupWalksThreeLevelsOfParents)
{
    const int32_t a = NewObject();
    const int32_t b = NewObject(a);
    const int32_t c = NewObject(b);
    SetHandler(Object_Get(a), EVENT_STEP, EVENT_STEP_NORMAL, 0);
    CInstance* instance = room.CreateInstance(0, 0, c);

    int32_t owner = -1;
    EXPECT_NE(Object_FindEvent(c, EVENT_STEP, EVENT_STEP_NORMAL, &owner), nullptr);
    EXPECT_EQ(owner, a);
    EXPECT_EQ(Object_Get(c)->GetEvent(EVENT_STEP, EVENT_STEP_NORMAL), nullptr);
    EXPECT_TRUE(Object_Get(c)->HasEvent(EVENT_STEP, EVENT_STEP_NORMAL));
    EXPECT_FALSE(Object_Get(c)->HasEvent(EVENT_STEP, EVENT_STEP_END));

    PerformEventForInstance(instance, instance, EVENT_STEP, EVENT_STEP_NORMAL);
    ASSERT_EQ(Trace.size(), 1u);
    EXPECT_EQ(Trace[0].object, a);
    EXPECT_EQ(Trace[0].kind, EVENT_STEP);
    EXPECT_EQ(Trace[0].self, instance->id);

    // The nearest ancestor's handler wins.
    SetHandler(Object_Get(b), EVENT_STEP, EVENT_STEP_NORMAL, 1);
    PerformEventForInstance(instance, instance, EVENT_STEP, EVENT_STEP_NORMAL);
    ASSERT_EQ(Trace.size(), 2u);
    EXPECT_EQ(Trace[1].code, 1);
    EXPECT_EQ(Trace[1].object, b);
    // Outside the event the globals are what they were before it.
    EXPECT_EQ(Event_CurrentObject, 0);
    EXPECT_EQ(Event_Depth, 0);
}

TEST_F(EventTest, ParentCycleInDataEndsTheWalk)
{
    const int32_t a = NewObject();
    const int32_t b = NewObject(a);
    Object_Get(a)->parent = b;
    Object_LinkParents();
    EXPECT_EQ(Object_FindEvent(a, EVENT_STEP, 0, nullptr), nullptr);
    EXPECT_FALSE(Object_Get(a)->HasAncestor(7));
    CInstance* instance = room.CreateInstance(0, 0, b);
    EXPECT_EQ(Object_Get(a)->allInstances.count, 1);
    room.DeleteInstance(instance);
    EXPECT_EQ(Object_Get(a)->allInstances.count, 0);
}

TEST_F(EventTest, RemovedObjectLeavesNoPointerBehind)
{
    const int32_t a = NewObject();
    const int32_t b = NewObject(a);
    const int32_t c = NewObject(b);
    CInstance* ofB = room.CreateInstance(0, 0, b);
    CInstance* ofC = room.CreateInstance(0, 0, c);
    EXPECT_TRUE(Object_Remove(b));
    EXPECT_EQ(ofB->m_object, nullptr);
    EXPECT_EQ(Object_Get(c)->parentObject, nullptr);
    // A no longer reaches C's instance through B.
    EXPECT_EQ(Object_Get(a)->allInstances.count, 0);
    EXPECT_EQ(Object_Get(c)->allInstances.count, 1);
    room.DeleteInstance(ofB);
    room.DeleteInstance(ofC);
    EXPECT_EQ(Object_Get(c)->allInstances.count, 0);
}

TEST_F(EventTest, CollisionHandlerForAParentOfTheOtherObject)
{
    const int32_t q = NewObject();
    const int32_t p = NewObject();
    const int32_t r = NewObject(q);
    SetHandler(Object_Get(p), EVENT_COLLISION, q, 2);
    int32_t owner = -1;
    ASSERT_NE(Object_FindEvent(p, EVENT_COLLISION, r, &owner), nullptr);
    EXPECT_EQ(owner, p);
    CInstance* self = room.CreateInstance(0, 0, p);
    CInstance* other = room.CreateInstance(0, 0, r);
    PerformEventForInstance(self, other, EVENT_COLLISION, r);
    ASSERT_EQ(Trace.size(), 1u);
    EXPECT_EQ(Trace[0].number, r);
    EXPECT_EQ(Trace[0].other, other->id);
    // Without collision rules the other side's parents do not count.
    EXPECT_FALSE(Object_Get(p)->HasEvent(EVENT_COLLISION, r));
}

TEST_F(EventTest, InvalidArgumentsFindNothing)
{
    const int32_t a = NewObject();
    for (auto [kind, sub] : {std::pair{14, 0}, std::pair{-1, 0}, std::pair{3, -2}}) {
        FatalErrorShown = false;
        ErrorLast_Set(nullptr);
        EXPECT_EQ(Object_Get(a)->GetEvent(kind, sub), nullptr);
        EXPECT_NE(LastReport().find("Invalid event argument"), std::string::npos) << kind << "," << sub;
    }
    // A sub-kind beyond the list, an empty slot and an event without code are no handler.
    SetHandler(Object_Get(a), EVENT_ALARM, 3, 0);
    Object_Get(a)->events[EVENT_ALARM].events[3]->m_name = nullptr;
    EXPECT_EQ(Object_Get(a)->GetEvent(EVENT_ALARM, 3), nullptr);
    EXPECT_EQ(Object_Get(a)->GetEvent(EVENT_ALARM, 1), nullptr);
    EXPECT_EQ(Object_Get(a)->GetEvent(EVENT_ALARM, 9), nullptr);
}

TEST_F(EventTest, ThirtyTwoNestedEventsRunAndTheNextIsRefused)
{
    const int32_t o = NewObject();
    SetHandler(Object_Get(o), EVENT_CREATE, 0, 3);
    int32_t deepest = 0;
    eventmodule::Hooks[3] = [&](CInstance*, CInstance*) {
        if (Event_Depth > deepest) deepest = Event_Depth;
        CInstance* made = room.CreateInstance(0, 0, o);
        PerformEventForInstance(made, made, EVENT_CREATE, 0);
    };
    Event_CurrentObject = 77;
    Event_CurrentKind = 5;
    CInstance* first = room.CreateInstance(0, 0, o);
    PerformEventForInstance(first, first, EVENT_CREATE, 0);
    EXPECT_EQ(Trace.size(), 32u);
    EXPECT_EQ(deepest, EVENT_MAX_DEPTH);
    EXPECT_EQ(Event_Depth, 0);
    EXPECT_EQ(Event_CurrentObject, 77);
    EXPECT_EQ(Event_CurrentKind, 5);
    EXPECT_NE(LastReport().find("PerformEvent recursion depth failure - check for infinite loops, check objects for "
                                "parenting"),
              std::string::npos);
}

// A small game run by hand: a persistent controller and two players at their
// depths; the first player's step asks for another room.
TEST_F(EventTest, SmallGameEventOrderAndSuppressionWhileARoomChangeIsPending)
{
    const int32_t controller = NewObject(-1, 10);
    Object_Get(controller)->flags |= 4;  // persistent
    const int32_t player = NewObject(-1, -5);
    for (int32_t object : {controller, player}) {
        SetHandler(Object_Get(object), EVENT_STEP, EVENT_STEP_BEGIN, 0);
        SetHandler(Object_Get(object), EVENT_STEP, EVENT_STEP_NORMAL, 1);
        SetHandler(Object_Get(object), EVENT_ALARM, 0, 2);
        SetHandler(Object_Get(object), EVENT_DRAW, 0, 4);
        SetHandler(Object_Get(object), EVENT_CLEANUP, 0, 5);
        SetHandler(Object_Get(object), EVENT_OTHER, EVENT_OTHER_USER0 + 3, 6);
    }
    CInstance* boss = room.CreateInstance(0, 0, controller);
    CInstance* p1 = room.CreateInstance(0, 0, player);
    CInstance* p2 = room.CreateInstance(0, 0, player);
    p2->m_marked = true;  // destroyed earlier this step: skipped by passes
    eventmodule::Hooks[1] = [&](CInstance* self, CInstance*) {
        if (self == p1) PendingRoomCode = 3;
    };

    PerformEventAll(EVENT_STEP, EVENT_STEP_BEGIN);
    PerformEventAll(EVENT_STEP, EVENT_STEP_NORMAL);
    // The players sit before the controller (smaller depth first).
    std::vector<std::pair<int32_t, int32_t>> order;
    for (const Call& call : Trace) order.emplace_back(call.code, call.self);
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, int32_t>>{{0, p1->id}, {0, boss->id}, {1, p1->id}}));

    // While the change is pending: passes stop, only persistent create/destroy/alarm/other run.
    Trace.clear();
    PerformEventAll(EVENT_DRAW, 0);
    PerformEventForInstance(p1, p1, EVENT_ALARM, 0);
    PerformEventForInstance(boss, boss, EVENT_DRAW, 0);
    PerformEventForInstance(boss, boss, EVENT_ALARM, 0);
    PerformEventForInstance(boss, boss, EVENT_OTHER, EVENT_OTHER_USER0 + 3);
    PerformEventForInstance(p1, p1, EVENT_CLEANUP, 0);
    CodeErrorFlag = true;
    PerformEventForInstance(p2, p2, EVENT_CLEANUP, 0);
    CodeErrorFlag = false;
    order.clear();
    for (const Call& call : Trace) order.emplace_back(call.code, call.self);
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, int32_t>>{{2, boss->id}, {6, boss->id}, {5, p1->id}}));
    EXPECT_EQ(Trace[1].kind, EVENT_OTHER);
    EXPECT_EQ(Trace[1].number, 13);

    // A persistent room lets every instance's allowed kinds through.
    Trace.clear();
    room.persistent = true;
    PerformEventForInstance(p1, p1, EVENT_ALARM, 0);
    EXPECT_EQ(Trace.size(), 1u);
    PerformEventForInstance(nullptr, p1, EVENT_ALARM, 0);
    EXPECT_EQ(Trace.size(), 1u);
}

TEST_F(EventTest, EventAsSeenFromAParent)
{
    const int32_t a = NewObject();
    const int32_t b = NewObject(a);
    SetHandler(Object_Get(a), EVENT_OTHER, EVENT_OTHER_USER0, 0);
    SetHandler(Object_Get(b), EVENT_OTHER, EVENT_OTHER_USER0, 1);
    CInstance* instance = room.CreateInstance(0, 0, b);
    PerformEventForObject(instance, instance, a, EVENT_OTHER, EVENT_OTHER_USER0);
    ASSERT_EQ(Trace.size(), 1u);
    EXPECT_EQ(Trace[0].code, 0);
    EXPECT_EQ(Trace[0].object, a);
}

TEST_F(EventTest, TimelineMomentRunsWithTheTimelineKindAndRestores)
{
    TimeLine_Init();
    const int32_t index = TimeLine_Add();
    CTimeLine* timeline = TimeLine_Get(index);
    timeline->AddMoment(40, 0);
    auto* event = new CEvent();
    event->m_code = new CCode(4, 0);
    event->m_name = "";
    timeline->m_entries.items[0] = reinterpret_cast<intptr_t>(event);
    CInstance* instance = room.CreateInstance(0, 0, NewObject());
    Event_CurrentObject = 9;
    PerformTimelineMoment(instance, instance, index, 0);
    PerformTimelineMoment(instance, instance, index, 1);  // no such moment
    ASSERT_EQ(Trace.size(), 1u);
    EXPECT_EQ(Trace[0].kind, EVENT_KIND_TIMELINE);
    EXPECT_EQ(Trace[0].number, 40);
    EXPECT_EQ(Trace[0].object, index);
    EXPECT_EQ(Event_CurrentObject, 9);
    EXPECT_EQ(Event_Depth, 0);
    PendingRoomCode = 2;
    PerformTimelineMoment(instance, instance, index, 0);
    EXPECT_EQ(Trace.size(), 1u);
    TimeLine_Free();
}
}  // namespace
