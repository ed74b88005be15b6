#include "World/Event_Drivers.h"

#include "World/Camera.h"
#include "World/Object_Lists.h"
#include "World/TimeLine_Main.h"
#include "World/WorldFixture.h"
#include "Code/Code_Main.h"
#include "support/StandIns.h"
#include "support/TestSprites.h"

namespace {
struct EventDriversTest : WorldFixture {
    void TearDown() override
    {
        Object_FreeEventLists();
        CameraList::Clear();
        Sprite_Init();
        TimeLine_Free();
        WorldFixture::TearDown();
    }
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

namespace {
// Events (7, 40) and (7, 50) of one instance against view 0, as code 0 and 1.
struct ViewCase {
    const char* what;
    bool layerMode;
    float viewX, viewY, viewWidth, viewHeight, angle;
    float x, y;
    bool shape;  // a 10 x 10 sprite with its origin at the top left
    int outside, boundary;
};
}  // namespace

TEST_F(EventDriversTest, ViewRegionsDecideTheOutsideAndBoundaryEventsOfView0)
{
    static const ViewCase kCases[] = {
        {"point inside an unturned view", false, 100, 100, 200, 100, 0, 150, 150, false, 0, 0},
        {"point left of an unturned view", false, 100, 100, 200, 100, 0, 50, 150, false, 1, 0},
        {"point on the edge counts as inside", false, 100, 100, 200, 100, 0, 300, 200, false, 0, 0},
        {"box across the left edge", false, 100, 100, 200, 100, 0, 95, 150, true, 0, 1},
        {"box strictly inside", false, 100, 100, 200, 100, 0, 150, 150, true, 0, 0},
        {"box wholly outside", false, 100, 100, 200, 100, 0, 400, 150, true, 1, 0},
        // Turned by 45 degrees the view is a diamond around (50, 50) reaching 70.7 along each axis.
        {"point in the middle of a turned view", false, 0, 0, 100, 100, 45, 50, 50, false, 0, 0},
        {"point in a corner of the turned view's box", false, 0, 0, 100, 100, 45, -15, -15, false, 1, 0},
        {"box in a corner of the turned view's box", false, 0, 0, 100, 100, 45, -19, -19, true, 1, 0},
        {"box across a turned edge", false, 0, 0, 100, 100, 45, 10, 10, true, 0, 1},
        {"point inside a camera's view", true, 100, 100, 200, 100, 0, 150, 150, false, 0, 0},
        {"point outside a camera's view", true, 100, 100, 200, 100, 0, 50, 150, false, 1, 0},
        {"box across a camera's edge", true, 100, 100, 200, 100, 0, 295, 150, true, 0, 1},
        {"point beyond a turned camera's edge", true, 0, 0, 100, 100, 45, -15, -15, false, 1, 0},
    };
    const int32_t sprite = TestSprite_Add({1, 10, 10, 0, nullptr});
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 40, 0);
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 50, 1);
    Object_BuildEventLists();
    room.enableViews = true;
    for (const ViewCase& c : kCases) {
        SCOPED_TRACE(c.what);
        eventmodule::Reset();
        CameraList::Clear();
        LayerMode = c.layerMode;
        RoomView& view = room.views[0];
        view = RoomView{};
        view.visible = true;
        view.viewX = c.viewX;
        view.viewY = c.viewY;
        view.viewWidth = c.viewWidth;
        view.viewHeight = c.viewHeight;
        view.angle = c.angle;
        if (c.layerMode) {
            Camera* camera = CameraList::CreateFromRoomView(&view);
            ASSERT_NE(camera, nullptr);
            camera->angle = c.angle;
            camera->BuildOrthoMatrices(c.viewX + c.viewWidth / 2, c.viewY + c.viewHeight / 2);
            view.camera = camera->GetID();
        }
        CInstance* instance = room.CreateInstance(c.x, c.y, object);
        instance->sprite_index = c.shape ? sprite : -1;
        instance->mask_index = -1;
        instance->m_bboxDirty = true;
        HandleOther();
        EXPECT_EQ(Count(0), c.outside);
        EXPECT_EQ(Count(1), c.boundary);
        room.DeleteActiveInstances();
    }
}

TEST_F(EventDriversTest, AMovedCameraIsUpdatedBeforeItsViewIsTested)
{
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 40, 0);
    Object_BuildEventLists();
    LayerMode = true;
    room.enableViews = true;
    room.views[0].visible = true;
    Camera* camera = CameraList::CreateFromRoomView(&room.views[0]);
    ASSERT_NE(camera, nullptr);
    camera->viewX = 0;
    camera->viewY = 0;
    camera->viewWidth = camera->viewHeight = 100;
    camera->BuildOrthoMatrices(50, 50);
    room.views[0].camera = camera->GetID();
    CInstance* instance = room.CreateInstance(50, 50, object);
    instance->sprite_index = instance->mask_index = -1;
    HandleOther();
    EXPECT_EQ(Count(0), 0);

    // What camera_set_view_pos does in a step event: the position only.
    camera->SetViewX(200);
    camera->viewChanged = 1;
    HandleOther();
    EXPECT_EQ(Count(0), 1) << "the instance is outside the camera's new view";
}

namespace {
// A new timeline whose moments at the given times each run the code index.
int32_t TimelineOf(std::initializer_list<int32_t> times, int32_t code)
{
    const int32_t index = TimeLine_Add();
    CTimeLine* timeline = TimeLine_Get(index);
    for (const int32_t time : times) {
        timeline->AddMoment(time, 0);
        auto* event = new CEvent();
        event->m_code = new CCode(code, 0);
        event->m_name = "";
        timeline->m_entries.items[timeline->FindMoment(time)] = reinterpret_cast<intptr_t>(event);
    }
    return index;
}
}  // namespace

TEST_F(EventDriversTest, ALoopingTimelineWrapsAtTheEndOfTheTimelineTheStepStartedWith)
{
    const int32_t object = NewObject();
    const int32_t shortOne = TimelineOf({0, 1}, 0);
    const int32_t longOne = TimelineOf({0, 10}, 1);
    CInstance* instance = room.CreateInstance(0, 0, object);
    instance->timeline_index = shortOne;
    instance->timeline_position = 1;
    instance->timeline_speed = 1;
    instance->timeline_running = true;
    instance->timeline_loop = true;
    // The last moment of the short timeline switches to the long one, as timeline_index = ... does.
    eventmodule::Hooks[0] = [&](CInstance* self, CInstance*) { self->timeline_index = longOne; };
    Timeline_Step();
    ASSERT_EQ(eventmodule::Trace.size(), 1u);
    EXPECT_EQ(instance->timeline_index, longOne);
    EXPECT_EQ(instance->timeline_position, 0) << "past the last moment (1) of the timeline that ran";

    // A moment that deletes its own timeline leaves nothing to wrap at: the position goes on.
    const int32_t doomed = TimelineOf({0, 1}, 2);
    instance->timeline_index = doomed;
    instance->timeline_position = 1;
    eventmodule::Hooks[2] = [&](CInstance*, CInstance*) { TimeLine_Delete(doomed); };
    Timeline_Step();
    EXPECT_EQ(instance->timeline_position, 2);
}

TEST_F(EventDriversTest, OnlyTheAsynchronousSubKindsRunAsAsynchronousEvents)
{
    const int32_t object = NewObject();
    for (int32_t sub = 0; sub <= 80; ++sub) eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, sub, 0);
    Object_BuildEventLists();
    room.CreateInstance(0, 0, object);
    for (int32_t sub = -1; sub <= 80; ++sub) PerformAsyncEvent(sub);
    std::vector<int> ran;
    for (const auto& call : eventmodule::Trace) ran.push_back(call.number);
    EXPECT_EQ(ran, (std::vector<int>{60, 61, 62, 63, 64, 67, 69, 70, 71, 72, 73, 74, 75}));
}
