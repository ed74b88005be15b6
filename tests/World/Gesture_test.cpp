// The gesture recogniser as a table of touch sequences: what each frame's
// touch state turns into, on the instance under the touch and globally.
#include "World/Gesture_Main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "IO/IO_Main.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"

namespace {
double MapNumber(int32_t map, const char* key)
{
    DsMap* m = DsMapTable.Get(map);
    if (!m) return -999;
    ScriptValue k = ScriptValue_Undefined();
    ScriptValue_InitString(&k, key);
    DsMapElement* e = m->FindElement(&k);
    ScriptValue_SetUndefined(&k);
    return e ? e->value.real : -999;
}

struct Touch {
    int ms;  // frame time
    bool held;
    int x, y;
};

struct GestureTest : WorldFixture {
    std::vector<std::string> local, global;
    CInstance* target = nullptr;

    void SetUp() override
    {
        WorldFixture::SetUp();
        LayerMode = true;
        const int32_t a = NewObject(), b = NewObject();
        for (int s = 0; s <= 5; ++s) {
            eventmodule::SetHandler(Object_Get(a), EVENT_GESTURE, s, 0);
            eventmodule::SetHandler(Object_Get(b), EVENT_GESTURE, GESTURE_GLOBAL + s, 1);
        }
        Object_BuildEventLists();
        // A 40 x 40 target around (10..50, 10..50); the global listener far away.
        target = room.CreateInstance(10, 10, a);
        target->bbox_left = target->bbox_top = 10;
        target->bbox_right = target->bbox_bottom = 50;
        target->m_bboxDirty = false;
        room.CreateInstance(900, 900, b);
        static const char* const kNames[] = {"tap", "double", "start", "drag", "end", "flick"};
        eventmodule::Hooks[0] = [this](CInstance*, CInstance*) { local.push_back(Describe(kNames)); };
        eventmodule::Hooks[1] = [this](CInstance*, CInstance*) { global.push_back(Describe(kNames)); };
    }
    void TearDown() override
    {
        Gesture_Reset();
        Object_FreeEventLists();
        WorldFixture::TearDown();
    }
    static std::string Describe(const char* const* names)
    {
        const int sub = Event_CurrentNumber % GESTURE_GLOBAL;
        std::string text = names[sub];
        const int32_t map = Gesture_EventData;
        text += "@" + std::to_string(static_cast<int>(MapNumber(map, "posX")));
        if (sub == GESTURE_DRAGGING) text += " dx" + std::to_string(static_cast<int>(MapNumber(map, "diffX")));
        if (sub == GESTURE_DRAG_END) text += MapNumber(map, "isflick") == 1 ? " flick" : " slow";
        return text;
    }
    void Play(const std::vector<Touch>& touches)
    {
        for (const Touch& t : touches) {
            IO_Input.buttonHeld[0] = t.held ? 1 : 0;
            IO_Input.deviceX[0] = t.x;
            IO_Input.deviceY[0] = t.y;
            Gesture_UpdateAt(1000000 + t.ms * 1000);
        }
    }
};

using Texts = std::vector<std::string>;

TEST_F(GestureTest, TouchSequences)
{
    struct Case {
        const char* name;
        std::vector<Touch> touches;
        Texts local, global;
    };
    const Case cases[] = {
        {"a click and nothing after it: one tap",
         {{0, true, 20, 20}, {16, false, 20, 20}, {100, false, 20, 20}, {200, false, 20, 20}},
         {"tap@20"}, {"tap@20"}},
        {"held 0.2 s without moving: a drag",
         {{0, true, 20, 20}, {100, true, 20, 20}, {200, true, 20, 20}, {216, false, 20, 20}},
         {"start@20", "end@20 slow"}, {"start@20", "end@20 slow"}},
        {"two quick clicks on one spot: one double tap",
         {{0, true, 20, 20}, {16, false, 20, 20}, {100, true, 21, 20}, {116, false, 21, 20}, {400, false, 0, 0}},
         {"double@21"}, {"double@21"}},
        // The first tap is placed where the touch is when it is decided.
        {"two clicks two inches apart: two taps",
         {{0, true, 20, 20}, {16, false, 20, 20}, {100, true, 212, 20}, {116, false, 212, 20}, {400, false, 0, 0}},
         {}, {"tap@212", "tap@212"}},
        {"a fast release while dragging: drag end, then a flick",
         {{0, true, 20, 20}, {16, true, 70, 20}, {32, true, 120, 20}, {48, false, 120, 20}},
         {"start@20", "drag@120 dx50", "end@120 flick", "flick@120"},
         {"start@20", "drag@120 dx50", "end@120 flick", "flick@120"}},
        {"a second press held: a tap, then a drag",
         {{0, true, 20, 20}, {16, false, 20, 20}, {100, true, 20, 20}, {300, true, 20, 20}, {316, false, 20, 20}},
         {"tap@20", "start@20", "end@20 slow"}, {"tap@20", "start@20", "end@20 slow"}},
    };
    for (const Case& c : cases) {
        local.clear();
        global.clear();
        Gesture_Reset();
        Play(c.touches);
        EXPECT_EQ(local, c.local) << c.name;
        EXPECT_EQ(global, c.global) << c.name;
    }
}

TEST_F(GestureTest, SettingsChangeTheThresholds)
{
    Gesture_Settings.doubleTapTime = 50000;
    Play({{0, true, 20, 20}, {16, false, 20, 20}, {100, true, 20, 20}, {116, false, 20, 20}, {400, false, 0, 0}});
    EXPECT_EQ(global, (Texts{"tap@20", "tap@20"})) << "the second press came too late for a double tap";
    global.clear();
    Gesture_Settings = GestureSettings{};
    Gesture_DpiX = 960;  // fifty pixels are now short of a tenth of an inch
    Play({{1000, true, 20, 20}, {1016, true, 70, 20}, {1032, false, 70, 20}, {1300, false, 0, 0}});
    Gesture_DpiX = 96;
    EXPECT_EQ(global, (Texts{"tap@70"}));
}

TEST_F(GestureTest, LegacyGamesHaveNoGestures)
{
    LayerMode = false;
    Play({{0, true, 20, 20}, {16, false, 20, 20}, {400, false, 20, 20}});
    EXPECT_TRUE(local.empty());
    EXPECT_TRUE(global.empty());
}

TEST_F(GestureTest, AnInstanceMadeDuringTheDispatchWaitsForTheNext)
{
    const int32_t late = NewObject();
    eventmodule::SetHandler(Object_Get(late), EVENT_GESTURE, GESTURE_GLOBAL + GESTURE_TAP, 2);
    Object_BuildEventLists();
    int lateRuns = 0;
    eventmodule::Hooks[2] = [&](CInstance*, CInstance*) { ++lateRuns; };
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) {
        if (Event_CurrentNumber == GESTURE_GLOBAL + GESTURE_TAP && lateRuns == 0) room.CreateInstance(0, 0, late);
    };
    Play({{0, true, 20, 20}, {16, false, 20, 20}, {400, false, 20, 20}});
    EXPECT_EQ(lateRuns, 0);
    Play({{500, true, 20, 20}, {516, false, 20, 20}, {900, false, 20, 20}});
    EXPECT_EQ(lateRuns, 1);
}
}  // namespace

namespace {
TEST_F(GestureTest, TouchesAreMappedIntoTheRoom)
{
    // No view: a 640 x 480 window shows the whole 1280 x 960 room.
    const int bw = GR_D3D_BackBufferWidth, bh = GR_D3D_BackBufferHeight;
    GR_D3D_BackBufferWidth = GR_Window_ClientWidth = 640;
    GR_D3D_BackBufferHeight = GR_Window_ClientHeight = 480;
    room.width = 1280;
    room.height = 960;
    // Window (30, 15) is over the target's box (10..50); room (60, 30) is not.
    Play({{0, true, 30, 15}, {16, false, 30, 15}, {400, false, 30, 15}});
    GR_Window_ClientWidth = GR_Window_ClientHeight = 0;
    GR_D3D_BackBufferWidth = bw;
    GR_D3D_BackBufferHeight = bh;
    EXPECT_EQ(global, (Texts{"tap@60"}));
    EXPECT_TRUE(local.empty());
}

TEST_F(GestureTest, ADragKeepsTheViewItBeganIn)
{
    // Two views side by side: the left port shows room x 0..320, the right one 1000..1320.
    const int bw = GR_D3D_BackBufferWidth, bh = GR_D3D_BackBufferHeight;
    GR_D3D_BackBufferWidth = GR_Window_ClientWidth = 640;
    GR_D3D_BackBufferHeight = GR_Window_ClientHeight = 480;
    GR_Window_SetViewMapping(0, 0, 0, 320, 480, 0, 0, 320, 480, 0, -1, -1);
    GR_Window_SetViewMapping(1, 320, 0, 320, 480, 1000, 0, 320, 480, 0, -1, -1);
    Play({{0, true, 100, 300}, {16, true, 100, 300}, {100, true, 250, 300}, {200, true, 400, 300},
          {300, false, 400, 300}});
    GR_Window_ResetViewMappings();
    GR_Window_ClientWidth = GR_Window_ClientHeight = 0;
    GR_D3D_BackBufferWidth = bw;
    GR_D3D_BackBufferHeight = bh;
    ASSERT_FALSE(global.empty());
    // Past the left port the point is still read through the left view.
    EXPECT_EQ(global.back(), "flick@400") << ::testing::PrintToString(global);
}
}  // namespace
