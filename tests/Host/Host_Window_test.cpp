// Key translation and the SDL event pump feeding the window procedure.
#include "Host/Host_Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/DebugOverlay.h"
#include "IO/IO_Main.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "support/StandIns.h"

namespace {

TEST(KeyTranslationTest, ScanCodesBecomeVirtualKeys)
{
    struct Case { SDL_Scancode scancode; int vk; bool extended; };
    const Case cases[] = {
        {SDL_SCANCODE_A, 'A', false}, {SDL_SCANCODE_Z, 'Z', false}, {SDL_SCANCODE_0, '0', false},
        {SDL_SCANCODE_1, '1', false}, {SDL_SCANCODE_9, '9', false}, {SDL_SCANCODE_F1, 112, false},
        {SDL_SCANCODE_F12, 123, false}, {SDL_SCANCODE_F13, 124, false}, {SDL_SCANCODE_KP_0, 96, false},
        {SDL_SCANCODE_KP_9, 105, false}, {SDL_SCANCODE_KP_ENTER, 13, true}, {SDL_SCANCODE_RETURN, 13, false},
        {SDL_SCANCODE_ESCAPE, 27, false}, {SDL_SCANCODE_BACKSPACE, 8, false}, {SDL_SCANCODE_TAB, 9, false},
        {SDL_SCANCODE_SPACE, 32, false}, {SDL_SCANCODE_LEFT, 37, true}, {SDL_SCANCODE_UP, 38, true},
        {SDL_SCANCODE_RIGHT, 39, true}, {SDL_SCANCODE_DOWN, 40, true}, {SDL_SCANCODE_INSERT, 45, true},
        {SDL_SCANCODE_DELETE, 46, true}, {SDL_SCANCODE_HOME, 36, true}, {SDL_SCANCODE_END, 35, true},
        {SDL_SCANCODE_PAGEUP, 33, true}, {SDL_SCANCODE_PAGEDOWN, 34, true}, {SDL_SCANCODE_LSHIFT, 16, false},
        {SDL_SCANCODE_RSHIFT, 16, false}, {SDL_SCANCODE_LCTRL, 17, false}, {SDL_SCANCODE_RCTRL, 17, true},
        {SDL_SCANCODE_LALT, 18, false}, {SDL_SCANCODE_RALT, 18, true}, {SDL_SCANCODE_SEMICOLON, 186, false},
        {SDL_SCANCODE_EQUALS, 187, false}, {SDL_SCANCODE_COMMA, 188, false}, {SDL_SCANCODE_MINUS, 189, false},
        {SDL_SCANCODE_PERIOD, 190, false}, {SDL_SCANCODE_SLASH, 191, false}, {SDL_SCANCODE_GRAVE, 192, false},
        {SDL_SCANCODE_KP_DIVIDE, 111, true}, {SDL_SCANCODE_KP_MULTIPLY, 106, false},
        {SDL_SCANCODE_PAUSE, 19, false}, {SDL_SCANCODE_CAPSLOCK, 20, false}, {SDL_SCANCODE_UNKNOWN, 0, false},
        {SDL_SCANCODE_MUTE, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HostWindow_ScancodeToVirtualKey(c.scancode), c.vk) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(HostWindow_IsExtendedKey(c.scancode), c.extended) << SDL_GetScancodeName(c.scancode);
    }
}

// Pushes SDL events and pumps them through the game window's procedure.
class WindowPumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HostWindow_InitVideo());
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        HostWindow_ResetMessages();
        MainLoopRunning = true;
        IO_Init();
        IO_Update();
    }

    static void Key(SDL_Scancode scancode, bool down, bool repeat = false)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }
    static void Button(uint8_t button, bool down, int x, int y)
    {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    static void WindowEvent(uint8_t kind, int a = 0, int b = 0)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.data1 = a;
        event.window.data2 = b;
        SDL_PushEvent(&event);
    }
    static void Frame()
    {
        DispatchPendingMessages();
        IO_Update();
    }
};

TEST_F(WindowPumpTest, ShiftReportsTheGenericThenTheSideCode)
{
    struct Case { SDL_Scancode scancode; int generic; int side; };
    const Case cases[] = {{SDL_SCANCODE_RSHIFT, 16, 161}, {SDL_SCANCODE_LSHIFT, 16, 160},
                          {SDL_SCANCODE_RCTRL, 17, 163}, {SDL_SCANCODE_LCTRL, 17, 162},
                          {SDL_SCANCODE_RALT, 18, 165}, {SDL_SCANCODE_LALT, 18, 164}};
    for (const Case& c : cases) {
        Key(c.scancode, true);
        Frame();
        EXPECT_EQ(IO_CheckKeyPressed(c.generic), 1) << c.side;
        EXPECT_EQ(IO_CheckKeyPressed(c.side), 1) << c.side;
        EXPECT_EQ(IO_GetLastKey(), c.side);
        Key(c.scancode, false);
        Frame();
        EXPECT_EQ(IO_CheckKeyReleased(c.generic), 1) << c.side;
        EXPECT_EQ(IO_CheckKeyReleased(c.side), 1) << c.side;
        EXPECT_EQ(IO_CheckKey(c.side), 0);
    }
}

TEST_F(WindowPumpTest, BothShiftsInOneBatchKeepTheirSides)
{
    Key(SDL_SCANCODE_LSHIFT, true);
    Key(SDL_SCANCODE_RSHIFT, true);
    Frame();
    EXPECT_EQ(IO_CheckKeyPressed(160), 1);
    EXPECT_EQ(IO_CheckKeyPressed(161), 1);
    Key(SDL_SCANCODE_RSHIFT, false);
    Key(SDL_SCANCODE_LSHIFT, false);
    Frame();
    EXPECT_EQ(IO_CheckKeyReleased(160), 1);
    EXPECT_EQ(IO_CheckKeyReleased(161), 1);
    EXPECT_EQ(IO_KeyboardCheck(1), 0);
}

TEST_F(WindowPumpTest, RepeatedKeyDownKeepsTheKeyHeld)
{
    Key(SDL_SCANCODE_SPACE, true);
    Frame();
    EXPECT_EQ(IO_CheckKeyPressed(32), 1);
    Key(SDL_SCANCODE_SPACE, true, true);
    Frame();
    EXPECT_EQ(IO_CheckKeyPressed(32), 0);
    EXPECT_EQ(IO_KeyboardCheck(32), 1);
    Key(SDL_SCANCODE_SPACE, false);
    Frame();
    EXPECT_EQ(IO_KeyboardCheck(32), 0);
    EXPECT_EQ(IO_KeyboardCheck(0), 1);
}

TEST_F(WindowPumpTest, TextArrivesAsUtf16UnitsAndBackspaceEdits)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strcpy(event.text.text, "a\xC3\xA9\xF0\x9F\x98\x80");
    SDL_PushEvent(&event);
    Frame();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(IO_Input.keyboardStringLength, 4) << "the emoji is two units";
    Key(SDL_SCANCODE_BACKSPACE, true);  // one press takes the whole pair
    Key(SDL_SCANCODE_BACKSPACE, false);
    Frame();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "a\xC3\xA9");
    EXPECT_EQ(IO_Input.keyboardStringLength, 2);
    Key(SDL_SCANCODE_BACKSPACE, true);
    Frame();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "a");
    EXPECT_EQ(IO_GetLastChar(), 8);
}

TEST_F(WindowPumpTest, ButtonsMapToLeftRightMiddle)
{
    struct Case { uint8_t sdl; int button; };
    const Case cases[] = {{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 3}};
    for (const Case& c : cases) {
        Button(c.sdl, true, 10, 20);
        Frame();
        EXPECT_EQ(IO_CheckButtonPressed(c.button, 0), 1) << c.button;
        EXPECT_EQ(IO_GetMouseButton(0), c.button);
        Button(c.sdl, false, -5, 20);
        Frame();
        EXPECT_EQ(IO_CheckButtonReleased(c.button, 0), 1) << c.button;
    }
    EXPECT_EQ(GR_Window_CaptureCount, 0);
}

TEST_F(WindowPumpTest, ReleaseLeftOfTheWindowHasANegativeX)
{
    Button(SDL_BUTTON_LEFT, true, 3, 4);
    Button(SDL_BUTTON_LEFT, false, -12, 4);
    DispatchPendingMessages();
    EXPECT_EQ(IO_LatchPointerEvents[0].x, -12);
}

TEST_F(WindowPumpTest, WheelAndMotion)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = -1;
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 33;
    event.motion.y = 44;
    SDL_PushEvent(&event);
    Frame();
    EXPECT_EQ(IO_CheckWheelDown(0), 1);
    EXPECT_EQ(IO_CheckWheelUp(0), 0);
    EXPECT_EQ(IO_Input.mouseX, 33);
    EXPECT_EQ(IO_Input.mouseY, 44);
}

TEST_F(WindowPumpTest, CloseEndsTheMainLoopAndLeavesLaterMessagesQueued)
{
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    Key(SDL_SCANCODE_Q, true);
    DispatchPendingMessages();
    EXPECT_FALSE(MainLoopRunning);
    IO_Update();
    EXPECT_EQ(IO_CheckKey('Q'), 0);
    MainLoopRunning = true;
    Frame();
    EXPECT_TRUE(MainLoopRunning);
    EXPECT_EQ(IO_CheckKey('Q'), 1);
}

TEST_F(WindowPumpTest, QuitRequestClosesOnce)
{
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    DispatchPendingMessages();
    EXPECT_FALSE(MainLoopRunning);
    MainLoopRunning = true;
    DispatchPendingMessages();
    EXPECT_TRUE(MainLoopRunning) << "the quit that followed the close asks nothing more";
}

TEST_F(WindowPumpTest, FocusChangesClearInputAndPause)
{
    Key(SDL_SCANCODE_W, true);
    Frame();
    ASSERT_EQ(IO_CheckKey('W'), 1);
    Kivo_PauseRegistered = false;
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Frame();
    EXPECT_EQ(IO_CheckKey('W'), 0);
    EXPECT_FALSE(GR_Window_HasFocus());
    EXPECT_TRUE(Kivo_PauseRegistered);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Frame();
    EXPECT_TRUE(GR_Window_HasFocus());
}

TEST_F(WindowPumpTest, SizeChangeAfterTheFirstSetsThePendingSize)
{
    GR_Window_IgnoreNextSize = true;
    GR_D3D_ForgetPendingWindowSize();
    DeviceResetCountdown = 0;
    WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200);
    DispatchPendingMessages();
    EXPECT_EQ(GR_PendingWindowWidth, -1) << "the first size after creation is ignored";
    EXPECT_EQ(DeviceResetCountdown, 0);
    WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 240);
    DispatchPendingMessages();
    EXPECT_EQ(GR_PendingWindowWidth, 320);
    EXPECT_EQ(GR_PendingWindowHeight, 240);
    EXPECT_EQ(DeviceResetCountdown, 10);
    WindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    DeviceResetCountdown = 0;
    DispatchPendingMessages();
    EXPECT_EQ(DeviceResetCountdown, 0) << "minimising is no new size";
}

TEST_F(WindowPumpTest, AltEnterSwitchesFullScreenOnlyWhenAllowed)
{
    for (bool allowed : {false, true}) {
        Option_WindowSettings.altEnter = allowed;
        GR_Window_FullScreen = false;
        Key(SDL_SCANCODE_LALT, true);
        Key(SDL_SCANCODE_RETURN, true);
        Key(SDL_SCANCODE_RETURN, false);
        Key(SDL_SCANCODE_LALT, false);
        DispatchPendingMessages();
        EXPECT_EQ(GR_Window_FullScreen, allowed);
    }
}

TEST_F(WindowPumpTest, AltF4EndsAChildGameAndClosesAnyOther)
{
    Key(SDL_SCANCODE_LALT, true);
    Key(SDL_SCANCODE_F4, true);
    DispatchPendingMessages();
    EXPECT_FALSE(MainLoopRunning);
    MainLoopRunning = true;
    HostWindow_ResetMessages();
    char parent[] = "parent.win";
    ExitGamePath = parent;
    PendingRoomCode = -1;
    Key(SDL_SCANCODE_LALT, true);
    Key(SDL_SCANCODE_F4, true);
    Frame();
    ExitGamePath = nullptr;  // the array is ours, not the memory manager's
    EXPECT_TRUE(MainLoopRunning);
    EXPECT_EQ(PendingRoomCode, -100);
    EXPECT_EQ(IO_CheckKeyPressed(VK_F4), 1);
}

TEST(WindowSizingTest, LargeWindowsFitTheScreen)
{
    struct Case { int w, h, screenW, screenH, frame; bool keep; int ew, eh; };
    const Case cases[] = {
        {1920, 1200, 1600, 900, 31, true, 1390, 869},  // narrowed to 1600 x 1000, then shortened
        {1920, 1200, 1600, 900, 31, false, 1600, 869},
        {800, 600, 1600, 900, 31, true, 800, 600},
        {800, 900, 1600, 900, 0, true, 800, 900},  // borderless: no frame to leave room for
    };
    for (const Case& c : cases) {
        int w = c.w, h = c.h;
        GR_Window_FitToScreen(&w, &h, c.screenW, c.screenH, c.frame, c.keep);
        EXPECT_EQ(w, c.ew) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.eh) << c.w << "x" << c.h;
    }
}

TEST(WindowOperationsTest, SetSizeAndCursorFollowTheirRules)
{
    GR_D3D_ForgetPendingWindowSize();
    DeviceResetCountdown = 0;
    Win32Window_SetSize(0, 200);
    EXPECT_EQ(GR_PendingWindowWidth, -1);
    EXPECT_EQ(DeviceResetCountdown, 0);
    Win32Window_SetSize(640, 480);
    EXPECT_EQ(GR_PendingWindowWidth, 640);
    EXPECT_EQ(DeviceResetCountdown, 10);
    DeviceResetCountdown = 1;
    Win32Window_SetSize(650, 480);
    EXPECT_EQ(DeviceResetCountdown, 1) << "a due reset is not postponed";
    Win32Window_SetCursor(5);
    EXPECT_EQ(Win32Window_GetCursor(), 5);
    Win32Window_SetCursor(-20);
    EXPECT_EQ(Win32Window_GetCursor(), -20);
    EXPECT_EQ(Win32Window_GetVisibleRects(), 0);
}

TEST(WindowOperationsTest, FullScreenSwitchIsLeftToTheFrameLoop)
{
    GR_Window_FullScreen = false;
    DeviceResetCountdown = 0;
    Win32Window_SetFullscreen(false);
    EXPECT_EQ(DeviceResetCountdown, 0) << "unchanged: nothing";
    Win32Window_SetFullscreen(true);
    EXPECT_EQ(Win32Window_GetFullscreen(), 1);
    EXPECT_EQ(DeviceResetCountdown, 1);
}

}  // namespace
