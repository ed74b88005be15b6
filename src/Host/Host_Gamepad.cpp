#include "Host/Host_Gamepad.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
SDL_GameController* g_Controllers[HOSTPAD_CONTROLLER_SLOTS];
struct OpenJoypad {
    int32_t instanceId;
    SDL_Joystick* joystick;
};
std::vector<OpenJoypad> g_Joypads;

bool Held(SDL_GameController* controller, SDL_GameControllerButton button)
{
    return SDL_GameControllerGetButton(controller, button) != 0;
}

// Up is positive for the pad slots; SDL counts down as positive.
int16_t FlipY(int16_t value) { return value == -32768 ? 32767 : static_cast<int16_t>(-value); }

uint8_t Trigger(SDL_GameController* controller, SDL_GameControllerAxis axis)
{
    const int value = SDL_GameControllerGetAxis(controller, axis);
    return static_cast<uint8_t>(value <= 0 ? 0 : value * 255 / 32767);
}

bool InUse(SDL_JoystickID id)
{
    for (SDL_GameController* controller : g_Controllers) {
        if (controller && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) == id) return true;
    }
    return false;
}

SDL_GameController* TakeFreeController()
{
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (!SDL_IsGameController(i) || InUse(SDL_JoystickGetDeviceInstanceID(i))) continue;
        if (SDL_GameController* controller = SDL_GameControllerOpen(i)) return controller;
    }
    return nullptr;
}

uint32_t HatAngle(uint8_t hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFF;
    }
}

OpenJoypad* FindJoypad(int32_t instanceId)
{
    for (OpenJoypad& pad : g_Joypads)
        if (pad.instanceId == instanceId) return &pad;
    return nullptr;
}
}  // namespace

bool HostPad_Init()
{
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
    // Pads keep working while the window is not focused, as the game expects.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

bool HostPad_Available() { return SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0; }

int HostPad_AddMappingsFromFile(const char* path)
{
    if (!path || !HostPad_Available()) return -1;
    return SDL_GameControllerAddMappingsFromFile(path);
}

bool HostController_GetState(int slot, HostControllerState* out)
{
    if (slot < 0 || slot >= HOSTPAD_CONTROLLER_SLOTS || !HostPad_Available()) return false;
    SDL_GameControllerUpdate();
    SDL_GameController*& controller = g_Controllers[slot];
    if (controller && !SDL_GameControllerGetAttached(controller)) {
        SDL_GameControllerClose(controller);
        controller = nullptr;
        return false;
    }
    if (!controller) controller = TakeFreeController();
    if (!controller) return false;
    if (!out) return true;
    static const struct { SDL_GameControllerButton button; uint16_t bit; } kButtons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, HOSTPAD_DPAD_UP}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, HOSTPAD_DPAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, HOSTPAD_DPAD_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, HOSTPAD_DPAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_START, HOSTPAD_START}, {SDL_CONTROLLER_BUTTON_BACK, HOSTPAD_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, HOSTPAD_LEFT_THUMB}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, HOSTPAD_RIGHT_THUMB},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, HOSTPAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, HOSTPAD_RIGHT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_A, HOSTPAD_A}, {SDL_CONTROLLER_BUTTON_B, HOSTPAD_B},
        {SDL_CONTROLLER_BUTTON_X, HOSTPAD_X}, {SDL_CONTROLLER_BUTTON_Y, HOSTPAD_Y},
    };
    out->buttons = 0;
    for (const auto& entry : kButtons)
        if (Held(controller, entry.button)) out->buttons |= entry.bit;
    out->leftTrigger = Trigger(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    out->rightTrigger = Trigger(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    out->thumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    out->thumbLY = FlipY(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    out->thumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    out->thumbRY = FlipY(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
    return true;
}

bool HostController_GetKind(int slot, HostControllerKind* out)
{
    if (slot < 0 || slot >= HOSTPAD_CONTROLLER_SLOTS || !g_Controllers[slot] || !out) return false;
    // SDL tells wheels and sticks by their device ids and the rest by the
    // controller interface they came through; it calls any device with a
    // controller mapping and no such kind a game controller.
    switch (SDL_JoystickGetType(SDL_GameControllerGetJoystick(g_Controllers[slot]))) {
    case SDL_JOYSTICK_TYPE_GAMECONTROLLER: *out = HOSTPAD_KIND_GAMEPAD; break;
    case SDL_JOYSTICK_TYPE_WHEEL: *out = HOSTPAD_KIND_WHEEL; break;
    case SDL_JOYSTICK_TYPE_ARCADE_STICK: *out = HOSTPAD_KIND_ARCADE_STICK; break;
    case SDL_JOYSTICK_TYPE_FLIGHT_STICK: *out = HOSTPAD_KIND_FLIGHT_STICK; break;
    case SDL_JOYSTICK_TYPE_DANCE_PAD: *out = HOSTPAD_KIND_DANCE_PAD; break;
    case SDL_JOYSTICK_TYPE_GUITAR: *out = HOSTPAD_KIND_GUITAR; break;
    case SDL_JOYSTICK_TYPE_DRUM_KIT: *out = HOSTPAD_KIND_DRUM_KIT; break;
    default: *out = HOSTPAD_KIND_OTHER; break;
    }
    return true;
}

void HostController_SetRumble(int slot, uint16_t low, uint16_t high)
{
    if (slot < 0 || slot >= HOSTPAD_CONTROLLER_SLOTS || !g_Controllers[slot]) return;
    // Long enough to reach the next poll, which sends the strengths again.
    SDL_GameControllerRumble(g_Controllers[slot], low, high, 1000);
}

int HostJoypad_Enumerate(HostJoypadDevice* out, int max)
{
    if (!HostPad_Available() || !out) return 0;
    int count = 0;
    for (int i = 0; i < SDL_NumJoysticks() && count < max; ++i) {
        if (SDL_IsGameController(i)) continue;
        out[count].instanceId = SDL_JoystickGetDeviceInstanceID(i);
        const char* name = SDL_JoystickNameForIndex(i);
        std::snprintf(out[count].name, sizeof out[count].name, "%s", name ? name : "");
        ++count;
    }
    return count;
}

bool HostJoypad_Open(int32_t instanceId)
{
    if (FindJoypad(instanceId)) return true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) != instanceId) continue;
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (!joystick) return false;
        g_Joypads.push_back({instanceId, joystick});
        return true;
    }
    return false;
}

void HostJoypad_Close(int32_t instanceId)
{
    for (size_t i = 0; i < g_Joypads.size(); ++i) {
        if (g_Joypads[i].instanceId != instanceId) continue;
        SDL_JoystickClose(g_Joypads[i].joystick);
        g_Joypads.erase(g_Joypads.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

bool HostJoypad_Poll(int32_t instanceId, HostJoypadState* out)
{
    OpenJoypad* pad = FindJoypad(instanceId);
    if (!pad || !out) return false;
    SDL_JoystickUpdate();
    SDL_Joystick* joystick = pad->joystick;
    if (!SDL_JoystickGetAttached(joystick)) return false;
    std::memset(out, 0, sizeof *out);
    out->axisCount = SDL_JoystickNumAxes(joystick);
    out->buttonCount = SDL_JoystickNumButtons(joystick);
    out->hatCount = SDL_JoystickNumHats(joystick);
    for (int i = 0; i < out->axisCount && i < HOSTPAD_RAW_AXES; ++i) out->axes[i] = SDL_JoystickGetAxis(joystick, i);
    for (int i = 0; i < out->buttonCount && i < HOSTPAD_RAW_BUTTONS; ++i)
        out->buttons[i] = SDL_JoystickGetButton(joystick, i);
    for (int h = 0; h < HOSTPAD_RAW_HATS; ++h)
        out->hats[h] = h < out->hatCount ? HatAngle(SDL_JoystickGetHat(joystick, h)) : 0xFFFF;
    return true;
}

void HostPad_CloseAll()
{
    for (SDL_GameController*& controller : g_Controllers) {
        if (controller) SDL_GameControllerClose(controller);
        controller = nullptr;
    }
    for (OpenJoypad& pad : g_Joypads) SDL_JoystickClose(pad.joystick);
    g_Joypads.clear();
}
