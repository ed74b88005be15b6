#include "Host/Host_Joystick.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace {
SDL_Joystick* g_Open[2] = {nullptr, nullptr};

// The joystick subsystem is started on first use; without devices (tests,
// servers) every query simply finds nothing.
SDL_Joystick* Open(int id)
{
    if (id < 0 || id > 1) return nullptr;
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return nullptr;
    SDL_JoystickUpdate();
    if (g_Open[id] && !SDL_JoystickGetAttached(g_Open[id])) {
        SDL_JoystickClose(g_Open[id]);
        g_Open[id] = nullptr;
    }
    if (!g_Open[id] && id < SDL_NumJoysticks()) g_Open[id] = SDL_JoystickOpen(id);
    return g_Open[id];
}

unsigned Axis(SDL_Joystick* joystick, int axis)
{
    if (axis >= SDL_JoystickNumAxes(joystick)) return 32767;
    return static_cast<unsigned>(SDL_JoystickGetAxis(joystick, axis) + 32768);
}

unsigned HatToPov(uint8_t hat)
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
    default: return HJOY_POV_CENTERED;
    }
}
}  // namespace

bool HJoy_GetPos(int id)
{
    return Open(id) != nullptr;
}

bool HJoy_GetPosEx(int id, HostJoystickInfo* info)
{
    SDL_Joystick* joystick = Open(id);
    if (!joystick || !info) return false;
    info->x = Axis(joystick, 0);
    info->y = Axis(joystick, 1);
    info->z = Axis(joystick, 2);
    info->r = Axis(joystick, 3);
    info->u = Axis(joystick, 4);
    info->v = Axis(joystick, 5);
    info->buttons = 0;
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int i = 0; i < buttons && i < 32; ++i) {
        if (SDL_JoystickGetButton(joystick, i)) info->buttons |= 1u << i;
    }
    info->pov = SDL_JoystickNumHats(joystick) > 0 ? HatToPov(SDL_JoystickGetHat(joystick, 0)) : HJOY_POV_CENTERED;
    return true;
}

bool HJoy_GetDevCaps(int id, HostJoystickCaps* caps)
{
    SDL_Joystick* joystick = Open(id);
    if (!joystick || !caps) return false;
    const char* name = SDL_JoystickName(joystick);
    std::snprintf(caps->name, sizeof caps->name, "%s", name ? name : "");
    caps->axes = SDL_JoystickNumAxes(joystick);
    caps->buttons = SDL_JoystickNumButtons(joystick);
    caps->hasPov = SDL_JoystickNumHats(joystick) > 0;
    return true;
}
