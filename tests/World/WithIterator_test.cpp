#include "World/WithIterator.h"

#include <vector>

#include "World/WorldFixture.h"

namespace {
struct WithTest : WorldFixture {
    std::vector<CInstance*> Visit(int32_t target, CInstance* self = nullptr, CInstance* other = nullptr,
                                  bool deactivated = false)
    {
        std::vector<CInstance*> seen;
        WithIterator it;
        it.Init(target, self, other, deactivated);
        while (CInstance* instance = it.Current()) {
            seen.push_back(instance);
            it.Advance();
        }
        return seen;
    }
    // Deactivates now, as the activation pass would after the event.
    void Deactivate(CInstance* instance)
    {
        instance->SetDeactivated(true);
        room.UpdateActiveLists();
    }
};

using List = std::vector<CInstance*>;

TEST_F(WithTest, SelfOtherAllAndInstanceIds)
{
    const int32_t o = NewObject();
    CInstance* a = room.CreateInstance(0, 0, o);
    CInstance* b = room.CreateInstance(0, 0, o);
    CInstance* c = room.CreateInstance(0, 0, o);
    EXPECT_EQ(Visit(TARGET_SELF, a, b), List{a});
    EXPECT_EQ(Visit(TARGET_OTHER, a, b), List{b});
    EXPECT_EQ(Visit(TARGET_SELF, nullptr, b), List{});
    EXPECT_EQ(Visit(c->id), List{c});
    EXPECT_EQ(Visit(c->id + 50), List{});
    EXPECT_EQ(Visit(TARGET_NOONE), List{});
    EXPECT_EQ(Visit(o + 1), List{});
    Deactivate(b);
    // Deactivated instances are never visited for all, even when asked for.
    EXPECT_EQ(Visit(TARGET_ALL, nullptr, nullptr, true), (List{a, c}));
    Run_Room = nullptr;
    EXPECT_EQ(Visit(TARGET_ALL), List{});
}

TEST_F(WithTest, ObjectTargetVisitsDescendantsThenQueuesThenDeactivated)
{
    const int32_t parent = NewObject();
    const int32_t child = NewObject(parent);
    const int32_t stranger = NewObject();
    CInstance* p = room.CreateInstance(0, 0, parent);
    CInstance* c = room.CreateInstance(0, 0, child);
    CInstance* hidden = room.CreateInstance(0, 0, child);
    CInstance* changed = room.CreateInstance(0, 0, stranger);
    CInstance* changedToChild = room.CreateInstance(0, 0, stranger);
    Deactivate(hidden);
    changed->ChangeObject(parent);         // waits in the object-change queue
    changedToChild->ChangeObject(child);   // only exact matches are taken from the queue
    EXPECT_EQ(Visit(parent), (List{p, c, changed}));
    EXPECT_EQ(Visit(parent, nullptr, nullptr, true), (List{p, c, changed, hidden}));
    EXPECT_EQ(Visit(child), (List{c, changedToChild}));

    // The child's only live instances deactivated: what is left is the queued change.
    Deactivate(c);
    EXPECT_EQ(Visit(child), List{changedToChild});
    EXPECT_EQ(Visit(child, nullptr, nullptr, true), (List{changedToChild, hidden, c}));
}

TEST_F(WithTest, StableWhileInstancesAreCreatedAndDestroyed)
{
    const int32_t o = NewObject();
    for (int i = 0; i < 4; ++i) room.CreateInstance(static_cast<float>(i), 0, o);
    for (int32_t target : {o, static_cast<int32_t>(TARGET_ALL)}) {
        WithIterator it;
        it.Init(target, nullptr, nullptr, false);
        int32_t visited = 0;
        while (CInstance* instance = it.Current()) {
            // Each visit makes another instance of the target and destroys the one visited.
            room.CreateInstance(0, 0, o);
            instance->m_marked = true;
            ++visited;
            it.Advance();
        }
        // Exactly the instances there were when the iteration began.
        EXPECT_EQ(visited, 4) << target;
        EXPECT_EQ(room.activeInstances.count, 8);
        room.RemoveMarkedInstances();
    }
    EXPECT_EQ(room.activeInstances.count, 4);
    EXPECT_EQ(Object_Get(o)->allInstances.count, 4);
}
}  // namespace
