// Gamepad slots: reading values through the threshold and dead zone, the
// mapping of the gamepad constants, and both back ends fed by SDL virtual
// devices through the real pump.
#include "IO/Gamepad_Class.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Function/InteractionFunctionFixture.h"
#include "Network/Async_Requests.h"
#include "IO/IO_Async.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"
#include "support/AsyncEvents.h"

namespace {
constexpr int kFace1 = 32769, kShoulderLB = 32775, kPadU = 32781, kPadR = 32784, kAxisLH = 32785,
              kAxisLV = 32786;

GamepadState PadWithAxes(std::initializer_list<float> values)
{
    GamepadState pad(16, 4);
    float buttons[16] = {};
    float axes[4] = {};
    int i = 0;
    for (float v : values) axes[i++] = v;
    pad.StoreValues(buttons, axes);
    pad.connected = 1;
    return pad;
}

TEST(GamepadStateTest, DeadZoneStretchesTheLiveRange)
{
    GamepadState pad = PadWithAxes({0.6f, 0.1f, -1.0f, 0.3f});
    EXPECT_FLOAT_EQ(pad.AxisValue(0), 0.6f) << "no dead zone: the raw value";
    pad.axisDeadZone = 0.2f;
    EXPECT_FLOAT_EQ(pad.AxisValue(0), 0.5f);
    EXPECT_FLOAT_EQ(pad.AxisValue(1), 0.0f);
    EXPECT_FLOAT_EQ(pad.AxisValue(2), -1.0f);
    EXPECT_FLOAT_EQ(pad.AxisValue(0 | GAMEPAD_AXIS_NEGATE), -0.5f);
    pad.axisDeadZone = 1.0f;
    EXPECT_FLOAT_EQ(pad.AxisValue(2), -1.0f) << "a full dead zone leaves only the sign";
    for (int code : {-1, 4, 0x8000 | 9, 0x1000 | 99}) EXPECT_EQ(pad.AxisValue(code), 0.0f) << code;
}

TEST(GamepadStateTest, AxesReadAsButtons)
{
    GamepadState pad = PadWithAxes({-0.1f, 0.2f, 0.5f, -0.7f});
    pad.axisDeadZone = 0.3f;
    const int positive = GAMEPAD_AXIS_AS_BUTTON, negative = GAMEPAD_AXIS_AS_BUTTON | GAMEPAD_AXIS_NEGATIVE;
    EXPECT_EQ(pad.ButtonValue(positive | 0), 0.0f);
    EXPECT_EQ(pad.ButtonValue(positive | 1), 0.0f);
    EXPECT_FLOAT_EQ(pad.ButtonValue(positive | 2), 0.5f);
    EXPECT_FLOAT_EQ(pad.ButtonValue(negative | 3), 0.7f);
    EXPECT_TRUE(pad.ButtonDown(negative | 3));
    EXPECT_FALSE(pad.ButtonDown(positive | 3));
    EXPECT_EQ(pad.ButtonValue(positive | 40), 0.0f) << "an axis past the record reads nothing";
    EXPECT_FALSE(pad.ButtonDown(-1));
}

TEST(GamepadStateTest, PressedAndReleasedAreEdgesOfTheThreshold)
{
    GamepadState pad(16, 4);
    pad.connected = 1;
    float buttons[16] = {}, axes[4] = {};
    buttons[3] = 0.6f;
    axes[1] = 0.9f;
    pad.StoreValues(buttons, axes);
    const int axisButton = GAMEPAD_AXIS_AS_BUTTON | 1;
    EXPECT_TRUE(pad.ButtonPressed(3));
    EXPECT_TRUE(pad.ButtonPressed(axisButton));
    pad.StoreValues(buttons, axes);
    EXPECT_TRUE(pad.ButtonDown(3));
    EXPECT_FALSE(pad.ButtonPressed(3)) << "held, not pressed again";
    buttons[3] = 0.4f;
    axes[1] = 0;
    pad.StoreValues(buttons, axes);
    EXPECT_TRUE(pad.ButtonReleased(3));
    EXPECT_TRUE(pad.ButtonReleased(axisButton));
    pad.buttonThreshold = 0.3f;
    EXPECT_TRUE(pad.ButtonDown(3));
    EXPECT_FALSE(pad.ButtonPressed(16));
}

TEST(GamepadStateTest, ConstantsMapPerBackEnd)
{
    struct Case { int slot, code, button, axis; };
    const Case cases[] = {
        {0, kFace1, 12, 0},      {4, kFace1, 0, 0},       {0, kPadU, 0, 0},        {4, kPadU, 0x1021, 0},
        {4, kPadR, 0x1020, 0},   {0, kAxisLV, 0, 0x8001}, {4, kAxisLV, 0, 1},      {0, kAxisLH, 0, 0},
        {0, 32800, 0, 0},        {0, 5, 5, 5},            {0, kShoulderLB, 10, 0},
    };
    for (const Case& c : cases) {
        if (c.code < kAxisLH) {
            EXPECT_EQ(Gamepad_MapButton(c.slot, c.code), c.button) << c.code;
        }
        if (c.code >= kAxisLH || c.code < 32768) {
            EXPECT_EQ(Gamepad_MapAxis(c.slot, c.code), c.axis) << c.code;
        }
    }
}

// Virtual devices on the SDL joystick layer; rumble requests are recorded.
struct RumbleLog {
    uint16_t low = 0, high = 0;
    int calls = 0;
};
RumbleLog g_Rumble;

int Rumble(void*, uint16_t low, uint16_t high)
{
    g_Rumble = RumbleLog{low, high, g_Rumble.calls + 1};
    return 0;
}

struct Gamepads : InteractionFunctions {
    std::vector<SDL_JoystickID> attached;

    void SetUp() override
    {
        InteractionFunctions::SetUp();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
        g_Rumble = RumbleLog{};
        Async_FreeRequests();
    }
    void TearDown() override
    {
        Gamepads_Free();
        while (!attached.empty()) Detach(attached.back());
        InteractionFunctions::TearDown();
    }
    // A controller in the standard layout, or a plain stick with a hat. A
    // controller of another kind than a game controller gets a mapping, as
    // one added from a controller database.
    SDL_JoystickID Attach(bool controller, const char* name,
                          SDL_JoystickType kind = SDL_JOYSTICK_TYPE_GAMECONTROLLER)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controller ? kind : SDL_JOYSTICK_TYPE_FLIGHT_STICK;
        desc.naxes = controller ? SDL_CONTROLLER_AXIS_MAX : 3;
        desc.nbuttons = controller ? SDL_CONTROLLER_BUTTON_MAX : 6;
        desc.nhats = controller ? 0 : 1;
        desc.name = name;
        desc.Rumble = Rumble;
        const int device = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(device, 0);
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
        attached.push_back(id);
        if (controller && kind != SDL_JOYSTICK_TYPE_GAMECONTROLLER) {
            char guid[33];
            SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(device), guid, sizeof guid);
            std::memset(guid + 4, '0', 4);  // the name's checksum: a database mapping matches any name
            const std::string mapping = std::string(guid) + "," + name + ",a:b0,b:b1,leftx:a0,lefty:a1";
            EXPECT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
        }
        // The window hears of the new device when the test says so (DeviceChange).
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_JOYDEVICEADDED, SDL_CONTROLLERDEVICEREMAPPED);
        return id;
    }
    void Detach(SDL_JoystickID id)
    {
        std::erase(attached, id);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
    static SDL_Joystick* Device(SDL_JoystickID id)
    {
        SDL_Joystick* joystick = SDL_JoystickFromInstanceID(id);
        if (joystick) return joystick;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) return SDL_JoystickOpen(i);
        return nullptr;
    }
    // The window is told of the change, as SDL tells it.
    static void DeviceChange()
    {
        SDL_Event event{};
        event.type = SDL_JOYDEVICEADDED;
        SDL_PushEvent(&event);
    }
    // The "event_type" and "pad_index" of each waiting system event.
    static std::vector<std::pair<std::string, int>> TakeEvents()
    {
        std::vector<std::pair<std::string, int>> out;
        asyncevents::Events.clear();
        Async_ProcessRequestList(asyncevents::Fire);
        for (const AsyncEventRecord& event : asyncevents::Events) {
            EXPECT_EQ(event.subKind, IO_ASYNC_SYSTEM);
            EXPECT_EQ(event.fields.size(), 2u);
            out.emplace_back(event.fields.at("event_type"), std::stoi(event.fields.at("pad_index")));
        }
        return out;
    }
};

using Events = std::vector<std::pair<std::string, int>>;

TEST_F(Gamepads, ControllerFillsSlotZero)
{
    const SDL_JoystickID id = Attach(true, "Test pad");
    DirectInput_CreatePads();
    EXPECT_EQ(DirectInput_Init(), 0) << "a controller is no raw device";
    EXPECT_EQ(Num("gamepad_get_device_count", {}), 12);
    EXPECT_EQ(Num("gamepad_is_supported", {}), 1);
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 1);
    EXPECT_EQ(Str("gamepad_get_description", {R(0)}), "Xbox 360 Controller (XInput STANDARD GAMEPAD)");
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad discovered", 0}}));

    SDL_Joystick* joystick = Device(id);
    ASSERT_NE(joystick, nullptr);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -32768);  // pushed fully up
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    Call("gamepad_set_vibration", {R(0), R(1), R(0.5)});
    Frame();
    EXPECT_EQ(Num("gamepad_button_check", {R(0), R(kFace1)}), 1);
    EXPECT_EQ(Num("gamepad_button_check_pressed", {R(0), R(kFace1)}), 1);
    EXPECT_EQ(Num("gamepad_axis_value", {R(0), R(kAxisLH)}), -1) << "-32768 reads exactly -1";
    EXPECT_NEAR(Num("gamepad_axis_value", {R(0), R(kAxisLV)}), -1, 1e-4) << "up reads negative";
    EXPECT_EQ(Num("gamepad_button_value", {R(0), R(kShoulderLB)}), 255.0 / 256.0);
    EXPECT_EQ(Num("gamepad_button_check", {R(0), R(kShoulderLB)}), 1);
    EXPECT_EQ(Num("gamepad_button_count", {R(0)}), 16);
    EXPECT_EQ(Num("gamepad_axis_count", {R(0)}), 4);
    EXPECT_EQ(g_Rumble.low, 65535);
    EXPECT_EQ(g_Rumble.high, 32767);

    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -20000);
    Frame();
    EXPECT_EQ(Num("gamepad_button_check", {R(0), R(kShoulderLB)}), 0) << "below half travel";
    EXPECT_EQ(Num("gamepad_button_check_released", {R(0), R(kShoulderLB)}), 1);

    Detach(id);
    Frame();
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad lost", 0}}));
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 0);
    EXPECT_EQ(Str("gamepad_get_description", {R(0)}), "");
    EXPECT_EQ(Num("gamepad_button_check", {R(0), R(kFace1)}), 0);
    EXPECT_EQ(Num("gamepad_button_count", {R(0)}), 0);
}

TEST_F(Gamepads, DescriptionTellsTheKindOfController)
{
    const struct {
        SDL_JoystickType kind;
        const char* description;
    } cases[] = {
        {SDL_JOYSTICK_TYPE_WHEEL, "Xbox 360 Controller (XInput WHEEL)"},
        {SDL_JOYSTICK_TYPE_ARCADE_STICK, "Xbox 360 Controller (XInput ARCADE STICK)"},
        {SDL_JOYSTICK_TYPE_FLIGHT_STICK, "Xbox 360 Controller (XInput FLIGHT STICK)"},
        {SDL_JOYSTICK_TYPE_DANCE_PAD, "Xbox 360 Controller (XInput DANCE PAD)"},
        {SDL_JOYSTICK_TYPE_GUITAR, "Xbox 360 Controller (XInput GUITAR)"},
        {SDL_JOYSTICK_TYPE_DRUM_KIT, "Xbox 360 Controller (XInput DRUM KIT)"},
        {SDL_JOYSTICK_TYPE_THROTTLE, ""},  // no text for it: the description stays as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const SDL_JoystickID id = Attach(true, "Kind pad", c.kind);
        DirectInput_CreatePads();
        DirectInput_Init();
        EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 1);
        EXPECT_EQ(Str("gamepad_get_description", {R(0)}), c.description);
        Gamepads_Free();
        Detach(id);
    }
}

TEST_F(Gamepads, ControllerPluggedInLaterWaitsForTheDeviceChange)
{
    DirectInput_CreatePads();
    DirectInput_Init();
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 0);
    Attach(true, "Late pad");
    Frame();
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 0) << "unconnected pads are not polled";
    DeviceChange();
    Frame();
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 1);
    Gamepad_AnnounceConnected();
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad discovered", 0}, {"gamepad discovered", 0}}))
        << "the connection, then the announcement of a restart";
}

TEST_F(Gamepads, FeatureMaskWithoutBitTwoKeepsControllersAway)
{
    GameGeneral.featureMask = ~4ull;
    Attach(true, "Ignored pad");
    DirectInput_CreatePads();
    DirectInput_Init();
    Frame();
    EXPECT_EQ(Num("gamepad_is_connected", {R(0)}), 0);
    GameGeneral.featureMask = ~0ull;
}

TEST_F(Gamepads, RawSticksBindToTheSlotsAfterTheControllers)
{
    const SDL_JoystickID first = Attach(false, "Stick one");
    const SDL_JoystickID second = Attach(false, "Stick two");
    DirectInput_CreatePads();
    EXPECT_EQ(DirectInput_Init(), 2);
    Frame();
    // The one found last takes the first pad.
    EXPECT_EQ(Str("gamepad_get_description", {R(4)}), "Stick two");
    EXPECT_EQ(Str("gamepad_get_description", {R(5)}), "Stick one");
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad discovered", 4}, {"gamepad discovered", 5}}));
    EXPECT_EQ(Num("gamepad_button_count", {R(4)}), 128);
    EXPECT_EQ(Num("gamepad_axis_count", {R(4)}), 40);

    SDL_Joystick* stick = Device(second);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHT);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualButton(stick, 0, 1);
    Frame();
    EXPECT_NEAR(Num("gamepad_axis_value", {R(4), R(32)}), 1, 1e-6);
    EXPECT_NEAR(Num("gamepad_axis_value", {R(4), R(33)}), 0, 1e-5);
    EXPECT_EQ(Num("gamepad_button_check", {R(4), R(kPadR)}), 1);
    EXPECT_EQ(Num("gamepad_button_check", {R(4), R(kPadU)}), 0);
    EXPECT_EQ(Num("gamepad_button_check", {R(4), R(kFace1)}), 1);
    EXPECT_NEAR(Num("gamepad_axis_value", {R(4), R(kAxisLH)}), 1, 1e-4);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_CENTERED);
    Frame();
    EXPECT_EQ(Num("gamepad_axis_value", {R(4), R(32)}), 0);
    EXPECT_EQ(Num("gamepad_axis_value", {R(4), R(33)}), 0);

    // Unplugged, then another stick takes the freed pad.
    Detach(first);
    DeviceChange();
    Frame();
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad lost", 5}}));
    EXPECT_EQ(Str("gamepad_get_description", {R(5)}), "");
    Attach(false, "Stick three");
    DeviceChange();
    Frame();
    EXPECT_EQ(TakeEvents(), (Events{{"gamepad discovered", 5}}));
    EXPECT_EQ(Str("gamepad_get_description", {R(5)}), "Stick three");
}

TEST_F(Gamepads, WithoutRawPadsThereAreFourSlots)
{
    NoDirectInput = true;
    Attach(false, "Unused stick");
    DirectInput_CreatePads();
    EXPECT_EQ(DirectInput_Init(), -1);
    EXPECT_EQ(Num("gamepad_get_device_count", {}), 4);
    DeviceChange();
    Frame();
    EXPECT_EQ(Num("gamepad_is_connected", {R(4)}), 0) << "no slot, nothing connects";
}

TEST_F(Gamepads, SettingsAreCheckedAndBadSlotsReadZero)
{
    DirectInput_CreatePads();
    DirectInput_Init();
    Call("gamepad_set_axis_deadzone", {R(0), R(0.25)});
    EXPECT_EQ(Num("gamepad_get_axis_deadzone", {R(0)}), 0.25);
    Call("gamepad_set_axis_deadzone", {R(0), R(1.5)});
    EXPECT_EQ(TakeError().find("Axis dead zone is outside the accepted range") != std::string::npos, true);
    EXPECT_EQ(Num("gamepad_get_axis_deadzone", {R(0)}), 0.25);
    Call("gamepad_set_button_threshold", {R(0), R(-0.1)});
    EXPECT_NE(TakeError().find("Button threshold is outside the accepted range"), std::string::npos);
    EXPECT_EQ(Num("gamepad_get_button_threshold", {R(0)}), 0.5);
    EXPECT_EQ(Num("gamepad_is_connected", {R(12)}), 0);
    EXPECT_EQ(Num("gamepad_button_check", {R(-1), R(kFace1)}), 0);
    EXPECT_EQ(Str("gamepad_get_description", {R(99)}), "");
}
}  // namespace
