#include "World/Instance_Lookup.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "World/InstanceFixture.h"

namespace {
using InstanceLookup = InstanceWorld;

std::vector<CInstance*> Order(const InstanceDepthList& list)
{
    std::vector<CInstance*> order;
    for (CInstance* i = list.first; i; i = i->m_next) order.push_back(i);
    // The backward links agree.
    std::vector<CInstance*> backward;
    for (CInstance* i = list.last; i; i = i->m_previous) backward.insert(backward.begin(), i);
    EXPECT_EQ(order, backward);
    EXPECT_EQ(static_cast<int32_t>(order.size()), list.count);
    return order;
}

struct Instances {
    std::vector<std::unique_ptr<CInstance>> all;
    CInstance* Make(float depth)
    {
        all.push_back(std::make_unique<CInstance>(0, 0, 100000 + static_cast<int32_t>(all.size()), -1, false));
        all.back()->depth = depth;
        return all.back().get();
    }
};
}  // namespace

TEST_F(InstanceLookup, IdsInOneBucketAreBothFoundAndDeletedApart)
{
    Instances made;
    CInstance* a = made.Make(0);
    CInstance* b = made.Make(0);
    ASSERT_TRUE(Instance_Insert(100000, a));
    ASSERT_TRUE(Instance_Insert(100512, b));
    EXPECT_EQ(Instance_Find(100000), a);
    EXPECT_EQ(Instance_Find(100512), b);
    EXPECT_EQ(Instance_Find(-1), nullptr);
    EXPECT_EQ(Instance_Find(101024), nullptr);
    EXPECT_TRUE(Instance_Delete(100000));
    EXPECT_FALSE(Instance_Delete(100000));
    EXPECT_EQ(Instance_Find(100000), nullptr);
    EXPECT_EQ(Instance_Find(100512), b);
    Instance_ClearTable(HASH_KEEP_VALUE);  // nodes freed, instances alive
    EXPECT_EQ(Instance_IdTable().count, 0);
    EXPECT_EQ(Instance_Find(100512), nullptr);
    EXPECT_EQ(b->id, 100001);
}

TEST_F(InstanceLookup, TheTableGrowsItsBucketsAndKeepsEveryId)
{
    Instances made;
    CInstance* shared = made.Make(0);
    const int32_t n = 5000;
    for (int32_t i = 0; i < n; ++i) ASSERT_TRUE(Instance_Insert(100000 + i, shared));
    EXPECT_GE(Instance_IdTable().mask + 1, n / 2);
    for (int32_t i = 0; i < n; ++i) ASSERT_EQ(Instance_Find(100000 + i), shared) << i;
    EXPECT_TRUE(Instance_Delete(100000 + 77));
    EXPECT_EQ(Instance_Find(100000 + 77), nullptr);
    EXPECT_EQ(Instance_Find(100000 + 78), shared);
    Instance_ClearTable(HASH_KEEP_VALUE);
}

TEST_F(InstanceLookup, DeleteAllDeletesTheInstancesInTheTable)
{
    CGameObject* object = NewObject(-1, 0);
    for (int32_t i = 0; i < 3; ++i) Instance_Insert(100000 + i, new CInstance(0, 0, 100000 + i, object->index, true));
    EXPECT_EQ(object->directInstances.count, 3);
    Instance_DeleteAll();
    EXPECT_EQ(object->directInstances.count, 0);
    EXPECT_EQ(Instance_IdTable().count, 0);
}

TEST_F(InstanceLookup, InsertionKeepsDepthOrderAndEqualDepthsInArrivalOrder)
{
    Instances made;
    InstanceDepthList list;
    CInstance* ten = made.Make(10);
    CInstance* zero = made.Make(0);
    CInstance* tenAgain = made.Make(10);
    CInstance* minusFive = made.Make(-5);
    for (CInstance* i : {ten, zero, tenAgain, minusFive}) list.Insert(i);
    EXPECT_EQ(Order(list), (std::vector<CInstance*>{minusFive, zero, ten, tenAgain}));
    EXPECT_TRUE(list.Remove(zero));
    EXPECT_FALSE(list.Remove(zero));
    EXPECT_EQ(Order(list), (std::vector<CInstance*>{minusFive, ten, tenAgain}));
    for (CInstance* i : {minusFive, ten, tenAgain}) list.Remove(i);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
}

TEST_F(InstanceLookup, ADepthChangeWaitsForTheQueueAndSkipsDeactivatedInstances)
{
    Instances made;
    CInstance* a = made.Make(1);
    CInstance* b = made.Make(2);
    CInstance* c = made.Make(3);
    for (CInstance* i : {a, b, c}) room.activeInstances.Insert(i);
    c->depth = -1;
    DepthChangeQueue.AddUnique(c);
    a->depth = 9;
    a->m_deactivated = true;
    DepthChangeQueue.AddUnique(a);
    EXPECT_EQ(Order(room.activeInstances), (std::vector<CInstance*>{a, b, c}));
    UpdateActiveLists();
    EXPECT_EQ(Order(room.activeInstances), (std::vector<CInstance*>{c, a, b}));
    EXPECT_EQ(c->m_listDepth, -1);
    EXPECT_EQ(a->m_listDepth, 1);
    EXPECT_EQ(DepthChangeQueue.count, 0);
    for (CInstance* i : {a, b, c}) room.activeInstances.Remove(i);
}

TEST_F(InstanceLookup, ManyDepthChangesGiveTheOrderOfOneByOneInsertion)
{
    // The batched re-insert must match the one-by-one rule exactly,
    // ties and all; a NaN depth falls back to the one-by-one walk.
    std::mt19937 random(7);
    for (int round = 0; round < 4; ++round) {
        Instances made;
        InstanceDepthList reference;
        for (int32_t i = 0; i < 300; ++i) {
            CInstance* instance = made.Make(static_cast<float>(random() % 40));
            room.activeInstances.Insert(instance);
        }
        std::vector<CInstance*> changed;
        for (int32_t i = 0; i < 120; ++i) {
            CInstance* instance = made.all[random() % made.all.size()].get();
            instance->depth = static_cast<float>(random() % 40);
            if (round == 3 && i == 5) instance->depth = NAN;
            DepthChangeQueue.AddUnique(instance);
        }
        // The one-by-one model, built on a copy of the order.
        std::vector<CInstance*> expected;
        std::vector<float> listDepth;
        for (CInstance* i = room.activeInstances.first; i; i = i->m_next) {
            bool queued = false;
            for (int32_t q = 0; q < DepthChangeQueue.count; ++q) queued |= DepthChangeQueue.items[q] == i;
            if (queued) continue;
            expected.push_back(i);
            listDepth.push_back(i->m_listDepth);
        }
        for (int32_t q = 0; q < DepthChangeQueue.count; ++q) {
            CInstance* i = DepthChangeQueue.items[q];
            size_t at = expected.size();
            while (at > 0 && i->depth < listDepth[at - 1]) --at;
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), i);
            listDepth.insert(listDepth.begin() + static_cast<std::ptrdiff_t>(at), i->depth);
        }
        DepthChangeQueue_Apply();
        EXPECT_EQ(Order(room.activeInstances), expected) << round;
        for (auto& i : made.all) room.activeInstances.Remove(i.get());
    }
}

TEST_F(InstanceLookup, QueuesApplyActivationThenObjectChangesThenDepths)
{
    CGameObject* a = NewObject(-1, 0);
    CGameObject* b = NewObject(-1, -20);
    Instances made;
    auto* leaving = new CInstance(0, 0, 100001, a->index, true);
    auto* changing = new CInstance(0, 0, 100002, a->index, true);
    made.all.emplace_back(leaving);
    made.all.emplace_back(changing);
    CInstance* moving = made.Make(5);
    for (CInstance* i : {leaving, changing, moving}) room.activeInstances.Insert(i);

    leaving->SetDeactivated(true);
    ActivationQueue.AddUnique(leaving);
    leaving->depth = -50;
    DepthChangeQueue.AddUnique(leaving);  // deactivated by now: left alone
    changing->ChangeObject(b->index);      // depth -20, queued twice
    moving->depth = -30;
    DepthChangeQueue.AddUnique(moving);

    UpdateActiveLists();
    EXPECT_EQ(Order(room.activeInstances), (std::vector<CInstance*>{moving, changing}));
    EXPECT_EQ(room.deactivatedInstances.first, leaving);
    EXPECT_EQ(leaving->m_listDepth, 0);
    EXPECT_EQ(a->directInstances.count, 0);
    EXPECT_TRUE(InList(b->directInstances, changing));
    EXPECT_EQ(ActivationQueue.count + ObjectChangeQueue.count + DepthChangeQueue.count, 0);
    for (CInstance* i : {moving, changing}) room.activeInstances.Remove(i);
    room.deactivatedInstances.Remove(leaving);
}

TEST_F(InstanceLookup, TheWithListHoldsEachInstanceOnceAndDrainsInOrder)
{
    Instances made;
    CInstance* one = made.Make(0);
    CInstance* two = made.Make(0);
    CInstance* three = made.Make(0);
    CInstance* output[8] = {};
    CInstance* current = nullptr;

    WithInstanceList::Add(one);
    EXPECT_EQ(WithInstanceList::Drain(output, &current), output + 1);
    EXPECT_EQ(output[0], nullptr);
    EXPECT_EQ(current, one);
    EXPECT_TRUE(WithInstanceList::IsEmpty());
    EXPECT_EQ(one->m_withLink.next, &one->m_withLink);

    WithInstanceList::Add(one);
    WithInstanceList::Add(two);
    EXPECT_FALSE(WithInstanceList::AddOnce(three));
    EXPECT_TRUE(WithInstanceList::AddOnce(one));  // moves to the tail
    EXPECT_EQ(WithInstanceList::Drain(output, &current), output + 3);
    EXPECT_EQ(output[0], nullptr);
    EXPECT_EQ(output[1], two);
    EXPECT_EQ(output[2], three);
    EXPECT_EQ(current, one);
    EXPECT_TRUE(WithInstanceList::IsEmpty());
}
