#include "Object/Event_Drivers.h"

#include "Object/Object_Lists.h"
#include "Object/WorldFixture.h"

namespace {
struct EventDriversTest : WorldFixture {
    int Count(int32_t code) const
    {
        int n = 0;
        for (const auto& call : eventmodule::Trace) n += call.code == code ? 1 : 0;
        return n;
    }
};
}  // namespace

TEST_F(EventDriversTest, OutsideRoomFiresOncePerExitAndBoundaryEveryStepOutside)
{
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 0, 0);
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 1, 1);
    Object_BuildEventLists();
    room.width = 100;
    room.height = 100;
    CInstance* instance = room.CreateInstance(50, 50, object);
    instance->sprite_index = instance->mask_index = -1;  // no shape: the point decides

    const float path[] = {50, -10, -20, 100, 101, 150};
    int outside[6], boundary[6];
    for (int k = 0; k < 6; ++k) {
        instance->x = path[k];
        HandleOther();
        outside[k] = Count(0);
        boundary[k] = Count(1);
    }
    // Leaves at -10, back in at 100 (the edge counts as inside), leaves again at 101.
    EXPECT_EQ((std::vector<int>(outside, outside + 6)), (std::vector<int>{0, 1, 1, 1, 2, 2}));
    EXPECT_EQ((std::vector<int>(boundary, boundary + 6)), (std::vector<int>{0, 1, 2, 2, 3, 4}));
}

TEST_F(EventDriversTest, AlarmsFireOnTheNthStepAndAnInstanceMadeInAPassIsNotVisitedByIt)
{
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_ALARM, 0, 0);
    eventmodule::SetHandler(Object_Get(object), EVENT_STEP, 0, 1);
    Object_BuildEventLists();
    CInstance* first = room.CreateInstance(0, 0, object);
    first->alarm[0] = 2;
    CInstance* zero = room.CreateInstance(0, 0, object);
    zero->alarm[0] = 0;
    int made = 0;
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) {
        if (made++ == 0) room.CreateInstance(0, 0, object);
    };
    HandleAlarm();
    HandleStep(0);
    EXPECT_EQ(made, 2) << "the new instance is not stepped in the pass that made it";
    EXPECT_EQ(Count(0), 0);
    HandleAlarm();
    HandleStep(0);
    EXPECT_EQ(Count(0), 1);
    EXPECT_EQ(eventmodule::Trace[2].code, 0);
    EXPECT_EQ(eventmodule::Trace[2].self, first->id);
    EXPECT_EQ(first->alarm[0], 0);
    EXPECT_EQ(zero->alarm[0], -1) << "an alarm set to 0 never fires";
}
