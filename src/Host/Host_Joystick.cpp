#include "Host/Host_Joystick.h"

#include <SDL2/SDL.h>

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
    info->buttons = 0;
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int i = 0; i < buttons && i < 32; ++i) {
        if (SDL_JoystickGetButton(joystick, i)) info->buttons |= 1u << i;
    }
    return true;
}
