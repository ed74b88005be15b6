#include "Host/Host_Display.h"

#include <SDL2/SDL.h>

bool HostDisplay_GetDesktopSize(int* width, int* height)
{
    SDL_DisplayMode mode;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool HostDisplay_GetCurrentBitsPerPixel(int* bits)
{
    SDL_DisplayMode mode;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetCurrentDisplayMode(0, &mode) != 0) return false;
    *bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return true;
}
