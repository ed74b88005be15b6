#pragma once
struct HostWindow;

// The first display's modes, read only once the window layer has started
// video (these queries never start it themselves).

// The desktop mode's size; false when video is not started or the mode cannot be read.
bool HostDisplay_GetDesktopSize(int* width, int* height);
// Bits per pixel of the current mode, as bytes per pixel × 8 (24 for a packed
// three-byte mode); false when video is not started or the mode cannot be read.
bool HostDisplay_GetCurrentBitsPerPixel(int* bits);

// The first display's pixels per inch, across and down; false when video is
// not started or the display does not say.
bool HostDisplay_GetDpi(float* horizontal, float* vertical);

// The current mode of the first display; false when it cannot be read.
bool HostDisplay_GetCurrentMode(int* width, int* height, int* refreshRate, int* bits);
// Whether the first display offers a mode with these fields; a field of 0
// or below keeps the current mode's value.
bool HostDisplay_TestMode(int width, int height, int refreshRate, int bits);
// The window uses that mode whenever it is full screen; false when the
// display offers no such mode.
bool HostDisplay_SetMode(HostWindow* window, int width, int height, int refreshRate, int bits);
