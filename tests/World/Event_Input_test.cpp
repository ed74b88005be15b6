// Key and mouse events from SDL events fed to the real message pump, run on
// the instances of a small game in the order of a frame's input passes.
#include "World/Event_Input.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Draw/Draw_Frame.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Host/Host_Window.h"
#include "IO/IO_Main.h"
#include "Runner/Run_Main.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
using Texts = std::vector<std::string>;

struct InputEventsTest : WorldFixture {
    int32_t sprite = -1;
    int32_t object = -1;
    CInstance* target = nullptr;
    bool layers = LayerMode;

    void SetUp() override
    {
        WorldFixture::SetUp();
        ASSERT_TRUE(HostWindow_InitVideo());
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        HostWindow_ResetMessages();
        MainLoopRunning = true;
        IO_Init();
        IO_Update();
        LayerMode = true;
        room.width = GR_Window_ClientWidth = GR_D3D_BackBufferWidth = 640;
        room.height = GR_Window_ClientHeight = GR_D3D_BackBufferHeight = 480;
        sprite = TestSprite_Add({1, 16, 16});
        object = NewObject();
        target = Place(100, 100, object);
    }
    void TearDown() override
    {
        room.enableViews = false;
        GR_Window_ResetViewMappings();
        ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
        GR_Window_ClientWidth = GR_Window_ClientHeight = 0;
        LayerMode = layers;
        eventmodule::Reset();
        Object_FreeEventLists();
        WorldFixture::TearDown();
    }
    CInstance* Place(float x, float y, int32_t index)
    {
        CInstance* i = room.CreateInstance(x, y, index);
        i->SetSpriteIndex(sprite);
        return i;
    }
    // Handlers for (kind, sub-kind) pairs on the object, all with code 0.
    void Listen(int32_t index, const std::vector<std::pair<int32_t, int32_t>>& events)
    {
        for (const auto& e : events) eventmodule::SetHandler(Object_Get(index), e.first, e.second, 0);
        Object_BuildEventLists();
    }
    static void Push(SDL_Event event) { SDL_PushEvent(&event); }
    static void Key(SDL_Scancode scancode, bool down)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        Push(e);
    }
    static void Move(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        Push(e);
    }
    static void Button(uint8_t button, bool down, int x, int y)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        Push(e);
    }
    static void Wheel(int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = y;
        Push(e);
    }
    // One frame's input passes; the events that ran as "id:kind,sub".
    static Texts Frame()
    {
        eventmodule::Trace.clear();
        DispatchPendingMessages();
        IO_SnapshotPointerEvents();
        IO_Update();
        IO_HandleKeyboardEvents();
        IO_HandleMouseEvents();
        Texts out;
        for (const eventmodule::Call& c : eventmodule::Trace)
            out.push_back(std::to_string(c.self) + ":" + std::to_string(c.kind) + "," + std::to_string(c.number));
        return out;
    }
    std::string Ev(int kind, int sub) const
    {
        return std::to_string(target->id) + ":" + std::to_string(kind) + "," + std::to_string(sub);
    }
};

TEST_F(InputEventsTest, FramesOfInputRaiseTheirEventsInOrder)
{
    Listen(object, {{5, 0}, {5, 1}, {5, 'A'}, {9, 0}, {9, 1}, {9, 'A'}, {10, 0}, {10, 1}, {10, 'A'},
                    {6, 0}, {6, 1}, {6, 3}, {6, 4}, {6, 5}, {6, 7}, {6, 12}, {6, 13}, {6, 50}, {6, 53},
                    {6, 54}, {6, 56}, {6, 60}, {6, 61}});
    struct Case {
        const char* name;
        void (*input)();
        std::vector<std::pair<int, int>> events;
    };
    const Case cases[] = {
        {"idle, the mouse over the instance", [] { Move(105, 105); }, {{5, 0}, {9, 0}, {10, 0}, {6, 3}}},
        {"A goes down", [] { Key(SDL_SCANCODE_A, true); },
         {{5, 'A'}, {9, 'A'}, {5, 1}, {9, 1}, {10, 0}, {6, 3}}},
        {"A held", [] {}, {{5, 'A'}, {5, 1}, {9, 0}, {10, 0}, {6, 3}}},
        {"A goes up", [] { Key(SDL_SCANCODE_A, false); }, {{10, 'A'}, {5, 0}, {9, 0}, {10, 1}, {6, 3}}},
        {"left pressed: the press group, then the held group", [] { Button(SDL_BUTTON_LEFT, true, 105, 105); },
         {{5, 0}, {9, 0}, {10, 0}, {6, 4}, {6, 12}, {6, 53}, {6, 0}, {6, 50}}},
        {"left released", [] { Button(SDL_BUTTON_LEFT, false, 105, 105); },
         {{5, 0}, {9, 0}, {10, 0}, {6, 3}, {6, 7}, {6, 13}, {6, 56}}},
        {"two buttons in one frame: two global presses",
         [] {
             Button(SDL_BUTTON_LEFT, true, 105, 105);
             Button(SDL_BUTTON_RIGHT, true, 105, 105);
         },
         {{5, 0}, {9, 0}, {10, 0}, {6, 4}, {6, 12}, {6, 53}, {6, 5}, {6, 12}, {6, 54}, {6, 0}, {6, 50}, {6, 1}}},
        {"both released away from the instance: only the global events",
         [] {
             Move(300, 300);
             Button(SDL_BUTTON_LEFT, false, 300, 300);
             Button(SDL_BUTTON_RIGHT, false, 300, 300);
         },
         {{5, 0}, {9, 0}, {10, 0}, {6, 13}, {6, 56}, {6, 13}}},
        {"the wheel, wherever the mouse is",
         [] { Wheel(1); }, {{5, 0}, {9, 0}, {10, 0}, {6, 60}}},
    };
    for (const Case& c : cases) {
        c.input();
        Texts expected;
        for (const auto& e : c.events) expected.push_back(Ev(e.first, e.second));
        EXPECT_EQ(Frame(), expected) << c.name;
    }
}

TEST_F(InputEventsTest, LegacyGamesSeeHeldButtonsBeforePresses)
{
    LayerMode = false;
    Listen(object, {{6, 0}, {6, 4}, {6, 50}, {6, 53}});
    Move(105, 105);
    Button(SDL_BUTTON_LEFT, true, 105, 105);
    EXPECT_EQ(Frame(), (Texts{Ev(6, 0), Ev(6, 50), Ev(6, 4), Ev(6, 53)}));
}

TEST_F(InputEventsTest, EnterAndLeaveFollowTheMouse)
{
    Listen(object, {{6, 10}, {6, 11}});
    const Texts none;
    Move(300, 300);
    EXPECT_EQ(Frame(), none) << "a new instance the mouse is not over gets no leave";
    Move(108, 108);
    EXPECT_EQ(Frame(), (Texts{Ev(6, 10)}));
    EXPECT_EQ(Frame(), none) << "staying over it";
    Move(50, 50);
    EXPECT_EQ(Frame(), (Texts{Ev(6, 11)}));
    Move(104, 104);
    Frame();
    CInstance* late = Place(100, 100, object);
    EXPECT_EQ(Frame(), (Texts{std::to_string(late->id) + ":6,10"})) << "a new instance under the mouse: next pass";
}

TEST_F(InputEventsTest, AnInstanceDestroyedByAnEventGetsNoMoreThatFrame)
{
    CInstance* second = Place(300, 300, object);
    Listen(object, {{9, 'A'}, {9, 1}, {10, 0}});
    // The first keypress destroys the other instance and creates a new one.
    eventmodule::Hooks[0] = [&](CInstance* self, CInstance*) {
        if (Event_CurrentNumber != 'A' || self != target) return;
        second->m_marked = true;
        Place(0, 0, object);
    };
    Key(SDL_SCANCODE_A, true);
    CInstance* made = nullptr;
    const Texts events = Frame();
    for (CInstance* i = room.activeInstances.first; i; i = i->m_next)
        if (i != target && i != second) made = i;
    ASSERT_NE(made, nullptr);
    const std::string m = std::to_string(made->id);
    // The destroyed instance gets nothing more; the new one joins from the next dispatch on.
    EXPECT_EQ(events, (Texts{Ev(9, 'A'), Ev(9, 1), m + ":9,1", Ev(10, 0), m + ":10,0"}));
}

TEST_F(InputEventsTest, TheMouseIsInRoomCoordinatesThroughTheViews)
{
    // View 0 shows (200, 100, 320, 240) in a 640 x 480 port: twice the size.
    LayerMode = false;  // views without cameras
    room.enableViews = true;
    RoomView& v = room.views[0];
    v.visible = true;
    v.viewX = 200;
    v.viewY = 100;
    v.viewWidth = 320;
    v.viewHeight = 240;
    v.portX = v.portY = 0;
    v.portWidth = 640;
    v.portHeight = 480;
    ApplicationSurfaceWidth = 640;
    ApplicationSurfaceHeight = 480;
    UpdateViews();
    target->SetPosition(355, 215);
    Listen(object, {{6, 3}});
    Move(320, 240);  // the room's (360, 220)
    EXPECT_EQ(Frame(), (Texts{Ev(6, 3)}));
    EXPECT_EQ(GR_Window_DeviceMouseX(0), 360);
    EXPECT_EQ(GR_Window_DeviceMouseY(0), 220);
    Move(100, 100);  // the room's (250, 150)
    EXPECT_EQ(Frame(), Texts{});
}
}  // namespace
