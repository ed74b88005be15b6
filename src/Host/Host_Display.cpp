#include "Host/Host_Display.h"

#include <SDL2/SDL.h>

#include "Host/Host_WindowSdl.h"

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

bool HostDisplay_GetDpi(float* horizontal, float* vertical)
{
    return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayDPI(0, nullptr, horizontal, vertical) == 0;
}

bool HostDisplay_GetCurrentMode(int* width, int* height, int* refreshRate, int* bits)
{
    SDL_DisplayMode mode;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetCurrentDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    *refreshRate = mode.refresh_rate;
    *bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    return true;
}

namespace {

// The display mode matching the request exactly (fields of 0 or below taken
// from the current mode); false when the display has none.
bool FindMode(int width, int height, int refreshRate, int bits, SDL_DisplayMode* found)
{
    SDL_DisplayMode current;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetCurrentDisplayMode(0, &current) != 0) return false;
    if (width <= 0) width = current.w;
    if (height <= 0) height = current.h;
    if (refreshRate <= 0) refreshRate = current.refresh_rate;
    if (bits <= 0) bits = static_cast<int>(SDL_BITSPERPIXEL(current.format));
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        const int modeBits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        // A 24-bit packed mode counts as 32 bits, as the colour depth reports it.
        const bool bitsMatch = modeBits == bits || (bits == 32 && modeBits == 24);
        if (mode.w == width && mode.h == height && bitsMatch &&
            (mode.refresh_rate == refreshRate || mode.refresh_rate == 0)) {
            *found = mode;
            return true;
        }
    }
    return false;
}

}  // namespace

bool HostDisplay_TestMode(int width, int height, int refreshRate, int bits)
{
    SDL_DisplayMode mode;
    return FindMode(width, height, refreshRate, bits, &mode);
}

bool HostDisplay_SetMode(HostWindow* window, int width, int height, int refreshRate, int bits)
{
    SDL_DisplayMode mode;
    if (!FindMode(width, height, refreshRate, bits, &mode)) return false;
    return !window || SDL_SetWindowDisplayMode(HostWindow_Sdl(window), &mode) == 0;
}
