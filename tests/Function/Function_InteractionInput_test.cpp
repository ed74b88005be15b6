// Keyboard, mouse and legacy joystick built-ins over input from the SDL pump.
#include <gtest/gtest.h>

#include "Function/InteractionFunctionFixture.h"
#include "Options/Runner_Options.h"

namespace {
constexpr int kNoKey = 0, kAnyKey = 1, kMbAny = -1, kMbNone = 0, kMbLeft = 1, kMbRight = 2;

TEST_F(InteractionFunctions, KeyStatesFollowTheFrames)
{
    EXPECT_EQ(Num("keyboard_check", {R(kNoKey)}), 1);
    Key(SDL_SCANCODE_A, true);
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('A')}), 1);
    EXPECT_EQ(Num("keyboard_check_pressed", {R('A')}), 1);
    EXPECT_EQ(Num("keyboard_check_pressed", {R(kAnyKey)}), 1);
    EXPECT_EQ(Num("keyboard_check_pressed", {R(kNoKey)}), 0);
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R(kNoKey)}), 0) << "A is still held";
    EXPECT_EQ(Num("keyboard_check_pressed", {R(kNoKey)}), 1) << "no key went down this frame";
    EXPECT_EQ(Num("keyboard_check_pressed", {R('A')}), 0);
    EXPECT_EQ(Num("keyboard_check", {R(300)}), 0);
    EXPECT_EQ(Num("keyboard_check_pressed", {R(-5)}), 0);
    Key(SDL_SCANCODE_A, false);
    Frame();
    EXPECT_EQ(Num("keyboard_check_released", {R('A')}), 1);
    EXPECT_EQ(Num("keyboard_check_released", {R(kAnyKey)}), 1);
    EXPECT_EQ(Num("keyboard_check", {R(kAnyKey)}), 0);
}

TEST_F(InteractionFunctions, KeyMapAndClear)
{
    Call("keyboard_set_map", {R('A'), R('B')});
    EXPECT_EQ(Num("keyboard_get_map", {R('A')}), 'B');
    Key(SDL_SCANCODE_A, true);
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('B')}), 1);
    EXPECT_EQ(Num("keyboard_check", {R('A')}), 0);
    Call("keyboard_clear", {R('B')});
    EXPECT_EQ(Num("keyboard_check", {R('B')}), 0);
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('B')}), 0) << "cleared in the latch too";
    Call("keyboard_unset_map", {});
    EXPECT_EQ(Num("keyboard_get_map", {R('A')}), 'A');
}

TEST_F(InteractionFunctions, MouseButtonsWheelAndClear)
{
    EXPECT_EQ(Num("mouse_check_button", {R(kMbNone)}), 1);
    Button(SDL_BUTTON_LEFT, true);
    Button(SDL_BUTTON_RIGHT, true);
    Wheel(1);
    Frame();
    struct Case { int button; double held, pressed; };
    for (const Case& c : {Case{kMbLeft, 1, 1}, Case{kMbRight, 1, 1}, Case{3, 0, 0}, Case{kMbAny, 1, 1},
                          Case{kMbNone, 0, 0}, Case{4, 0, 0}}) {
        EXPECT_EQ(Num("mouse_check_button", {R(c.button)}), c.held) << c.button;
        EXPECT_EQ(Num("mouse_check_button_pressed", {R(c.button)}), c.pressed) << c.button;
    }
    EXPECT_EQ(Num("mouse_wheel_up", {}), 1);
    EXPECT_EQ(Num("mouse_wheel_down", {}), 0);
    Call("mouse_clear", {R(kMbAny)});
    EXPECT_EQ(Num("mouse_check_button", {R(kMbAny)}), 0);
    Frame();
    EXPECT_EQ(Num("mouse_check_button", {R(kMbAny)}), 0) << "the latch was cleared too";
    EXPECT_EQ(Num("mouse_wheel_up", {}), 0) << "the wheel lasts one frame";
    Button(SDL_BUTTON_LEFT, true);
    Frame();
    Button(SDL_BUTTON_LEFT, false);
    Frame();
    EXPECT_EQ(Num("mouse_check_button_released", {R(kMbLeft)}), 1);
    EXPECT_EQ(Num("mouse_check_button_released", {R(kMbNone)}), 0);
}

TEST_F(InteractionFunctions, SentKeysComeBackThroughThePump)
{
    Call("keyboard_key_press", {R('Q')});
    EXPECT_EQ(Num("keyboard_check", {R('Q')}), 0) << "nothing changes before the pump";
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('Q')}), 1);
    EXPECT_EQ(Num("keyboard_check_direct", {R('Q')}), 1);
    Call("keyboard_key_release", {R('Q')});
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('Q')}), 0);
    EXPECT_EQ(Num("keyboard_check_direct", {R('Q')}), 0);
}

TEST_F(InteractionFunctions, NumLockTogglesOnlyWhenItDiffers)
{
    const bool on = Num("keyboard_get_numlock", {}) == 1;
    Call("keyboard_set_numlock", {R(on ? 1 : 0)});
    EXPECT_EQ(Num("keyboard_get_numlock", {}) == 1, on);
    Call("keyboard_set_numlock", {R(on ? 0 : 1)});
    EXPECT_EQ(Num("keyboard_get_numlock", {}) == 1, !on);
    Frame();
    EXPECT_EQ(Num("keyboard_check_pressed", {R(144)}), 1) << "the toggle reaches the game as a key";
    Call("keyboard_set_numlock", {R(on ? 1 : 0)});
}

TEST_F(InteractionFunctions, WaitsReturnOnTheFirstPressWithoutAFrame)
{
    HeadlessMode.noDialogs = false;
    Key(SDL_SCANCODE_K, true);
    Call("keyboard_wait", {});
    EXPECT_EQ(IO_WindowLatch.lastKey, 'K');
    EXPECT_EQ(Num("keyboard_check", {R('K')}), 0) << "the frame state waits for the next update";
    Button(SDL_BUTTON_RIGHT, true);
    Call("mouse_wait", {});
    EXPECT_EQ(IO_WindowLatch.lastButton, kMbRight);
}

TEST_F(InteractionFunctions, JoysticksAndGesturesDependOnTheGameVersion)
{
    Register(false);
    int32_t index = -1;
    EXPECT_TRUE(CodeFunction_Find("joystick_exists", &index));
    EXPECT_FALSE(CodeFunction_Find("gesture_drag_time", &index));
    Register(true);
    EXPECT_FALSE(CodeFunction_Find("joystick_exists", &index));
    EXPECT_TRUE(CodeFunction_Find("gesture_drag_time", &index));
    Call("gesture_double_tap_time", {R(0.5)});
    EXPECT_EQ(Num("gesture_get_double_tap_time", {}), 0.5);
}

// A legacy game reads a virtual stick as joystick 1.
struct LegacyJoystick : InteractionFunctions {
    int device = -1;
    SDL_Joystick* stick = nullptr;

    void SetUp() override
    {
        InteractionFunctions::SetUp();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
        Register(false);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_FLIGHT_STICK;
        desc.naxes = 3;
        desc.nbuttons = 4;
        desc.nhats = 1;
        desc.name = "Test stick";
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0);
        stick = SDL_JoystickOpen(device);
        ASSERT_NE(stick, nullptr);
    }
    void TearDown() override
    {
        SDL_JoystickClose(stick);
        SDL_JoystickDetachVirtual(device);
        SDL_JoystickUpdate();
        InteractionFunctions::TearDown();
    }
};

TEST_F(LegacyJoystick, PositionsButtonsAndHat)
{
    EXPECT_EQ(Num("joystick_exists", {R(1)}), 1);
    EXPECT_EQ(Num("joystick_exists", {R(2)}), 0);
    EXPECT_EQ(Num("joystick_direction", {R(2)}), 101) << "a missing joystick";
    EXPECT_EQ(Str("joystick_name", {R(1)}), "Test stick");
    EXPECT_EQ(Num("joystick_axes", {R(1)}), 3);
    EXPECT_EQ(Num("joystick_buttons", {R(1)}), 4);
    EXPECT_EQ(Num("joystick_has_pov", {R(1)}), 1);
    EXPECT_EQ(Num("joystick_pov", {R(1)}), -1) << "centred";
    EXPECT_EQ(Num("joystick_direction", {R(1)}), 101);

    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualAxis(stick, 1, -32768);
    SDL_JoystickSetVirtualButton(stick, 1, 1);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHT);
    EXPECT_EQ(Num("joystick_direction", {R(1)}), 105) << "up and right";
    EXPECT_NEAR(Num("joystick_xpos", {R(1)}), 65535.0f / 32767.0f - 1.0f, 1e-6);
    EXPECT_EQ(Num("joystick_ypos", {R(1)}), -1);
    EXPECT_NEAR(Num("joystick_zpos", {R(1)}), 0, 1e-4) << "a resting axis";
    EXPECT_EQ(Num("joystick_check_button", {R(1), R(2)}), 1);
    EXPECT_EQ(Num("joystick_check_button", {R(1), R(1)}), 0);
    EXPECT_EQ(Num("joystick_check_button", {R(1), R(33)}), 0);
    EXPECT_EQ(Num("joystick_pov", {R(1)}), 90);
}
}  // namespace
