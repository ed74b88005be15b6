#include "World/Object_Lists.h"

#include <vector>

#include "World/Event_Drivers.h"
#include "World/WorldFixture.h"
#include "GameData/GameOptions.h"

namespace {
std::vector<int32_t> ObjectsWith(int32_t kind, int32_t subKind)
{
    const int32_t n = Object_EventListCount(kind, subKind);
    return std::vector<int32_t>(PerEventObjectLists[kind][subKind].items, PerEventObjectLists[kind][subKind].items + n);
}

struct ObjectListsTest : WorldFixture {
    std::vector<std::pair<int32_t, int32_t>> Pairs() const
    {
        std::vector<std::pair<int32_t, int32_t>> pairs;
        for (int32_t k = 0; k < CollisionPairs.count; ++k) pairs.emplace_back(CollisionPairs.items[k].a, CollisionPairs.items[k].b);
        return pairs;
    }
};
}  // namespace

TEST_F(ObjectListsTest, InheritedHandlersPutChildrenInTheListAndTheirInstancesGetTheEventOnce)
{
    const int32_t parent = NewObject();
    const int32_t child = NewObject(parent);
    const int32_t plain = NewObject();
    eventmodule::SetHandler(Object_Get(parent), EVENT_STEP, 0, 1);
    eventmodule::SetHandler(Object_Get(plain), EVENT_KEYPRESS, 200, 2);  // beyond the sub-kinds with lists
    Object_BuildEventLists();
    EXPECT_EQ(ObjectsWith(EVENT_STEP, 0), (std::vector<int32_t>{parent, child}));
    EXPECT_EQ(Object_EventListCount(EVENT_KEYPRESS, 200), 0);

    auto* instance = room.CreateInstance(0, 0, child);
    HandleStep(0);
    ASSERT_EQ(eventmodule::Trace.size(), 1u);
    EXPECT_EQ(eventmodule::Trace[0].self, instance->id);
}

TEST_F(ObjectListsTest, EachCollisionPairIsStoredOnceWithTheFirstHandlersOwnerFirst)
{
    GameOptions.collisionMode = false;
    std::vector<int32_t> objects;
    for (int i = 0; i < 8; ++i) objects.push_back(NewObject());
    eventmodule::SetHandler(Object_Get(3), EVENT_COLLISION, 7, 0);
    eventmodule::SetHandler(Object_Get(7), EVENT_COLLISION, 3, 0);
    eventmodule::SetHandler(Object_Get(5), EVENT_COLLISION, 2, 0);
    eventmodule::SetHandler(Object_Get(4), EVENT_COLLISION, 4, 0);
    Object_BuildEventLists();
    EXPECT_EQ(Pairs(), (std::vector<std::pair<int32_t, int32_t>>{{3, 7}, {4, 4}, {5, 2}}));
    EXPECT_TRUE(Object_Get(2)->flags & OBJECT_FLAG_COLLISION_PAIR);
    EXPECT_FALSE(Object_Get(1)->flags & OBJECT_FLAG_COLLISION_PAIR);
    for (int s = 0; s < EVENT_LIST_SUBKINDS; ++s) EXPECT_EQ(Object_EventListCount(EVENT_COLLISION, s), 0);

    // Collision mode builds no table unless every object uses physics.
    GameOptions.collisionMode = true;
    Object_BuildCollisionPairs();
    EXPECT_EQ(CollisionPairs.count, 0);
    for (int32_t index : objects) Object_Get(index)->usesPhysics = true;
    Object_BuildCollisionPairs();
    EXPECT_EQ(CollisionPairs.count, 3);
}
