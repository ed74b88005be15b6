// Creating the game window on the dummy video driver (no GL there): the
// device falls back to the software rasteriser off-screen.
#include "Graphics/Graphics_Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Runner_Stub.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"

namespace {

// The window and the device a test leaves go with the engine reset before the next one.
using GameWindowTest = ::testing::Test;

TEST_F(GameWindowTest, WindowWithoutGlDrawsOffScreen)
{
    Option_WindowSettings.caption = "Caption \xC3\xA9";
    GR_Window_Create(200, 100);
    ASSERT_NE(GR_Window_Handle, nullptr) << SDL_GetError();
    EXPECT_EQ(std::string(SDL_GetWindowTitle(GR_Window_Handle)), "Caption \xC3\xA9");
    EXPECT_EQ(Win32Window_GetClientWidth(), 200);
    EXPECT_EQ(Win32Window_GetClientHeight(), 100);
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 200, 100, 0));
    EXPECT_EQ(HGPU_GetDeviceInfo()->driver, HGPU_Driver::Warp);
    GR_D3D_ResetFirstFrame();
    ASSERT_TRUE(Start_Frame());
    ASSERT_TRUE(End_Frame(true));
    EXPECT_TRUE(SDL_GetWindowFlags(GR_Window_Handle) & SDL_WINDOW_SHOWN) << "shown with the first frame";
}

TEST_F(GameWindowTest, SoftwareFramesReachTheWindowSurface)
{
    GR_Window_Create(40, 30);
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 40, 30, 0));
    ASSERT_TRUE(Start_Frame());
    GR_D3D_SetViewport(0, 0, 40, 15);
    GR_D3D_Clear(0xFF0000FFu, 1.0f, 0, 1);  // red over the top half
    GR_D3D_SetViewport(0, 0, 40, 30);
    ASSERT_TRUE(End_Frame(true));
    SDL_Surface* surface = SDL_GetWindowSurface(GR_Window_Handle);
    ASSERT_NE(surface, nullptr);
    auto at = [&](int x, int y) {
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        uint32_t value = 0;
        std::memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
        uint8_t r, g, b;
        SDL_GetRGB(value, surface->format, &r, &g, &b);
        return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
    };
    EXPECT_EQ(at(20, 2), 0xFF0000u);
    EXPECT_EQ(at(20, 28), 0x000000u);
}

TEST_F(GameWindowTest, RenderAreaIsLimitedToTheWindow)
{
    GR_Window_Create(120, 90);
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 400, 300, 0));
    EXPECT_EQ(GR_D3D_BackBufferWidth, 120);
    EXPECT_EQ(GR_D3D_BackBufferHeight, 90);
}

TEST_F(GameWindowTest, CursorShowsOnlyWithBothOptions)
{
    struct Case { uint32_t flags; int showCursor; int value; };
    const Case cases[] = {{0x20, 1, 0}, {0x20, 0, -1}, {0x00, 1, -1}};
    for (const Case& c : cases) {
        Option_WindowSettings.flags = c.flags;
        Option_WindowSettings.showCursor = c.showCursor;
        GR_Window_Create(64, 64);
        EXPECT_EQ(Win32Window_GetCursor(), c.value) << c.flags << " " << c.showCursor;
        GR_Window_Destroy(GR_Window_Handle);
    }
}

TEST_F(GameWindowTest, StyleFollowsTheOptionFlags)
{
    struct Case { uint32_t flags; uint32_t sdlFlag; };
    const Case cases[] = {{0x4000, SDL_WINDOW_BORDERLESS}, {0x40, SDL_WINDOW_RESIZABLE}, {0x1, SDL_WINDOW_BORDERLESS}};
    for (const Case& c : cases) {
        Option_WindowSettings.flags = c.flags;
        GR_Window_Create(64, 64);
        ASSERT_NE(GR_Window_Handle, nullptr);
        EXPECT_TRUE(SDL_GetWindowFlags(GR_Window_Handle) & c.sdlFlag) << std::hex << c.flags;
        EXPECT_EQ(GR_Window_FullScreen, (c.flags & 1) != 0);
        GR_Window_Destroy(GR_Window_Handle);
    }
}

TEST_F(GameWindowTest, OperationsWithoutAWindowDoNothing)
{
    EXPECT_FALSE(GR_Window_BringToFront());
    EXPECT_FALSE(Win32Window_Center());
    EXPECT_FALSE(Win32Window_SetPosition(10, 10));
    EXPECT_EQ(Win32Window_GetClientWidth(), 0);
    Win32Window_MouseSet(5, 5);
}

}  // namespace
