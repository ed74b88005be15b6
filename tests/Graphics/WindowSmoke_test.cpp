// The real window on an X server: an Xvfb of our own, the window's GL
// context, presented frames compared against a capture of the window.
#include <gtest/gtest.h>
// X11's macros clash with the test framework's names: its headers come after.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Host/Host_WindowSdl.h"
#include "support/EnvGuard.h"

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

// Xlib loaded at run time, so only this test needs it.
struct Xlib {
    void* library = nullptr;
    Display* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(Display*) = nullptr;
    XImage* (*getImage)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
    int (*sync)(Display*, Bool) = nullptr;

    bool Load()
    {
        library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!library) return false;
        openDisplay = reinterpret_cast<decltype(openDisplay)>(dlsym(library, "XOpenDisplay"));
        closeDisplay = reinterpret_cast<decltype(closeDisplay)>(dlsym(library, "XCloseDisplay"));
        getImage = reinterpret_cast<decltype(getImage)>(dlsym(library, "XGetImage"));
        sync = reinterpret_cast<decltype(sync)>(dlsym(library, "XSync"));
        return openDisplay && closeDisplay && getImage && sync;
    }
};

class WindowSmokeTest : public ::testing::Test {
protected:
    pid_t server = -1;
    char display[16] = {};
    EnvGuard env;  // later tests, and the runners they start, must not find our server

    void SetUp() override
    {
        if (access(kXvfb, X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed: the real-window test needs it";
        const int number = 90 + static_cast<int>(getpid() % 400);
        std::snprintf(display, sizeof display, ":%d", number);
        server = fork();
        ASSERT_GE(server, 0);
        if (server == 0) {
            execl(kXvfb, kXvfb, display, "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr);
            _exit(127);
        }
        char socket[64];
        std::snprintf(socket, sizeof socket, "/tmp/.X11-unix/X%d", number);
        for (int i = 0; i < 100 && access(socket, F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(access(socket, F_OK), 0) << "Xvfb did not start on " << display;
        env.Set("DISPLAY", display);
        env.Set("SDL_VIDEODRIVER", "x11");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        HostWindow_ResetMessages();
        MainLoopRunning = true;
    }

    void TearDown() override
    {
        if (server <= 0) return;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
};

// The window's pixels as the X server shows them, 0x00RRGGBB.
bool CaptureWindow(HostWindow* window, int x, int y, unsigned long* pixel)
{
    static Xlib xlib;
    if (!xlib.library && !xlib.Load()) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(HostWindow_Sdl(window), &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* connection = xlib.openDisplay(nullptr);
    if (!connection) return false;
    xlib.sync(connection, False);
    XImage* image = xlib.getImage(connection, info.info.x11.window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image) {
        *pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
    }
    xlib.closeDisplay(connection);
    return image != nullptr;
}

// Keeps the GL driver loaded to the end of the process, so that the leak
// check can name (and pass over) what it keeps.
void PinGlDriver()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && std::string(info->dlpi_name).find("_dri.so") != std::string::npos)
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

void DrawFrame(uint32_t whole, uint32_t topHalf)
{
    ASSERT_TRUE(Start_Frame());
    GR_D3D_SetViewport(0, 0, 160, 120);
    GR_D3D_Clear(whole, 1.0f, 0, CLEAR_COLOUR);
    GR_D3D_SetViewport(0, 0, 160, 60);
    GR_D3D_Clear(topHalf, 1.0f, 0, CLEAR_COLOUR);
    GR_D3D_SetViewport(0, 0, 160, 120);
    ASSERT_TRUE(End_Frame(true));
    DispatchPendingMessages();
}

TEST_F(WindowSmokeTest, RealWindowPresentsClearedFramesAndClosesOnQuit)
{
    Option_WindowSettings = WindowOptions{};
    Option_WindowSettings.width = 160;
    Option_WindowSettings.height = 120;
    Option_WindowSettings.caption = "Quillstep smoke";
    GR_Window_Create(160, 120);
    ASSERT_NE(GR_Window_Handle, nullptr) << SDL_GetError();
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 160, 120, 0));
    ASSERT_NE(HGPU_GetDeviceInfo(), nullptr);
    EXPECT_EQ(HGPU_GetDeviceInfo()->driver, HGPU_Driver::Hardware) << "the window's own GL context";
    PinGlDriver();

    for (int frame = 0; frame < 3; ++frame) DrawFrame(0xFF2040C0u, 0xFF10E010u);
    unsigned long bottom = 0, top = 0;
    ASSERT_TRUE(CaptureWindow(GR_Window_Handle, 80, 100, &bottom));
    ASSERT_TRUE(CaptureWindow(GR_Window_Handle, 80, 20, &top));
    EXPECT_EQ(bottom, 0xC04020u) << std::hex << bottom;  // 0x00RRGGBB of the colour word 0x..C04020 (BGR)
    EXPECT_EQ(top, 0x10E010u) << "the top of the frame is the top of the window; got " << std::hex << top;

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    DispatchPendingMessages();
    EXPECT_FALSE(MainLoopRunning);

    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
    EXPECT_TRUE(GR_Window_Destroy(GR_Window_Handle));
}

}  // namespace
