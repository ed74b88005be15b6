#pragma once
// The desktop's answers to the platform's device questions: screen density,
// the machine's identity and the screen's orientation.
#include <string>

// The screen's logical pixels per inch across and down; 96 when the display
// does not say.
float Platform_GetDpiX();
float Platform_GetDpiY();

// The machine's identifier, "NOT SUPPORTED" when it cannot be read.
std::string Platform_GetDeviceId();

// One flag per orientation, in the order of the orientation numbers:
// 0 landscape, 1 portrait, 2 landscape flipped, 3 portrait flipped.
struct OrientationFlags {
    int landscape;
    int portrait;
    int landscapeFlipped;
    int portraitFlipped;
};
// The orientations the game's options allow (options.ini).
extern OrientationFlags AllowedOrientations;
// The orientations the game last locked the display to. A desktop window
// never turns, so the lock changes nothing else.
extern OrientationFlags LockedOrientations;

// The display's orientation: always 0, landscape.
int Platform_GetOrientation();
void Platform_LockOrientation(const OrientationFlags& allowed);
