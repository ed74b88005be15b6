#pragma once
// The first display's modes, read only once the window layer has started
// video (these queries never start it themselves).

// The desktop mode's size; false when video is not started or the mode cannot be read.
bool HostDisplay_GetDesktopSize(int* width, int* height);
// Bits per pixel of the current mode, as bytes per pixel × 8 (24 for a packed
// three-byte mode); false when video is not started or the mode cannot be read.
bool HostDisplay_GetCurrentBitsPerPixel(int* bits);
