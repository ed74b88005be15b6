// Creating the game window on the dummy video driver (no GL there): the
// device falls back to the software rasteriser off-screen.
#include "Graphics/Graphics_Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"
#include "Host/Host_WindowSdl.h"
#include "support/ImageFixtures.h"
#include "support/RecordingConsole.h"

namespace {

// The window and the device a test leaves go with the engine reset before the next one.
using GameWindowTest = ::testing::Test;

TEST_F(GameWindowTest, WindowWithoutGlDrawsOffScreen)
{
    Option_WindowSettings.caption = "Caption \xC3\xA9";
    GR_Window_Create(200, 100);
    ASSERT_NE(GR_Window_Handle, nullptr) << SDL_GetError();
    EXPECT_EQ(std::string(SDL_GetWindowTitle(HostWindow_Sdl(GR_Window_Handle))), "Caption \xC3\xA9");
    EXPECT_EQ(Win32Window_GetClientWidth(), 200);
    EXPECT_EQ(Win32Window_GetClientHeight(), 100);
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 200, 100, 0));
    EXPECT_EQ(HGPU_GetDeviceInfo()->driver, HGPU_Driver::Warp);
    GR_D3D_ResetFirstFrame();
    ASSERT_TRUE(Start_Frame());
    ASSERT_TRUE(End_Frame(true));
    EXPECT_TRUE(SDL_GetWindowFlags(HostWindow_Sdl(GR_Window_Handle)) & SDL_WINDOW_SHOWN)
        << "shown with the first frame";
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
    SDL_Surface* surface = SDL_GetWindowSurface(HostWindow_Sdl(GR_Window_Handle));
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
        EXPECT_TRUE(SDL_GetWindowFlags(HostWindow_Sdl(GR_Window_Handle)) & c.sdlFlag) << std::hex << c.flags;
        EXPECT_EQ(GR_Window_FullScreen, (c.flags & 1) != 0);
        GR_Window_Destroy(GR_Window_Handle);
    }
}

TEST_F(GameWindowTest, IconIsTheGamesOwnImageElseTheEmblem)
{
    const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(24, 16, ImageFixtures::Bytes(24 * 16 * 4, 0x80));
    const uint8_t broken[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    const struct {
        const char* what;
        const uint8_t* icon;
        uint32_t size;
        int width, height;
        bool logged;
    } cases[] = {
        {"the game's", png.data(), static_cast<uint32_t>(png.size()), 24, 16, false},
        {"none", nullptr, 0, 64, 64, false},
        {"broken", broken, sizeof broken, 64, 64, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingConsole console;
        tagIConsole* const saved = OutputConsole;
        OutputConsole = &console;
        Option_WindowSettings.icon = c.icon;
        Option_WindowSettings.iconSize = c.size;
        GR_Window_Create(64, 64);
        OutputConsole = saved;
        ASSERT_NE(GR_Window_Handle, nullptr);
        int width = 0, height = 0;
        EXPECT_TRUE(HostWindow_GetIconSize(GR_Window_Handle, &width, &height));
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(console.text.find("Unable to load icon\nUnable to load small icon\n") != std::string::npos, c.logged)
            << console.text;
        GR_Window_Destroy(GR_Window_Handle);
    }
    Option_WindowSettings.icon = nullptr;
    Option_WindowSettings.iconSize = 0;
}

TEST_F(GameWindowTest, OperationsWithoutAWindowDoNothing)
{
    EXPECT_FALSE(GR_Window_BringToFront());
    EXPECT_FALSE(Win32Window_Center());
    EXPECT_FALSE(Win32Window_SetPosition(10, 10));
    EXPECT_EQ(Win32Window_GetClientWidth(), 0);
    Win32Window_MouseSet(5, 5);
}

// A size message hands the client size to the display code as the pending
// size and starts the frame loop's countdown of 10 frames, except when it
// must be ignored.
TEST_F(GameWindowTest, SizeMessagesSetThePendingSizeAndTheCountdown)
{
    const struct {
        const char* what;
        uint64_t kind;
        int width, height;
        bool ignoreNext, fullScreen, resizing;
        int pendingWidth, pendingHeight, countdown;
    } cases[] = {
        {"restored", SIZE_RESTORED, 300, 200, false, false, false, 300, 200, 10},
        {"maximised", SIZE_MAXIMIZED, 1024, 768, false, false, false, 1024, 768, 10},
        {"no height", SIZE_RESTORED, 300, 0, false, false, false, -1, -1, 10},
        {"first after creation", SIZE_RESTORED, 300, 200, true, false, false, 7, 7, 3},
        {"minimised", SIZE_MINIMIZED, 0, 0, false, false, false, 7, 7, 3},
        {"full screen", SIZE_RESTORED, 300, 200, false, true, false, 7, 7, 3},
        {"swap chain being resized", SIZE_RESTORED, 300, 200, false, false, true, 7, 7, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GR_PendingWindowWidth = GR_PendingWindowHeight = 7;
        DeviceResetCountdown = 3;
        GR_Window_IgnoreNextSize = c.ignoreNext;
        GR_Window_FullScreen = c.fullScreen;
        GR_D3D_Resizing = c.resizing;
        GR_Window_WndProc(nullptr, WM_SIZE, c.kind, (int64_t{c.height} << 16) | c.width);
        EXPECT_EQ(GR_PendingWindowWidth, c.pendingWidth);
        EXPECT_EQ(GR_PendingWindowHeight, c.pendingHeight);
        EXPECT_EQ(DeviceResetCountdown, c.countdown);
        EXPECT_FALSE(GR_Window_IgnoreNextSize) << "only the first message is skipped";
    }
    GR_D3D_Resizing = false;
    DeviceResetCountdown = 0;
    GR_D3D_ForgetPendingWindowSize();
}

// window_set_size starts the countdown only for a real change, and never
// cuts short a reset that is due or a longer wait.
TEST_F(GameWindowTest, SetSizeStartsTheCountdownOnlyWhenItMatters)
{
    GR_Window_Create(200, 100);
    ASSERT_NE(GR_Window_Handle, nullptr);
    const struct {
        const char* what;
        int width, height;
        bool fullScreen;
        int countdownBefore, countdownAfter;
    } cases[] = {
        {"new size", 300, 150, false, 0, 10},
        {"new size while counting", 300, 150, false, 4, 10},
        {"same size", 200, 100, false, 0, 0},
        {"reset due next frame", 300, 150, false, 1, 1},
        {"longer wait", 300, 150, false, 12, 12},
        {"full screen", 300, 150, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GR_Window_FullScreen = c.fullScreen;
        DeviceResetCountdown = c.countdownBefore;
        Win32Window_SetSize(c.width, c.height);
        EXPECT_EQ(GR_PendingWindowWidth, c.width) << "the size is kept in any case";
        EXPECT_EQ(GR_PendingWindowHeight, c.height);
        EXPECT_EQ(DeviceResetCountdown, c.countdownAfter);
    }
    DeviceResetCountdown = 5;
    Win32Window_SetSize(0, 100);  // refused outright
    EXPECT_EQ(DeviceResetCountdown, 5);
    DeviceResetCountdown = 0;
    GR_D3D_ForgetPendingWindowSize();
}

}  // namespace
