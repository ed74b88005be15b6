// The display_ and window_ built-ins through the built-in table, on a game
// window of SDL's dummy video driver with the software device behind it.
#include "Function/Function_Display.h"

#include <SDL2/SDL.h>

#include "Function/BuiltinCallFixture.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Host/Host_WindowSdl.h"
#include "IO/IO_Main.h"

namespace {

struct DisplayFunctions : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitDisplayFunctions();
        GR_Window_Create(200, 100);
        ASSERT_NE(GR_Window_Handle, nullptr) << SDL_GetError();
        ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 200, 100, 0));
    }
    void TearDown() override
    {
        BuiltinCallFixture::TearDown();
    }
    static SDL_Window* Sdl() { return HostWindow_Sdl(GR_Window_Handle); }
};

TEST_F(DisplayFunctions, CaptionIsTheWindowTitle)
{
    Call("window_set_caption", {S("Quest \xC3\xA9")});
    EXPECT_STREQ(SDL_GetWindowTitle(Sdl()), "Quest \xC3\xA9");
    EXPECT_EQ(Str("window_get_caption"), "Quest \xC3\xA9");
    Call("window_set_caption", {S("")});
    EXPECT_STREQ(SDL_GetWindowTitle(Sdl()), "");
    EXPECT_EQ(Str("window_get_caption"), "");
}

TEST_F(DisplayFunctions, SizeAndPositionOfTheClientArea)
{
    EXPECT_EQ(Num("window_get_width"), 200);
    EXPECT_EQ(Num("window_get_height"), 100);
    Call("window_set_position", {R(30), R(40)});
    EXPECT_EQ(Num("window_get_x"), 30);
    EXPECT_EQ(Num("window_get_y"), 40);

    // A new size is only asked for; the end of a later frame applies it.
    DeviceResetCountdown = 0;
    Call("window_set_size", {R(300), R(150)});
    EXPECT_EQ(GR_PendingWindowWidth, 300);
    EXPECT_EQ(GR_PendingWindowHeight, 150);
    EXPECT_EQ(DeviceResetCountdown, 10);
    EXPECT_EQ(Num("window_get_width"), 200);
    GR_D3D_ApplyWindowSize();
    EXPECT_EQ(Num("window_get_width"), 300);
    EXPECT_EQ(Num("window_get_height"), 150);

    GR_Window_Changed = false;
    Call("window_set_rectangle", {R(5), R(6), R(120), R(90)});
    EXPECT_EQ(Num("window_get_x"), 5);
    EXPECT_EQ(Num("window_get_y"), 6);
    EXPECT_EQ(GR_PendingWindowWidth, 120);
    EXPECT_EQ(GR_PendingWindowHeight, 90);
    EXPECT_TRUE(GR_Window_Changed);
}

TEST_F(DisplayFunctions, SizeLimitsReachTheWindow)
{
    Call("window_set_min_width", {R(150)});
    Call("window_set_min_height", {R(80)});
    Call("window_set_max_width", {R(400)});
    int w = 0, h = 0;
    SDL_GetWindowMinimumSize(Sdl(), &w, &h);
    EXPECT_EQ(w, 150);
    EXPECT_EQ(h, 80);
    SDL_GetWindowMaximumSize(Sdl(), &w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_GE(h, 16384) << "no maximum height";
    // A maximum below the minimum cannot hold both; it is raised to the minimum.
    Call("window_set_max_height", {R(50)});
    SDL_GetWindowMaximumSize(Sdl(), &w, &h);
    EXPECT_EQ(h, 80);
    Call("window_set_min_width", {R(0)});
    SDL_GetWindowMinimumSize(Sdl(), &w, &h);
    EXPECT_EQ(w, 1) << "0 lifts the limit";
    EXPECT_EQ(GR_Window_Limits.maxHeight, 50) << "the game's value is kept as given";
}

TEST_F(DisplayFunctions, FullScreenColourAndCursor)
{
    DeviceResetCountdown = 0;
    Call("window_set_fullscreen", {R(1)});
    EXPECT_EQ(Num("window_get_fullscreen"), 1);
    EXPECT_EQ(DeviceResetCountdown, 1) << "applied by a device reset at the end of the frame";
    Call("window_set_fullscreen", {R(0)});
    EXPECT_EQ(Num("window_get_fullscreen"), 0);

    Call("window_set_colour", {R(0xFF123456)});
    EXPECT_EQ(Num("window_get_color"), 0x123456);
    Call("window_set_cursor", {R(-1)});
    EXPECT_EQ(Num("window_get_cursor"), -1);
    Call("window_set_cursor", {R(-3)});
    EXPECT_EQ(Num("window_get_cursor"), -3);
}

TEST_F(DisplayFunctions, PropertiesTheDesktopDoesNotHave)
{
    for (const char* setter : {"window_set_sizeable", "window_set_showborder", "window_set_showicons",
                               "window_set_stayontop", "window_set_visible"}) {
        const ScriptValue result = Call(setter, {R(1)});
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << setter;
    }
    for (const char* getter : {"window_get_sizeable", "window_get_showborder", "window_get_showicons",
                               "window_get_stayontop"})
        EXPECT_EQ(Num(getter), 0) << getter;
    EXPECT_EQ(Num("window_get_visible"), 1);
    EXPECT_EQ(Num("display_get_orientation"), 0);
    EXPECT_EQ(Num("display_set_ui_visibility", {R(1)}), 0);
    EXPECT_TRUE(Reals("window_get_visible_rects", {R(0), R(0), R(100), R(100)}).empty());
}

TEST_F(DisplayFunctions, DisplayModesAndTheDeviceReset)
{
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    EXPECT_EQ(Num("display_get_width"), desktop.w);
    EXPECT_EQ(Num("display_get_height"), desktop.h);

    // A device reset releases every surface.
    int32_t surface = GR_Surface_Create(8, 8, -1);
    ASSERT_GE(surface, 0);
    EXPECT_EQ(Num("display_test_all", {R(12345), R(77), R(60), R(32)}), 0);
    EXPECT_TRUE(GR_Surface_Exists(surface)) << "a test changes nothing";
    EXPECT_EQ(Num("display_set_size", {R(12345), R(77)}), 0);
    EXPECT_FALSE(GR_Surface_Exists(surface)) << "refused, and the device is reset all the same";
    surface = GR_Surface_Create(8, 8, -1);
    ASSERT_GE(surface, 0);
    EXPECT_EQ(Num("display_set_all", {R(12345), R(77), R(60), R(32)}), 0);
    EXPECT_FALSE(GR_Surface_Exists(surface));
    EXPECT_EQ(Num("display_test_all", {R(desktop.w), R(desktop.h), R(0), R(0)}), 1) << "the current mode exists";
}

TEST_F(DisplayFunctions, ResetAsksForTheEndOfTheFrame)
{
    DeviceResetCountdown = 0;
    GR_D3D_MultisampleSupport = 4;
    const ScriptValue result = Call("display_reset", {R(0x104), R(1)});
    EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(GR_D3D_AntialiasLevel, 4) << "the level's low byte";
    EXPECT_TRUE(GR_D3D_VSync);
    EXPECT_EQ(DeviceResetCountdown, 1);
    Call("display_reset", {R(8)});
    EXPECT_EQ(GR_D3D_AntialiasLevel, 0) << "not supported";
    EXPECT_TRUE(GR_D3D_VSync) << "the registered single argument leaves vertical sync alone";
}

TEST_F(DisplayFunctions, MouseInWindowAndViewCoordinates)
{
    IO_Input.deviceX[0] = 70;
    IO_Input.deviceY[0] = 30;
    // View 1 shows 400 x 200 room pixels from (1000, 500) in the whole 200 x 100 window.
    GR_Window_SetViewMapping(1, 0, 0, 200, 100, 1000, 500, 400, 200, 0, -1, -1);
    struct Case {
        const char* name;
        std::vector<double> args;
        double expected;
    };
    const Case cases[] = {
        {"window_mouse_get_x", {}, 70},
        {"window_mouse_get_y", {}, 30},
        {"window_view_mouse_get_x", {1}, 1140},
        {"window_view_mouse_get_y", {1}, 560},
        {"window_view_mouse_get_x", {5}, 0},  // a view not drawn
        {"window_views_mouse_get_x", {}, 70},  // no room: the window position
        {"window_views_mouse_get_y", {}, 30},
    };
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        for (double d : c.args) args.push_back(R(d));
        EXPECT_EQ(Num(c.name, std::move(args)), c.expected) << c.name;
    }
    EXPECT_EQ(Call("window_views_mouse_set", {R(1), R(2)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(DisplayFunctions, ArgumentsOfTheWrongKindAreFatal)
{
    Call("window_set_caption", {R(5)});
    EXPECT_NE(TakeError().find("window_set_caption argument 1 incorrect type (number) expecting a String"),
              std::string::npos);
    Call("window_set_size", {S("wide"), ScriptValue_Undefined()});
    EXPECT_NE(TakeError().find("window_set_size argument 2 incorrect type (undefined) expecting a Number"),
              std::string::npos);
    EXPECT_EQ(Num("window_get_width"), 200) << "nothing changed";
    Call("display_mouse_set", {R(1)});
    EXPECT_NE(TakeError().find("display_mouse_set: 1 arguments given, 2 needed"), std::string::npos);
}

}  // namespace
